// A rendering-profile library for the loader's tests. It remembers what the engine handed its
// entry, so that a test can read it back through TestRenderingProfileArguments.
#include "d3d/RenderingProfileInterface.h"

#define ZK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

class CTestRenderingProfile final : public CRenderingProfileInterface {
 public:
  void PrepareScene(CSceneInterface*) override {}
  void PrepareMesh(CMeshInterface*) override {}
  void OnDeviceLost() override {}
  void OnDeviceReset() override {}
  void RenderScene(CSceneInterface*) override {}
  void RenderMesh(CMeshInterface*) override {}
  void RenderSurface(CSurfaceInterface*) override {}
};

CTestRenderingProfile g_profile;
CD3D9RendererInterface* g_renderer = nullptr;
CEngineLog* g_log = nullptr;

}  // namespace

ZK_EXPORT void TestRenderingProfileArguments(CD3D9RendererInterface** renderer, CEngineLog** log,
                                             CRenderingProfileInterface** profile) {
  *renderer = g_renderer;
  *log = g_log;
  *profile = &g_profile;
}

#ifndef ZK_TEST_PROFILE_NoEntry
ZK_EXPORT CRenderingProfileInterface* GetRenderingProfileInterface(CD3D9RendererInterface* renderer,
                                                                   CEngineLog* log) {
  g_renderer = renderer;
  g_log = log;
#ifdef ZK_TEST_PROFILE_Null
  return nullptr;
#else
  return &g_profile;
#endif
}
#endif
