#pragma once
// "LITE": a light of a scene file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CLight;

class CZKSLightExporter final : public CZKExporter {
 public:
  CZKSLightExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSLightExporter") {}

  bool WriteLight(CLight* light, FILE* stream, UINT& total);
  bool ReadLight(CLight* light, CChunkReader& in, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
