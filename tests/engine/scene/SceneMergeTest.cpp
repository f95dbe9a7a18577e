// Merging scenes: the objects of the kinds asked for move from the source into this scene, the
// parent links that would reach across are cut, and each scene lists, counts and releases only
// its own objects afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSprite.h"
#include "RayMeshBench.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Null.h"

namespace {

class SceneMergeTest : public ::testing::Test {
 protected:
  SceneMergeTest() : target(bench.NewScene("target")), source(bench.NewScene("source")) {}

  static CMesh* Mesh(CScene* scene, const char* name) {
    auto* mesh = dynamic_cast<CMesh*>(scene->AddMesh(0));
    mesh->SetName(name);
    return mesh;
  }
  static CNull* Null(CScene* scene, const char* name) {
    auto* null = dynamic_cast<CNull*>(scene->AddNull());
    null->SetName(name);
    return null;
  }
  static CLight* Light(CScene* scene, const char* name) {
    auto* light = dynamic_cast<CLight*>(scene->AddLight());
    light->SetName(name);
    return light;
  }

  // The objects of the scene's list, in order.
  static std::vector<CWorldObject*> List(CScene* scene) {
    std::vector<CWorldObject*> objects;
    for (CWorldObject* object = scene->GetFirstWorldObject(); object != nullptr;
         object = object->GetNext())
      objects.push_back(object);
    return objects;
  }

  bool Logged(const std::string& text) const {
    return bench.CountLogged(CEngineLog::kLevelInfo, text) > 0;
  }

  RayMeshBench bench;
  TestScene* target;
  TestScene* source;
};

TEST_F(SceneMergeTest, RefusedCallsChangeNothing) {
  Mesh(target, "kept");
  Mesh(source, "staying");
  struct Case {
    const char* what;
    bool nullAddress;
    CSceneInterface* from;
    UINT kinds;
    const char* error;
  };
  const Case cases[] = {
      {"no kinds", false, source, 0, "ERROR!!! - No World Objects Type Specified To Move\n"},
      {"null address", true, source, 1, "ERROR!!! - Can't Call AddMeshes From Null Pointer\n"},
      {"null scene", false, nullptr, 1, "ERROR!!! - Can't Call AddMeshes From Null Pointer\n"},
      {"itself", false, target, 1, "ERROR!!! - Can't Add World Objects Of target To Itself\n"},
  };
  for (const Case& c : cases) {
    bench.log.entries.clear();
    CSceneInterface* from = c.from;
    EXPECT_EQ(target->AddMeshes(c.nullAddress ? nullptr : &from, c.kinds), 0u) << c.what;
    EXPECT_EQ(from, c.from) << c.what;
    EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError), c.error) << c.what;
    EXPECT_EQ(target->GetNumberOfMeshes(), 1u) << c.what;
    EXPECT_EQ(source->GetNumberOfMeshes(), 1u) << c.what;
  }
}

