#pragma once
// The engine's own scene files as the top interface loads and saves them. The file reader
// registers one in the engine context when it is made; null means scene files cannot be read.
#include "windef.h"

class CScene;

class CSceneFileReader {
 public:
  // Reads the file at `path` into a scene stored through `scene`; `loadFlag` is the reader's.
  virtual bool LoadScene(CScene** scene, const char* path, UINT loadFlag) = 0;
  virtual bool SaveScene(CScene* scene) = 0;

 protected:
  ~CSceneFileReader() = default;
};
