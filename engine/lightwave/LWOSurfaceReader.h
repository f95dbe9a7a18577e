#pragma once
// Reads a SURF chunk into the next surface of the import buffer: the name, the base values of
// the material channels with their envelopes, the surface options, the refraction and reflection
// images and the texture layers. Only a surface that polygons use is made, at most 16 an object. Every
// sub-chunk is read inside its declared length and reading goes on at its end; one shorter
// than its fields, or longer than what is left of the chunk, stops the load.
#include "lightwave/LWOReaderState.h"
#include "scene/LWOSurface.h"

class LWOSurfaceReader {
 public:
  explicit LWOSurfaceReader(LWOReaderState& state) : m_state(state) {}

  // Reads the chunk after its identifier. Returns 1; every failure is fatal.
  UINT ReadSurface();

 private:
  // A sub-chunk of value bytes and an envelope index, whose length must be exactly theirs.
  // Loads envelopes of `channel` from the index when `envelopes` is above 0.
  void ReadValue(LWOSurface& surface, UINT id, UINT channel, UINT envelopes);
  void ReadScalar(LWOSurface& surface, UINT id, UINT channel, bool loadEnvelope);
  // The fields of a fixed layout; a sub-chunk too short for them is fatal.
  WORD ReadWordField(UINT id);
  float ReadFloatField(UINT id);
  UINT ReadIndexField(UINT id);
  void ReadEnvironmentImage(LWOSurfaceChannel& channel, UINT id, const char* animated);
  void LoadEnvelope(ImportEnvelope& envelope, UINT index);
  [[noreturn]] void LengthMismatch(UINT id) const;

  LWOReaderState& m_state;
};
