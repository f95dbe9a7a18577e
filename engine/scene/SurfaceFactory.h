#pragma once
// The engine's surfaces as meshes make them: start-up sets one as the context's surface-factory
// port.
#include "scene/MeshSurfaceFactory.h"

class CSurfaceFactory final : public CMeshSurfaceFactory {
 public:
  CMeshSurface* CreateSurface(void* rendererContext, CEngineLog* log, CMesh* mesh) override;
  CMeshSurface* CreateImportedSurface(void* rendererContext, CEngineLog* log,
                                     const LWOSurface& imported, const LWOImportBuffer& object,
                                     CMesh* mesh) override;
};
