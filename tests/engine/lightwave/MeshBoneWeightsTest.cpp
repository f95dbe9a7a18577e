// Bone rest matrices and vertex weights of imported meshes: rest matrices chained through parents
// of any number, distances to a bone's rest segment, weights by distance and from weight maps,
// and the stops for what the engine cannot skin.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "LoadingTestBench.h"
#include "TestScene.h"
#include "scene/Bone.h"
#include "scene/LWOImportBuffer.h"
#include "scene/Mesh.h"
#include "scene/MeshBoneWeights.h"

namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

// A bone at rest at `position` with `rotation` (heading, pitch, bank) and `length`.
struct BoneSetup {
  BoneSetup(CVector3 position = {}, CVector3 rotation = {}, float length = 1.0f, int parent = -1,
            float strength = 1.0f, UINT scaleByLength = 0, UINT falloff = 1,
            const char* weightMap = nullptr)
      : position(position), rotation(rotation), length(length), parent(parent),
        strength(strength), scaleByLength(scaleByLength), falloff(falloff),
        weightMap(weightMap) {}
  CVector3 position;
  CVector3 rotation;
  float length;
  int parent;  // a bone's number, or none
  float strength;
  UINT scaleByLength;
  UINT falloff;
  const char* weightMap;
};

class MeshBoneWeightsTest : public ::testing::Test, public LoadingTestBench {
 protected:
  ~MeshBoneWeightsTest() override { scene->Release(); }

  // A mesh whose bones are set up, linked and given their rest matrices as an import does.
  CMesh* Skeleton(const std::vector<BoneSetup>& setups) {
    auto* mesh = new CMesh(nullptr, &log, scene, 0);
    scene->AppendWorldObject(mesh);
    mesh->SetName("arm.lwo");
    CBone* bones = mesh->CreateBones(static_cast<UINT>(setups.size()));
    for (size_t i = 0; i < setups.size(); ++i) {
      const BoneSetup& s = setups[i];
      bones[i].SetRestPosition(s.position);
      bones[i].SetRestRotation(s.rotation);
      bones[i].SetRestLength(s.length);
      bones[i].SetStrength(s.strength);
      bones[i].SetScaleByLength(s.scaleByLength);
      bones[i].SetFalloffType(s.falloff);
      bones[i].SetWeightMapName(s.weightMap);
      bones[i].SetHasWeightMap(s.weightMap != nullptr ? 1 : 0);
    }
    for (size_t i = 0; i < setups.size(); ++i)
      if (setups[i].parent >= 0)
        mesh->SetBoneParent(static_cast<UINT>(i), BONE_PARENT_ITEM_BONE,
                            static_cast<UINT>(setups[i].parent));
    mesh->CalculateBonesRestMatrices();
    return mesh;
  }

  // Vertices at `positions` whose slots hold earlier values (weight 0.125, bone 7).
  static std::vector<Vertex> VerticesAt(const std::vector<CVector3>& positions) {
    std::vector<Vertex> vertices(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
      vertices[i].vecPosition = positions[i];
      for (UINT k = 0; k < 4; ++k) {
        vertices[i].fWeights[k] = 0.125f;
        vertices[i].wBonesIndices[k] = 7;
      }
    }
    return vertices;
  }

  UINT Weigh(CMesh* mesh, std::vector<Vertex>& vertices) {
    return CMeshBoneWeights(mesh->GetBones(), mesh->GetNumberOfBones(), vertices,
                            mesh->GetName(), &log)
        .CalculateBonesWeights(*object);
  }

  // The import's points: one a vertex, each the copy of file point `sources[i]`, with no
  // weights yet; and the weight maps as (name, {point, weight} ...).
  void Points(const std::vector<UINT>& sources) {
    ASSERT_TRUE(object->AllocatePoints(static_cast<UINT>(sources.size())));
    object->pointCount = static_cast<UINT>(sources.size());
    for (size_t i = 0; i < sources.size(); ++i) object->points[i].index = sources[i];
  }
  void WeightMap(const char* name, const std::vector<LWOWeightEntry>& entries) {
    LWOWeightMap& map = object->weightMaps[object->weightMapCount++];
    CopyName(map.name, name);
    map.count = static_cast<UINT>(entries.size());
    map.entries.reset(new LWOWeightEntry[entries.size()]);
    std::copy(entries.begin(), entries.end(), map.entries.get());
  }

  std::string FatalText() const {
    const std::vector<ZkTestMessageBox> boxes = exits.Boxes();
    return boxes.empty() ? "" : boxes.back().caption + ": " + boxes.back().text;
  }

  TestScene* scene = new TestScene(nullptr, &log);
  std::unique_ptr<LWOImportBuffer> object = std::make_unique<LWOImportBuffer>();
};

void ExpectMatrix(const CMatrix& actual, const std::vector<float>& rows) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(actual.m[i / 4][i % 4], rows[i], 1e-6f) << "element " << i;
}

