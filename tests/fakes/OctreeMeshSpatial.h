#pragma once
// What a mesh asks of the spatial subsystem, answered for octree tests with the real pieces:
// real bound volumes calculated from the mesh's vertices, and the scene's real octree for the
// three octree calls. Shadow volumes and colliders are not made.
#include <memory>

#include "scene/Mesh.h"
#include "scene/MeshSpatial.h"
#include "scene/Scene.h"
#include "spatial/BoundVolumeMesh.h"
#include "spatial/MeshBoundVolume.h"
#include "spatial/Octree.h"

class OctreeMeshSpatial final : public CMeshSpatial {
 public:
  CMeshBoundVolumeInterface* CreateBoundVolume(CMesh* mesh) override {
    auto* volume = new CMeshBoundVolume(std::make_unique<CBoundVolumeMesh>(mesh, nullptr));
    volume->Calculate();
    return volume;
  }
  void ReleaseBoundVolume(CMeshBoundVolumeInterface* volume) override {
    delete static_cast<CMeshBoundVolume*>(volume);
  }
  void TransformBoundVolume(CMeshBoundVolumeInterface* volume, const CMatrix& matrix) override {
    CMatrix copy = matrix;
    static_cast<CMeshBoundVolume*>(volume)->TransformBox(&copy);
  }
  void DrawBoundVolume(CMeshBoundVolumeInterface*, void*, const CMatrix&) override {}
  CMeshShadowVolume* CreateShadowVolume(void*, CMesh*) override { return nullptr; }
  void ReleaseShadowVolume(CMeshShadowVolume*) override {}
  UINT HasShadowGeometry(CMeshShadowVolume*) override { return 0; }
  Vertex* GetShadowVolumeBlock(CMeshShadowVolume*, UINT, UINT* count) override {
    *count = 0;
    return nullptr;
  }
  void ResetShadowVolume(CMeshShadowVolume*) override {}
  void SetShadowVolumeGeometry(CMeshShadowVolume*, CShadowVolumeGeometry&,
                               CShadowVolumeIndexBuffer*) override {}
  void ReleaseCollider(CCollider*) override {}
  COctree* GetSceneOctree(CScene* scene) override { return scene->GetOctree(); }
  void RemoveMeshFromOctree(COctree* cell, UINT entry, CMesh* mesh) override {
    cell->RemoveMesh(mesh, entry);
  }
  void InsertMeshIntoOctree(COctree* octree, CMesh* mesh) override { octree->InsertMesh(mesh); }
};
