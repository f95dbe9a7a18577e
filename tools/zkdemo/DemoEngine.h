#pragma once
// The part of the engine that building and saving scenes needs, brought up without a window: the
// engine context with a log on standard error, the page allocator, the virtual file system, a
// renderer whose device is the platform's null back end (real resources and banks, nothing
// drawn), the spatial services that give meshes their boxes and colliders, the surface factory
// and the scene and object reader.
#include <memory>

#include "core/EngineLog.h"
#include "d3d/DeviceSettings.h"
#include "d3d/RenderingSchemes.h"

class CCollisionManager;
class CD3D9Renderer;
class CLightSpatialServices;
class CMeshSpatialServices;
class CPageAllocator;
class CScene;
class CSurfaceFactory;
class CVirtualFileSystem;
class CZKReader;

class DemoEngine {
 public:
  // Exits with a message when a part cannot be made.
  DemoEngine();
  ~DemoEngine();
  DemoEngine(const DemoEngine&) = delete;
  DemoEngine& operator=(const DemoEngine&) = delete;

  // A new empty scene named `name` whose files go into `directory` (ending in a separator).
  CScene* NewScene(const char* name, const char* directory);
  // Writes the scene file and every mesh's object file; false, with the log's errors on
  // standard error, when any could not be written.
  bool Save(CScene* scene);
  CEngineLog* Log();
  // The number of errors logged so far.
  unsigned Errors() const;

 private:
  class ErrorLog;

  std::unique_ptr<ErrorLog> m_pLog;
  CPageAllocator* m_pAllocator = nullptr;
  std::unique_ptr<CVirtualFileSystem> m_pFiles;
  CRenderingSchemes m_Schemes;
  DeviceSettings m_Settings{};
  std::unique_ptr<CD3D9Renderer> m_pRenderer;
  std::unique_ptr<CCollisionManager> m_pCollisions;
  std::unique_ptr<CMeshSpatialServices> m_pMeshSpatial;
  std::unique_ptr<CLightSpatialServices> m_pLightSpatial;
  std::unique_ptr<CSurfaceFactory> m_pSurfaceFactory;
  std::unique_ptr<CZKReader> m_pReader;
};
