#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "EngineContextScope.h"
#include "FakeBoundVolumeMesh.h"
#include "ProcessExitCatcher.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "spatial/BoundVolumeDrawing.h"
#include "spatial/MeshBoundVolume.h"

namespace {

constexpr float kFar = 3.4028235e38f;

void ExpectVector(const CVector3& actual, float x, float y, float z) {
  EXPECT_FLOAT_EQ(actual.x, x);
  EXPECT_FLOAT_EQ(actual.y, y);
  EXPECT_FLOAT_EQ(actual.z, z);
}

// Keys one channel of a bone; a bone's scale channels need keys too, or it scales to nothing.
void Key(CBone& bone, UINT channel, float time, float value) {
  bone.GetMotion()->SetNumberOfChannels(MOTION_CHANNELS);
  bone.GetMotion()->GetChannel(channel)->AddKeyData(value, time, KEY_SHAPE_TCB, 0, 0, 0, 0, 0, 0,
                                                    0);
}
void KeyUnitScale(CBone& bone, float time) {
  for (UINT channel : {MOTION_SCALE_X, MOTION_SCALE_Y, MOTION_SCALE_Z}) Key(bone, channel, time, 1);
}

struct MeshBoundVolumeTest : testing::Test {
  MeshBoundVolumeTest() {
    auto owner = std::make_unique<FakeBoundVolumeMesh>();
    mesh = owner.get();
    mesh->log = &log;
    volume = std::make_unique<CMeshBoundVolume>(std::move(owner));
  }
  // A rigid box from the two opposite corners.
  void MakeBox(const CVector3& minimum, const CVector3& maximum) {
    mesh->AddVertex(minimum);
    mesh->AddVertex(maximum);
    volume->Calculate();
  }
  // Bone 0 moves along x by its key values at 0 and 10; bone 1 has a second key at 10.
  void MakeBonedMesh() {
    mesh->MakeBones(2);
    KeyUnitScale(mesh->bones[0], 0);
    Key(mesh->bones[0], MOTION_POSITION_X, 0, 0);
    Key(mesh->bones[0], MOTION_POSITION_X, 10, 10);
    KeyUnitScale(mesh->bones[1], 10);
    mesh->AddVertex({1, 0, 0}, 0);
    mesh->AddVertex({2, 1, 1}, 0);
    volume->Calculate();
  }
  CVector3 MinAt(CMeshBoundVolume& boundVolume, float frame) {
    mesh->matrixFrame = frame;
    CVector3 minimum(-99, -99, -99);
    boundVolume.GetMin(&minimum);
    return minimum;
  }

