#pragma once
// What nodes and the framework's helpers need of the application core. The core registers itself
// here when it is built; until then a do-nothing port stands in, so callers never test for null.
#include "framework/UpdateArgument.h"

class geCCorePort {
 public:
  virtual ~geCCorePort() = default;

  // True while an application core exists: nodes then log their destruction, and file tests may
  // look into the engine's file system.
  virtual bool CoreExists() const { return false; }
  // Redraws the loading screen; every node built from XML asks for it.
  virtual void DrawProgressBar() {}
  // The frame's update argument, which script events receive.
  virtual geSUpdateArgument* GetGlobalArg();

 private:
  geSUpdateArgument m_NoFrame = {0.0f, 0.0f};
};

// The registered port, or the do-nothing one.
geCCorePort& geGetCorePort();
// Registers `pPort` (null: the do-nothing port again) and returns the one it replaces.
geCCorePort* geSetCorePort(geCCorePort* pPort);
