#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "scene/Bone.h"

namespace {

struct Pose {
  Pose(CVector3 p, CVector3 r = {}, CVector3 s = {1, 1, 1}) : position(p), rotation(r), scale(s) {}
  CVector3 position;
  CVector3 rotation;  // heading, pitch, bank
  CVector3 scale;
};

// A motion that holds the pose at every frame.
void Animate(CBone& bone, const Pose& pose) {
  CMotion* motion = bone.GetMotion();
  motion->SetNumberOfChannels(MOTION_CHANNELS);
  const float values[MOTION_CHANNELS] = {pose.position.x, pose.position.y, pose.position.z,
                                         pose.rotation.x, pose.rotation.y, pose.rotation.z,
                                         pose.scale.x,    pose.scale.y,    pose.scale.z};
  for (UINT channel = 0; channel < MOTION_CHANNELS; ++channel) {
    motion->GetChannel(channel)->RemoveAllKeys();
    motion->GetChannel(channel)->AddKeyData(values[channel], 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0,
                                            0, 0);
  }
}

void ExpectNear(const CMatrix& actual, const CMatrix& expected, const char* what) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(actual.m[i / 4][i % 4], expected.m[i / 4][i % 4], 1e-5f) << what << " element " << i;
}

void ExpectPoint(const CVector3& actual, const CVector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(Bone, NewBoneHasIdentityMatrices) {
  CBone bone;
  ExpectNear(*bone.GetBoneMatrix(0), CMatrix::Identity(), "bone");
  ExpectNear(*bone.GetRestMatrix(0), CMatrix::Identity(), "rest");
}

TEST(Bone, MotionAtRestPoseGivesIdentitySkinning) {
  const Pose pose{{1, 2, 3}, {0.3f, -0.7f, 1.1f}};
  CBone bone;
  bone.SetRestPosition(pose.position);
  bone.SetRestRotation(pose.rotation);
  Animate(bone, pose);
  bone.Evaluate(1);
  ExpectNear(*bone.GetBoneMatrix(1), CMatrix::Identity(), "bone");
  ExpectNear(*bone.GetBoneRotationMatrix(1), CMatrix::Identity(), "bone rotation");
  ExpectPoint(CVector3(0, 0, 0) * *bone.GetRestMatrix(1), pose.position);
}

TEST(Bone, CurrentMatrixScalesThenRotatesThenMoves) {
  CBone bone;
  Animate(bone, {{0, 0, 5}, {0, 0, std::numbers::pi_v<float> / 2}, {2, 1, 1}});
  bone.Evaluate(0);
  // (1, 0, 0) scaled to (2, 0, 0), banked a quarter turn to (0, 2, 0), then moved.
  ExpectPoint(CVector3(1, 0, 0) * *bone.GetCurrentMatrix(0), {0, 2, 5});
  ExpectPoint(CVector3(1, 0, 0) * *bone.GetCurrentRotationMatrix(0), {0, 2, 0});
}

TEST(Bone, SkinningMatrixMovesFromRestToCurrent) {
  CBone bone;
  bone.SetRestPosition({0, 5, 0});
  Animate(bone, {{3, 5, 0}});
  bone.Evaluate(2);
  ExpectPoint(CVector3(1, 1, 1) * *bone.GetBoneMatrix(2), {4, 1, 1});
}

class BoneChain : public ::testing::Test {
 protected:
  // Three bones, each moved along one axis by its motion and resting at the origin.
  void SetUp() override {
    CBone* parent = nullptr;
    const CVector3 offsets[3] = {{1, 0, 0}, {0, 2, 0}, {0, 0, 3}};
    for (int i = 0; i < 3; ++i) {
      Animate(bones[i], {offsets[i]});
      bones[i].SetParent(BONE_PARENT_ITEM_BONE, parent);
      parent = &bones[i];
    }
  }
  void EvaluateAll(float frame) {
    for (CBone& bone : bones) bone.Evaluate(frame);
  }
  CBone bones[3];
};

TEST_F(BoneChain, ParentTransformsAccumulateDownTheChain) {
  EvaluateAll(1);
  ExpectPoint(CVector3(0, 0, 0) * *bones[2].GetCurrentMatrix(1), {1, 2, 3});
  ExpectPoint(CVector3(0, 0, 0) * *bones[2].GetBoneMatrix(1), {1, 2, 3});
}

TEST_F(BoneChain, BuildingAgainWithoutEvaluationGivesTheSameMatrices) {
  EvaluateAll(1);
  const CMatrix bone = *bones[2].GetBoneMatrix(1);
  const CMatrix current = *bones[2].GetCurrentMatrix(1);
  const CMatrix rest = *bones[2].GetRestMatrix(1);
  for (float frame : {2.0f, 3.0f}) {
    EXPECT_EQ(*bones[2].GetBoneMatrix(frame), bone) << frame;
    EXPECT_EQ(*bones[2].GetCurrentMatrix(frame), current) << frame;
    EXPECT_EQ(*bones[2].GetRestMatrix(frame), rest) << frame;
  }
}

TEST_F(BoneChain, GetterBuildsOncePerFrame) {
  EvaluateAll(1);
  const CMatrix built = *bones[1].GetBoneMatrix(1);
  // The parent moves, but the child's matrices for frame 1 are already built.
  Animate(bones[0], {{10, 0, 0}});
  bones[0].Evaluate(1);
  EXPECT_EQ(*bones[1].GetBoneMatrix(1), built);
  // Evaluating the child itself always leads to a rebuild, even for the same frame.
  bones[1].Evaluate(1);
  ExpectPoint(CVector3(0, 0, 0) * *bones[1].GetBoneMatrix(1), {10, 2, 0});
}

TEST(Bone, ParentCountsOnlyAsABoneThatExists) {
  CBone parent, child;
  Animate(parent, {{5, 0, 0}});
  Animate(child, {{0, 1, 0}});
  parent.Evaluate(0);

  child.SetParent(BONE_PARENT_ITEM_BONE, nullptr);
  child.Evaluate(1);
  ExpectPoint(CVector3(0, 0, 0) * *child.GetCurrentMatrix(1), {0, 1, 0});

  child.SetParent(1, &parent);  // a parent item that is not a bone
  child.Evaluate(1);
  ExpectPoint(CVector3(0, 0, 0) * *child.GetCurrentMatrix(1), {0, 1, 0});

  child.SetParent(BONE_PARENT_ITEM_BONE, &child);
  EXPECT_EQ(child.GetParent(), nullptr);
}

TEST(Bone, ParentCycleFromDamagedDataEnds) {
  CBone a, b;
  Animate(a, {{1, 0, 0}});
  Animate(b, {{0, 1, 0}});
  a.SetParent(BONE_PARENT_ITEM_BONE, &b);
  b.SetParent(BONE_PARENT_ITEM_BONE, &a);
  a.Evaluate(1);
  b.Evaluate(1);
  // The loop is cut where it closes; the result has no meaning but is a matrix.
  const CMatrix* built = a.GetBoneMatrix(1);
  for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(built->m[i / 4][i % 4]));
}

}  // namespace