  CRecordingEngineLog log;
  FakeBoundVolumeMesh* mesh;
  std::unique_ptr<CMeshBoundVolume> volume;
};

TEST_F(MeshBoundVolumeTest, OneVertexGivesAPointBoxWithEightEqualCorners) {
  mesh->AddVertex({1, 2, 3});
  volume->Calculate();
  ASSERT_EQ(volume->GetNumberOfRecords(), 1u);
  CVector3 minimum, maximum, extents(9, 9, 9);
  volume->GetMin(&minimum);
  volume->GetMax(&maximum);
  volume->GetExtents(&extents);
  ExpectVector(minimum, 1, 2, 3);
  ExpectVector(maximum, 1, 2, 3);
  ExpectVector(extents, 0, 0, 0);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(volume->GetPoints()[k], CVector4(1, 2, 3, 1)) << k;
}

TEST_F(MeshBoundVolumeTest, RigidBoxHasCentreExtentsAndCornersInCornerOrder) {
  mesh->AddVertex({0, 5, -1});
  mesh->AddVertex({-2, 1, 3});
  mesh->AddVertex({4, 2, 0});
  volume->Calculate();
  CVector3 centre, extents;
  volume->GetPosition(&centre);
  volume->GetExtents(&extents);
  ExpectVector(centre, 1, 3, 1);
  ExpectVector(extents, 3, 2, 2);
  EXPECT_EQ(volume->GetPoints()[0], CVector4(-2, 1, -1, 1));
  EXPECT_EQ(volume->GetPoints()[3], CVector4(4, 5, -1, 1));
  EXPECT_EQ(volume->GetPoints()[5], CVector4(4, 1, 3, 1));
  EXPECT_EQ(volume->GetPoints()[6], CVector4(-2, 5, 3, 1));
}

TEST_F(MeshBoundVolumeTest, BonedMeshHasOneRecordPerDistinctKeyTimeAndPicksByMatrixFrame) {
  MakeBonedMesh();  // keys at 0, 10 and 10
  ASSERT_EQ(volume->GetNumberOfRecords(), 2u);
  EXPECT_EQ(volume->GetRecord(0)->fTime, 0.0f);
  EXPECT_EQ(volume->GetRecord(1)->fTime, 10.0f);
  EXPECT_EQ(volume->GetRecord(2), nullptr);
  // Deformed by the bone's x offset at each key time.
  ExpectVector(volume->GetRecord(0)->vecMin, 1, 0, 0);
  ExpectVector(volume->GetRecord(1)->vecMin, 11, 0, 0);
  ExpectVector(volume->GetRecord(1)->vecMax, 12, 1, 1);

  const struct {
    float frame;
    float minimumX;
  } cases[] = {{0, 1},   {5, 1},    {9.99f, 1}, {10, 11},
               {25, 11}, {-1, 11}, {std::numeric_limits<float>::quiet_NaN(), 11}};
  for (const auto& c : cases) EXPECT_EQ(MinAt(*volume, c.frame).x, c.minimumX) << c.frame;
}

TEST_F(MeshBoundVolumeTest, BonedMeshWithoutKeysFallsBackToOneRigidRecord) {
  mesh->MakeBones(2);
  mesh->AddVertex({1, 1, 1}, 0);
  mesh->AddVertex({3, 2, 1}, 1);
  volume->Calculate();
  ASSERT_EQ(volume->GetNumberOfRecords(), 1u);
  CMatrix move;
  move.SetMove(10, 0, 0);
  volume->TransformBox(&move);
  CVector3 position;
  volume->GetTransformedPosition(&position);
  ExpectVector(position, 12, 1.5f, 1);
}

TEST_F(MeshBoundVolumeTest, BoneIndexBeyondTheBonesIsSkippedAndLoggedOnce) {
  mesh->MakeBones(1);
  KeyUnitScale(mesh->bones[0], 0);
  Key(mesh->bones[0], MOTION_POSITION_X, 0, 10);
  mesh->AddVertex({1, 0, 0}, 7);  // no such bone: stays put
  mesh->AddVertex({2, 0, 0}, 9);
  Vertex mixed{};
  mixed.vecPosition = {0, 3, 0};
  mixed.wBonesIndices[0] = 5;  // bad slot skipped, slot 1 still moves the vertex
  mixed.wBonesIndices[1] = 0;
  mixed.wBonesIndices[2] = mixed.wBonesIndices[3] = 0xFFFF;
  mixed.fWeights[1] = 1;
  mesh->vertices.push_back(mixed);
  volume->Calculate();

  ASSERT_EQ(volume->GetNumberOfRecords(), 1u);
  ExpectVector(volume->GetRecord(0)->vecMin, 1, 0, 0);
  ExpectVector(volume->GetRecord(0)->vecMax, 10, 3, 0);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].level, CEngineLog::kLevelError);
  EXPECT_NE(log.entries[0].text.find("WARNING!!! - "), std::string::npos);
}

TEST_F(MeshBoundVolumeTest, MeshWithoutVerticesIsFatal) {
  EngineContextScope context;
  ProcessExitCatcher exits;
  try {
    volume->Calculate();
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].text, "Can't Be No Vertices In A Mesh");
}

