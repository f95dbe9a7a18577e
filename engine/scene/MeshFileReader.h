#pragma once
// The engine's own object files as meshes load them. Start-up sets the file reader's as the
// context's mesh-files port; the default reads nothing.
#include "windef.h"

class CMesh;

class CMeshFileReader {
 public:
  // Reads the object file at `path` into the mesh; `loadFlag` is the reader's. False when it
  // cannot be read.
  virtual bool LoadObject(CMesh* mesh, const char* path, UINT loadFlag) = 0;

  static CMeshFileReader& Default();

 protected:
  ~CMeshFileReader() = default;
};
