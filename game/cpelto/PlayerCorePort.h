#pragma once
// What the player and the level read of the game core: the key bindings and the animation ids
// that scripts set. The standing port answers from the running CPeltoCore, or with the default
// keys and no animation ids when the core is of another kind; tests swap in their own tables.
#include "cpelto/KeyBindings.h"

class CPlayerCorePort {
 public:
  virtual ~CPlayerCorePort() = default;
  virtual const KeyBindings& GetKeyBindings();
  virtual const AnimationIdentifiers& GetAnimationIdentifiers();
};

CPlayerCorePort& GetPlayerCorePort();
// Registers `pPort` (null: the standing port again) and returns the one it replaces.
CPlayerCorePort* SetPlayerCorePort(CPlayerCorePort* pPort);
