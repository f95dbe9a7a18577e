#include "scene/SurfaceFactory.h"

#include <new>

#include "scene/Surface.h"

CMeshSurface* CSurfaceFactory::CreateSurface(void* rendererContext, CEngineLog* log,
                                             CMesh* mesh) {
  return new (std::nothrow) CSurface(static_cast<CD3D9RendererInterface*>(rendererContext), log,
                                     mesh);
}

CMeshSurface* CSurfaceFactory::CreateImportedSurface(void* rendererContext, CEngineLog* log,
                                                     const LWOSurface& imported,
                                                     const LWOImportBuffer& object,
                                                     CMesh* mesh) {
  return new (std::nothrow) CSurface(static_cast<CD3D9RendererInterface*>(rendererContext), log,
                                     imported, object, mesh);
}
