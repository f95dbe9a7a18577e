#pragma once
// The light, camera and null blocks of a LightWave scene file. Each block has two groups of
// lines, each ended by an empty line: the first from the block's own line, the second after
// it. Keys are matched by prefix in a fixed order; other lines are skipped. At the end of its
// block each item is created in the scene from its record. Lights of the three lit types are
// numbered in the order of their LightType lines; a scene holds at most seven of them. Every
// fault is fatal.
#include "windef.h"

class LWSEnvelopeReader;
class LWSLineReader;
struct LWSImport;

class LWSItemReader {
 public:
  LWSItemReader(LWSImport& import, LWSLineReader& file, LWSEnvelopeReader& envelopes)
      : m_import(import), m_file(file), m_envelopes(envelopes) {}
  LWSItemReader(const LWSItemReader&) = delete;
  LWSItemReader& operator=(const LWSItemReader&) = delete;

  // Each reads the block whose first line is current into its reset record and leaves the empty
  // line that ends the block current. Each returns 1.
  UINT LoadLight();
  UINT LoadCamera();
  UINT LoadNull();

 private:
  void ReadLightKey();
  void ReadLightType();

  LWSImport& m_import;
  LWSLineReader& m_file;
  LWSEnvelopeReader& m_envelopes;
};
