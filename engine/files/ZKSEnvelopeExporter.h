#pragma once
// A value that may be an envelope: "ENVN" holds the constant, "ENVY" one "CENV" chunk with the
// envelope's keyed channel.
#include <cstdio>

#include "files/ZKExporter.h"

class CEnvelopeInterface;

class CZKSEnvelopeExporter final : public CZKExporter {
 public:
  CZKSEnvelopeExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSEnvelopeExporter") {}

  // "ENVY" when the is-envelope flag is exactly 1, "ENVN" otherwise.
  bool WriteEnvelope(CEnvelopeInterface* envelope, FILE* stream, UINT& total);
  // Reads its own tag: its callers stand at the first byte of the envelope chunk.
  bool ReadEnvelope(CEnvelopeInterface* envelope, CChunkReader& in);
};
