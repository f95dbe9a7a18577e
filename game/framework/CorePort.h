#pragma once
// What nodes and the framework's helpers need of the application core. The core registers itself
// here when it is built; until then a do-nothing port stands in, so callers never test for null.
#include <windef.h>

#include "framework/InputState.h"
#include "framework/UpdateArgument.h"

class CMeshInterface;
class geCBaseNode;

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
  // The game's pause state, which is its game timer's.
  virtual bool IsGamePaused() const { return false; }
  // The core's flag word (geCGameCore::kFlag...).
  virtual DWORD GetCoreFlags() const { return 0; }
  // The start-up setting use_shaders: scenes and meshes load with shaders.
  virtual bool UsesShaders() const { return false; }
  // The game-mesh registry: which game object owns an engine mesh.
  virtual void RegisterGameMesh(CMeshInterface*, DWORD) {}
  virtual void UnregisterGameMesh(CMeshInterface*, DWORD) {}
  // Nodes enter the frame's render list during the process pass, lower keys drawn first.
  virtual void AddToRenderList(DWORD, geCBaseNode*) {}
  // 1: the 2D projection over the screen that menus draw in; anything else: the 3D one.
  virtual void SetProjectionMode(DWORD) {}
  // The mouse as the main loop last saw it.
  virtual geMouseStatus* GetMouseStatus();
  // Posts through the core's message router (name, sender, receiver, message id, data).
  virtual void PostMessage(const char*, DWORD, DWORD, DWORD, DWORD) {}

 private:
  geSUpdateArgument m_NoFrame = {0.0f, 0.0f};
  geMouseStatus m_NoMouse = {};
};

// The registered port, or the do-nothing one.
geCCorePort& geGetCorePort();
// Registers `pPort` (null: the do-nothing port again) and returns the one it replaces.
geCCorePort* geSetCorePort(geCCorePort* pPort);
