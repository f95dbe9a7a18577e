#pragma once
// The process's one table of kernel handles. Handle values are never reused, so a stale handle
// finds nothing instead of someone else's object.
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "KernelObject.h"

class HandleTable {
 public:
  // Lives as long as the process, so that threads still running at exit never find it gone.
  static HandleTable& Instance();

  HANDLE Add(std::shared_ptr<KernelObject> object);
  // Null when the handle is not in the table.
  std::shared_ptr<KernelObject> Find(HANDLE handle) const;
  template <class T>
  std::shared_ptr<T> FindAs(HANDLE handle) const {
    return std::dynamic_pointer_cast<T>(Find(handle));
  }
  // The object goes when its last user lets go of it (a waiting thread keeps it alive).
  bool Remove(HANDLE handle);

 private:
  HandleTable() = default;

  mutable std::mutex m_mutex;
  std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> m_objects;
  uintptr_t m_next = 0x1000;
};
