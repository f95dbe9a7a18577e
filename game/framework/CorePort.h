#pragma once
// What nodes and the framework's helpers need of the application core. The core registers itself
// here when it is built; until then a do-nothing port stands in, so callers never test for null.
#include <windef.h>

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
  // The cursor the main loop sets every frame; 0 for none of the game's own.
  virtual void SetCurrentCursor(HCURSOR) {}
  // The mouse position as fractions of the screen (0 to 1 across it).
  virtual void GetMousePosition(float* pX, float* pY) { *pX = *pY = 0.0f; }

 private:
  geSUpdateArgument m_NoFrame = {0.0f, 0.0f};
};

// The registered port, or the do-nothing one.
geCCorePort& geGetCorePort();
// Registers `pPort` (null: the do-nothing port again) and returns the one it replaces.
geCCorePort* geSetCorePort(geCCorePort* pPort);
