#pragma once
// The images built into modules, by module and case-insensitive name (see ZkResources.h).
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "windef.h"

class CResourceRegistry {
 public:
  static CResourceRegistry& Instance();

  bool Register(HMODULE module, const char* name, const void* bytes, size_t size);
  const void* Find(HMODULE module, const char* name, size_t* size) const;
  bool Remove(HMODULE module, const char* name);

 private:
  // Integer resource ids (MAKEINTRESOURCE) become "#<id>"; names are lower-cased.
  static std::pair<HMODULE, std::string> Key(HMODULE module, const char* name);

  mutable std::mutex m_lock;
  std::map<std::pair<HMODULE, std::string>, std::vector<BYTE>> m_resources;
};
