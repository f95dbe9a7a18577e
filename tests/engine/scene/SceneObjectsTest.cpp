#include <gtest/gtest.h>

#include <string>

#include "EngineContextScope.h"
#include "ProcessExitCatcher.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "RecordingNullScriptHost.h"
#include "TestScene.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Null.h"

namespace {

class SceneObjectsTest : public ::testing::Test {
 protected:
  SceneObjectsTest() : scene(new TestScene(&renderer, &log)) {
    context->ports.nullScripts.Set(&scripts);
  }
  ~SceneObjectsTest() override { scene->Release(); }

  CMesh* Mesh() { return dynamic_cast<CMesh*>(scene->AddMesh(0)); }
  CNull* Null() { return dynamic_cast<CNull*>(scene->AddNull()); }
  CLight* Light() { return dynamic_cast<CLight*>(scene->AddLight()); }
  CCamera* Camera() { return dynamic_cast<CCamera*>(scene->AddCamera()); }
  CNull* ScriptedNull(const char* nameText) {
    auto* null = new CNull(&renderer, &log, nameText);
    null->SetOwnerScene(scene);
    scene->AppendWorldObject(null);
    return null;
  }

  EngineContextScope context;
  RecordingDrawRenderer renderer;
  CRecordingEngineLog log;
  RecordingNullScriptHost scripts;
  TestScene* scene;
};

TEST_F(SceneObjectsTest, AddOperationsAppendNameAndCount) {
  CLight* light = Light();
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(scene->GetWorldObjects(), light);
  EXPECT_EQ(scene->GetNumberOfLights(), 1u);
  EXPECT_STREQ(light->GetName(), "a new name");

  CMesh* first = Mesh();
  CMesh* second = Mesh();
  CNull* null = Null();
  CCamera* camera = Camera();
  ASSERT_TRUE(first && second && null && camera);
  EXPECT_EQ(scene->GetMesh(0), first);
  EXPECT_EQ(scene->GetMesh(1), second);
  EXPECT_STREQ(first->GetName(), "a new mesh");
  EXPECT_STREQ(null->GetName(), "a new null");
  EXPECT_EQ(scene->GetNumberOfNullObjects(), 1u);
  EXPECT_EQ(scene->GetCamera(0), camera);
  EXPECT_EQ(scene->GetLastWorldObject(), camera);
  // Each object belongs to the scene, so releasing one takes it out of the list.
  EXPECT_EQ(null->GetScene(), scene);
  EXPECT_EQ(dynamic_cast<CMesh*>(scene->AddMesh(1))->GetHasDynamicBuffers(), 1u);
}

TEST_F(SceneObjectsTest, ReferencesCountTheirKindInListOrder) {
  // mesh A, null B, light C, mesh D, camera E, light F
  CWorldObject* a = Mesh();
  CWorldObject* b = Null();
  CWorldObject* c = Light();
  CWorldObject* d = Mesh();
  CWorldObject* e = Camera();
  CWorldObject* f = Light();
  struct Case {
    UINT number, kind;
    bool fromOne;
    CWorldObject* expected;
  };
  const Case cases[] = {
      {0, 1, false, a},       {1, 1, false, b},      {2, 1, false, d},      {3, 1, false, nullptr},
      {0, 2, false, c},       {1, 2, false, f},      {2, 2, false, nullptr}, {0, 3, false, e},
      {1, 3, false, nullptr}, {1, 1, true, a},       {3, 1, true, d},       {0, 1, true, nullptr},
      {4, 1, true, nullptr},  {2, 2, true, f},
  };
  for (const Case& check : cases)
    EXPECT_EQ(check.fromOne ? scene->FindObjectOfKindFromOne(check.number, check.kind)
                            : scene->FindObjectOfKind(check.number, check.kind),
              check.expected)
        << "number " << check.number << " kind " << check.kind << " from one " << check.fromOne;
}

TEST_F(SceneObjectsTest, UnknownLinkKindEndsTheEngine) {
  Mesh();
  ProcessExitCatcher catcher;
  EXPECT_THROW(scene->FindObjectOfKind(0, 4), ProcessExited);
  ASSERT_FALSE(catcher.Boxes().empty());
  EXPECT_EQ(catcher.Boxes().back().caption, "Error While Building Hierarchy");
  EXPECT_EQ(catcher.Boxes().back().text, "Unknown Parent Type (hierarchy)");
}

TEST_F(SceneObjectsTest, BuildHierarchyLinksEveryKind) {
  CMesh* a = Mesh();
  CNull* b = Null();
  CLight* c = Light();
  CCamera* d = Camera();
  CMesh* morph = Mesh();
  CMesh* e = Mesh();
  a->SetParentReference(1, 1);  // the null
  b->SetParentReference(2, 0);  // the light
  c->SetParentReference(3, 0);  // the camera
  d->SetParentReference(1, 3);  // the last mesh
  morph->SetMorphReference(1, 1);  // mesh A, counted from one
  ASSERT_EQ(scene->BuildHierarchy(), 1u);
  EXPECT_EQ(a->GetParent(), b);
  EXPECT_EQ(b->GetParent(), c);
  EXPECT_EQ(c->GetParent(), d);
  EXPECT_EQ(d->GetParent(), e);
  EXPECT_EQ(e->GetParent(), nullptr);
  EXPECT_EQ(morph->GetMorphTargetObject(), a);
}

TEST_F(SceneObjectsTest, BuildHierarchyStopsAtTheFirstUnresolvedLink) {
  CNull* first = Null();
  CNull* second = Null();
  CNull* third = Null();
  first->SetParentReference(1, 2);
  second->SetParentReference(1, 7);  // no eighth mesh or null
  third->SetParentReference(1, 0);
  EXPECT_EQ(scene->BuildHierarchy(), 0u);
  EXPECT_EQ(first->GetParent(), third);  // resolved before the stop: kept
  EXPECT_EQ(third->GetParent(), nullptr);

  CMesh* mesh = Mesh();
  second->SetParentReference(0, 0);
  mesh->SetMorphReference(2, 1);  // the second null: not a mesh
  EXPECT_EQ(scene->BuildHierarchy(), 0u);
  EXPECT_EQ(mesh->GetMorphTargetObject(), nullptr);
}

TEST_F(SceneObjectsTest, LinksThatCloseALoopAreBrokenData) {
  CNull* a = Null();
  CNull* b = Null();
  CNull* c = Null();
  a->SetParentReference(1, 1);
  b->SetParentReference(1, 2);
  c->SetParentReference(1, 0);  // a -> b -> c -> a
  EXPECT_EQ(scene->BuildHierarchy(), 0u);
  EXPECT_EQ(c->GetParent(), nullptr);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelError).find("Own Child"), std::string::npos);

  CNull* self = Null();
  a->SetParentReference(0, 0);
  self->SetParentReference(1, 3);
  EXPECT_EQ(scene->BuildHierarchy(), 0u);
  EXPECT_EQ(self->GetParent(), nullptr);

  self->SetParentReference(0, 0);
  CMesh* mesh = Mesh();
  mesh->SetMorphReference(5, 1);  // itself
  EXPECT_EQ(scene->BuildHierarchy(), 0u);
  EXPECT_EQ(mesh->GetMorphTargetObject(), nullptr);
}

