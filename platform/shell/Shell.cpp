// Shell folders, COM start-up and the recorded desktop wallpaper.
#include <filesystem>
#include <mutex>
#include <string>

#include "MediaLog.h"
#include "XdgFolders.h"
#include "shlobj.h"
#include "windows.h"
#include "zktest/ZkTestMedia.h"

namespace {

std::mutex g_wallpaperLock;
std::string g_wallpaper;
thread_local int t_comInitCount = 0;

}  // namespace

HRESULT SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD, LPSTR pszPath) {
  if (!pszPath) return E_INVALIDARG;
  pszPath[0] = '\0';
  std::string folder;
  switch (csidl & ~CSIDL_FLAG_MASK) {
    case CSIDL_LOCAL_APPDATA:
      folder = CXdgFolders::DataHome();
      break;
    case CSIDL_APPDATA:
      folder = CXdgFolders::ConfigHome();
      break;
    case CSIDL_PERSONAL:
      folder = CXdgFolders::Documents();
      break;
    default:
      return E_INVALIDARG;
  }
  if (folder.size() >= MAX_PATH) {
    ZkMediaLog("shell", "folder path longer than MAX_PATH: %s", folder.c_str());
    return E_FAIL;
  }
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    if (!(csidl & CSIDL_FLAG_CREATE)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) {
      ZkMediaLog("shell", "cannot create folder %s", folder.c_str());
      return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
  }
  folder.copy(pszPath, folder.size());
  pszPath[folder.size()] = '\0';
  return S_OK;
}

HRESULT CoInitialize(LPVOID) { return ++t_comInitCount == 1 ? S_OK : S_FALSE; }

HRESULT CoInitializeEx(LPVOID reserved, DWORD) { return CoInitialize(reserved); }

void CoUninitialize(void) {
  if (t_comInitCount > 0) --t_comInitCount;
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN, DWORD, REFIID, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  ZkMediaLog("shell",
             "no COM class {%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X} on this platform",
             static_cast<unsigned>(rclsid.Data1), rclsid.Data2, rclsid.Data3, rclsid.Data4[0],
             rclsid.Data4[1], rclsid.Data4[2], rclsid.Data4[3], rclsid.Data4[4], rclsid.Data4[5],
             rclsid.Data4[6], rclsid.Data4[7]);
  return REGDB_E_CLASSNOTREG;
}

BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  if (uiAction == SPI_SETDESKWALLPAPER) {
    const std::string path = pvParam ? static_cast<const char*>(pvParam) : "";
    {
      std::lock_guard<std::mutex> guard(g_wallpaperLock);
      g_wallpaper = path;
    }
    ZkMediaLog("shell", "wallpaper request recorded, not applied to the desktop: '%s'",
               path.c_str());
    if (fWinIni & SPIF_UPDATEINIFILE) {
      // As Windows does: the setting is kept in the user's registry.
      HKEY key;
      if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
        RegCloseKey(key);
      }
    }
    return TRUE;
  }
  if (uiAction == SPI_GETDESKWALLPAPER) {
    if (!pvParam || uiParam == 0) return FALSE;
    std::lock_guard<std::mutex> guard(g_wallpaperLock);
    snprintf(static_cast<char*>(pvParam), uiParam, "%s", g_wallpaper.c_str());
    return TRUE;
  }
  ZkMediaLog("shell", "SystemParametersInfoA: action 0x%04X is not offered", uiAction);
  return FALSE;
}

const char* ZkTestLastWallpaper(void) {
  std::lock_guard<std::mutex> guard(g_wallpaperLock);
  // Copied out so the caller's pointer stays valid while the record changes.
  thread_local std::string copy;
  copy = g_wallpaper;
  return copy.c_str();
}

void ZkTestResetWallpaper(void) {
  std::lock_guard<std::mutex> guard(g_wallpaperLock);
  g_wallpaper.clear();
}
