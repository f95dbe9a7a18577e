#pragma once
// One instance of a class reachable from everywhere: the instance registers itself when it is
// built and clears the pointer when it goes, so the pointer is null before and after.
template <class T>
class geTSingleton {
 public:
  static T* GetInstance() { return s_pInstance; }

 protected:
  geTSingleton() { s_pInstance = static_cast<T*>(this); }
  ~geTSingleton() {
    if (s_pInstance == static_cast<T*>(this)) s_pInstance = nullptr;
  }
  geTSingleton(const geTSingleton&) = delete;
  geTSingleton& operator=(const geTSingleton&) = delete;

 private:
  static inline T* s_pInstance = nullptr;
};
