#include <gtest/gtest.h>

#include "FakeWorldObject.h"
#include "scene/Envelope.h"
#include "scene/Motion.h"

namespace {

void AddKeys(CChannelEnvelopeInterface* channel, int count) {
  for (int i = 0; i < count; ++i)
    channel->AddKeyData(static_cast<float>(i), static_cast<float>(i), KEY_SHAPE_LINEAR, 0, 0, 0, 0,
                        0, 0, 0);
}

// The answer at the second new frame, after the force flag of a new object has been spent.
UINT SettledAnswer(CUpdateGuard& guard) {
  guard.Update(0);
  return guard.Update(1);
}

TEST(UpdateGuard, NewGuardRecomputesAtAnyFrameAndIsForced) {
  for (float frame : {0.0f, -5.0f, 3.0f}) {
    FakeWorldObject camera(nullptr, WORLD_OBJECT_CAMERA, "c", GUARD_CAMERA);
    EXPECT_EQ(camera.GetGuard()->Update(frame), 1u) << frame;
    EXPECT_EQ(camera.inputQueries, 1);
  }
}

TEST(UpdateGuard, SameFrameReadsTheCacheWithoutLookingAtInputs) {
  FakeWorldObject camera(nullptr, WORLD_OBJECT_CAMERA, "c", GUARD_CAMERA);
  CEnvelope zoom;
  camera.inputs.AddEnvelope(&zoom);
  EXPECT_EQ(SettledAnswer(*camera.GetGuard()), 0u);
  zoom.SetIsEnvelope(1);
  EXPECT_EQ(camera.GetGuard()->Update(1), 0u);
  EXPECT_EQ(camera.inputQueries, 2);
  EXPECT_EQ(camera.GetGuard()->Update(2), 1u);
}

struct InputCase {
  const char* name;
  UINT mode;
  int keyedEnvelopes;    // of four watched envelopes, how many are keyed
  int motionKeys;        // keys on one motion channel
  UINT alwaysChanged;
  UINT expected;
};

TEST(UpdateGuard, EachInputCounts) {
  const InputCase cases[] = {
      {"constant camera", GUARD_CAMERA, 0, 1, 0, 0},
      {"keyed zoom", GUARD_CAMERA, 1, 0, 0, 1},
      {"animated motion", GUARD_NULL, 0, 2, 0, 1},
      {"one key is no animation", GUARD_NULL, 0, 1, 0, 0},
      // A light whose only animation is one colour or its intensity must not freeze.
      {"one keyed light envelope", GUARD_LIGHT, 1, 0, 0, 1},
      {"every light envelope keyed", GUARD_LIGHT, 4, 0, 0, 1},
      {"constant light", GUARD_LIGHT, 0, 0, 0, 0},
      {"mesh with bones", GUARD_MESH, 0, 0, 1, 1},
  };
  for (const InputCase& c : cases) {
    FakeWorldObject object(nullptr, WORLD_OBJECT_LIGHT, "o", c.mode);
    CEnvelope envelopes[4];
    for (int i = 0; i < 4; ++i) {
      envelopes[i].SetIsEnvelope(i < c.keyedEnvelopes ? 1 : 0);
      object.inputs.AddEnvelope(&envelopes[i]);
    }
    CMotion motion;
    motion.SetNumberOfChannels(MOTION_CHANNELS);
    AddKeys(motion.GetChannel(MOTION_SCALE_Z), c.motionKeys);
    object.inputs.pMotion = &motion;
    object.inputs.dwAlwaysChanged = c.alwaysChanged;
    EXPECT_EQ(object.GetGuard()->CanEverChange(), c.expected == 1) << c.name;
    EXPECT_EQ(SettledAnswer(*object.GetGuard()), c.expected) << c.name;
    EXPECT_EQ(object.GetGuard()->Update(2), c.expected) << c.name << ", every new frame";
  }
}

TEST(UpdateGuard, MotionChannelsBeyondTheCountAreNotInspected) {
  FakeWorldObject null(nullptr, WORLD_OBJECT_NULL, "n", GUARD_NULL);
  CMotion motion;
  motion.SetNumberOfChannels(3);
  AddKeys(motion.GetChannel(5), 3);
  null.inputs.pMotion = &motion;
  EXPECT_EQ(SettledAnswer(*null.GetGuard()), 0u);
}

TEST(UpdateGuard, ParentsAndTargetsAnswerThroughTheirOwnGuards) {
  FakeWorldObject parent(nullptr, WORLD_OBJECT_NULL, "p", GUARD_NULL);
  FakeWorldObject target(nullptr, WORLD_OBJECT_NULL, "t", GUARD_NULL);
  FakeWorldObject camera(nullptr, WORLD_OBJECT_CAMERA, "c", GUARD_CAMERA);
  camera.inputs.pParent = &parent;
  camera.inputs.pTarget = &target;
  CMotion moving;
  moving.SetNumberOfChannels(1);
  AddKeys(moving.GetChannel(0), 2);

  EXPECT_EQ(SettledAnswer(*camera.GetGuard()), 0u);
  target.inputs.pMotion = &moving;
  EXPECT_EQ(camera.GetGuard()->Update(2), 1u);
  // Each guard recomputed once for the frame, however often it was asked.
  EXPECT_EQ(parent.inputQueries, 3);
  EXPECT_EQ(target.inputQueries, 3);
  EXPECT_EQ(parent.GetGuard()->Update(2), 0u);
  EXPECT_EQ(parent.inputQueries, 3);
}

TEST(UpdateGuard, LoopOfParentLinksEnds) {
  FakeWorldObject a(nullptr, WORLD_OBJECT_NULL, "a", GUARD_NULL);
  FakeWorldObject b(nullptr, WORLD_OBJECT_NULL, "b", GUARD_NULL);
  a.inputs.pParent = &b;
  b.inputs.pParent = &a;
  // The second visit within a frame reads the answer cached so far, so the walk ends with each
  // guard asked once per frame.
  SettledAnswer(*a.GetGuard());
  EXPECT_EQ(a.inputQueries, 2);
  EXPECT_EQ(b.inputQueries, 2);
}

TEST(UpdateGuard, WhatCanEverChangeFollowsLinksButNotFramesOrForces) {
  CMotion moving;
  moving.SetNumberOfChannels(1);
  AddKeys(moving.GetChannel(0), 2);
  FakeWorldObject parent(nullptr, WORLD_OBJECT_NULL, "p", GUARD_NULL);
  FakeWorldObject target(nullptr, WORLD_OBJECT_NULL, "t", GUARD_NULL);
  FakeWorldObject camera(nullptr, WORLD_OBJECT_CAMERA, "c", GUARD_CAMERA);
  camera.inputs.pParent = &parent;
  camera.inputs.pTarget = &target;
  camera.GetGuard()->Force();
  EXPECT_FALSE(camera.GetGuard()->CanEverChange());
  EXPECT_EQ(camera.GetGuard()->Update(0), 1u);  // new and forced all the same
  target.inputs.pMotion = &moving;
  EXPECT_TRUE(camera.GetGuard()->CanEverChange());

  // A loop of parents ends; it moves only when one of its members moves by itself.
  FakeWorldObject a(nullptr, WORLD_OBJECT_NULL, "a", GUARD_NULL);
  FakeWorldObject b(nullptr, WORLD_OBJECT_NULL, "b", GUARD_NULL);
  a.inputs.pParent = &b;
  b.inputs.pParent = &a;
  EXPECT_FALSE(a.GetGuard()->CanEverChange());
  b.inputs.pMotion = &moving;
  EXPECT_TRUE(a.GetGuard()->CanEverChange());

  for (UINT mode : {UINT(GUARD_FRAME_ONLY), 0u}) {
    CUpdateGuard everyFrame(&parent, mode);
    EXPECT_TRUE(everyFrame.CanEverChange()) << mode;
  }
}

TEST(UpdateGuard, InputsChangedIsKeptForMeshesAndNullsOnly) {
  for (UINT mode : {GUARD_CAMERA, GUARD_LIGHT, GUARD_MESH, GUARD_NULL}) {
    FakeWorldObject object(nullptr, WORLD_OBJECT_MESH, "o", mode);
    object.GetGuard()->Update(0);  // forced: answers 1, its inputs 0
    const bool kept = mode == GUARD_MESH || mode == GUARD_NULL;
    EXPECT_EQ(object.GetGuard()->GetInputsChanged(), kept ? 0u : 1u) << mode;
  }
}

TEST(UpdateGuard, FrameOnlyAndUnknownModes) {
  FakeWorldObject object(nullptr, WORLD_OBJECT_NULL);
  CUpdateGuard frameOnly(&object, GUARD_FRAME_ONLY);
  EXPECT_EQ(frameOnly.Update(1), 1u);
  EXPECT_EQ(frameOnly.Update(1), 1u);
  EXPECT_EQ(object.inputQueries, 0);

  for (UINT mode : {0u, 6u}) {
    CUpdateGuard unknown(&object, mode);
    EXPECT_EQ(unknown.GetMode(), 0u);
    for (int call = 0; call < 3; ++call) EXPECT_EQ(unknown.Update(1), 1u);
  }
  EXPECT_EQ(object.inputQueries, 0);
}

TEST(UpdateGuard, NaNFrameAlwaysRecomputes) {
  FakeWorldObject null(nullptr, WORLD_OBJECT_NULL, "n", GUARD_NULL);
  null.GetGuard()->Update(NAN);
  null.GetGuard()->Update(NAN);
  EXPECT_EQ(null.inputQueries, 2);
}

}  // namespace
