// Building collision models: the triangle source's checks, the source tree's split rules and
// degenerate halving, and the growable list the collider answers in.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "TriangleSoup.h"
#include "spatial/CollisionModel.h"
#include "spatial/DwordList.h"
#include "spatial/SourceBoxTree.h"
#include "spatial/TriangleTreeBuilder.h"

namespace {

CollisionModelParams EngineParams(CCollisionMeshInterface* source) {
  CollisionModelParams params;
  params.pMeshInterface = source;
  params.dwLeafLimit = 1;
  params.dwSplitRules = RULE_CENTROID_SPREAD | RULE_CENTROID_MEAN;
  params.bNoLeaf = false;
  params.bQuantized = false;
  return params;
}

// Every node's run is its children's runs, every box holds its triangles, and the leaves
// cover every triangle exactly once.
void ExpectSoundTree(const CSourceBoxNode& node, const TriangleSoup& soup,
                     std::multiset<UINT>& leaves) {
  float min[3], max[3];
  node.box.GetMin(min);
  node.box.GetMax(max);
  for (UINT i = 0; i < node.GetPrimitiveCount(); ++i)
    for (int corner = 0; corner < 3; ++corner) {
      const CVector3 p = soup.Corner(node.GetPrimitives()[i], corner);
      const float coordinates[3] = {p.x, p.y, p.z};
      for (int k = 0; k < 3; ++k) {
        EXPECT_GE(coordinates[k], min[k] - 1e-5f);
        EXPECT_LE(coordinates[k], max[k] + 1e-5f);
      }
    }
  if (!node.HasChildren()) {
    ASSERT_EQ(node.GetPrimitiveCount(), 1u);
    leaves.insert(node.GetPrimitives()[0]);
    return;
  }
  const CSourceBoxNode* first = node.GetFirstChild();
  const CSourceBoxNode* second = node.GetSecondChild();
  EXPECT_EQ(first->GetPrimitives(), node.GetPrimitives());
  EXPECT_EQ(second->GetPrimitives(), node.GetPrimitives() + first->GetPrimitiveCount());
  EXPECT_EQ(first->GetPrimitiveCount() + second->GetPrimitiveCount(), node.GetPrimitiveCount());
  ExpectSoundTree(*first, soup, leaves);
  ExpectSoundTree(*second, soup, leaves);
}

}  // namespace

TEST(CollisionModel, SingleTriangleModelHasNoTree) {
  TriangleSoup soup;
  soup.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  CCollisionModel model;
  ASSERT_TRUE(model.Build(EngineParams(&soup.source)));
  EXPECT_TRUE(model.HasFlag(MODEL_SINGLE_TRIANGLE));
  EXPECT_EQ(model.GetTree(), nullptr);
  EXPECT_EQ(model.GetUsedBytes(), 0u);
}

TEST(CollisionModel, RefusesInvalidSourcesAndLeafLimits) {
  TriangleSoup soup;
  soup.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  soup.AddTriangle({0, 0, 1}, {1, 0, 1}, {0, 1, 1});

  struct Case {
    const char* name;
    void (*spoil)(CCollisionMeshInterface&, CollisionModelParams&);
  };
  const Case cases[] = {
      {"no source", [](CCollisionMeshInterface&, CollisionModelParams& p) { p.pMeshInterface = nullptr; }},
      {"no triangles", [](CCollisionMeshInterface& s, CollisionModelParams&) { s.dwNumberOfTriangles = 0; }},
      {"no vertices", [](CCollisionMeshInterface& s, CollisionModelParams&) { s.dwNumberOfVertices = 0; }},
      {"no callback", [](CCollisionMeshInterface& s, CollisionModelParams&) { s.fpCallback = nullptr; }},
      {"leaf limit 2", [](CCollisionMeshInterface&, CollisionModelParams& p) { p.dwLeafLimit = 2; }},
      {"leaf limit 0", [](CCollisionMeshInterface&, CollisionModelParams& p) { p.dwLeafLimit = 0; }},
  };
  for (const Case& c : cases) {
    CCollisionMeshInterface source = soup.source;
    CollisionModelParams params = EngineParams(&source);
    c.spoil(source, params);
    CCollisionModel model;
    EXPECT_FALSE(model.Build(params)) << c.name;
    EXPECT_EQ(model.GetTree(), nullptr) << c.name;
  }
}

