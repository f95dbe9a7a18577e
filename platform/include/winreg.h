#pragma once
// The registry, kept as a small key-value file in the user's configuration folder
// ($XDG_CONFIG_HOME/zkplatform/registry). Keys and value names compare without regard to case,
// as on Windows; every predefined root is stored in the same file.
#include "windef.h"

typedef DWORD REGSAM;
typedef LONG LSTATUS;
struct _SECURITY_ATTRIBUTES;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_NON_VOLATILE 0x00000000
#define REG_OPTION_VOLATILE 0x00000001
#define REG_CREATED_NEW_KEY 0x00000001
#define REG_OPENED_EXISTING_KEY 0x00000002

// Results are Win32 error codes: ERROR_FILE_NOT_FOUND for a missing key or value,
// ERROR_ACCESS_DENIED for a value call the key was not opened for, ERROR_MORE_DATA (with the
// size needed in *lpcbData) for a buffer too small, ERROR_INVALID_HANDLE for an unknown key,
// ERROR_WRITE_FAULT when the file cannot be written.
ZKAPI LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                              DWORD dwOptions, REGSAM samDesired,
                              struct _SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                              LPDWORD lpdwDisposition);
ZKAPI LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                            PHKEY phkResult);
// Stores cbData bytes as given (a REG_SZ is kept with or without its terminator, as passed).
ZKAPI LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                             const BYTE* lpData, DWORD cbData);
ZKAPI LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                               LPBYTE lpData, LPDWORD lpcbData);
ZKAPI LSTATUS RegCloseKey(HKEY hKey);

// The desktop settings that go with the registry's "Control Panel\Desktop". Only the wallpaper
// is offered, and it is recorded, never applied to the user's desktop: SPI_SETDESKWALLPAPER
// remembers the path (and with SPIF_UPDATEINIFILE stores it as that key's "Wallpaper" value),
// SPI_GETDESKWALLPAPER returns it. Any other action fails with ERROR_INVALID_PARAMETER.
#ifndef SPI_SETDESKWALLPAPER
#define SPI_SETDESKWALLPAPER 0x0014
#define SPI_GETDESKWALLPAPER 0x0073
#endif
#ifndef SPIF_UPDATEINIFILE
#define SPIF_UPDATEINIFILE 0x0001
#define SPIF_SENDWININICHANGE 0x0002
#endif
ZKAPI BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);
