#include "d3d/DeviceChoice.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <iterator>
#include <span>
#include <type_traits>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3D9Adapters.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/DeviceSettings.h"
#include "d3d/RenderingProfileInterface.h"
#include "d3d/RenderingSchemes.h"

namespace {

const char kSource[] = "ZKDXInterface";
const char kInitTitle[] = "Error While Initializing";

// The failure texts of the enumeration, most demanding scheme first.
struct EnumerationFailure {
  DWORD scheme;
  const char* text;
};
const EnumerationFailure kEnumerationFailures[] = {
    {ZK_SCHEME_GEFORCE6800,
     "Can't Enumerate D3D Devices.\nMake sure your device supports at least GeForce6800 compatible "
     "features:\n- Vertex Shader v3.0\n- Pixel Shader v3.0\n- Floating Point Render Targets Filtering\n"},
    {ZK_SCHEME_RADEONX800,
     "Can't Enumerate D3D Devices.\nMake sure your device supports at least RadeonX800 compatible "
     "features:\n- Vertex Shader v2.0\n- Pixel Shader v2.0b\n"},
    {ZK_SCHEME_GEFORCEFX,
     "Can't Enumerate D3D Devices.\nMake sure your device supports at least GeForceFX compatible "
     "features:\n- Vertex Shader v2.0a\n- Pixel Shader v2.0a\n"},
    {ZK_SCHEME_RADEON9700,
     "Can't Enumerate D3D Devices.\nMake sure your device supports at least Radeon9700 compatible "
     "features:\n- Vertex Shader v2.0\n- Pixel Shader v2.0\n"},
    {ZK_SCHEME_RADEON8500,
     "Can't Enumerate D3D Devices.\nMake sure your device supports at least Radeon8500 compatible "
     "features:\n- Vertex Shader v1.1 with at least 192 constants\n- Pixel Shader v1.4 with maximum "
     "pixel shader value: 8\n"},
    {ZK_SCHEME_GEFORCE4,
     "Can't Enumerate D3D Devices.\nMake sure your device supports at least GeForce4 compatible "
     "features:\n- Vertex Shader v1.1 with at least 96 constants\n- Pixel Shader v1.3\n"},
    {ZK_SCHEME_GEFORCE3,
     "Can't Enumerate D3D Devices.\nMake sure your device supports at least GeForce3 compatible "
     "features:\n- Vertex Shader v1.1 with at least 96 constants\n- Pixel Shader v1.1\n"},
};
const char kGeForceFailure[] =
    "Can't Enumerate D3D Devices.\nMake sure your device supports at least GeForce compatible "
    "features:\n- Two simulatenous textures\n- Dot Product\n- Cube Textures\n";

const char* SchemeLine(DWORD scheme) {
  switch (scheme) {
    case ZK_SCHEME_GEFORCE2: return "  - GeForce2\n";
    case ZK_SCHEME_GEFORCE3: return "  - GeForce3\n";
    case ZK_SCHEME_GEFORCE4: return "  - GeForce4\n";
    case ZK_SCHEME_RADEON8500: return "  - Radeon8500\n";
    case ZK_SCHEME_RADEON9700: return "  - Radeon9700\n";
    case ZK_SCHEME_GEFORCEFX: return "  - GeForceFX\n";
    case ZK_SCHEME_RADEONX800: return "  - RadeonX800\n";
    case ZK_SCHEME_GEFORCE6800: return "  - GeForce6800\n";
  }
  return "";
}

// The order the application's schemes are listed in the log.
const DWORD kInitListing[] = {ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEON8500, ZK_SCHEME_GEFORCEFX,
                              ZK_SCHEME_GEFORCE3,   ZK_SCHEME_GEFORCE4,   ZK_SCHEME_GEFORCE2};
const DWORD kChangeListing[] = {ZK_SCHEME_RADEONX800, ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEON8500,
                                ZK_SCHEME_GEFORCE6800, ZK_SCHEME_GEFORCEFX,  ZK_SCHEME_GEFORCE3,
                                ZK_SCHEME_GEFORCE4,   ZK_SCHEME_GEFORCE2};

template <size_t N>
DWORD MaskOf(const DWORD (&schemes)[N]) {
  DWORD mask = 0;
  for (DWORD scheme : schemes) mask |= scheme;
  return mask;
}

// A scheme that may be selected, and what the masks must hold for it.
struct SchemeCandidate {
  DWORD scheme;
  DWORD schemeMaskNeeds;     // the bit the configuration's scheme mask must hold
  DWORD techniqueMaskNeeds;  // the bit the technique mask must hold, when it is not 0
};

// In selection order: the first that qualifies is chosen.
const SchemeCandidate kInitCandidates[] = {
    {ZK_SCHEME_GEFORCEFX, ZK_SCHEME_GEFORCEFX, ZK_SCHEME_GEFORCEFX},
    {ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEON9700},
    {ZK_SCHEME_RADEON8500, ZK_SCHEME_RADEON8500, ZK_SCHEME_RADEON8500},
    {ZK_SCHEME_GEFORCE4, ZK_SCHEME_GEFORCE4, ZK_SCHEME_GEFORCE4},
    {ZK_SCHEME_GEFORCE3, ZK_SCHEME_GEFORCE3, ZK_SCHEME_GEFORCE3},
    {ZK_SCHEME_GEFORCE2, ZK_SCHEME_GEFORCE2, ZK_SCHEME_GEFORCE2},
};
// The two newest schemes ride on the scheme-mask bit of their older sibling when a technique
// mask asks for them by name.
const SchemeCandidate kChangeCandidates[] = {
    {ZK_SCHEME_GEFORCE6800, ZK_SCHEME_GEFORCEFX, ZK_SCHEME_GEFORCE6800},
    {ZK_SCHEME_RADEONX800, ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEONX800},
    {ZK_SCHEME_GEFORCEFX, ZK_SCHEME_GEFORCEFX, ZK_SCHEME_GEFORCEFX},
    {ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEON9700},
    {ZK_SCHEME_RADEON8500, ZK_SCHEME_RADEON8500, ZK_SCHEME_RADEON8500},
    {ZK_SCHEME_GEFORCE4, ZK_SCHEME_GEFORCE4, ZK_SCHEME_GEFORCE4},
    {ZK_SCHEME_GEFORCE3, ZK_SCHEME_GEFORCE3, ZK_SCHEME_GEFORCE3},
    {ZK_SCHEME_GEFORCE2, ZK_SCHEME_GEFORCE2, ZK_SCHEME_GEFORCE2},
};


// The standard video modes, largest first: a missing one steps down to the next.
const CD3D9Enumeration::StandardMode kModesLargestFirst[] = {
    CD3D9Enumeration::kMode1600x1200, CD3D9Enumeration::kMode1280x1024, CD3D9Enumeration::kMode1280x960,
    CD3D9Enumeration::kMode1152x864,  CD3D9Enumeration::kMode1024x768,  CD3D9Enumeration::kMode800x600,
    CD3D9Enumeration::kMode640x480};

UINT HasMode(const CD3D9Enumeration& enumeration, CD3D9Enumeration::StandardMode mode) {
  switch (mode) {
    case CD3D9Enumeration::kMode640x480: return enumeration.HasMode640x480();
    case CD3D9Enumeration::kMode800x600: return enumeration.HasMode800x600();
    case CD3D9Enumeration::kMode1024x768: return enumeration.HasMode1024x768();
    case CD3D9Enumeration::kMode1152x864: return enumeration.HasMode1152x864();
    case CD3D9Enumeration::kMode1280x960: return enumeration.HasMode1280x960();
    case CD3D9Enumeration::kMode1280x1024: return enumeration.HasMode1280x1024();
    case CD3D9Enumeration::kMode1600x1200: return enumeration.HasMode1600x1200();
    case CD3D9Enumeration::kStandardModeCount: break;
  }
  return 0;
}

// The presets are the application's; the engine writes the descriptor kinds into them.
ConfigureGFX* FindPreset(const ZeKorbConfig& config, DWORD scheme, bool needsLibrary) {
  if (!config.pPresets) return nullptr;
  for (DWORD i = 0; i < config.dwNumberOfPresets; ++i) {
    ConfigureGFX& preset = config.pPresets[i];
    if (preset.dwScheme == scheme && (!needsLibrary || preset.szRenderingProfileLibrary)) return &preset;
  }
  return nullptr;
}

}  // namespace

