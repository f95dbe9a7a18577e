#pragma once
// An object block of a LightWave scene file: the "LoadObjectLayer" line names the object file,
// the block's two groups give its motion, pivot, parent, dissolve, morph, shadow and visibility
// settings and its bones; then the object file is read and the scene creates the mesh. Every
// fault is fatal.
#include "windef.h"

class CBone;
class LWSEnvelopeReader;
class LWSLineReader;
struct LWSImport;

class LWSObjectReader {
 public:
  LWSObjectReader(LWSImport& import, LWSLineReader& file, LWSEnvelopeReader& envelopes)
      : m_import(import), m_file(file), m_envelopes(envelopes) {}
  LWSObjectReader(const LWSObjectReader&) = delete;
  LWSObjectReader& operator=(const LWSObjectReader&) = delete;

  // Reads the block whose "LoadObjectLayer" line is current, into the reset object record, and
  // leaves the empty line that ends it current. Returns 1.
  UINT LoadObjectLayer();
  // The number of "AddBone" lines after the current one up to the first "Shadow" line, read
  // ahead; the file is back where it was. Returns the count.
  UINT CountBones();
  // Reads the bone whose "AddBone" line is current, up to and including its "ParentItem" line.
  UINT LoadBone(CBone& bone);

 private:
  void ReadObjectKey();
  // The bone list entered on the current line, up to the "Shadow" line that ends it.
  void ReadBones();
  void ReadBoneKey(CBone& bone);

  LWSImport& m_import;
  LWSLineReader& m_file;
  LWSEnvelopeReader& m_envelopes;
};
