#pragma once
// Reference counting shared by every object of the stand-in, and the live-object count tests read.
#include <atomic>

#include "D3DTestControl.h"

template <class Interface>
class TComObject : public Interface {
 public:
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }
  ULONG References() const { return m_references; }

 protected:
  TComObject() { CD3DTestControl::Instance().ObjectCreated(); }
  ~TComObject() override { CD3DTestControl::Instance().ObjectDestroyed(); }
  // QueryInterface for an object that answers to IUnknown and the listed interface ids.
  HRESULT AnswerInterface(REFIID riid, void** object, std::initializer_list<const IID*> ids) {
    if (!object) return E_POINTER;
    *object = nullptr;
    bool known = IsEqualGUID(riid, IID_IUnknown);
    for (const IID* id : ids) known = known || IsEqualGUID(riid, *id);
    if (!known) return E_NOINTERFACE;
    this->AddRef();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }

 private:
  std::atomic<ULONG> m_references{1};
};
