#pragma once
// Reads the animated values of surfaces: ENVL chunks found by their index among the consecutive
// ENVL chunks from the first one, their keys and the spans that shape them. A broken envelope is
// never fatal: it is a warning in the log, the envelope is left unused and the surface keeps
// its constant value.
#include "scene/ImportEnvelope.h"
#include "lightwave/LWOReaderState.h"

class LWOEnvelopeReader {
 public:
  explicit LWOEnvelopeReader(LWOReaderState& state) : m_state(state) {}

  // Loads envelope `index` into `record`'s channel: 1 when it was found and read, else 0 after
  // a warning. Reading continues where it stood, inside the same chunks.
  UINT ReadEnvelopeByIndex(ImportEnvelope& record, UINT index);

 private:
  struct KeyData {
    float time = 0.0f, value = 0.0f;
    UINT shape = KEY_SHAPE_TCB;
    float tension = 0.0f, continuity = 0.0f, bias = 0.0f;
    float params[4] = {};
  };

  // The sub-chunks of one ENVL chunk, up to the end of the region entered for it.
  UINT ReadEnvelopeKeys(CChannelEnvelope& channel);
  UINT ReadKeyAndSpan(KeyData& key);
  UINT ReadSpan(KeyData& key);
  // Reads the U2 behaviour of a PRE or POST sub-chunk of `length` bytes.
  bool ReadBehaviour(UINT length, UINT& behaviour);
  UINT SizeMismatch();
  void Warn(const char* format, const char* found = nullptr);

  LWOReaderState& m_state;
};
