#pragma once
// Shapes and keys the demo's meshes: closed boxes, so that every object casts a shadow volume and
// the object file takes it, with one textured surface over every face.
#include <string>

#include "ZKDXGlobals.h"

class CMesh;
class CMotion;
class DemoEngine;

class DemoMeshes {
 public:
  struct Look {
    std::string texture;    // a picture file, named as the scene will name it; empty for none
    float emissive = 0.0f;  // 1 for a self-lit surface
    // Texture coordinates from x and z in world units (a floor tiled once per cell) instead of
    // one picture over the box's x and y extent.
    bool tiledFromAbove = false;
  };

  // Gives `mesh` the box from `low` to `high`: vertex normals along z, texture coordinates as
  // `look` says (by default one picture over the box's x and y extent, u along x, v down y) and
  // the surface "`surfaceName`" with a white material; false when the engine refused any part.
  static bool Box(DemoEngine& engine, CMesh* mesh, const CVector3& low, const CVector3& high,
                  const char* surfaceName, const Look& look);

  // A linear key of `value` at `frame` on the channel, which the motion then counts among the
  // channels it evaluates and saves.
  static void Key(CMotion* motion, UINT channel, float frame, float value);
};
