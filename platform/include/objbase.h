#pragma once
// COM start-up and object creation. No COM classes are registered on this platform: creating
// an instance reports REGDB_E_CLASSNOTREG, as on a Windows system without that component.
#include "unknwn.h"

typedef CLSID* LPCLSID;

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_ALL \
  (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_MULTITHREADED 0x0

ZKAPI HRESULT CoInitialize(LPVOID pvReserved);
ZKAPI HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
ZKAPI void CoUninitialize(void);
// Always fails with REGDB_E_CLASSNOTREG and a null *ppv (E_POINTER without ppv).
ZKAPI HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                               REFIID riid, LPVOID* ppv);
