#pragma once
// "CAME": a camera of a scene file — zoom envelope, links, motion, aspect, screen size and clip
// planes.
#include <cstdio>

#include "files/ZKExporter.h"

class CCamera;

class CZKSCameraExporter final : public CZKExporter {
 public:
  CZKSCameraExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSCameraExporter") {}

  bool WriteCamera(CCamera* camera, FILE* stream, UINT& total);
  // After the "CAME" tag, into a new camera.
  bool ReadCamera(CCamera* camera, CChunkReader& in, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
