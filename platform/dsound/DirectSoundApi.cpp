// The DirectSound entry points.
#include "DirectSound8.h"
#include "SoundSystem.h"
#include "dsound.h"

HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
  if (!callback) return DSERR_INVALIDPARAM;
  if (!callback(nullptr, "Primary Sound Driver", "", context)) return DS_OK;
  for (const std::string& name : CSoundSystem::OutputNames()) {
    GUID guid = CSoundSystem::GuidOf(name);
    if (!callback(&guid, name.c_str(), "zkplatform", context)) break;
  }
  return DS_OK;
}

HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* directSound, LPUNKNOWN outer) {
  if (!directSound) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  return CDirectSound8::Create(device, directSound);
}
