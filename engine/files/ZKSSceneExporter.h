#pragma once
// Scene files: the scene's counts, world objects, frame range, lighting, fog and shader.
// Meshes are written and read by the mesh exporter; lights, cameras and nulls by theirs.
#include <cstdio>

#include "files/ZKExporter.h"

class CScene;
class CWorldObject;

class CZKSSceneExporter final : public CZKExporter {
 public:
  CZKSSceneExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSSceneExporter") {}

  // Writes "%s%s.zks" from the scene's directory and name.
  bool SaveScene(CScene* scene);
  // A new scene from the file, stored in *scene as soon as it exists (also when the load fails
  // later). The path may lie in a mounted archive.
  bool LoadScene(CScene** scene, const char* path, UINT loadFlag);

 private:
  struct Counts {
    UINT dwMeshes = 0;
    UINT dwLights = 0;
    UINT dwCameras = 0;
    UINT dwNulls = 0;
  };

  // The objects a scene file holds, by kind.
  static Counts CountWritten(CScene* scene);
  bool WriteWorld(CScene* scene, FILE* stream, UINT& total);
  bool WriteShader(CScene* scene, FILE* stream, UINT& total);
  bool ReadBody(CScene* scene, CChunkReader& in, const char* path);
  // The run of objects, entered after the first object's tag.
  bool ReadWorld(CScene* scene, const char* firstTag, CChunkReader& in);
  bool ReadObject(CScene* scene, const ChunkTag& tag, CChunkReader& in);
  bool ReadShader(CScene* scene, CChunkReader& in);
  // Compares what the world run held with the counts the file stated; logs the first mismatch.
  bool CountsMatch(CScene* scene, const Counts& stated, const Counts& found) const;

  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
