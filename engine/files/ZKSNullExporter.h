#pragma once
// "NULL": a null object of a scene file — name, motion, parent link and, when it has one, its
// script.
#include <cstdio>

#include "files/ZKExporter.h"

class CNull;

class CZKSNullExporter final : public CZKExporter {
 public:
  CZKSNullExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSNullExporter") {}

  bool WriteNull(CNull* null, FILE* stream, UINT& total);
  // After the "NULL" tag, into a new null.
  bool ReadNull(CNull* null, CChunkReader& in, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
