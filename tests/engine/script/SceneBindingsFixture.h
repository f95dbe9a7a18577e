#pragma once
// Scene objects built in code as scripts reach them: a fully registered script engine, one
// scene with cubes that have their real boxes and colliders (one collision manager for all, as
// in the engine), lights with their real boxes, and script globals naming engine objects.
#include <deque>
#include <string>

#include "RayMeshBench.h"
#include "ScriptBindingsFixture.h"
#include "spatial/CollisionManager.h"
#include "spatial/LightSpatialServices.h"
#include "spatial/MeshSpatialServices.h"

class SceneBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    bench.context->ports.meshSpatial.Set(&meshSpatial);
    bench.context->ports.lightSpatial.Set(&lightSpatial);
    scene = bench.NewScene("arena");
    Global("CSceneInterface@ g_scene", static_cast<CSceneInterface*>(scene));
  }

  // A script global `declaration` ("CMeshInterface@ g_a") naming `object`.
  template <typename T>
  void Global(const std::string& declaration, T* object) {
    m_Handles.push_back(object);
    ASSERT_GE(script.engine->RegisterGlobalProperty(declaration.c_str(), &m_Handles.back()), 0)
        << declaration;
  }

  AngelScript::asUINT Number(const std::string& code) {
    return script.Eval<AngelScript::asUINT>("uint", code);
  }
  bool Truth(const std::string& code) { return script.Eval<bool>("bool", code); }

  bool Logged(int level, const std::string& text) const {
    return bench.CountLogged(level, text) > 0;
  }

  // The services outlive the bench, whose scenes release their objects through them.
  CCollisionManager manager{nullptr, &log};
  CMeshSpatialServices meshSpatial{&log, &manager};
  CLightSpatialServices lightSpatial{&log};
  RayMeshBench bench;
  TestScene* scene = nullptr;

 private:
  std::deque<void*> m_Handles;  // script globals point into it
};