TEST_F(MeshBoundVolumeTest, TransformedAndAlignedBoxesOfARotatedBox) {
  MakeBox({0, 0, 0}, {2, 1, 1});
  CMatrix turn;
  turn.SetRotateZ(static_cast<float>(M_PI / 2));  // x goes to y, y to -x
  turn.Move(5, 0, 0);

  volume->TransformBox(&turn);
  CVector3 position, extents, minimum, maximum;
  volume->GetTransformedPosition(&position);
  volume->GetTransformedExtents(&extents);
  volume->GetMinTransformed(&minimum);
  volume->GetMaxTransformed(&maximum);
  EXPECT_NEAR(position.x, 4.5f, 1e-5);
  EXPECT_NEAR(position.y, 1.0f, 1e-5);
  EXPECT_NEAR(extents.x, 0.5f, 1e-5);
  EXPECT_NEAR(extents.y, 1.0f, 1e-5);
  EXPECT_NEAR(minimum.x, 4.0f, 1e-5);
  EXPECT_NEAR(maximum.y, 2.0f, 1e-5);
  // Corner 1 (2, 0, 0) lands on (5, 2, 0).
  EXPECT_NEAR(volume->GetTransformedPoints()[1].y, 2.0f, 1e-5);

  CVector3* alignedExtents = volume->TransformAABB(&turn);
  volume->GetAABBMin(&minimum);
  volume->GetAABBMax(&maximum);
  volume->GetAABBPosition(&position);
  EXPECT_NEAR(alignedExtents->y, 1.0f, 1e-5);
  EXPECT_NEAR(minimum.x, 4.0f, 1e-5);
  EXPECT_NEAR(maximum.x, 5.0f, 1e-5);
  EXPECT_NEAR(maximum.y, 2.0f, 1e-5);
  EXPECT_NEAR(position.z, 0.5f, 1e-5);
}

TEST_F(MeshBoundVolumeTest, VisibilityCullsOnlyWhenAllCornersLieBeyondOnePlane) {
  // With the identity as clip matrix every corner has w = 1.
  const struct {
    CVector3 minimum, maximum;
    BYTE visible;
  } cases[] = {
      {{-2, -2, 0.5f}, {2, 2, 0.6f}, 1},     // straddles the side planes
      {{-3, 0, 0.5f}, {-1, 0.5f, 0.6f}, 0},  // right face exactly on the left plane
      {{-3, 0, 0.5f}, {-0.99f, 0.5f, 0.6f}, 1},
      {{0, 0, 2}, {0.5f, 0.5f, 3}, 0},        // beyond the far plane
      {{0, 0, -1}, {0.5f, 0.5f, 0}, 0},       // before the near plane
      {{0, 2, 0.5f}, {0.5f, 3, 0.6f}, 0},     // above
      {{-3, 2, 0.5f}, {3, 3, 0.6f}, 0},       // above, wider than the view
      {{-3, -3, 0.5f}, {-2, 3, 0.6f}, 0},     // left, taller than the view
      {{-3, -3, 0.5f}, {-0.5f, -0.5f, 0.6f}, 1},
  };
  for (const auto& c : cases) {
    auto owner = std::make_unique<FakeBoundVolumeMesh>();
    owner->AddVertex(c.minimum);
    owner->AddVertex(c.maximum);
    CMeshBoundVolume boxVolume(std::move(owner));
    boxVolume.Calculate();
    CMatrix clip = CMatrix::Identity();
    EXPECT_EQ(boxVolume.CheckVisibility(clip), c.visible)
        << c.minimum.x << "," << c.minimum.y << "," << c.minimum.z;
  }
}

