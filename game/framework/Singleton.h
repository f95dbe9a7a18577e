#pragma once
// One instance of a class reachable from everywhere: the instance registers itself when it is
// built and clears the pointer when it goes, so the pointer is null before and after.
template <class T>
class geTSingleton {
 public:
  static T* GetInstance() { return s_pInstance ? static_cast<T*>(s_pInstance) : nullptr; }

 protected:
  // Kept as the base: the derived part does not exist yet while this runs.
  geTSingleton() { s_pInstance = this; }
  ~geTSingleton() {
    if (s_pInstance == this) s_pInstance = nullptr;
  }
  geTSingleton(const geTSingleton&) = delete;
  geTSingleton& operator=(const geTSingleton&) = delete;

 private:
  static inline geTSingleton* s_pInstance = nullptr;
};
