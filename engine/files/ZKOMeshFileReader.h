#pragma once
// Hands the meshes' object-file loads to the object exporter of the engine's file reader.
#include "scene/MeshFileReader.h"

class CZKReader;

class CZKOMeshFileReader final : public CMeshFileReader {
 public:
  explicit CZKOMeshFileReader(CZKReader* reader) : m_pReader(reader) {}

  bool LoadObject(CMesh* mesh, const char* path, UINT loadFlag) override;

 private:
  CZKReader* m_pReader;
};
