#pragma once
// Reference counting shared by every interface object of the sound layer: created with one
// reference, deleted when the last one goes.
#include <atomic>

#include "unknwn.h"

template <class Interface>
class TComObject : public Interface {
 public:
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }

 protected:
  TComObject() = default;
  ~TComObject() override = default;

 private:
  std::atomic<ULONG> m_references{1};
};
