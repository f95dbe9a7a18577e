#include "scene/MeshSpatial.h"

#include "spatial/Collider.h"

namespace {

// Without the spatial subsystem a mesh has no volumes, no collider and no octree.
class CNoMeshSpatial final : public CMeshSpatial {
 public:
  CMeshBoundVolumeInterface* CreateBoundVolume(CMesh*) override { return nullptr; }
  void ReleaseBoundVolume(CMeshBoundVolumeInterface*) override {}
  void TransformBoundVolume(CMeshBoundVolumeInterface*, const CMatrix&) override {}
  void DrawBoundVolume(CMeshBoundVolumeInterface*, void*, const CMatrix&) override {}
  void DrawBone(CBone*, void*, float, const CMatrix&) override {}
  CMeshShadowVolume* CreateShadowVolume(void*, CMesh*) override { return nullptr; }
  void ReleaseShadowVolume(CMeshShadowVolume*) override {}
  UINT HasShadowGeometry(CMeshShadowVolume*) override { return 0; }
  Vertex* GetShadowVolumeBlock(CMeshShadowVolume*, UINT, UINT* count) override {
    if (count != nullptr) *count = 0;
    return nullptr;
  }
  void ResetShadowVolume(CMeshShadowVolume*) override {}
  ShadowGeometryBuild BuildShadowVolumeGeometry(CMeshShadowVolume*, CMesh*,
                                                const ShadowGeometrySource&, UINT*,
                                                UINT*) override {
    return ShadowGeometryBuild::kNoGeometry;
  }
  bool CreateCollider(CMesh*, void*, CEngineLog*, CCollider** collider) override {
    *collider = nullptr;
    return false;
  }
  // A collider shared from a mesh made while the spatial subsystem was there still goes back.
  void ReleaseCollider(CCollider* collider) override {
    if (collider != nullptr) collider->Release();
  }
  COctree* GetSceneOctree(CScene*) override { return nullptr; }
  void RemoveMeshFromOctree(COctree*, UINT, CMesh*) override {}
  void InsertMeshIntoOctree(COctree*, CMesh*) override {}
};

}  // namespace

CMeshSpatial& CMeshSpatial::Default() {
  static CNoMeshSpatial none;
  return none;
}
