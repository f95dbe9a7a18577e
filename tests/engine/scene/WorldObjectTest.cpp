#include <gtest/gtest.h>

#include "FakeWorldObject.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"

namespace {

// Reads whether the guard's force flag is set without disturbing anything else: a guard of a
// fake with no inputs answers 1 at a new frame only when it was forced.
bool ForcedNow(FakeWorldObject& object, float frame) { return object.GetGuard()->Update(frame) == 1; }

TEST(WorldObject, ReferenceCounting) {
  bool destroyed = false;
  auto* object = new FakeWorldObject(nullptr, WORLD_OBJECT_NULL, "n", GUARD_NULL, &destroyed);
  EXPECT_EQ(object->GetReferenceCount(), 1u);
  object->AddRef();
  object->Release();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(object->GetReferenceCount(), 1u);
  object->Release();
  EXPECT_TRUE(destroyed);
}

TEST(WorldObject, ReleaseLeavesTheSceneListAndItsArray) {
  TestScene* scene = new TestScene();
  bool destroyed = false;
  auto* first = new FakeWorldObject(scene, WORLD_OBJECT_MESH, "first");
  auto* middle = new FakeWorldObject(scene, WORLD_OBJECT_MESH, "middle", 0, &destroyed);
  auto* last = new FakeWorldObject(scene, WORLD_OBJECT_MESH, "last");
  for (FakeWorldObject* object : {first, middle, last}) scene->AppendWorldObject(object);
  EXPECT_EQ(last->GetNextWorldObject(), nullptr);
  EXPECT_EQ(first->GetNextWorldObject(), middle->GetInterface());

  middle->Release();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(first->GetNextWorldObject(), last->GetInterface());
  EXPECT_EQ(scene->GetNumberOfMeshes(), 2u);
  EXPECT_EQ(scene->GetMeshObject(1), last);
  scene->Release();
}

TEST(WorldObject, NextObjectOfAnUnknownKindIsNotHandedOut) {
  FakeWorldObject first(nullptr, WORLD_OBJECT_LIGHT), odd(nullptr, 16);
  first.SetNextWorldObject(&odd);
  EXPECT_EQ(first.GetNextWorldObject(), nullptr);
  EXPECT_EQ(first.GetNext(), &odd);
}

TEST(WorldObject, ParentRules) {
  CRecordingEngineLog log;
  FakeWorldObject child(nullptr, WORLD_OBJECT_MESH, "child", 0, nullptr, &log);
  FakeWorldObject parent(nullptr, WORLD_OBJECT_NULL, "parent", 0, nullptr, &log);
  FakeWorldObject grandparent(nullptr, WORLD_OBJECT_CAMERA, "grandparent", 0, nullptr, &log);
  FakeWorldObject unknown(nullptr, 3, "unknown");

  for (UINT ignored : {0u, 1u, 7u}) EXPECT_EQ(child.GetParentObject(ignored), nullptr);

  child.SetParent(&parent);
  parent.SetParent(&grandparent);
  EXPECT_EQ(child.GetParentObject(1), parent.GetInterface());
  EXPECT_EQ(child.GetParentType(), WORLD_OBJECT_NULL);

  // An object of an unknown kind leaves the link as it was.
  child.SetParent(&unknown);
  EXPECT_EQ(child.GetParent(), &parent);

  // Closing a loop through the chain is refused and logged; the link stays.
  grandparent.SetParent(&child);
  EXPECT_EQ(grandparent.GetParent(), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Parent Item To Its Own Child: grandparent\n");

  // The object itself: refused, the link cleared, one warning per attempt.
  log.entries.clear();
  child.SetParent(&child);
  child.SetParent(&child);
  EXPECT_EQ(child.GetParent(), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Parent Item To Itself: child\n"
            "WARNING!!! - Can't Parent Item To Itself: child\n");

  child.SetParent(&parent);
  child.SetParent(nullptr);
  EXPECT_EQ(child.GetParentObject(1), nullptr);
}

TEST(WorldObject, ExplicitValuesForceTheGuardOnlyWhenTheyChange) {
  FakeWorldObject object(nullptr, WORLD_OBJECT_NULL, "n", GUARD_NULL);
  ASSERT_TRUE(ForcedNow(object, 1));  // a new object is forced once
  ASSERT_FALSE(ForcedNow(object, 2));

  object.SetExplicitPosition({0, 0, 0});  // the stored value: flag set, no force
  EXPECT_TRUE(object.HasExplicitPosition());
  EXPECT_FALSE(ForcedNow(object, 3));
  object.SetExplicitPosition({0, 1, 0});
  EXPECT_TRUE(ForcedNow(object, 4));

  object.SetExplicitScale({0, 0, 0});
  EXPECT_FALSE(ForcedNow(object, 5));
  object.SetExplicitRotation({0.5f, 0, 0});
  EXPECT_TRUE(ForcedNow(object, 6));
  object.SetExplicitQuaternion(0, 0, 0, 1);
  EXPECT_FALSE(ForcedNow(object, 7));
  EXPECT_TRUE(object.HasExplicitQuaternion());

  object.SetExplicitQuaternion(0, 1, 0, 0);
  EXPECT_TRUE(ForcedNow(object, 8));
  object.RemoveAdditionalTransformation();
  EXPECT_FALSE(object.HasExplicitRotation());
  EXPECT_FALSE(object.HasExplicitQuaternion());
  EXPECT_FALSE(object.HasExplicitPosition());
  EXPECT_TRUE(ForcedNow(object, 9));
}

TEST(WorldObject, RenderTargetTablesAndUserData) {
  FakeWorldObject object(nullptr, WORLD_OBJECT_MESH);
  auto* target = reinterpret_cast<CRenderTargetInterface*>(0x40);
  EXPECT_EQ(object.SetRenderTarget(3, target), 1u);
  EXPECT_EQ(object.GetRenderTarget(3), target);
  EXPECT_EQ(object.GetCubeRenderTarget(3), nullptr);
  EXPECT_EQ(object.SetCubeRenderTarget(0, target), 1u);
  EXPECT_EQ(object.GetCubeRenderTarget(0), target);
  EXPECT_EQ(object.SetRenderTarget(4, target), 0u);
  EXPECT_EQ(object.GetRenderTarget(4), nullptr);
  EXPECT_EQ(object.SetCubeRenderTarget(4, target), 0u);

  int data = 0;
  object.SetUserDefinedData(&data, 5, 6);
  void* dataOut = nullptr;
  UINT value1 = 0, value2 = 0;
  object.GetUserDefinedData(&dataOut, &value1, &value2);
  EXPECT_EQ(dataOut, &data);
  EXPECT_EQ(value1, 5u);
  EXPECT_EQ(value2, 6u);
  EXPECT_EQ(object.SetTag(9), 9u);
}

}  // namespace
