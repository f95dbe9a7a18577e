#pragma once
// A scene whose own per-frame passes, visibility and render entry are under test, while its
// picking, octree, merging and object creation answer neutrally.
#include "scene/Scene.h"

class PassesTestScene final : public CScene {
 public:
  explicit PassesTestScene(CD3D9RendererInterface* renderer, CEngineLog* log)
      : CScene(renderer, log) {}

  UINT BuildOctree(float, UINT) override { return 0; }
  UINT SaveOctree() override { return 0; }
  UINT ApplyNullScripts() override { return 0; }
  void StartNullOptions() override {}
  CMeshInterface* FindNearestIntersection(CRay&, float*, UINT) override { return nullptr; }
  CMeshInterface* FindNearestIntersection(CRay&, float*, UINT, CVector3*) override {
    return nullptr;
  }
  UINT AddMeshes(CSceneInterface**, UINT) override { return 0; }
  CMeshInterface* AddMesh(UINT) override { return nullptr; }
  CCameraInterface* AddCamera() override { return nullptr; }
  CNullInterface* AddNull() override { return nullptr; }
  CLightInterface* AddLight() override { return nullptr; }
  void GetPossibleColliders(CVector3&, float, CMeshInterface***, UINT*) override {}

 private:
  ~PassesTestScene() override = default;
};