void CDeviceChoice::Log(int level, const char* format, ...) {
  if (!m_pLog) return;
  char text[CEngineLog::kMaxMessage];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  m_pLog->Log(kSource, __LINE__, level, "%s", text);
}

const char* CDeviceChoice::EnumerationFailureText(const RenderingScheme* records, DWORD count) {
  DWORD asked = 0;
  for (DWORD i = 0; records && i < count; ++i) asked |= records[i].dwScheme;
  for (const EnumerationFailure& failure : kEnumerationFailures)
    if (asked & failure.scheme) return failure.text;
  return kGeForceFailure;
}

void CDeviceChoice::EnumerateDevices(CD3D9Adapters& adapters, const ApplicationDescriptor& descriptor) {
  GetEngineContext()->dwPriorityClass = 32;
  CRenderingSchemes schemes;
  schemes.Build(descriptor.pRenderingSchemes, descriptor.dwNumberOfRenderingSchemes, m_pLog);
  adapters.SetSchemes(schemes.GetScheme(0), schemes.GetNumberOfSchemes());
  if (adapters.Enumerate()) return;
  FatalErrorWithTitle("Error!", "%s", EnumerationFailureText(schemes.GetScheme(0), schemes.GetApplicationCount()));
}

DWORD CDeviceChoice::SelectScheme(const ZeKorbConfig& config, CD3D9Enumeration& enumeration,
                                  bool newestSchemes) {
  const std::span<const DWORD> listing = newestSchemes ? std::span<const DWORD>(kChangeListing)
                                                       : std::span<const DWORD>(kInitListing);
  const std::span<const SchemeCandidate> candidates =
      newestSchemes ? std::span<const SchemeCandidate>(kChangeCandidates)
                    : std::span<const SchemeCandidate>(kInitCandidates);
  const DWORD schemes = newestSchemes ? MaskOf(kChangeListing) : MaskOf(kInitListing);
  // The adapter's own findings, not a mask an earlier choice narrowed.
  const DWORD supported = enumeration.GetSupportedSchemes();
  const DWORD application = supported & config.dwSchemeMask & schemes;
  enumeration.SetCompatibleSchemes(application);
  Log(CEngineLog::kLevelInfo, "- App Can Work With The Following Schemes:\n");
  for (DWORD scheme : listing)
    if (application & scheme) Log(CEngineLog::kLevelInfo, "%s", SchemeLine(scheme));

  DWORD selected = 0;
  for (const SchemeCandidate& candidate : candidates) {
    if (selected) break;
    const bool qualifies =
        (supported & candidate.scheme) &&
        (config.dwTechniqueMask == 0
             ? (config.dwSchemeMask & candidate.scheme) != 0
             : (config.dwSchemeMask & candidate.schemeMaskNeeds) &&
                   (config.dwTechniqueMask & candidate.techniqueMaskNeeds));
    if (qualifies) selected = candidate.scheme;
  }
  if (!selected) FatalErrorWithTitle("Error While Initializing Engine", "Can't Set Adequate Technique");
  enumeration.SetSelectedScheme(selected);
  Log(CEngineLog::kLevelInfo, "- Selected Scheme Is:\n");
  Log(CEngineLog::kLevelInfo, "%s", SchemeLine(selected));
  return selected;
}

