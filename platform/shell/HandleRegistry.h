#pragma once
// The live objects behind one kind of handle that callers hold, so that a stale or foreign
// handle is refused instead of followed.
#include <mutex>
#include <unordered_set>

template <typename T>
class CHandleRegistry {
 public:
  void Add(T* object) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_live.insert(object);
  }
  // The object behind `handle`, or null when no such object lives.
  T* Find(const void* handle) const {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_live.find(static_cast<T*>(const_cast<void*>(handle)));
    return found == m_live.end() ? nullptr : *found;
  }
  // Forgets the object; false when it was not registered.
  bool Remove(const void* handle) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_live.erase(static_cast<T*>(const_cast<void*>(handle))) != 0;
  }

 private:
  mutable std::mutex m_lock;
  std::unordered_set<T*> m_live;
};
