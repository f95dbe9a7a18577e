// The registry calls over CRegistryFile. The file is read on every call and written on every
// change, so values are shared with other processes and survive the program.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "HandleRegistry.h"
#include "MediaLog.h"
#include "RegistryFile.h"
#include "windows.h"

namespace {

// An open key: its full path ("HKEY_CURRENT_USER\Software\...") and the access it was opened for.
struct OpenKey {
  std::string path;
  REGSAM access;
};

// Values larger than this are refused; the file is meant for a few small settings.
constexpr DWORD kMaxValueSize = 1024 * 1024;

CHandleRegistry<OpenKey> g_keys;
std::mutex g_fileLock;  // one reader or writer of the file at a time in this process

const char* RootName(HKEY key) {
  if (key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (key == HKEY_USERS) return "HKEY_USERS";
  return nullptr;
}

// The full path of `subKey` under `parent`, with separators tidied; false for an unknown parent.
bool KeyPath(HKEY parent, LPCSTR subKey, std::string& path) {
  if (const char* root = RootName(parent)) {
    path = root;
  } else if (const OpenKey* open = g_keys.Find(parent)) {
    path = open->path;
  } else {
    return false;
  }
  std::string part;
  for (const char* c = subKey ? subKey : "";; ++c) {
    if (*c == '\\' || *c == '\0') {
      if (!part.empty()) path += '\\' + part;
      part.clear();
      if (*c == '\0') break;
    } else {
      part += *c;
    }
  }
  return true;
}

LSTATUS Hand(std::string path, REGSAM access, PHKEY result) {
  auto key = std::make_unique<OpenKey>(OpenKey{std::move(path), access});
  g_keys.Add(key.get());
  *result = reinterpret_cast<HKEY>(key.release());
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                        _SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  std::string path;
  if (!KeyPath(hKey, lpSubKey, path)) return ERROR_INVALID_HANDLE;
  std::lock_guard<std::mutex> guard(g_fileLock);
  CRegistryFile file(CRegistryFile::UserFile());
  if (!file.Load()) return ERROR_ACCESS_DENIED;
  const bool existed = file.HasKey(path);
  if (!existed) {
    file.AddKey(path);
    if (!file.Save()) return ERROR_WRITE_FAULT;
  }
  if (lpdwDisposition) *lpdwDisposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  return Hand(path, samDesired, phkResult);
}

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  std::string path;
  if (!KeyPath(hKey, lpSubKey, path)) return ERROR_INVALID_HANDLE;
  std::lock_guard<std::mutex> guard(g_fileLock);
  CRegistryFile file(CRegistryFile::UserFile());
  if (!file.Load()) return ERROR_ACCESS_DENIED;
  const bool root = RootName(hKey) && path == RootName(hKey);
  if (!root && !file.HasKey(path)) return ERROR_FILE_NOT_FOUND;
  return Hand(path, samDesired, phkResult);
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                       DWORD cbData) {
  const OpenKey* key = g_keys.Find(hKey);
  if (!key) return ERROR_INVALID_HANDLE;
  if (!(key->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  if ((!lpData && cbData) || cbData > kMaxValueSize) return ERROR_INVALID_PARAMETER;
  std::lock_guard<std::mutex> guard(g_fileLock);
  CRegistryFile file(CRegistryFile::UserFile());
  if (!file.Load()) return ERROR_ACCESS_DENIED;
  file.Set(key->path, lpValueName ? lpValueName : "", dwType,
           std::string(reinterpret_cast<const char*>(lpData), cbData));
  return file.Save() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
  const OpenKey* key = g_keys.Find(hKey);
  if (!key) return ERROR_INVALID_HANDLE;
  if (!(key->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  std::lock_guard<std::mutex> guard(g_fileLock);
  CRegistryFile file(CRegistryFile::UserFile());
  if (!file.Load()) return ERROR_ACCESS_DENIED;
  const CRegistryFile::Value* value = file.Find(key->path, lpValueName ? lpValueName : "");
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (lpType) *lpType = value->type;
  const DWORD size = static_cast<DWORD>(value->data.size());
  LSTATUS result = ERROR_SUCCESS;
  if (lpData) {
    if (*lpcbData < size)
      result = ERROR_MORE_DATA;
    else
      std::memcpy(lpData, value->data.data(), size);
  }
  if (lpcbData) *lpcbData = size;
  return result;
}

LSTATUS RegCloseKey(HKEY hKey) {
  if (RootName(hKey)) return ERROR_SUCCESS;
  OpenKey* key = g_keys.Find(hKey);
  if (!key || !g_keys.Remove(key)) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}
