#pragma once
// A value of an object that may be an envelope, stored as a container whose payload is exactly
// one envelope chunk ("INTE", "RANG", "ZOOM", "AINT", ...). The object owns the envelope; the
// reader fills it.
#include <cstdio>

#include "chunks/ChunkReader.h"
#include "windef.h"

class CEnvelopeInterface;
class CZKReader;

class CZKSEnvelopeValue {
 public:
  static bool Write(CZKReader* reader, const char* tag, CEnvelopeInterface* envelope,
                    FILE* stream, UINT& total);
  // After the tag. A payload other than the envelope's bytes logs `incorrectSize`.
  static bool Read(CZKReader* reader, CEnvelopeInterface* envelope, CChunkReader& in,
                   const ChunkReport& report, const char* incorrectSize);
};
