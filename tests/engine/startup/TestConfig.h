#pragma once
// The configuration block the start-up test programs hand to Init: 640 x 480, input in the
// background (the window need not have the focus) polled every 10 ms, over the given presets:
// Radeon9700 for Init and RadeonX800 for a change, the schemes the real adapter meets, in 32-bit
// colour with trilinear filtering.
#include "ZKDXGlobals.h"

inline void FillTestConfig(ZeKorbConfig& config, ConfigureGFX* presets, DWORD count) {
  constexpr DWORD kSchemes[] = {0x20, 0x80};
  for (DWORD i = 0; i < count; ++i) {
    presets[i].dwSize = sizeof presets[i];
    presets[i].dwScheme = kSchemes[i % 2];
    presets[i].Surfaces[4].dwValue = 1;
    presets[i].wDeviceValue = 2;
  }
  config.dwSchemeMask = 0xFE;
  config.dwSize = sizeof config;
  config.pPresets = presets;
  config.dwNumberOfPresets = count;
  config.wWidth = 640;
  config.wHeight = 480;
  config.dwInputCooperativeFlags = 4;
  config.dwInputPollInterval = 10;
}
