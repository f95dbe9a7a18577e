#pragma once
// Holds an engine object that frees itself through Release(), so that a fatal stop in the
// middle of an input leaves nothing behind.
#include <memory>

struct ReleaseObject {
  template <class T>
  void operator()(T* object) const {
    object->Release();
  }
};

template <class T>
using ReleasingPtr = std::unique_ptr<T, ReleaseObject>;
