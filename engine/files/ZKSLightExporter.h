#pragma once
// "LITE": a light of a scene file — name, Direct3D record, motion, links, the eight envelopes,
// falloff, flare flag, type, number and activity.
#include <cstdio>

#include "files/ZKExporter.h"

class CLight;

class CZKSLightExporter final : public CZKExporter {
 public:
  CZKSLightExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSLightExporter") {}

  bool WriteLight(CLight* light, FILE* stream, UINT& total);
  // After the "LITE" tag, into a new light; finishes the light (flare, range, volume).
  bool ReadLight(CLight* light, CChunkReader& in, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
