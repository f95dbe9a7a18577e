#pragma once
// Helpers the import records share.
#include <memory>
#include <new>

#include "windef.h"

// Import records hold engine objects (channels, motions, bones) that have no reset of their
// own; a reset makes them anew in place, which frees what they held.
template <class T>
void ResetToConstructed(T& object) {
  std::destroy_at(&object);
  std::construct_at(&object);
}

// Replaces the array with `count` zeroed records and sets the counter; false, with no array
// and a count of 0, when the memory cannot be had.
template <class T>
bool AllocateZeroed(std::unique_ptr<T[]>& array, UINT& counter, UINT count) {
  array.reset();
  counter = 0;
  if (count == 0) return true;
  array.reset(new (std::nothrow) T[count]());
  if (array == nullptr) return false;
  counter = count;
  return true;
}
