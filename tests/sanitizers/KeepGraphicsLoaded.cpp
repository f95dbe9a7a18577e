// Preloaded into sanitizer runs: refuses to unload the OpenGL and EGL libraries and the Mesa
// drivers. SDL and libEGL close them before the leak check at exit, and a leak inside a library
// that is gone shows as an unknown module that no suppression can name. Every other library
// unloads as usual.
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <initializer_list>

namespace {

bool EndsWith(const char* text, const char* tail) {
  const size_t length = strlen(text), tailLength = strlen(tail);
  return length >= tailLength && strcmp(text + length - tailLength, tail) == 0;
}

bool IsGraphicsLibrary(void* handle) {
  link_map* map = nullptr;
  if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr ||
      map->l_name == nullptr)
    return false;
  const char* slash = strrchr(map->l_name, '/');
  const char* name = slash ? slash + 1 : map->l_name;
  for (const char* prefix : {"libEGL", "libGL", "libglapi", "libgbm"})
    if (strncmp(name, prefix, strlen(prefix)) == 0) return true;
  return EndsWith(name, "_dri.so");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int dlclose(void* handle) {
  using Close = int (*)(void*);
  static const Close next = reinterpret_cast<Close>(dlsym(RTLD_NEXT, "dlclose"));
  if (IsGraphicsLibrary(handle)) return 0;
  return next(handle);
}
