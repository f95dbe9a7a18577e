#pragma once
// DirectSound's axes are left-handed (z into the screen), OpenAL's right-handed.
#include "d3d9types.h"

inline void DirectSoundToOpenAL(const D3DVECTOR& v, float out[3]) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = -v.z;
}