TEST_F(SceneMergeTest, MovedMeshesJoinTheListAndArraysAndLeaveTheSource) {
  CMesh* t1 = Mesh(target, "t1");
  CMesh* t2 = Mesh(target, "t2");
  CMesh* m1 = Mesh(source, "m1");
  CNull* null = Null(source, "n");
  CMesh* m2 = Mesh(source, "m2");
  CLight* light = Light(source, "l");
  CMesh* m3 = Mesh(source, "m3");

  CSceneInterface* from = source;
  ASSERT_EQ(target->AddMeshes(&from, 1), 1u);
  EXPECT_EQ(from, nullptr);

  EXPECT_EQ(List(target), (std::vector<CWorldObject*>{t1, t2, m1, m2, m3}));
  EXPECT_EQ(target->GetNumberOfMeshes(), 5u);
  EXPECT_EQ(target->GetMesh(2), m1);
  EXPECT_EQ(target->GetMesh(4), m3);
  EXPECT_EQ(m2->GetScene(0), target);
  EXPECT_EQ(List(source), (std::vector<CWorldObject*>{null, light}));
  EXPECT_EQ(source->GetNumberOfMeshes(), 0u);
  EXPECT_EQ(source->GetNumberOfNullObjects(), 1u);
  EXPECT_EQ(source->GetNumberOfLights(), 1u);
  EXPECT_TRUE(Logged("- Adding World Objects:\n"));
  EXPECT_TRUE(Logged("  - mesh\n"));
  EXPECT_FALSE(Logged("  - null\n"));
  EXPECT_TRUE(Logged("    From source To target\n"));
  EXPECT_TRUE(Logged("    - Adding mesh: m3, Parent: none (null pointer)\n"));

  // Each scene frees what it lists, each object once.
  bench.Release(source);
  EXPECT_EQ(bench.CountLogged(CEngineLog::kLevelInfo, "- (CNull) Releasing n\n"), 1);
  EXPECT_EQ(bench.CountLogged(CEngineLog::kLevelInfo, "- Mesh Released\n"), 0);
  bench.Release(target);
  for (const char* name : {"t1", "t2", "m1", "m2", "m3"})
    EXPECT_EQ(bench.CountLogged(CEngineLog::kLevelInfo,
                                std::string("- (CMesh) Releasing ") + name + " Of target\n"),
              1)
        << name;
  EXPECT_EQ(bench.CountLogged(CEngineLog::kLevelInfo, "- Mesh Released\n"), 5);
  EXPECT_EQ(bench.CountLogged(CEngineLog::kLevelInfo, "- (CLight) Releasing l\n"), 1);
}

TEST_F(SceneMergeTest, ParentLinksThatWouldCrossTheScenesAreCut) {
  struct Case {
    const char* what;
    UINT kinds;
    bool kept;
    const char* adding;  // the line that moves the child, or the holder
  };
  const Case cases[] = {
      {"child moves, parent stays", 1, false,
       "    - Adding mesh: child, Parent: none (null pointer)\n"},
      {"both move", 5, true, "    - Adding mesh: child, Parent: null: holder\n"},
      {"parent moves, child stays", 4, false,
       "    - Adding null: holder, Parent: none (null pointer)\n"},
      // What stays behind is left without parents as well.
      {"neither moves", 8, false, nullptr},
  };
  for (const Case& c : cases) {
    TestScene* into = bench.NewScene("into");
    TestScene* from = bench.NewScene("from");
    CNull* holder = Null(from, "holder");
    CMesh* child = Mesh(from, "child");
    child->SetParentObject(holder);
    bench.log.entries.clear();
    CSceneInterface* pointer = from;
    ASSERT_EQ(into->AddMeshes(&pointer, c.kinds), 1u) << c.what;
    EXPECT_EQ(child->GetParentObject(0), c.kept ? holder : nullptr) << c.what;
    EXPECT_EQ(Logged("    - Removing Parent Object For Mesh: child\n"), !c.kept) << c.what;
    EXPECT_EQ(Logged("      - The Parent Was:null: holder\n"), !c.kept) << c.what;
    if (c.adding != nullptr) {
      EXPECT_TRUE(Logged(c.adding)) << c.what;
    }
  }
}

// Targets and morph targets that would point into the other scene are cut too; those that move
// with their object stay.
TEST_F(SceneMergeTest, TargetsThatWouldCrossTheScenesAreCut) {
  CMesh* shape = Mesh(source, "shape");
  CMesh* morph = Mesh(source, "morph");
  morph->SetMorphTarget(shape);
  CNull* aim = Null(source, "aim");
  CLight* light = Light(source, "light");
  light->SetTarget(aim);
  auto* camera = dynamic_cast<CCamera*>(source->AddCamera());
  camera->SetTargetObject(light);

  CSceneInterface* from = source;
  ASSERT_EQ(target->AddMeshes(&from, WORLD_OBJECT_MESH | WORLD_OBJECT_LIGHT), 1u);
  EXPECT_EQ(morph->GetMorphTargetObject(), shape);  // both moved
  EXPECT_EQ(light->GetTarget(), nullptr);          // its null stayed behind
  EXPECT_EQ(camera->GetTarget(), nullptr);         // it stayed, its light moved
  bench.Release(source);
  bench.Release(target);
}