TEST_F(MeshBoneWeightsTest, RestMatricesBankThenPitchThenHeadThenMoveAndChainWhateverTheParentsNumber) {
  // Every angle a quarter turn: x stays x, y turns to z, z to -y (worked by hand), then the move.
  CMesh* single = Skeleton({{{1, 2, 3}, {kQuarterTurn, kQuarterTurn, kQuarterTurn}}});
  ExpectMatrix(*single->GetBone(0)->GetRestMatrix(0), {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 1, 2, 3, 1});

  // A parent banked a quarter turn at (0, 0, 2), its child at (1, 0, 0) in the parent's space:
  // the child rests at (0, 1, 2) with the parent's rotation, whichever of the two comes first.
  const std::vector<float> child = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 2, 1};
  CMesh* parentFirst = Skeleton({{{0, 0, 2}, {0, 0, kQuarterTurn}}, {{1, 0, 0}, {}, 1.0f, 0}});
  CMesh* childFirst = Skeleton({{{1, 0, 0}, {}, 1.0f, 1}, {{0, 0, 2}, {0, 0, kQuarterTurn}}});
  ExpectMatrix(*parentFirst->GetBone(1)->GetRestMatrix(0), child);
  ExpectMatrix(*childFirst->GetBone(0)->GetRestMatrix(0), child);
  EXPECT_EQ(*childFirst->GetBone(0)->GetRestMatrix(0), *parentFirst->GetBone(1)->GetRestMatrix(0));

  // The weights by distance follow the complete chain too.
  std::vector<Vertex> a = VerticesAt({{0, 1.5f, 2.5f}, {0.5f, 0, 2}});
  std::vector<Vertex> b = a;
  Weigh(parentFirst, a);
  Weigh(childFirst, b);
  for (size_t v = 0; v < a.size(); ++v) {
    EXPECT_EQ(a[v].wBonesIndices[0], 1 - b[v].wBonesIndices[0]) << v;
    EXPECT_FLOAT_EQ(a[v].fWeights[0], b[v].fWeights[0]) << v;
  }
  EXPECT_EQ(a[0].wBonesIndices[0], 1);  // beside the child
}

