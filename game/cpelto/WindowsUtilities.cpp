#include "cpelto/WindowsUtilities.h"

#include <windows.h>
#include <winreg.h>

#include "cpelto/VfsFileBytes.h"
#include "framework/Logger.h"

namespace {

// The user's local application-data folder with forward slashes and no trailing slash; empty
// when the system has none.
std::string LocalAppDataFolder() {
  char szFolder[CWindowsUtilities::kMaxPath] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, szFolder)))
    return std::string();
  std::string strFolder = szFolder;
  for (char& c : strFolder)
    if (c == '\\') c = '/';
  if (!strFolder.empty() && strFolder.back() == '/') strFolder.pop_back();
  return strFolder;
}

std::string FileNamePart(const std::string& strPath) {
  const size_t nSlash = strPath.find_last_of("/\\");
  return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

bool FitsPath(const std::string& strPath) {
  if (strPath.size() < CWindowsUtilities::kMaxPath) return true;
  g_GameLogger.Log("WARNING: wallpaper path too long '%s'\n", strPath.c_str());
  return false;
}

}  // namespace

CWindowsUtilities::~CWindowsUtilities() {
  if (m_pActiveDesktop) m_pActiveDesktop->Release();
}

void CWindowsUtilities::CreateActiveDesktop() {
  g_GameLogger.Log("-Creating Windows Utilities interface\n");
  void* pInstance = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IActiveDesktop, &pInstance)) ||
      !pInstance) {
    g_GameLogger.Log(" - ActiveDesktop instance not created\n");
  } else {
    m_pActiveDesktop = static_cast<IActiveDesktop*>(pInstance);
  }
  g_GameLogger.Log("-Creating Windows Utilities -> DONE\n");
}

bool CWindowsUtilities::AbsolutePath(const std::string& strName, std::string& strPath) {
  if (strName.find(":\\") != std::string::npos || strName.find(":/") != std::string::npos) {
    strPath = strName;
    return FitsPath(strPath);
  }
  char szDirectory[kMaxPath] = {};
  const DWORD nLength = GetCurrentDirectoryA(kMaxPath, szDirectory);
  if (nLength == 0 || nLength >= kMaxPath) {
    g_GameLogger.Log("WARNING: wallpaper '%s': the current directory does not fit\n",
                     strName.c_str());
    return false;
  }
  strPath = std::string(szDirectory) + "\\" + strName;
  return FitsPath(strPath);
}

bool CWindowsUtilities::WriteCopy(const std::string& strPath, const std::string& bytes) {
  HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return false;
  DWORD nWritten = 0;
  const BOOL bWritten =
      WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nWritten, nullptr);
  CloseHandle(hFile);
  if (!bWritten || nWritten != bytes.size())
    g_GameLogger.Log("WARNING: wallpaper copy '%s' not fully written\n", strPath.c_str());
  return true;
}

void CWindowsUtilities::ApplyWallpaper(const std::string& strPath) {
  HKEY hKey = nullptr;
  const bool bKey = RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey,
                                    nullptr) == ERROR_SUCCESS;
  if (bKey) {
    // One byte each: the digit without its terminator.
    RegSetValueExA(hKey, "TileWallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>("0"), 1);
    RegSetValueExA(hKey, "WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1);
  }
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(strPath.c_str()),
                        SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
  g_GameLogger.Log("Changed user wallpaper '%s' without ActiveDesktop\n", strPath.c_str());
  if (bKey) RegCloseKey(hKey);
}

void CWindowsUtilities::SetWallpaper(const char* szFileName) {
  const std::string strName = szFileName ? szFileName : "";
  std::string strSource;
  if (!AbsolutePath(strName, strSource)) return;
  std::string bytes;
  if (strName.empty() || !ReadVfsFileBytes(strName.c_str(), bytes)) {
    g_GameLogger.Log("WARNING: wallpaper '%s' not found\n", strName.c_str());
    return;
  }

  std::string strTarget;
  const std::string strFolder = LocalAppDataFolder();
  if (!strFolder.empty()) {
    const std::string strUserFolder = strFolder + kUserFolder;
    CreateDirectoryA(strUserFolder.c_str(), nullptr);
    strTarget = strUserFolder + "/" + FileNamePart(strSource);
    if (!FitsPath(strTarget) || !WriteCopy(strTarget, bytes)) strTarget.clear();
  }
  if (strTarget.empty()) {
    strTarget = strSource;
    if (!WriteCopy(strTarget, bytes))
      g_GameLogger.Log("WARNING: wallpaper '%s' could not be written\n", strTarget.c_str());
  }
  g_GameLogger.Log("Setting wallpaper '%s'\n", strTarget.c_str());
  ApplyWallpaper(strTarget);
}
