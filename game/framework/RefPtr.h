#pragma once
// A pointer that holds a reference on a framework object: taking an object raises its count,
// letting go releases it (which destroys it when no holder is left). Parents hold their children
// this way, and the program entry holds the application core.
#include <utility>

template <class T>
class geTRefPtr {
 public:
  geTRefPtr() = default;
  geTRefPtr(T* pObject) : m_pObject(pObject) { Take(m_pObject); }
  geTRefPtr(const geTRefPtr& other) : geTRefPtr(other.m_pObject) {}
  geTRefPtr(geTRefPtr&& other) noexcept : m_pObject(std::exchange(other.m_pObject, nullptr)) {}
  template <class U>
  geTRefPtr(const geTRefPtr<U>& other) : geTRefPtr(other.Get()) {}
  ~geTRefPtr() { Reset(); }

  geTRefPtr& operator=(T* pObject) {
    if (pObject == m_pObject) return *this;
    // The new object is taken before the old one is let go: releasing the old one may destroy
    // the only other holder of the new one (a parent replaced by its own child).
    Take(pObject);
    T* pOld = std::exchange(m_pObject, pObject);
    if (pOld) pOld->Release();
    return *this;
  }
  geTRefPtr& operator=(const geTRefPtr& other) { return *this = other.m_pObject; }
  geTRefPtr& operator=(geTRefPtr&& other) noexcept {
    if (this == &other) return *this;
    T* pOld = std::exchange(m_pObject, std::exchange(other.m_pObject, nullptr));
    if (pOld) pOld->Release();
    return *this;
  }

  void Reset() {
    if (T* pOld = std::exchange(m_pObject, nullptr)) pOld->Release();
  }

  T* Get() const { return m_pObject; }
  T* operator->() const { return m_pObject; }
  T& operator*() const { return *m_pObject; }
  explicit operator bool() const { return m_pObject != nullptr; }
  friend bool operator==(const geTRefPtr& a, const geTRefPtr& b) { return a.m_pObject == b.m_pObject; }
  friend bool operator==(const geTRefPtr& a, const T* b) { return a.m_pObject == b; }

 private:
  static void Take(T* pObject) {
    if (pObject) pObject->AddRef();
  }

  T* m_pObject = nullptr;
};
