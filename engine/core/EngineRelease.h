#pragma once
// The release half of the engine shutdown: frees, in the order they depend on each other, the
// services start-up made, and resets every port. Start-up sets its implementation; the default
// releases nothing (an engine that never started has nothing to free).
class CEngineRelease {
 public:
  virtual void ReleaseServices() = 0;

  static CEngineRelease& Default();

 protected:
  ~CEngineRelease() = default;
};