TEST_F(MeshBoundVolumeTest, AlignedProbeAnswersHitOrMissAndLeavesTheDistanceFar) {
  MakeBox({0, 0, 0}, {1, 1, 1});
  float distance = 0;
  CRay hit({-5, 0.5f, 0.5f}, {1, 0, 0});
  EXPECT_EQ(volume->CheckAAIntersection(hit, &distance, 0), 1u);
  EXPECT_EQ(distance, kFar);
  CRay miss({-5, 2, 0.5f}, {1, 0, 0});
  EXPECT_EQ(volume->CheckAAIntersection(miss, &distance, 0), 0u);
  CRay away({-5, 0.5f, 0.5f}, {-1, 0, 0});
  EXPECT_EQ(volume->CheckAAIntersection(away, &distance, 0), 0u);
}

TEST_F(MeshBoundVolumeTest, OrientedProbeMeasuresTheNearestFaceInDirectionLengths) {
  MakeBox({0, 0, 0}, {1, 1, 1});
  float distance = 0;
  CRay ray({-5, 0.5f, 0.5f}, {2, 0, 0});
  EXPECT_EQ(volume->CheckOOIntersection(ray, &distance, 0, 0), 1u);
  EXPECT_FLOAT_EQ(distance, 2.5f);
  CRay fromAbove({0.25f, 4, 0.75f}, {0, -1, 0});
  EXPECT_EQ(volume->CheckOOIntersection(fromAbove, &distance, 0, 0), 1u);
  EXPECT_FLOAT_EQ(distance, 3.0f);
  CRay miss({-5, 2, 0.5f}, {1, 0, 0});
  EXPECT_EQ(volume->CheckOOIntersection(miss, &distance, 0, 0), 0u);
  EXPECT_EQ(distance, kFar);
}

TEST_F(MeshBoundVolumeTest, OrientedProbeFromInsideNeedsAllFacesToSeeTheExit) {
  MakeBox({0, 0, 0}, {1, 1, 1});
  float distance = 0;
  CRay inside({0.5f, 0.5f, 0.25f}, {0, 0, 1});
  EXPECT_EQ(volume->CheckOOIntersection(inside, &distance, 0, 0), 0u);
  EXPECT_EQ(distance, kFar);
  EXPECT_EQ(volume->CheckOOIntersection(inside, &distance, CMeshBoundVolume::kProbeAllFaces, 0),
            1u);
  EXPECT_FLOAT_EQ(distance, 0.75f);
}

TEST_F(MeshBoundVolumeTest, OrientedProbeInWorldSpaceUsesTheCurrentMatrix) {
  MakeBox({0, 0, 0}, {1, 1, 1});
  mesh->currentMatrix.SetMove(10, 0, 0);
  float distance = 0;
  CRay ray({5, 0.5f, 0.5f}, {1, 0, 0});
  EXPECT_EQ(volume->CheckOOIntersection(ray, &distance, 0, 1), 1u);
  EXPECT_FLOAT_EQ(distance, 5.0f);
  EXPECT_EQ(volume->CheckOOIntersection(ray, &distance, 0, 0), 0u);  // object space: behind
  EXPECT_TRUE(mesh->matrixFrames.empty());                           // never re-evaluated
}

TEST_F(MeshBoundVolumeTest, BoxesCollideInThisMeshsSpaceAndTouchingCounts) {
  MakeBox({0, 0, 0}, {1, 1, 1});
  mesh->matrix.SetMove(5, 0, 0);
  mesh->matrixFrame = 3;
  auto otherOwner = std::make_unique<FakeBoundVolumeMesh>();
  otherOwner->AddVertex({0, 0, 0});
  otherOwner->AddVertex({1, 1, 1});
  CMeshBoundVolume other(std::move(otherOwner));
  other.Calculate();

  const struct {
    float otherX;
    UINT overlap;
  } cases[] = {{6, 1}, {5.5f, 1}, {4, 1}, {6.01f, 0}, {3.99f, 0}, {0, 0}};
  for (const auto& c : cases) {
    CMatrix placement;
    placement.SetMove(c.otherX, 0, 0);
    EXPECT_EQ(volume->CheckAACollision(&other, placement), c.overlap) << c.otherX;
  }
  EXPECT_EQ(mesh->matrixFrames.back(), 3.0f);  // the own matrix at the matrix frame
}