DWORD CDeviceChoice::SelectSchemeForInit(const ZeKorbConfig& config, CD3D9Enumeration& enumeration) {
  return SelectScheme(config, enumeration, false);
}

DWORD CDeviceChoice::SelectSchemeForChange(const ZeKorbConfig& config, CD3D9Enumeration& enumeration) {
  return SelectScheme(config, enumeration, true);
}

DWORD CDeviceChoice::Choose(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
                            CD3D9Enumeration& enumeration, DeviceSettings& settings, HWND window) {
  if (!ChoosePresetAndVideoMode(config, descriptor, enumeration, settings))
    FatalErrorWithTitle(kInitTitle, "Can't Set Default Settings");
  settings.hWnd = window;
  const DWORD selected = enumeration.GetSelectedScheme();
  if (selected == 0) FatalErrorWithTitle(kInitTitle, "Can't Find Device That Supports Required Schemes");
  settings.dwWindowed = descriptor.dwWindowed;
  return selected;
}

DWORD CDeviceChoice::ChooseForInit(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
                                   CD3D9Enumeration& enumeration, DeviceSettings& settings, HWND window) {
  SelectSchemeForInit(config, enumeration);
  return Choose(config, descriptor, enumeration, settings, window);
}

DWORD CDeviceChoice::ChooseForChange(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
                                     CD3D9Enumeration& enumeration, DeviceSettings& settings, HWND window) {
  SelectSchemeForChange(config, enumeration);
  return Choose(config, descriptor, enumeration, settings, window);
}

