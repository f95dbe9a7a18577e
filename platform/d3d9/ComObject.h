#pragma once
// Reference counting shared by every object of the stand-in, and the live-object count tests read.
//
// Besides the caller's references an object may be bound to a device (set as a texture, stream,
// target, ...). As on Direct3D a bound object outlives the caller's last Release; unlike a plain
// reference a binding does not keep the device alive, so the device and its bound objects never
// hold each other: the caller's last Release gives up the object's hold on its owner (the
// device), and the object itself goes when its last binding does.
#include <atomic>

#include "D3DTestControl.h"

template <class Interface>
class TComObject : public Interface {
 public:
  ULONG AddRef() override {
    const ULONG count = ++m_references;
    if (count == 1) AttachOwner();  // revived through a binding (GetTexture and the like)
    return count;
  }
  ULONG Release() override {
    const ULONG left = --m_references;
    if (left == 0) {
      IUnknown* owner = DetachOwner();
      // The owner goes last: releasing it may end a device whose bindings end this object.
      if (m_bindings == 0) delete this;
      if (owner) owner->Release();
    }
    return left;
  }
  virtual void Bind() { ++m_bindings; }
  virtual void Unbind() {
    if (--m_bindings == 0 && m_references == 0) delete this;
  }
  ULONG References() const { return m_references; }

 protected:
  TComObject() { CD3DTestControl::Instance().ObjectCreated(); }
  ~TComObject() override { CD3DTestControl::Instance().ObjectDestroyed(); }
  // The object that this one holds a reference on while the caller holds this one.
  virtual IUnknown* DetachOwner() { return nullptr; }
  virtual void AttachOwner() {}
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
  std::atomic<ULONG> m_bindings{0};
};
