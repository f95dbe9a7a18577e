#pragma once
// How a mesh makes its surfaces. The scene's surface class provides the real factory, which
// start-up sets as the context's surface-factory port; the default makes none.
#include "scene/MeshSurface.h"

class CEngineLog;
class CMesh;
class LWOImportBuffer;
struct LWOSurface;

class CMeshSurfaceFactory {
 public:
  // A new empty surface of the mesh (reference count 1), or null when it cannot be made.
  virtual CMeshSurface* CreateSurface(void* rendererContext, CEngineLog* log, CMesh* mesh) = 0;
  // A new surface of the mesh filled from a surface of the imported object, or null.
  virtual CMeshSurface* CreateImportedSurface(void* rendererContext, CEngineLog* log,
                                             const LWOSurface& imported,
                                             const LWOImportBuffer& object, CMesh* mesh) = 0;

  static CMeshSurfaceFactory& Default();

 protected:
  ~CMeshSurfaceFactory() = default;
};
