#pragma once
// An octree as the debug overlays see it: records what it is asked to draw and holds the cells
// a test lists (an id, or the point of a cell).
#include <string>
#include <vector>

#include "scene/SceneOctreeDrawing.h"

class RecordingOctreeDrawing final : public CSceneOctreeDrawing {
 public:
  void DrawBoxes() override { calls.push_back("boxes"); }
  UINT DrawBoxAtPoint(const CVector3& point) override {
    for (const CVector3& held : points)
      if (held == point) {
        calls.push_back("box at point");
        return 1;
      }
    return 0;
  }
  UINT DrawBoxWithID(int id) override {
    for (int held : ids)
      if (held == id) {
        calls.push_back("box " + std::to_string(id));
        return 1;
      }
    return 0;
  }

  std::vector<CVector3> points;
  std::vector<int> ids;
  std::vector<std::string> calls;
};
