#pragma once
// "NULL": a null object of a scene file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CNull;

class CZKSNullExporter final : public CZKExporter {
 public:
  CZKSNullExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSNullExporter") {}

  bool WriteNull(CNull* null, FILE* stream, UINT& total);
  bool ReadNull(CNull* null, CChunkReader& in, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
