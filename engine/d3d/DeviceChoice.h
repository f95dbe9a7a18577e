#pragma once
// The engine's choice of device: the rendering-scheme table and the adapter enumeration at
// pre-initialisation, then at Init and at a change of configuration the scheme, the preset,
// the surface formats and the video mode that device creation or reset will use, and the
// preset's optional rendering-profile library. A choice that cannot be made is fatal; a
// missing or broken profile library only logs.
#include "ZKDXGlobals.h"
#include "d3d9types.h"
#include "windef.h"

class CD3D9Adapters;
class CD3D9Enumeration;
class CD3D9RendererInterface;
class CEngineLog;
class CRenderingProfileInterface;
struct DeviceSettings;

// A loaded rendering-profile library and the profile it gave; both null when none is loaded.
struct RenderingProfileLibrary {
  CRenderingProfileInterface* pProfile = nullptr;
  HMODULE hLibrary = nullptr;
};

class CDeviceChoice {
 public:
  explicit CDeviceChoice(CEngineLog* log) : m_pLog(log) {}

  // Builds the scheme table from the application's records and the built-in ones, hands it to
  // the adapters and enumerates them. When no adapter satisfies a scheme: fatal, naming the
  // most demanding scheme the application asked for.
  void EnumerateDevices(CD3D9Adapters& adapters, const ApplicationDescriptor& descriptor);
  // The failure text for the application's kept scheme records.
  static const char* EnumerationFailureText(const RenderingScheme* records, DWORD count);

  // The Init choice: selects among the six schemes up to GeForceFX, then the preset, formats
  // and video mode, and checks the adapter kept a scheme. Leaves `settings` ready for device
  // creation; returns the selected scheme.
  DWORD ChooseForInit(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
                      CD3D9Enumeration& enumeration, DeviceSettings& settings, HWND window);
  // The same for a change of configuration, where RadeonX800 and GeForce6800 may be chosen.
  DWORD ChooseForChange(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
                        CD3D9Enumeration& enumeration, DeviceSettings& settings, HWND window);

  // The scheme steps alone: narrow, log and store the compatible schemes and the chosen one.
  // Fatal when none qualifies.
  DWORD SelectSchemeForInit(const ZeKorbConfig& config, CD3D9Enumeration& enumeration);
  DWORD SelectSchemeForChange(const ZeKorbConfig& config, CD3D9Enumeration& enumeration);

  // Fills `settings` from the preset of the enumeration's selected scheme and settles the video
  // mode, which it writes back into the configuration. Returns 1; failures are fatal.
  UINT ChoosePresetAndVideoMode(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
                                CD3D9Enumeration& enumeration, DeviceSettings& settings);

  // Loads the library named by the first preset of `scheme` that names one and asks it for its
  // profile. Returns 1 with `library` filled, else 0 with `library` empty (logged unless no
  // preset names a library).
  UINT LoadRenderingProfile(const ZeKorbConfig& config, DWORD scheme, CD3D9RendererInterface* renderer,
                            RenderingProfileLibrary& library);
  // Gives a loaded library back; `library` is empty afterwards.
  static void UnloadRenderingProfile(RenderingProfileLibrary& library);

 private:
  // `newestSchemes` adds RadeonX800 and GeForce6800 to the choice.
  DWORD SelectScheme(const ZeKorbConfig& config, CD3D9Enumeration& enumeration, bool newestSchemes);
  DWORD Choose(ZeKorbConfig& config, const ApplicationDescriptor& descriptor,
               CD3D9Enumeration& enumeration, DeviceSettings& settings, HWND window);
  D3DFORMAT FirstExtraSurfaceFormat(WORD code, const CD3D9Enumeration& enumeration);
  D3DFORMAT SecondExtraSurfaceFormat(WORD code, const CD3D9Enumeration& enumeration);
  void SettleVideoMode(ZeKorbConfig& config, const CD3D9Enumeration& enumeration, DeviceSettings& settings);
  void Log(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));

  CEngineLog* m_pLog;
};
