#pragma once
// One output device of the sound server's device table, with the capability counts DirectSound
// reported for it when the server was made.
#include "windef.h"

struct SoundDevice {
  static constexpr size_t kMaxDescription = 123;

  GUID* pGuid;        // a copy of the device's GUID; null for the primary (default) device
  UINT uWaveOutId;    // waveOut mode only
  char szDescription[kMaxDescription + 1];
  DWORD dwFreeHwMixingStreamingBuffers;
  DWORD dwFreeHwMixingStaticBuffers;
  DWORD dwMaxHwMixingAllBuffers;
  DWORD dwMaxHw3DAllBuffers;
  DWORD dwFreeHw3DStreamingBuffers;
  DWORD dwFreeHw3DStaticBuffers;
  DWORD dwFreeHwMemBytes;
  DWORD dwCapsValid;  // 1 once the counts were read
};
