#pragma once
// What the player needs of the game camera node: its hold flag, set while the free view has the
// camera so that the camera takes no new target.
#include <windef.h>

class CGameCameraHold {
 public:
  virtual void SetHold(BYTE bHold) = 0;

 protected:
  ~CGameCameraHold() = default;
};
