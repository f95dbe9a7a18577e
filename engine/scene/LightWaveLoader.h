#pragma once
// What the engine asks of the LightWave reader: a scene file read into a new scene, an object
// file read into an existing mesh. Start-up sets the reader as the context's LightWave port when
// it starts; the default loads nothing, so LightWave files cannot be loaded.
#include "windef.h"

class CMesh;
class CScene;
class LWOImportBuffer;

class CLightWaveLoader {
 public:
  // Reads the scene file (a lower-case name the reader may cut in place) into a new scene,
  // stored through `scene`; 1 on success, 0 on failure.
  virtual UINT LoadScene(CScene** scene, char* name) = 0;
  // Imports one object file into the mesh; non-zero on success, 0 when it cannot be read.
  virtual UINT LoadMesh(CMesh* mesh, char* path) = 0;
  // Gives the vertices of a mesh just filled from the object their bone numbers and weights
  // from the object's weight maps, once the mesh's bones are in place.
  virtual void AttachBones(CMesh* mesh, const LWOImportBuffer& object) = 0;

  static CLightWaveLoader& Default();

 protected:
  ~CLightWaveLoader() = default;
};
