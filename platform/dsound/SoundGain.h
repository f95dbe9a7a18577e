#pragma once
// DirectSound levels in hundredths of a decibel as linear gains. The bottom of the scale
// (DSBVOLUME_MIN, -100 dB) is silence, exactly.
#include <cmath>

#include "dsound.h"

inline float GainOfHundredthsDb(LONG level) {
  if (level <= DSBVOLUME_MIN) return 0.0f;
  if (level >= 0) return 1.0f;
  return std::pow(10.0f, static_cast<float>(level) / 2000.0f);
}
