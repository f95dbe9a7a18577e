#pragma once
// A mesh as its bound volume reads it, with vertices, real bones, frame and matrices that the
// test chooses. It records the frames its world matrix is asked for.
#include <memory>
#include <vector>

#include "scene/Bone.h"
#include "spatial/MeshBoundVolumeOwner.h"

class FakeBoundVolumeMesh final : public CMeshBoundVolumeOwner {
 public:
  std::vector<Vertex> vertices;
  std::unique_ptr<CBone[]> bones;
  UINT boneCount = 0;
  bool boned = false;
  float matrixFrame = 0.0f;
  CMatrix matrix = CMatrix::Identity();
  CMatrix currentMatrix = CMatrix::Identity();
  CMeshInterface* mesh = nullptr;
  CEngineLog* log = nullptr;
  std::vector<float> matrixFrames;

  void MakeBones(UINT count) {
    bones = std::make_unique<CBone[]>(count);
    boneCount = count;
    boned = true;
  }
  // A vertex at the position, moved by one bone (or by none with 0xFFFF).
  void AddVertex(const CVector3& position, WORD bone = 0xFFFF) {
    Vertex vertex{};
    vertex.vecPosition = position;
    for (WORD& index : vertex.wBonesIndices) index = 0xFFFF;
    vertex.wBonesIndices[0] = bone;
    vertex.fWeights[0] = 1.0f;
    vertices.push_back(vertex);
  }

  Vertex* GetVertices() override { return vertices.empty() ? nullptr : vertices.data(); }
  UINT GetNumberOfVertices() override { return static_cast<UINT>(vertices.size()); }
  bool IsBoned() override { return boned; }
  UINT GetNumberOfBones() override { return boneCount; }
  CBone* GetBone(UINT index) override { return index < boneCount ? &bones[index] : nullptr; }
  float GetMatrixFrame() override { return matrixFrame; }
  CMatrix* GetMatrix(float frame) override {
    matrixFrames.push_back(frame);
    return &matrix;
  }
  CMatrix* GetCurrentMatrix() override { return &currentMatrix; }
  CMeshInterface* GetMeshInterface() override { return mesh; }
  CEngineLog* GetLog() override { return log; }
};