namespace {

TEST(Bone, CopyFromTakesEveryValueButTheParentPointer) {
  CBone source;
  source.SetName("Upper");
  source.SetWeightMapName("arm");
  source.SetRestPosition(CVector3(1, 2, 3));
  source.SetRestRotation(CVector3(0.1f, 0.2f, 0.3f));
  source.SetRestLength(2.5f);
  source.SetRange(7.0f);
  source.SetStrength(0.75f);
  source.SetScaleByLength(1);
  source.SetActive(1);
  source.SetHasWeightMap(1);
  source.SetFalloffType(3);
  source.SetParentLink(5, BONE_PARENT_ITEM_BONE);
  CBone parent;
  source.SetParent(BONE_PARENT_ITEM_BONE, &parent);
  CBone copy;
  copy.CopyFrom(source);
  EXPECT_STREQ(copy.GetName(), "Upper");
  EXPECT_STREQ(copy.GetWeightMapName(), "arm");
  EXPECT_EQ(copy.GetRestPosition(), CVector3(1, 2, 3));
  EXPECT_EQ(copy.GetRestRotation(), CVector3(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(copy.GetRestLength(), 2.5f);
  EXPECT_EQ(copy.GetRange(), 7.0f);
  EXPECT_EQ(copy.GetStrength(), 0.75f);
  EXPECT_EQ(copy.GetScaleByLength(), 1u);
  EXPECT_EQ(copy.GetActive(), 1u);
  EXPECT_EQ(copy.GetHasWeightMap(), 1u);
  EXPECT_EQ(copy.GetFalloffType(), 3u);
  EXPECT_EQ(copy.GetParentNumber(), 5u);
  EXPECT_EQ(copy.GetParentLinkType(), BONE_PARENT_ITEM_BONE);
  EXPECT_EQ(copy.GetParent(), nullptr);
  // Onto itself nothing changes.
  source.CopyFrom(source);
  EXPECT_EQ(source.GetParent(), &parent);
  EXPECT_STREQ(source.GetName(), "Upper");
}

}  // namespace
