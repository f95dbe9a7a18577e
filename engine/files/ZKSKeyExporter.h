#pragma once
// "KEYM": one key of a keyed channel, ten 32-bit fields in a fixed order.
#include <cstdio>

#include "files/ZKExporter.h"

class CKeyInterface;

class CZKSKeyExporter final : public CZKExporter {
 public:
  static constexpr UINT kKeySize = 40;

  CZKSKeyExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSKeyExporter") {}

  bool WriteKey(CKeyInterface* key, FILE* stream, UINT& total);
  // Called after the "KEYM" tag; fills the key's fields (its links are the channel's).
  bool ReadKey(CKeyInterface* key, CChunkReader& in);
};
