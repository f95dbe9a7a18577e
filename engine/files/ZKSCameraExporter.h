#pragma once
// "CAME": a camera of a scene file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CCamera;

class CZKSCameraExporter final : public CZKExporter {
 public:
  CZKSCameraExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSCameraExporter") {}

  bool WriteCamera(CCamera* camera, FILE* stream, UINT& total);
  bool ReadCamera(CCamera* camera, CChunkReader& in, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