TEST_F(MeshBoundVolumeTest, CopyOwnsItsRecordsAndAnswersAsTheOriginal) {
  MakeBonedMesh();
  CMatrix move;
  move.SetMove(1, 2, 3);
  volume->TransformBox(&move);
  CVector3 transformed;
  volume->GetTransformedPosition(&transformed);

  auto copyOwner = std::make_unique<FakeBoundVolumeMesh>();
  FakeBoundVolumeMesh* copyMesh = copyOwner.get();
  CMeshBoundVolume* copy = nullptr;
  ASSERT_EQ(volume->Copy(&copy, std::move(copyOwner)), 1u);
  std::unique_ptr<CMeshBoundVolume> owned(copy);

  for (float frame : {-3.0f, 0.0f, 5.0f, 10.0f, 40.0f}) {
    const CVector3 expected = MinAt(*volume, frame);
    copyMesh->matrixFrame = frame;
    CVector3 minimum;
    copy->GetMin(&minimum);
    EXPECT_EQ(minimum, expected) << frame;
  }
  volume.reset();  // the copy shares nothing with the original
  CVector3 copied;
  copy->GetTransformedPosition(&copied);
  EXPECT_EQ(copied, transformed);
  EXPECT_EQ(copy->GetNumberOfRecords(), 2u);
}

TEST_F(MeshBoundVolumeTest, VolumeWithoutRecordsWritesNothingAndFindsNothing) {
  CVector3 untouched(7, 7, 7);
  volume->GetMin(&untouched);
  volume->GetExtents(&untouched);
  ExpectVector(untouched, 7, 7, 7);
  EXPECT_EQ(volume->GetPoints(), nullptr);
  CRay ray({-5, 0, 0}, {1, 0, 0});
  float distance = 0;
  EXPECT_EQ(volume->CheckOOIntersection(ray, &distance, CMeshBoundVolume::kProbeAllFaces, 0), 0u);
  EXPECT_EQ(volume->CheckAAIntersection(ray, &distance, 0), 0u);
  CMatrix identity = CMatrix::Identity();
  EXPECT_EQ(volume->CheckAACollision(volume.get(), identity), 0u);
  RecordingDrawRenderer renderer;
  volume->DrawFrameBox(&renderer, &identity);
  EXPECT_TRUE(renderer.calls.empty());
}

// --- drawing ---

DWORD ColorOf(const RecordingDrawRenderer::Draw& draw, UINT vertex) {
  DWORD color;
  std::memcpy(&color, draw.vertexBytes.data() + vertex * 28 + 12, sizeof color);
  return color;
}
CVector3 PositionOf(const RecordingDrawRenderer::Draw& draw, UINT vertex) {
  CVector3 position;
  std::memcpy(&position, draw.vertexBytes.data() + vertex * 28, sizeof position);
  return position;
}

const std::vector<std::string> kDrawCalls = {"transform 256", "fvf 450",   "vertex shader null",
                                             "pixel shader null", "draw", "state 8=2",
                                             "draw",             "state 8=3"};

void ExpectSolidThenWire(const RecordingDrawRenderer& renderer, UINT vertexCount,
                         const std::vector<WORD>& indices, DWORD solid, DWORD wire) {
  EXPECT_EQ(renderer.calls, kDrawCalls);
  ASSERT_EQ(renderer.draws.size(), 2u);
  for (int pass = 0; pass < 2; ++pass) {
    const auto& draw = renderer.draws[pass];
    EXPECT_EQ(draw.type, 4u);
    EXPECT_EQ(draw.vertexCount, vertexCount);
    EXPECT_EQ(draw.primitiveCount, indices.size() / 3);
    EXPECT_EQ(draw.indexFormat, 101u);
    EXPECT_EQ(draw.stride, 28u);
    EXPECT_EQ(draw.indices, indices);
    for (UINT v = 0; v < vertexCount; ++v) EXPECT_EQ(ColorOf(draw, v), pass == 0 ? solid : wire);
  }
}

