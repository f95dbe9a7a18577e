#pragma once
// The release half of the engine shutdown, run by the context's Shutdown between its first log
// line and closing the log. It frees the services in the order they depend on each other, resets
// every port to its default, and owns the services start-up makes that no other object owns (the
// spatial services, the file readers, the surface factory) from their start-up step until then.
#include <memory>
#include <vector>

#include "core/EngineRelease.h"

class CEngineContext;

class CEngineShutdown final : public CEngineRelease {
 public:
  // The one release half, working on the engine's context.
  static CEngineShutdown& Instance();

  // Keeps `service` until the shutdown frees it (after the ports were reset); returns it.
  template <class Service>
  Service* Own(Service* service) {
    if (service != nullptr) m_Owned.emplace_back(service);
    return service;
  }

  // Keeps `service` to the end of the process, for a service the application may still reach
  // after the shutdown (its sounds release themselves through the sound server's list).
  template <class Service>
  void KeepUntilExit(Service* service) {
    if (service != nullptr) m_KeptUntilExit.emplace_back(service);
  }

  void ReleaseServices() override;

 private:
  CEngineShutdown() = default;

  void UnloadToolBox(CEngineContext* context);
  void ReleaseSoundServer(CEngineContext* context);
  void ReleaseInputControllers(CEngineContext* context);
  void ReleaseParticleFactory(CEngineContext* context);
  void ReleaseSceneServices(CEngineContext* context);
  void ReleaseConsole(CEngineContext* context);
  void ReleaseGui(CEngineContext* context);
  void ReleaseRenderer(CEngineContext* context);
  void ReleaseVirtualFileSystem(CEngineContext* context);
  void ReleaseScriptStorage(CEngineContext* context);

  // Freed last made first.
  std::vector<std::shared_ptr<void>> m_Owned;
  std::vector<std::shared_ptr<void>> m_KeptUntilExit;
};
