#pragma once
// Shell folders, mapped to the XDG base directories, and the Active Desktop object, which this
// platform does not have (creating it fails as on a Windows system without it).
#include "objbase.h"
#include "windows.h"

#define CSIDL_PERSONAL 0x0005       // documents: the XDG documents folder, else $HOME
#define CSIDL_APPDATA 0x001A        // $XDG_CONFIG_HOME, else ~/.config
#define CSIDL_LOCAL_APPDATA 0x001C  // $XDG_DATA_HOME, else ~/.local/share
#define CSIDL_FLAG_CREATE 0x8000
#define CSIDL_FLAG_MASK 0xFF00

#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

// Writes the folder's path ('/' separated, at most MAX_PATH bytes with the terminator) into
// pszPath. S_OK; E_INVALIDARG for another folder; HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
// when the folder does not exist and CSIDL_FLAG_CREATE was not given (or it cannot be made);
// E_FAIL when the path is too long.
ZKAPI HRESULT SHGetFolderPathA(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPSTR pszPath);

DEFINE_GUID(CLSID_ActiveDesktop, 0x75048700, 0xEF1F, 0x11D0, 0x98, 0x88, 0x00, 0x60, 0x97, 0xDE,
            0xAC, 0xF9);
DEFINE_GUID(IID_IActiveDesktop, 0xF490EB00, 0x1240, 0x11D1, 0x98, 0x88, 0x00, 0x60, 0x97, 0xDE,
            0xAC, 0xF9);

#define AD_APPLY_SAVE 0x00000001
#define AD_APPLY_HTMLGEN 0x00000002
#define AD_APPLY_REFRESH 0x00000004
#define AD_APPLY_ALL (AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH)

// Declared for callers that hold the interface; no instance of it can be created here.
struct IActiveDesktop : public IUnknown {
  virtual HRESULT ApplyChanges(DWORD dwFlags) = 0;
  virtual HRESULT GetWallpaper(LPWSTR pwszWallpaper, UINT cchWallpaper, DWORD dwFlags) = 0;
  virtual HRESULT SetWallpaper(LPCWSTR pwszWallpaper, DWORD dwReserved) = 0;
};
typedef IActiveDesktop* LPACTIVEDESKTOP;
