#include "DemoEngine.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "core/EngineContext.h"
#include "core/PageAllocator.h"
#include "d3d/D3D9Renderer.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneExporter.h"
#include "scene/Scene.h"
#include "scene/SurfaceFactory.h"
#include "spatial/CollisionManager.h"
#include "spatial/LightSpatialServices.h"
#include "spatial/MeshSpatialServices.h"
#include "vfs/VirtualFileSystem.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "zkdemo: %s\n", what);
  std::exit(1);
}

}  // namespace

// Errors and warnings go to standard error; the engine's progress lines are dropped.
class DemoEngine::ErrorLog final : public CEngineLog {
 public:
  void Log(const char* file, int line, int level, const char* format, ...) override {
    if (level != kLevelError) return;
    char text[kMaxMessage];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(stderr, "zkdemo: %s, Line: %i: %s", file, line, text);
    ++m_dwErrors;
  }
  unsigned Errors() const { return m_dwErrors; }

 private:
  unsigned m_dwErrors = 0;
};

DemoEngine::DemoEngine() : m_pLog(std::make_unique<ErrorLog>()) {
  // Nothing is shown: the device is the platform's null back end and the window offscreen.
  setenv("ZK_D3D_BACKEND", "null", 1);
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  CEngineContext* context = GetEngineContext();
  context->pLog = m_pLog.get();
  m_pAllocator = CPageAllocator::Create(m_pLog.get(), 1 << 20, 64, nullptr);
  if (!m_pAllocator) Fail("no page allocator");
  context->pAllocator = m_pAllocator;
  m_pFiles = std::make_unique<CVirtualFileSystem>(m_pLog.get(), m_pAllocator, nullptr);
  context->pVirtualFileSystem = m_pFiles.get();

  m_pRenderer = std::make_unique<CD3D9Renderer>(context);
  m_Schemes.Build(nullptr, 0, m_pLog.get());
  m_pRenderer->SetSchemes(m_Schemes.GetScheme(0), m_Schemes.GetNumberOfSchemes());
  if (!m_pRenderer->Enumerate()) Fail("no adapter satisfies a rendering scheme");
  m_Settings.BackBufferFormat = D3DFMT_A8R8G8B8;
  m_Settings.DepthStencilFormat = D3DFMT_D24S8;
  m_Settings.TextureFormat = m_Settings.SecondaryTextureFormat = D3DFMT_X8R8G8B8;
  m_Settings.wWidth = 64;
  m_Settings.wHeight = 64;
  m_Settings.dwWindowed = 1;
  m_pRenderer->Initialize(&m_Settings);
  context->pRenderer = m_pRenderer.get();

  m_pCollisions = std::make_unique<CCollisionManager>(m_pRenderer.get(), m_pLog.get());
  context->pCollisions = m_pCollisions.get();
  m_pMeshSpatial = std::make_unique<CMeshSpatialServices>(m_pLog.get(), m_pCollisions.get());
  m_pLightSpatial = std::make_unique<CLightSpatialServices>(m_pLog.get());
  m_pSurfaceFactory = std::make_unique<CSurfaceFactory>();
  context->ports.meshSpatial.Set(m_pMeshSpatial.get());
  context->ports.lightSpatial.Set(m_pLightSpatial.get());
  context->ports.surfaceFactory.Set(m_pSurfaceFactory.get());

  bool made = false;
  m_pReader = std::make_unique<CZKReader>(m_pRenderer.get(), m_pLog.get(), made);
  if (!made) Fail("no scene and object reader");
  context->pZKReader = m_pReader.get();
}

DemoEngine::~DemoEngine() {
  CEngineContext* context = GetEngineContext();
  context->ports = EnginePorts();
  context->pZKReader = nullptr;
  context->pCollisions = nullptr;
  m_pReader.reset();
  m_pCollisions.reset();
  context->pRenderer = nullptr;
  m_pRenderer.reset();
  context->pVirtualFileSystem = nullptr;
  m_pFiles.reset();
  context->pAllocator = nullptr;
  delete m_pAllocator;
  context->pLog = nullptr;
}

CScene* DemoEngine::NewScene(const char* name, const char* directory) {
  auto* scene = new CScene(0u, m_pRenderer.get(), m_pLog.get());
  scene->SetName(name);
  scene->SetDirectory(directory);
  return scene;
}

bool DemoEngine::Save(CScene* scene) {
  const unsigned before = m_pLog->Errors();
  return m_pReader->GetSceneExporter()->SaveScene(scene) && m_pLog->Errors() == before;
}

CEngineLog* DemoEngine::Log() { return m_pLog.get(); }

unsigned DemoEngine::Errors() const { return m_pLog->Errors(); }
