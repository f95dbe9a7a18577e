#pragma once
// Records what meshes ask of the spatial subsystem, in order. Bound volumes (unless a test hands
// in a volume of its own), shadow volumes, colliders and octree cells are stand-in addresses; inserting a mesh into the octree reports
// back the cells a test lists, as the real octree reports the leaves the mesh's box overlaps.
#include <string>
#include <utility>
#include <vector>

#include "scene/Mesh.h"
#include "scene/MeshSpatial.h"
#include "spatial/Collider.h"
#include "spatial/ShadowVolumeGeometry.h"

class FakeMeshSpatial final : public CMeshSpatial {
 public:
  // Stand-ins: the fake hands out addresses inside itself and never reads through them.
  template <class T>
  T* Token(int index) {
    return reinterpret_cast<T*>(&m_tokens[index]);
  }
  CMeshBoundVolumeInterface* BoundVolume() { return Token<CMeshBoundVolumeInterface>(0); }
  CMeshShadowVolume* ShadowVolume() { return Token<CMeshShadowVolume>(1); }
  COctree* Cell(int n) { return Token<COctree>(2 + n); }  // n from 0 to 11; cell 0 is the root

  CMeshBoundVolumeInterface* CreateBoundVolume(CMesh*) override {
    calls.push_back("CreateBoundVolume");
    return boundVolume != nullptr ? boundVolume : BoundVolume();
  }
  void ReleaseBoundVolume(CMeshBoundVolumeInterface*) override {
    calls.push_back("ReleaseBoundVolume");
  }
  void TransformBoundVolume(CMeshBoundVolumeInterface*, const CMatrix& matrix) override {
    calls.push_back("TransformBoundVolume");
    transformMatrices.push_back(matrix);
  }
  void DrawBone(CBone*, void*, float, const CMatrix&) override { calls.push_back("DrawBone"); }
  void DrawBoundVolume(CMeshBoundVolumeInterface*, void*, const CMatrix& matrix) override {
    calls.push_back("DrawBoundVolume");
    drawMatrices.push_back(matrix);
  }
  CMeshShadowVolume* CreateShadowVolume(void*, CMesh*) override {
    calls.push_back("CreateShadowVolume");
    return ShadowVolume();
  }
  void ReleaseShadowVolume(CMeshShadowVolume*) override { calls.push_back("ReleaseShadowVolume"); }
  UINT HasShadowGeometry(CMeshShadowVolume*) override { return hasShadowGeometry; }
  Vertex* GetShadowVolumeBlock(CMeshShadowVolume*, UINT block, UINT* count) override {
    std::vector<Vertex>& data = shadowBlocks[block & 1];
    *count = static_cast<UINT>(data.size());
    return data.empty() ? nullptr : data.data();
  }
  void ResetShadowVolume(CMeshShadowVolume*) override { calls.push_back("ResetShadowVolume"); }
  // Builds the real geometry and keeps it as the blocks it hands out; the index buffer's
  // reference stays with the test, which owns the buffer.
  ShadowGeometryBuild BuildShadowVolumeGeometry(CMeshShadowVolume*, CMesh* mesh,
                                                const ShadowGeometrySource& source,
                                                UINT* indexCount, UINT* vertexCount) override {
    CShadowVolumeGeometry geometry(source.szName, source.pLog);
    CCountedIndexBuffer* indexBuffer = nullptr;
    const ShadowGeometryBuild built = geometry.BuildForMesh(mesh, source, &indexBuffer);
    if (built != ShadowGeometryBuild::kBuilt) return built;
    calls.push_back("SetShadowVolumeGeometry");
    shadowBlocks[0] = geometry.m_DynamicVertices;
    shadowBlocks[1] = geometry.m_StaticVertices;
    shadowIndices = geometry.m_Indices;
    shadowIndexBuffer = indexBuffer;
    hasShadowGeometry = 1;
    *indexCount = static_cast<UINT>(geometry.m_Indices.size());
    *vertexCount = static_cast<UINT>(geometry.m_DynamicVertices.size());
    return built;
  }
  // Colliders are real, counted objects (merges build them) when the test gives a collision
  // manager; the release is passed on.
  bool CreateCollider(CMesh* mesh, void* rendererContext, CEngineLog* log,
                      CCollider** collider) override {
    *collider = nullptr;
    if (collisions == nullptr) return false;
    *collider = CCollider::Create(
        collisions, static_cast<CD3D9RendererInterface*>(rendererContext), log, mesh);
    return true;
  }
  void ReleaseCollider(CCollider* collider) override {
    calls.push_back("ReleaseCollider");
    if (collider != nullptr) collider->Release();
  }
  COctree* GetSceneOctree(CScene*) override { return hasOctree ? Cell(0) : nullptr; }
  void RemoveMeshFromOctree(COctree* cell, UINT entry, CMesh*) override {
    calls.push_back("RemoveMeshFromOctree");
    removed.emplace_back(cell, entry);
  }
  void InsertMeshIntoOctree(COctree*, CMesh* mesh) override {
    calls.push_back("InsertMeshIntoOctree");
    for (auto& [cell, entry] : cellsToEnter) mesh->PlaceInOctree(cell, entry);
  }

  CCollisionManager* collisions = nullptr;
  // A real volume for every mesh, when the test gives one.
  CMeshBoundVolumeInterface* boundVolume = nullptr;
  UINT hasShadowGeometry = 0;
  std::vector<Vertex> shadowBlocks[2];
  std::vector<WORD> shadowIndices;
  CCountedIndexBuffer* shadowIndexBuffer = nullptr;
  bool hasOctree = false;
  std::vector<std::pair<COctree*, UINT>> cellsToEnter;
  std::vector<std::pair<COctree*, UINT>> removed;
  std::vector<CMatrix> transformMatrices;
  std::vector<CMatrix> drawMatrices;
  std::vector<std::string> calls;

 private:
  int m_tokens[14] = {};
};
