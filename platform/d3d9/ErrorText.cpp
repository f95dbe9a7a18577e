// The symbolic names and descriptions of the result codes the platform returns.
#include "d3d9.h"
#include "dxerr9.h"

namespace {

struct SErrorText {
  HRESULT code;
  const char* name;
  const char* description;
};

const SErrorText kErrors[] = {
    {D3D_OK, "S_OK", "The function completed successfully"},
    {S_FALSE, "S_FALSE", "Call successful, but returned FALSE"},
    {E_FAIL, "E_FAIL", "An undetermined error occurred"},
    {E_INVALIDARG, "E_INVALIDARG", "An invalid parameter was passed to the returning function"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY", "Ran out of memory"},
    {E_NOTIMPL, "E_NOTIMPL", "The function called is not supported at this time"},
    {E_NOINTERFACE, "E_NOINTERFACE", "The requested COM interface is not available"},
    {E_POINTER, "E_POINTER", "Invalid pointer"},
    {E_UNEXPECTED, "E_UNEXPECTED", "Catastrophic failure"},
    {E_ACCESSDENIED, "E_ACCESSDENIED", "Access is denied"},
    {E_HANDLE, "E_HANDLE", "Invalid handle"},
    {E_ABORT, "E_ABORT", "Operation aborted"},
    {D3DERR_WRONGTEXTUREFORMAT, "D3DERR_WRONGTEXTUREFORMAT", "Wrong texture format"},
    {D3DERR_UNSUPPORTEDCOLOROPERATION, "D3DERR_UNSUPPORTEDCOLOROPERATION", "Unsupported color operation"},
    {D3DERR_UNSUPPORTEDCOLORARG, "D3DERR_UNSUPPORTEDCOLORARG", "Unsupported color argument"},
    {D3DERR_UNSUPPORTEDALPHAOPERATION, "D3DERR_UNSUPPORTEDALPHAOPERATION", "Unsupported alpha operation"},
    {D3DERR_UNSUPPORTEDALPHAARG, "D3DERR_UNSUPPORTEDALPHAARG", "Unsupported alpha argument"},
    {D3DERR_TOOMANYOPERATIONS, "D3DERR_TOOMANYOPERATIONS", "Too many operations"},
    {D3DERR_CONFLICTINGTEXTUREFILTER, "D3DERR_CONFLICTINGTEXTUREFILTER", "Conflicting texture filter"},
    {D3DERR_UNSUPPORTEDFACTORVALUE, "D3DERR_UNSUPPORTEDFACTORVALUE", "Unsupported factor value"},
    {D3DERR_CONFLICTINGRENDERSTATE, "D3DERR_CONFLICTINGRENDERSTATE", "Conflicting render state"},
    {D3DERR_UNSUPPORTEDTEXTUREFILTER, "D3DERR_UNSUPPORTEDTEXTUREFILTER", "Unsupported texture filter"},
    {D3DERR_CONFLICTINGTEXTUREPALETTE, "D3DERR_CONFLICTINGTEXTUREPALETTE", "Conflicting texture palette"},
    {D3DERR_DRIVERINTERNALERROR, "D3DERR_DRIVERINTERNALERROR", "Driver internal error"},
    {D3DERR_NOTFOUND, "D3DERR_NOTFOUND", "Not found"},
    {D3DERR_MOREDATA, "D3DERR_MOREDATA", "More data"},
    {D3DERR_DEVICELOST, "D3DERR_DEVICELOST", "Device lost"},
    {D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET", "Device not reset"},
    {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE", "Not available"},
    {D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY", "Out of video memory"},
    {D3DERR_INVALIDDEVICE, "D3DERR_INVALIDDEVICE", "Invalid device"},
    {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL", "Invalid call"},
    {D3DERR_DRIVERINVALIDCALL, "D3DERR_DRIVERINVALIDCALL", "Driver invalid call"},
    {D3DERR_WASSTILLDRAWING, "D3DERR_WASSTILLDRAWING", "Was Still Drawing"},
    {D3DOK_NOAUTOGEN, "D3DOK_NOAUTOGEN",
     "The call succeeded but there won't be any mipmaps generated"},
    // DirectInput and DirectSound codes that are not common ones; their headers give the names.
    {static_cast<HRESULT>(0x8007001E), "DIERR_INPUTLOST", "Access to the input device has been lost"},
    {static_cast<HRESULT>(0x8007000C), "DIERR_NOTACQUIRED", "The device is not acquired"},
    {static_cast<HRESULT>(0x800700AA), "DIERR_ACQUIRED", "The device is acquired"},
    {static_cast<HRESULT>(0x80070015), "DIERR_NOTINITIALIZED", "The object has not been initialized"},
    {static_cast<HRESULT>(0x8007047E), "DIERR_OLDDIRECTINPUTVERSION",
     "The application requires a newer version of DirectInput"},
    {static_cast<HRESULT>(0x80070481), "DIERR_BETADIRECTINPUTVERSION",
     "The application was written for an unsupported prerelease version of DirectInput"},
    {static_cast<HRESULT>(0x80070077), "DIERR_BADDRIVERVER", "The device driver is not compatible"},
    {static_cast<HRESULT>(0x800704DF), "DIERR_ALREADYINITIALIZED", "The object is already initialized"},
    {static_cast<HRESULT>(0x80070002), "DIERR_NOTFOUND", "The requested object does not exist"},
    {static_cast<HRESULT>(0x8878000A), "DSERR_ALLOCATED", "The resources are already in use"},
    {static_cast<HRESULT>(0x8878001E), "DSERR_CONTROLUNAVAIL", "The buffer control is not available"},
    {static_cast<HRESULT>(0x88780032), "DSERR_INVALIDCALL", "This call is not valid for the object's state"},
    {static_cast<HRESULT>(0x88780046), "DSERR_PRIOLEVELNEEDED", "A higher priority level is required"},
    {static_cast<HRESULT>(0x88780064), "DSERR_BADFORMAT", "The wave format is not supported"},
    {static_cast<HRESULT>(0x88780078), "DSERR_NODRIVER", "No sound driver is available"},
    {static_cast<HRESULT>(0x88780082), "DSERR_ALREADYINITIALIZED", "The object is already initialized"},
    {static_cast<HRESULT>(0x88780096), "DSERR_BUFFERLOST", "The buffer memory has been lost"},
    {static_cast<HRESULT>(0x887800A0), "DSERR_OTHERAPPHASPRIO", "Another application has a higher priority level"},
    {static_cast<HRESULT>(0x887800AA), "DSERR_UNINITIALIZED", "The object has not been initialized"},
    {static_cast<HRESULT>(0x887800B4), "DSERR_BUFFERTOOSMALL", "The buffer is too small"},
};

const SErrorText* Find(HRESULT hr) {
  for (const SErrorText& entry : kErrors)
    if (entry.code == hr) return &entry;
  return nullptr;
}

}  // namespace

ZKAPI const char* DXGetErrorString9A(HRESULT hr) {
  const SErrorText* entry = Find(hr);
  return entry ? entry->name : "Unknown";
}

ZKAPI const char* DXGetErrorDescription9A(HRESULT hr) {
  const SErrorText* entry = Find(hr);
  return entry ? entry->description : "n/a";
}
