#include "scene/SurfaceFactory.h"

#include "core/FatalError.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"

CMeshSurface* CSurfaceFactory::CreateSurface(void* rendererContext, CEngineLog* log,
                                             CMesh* mesh) {
  return NewOrFatal<CSurface>(kNoMemoryTitle, "Can't Create Surface",
                              static_cast<CD3D9RendererInterface*>(rendererContext), log, mesh);
}

CMeshSurface* CSurfaceFactory::CreateImportedSurface(void* rendererContext, CEngineLog* log,
                                                     const LWOSurface& imported,
                                                     const LWOImportBuffer& object,
                                                     CMesh* mesh) {
  return NewNamedOrFatal<CSurface>("Error While Updating Mesh",
                                   "Can't Allocate Memory For Surface - %s", mesh->GetName(),
                                   static_cast<CD3D9RendererInterface*>(rendererContext), log,
                                   imported, object, mesh);
}