TEST(CollisionModel, SourceSetCallbackRefusesNull) {
  CCollisionMeshInterface source;
  EXPECT_FALSE(source.SetCallback(nullptr, &source));
  EXPECT_EQ(source.pUserData, nullptr);
  EXPECT_FALSE(source.IsValid());
}

TEST(CollisionModel, CountsTrianglesThatRepeatAVertex) {
  TriangleSoup soup;
  const UINT a = soup.AddVertex(0, 0, 0), b = soup.AddVertex(1, 0, 0), c = soup.AddVertex(0, 1, 0);
  const UINT samePlace = soup.AddVertex(0, 0, 0);
  soup.AddTriangle(a, b, c);
  soup.AddTriangle(a, a, b);
  soup.AddTriangle(b, c, c);
  // Same position, different vertex: not degenerate by this count.
  soup.AddTriangle(a, samePlace, c);
  EXPECT_EQ(soup.source.CountDegenerateTriangles(), 2u);
}

TEST(CollisionModel, SharedCentroidHalvesEverySplit) {
  TriangleSoup soup;
  const UINT n = 9;
  for (UINT i = 0; i < n; ++i) {
    const float s = 1.0f + static_cast<float>(i);
    soup.AddTriangle({-s, 0, 0}, {s, -s, 0}, {0, s, 0});
  }
  CTriangleTreeBuilder builder(1, RULE_CENTROID_SPREAD | RULE_CENTROID_MEAN, n, &soup.source);
  CSourceBoxTree tree;
  ASSERT_TRUE(tree.Build(&builder));
  EXPECT_EQ(tree.GetNodeCount(), 2 * n - 1);
  EXPECT_EQ(builder.dwDegenerateSplits, n - 1);
  std::multiset<UINT> leaves;
  ExpectSoundTree(tree.GetRoot(), soup, leaves);
  EXPECT_EQ(leaves.size(), n);
}

TEST(CollisionModel, TwoTrianglesPutTheUpperCentroidFirst) {
  // Centroids differ most along y; the first child holds the one above the mean.
  TriangleSoup soup;
  soup.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  soup.AddTriangle({0.5f, 10, 0}, {1.5f, 10, 0}, {0.5f, 11, 0});
  CTriangleTreeBuilder builder(1, RULE_CENTROID_SPREAD | RULE_CENTROID_MEAN, 2, &soup.source);
  CSourceBoxTree tree;
  ASSERT_TRUE(tree.Build(&builder));
  ASSERT_EQ(tree.GetNodeCount(), 3u);
  const CSourceBoxNode& root = tree.GetRoot();
  ASSERT_TRUE(root.HasChildren());
  EXPECT_EQ(root.GetFirstChild()->GetPrimitives()[0], 1u);
  EXPECT_EQ(root.GetSecondChild()->GetPrimitives()[0], 0u);
  EXPECT_EQ(builder.dwDegenerateSplits, 0u);
}

TEST(CollisionModel, EverySplitRuleBuildsACompleteTree) {
  std::mt19937 random(7);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 57, 20.0f, 1.0f);
  // A stack of identical triangles forces degenerate splits among the scattered ones.
  for (int i = 0; i < 5; ++i) soup.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  const UINT n = soup.TriangleCount();
  const UINT rules[] = {RULE_WIDEST_EXTENT, RULE_CENTROID_SPREAD, RULE_AXES_BY_EXTENT,
                        RULE_EVEN_SPLIT, RULE_LIST_MIDDLE, RULE_CENTROID_SPREAD | RULE_CENTROID_MEAN,
                        RULE_WIDEST_EXTENT | RULE_CENTROID_MEAN, 0x7FFFFFFF};
  for (const UINT rule : rules) {
    CTriangleTreeBuilder builder(1, rule, n, &soup.source);
    CSourceBoxTree tree;
    ASSERT_TRUE(tree.Build(&builder)) << rule;
    EXPECT_EQ(tree.GetNodeCount(), 2 * n - 1) << rule;
    EXPECT_TRUE(tree.IsComplete()) << rule;
    std::multiset<UINT> leaves;
    ExpectSoundTree(tree.GetRoot(), soup, leaves);
    std::multiset<UINT> all;
    for (UINT i = 0; i < n; ++i) all.insert(i);
    EXPECT_EQ(leaves, all) << rule;
  }
}

