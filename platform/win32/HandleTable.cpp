#include "HandleTable.h"

HandleTable& HandleTable::Instance() {
  static HandleTable* table = new HandleTable;
  return *table;
}

HANDLE HandleTable::Add(std::shared_ptr<KernelObject> object) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const uintptr_t value = m_next;
  m_next += 4;  // handle values are multiples of four, as on the original platform
  m_objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> HandleTable::Find(HANDLE handle) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
  return found == m_objects.end() ? nullptr : found->second;
}

bool HandleTable::Remove(HANDLE handle) {
  std::shared_ptr<KernelObject> removed;  // destroyed after the lock is released
  std::lock_guard<std::mutex> lock(m_mutex);
  auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
  if (found == m_objects.end()) return false;
  removed = std::move(found->second);
  m_objects.erase(found);
  return true;
}
