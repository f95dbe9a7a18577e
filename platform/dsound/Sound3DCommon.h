#pragma once
// What the listener and the 3D buffers share.
#include "dsound.h"

inline bool ValidApply(DWORD apply) { return apply == DS3D_IMMEDIATE || apply == DS3D_DEFERRED; }

// DirectSound's axes are left-handed (z into the screen), OpenAL's right-handed.
inline void DirectSoundToOpenAL(const D3DVECTOR& v, float out[3]) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = -v.z;
}
