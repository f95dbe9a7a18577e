#pragma once
// One reference to a Direct3D object, released when the holder goes: loaders keep their
// temporary textures and surfaces in these, so that a fatal error on the way (which tests turn
// into an exception) leaves nothing behind.
template <class T>
class TD3DReference {
 public:
  TD3DReference() = default;
  explicit TD3DReference(T* object) : m_pObject(object) {}
  ~TD3DReference() { Reset(); }
  TD3DReference(const TD3DReference&) = delete;
  TD3DReference& operator=(const TD3DReference&) = delete;

  T* Get() const { return m_pObject; }
  T* operator->() const { return m_pObject; }
  explicit operator bool() const { return m_pObject != nullptr; }
  // For a call that hands out a new reference; whatever was held is released first.
  T** Out() {
    Reset();
    return &m_pObject;
  }
  // The caller takes over the reference.
  T* Detach() {
    T* object = m_pObject;
    m_pObject = nullptr;
    return object;
  }
  void Reset() {
    if (m_pObject) m_pObject->Release();
    m_pObject = nullptr;
  }

 private:
  T* m_pObject = nullptr;
};
