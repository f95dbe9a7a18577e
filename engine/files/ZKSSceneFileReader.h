#pragma once
// Hands the top interface's scene loads and saves to the scene exporter of the engine's file
// reader.
#include "scene/SceneFileReader.h"

class CZKReader;

class CZKSSceneFileReader final : public CSceneFileReader {
 public:
  explicit CZKSSceneFileReader(CZKReader* reader) : m_pReader(reader) {}

  bool LoadScene(CScene** scene, const char* path, UINT loadFlag) override;
  bool SaveScene(CScene* scene) override;

 private:
  CZKReader* m_pReader;
};
