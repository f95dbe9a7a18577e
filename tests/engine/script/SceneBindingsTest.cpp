// Scenes as scripts drive them, on a scene built in code (two cubes, a light, a camera, a null),
// with and without an octree: picking and collider queries as the engine answers them, copies
// where the engine's answer lives in a shared buffer, texts, fog and colours, new objects and
// merges from scripts.
#include <gtest/gtest.h>

#include <string>

#include "SceneBindingsFixture.h"
#include "scene/Mesh.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

class SceneTypesTest : public SceneBindingsTest {
 protected:
  void SetUp() override {
    SceneBindingsTest::SetUp();
    near = bench.AddCube(scene, "near", {0, 0, 5});
    far = bench.AddCube(scene, "far", {0, 0, 10});
    scene->AddTypedLight(LIGHT_POINT);
    scene->AddActiveCamera();
    scene->AddNull();
    Global("CMeshInterface@ g_near", static_cast<CMeshInterface*>(near));
    Global("CMeshInterface@ g_far", static_cast<CMeshInterface*>(far));
  }

  CMesh* near = nullptr;
  CMesh* far = nullptr;
};

// Queries answered the same whether or not the scene has an octree.
class SceneQueryBindingsTest : public SceneTypesTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    SceneTypesTest::SetUp();
    if (GetParam()) {
      ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
    }
  }
};

TEST_P(SceneQueryBindingsTest, BothPickingFormsAnswerAsTheEngine) {
  CRay ray({0.3f, -0.2f, 0}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal;
  ASSERT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01, &normal), near);
  const std::string rayCode = "CRay r(CVector3(0.3f, -0.2f, 0), CVector3(0, 0, 1)); float d;";
  EXPECT_EQ(Handle<CMeshInterface>("CMeshInterface@",
                                   rayCode + "return g_scene.FindNearestIntersection(r, d, 1);"),
            near);
  EXPECT_FLOAT_EQ(
      script.Eval<float>("float", rayCode + "g_scene.FindNearestIntersection(r, d, 1); return d;"),
      distance);
  EXPECT_EQ(script.Eval<CVector3>("CVector3", rayCode +
                                                  "CVector3 n(9, 9, 9);"
                                                  "g_scene.FindNearestIntersection(r, d, 1, n);"
                                                  "return n;"),
            normal);
  EXPECT_EQ(Handle<CMeshInterface>("CMeshInterface@",
                                   "CRay r(CVector3(5, 5, 0), CVector3(0, 0, 1)); float d;"
                                      "return g_scene.FindNearestIntersection(r, d, 1);"),
            nullptr);
}

TEST_P(SceneQueryBindingsTest, CollidersAreTheScriptsOwnCopy) {
  CVector3 point(0, 0, 5);
  CMeshInterface** meshes = nullptr;
  UINT count = 0;
  scene->GetPossibleColliders(point, 2.0f, &meshes, &count);
  ASSERT_EQ(count, 1u);
  ASSERT_EQ(meshes[0], near);
  // The second query, near the other cube, must not change the first answer.
  EXPECT_TRUE(Truth("array<CMeshInterface@> first(5), second; uint n = 7, m;"
                    "g_scene.GetPossibleColliders(CVector3(0, 0, 5), 2, first, n);"
                    "g_scene.GetPossibleColliders(CVector3(0, 0, 10), 2, second, m);"
                    "return n == 1 && first.length() == 1 && first[0] is g_near &&"
                    "m == 1 && second[0] is g_far;"));
  EXPECT_EQ(Number("array<CMeshInterface@> none(3); uint n = 7;"
                   "g_scene.GetPossibleColliders(CVector3(100, 100, 100), 1, none, n);"
                   "return n * 10 + none.length();"),
            0u);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutOctree, SceneQueryBindingsTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Octree" : "NoOctree"; });

TEST_F(SceneTypesTest, TextsAreCopiesAndLongNamesAreCut) {
  EXPECT_EQ(script.Eval<bstr>("bstr", "bstr a = g_scene.GetName(); bstr b = g_scene.GetName();"
                                      "a += \"!\"; return a + \"/\" + b;"),
            "arena!/arena");
  EXPECT_STREQ(scene->GetName(), "arena");
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_scene.GetDirectory();"), scene->GetDirectory());
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_scene.GetShaderFileName();"),
            scene->GetShaderFileName());

  Run("g_scene.SetName(\"\");");
  EXPECT_EQ(Number("return g_scene.GetName().length();"), 0u);
  const std::string longName(300, 'n');
  Run("bstr n; for (int i = 0; i < 300; ++i) n += \"n\"; g_scene.SetName(n);");
  EXPECT_EQ(std::string(scene->GetName()), longName.substr(0, 255));
  EXPECT_EQ(Number("return g_scene.GetName().length();"), 255u);
}

