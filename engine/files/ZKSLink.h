#pragma once
// A parent or target link as scene files keep it: u32 number, then u32 kind (0 no link, 1 meshes
// and nulls, 2 lights, 3 cameras, numbered from 0 in list order). Writing derives both from the
// linked object, counted over the objects the file holds, so that a link set at run time (which
// the objects keep as a type word) reads back as the same object.
#include "chunks/ChunkReader.h"
#include "windef.h"

class CChunkWriter;
class CScene;
class CWorldObject;

class CZKSLink {
 public:
  // Whether a scene file holds the object: meshes with dynamic buffers are left out.
  static bool IsWritten(CWorldObject* object);
  // The link to `linked` inside `scene`; no link when there is none or the file leaves it out.
  static CZKSLink To(CScene* scene, CWorldObject* linked);

  // The 8-byte chunk `tag`.
  bool Write(CChunkWriter& out, const char* tag) const;
  // After the tag; a size other than 8 logs `incorrectSize`.
  bool Read(CChunkReader& in, const ChunkReport& report, const char* incorrectSize);

  UINT dwNumber = 0;
  UINT dwKind = 0;
};
