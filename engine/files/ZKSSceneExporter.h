#pragma once
// Scene files: the scene's counts, world objects, frame range, lighting, fog and shader.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CScene;

class CZKSSceneExporter final : public CZKExporter {
 public:
  CZKSSceneExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSSceneExporter") {}

  bool SaveScene(CScene* scene);
  bool LoadScene(CScene** scene, const char* path, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
