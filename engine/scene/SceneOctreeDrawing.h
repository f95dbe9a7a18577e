#pragma once
// What the debug overlays ask of a scene's octree: its cells as line boxes, the deepest cell
// holding a point, the cell with an id. The octree implements it.
#include "ZKDXMath.h"
#include "windef.h"

class CSceneOctreeDrawing {
 public:
  virtual void DrawBoxes() = 0;
  // Draws the deepest cell holding the point; 0 when no cell holds it.
  virtual UINT DrawBoxAtPoint(const CVector3& point) = 0;
  // Draws the cell with the id; 0 when there is none.
  virtual UINT DrawBoxWithID(int id) = 0;

 protected:
  ~CSceneOctreeDrawing() = default;
};