D3DFORMAT CDeviceChoice::FirstExtraSurfaceFormat(WORD code, const CD3D9Enumeration& enumeration) {
  switch (code) {
    case 0: return D3DFMT_X8R8G8B8;
    case 1: return D3DFMT_R5G6B5;
    case 2: return D3DFMT_DXT1;
    case 6: {
      const DWORD bit = CD3D9Enumeration::FormatBit(D3DFMT_A16B16G16R16F);
      if (enumeration.HasTextureFormatBits(bit) && enumeration.HasRenderTargetFormatBits(bit) &&
          enumeration.HasCubeTextureFormatBits(bit) && enumeration.HasCubeRenderTargetFormatBits(bit))
        return D3DFMT_A16B16G16R16F;
      Log(CEngineLog::kLevelError,
          "WARNING!!! - Device Doesnt Support A16B16G16R16F, 32bpp integer color format will be used!!!\n");
      return D3DFMT_X8R8G8B8;
    }
  }
  return D3DFMT_X8R8G8B8;
}

D3DFORMAT CDeviceChoice::SecondExtraSurfaceFormat(WORD code, const CD3D9Enumeration& enumeration) {
  struct Checked {
    WORD code;
    D3DFORMAT format;
    const char* warning;
  };
  static const Checked kChecked[] = {
      {3, D3DFMT_V8U8,
       "WARNING!!! - Device Doesnt Support V8U8, 32bpp integer color format will be used!!!\n"},
      {4, D3DFMT_G16R16,
       "WARNING!!! - Device Doesnt Support G16R16, 32bpp integer color format will be used!!!\n"},
      {5, D3DFMT_A16B16G16R16,
       "WARNING!!! - Device Doesnt Support A16B16G16R16, 32bpp integer color format will be used!!!\n"},
      {6, D3DFMT_A16B16G16R16F,
       "WARNING!!! - Device Doesnt Support A16B16G16R16F, 32bpp integer color format will be used!!!\n"},
  };
  if (code == 1) return D3DFMT_R5G6B5;
  if (code == 2) return D3DFMT_DXT1;
  for (const Checked& checked : kChecked) {
    if (checked.code != code) continue;
    const DWORD bit = CD3D9Enumeration::FormatBit(checked.format);
    if (enumeration.HasTextureFormatBits(bit) && enumeration.HasRenderTargetFormatBits(bit))
      return checked.format;
    Log(CEngineLog::kLevelError, "%s", checked.warning);
    return D3DFMT_X8R8G8B8;
  }
  return D3DFMT_X8R8G8B8;
}

void CDeviceChoice::SettleVideoMode(ZeKorbConfig& config, const CD3D9Enumeration& enumeration,
                                    DeviceSettings& settings) {
  WORD width = config.wWidth;
  WORD height = config.wHeight;
  size_t requested = std::size(kModesLargestFirst);
  for (size_t i = 0; i < std::size(kModesLargestFirst); ++i) {
    const CD3D9Enumeration::ModeSize& size = CD3D9Enumeration::kStandardModes[kModesLargestFirst[i]];
    if (size.width == width && size.height == height) requested = i;
  }
  // A size outside the standard list is the application's own business and is kept.
  if (requested < std::size(kModesLargestFirst)) {
    size_t offered = requested;
    while (offered < std::size(kModesLargestFirst) && !HasMode(enumeration, kModesLargestFirst[offered])) ++offered;
    if (offered == std::size(kModesLargestFirst))
      FatalErrorWithTitle("Error While Looking For Video Modes", "Can't Find Suitable Video Mode");
    const CD3D9Enumeration::ModeSize& size = CD3D9Enumeration::kStandardModes[kModesLargestFirst[offered]];
    width = static_cast<WORD>(size.width);
    height = static_cast<WORD>(size.height);
  }
  config.wWidth = settings.wWidth = width;
  config.wHeight = settings.wHeight = height;
}

