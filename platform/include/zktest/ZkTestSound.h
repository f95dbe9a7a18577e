#pragma once
// Test control of DirectSound and waveOut: the devices and capabilities they report, faults to
// inject, and the mixed output read back through OpenAL Soft's loopback device.
#include <cstdint>

#include "dsound.h"
#include "mmsystem.h"
#include "zkplatform/ZkApi.h"

// The output device names that enumeration and waveOut report, instead of OpenAL's; null
// restores OpenAL's list.
ZKAPI void ZkTestSoundSetDevices(const char* const* names, uint32_t count);
// The capabilities IDirectSound8::GetCaps reports; null restores the defaults (software mixing
// only: no hardware buffers).
ZKAPI void ZkTestSoundSetCaps(const DSCAPS* caps);
// The next Lock of any secondary buffer fails with DSERR_BUFFERLOST, and that buffer stays lost
// (stopped, DSBSTATUS_BUFFERLOST, Play and Lock refused) until Restore.
ZKAPI void ZkTestSoundFailNextLock();
// The next Restore of any secondary buffer fails with DSERR_BUFFERLOST and leaves it lost.
ZKAPI void ZkTestSoundFailNextRestore();

// Devices opened from now on render into one loopback output, 44100 Hz float stereo, that
// mixes only when a test asks, so that what was played is exact whatever the machine.
ZKAPI void ZkTestSoundUseLoopback(bool loopback);
// Mixes `frames` frames (2 floats each, left then right) of the loopback output, after queueing
// everything that came due by the platform clock. False when no loopback output is open.
ZKAPI bool ZkTestSoundRender(float* stereo, uint32_t frames);

// Returns once the device's callback thread has finished every block due by the platform clock
// and made every WOM_DONE callback for them (including blocks those callbacks queued that were
// already due). False for a handle that is not open.
ZKAPI bool ZkTestSoundWaveOutSync(HWAVEOUT device);
