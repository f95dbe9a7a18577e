#include "ResourceRegistry.h"

#include <cctype>

#include "zkplatform/ZkResources.h"

CResourceRegistry& CResourceRegistry::Instance() {
  static CResourceRegistry registry;
  return registry;
}

std::pair<HMODULE, std::string> CResourceRegistry::Key(HMODULE module, const char* name) {
  std::string key;
  if (IS_INTRESOURCE(name)) {
    key = "#" + std::to_string((ULONG_PTR)name);
  } else {
    for (const char* c = name; *c; ++c) key += (char)std::tolower((unsigned char)*c);
  }
  return {module, key};
}

bool CResourceRegistry::Register(HMODULE module, const char* name, const void* bytes, size_t size) {
  if (!name || (!bytes && size)) return false;
  const BYTE* begin = static_cast<const BYTE*>(bytes);
  std::lock_guard<std::mutex> hold(m_lock);
  m_resources[Key(module, name)] = std::vector<BYTE>(begin, begin + size);
  return true;
}

const void* CResourceRegistry::Find(HMODULE module, const char* name, size_t* size) const {
  if (!name) return nullptr;
  std::lock_guard<std::mutex> hold(m_lock);
  auto found = m_resources.find(Key(module, name));
  if (found == m_resources.end()) return nullptr;
  if (size) *size = found->second.size();
  return found->second.data();
}

bool CResourceRegistry::Remove(HMODULE module, const char* name) {
  if (!name) return false;
  std::lock_guard<std::mutex> hold(m_lock);
  return m_resources.erase(Key(module, name)) != 0;
}

ZKAPI BOOL ZkRegisterResource(HMODULE module, const char* name, const void* bytes, size_t size) {
  return CResourceRegistry::Instance().Register(module, name, bytes, size);
}

ZKAPI const void* ZkFindResource(HMODULE module, const char* name, size_t* size) {
  return CResourceRegistry::Instance().Find(module, name, size);
}

ZKAPI BOOL ZkRemoveResource(HMODULE module, const char* name) {
  return CResourceRegistry::Instance().Remove(module, name);
}
