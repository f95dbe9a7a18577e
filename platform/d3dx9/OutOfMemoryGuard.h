#pragma once
// Images are decoded and scaled in heap memory; running out of it must come back as a result
// code, never as an exception through one of the library's C entry points.
#include <new>

#include "winerror.h"

template <typename Call>
HRESULT ReturnOutOfMemory(Call call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}