UINT CDeviceChoice::ChoosePresetAndVideoMode(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
                                             CD3D9Enumeration& enumeration, DeviceSettings& settings) {
  CEngineContext* context = GetEngineContext();
  settings = DeviceSettings{};
  if (!config.pPresets || config.dwNumberOfPresets == 0)
    FatalErrorWithTitle(kInitTitle, "Can't Find Correct Preset");
  const DWORD scheme = enumeration.GetSelectedScheme();
  ConfigureGFX* preset = FindPreset(config, scheme, false);
  if (!preset) FatalErrorWithTitle(kInitTitle, "Can't Find Correct Preset");

  context->wPresetValue = preset->wLightingModel;
  const bool trueColour = preset->Surfaces[4].dwValue == 1;
  settings.BackBufferFormat = trueColour ? D3DFMT_A8R8G8B8 : D3DFMT_R5G6B5;
  settings.DepthStencilFormat = trueColour ? D3DFMT_D24S8 : D3DFMT_D16;
  settings.TextureFormat = FirstExtraSurfaceFormat(preset->wExtraSurfaceFormat1, enumeration);
  settings.SecondaryTextureFormat = SecondExtraSurfaceFormat(preset->wExtraSurfaceFormat2, enumeration);

  // The preset's five descriptors fill the first five lists; the other kinds stay empty.
  static_assert(std::extent_v<decltype(ConfigureGFX::Surfaces)> <= DeviceSettings::kDescriptorListCount);
  for (size_t i = 0; i < std::size(preset->Surfaces); ++i) {
    preset->Surfaces[i].dwKind = DeviceSettings::kDescriptorKinds[i];
    SurfaceDescriptorList& list = settings.Descriptors[i];
    list.pDescriptors[list.dwCount++] = &preset->Surfaces[i];
  }

  settings.wTextureFilter = preset->wDeviceValue;
  settings.dwSelectedScheme = scheme;
  settings.dwShowCommand = descriptor.dwShowCommand;
  settings.dwPositionWindow = context->dwWindowOwned;
  settings.dwMultithreaded = config.dwDeviceValue;
  settings.dwMipmapping = preset->dwDeviceValue;
  settings.dwVSync = config.dwVSync;
  // No preset word withholds generated mipmaps: the adapter and the format decide.
  settings.dwAllowAutoGenMipmaps = 1;
  if (config.dwUseDeviceValues == 1 && enumeration.GetReservedFlag() == 1) {
    settings.dwIndexBufferResourceManagement = config.dwDeviceValueA;
    settings.dwVertexBufferResourceManagement = config.dwDeviceValueB;
  }

  SettleVideoMode(config, enumeration, settings);

  if (config.dwNoHardwareVertexProcessing == 1) enumeration.SetHardwareVertexProcessing(0);
  if (config.dwReferenceRasterizer == 1) enumeration.UseReferenceRasterizer();
  context->dwPriorityClass = 32;
  return 1;
}

UINT CDeviceChoice::LoadRenderingProfile(const ZeKorbConfig& config, DWORD scheme,
                                         CD3D9RendererInterface* renderer, RenderingProfileLibrary& library) {
  library = RenderingProfileLibrary{};
  const ConfigureGFX* preset = FindPreset(config, scheme, true);
  if (!preset) return 0;
  const char* name = preset->szRenderingProfileLibrary;
  HMODULE module = LoadLibraryA(name);
  if (!module) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Load Rendering Profile DLL: %s\n", name);
    return 0;
  }
  auto entry = reinterpret_cast<GetRenderingProfileInterfaceProc>(GetProcAddress(module, "GetRenderingProfileInterface"));
  if (!entry) {
    const DWORD error = GetLastError();
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Load Rendering Profile's Main Function In DLL: %s (%i)\n", name,
        static_cast<int>(error));
    FreeLibrary(module);
    return 0;
  }
  CRenderingProfileInterface* profile = entry(renderer, m_pLog);
  if (!profile) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Load Rendering Profile's Interface From DLL: %s\n", name);
    FreeLibrary(module);
    return 0;
  }
  library.pProfile = profile;
  library.hLibrary = module;
  return 1;
}

void CDeviceChoice::UnloadRenderingProfile(RenderingProfileLibrary& library) {
  if (library.hLibrary) FreeLibrary(library.hLibrary);
  library = RenderingProfileLibrary{};
}
