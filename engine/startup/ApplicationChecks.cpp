#include "startup/ApplicationChecks.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "ZKDXGlobals.h"
#include "core/FatalError.h"

namespace {

const int kConfigSize = static_cast<int>(sizeof(ZeKorbConfig));
const int kPresetSize = static_cast<int>(sizeof(ConfigureGFX));

int SizeOf(const ZeKorbConfig* config) { return config ? static_cast<int>(config->dwSize) : 0; }

// The size of preset `index`; 0 when the block names presets but gives no array.
int PresetSize(const ZeKorbConfig* config, DWORD index) {
  return config->pPresets ? static_cast<int>(config->pPresets[index].dwSize) : 0;
}

}  // namespace

void RefuseApplication(const char* format, ...) {
  char text[kMaxErrorText];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  MessageBoxA(GetForegroundWindow(), text, "ERROR!!!", MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

void CheckConfigurationBlock(const ZeKorbConfig* config, bool numberPresets) {
  if (SizeOf(config) != kConfigSize)
    RefuseApplication(
        "!!!!This Version Of ZeKorbD3D Can't Work With This Executable File\nZeKorbConfig Size "
        "Mistmatch (%i - %i)",
        kConfigSize, SizeOf(config));
  for (DWORD i = 0; i < config->dwNumberOfPresets; ++i) {
    const int size = PresetSize(config, i);
    if (size == kPresetSize) continue;
    if (numberPresets)
      RefuseApplication(
          "!!!!This Version Of ZeKorbD3D Can't Work With This Executable File\nConfigureGFX "
          "Mistmatch (%i - %i) - Presets: %i, No.: %i",
          kPresetSize, size, static_cast<int>(config->dwNumberOfPresets), static_cast<int>(i));
    RefuseApplication(
        "!!!!This Version Of ZeKorbD3D Can't Work With This Executable File\nConfigureGFX "
        "Mistmatch (%i - %i)",
        kPresetSize, size);
  }
}

void CheckConfigurationSizes(const ZeKorbConfig* config) {
  const char kMismatch[] = "!!!!This Version Of ZeKorb Can't Work With This Executable File - %i - %i";
  if (SizeOf(config) != kConfigSize) FatalErrorWithTitle("", kMismatch, SizeOf(config), kConfigSize);
  for (DWORD i = 0; i < config->dwNumberOfPresets; ++i)
    if (PresetSize(config, i) != kPresetSize)
      FatalErrorWithTitle("", kMismatch, PresetSize(config, i), kPresetSize);
}
