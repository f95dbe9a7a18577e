#pragma once
// Reads one LightWave scene file (LWS, text format 3) line by line into the scene of the
// import: scene-level keys fill the scene record, each object, light, camera and null block is
// read by its block reader, which has the scene create its item, and at the end the scene is
// finished from the scene record. Keys are matched by prefix, in a fixed order; lines that
// match none are skipped. Every fault stops the program through the fatal-error routine.
#include "windef.h"

class LWSEnvelopeReader;
class LWSLineReader;
struct LWSImport;

class LWSReader {
 public:
  explicit LWSReader(LWSImport& import) : m_import(import) {}
  LWSReader(const LWSReader&) = delete;
  LWSReader& operator=(const LWSReader&) = delete;

  // Reads `directory` followed by `name` (both lower-cased in place) from the virtual file
  // system. Returns 1.
  UINT Load(char* name, char* directory);

 private:
  void ReadHeader(LWSLineReader& file);
  void ReadSceneKey(LWSLineReader& file, LWSEnvelopeReader& envelopes);

  LWSImport& m_import;
};
