#pragma once
// Answers, once per frame, whether anything that moves a world object can have changed, so the
// object can keep the matrices it computed before. Later questions in the same frame read the
// cached answer; that is also what ends walks over parent links that loop.
#include <vector>

#include "windef.h"

class CWorldObject;

enum : UINT {
  GUARD_CAMERA = 1,
  GUARD_LIGHT = 2,
  GUARD_MESH = 3,
  GUARD_NULL = 4,
  GUARD_FRAME_ONLY = 5,  // a change at every new frame, whatever the inputs
};

class CUpdateGuard {
 public:
  // A mode outside 1 to 5 gives a guard without owner that answers 1 on every call.
  CUpdateGuard(CWorldObject* owner, UINT mode);

  // 1 when the owner must recompute at this frame, 0 when its cached results stand.
  UINT Update(float frame);
  // The next recomputation answers 1 whatever the inputs (an explicit value changed).
  void Force() { m_dwForce = 1; }
  UINT GetMode() const { return m_dwMode; }
  // Mesh and null modes: the inputs' answer of the last recomputation, before any force.
  UINT GetInputsChanged() const { return m_dwInputsChanged; }
  // Whether anything can move the owner at some frame: inputs that always change, a motion
  // channel with more than one key, a keyed envelope, or a parent or target that can move.
  // Unlike Update, neither the first frame nor an explicit change counts.
  bool CanEverChange() const;

 private:
  UINT InspectInputs(float frame);
  // `seen` holds the guards asked on the way here; a loop of links adds nothing that moves.
  bool CanEverChange(std::vector<const CUpdateGuard*>& seen) const;

  CWorldObject* m_pOwner;
  UINT m_dwMode;
  float m_fLastFrame = -19.99f;  // no real frame, so the first call always recomputes
  UINT m_dwChanged = 1;
  UINT m_dwForce = 1;
  UINT m_dwInputsChanged = 1;
};
