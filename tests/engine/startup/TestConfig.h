#pragma once
// The configuration block the start-up test programs hand to Init: 640 x 480, input in the
// background (the window need not have the focus) polled every 10 ms, over the given presets.
#include "ZKDXGlobals.h"

inline void FillTestConfig(ZeKorbConfig& config, ConfigureGFX* presets, DWORD count) {
  for (DWORD i = 0; i < count; ++i) presets[i].dwSize = sizeof presets[i];
  config.dwSize = sizeof config;
  config.pPresets = presets;
  config.dwNumberOfPresets = count;
  config.wWidth = 640;
  config.wHeight = 480;
  config.dwInputCooperativeFlags = 4;
  config.dwInputPollInterval = 10;
}