TEST_F(SceneMergeTest, LightsIntoAnEmptySceneLeaveTheOtherKindsAlone) {
  TestScene* empty = bench.NewScene("empty");
  CMesh* mesh = Mesh(source, "mesh");
  auto* camera = dynamic_cast<CCamera*>(source->AddCamera());
  CLight* first = Light(source, "first");
  CLight* second = Light(source, "second");
  ASSERT_EQ(source->SetActiveCamera(0), 1u);

  CSceneInterface* from = source;
  ASSERT_EQ(empty->AddMeshes(&from, 8), 1u);
  EXPECT_EQ(empty->GetWorldObjects(), first);
  EXPECT_EQ(List(empty), (std::vector<CWorldObject*>{first, second}));
  EXPECT_EQ(empty->GetNumberOfLights(), 2u);
  EXPECT_EQ(empty->GetNumberOfMeshes(), 0u);
  EXPECT_EQ(source->GetMesh(0), mesh);
  EXPECT_EQ(source->GetCamera(0), camera);
  EXPECT_EQ(source->GetNumberOfLights(), 0u);

  // The cameras follow; the source no longer looks through one it gave away.
  from = source;
  ASSERT_EQ(target->AddMeshes(&from, 2), 1u);
  EXPECT_EQ(target->GetCamera(0), camera);
  EXPECT_EQ(source->GetActiveCamera(), nullptr);
  EXPECT_EQ(source->GetNumberOfCameras(), 0u);
}

TEST_F(SceneMergeTest, MovedNullsAreCountedAndTakeTheirSprites) {
  FakeSprite sprite("marker");
  CNull* null = Null(source, "carrier");
  Null(source, "plain");
  source->AddSprite(&sprite);
  null->GetOptions()->SetSpriteOption(&sprite, 1);
  Null(target, "own");

  CSceneInterface* from = source;
  ASSERT_EQ(target->AddMeshes(&from, 4), 1u);
  EXPECT_EQ(target->GetNumberOfNullObjects(), 3u);
  EXPECT_EQ(source->GetNumberOfNullObjects(), 0u);
  EXPECT_EQ(target->GetNull(1), null);
  EXPECT_EQ(target->GetSprite(0), &sprite);
  EXPECT_EQ(source->GetSprite(0), nullptr);
  EXPECT_EQ(sprite.GetScene(), target);
  EXPECT_EQ(bench.CountLogged(CEngineLog::kLevelInfo,
                              "      - Setting Parent Scene For Null's Option Sprite\n"),
            1);
}

TEST_F(SceneMergeTest, MovedMeshesLeaveTheSourceTreeForTheTarget) {
  bench.context->pVirtualFileSystem = nullptr;  // trees are built, not loaded
  CMesh* moving = bench.AddCube(source, "moving", {0, 0, 0});
  bench.AddCube(source, "staying", {6, 0, 0});
  bench.AddCube(target, "own", {0, 0, 0});
  ASSERT_EQ(source->BuildOctree(2.0f, 0), 1u);
  ASSERT_EQ(target->BuildOctree(2.0f, 0), 1u);

  CSceneInterface* from = source;
  ASSERT_EQ(target->AddMeshes(&from, 1), 1u);
  auto colliders = [](CScene* scene, CVector3 point) {
    CMeshInterface** meshes = nullptr;
    UINT count = 0;
    scene->GetPossibleColliders(point, 0.1f, &meshes, &count);
    return std::vector<CMeshInterface*>(meshes, meshes + count);
  };
  EXPECT_EQ(colliders(source, {0.5f, 0.5f, 0.5f}), std::vector<CMeshInterface*>{});
  EXPECT_EQ(colliders(target, {0.5f, 0.5f, 0.5f}).size(), 2u);
  // The moved mesh's next hierarchy pass refiles it in the target's tree only, after the
  // source and its cells are gone.
  bench.Release(source);
  moving->SetPosition({0, 0.5f, 0});
  RayMeshBench::Place(moving);
  EXPECT_EQ(colliders(target, {0.5f, 0.5f, 0.5f}).size(), 2u);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError), "");
}

}  // namespace