TEST_F(MeshBoneWeightsTest, DistanceIsToTheRestSegmentBelowAlongAndBeyondIt) {
  // The segment runs from (1, 2, 3) along -y (the bone's z after its quarter turns) for 2.
  CMesh* mesh = Skeleton({{{1, 2, 3}, {kQuarterTurn, kQuarterTurn, kQuarterTurn}, 2.0f}});
  CBone& bone = *mesh->GetBone(0);
  const struct {
    const char* where;
    CVector3 point;
    float distance;
  } cases[] = {
      {"below the origin", {1, 3, 4}, std::sqrt(2.0f)},
      {"beside the segment", {1, 1, 3.5f}, 0.5f},
      {"on the segment", {1, 0.5f, 3}, 0.0f},
      {"beyond the end", {2, -1, 3}, std::sqrt(2.0f)},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(CMeshBoneWeights::DistanceToBone(bone, c.point), c.distance, 1e-5f) << c.where;
}

TEST_F(MeshBoneWeightsTest, DistanceWeightsKeepTheFourStrongestBonesNormalised) {
  // One bone: weight 1 in slot 0, the other slots as they were.
  std::vector<Vertex> one = VerticesAt({{3, 0, 0}, {0, 0, 9}});
  Weigh(Skeleton({{{0, 0, 0}}}), one);
  for (const Vertex& vertex : one) {
    EXPECT_EQ(vertex.wBonesIndices[0], 0);
    EXPECT_FLOAT_EQ(vertex.fWeights[0], 1.0f);
    for (UINT k = 1; k < 4; ++k) {
      EXPECT_EQ(vertex.wBonesIndices[k], 7);
      EXPECT_EQ(vertex.fWeights[k], 0.125f);
    }
  }

  // Two bones as far from the vertex: equal weights.
  std::vector<Vertex> between = VerticesAt({{0, 0, 0.5f}});
  Weigh(Skeleton({{{-1, 0, 0}}, {{1, 0, 0}}}), between);
  EXPECT_EQ((std::set<WORD>{between[0].wBonesIndices[0], between[0].wBonesIndices[1]}), (std::set<WORD>{0, 1}));
  EXPECT_FLOAT_EQ(between[0].fWeights[0], 0.5f);
  EXPECT_FLOAT_EQ(between[0].fWeights[1], 0.5f);

  // Strength over distance to the falloff: strength 1 at distance 1 against rest length 3 (the
  // strength of 100 not counting) at distance 2 squared: 1 to 3/4.
  std::vector<Vertex> pulled = VerticesAt({{0, 0, 0.5f}});
  Weigh(Skeleton({{{1, 0, 0}, {}, 1.0f, -1, 1.0f, 0, 2}, {{2, 0, 0}, {}, 3.0f, -1, 100.0f, 1, 2}}), pulled);
  EXPECT_EQ(pulled[0].wBonesIndices[0], 0);
  EXPECT_EQ(pulled[0].wBonesIndices[1], 1);
  EXPECT_NEAR(pulled[0].fWeights[0], 4.0f / 7.0f, 1e-5f);
  EXPECT_NEAR(pulled[0].fWeights[1], 3.0f / 7.0f, 1e-5f);

  // Five bones at distances 3, 1, 5, 2 and 4 with inverse-distance falloff: the nearest four in
  // order, 1 : 1/2 : 1/3 : 1/4 scaled to sum to 1, the farthest dropped.
  std::vector<Vertex> crowd = VerticesAt({{0, 0, 0.5f}});
  Weigh(Skeleton({{{3, 0, 0}}, {{1, 0, 0}}, {{5, 0, 0}}, {{2, 0, 0}}, {{4, 0, 0}}}), crowd);
  const WORD order[4] = {1, 3, 0, 4};
  const float weights[4] = {12.0f / 25, 6.0f / 25, 4.0f / 25, 3.0f / 25};
  for (UINT k = 0; k < 4; ++k) {
    EXPECT_EQ(crowd[0].wBonesIndices[k], order[k]) << k;
    EXPECT_NEAR(crowd[0].fWeights[k], weights[k], 1e-5f) << k;
  }
  EXPECT_TRUE(exits.Boxes().empty());
}

TEST_F(MeshBoneWeightsTest, MapWeightsFillSlotsInBoneOrderAndAreNormalised) {
  // Vertices 0 to 3 are file points 0, 1, 2 and 1 again (a copy the processing made); vertex 4
  // is a point no map reaches.
  Points({0, 1, 2, 1, 5});
  WeightMap("a", {{0, 1.0f}, {1, 0.5f}});
  WeightMap("b", {{1, 0.25f}, {2, 0.6f}});
  WeightMap("c", {{1, 0.25f}, {2, 0.2f}});
  WeightMap("B", {{0, 9.0f}});  // names match exactly
  CMesh* mesh = Skeleton({{{}, {}, 1, -1, 1, 0, 1, "b"}, {{}, {}, 1, -1, 1, 0, 1, "a"},
                          {{}, {}, 1, -1, 1, 0, 1, "c"}});
  std::vector<Vertex> vertices = VerticesAt({{}, {}, {}, {}, {}});
  for (Vertex& vertex : vertices)
    for (UINT k = 0; k < 4; ++k) vertex.fWeights[k] = 0.0f;
  ASSERT_EQ(Weigh(mesh, vertices), 1u);

  const struct {
    UINT vertex;
    std::vector<WORD> bones;
    std::vector<float> weights;
  } expected[] = {
      {0, {1}, {1.0f}},
      {1, {0, 1, 2}, {0.25f, 0.5f, 0.25f}},
      {2, {0, 2}, {0.75f, 0.25f}},
      {3, {0, 1, 2}, {0.25f, 0.5f, 0.25f}},
      {4, {}, {}},
  };
  for (const auto& e : expected) {
    const Vertex& vertex = vertices[e.vertex];
    for (UINT k = 0; k < 4; ++k) {
      const bool filled = k < e.bones.size();
      EXPECT_EQ(vertex.wBonesIndices[k], filled ? e.bones[k] : 7) << e.vertex << " slot " << k;
      EXPECT_NEAR(vertex.fWeights[k], filled ? e.weights[k] : 0.0f, 1e-6f) << e.vertex << " slot " << k;
    }
  }
  EXPECT_TRUE(log.TextAt(CEngineLog::kLevelError).empty());
}

TEST_F(MeshBoneWeightsTest, AFourthMapWeightWarnsAFifthStopsAndMixedBonesStop) {
  Points({0});
  const char* maps[] = {"m0", "m1", "m2", "m3", "m4"};
  std::vector<BoneSetup> bones;
  for (const char* name : maps) {
    WeightMap(name, {{0, 0.5f}});
    bones.push_back({{}, {}, 1, -1, 1, 0, 1, name});
  }
  CopyName(object->fileName, "arm.lwo");

  std::vector<Vertex> four = VerticesAt({{}});
  ASSERT_EQ(Weigh(Skeleton({bones.begin(), bones.begin() + 4}), four), 1u);
  for (UINT k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(four[0].fWeights[k], 0.25f);
  ASSERT_FALSE(log.entries.empty());
  EXPECT_EQ(log.entries.back().source, "Bones");
  EXPECT_EQ(log.entries.back().text, "WARNING!!!: m3\n");

  std::vector<Vertex> five = VerticesAt({{}});
  EXPECT_THROW(Weigh(Skeleton(bones), five), ProcessExited);
  EXPECT_EQ(FatalText(), "Error While Loading LWO: Too Much Weights Per Vertex: arm.lwo (4)");

  std::vector<BoneSetup> mixed = {bones[0], BoneSetup{}};
  EXPECT_THROW(Weigh(Skeleton(mixed), five), ProcessExited);
  EXPECT_EQ(FatalText(),
            "Error While Loading LWO: The Engine Supports Only Bones With WeightMaps Or Only With "
            "Unlimited Range LW5.5 Style: arm.lwo");
}

}  // namespace