TEST_F(SceneTypesTest, FogColoursAndFramesReadBack) {
  struct Case {
    const char* code;  // a snippet returning float
    float expected;
  };
  const Case cases[] = {
      {"g_scene.SetFogMinDistance(12.5f); return g_scene.GetMinimumFogDistance();", 12.5f},
      {"g_scene.SetFogMaxDistnace(80.25f); return g_scene.GetMaximumFogDistance();", 80.25f},
      {"g_scene.SetAmbientColor(0x332211); ColorByte c = g_scene.GetColor();"
       "return c.cRed * 10000 + c.cGreen * 100 + c.cBlue;",
       0x11 * 10000 + 0x22 * 100 + 0x33},
      {"g_scene.SetLastFrame(42); return g_scene.GetSceneFrames() * 1000 + g_scene.GetLastFrame();",
       42042},
      {"g_scene.SetFogColor(0x102030); return g_scene.GetFogColor() == 0x102030 ? 1 : 0;", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(script.Eval<float>("float", c.code), c.expected) << c.code;

  // The record is the scene's own.
  Run("g_scene.GetColor().cBlue = 0x44;");
  EXPECT_EQ(scene->GetColor()->cBlue, 0x44);
}

TEST_F(SceneTypesTest, ObjectsMadeByScriptsJoinTheScene) {
  auto* made = Handle<CMeshInterface>("CMeshInterface@", "return g_scene.AddMesh();");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(dynamic_cast<CMesh*>(made)->GetHasDynamicBuffers(), 0u);
  EXPECT_EQ(scene->GetMesh(2), made);
  EXPECT_EQ(Number("g_scene.AddCamera(); g_scene.AddNull(); g_scene.AddLight();"
                   "return g_scene.GetNumberOfMeshes() * 1000 + g_scene.GetNumberOfCameras() * 100 +"
                   "g_scene.GetNumberOfNullObjects() * 10 + g_scene.GetNumberOfLights();"),
            3222u);
  EXPECT_EQ(Handle("CNullInterface@", "return g_scene.GetNull(1);"), scene->GetNull(1));
}

TEST_F(SceneTypesTest, AMergeTakesEveryKindAndRefusesNullAndItself) {
  TestScene* second = bench.NewScene("second");
  bench.AddCube(second, "moved", {0, 0, 20});
  second->AddTypedLight(LIGHT_POINT);
  second->AddActiveCamera();
  second->AddNull();
  Global("CSceneInterface@ g_second", static_cast<CSceneInterface*>(second));

  EXPECT_EQ(Number("uint merged = g_scene.AddMeshes(g_second);"
                   "return g_second is null ? uint(99) : merged;"),
            1u);
  EXPECT_EQ(second->GetWorldObjects(), nullptr);
  EXPECT_EQ(scene->GetNumberOfMeshes() * 1000 + scene->GetNumberOfCameras() * 100 +
                scene->GetNumberOfNullObjects() * 10 + scene->GetNumberOfLights(),
            3222u);

  EXPECT_EQ(Number("return g_scene.AddMeshes(null);"), 0u);
  EXPECT_TRUE(Logged(CEngineLog::kLevelError, "ERROR!!! - Can't Call AddMeshes From Null Pointer\n"));
  EXPECT_EQ(Number("return g_scene.AddMeshes(g_scene);"), 0u);
  EXPECT_TRUE(
      Logged(CEngineLog::kLevelError, "ERROR!!! - Can't Add World Objects Of arena To Itself\n"));
  EXPECT_EQ(scene->GetNumberOfMeshes(), 3u);
}

TEST_F(SceneTypesTest, NullSpritesAndShortParameterArraysStopTheScript) {
  const UINT sprites = scene->GetNumberOfSprites();
  for (const char* code : {"CSpriteInterface@ none; g_scene.AddSprite(none);",
                           "CSpriteInterface@ none; g_scene.RemoveSprite(none);",
                           "array<ShaderParameter> p(1); g_scene.CreateShader(\"s.fx\", p, 2, 1);"}) {
    Throws(code);
  }
  EXPECT_EQ(scene->GetNumberOfSprites(), sprites);
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_scene.GetShaderFileName();"), "");
}

}  // namespace