const std::vector<WORD> kBoxIndices = {0, 2, 1, 2, 3, 1, 5, 1, 3, 5, 3, 7, 2, 6, 3, 3, 6, 7,
                                       1, 4, 0, 5, 4, 1, 4, 2, 0, 4, 6, 2, 5, 6, 4, 5, 7, 6};

TEST_F(MeshBoundVolumeTest, FrameBoxDrawsTheRecordCornersPlacedByTheMatrix) {
  MakeBox({0, 0, 0}, {1, 2, 3});
  RecordingDrawRenderer renderer;
  CMatrix place;
  place.SetMove(4, 5, 6);
  volume->DrawFrameBox(&renderer, &place);
  ExpectSolidThenWire(renderer, 8, kBoxIndices, 0x4077A2B3, 0x40FFFFFF);
  ASSERT_EQ(renderer.transforms.size(), 1u);
  EXPECT_EQ(renderer.transforms[0].second, place);
  ExpectVector(PositionOf(renderer.draws[0], 6), 0, 2, 3);
}

TEST_F(MeshBoundVolumeTest, BoxDrawsTheAlignedBoxUnderTheIdentity) {
  MakeBox({0, 0, 0}, {1, 2, 3});
  RecordingDrawRenderer renderer;
  CMatrix place;
  place.SetMove(4, 5, 6);
  volume->DrawBox(&renderer, &place);
  ExpectSolidThenWire(renderer, 8, kBoxIndices, 0x4077A2B3, 0x40FFFFFF);
  EXPECT_EQ(renderer.transforms[0].second, CMatrix::Identity());
  ExpectVector(PositionOf(renderer.draws[1], 0), 4, 5, 6);
  ExpectVector(PositionOf(renderer.draws[1], 7), 5, 7, 9);
}

TEST(BoundVolumeDrawingTest, BoneIsTwoPyramidsAlongZInBoneColours) {
  RecordingDrawRenderer renderer;
  CMatrix place;
  place.SetMove(1, 0, 0);
  CBoundVolumeDrawing::DrawBone(&renderer, place, 10);
  ExpectSolidThenWire(renderer, 6,
                      {0, 2, 3, 0, 3, 4, 0, 4, 5, 0, 5, 2, 1, 2, 3, 1, 3, 4, 1, 4, 5, 1, 5, 2},
                      0x80C86F71, 0xFFC86F71);
  EXPECT_EQ(renderer.transforms[0].second, place);
  ExpectVector(PositionOf(renderer.draws[0], 1), 0, 0, 10);
  ExpectVector(PositionOf(renderer.draws[0], 2), -1, 0, 1);
  ExpectVector(PositionOf(renderer.draws[0], 5), 0, 1, 1);
}

TEST(BoundVolumeDrawingTest, MeshBonePlacedByItsBoneAndRestMatricesThenTheMesh) {
  CBone bone;
  bone.SetRestPosition({0, 0, 2});
  KeyUnitScale(bone, 0);
  Key(bone, MOTION_POSITION_Z, 0, 2);
  Key(bone, MOTION_POSITION_X, 0, 3);
  bone.Evaluate(0);
  CMatrix meshMatrix;
  meshMatrix.SetMove(0, 10, 0);
  RecordingDrawRenderer renderer;
  CBoundVolumeDrawing::DrawBone(&renderer, &bone, 0, meshMatrix, 1);
  ASSERT_EQ(renderer.transforms.size(), 1u);
  const CMatrix expected = *bone.GetBoneMatrix(0) * *bone.GetRestMatrix(0) * meshMatrix;
  EXPECT_EQ(renderer.transforms[0].second, expected);
  // Rest at z 2, moved by x 3 from rest, then the mesh's y 10.
  ExpectVector(CVector3() * renderer.transforms[0].second, 3, 10, 2);
}

}  // namespace
