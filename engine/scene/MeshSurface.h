#pragma once
// What a mesh asks of its surfaces beyond the interface callers see: the per-frame evaluation
// of the animated material and the release of the textures. The engine's surface class derives
// from it, and the context's surface-factory port (CMeshSurfaceFactory) hands these out.
#include "ZKDXInterface.h"

class CEngineLog;
class CMesh;

class CMeshSurface : public CSurfaceInterface {
 public:
  // Evaluates the material envelopes at the time (the mesh's frame).
  virtual void UpdateMaterial(float time) = 0;
  // Releases every texture the surface holds; returns 1.
  virtual UINT ReleaseTextures() = 0;

 protected:
  ~CMeshSurface() = default;
};