TEST(CollisionModel, NoSplitRuleFailsTheBuild) {
  TriangleSoup soup;
  soup.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  soup.AddTriangle({5, 0, 0}, {6, 0, 0}, {5, 1, 0});
  CCollisionModel model;
  CollisionModelParams params = EngineParams(&soup.source);
  params.dwSplitRules = RULE_CENTROID_MEAN;
  EXPECT_FALSE(model.Build(params));
}

TEST(CollisionModel, LargerLeafLimitKeepsInseparableTrianglesTogether) {
  TriangleSoup soup;
  for (int i = 0; i < 4; ++i) soup.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  CTriangleTreeBuilder builder(2, RULE_CENTROID_SPREAD | RULE_CENTROID_MEAN, 4, &soup.source);
  CSourceBoxTree tree;
  ASSERT_TRUE(tree.Build(&builder));
  EXPECT_EQ(tree.GetNodeCount(), 1u);
  EXPECT_FALSE(tree.IsComplete());
  EXPECT_EQ(builder.dwDegenerateSplits, 0u);
}

TEST(CollisionModel, RebuildReplacesTheTreesAndKeepsTheSourceTreeOnRequest) {
  std::mt19937 random(3);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 10, 5.0f, 0.5f);
  CCollisionModel model;
  CollisionModelParams params = EngineParams(&soup.source);
  params.bKeepSourceTree = true;
  ASSERT_TRUE(model.Build(params));
  ASSERT_NE(model.GetSourceTree(), nullptr);
  EXPECT_EQ(model.GetSourceTree()->GetNodeCount(), 19u);
  EXPECT_EQ(model.GetUsedBytes(), 19u * 28u);

  params.bKeepSourceTree = false;
  params.bNoLeaf = true;
  params.bQuantized = true;
  ASSERT_TRUE(model.Build(params));
  EXPECT_EQ(model.GetSourceTree(), nullptr);
  EXPECT_EQ(model.GetFlags(), static_cast<UINT>(MODEL_NO_LEAF | MODEL_QUANTIZED));
  EXPECT_EQ(model.GetUsedBytes(), 9u * 20u);
}

TEST(DwordList, GrowsByItsFactorAndKeepsTheCounters) {
  const UINT listsBefore = g_dwDwordLists;
  const UINT bytesBefore = g_dwDwordListBytes;
  {
    CDwordList list;
    EXPECT_EQ(g_dwDwordLists, listsBefore + 1);
    EXPECT_EQ(g_dwDwordListBytes, bytesBefore + 16);
    ASSERT_TRUE(list.Resize(1));
    EXPECT_EQ(list.GetCapacity(), 2u);
    ASSERT_TRUE(list.Add(10));
    ASSERT_TRUE(list.Add(11));
    ASSERT_TRUE(list.Resize(1));
    EXPECT_EQ(list.GetCapacity(), 4u);
    EXPECT_EQ(g_dwDwordListBytes, bytesBefore + 16 + 16);
    // A need beyond the growth factor is met at once.
    ASSERT_TRUE(list.Resize(20));
    EXPECT_EQ(list.GetCapacity(), 22u);
    for (UINT i = 0; i < 30; ++i) ASSERT_TRUE(list.Add(i));
    EXPECT_EQ(list.GetCount(), 32u);
    EXPECT_EQ(list.GetEntries()[0], 10u);
    EXPECT_EQ(list.GetEntries()[1], 11u);
    EXPECT_EQ(list.GetEntries()[31], 29u);
    EXPECT_EQ(g_dwDwordListBytes, bytesBefore + 16 + 4 * list.GetCapacity());
  }
  EXPECT_EQ(g_dwDwordLists, listsBefore);
  EXPECT_EQ(g_dwDwordListBytes, bytesBefore);
}
