#pragma once
// The demo's objects, each a scene of its own below "objects/" with its textures in
// "objects/Textures/": the unit wall over [0, 1] × [0, 1] and the wet floor's slab over the same
// cell (a wall node places them at their cell's lower corner), and centred on their cell, standing
// on y = 0: the crate, the socket (under the null "master_null", as walking entities are), the
// player, the sub player (with the null "kabelek" where its cable leaves) and the walking entity
// (its body under "master_null"). Also the progress bar's scene, "progress/progress.zks".
//
// The characters' body meshes are keyed in kAnimations ranges of kAnimationFrames frames each,
// range i covering frames [i × kAnimationFrames, (i + 1) × kAnimationFrames − 1]: a bob of its
// own height up and back to rest, so that any range can be given to any animation id. Their
// position channels stay 0 at rest, because the game adds them to the character's cell.
#include <string>

#include "ZKDXGlobals.h"

class DemoEngine;

class DemoObjects {
 public:
  static constexpr float kFramesPerSecond = 30.0f;
  static constexpr UINT kAnimationFrames = 10;
  static constexpr UINT kAnimations = 16;
  // The progress bar grows from nothing at frame 0 to its whole width at this frame.
  static constexpr UINT kProgressFrames = 100;
  // The height of the cable's outlet on the sub player.
  static constexpr float kCableOutletHeight = 1.0f;

  // The bob height of animation range `range` at its middle frame.
  static float BobHeight(UINT range);

  // Writes the object scenes below `folder`; false when any could not be written.
  static bool Write(DemoEngine& engine, const std::string& folder);
};
