#pragma once
// The values the game writes into the blocks it hands the engine at start-up. The blocks are
// the engine's (ZKDXGlobals.h); these functions only fill them from the game's settings.
#include <windef.h>

#include "ZKDXGlobals.h"

// The start-up settings of the application core, read from the game tree.
struct geSEngineSettings {
  DWORD use_perpixel = 0;
  DWORD use_shaders = 1;
  DWORD use_logs = 1;
  WORD wWidth = 800;
  WORD wHeight = 600;
  DWORD bFullScreen = 0;
  DWORD bShadowsOff = 0;
  DWORD bHideSystemCursor = 0;
};

// The program entry's values, passed through to the engine.
struct geSProgramValues {
  HINSTANCE hInstance = nullptr;
  const char* szCommandLine = nullptr;
  DWORD dwShowCommand = 0;
};

constexpr DWORD kMaxRenderingPresets = 4;

// Zeroes the descriptor and fills it for the window `hWnd` (null: the engine makes its own).
void geFillApplicationDescriptor(ApplicationDescriptor& descriptor, const geSEngineSettings& settings,
                                 const geSProgramValues& program, HWND hWnd);
void geFillTonarisConfig(TonarisConfig& config);
// Fills `presets` (room for kMaxRenderingPresets) and returns how many were written: four with
// per-pixel lighting, else three.
DWORD geFillRenderingPresets(ConfigureGFX* presets, const geSEngineSettings& settings);
// Zeroes the block and fills it around presets and a sound block the caller keeps alive.
void geFillZeKorbConfig(ZeKorbConfig& config, const geSEngineSettings& settings,
                        ConfigureGFX* presets, DWORD dwPresets, TonarisConfig* pTonaris);
