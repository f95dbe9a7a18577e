#include "framework/EngineConfiguration.h"

#include <windows.h>

#include <cstring>

namespace {

const char* const kWindowTitle = "Cyber Pelto";
const char* const kApplicationName = "cpelto";
constexpr int kIconResource = 106;

// The eighteen values and two register values of one preset record.
struct PresetValues {
  DWORD p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, p13, p14, p15, p16;
  const char* p17;
  DWORD p18;
  WORD A, B;
};

void WritePreset(ConfigureGFX& preset, const PresetValues& v) {
  memset(&preset, 0, sizeof preset);
  preset.szRenderingProfileLibrary = v.p17;
  preset.dwSize = sizeof(ConfigureGFX);
  preset.dwScheme = v.p1;
  ConfigureGFXSurface* s = preset.Surfaces;
  s[0].dwValue = v.p6 == 32 ? 0x06000401 : 0x08000801;
  s[0].wValue1 = static_cast<WORD>(v.p15);
  s[0].wWidth = s[0].wHeight = v.A;
  s[1].dwValue = v.p6 == 32 ? 0x401 : 0x801;
  s[1].wValue1 = static_cast<WORD>(v.p14);
  s[1].wValue2 = static_cast<WORD>(v.p4);
  s[2].dwValue = s[3].dwValue = v.p7 == 32 ? 1 : 4;
  s[2].wValue1 = static_cast<WORD>(v.p13);
  s[2].wWidth = s[2].wHeight = v.B;
  s[3].wValue1 = static_cast<WORD>(v.p12);
  s[3].wValue2 = static_cast<WORD>(v.p5);
  s[4].dwValue = 1;
  s[4].wWidth = static_cast<WORD>(v.p2);
  s[4].wHeight = static_cast<WORD>(v.p3);
  preset.wExtraSurfaceFormat1 = static_cast<WORD>(v.p8);
  preset.wExtraSurfaceFormat2 = static_cast<WORD>(v.p9);
  preset.wDeviceValue = static_cast<WORD>(v.p10);
  preset.wLightingModel = static_cast<WORD>(v.p11);
  preset.wReserved = static_cast<WORD>(v.p16);
  preset.dwDeviceValue = v.p18;
}

// What differs between the presets: scheme, back-buffer size, p5, p8 to p11 and B.
struct PresetRow {
  DWORD scheme, size, p5, p8, p9, p10, p11;
  WORD B;
};

constexpr PresetRow kPerPixelPresets[] = {
    {ZK_SCHEME_RADEON9700, 1024, 256, 0, 5, 2, 2, 256},
    {ZK_SCHEME_GEFORCEFX, 1024, 128, 0, 5, 2, 2, 128},
    {ZK_SCHEME_GEFORCE3, 1024, 128, 2, 2, 2, 2, 128},
    {ZK_SCHEME_RADEON8500, 1024, 256, 2, 2, 2, 2, 256},
};
constexpr PresetRow kPerVertexPresets[] = {
    {ZK_SCHEME_RADEON9700, 1024, 128, 0, 5, 2, 1, 128},
    {ZK_SCHEME_GEFORCE3, 1024, 128, 2, 2, 2, 1, 128},
    {ZK_SCHEME_GEFORCE2, 512, 64, 2, 2, 2, 1, 64},
};

}  // namespace

void geFillApplicationDescriptor(ApplicationDescriptor& descriptor, const geSEngineSettings& settings,
                                 const geSProgramValues& program, HWND hWnd) {
  memset(&descriptor, 0, sizeof descriptor);
  descriptor.dwUseLogs = settings.use_logs;
  descriptor.dwVersion = ZEKORB_VERSION;
  descriptor.dwSize = sizeof(ApplicationDescriptor);
  descriptor.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(kIconResource));
  descriptor.dwShowCommand = program.dwShowCommand;
  descriptor.hInstance = program.hInstance;
  descriptor.szCommandLine = program.szCommandLine;
  descriptor.hWnd = hWnd;
  descriptor.szApplicationName = kApplicationName;
  descriptor.szWindowTitle = kWindowTitle;
  descriptor.dwWindowed = settings.bFullScreen ? 0 : 1;
  // The quit callback stays null: the engine then ends the process itself at shutdown.
  descriptor.dwUseQuitCallback = 1;
}

void geFillTonarisConfig(TonarisConfig& config) {
  config.dwSize = sizeof(TonarisConfig);
  config.dwDeviceIndex = 0xFFFFFFFF;
  config.dwFlags = 2;
  config.dwBufferCount1 = 16;
  config.dwBufferCount2 = 16;
}

DWORD geFillRenderingPresets(ConfigureGFX* presets, const geSEngineSettings& settings) {
  const PresetRow* rows = settings.use_perpixel ? kPerPixelPresets : kPerVertexPresets;
  const DWORD dwCount = settings.use_perpixel ? 4 : 3;
  for (DWORD i = 0; i < dwCount; ++i) {
    const PresetRow& row = rows[i];
    WritePreset(presets[i], {row.scheme, row.size, row.size, 0, row.p5, 32, 32, row.p8, row.p9,
                             row.p10, row.p11, 1, 1, 0, 0, 0, nullptr, 1, 0, row.B});
  }
  return dwCount;
}

void geFillZeKorbConfig(ZeKorbConfig& config, const geSEngineSettings& settings,
                        ConfigureGFX* presets, DWORD dwPresets, TonarisConfig* pTonaris) {
  memset(&config, 0, sizeof config);
  config.dwInputCooperativeFlags = 2;
  config.dwInputPollInterval = 12;
  config.dwInputValue = 1;
  config.dwEscapeShutsDown = 0;
  config.dwSize = sizeof(ZeKorbConfig);
  config.pPresets = presets;
  config.dwNumberOfPresets = dwPresets;
  config.pTonarisConfig = pTonaris;
  for (DWORD i = 0; i < dwPresets; ++i) config.dwSchemeMask |= presets[i].dwScheme;
  config.wWidth = settings.wWidth;
  config.wHeight = settings.wHeight;
  config.dwUseSound = 1;
  config.dwLockConsole = 1;
  config.dwKeepActive = 1;
  config.dwVSync = 0;
}
