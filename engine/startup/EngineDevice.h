#pragma once
// The engine's device as start-up, a change of configuration, Alt+Enter and shutdown drive it:
// the renderer made at pre-initialisation and kept in the context, the device settings it
// reads, the preset's rendering-profile library, and the scene passes registered with it.
#include <memory>

#include "d3d/DeviceChoice.h"
#include "d3d/DeviceSettings.h"
#include "input/DeviceReset.h"
#include "startup/EngineScenePasses.h"

class CD3D9Renderer;
class CEngineContext;

class CEngineDevice final : public CDeviceReset {
 public:
  static CEngineDevice& Instance();

  // Pre-initialisation: makes the renderer, keeps it in the context and enumerates the
  // adapters by rendering scheme. Fatal when there is no renderer or no usable adapter.
  void CreateRenderer(CEngineContext* context);
  // Init: chooses scheme, preset and video mode, loads the preset's rendering profile, creates
  // the device, and registers the scene passes and the Alt+Enter reset. Failures are fatal.
  void CreateDevice(CEngineContext* context);
  // A change of configuration: chooses again (the newest schemes included) and resets the
  // device; the reset's result.
  UINT ChangeConfiguration(CEngineContext* context);
  // Alt+Enter: the window procedure has switched the windowed flag; the device follows it.
  HRESULT ResetDevice() override;
  // Shutdown: the passes and the Alt+Enter reset go first, then the device, then the profile
  // library. The renderer object stays, answering nothing, for callers that still hold it.
  void Release(CEngineContext* context);

  // Init: "flare.jpg", the engine's own image, becomes the texture the scene passes draw flares
  // with. Fatal when the texture bank cannot make it.
  void CreateFlareTexture();
  CD3D9Renderer* GetRenderer() const { return m_pRenderer.get(); }
  const DeviceSettings& GetSettings() const { return m_Settings; }

 private:
  CEngineDevice() = default;

  std::unique_ptr<CD3D9Renderer> m_pRenderer;
  DeviceSettings m_Settings{};
  RenderingProfileLibrary m_Profile;
  CEngineScenePasses m_Passes;
};
