#pragma once
// The engine's own scene files as the top interface loads and saves them. Start-up sets the file
// reader's as the context's scene-files port; the default reads and saves nothing.
#include "windef.h"

class CScene;

class CSceneFileReader {
 public:
  // Reads the file at `path` into a scene stored through `scene`; `loadFlag` is the reader's.
  virtual bool LoadScene(CScene** scene, const char* path, UINT loadFlag) = 0;
  virtual bool SaveScene(CScene* scene) = 0;

  static CSceneFileReader& Default();

 protected:
  ~CSceneFileReader() = default;
};
