#pragma once
// The configuration block the start-up test programs hand to Init: two presets of 32-bit colour
// and trilinear filtering on schemes 0x20 and 0x80, each with one 128 x 128 rectangle target and
// one cube target of edge 64 as the game asks for, 640 x 480, input in the background (the window
// need not have the focus) polled every 10 ms.
#include "ZKDXGlobals.h"

inline void FillTestConfig(ZeKorbConfig& config, ConfigureGFX (&presets)[2]) {
  for (ConfigureGFX& preset : presets) {
    preset.dwSize = sizeof preset;
    preset.Surfaces[2] = {1, 0, 1, 128, 128, 0};  // A8R8G8B8, count 1
    preset.Surfaces[3] = {1, 0, 1, 0, 0, 64};
    preset.Surfaces[4].dwValue = 1;  // 32-bit colour
    preset.wDeviceValue = 2;         // trilinear filtering
  }
  presets[0].dwScheme = 0x20;
  presets[1].dwScheme = 0x80;
  config.dwSize = sizeof config;
  config.pPresets = presets;
  config.dwNumberOfPresets = 2;
  config.dwSchemeMask = 0xFE;
  config.wWidth = 640;
  config.wHeight = 480;
  config.dwInputCooperativeFlags = 4;
  config.dwInputPollInterval = 10;
}