TEST_F(SceneObjectsTest, TargetsResolveByKind) {
  EXPECT_EQ(scene->ResolveCameraTargets(), 0u);  // no camera

  CMesh* a = Mesh();
  CNull* b = Null();
  CCamera* camera = Camera();
  CCamera* untargeted = Camera();
  CLight* light = Light();
  camera->SetTargetReference(5, 2);  // meshes and nulls from one: the null
  light->SetTargetReference(1, 0);   // meshes and nulls from zero: the mesh
  EXPECT_EQ(scene->ResolveCameraTargets(), 1u);
  EXPECT_EQ(scene->ResolveLightTargets(), 1u);
  EXPECT_EQ(camera->GetTargetObject(0), b);
  EXPECT_EQ(untargeted->GetTargetObject(0), nullptr);
  EXPECT_EQ(light->GetTargetObject(0), a);
}

TEST_F(SceneObjectsTest, UnresolvedOrLoopingTargetsEndTheEngine) {
  CNull* null = Null();
  CCamera* camera = Camera();
  CLight* light = Light();
  ProcessExitCatcher catcher;

  camera->SetTargetReference(5, 2);  // only one mesh or null
  EXPECT_THROW(scene->ResolveCameraTargets(), ProcessExited);
  EXPECT_EQ(catcher.Boxes().back().text, "Vemo, nie moge ustawic targeta dla kamery: 5, 2\n");

  // A camera aiming at a null that hangs below it would follow itself.
  camera->SetTargetReference(5, 1);
  null->SetParent(camera);
  EXPECT_THROW(scene->ResolveCameraTargets(), ProcessExited);
  EXPECT_EQ(camera->GetTargetObject(0), nullptr);

  light->SetTargetReference(2, 0);  // itself
  EXPECT_THROW(scene->ResolveLightTargets(), ProcessExited);
  EXPECT_EQ(catcher.Boxes().back().text, "Vemo, nie moge ustawic targeta dla swiatla: 2, 0,\n");
}

TEST_F(SceneObjectsTest, NullScriptsRunInListOrder) {
  EXPECT_EQ(scene->ApplyNullScripts(), 1u);  // no nulls
  CNull* first = ScriptedNull("door;OpenDoor();");
  Mesh();
  CNull* second = ScriptedNull("lamp;Blink();");
  ScriptedNull("plain");
  scripts.result = -1;  // failed scripts are tried again later
  EXPECT_EQ(scene->ApplyNullScripts(), 1u);
  ASSERT_EQ(scripts.runs.size(), 2u);
  EXPECT_EQ(scripts.runs[0].parent, first);
  EXPECT_EQ(scripts.runs[0].script, "OpenDoor();");
  EXPECT_EQ(scripts.runs[1].parent, second);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelInfo).find("- Applying NullObjects Scripts...\n"),
            std::string::npos);
}

}  // namespace
