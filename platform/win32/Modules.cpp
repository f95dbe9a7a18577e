// Modules over the system's loader: "Name.dll" is "libName.so" here.
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "LastError.h"
#include "zkplatform/ZkPaths.h"

namespace {

// Loader handles given out, with the references LoadLibraryA took on them, so that a wrong
// handle is an error instead of a crash inside the loader.
std::mutex g_mutex;
std::map<void*, unsigned> g_modules;

void* ProgramModule() {
  static void* const program = dlopen(nullptr, RTLD_NOW);
  return program;
}

std::string ProgramPath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return std::string();
  path[length] = '\0';
  return path;
}

bool EndsWithNoCase(const std::string& text, const char* ending) {
  const size_t size = std::strlen(ending);
  return text.size() >= size && strcasecmp(text.c_str() + text.size() - size, ending) == 0;
}

// "ZeKorb.dll" or "ZeKorb" → "libZeKorb.so"; a name that is already a shared object stays.
std::string LibraryFileName(const std::string& name) {
  if (EndsWithNoCase(name, ".so") || name.find(".so.") != std::string::npos) return name;
  std::string base = EndsWithNoCase(name, ".dll") ? name.substr(0, name.size() - 4) : name;
  return "lib" + base + ".so";
}

// Where a name is looked for: its own folder when it has one, else beside the program and then
// in the current folder; letter case resolved as for every path.
std::vector<std::string> Candidates(const char* windowsName, std::string& fileName) {
  std::string name(windowsName);
  std::replace(name.begin(), name.end(), '\\', '/');
  const size_t slash = name.rfind('/');
  fileName = LibraryFileName(slash == std::string::npos ? name : name.substr(slash + 1));
  if (slash != std::string::npos)
    return {ZkMapPath((name.substr(0, slash + 1) + fileName).c_str())};
  std::vector<std::string> folders = {ZkProgramFolder()};
  if (char* current = getcwd(nullptr, 0)) {
    folders.push_back(current);
    std::free(current);
  }
  std::vector<std::string> paths;
  for (const std::string& folder : folders)
    paths.push_back(ZkMapPath((folder + "/" + fileName).c_str()));
  return paths;
}

std::string RealPath(const std::string& path) {
  char real[PATH_MAX];
  return realpath(path.c_str(), real) ? std::string(real) : std::string();
}

bool IsKnown(void* module) {
  if (module == ProgramModule()) return true;
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_modules.count(module) != 0;
}

void Remember(void* module, bool referenced) {
  std::lock_guard<std::mutex> lock(g_mutex);
  unsigned& references = g_modules[module];
  if (referenced) ++references;
}

// An already loaded library by path or by its shared-object name, without adding a reference.
void* FindLoaded(const std::string& path) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (module) dlclose(module);
  return module;
}

void CopyTruncated(const std::string& text, LPSTR buffer, DWORD size, DWORD& written) {
  if (text.size() < size) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    written = static_cast<DWORD>(text.size());
    SetLastError(ERROR_SUCCESS);
    return;
  }
  // Cut, but always terminated.
  std::memcpy(buffer, text.c_str(), size - 1);
  buffer[size - 1] = '\0';
  written = size;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
  if (!lpLibFileName || !*lpLibFileName) {
    FailWith(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::string fileName;
  for (const std::string& candidate : Candidates(lpLibFileName, fileName)) {
    const std::string path = RealPath(candidate);
    if (path.empty()) continue;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      // The file is there but does not load: say why, it is a broken build, not a missing file.
      std::fprintf(stderr, "LoadLibraryA(\"%s\"): %s\n", lpLibFileName, dlerror());
      FailWith(ERROR_BAD_EXE_FORMAT);
      return nullptr;
    }
    Remember(module, true);
    return static_cast<HMODULE>(module);
  }
  FailWith(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE hLibModule) {
  void* module = hLibModule;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto found = g_modules.find(module);
    if (found == g_modules.end() || found->second == 0) return FailWith(ERROR_INVALID_HANDLE);
    if (--found->second == 0) g_modules.erase(found);
  }
  dlclose(module);
  return TRUE;
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  void* module = hModule ? static_cast<void*>(hModule) : ProgramModule();
  if (!IsKnown(module)) {
    FailWith(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!lpProcName || IS_INTRESOURCE(lpProcName)) {
    FailWith(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  dlerror();
  void* symbol = dlsym(module, lpProcName);
  if (!symbol) {
    FailWith(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  if (!lpModuleName) return static_cast<HMODULE>(ProgramModule());
  std::string fileName;
  std::vector<std::string> paths = Candidates(lpModuleName, fileName);
  paths.push_back(fileName);  // loaded from elsewhere: found by its shared-object name
  for (const std::string& candidate : paths) {
    const std::string real = candidate == fileName ? candidate : RealPath(candidate);
    if (real.empty()) continue;
    if (void* module = FindLoaded(real)) {
      Remember(module, false);
      return static_cast<HMODULE>(module);
    }
  }
  FailWith(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

BOOL GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
  if (!phModule) return FailWith(ERROR_INVALID_PARAMETER);
  *phModule = nullptr;
  void* module = nullptr;
  if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
    Dl_info info;
    if (!lpModuleName || !dladdr(lpModuleName, &info) || !info.dli_fname)
      return FailWith(ERROR_MOD_NOT_FOUND);
    const std::string objectPath = RealPath(info.dli_fname);
    module = objectPath.empty() || objectPath == RealPath(ProgramPath()) ? ProgramModule()
                                                                         : FindLoaded(objectPath);
    if (!module) return FailWith(ERROR_MOD_NOT_FOUND);
    Remember(module, false);
  } else {
    module = GetModuleHandleA(lpModuleName);
    if (!module) return FALSE;
  }
  const bool addReference =
      !(dwFlags & (GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT | GET_MODULE_HANDLE_EX_FLAG_PIN));
  link_map* map = nullptr;
  if (addReference && module != ProgramModule() && dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 &&
      map && dlopen(map->l_name, RTLD_NOW | RTLD_NOLOAD))
    Remember(module, true);  // to be dropped with FreeLibrary, as on the original platform
  *phModule = static_cast<HMODULE>(module);
  return TRUE;
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (!lpFilename || nSize == 0) {
    FailWith(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  void* module = hModule ? static_cast<void*>(hModule) : ProgramModule();
  if (!IsKnown(module)) {
    FailWith(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path;
  link_map* map = nullptr;
  if (module != ProgramModule() && dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name)
    path = RealPath(map->l_name);
  if (path.empty()) path = ProgramPath();
  DWORD written = 0;
  CopyTruncated(path, lpFilename, nSize, written);
  return written;
}
