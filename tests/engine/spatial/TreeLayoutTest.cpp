// The four flattened layouts: record counts and bytes, refusal of incomplete trees, the walks,
// quantized boxes that hold their float boxes, and refitting after vertices moved.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "TriangleSoup.h"
#include "spatial/BoxTree.h"
#include "spatial/CollisionModel.h"
#include "spatial/NoLeafBoxTree.h"
#include "spatial/QuantizedBoxTree.h"
#include "spatial/QuantizedNoLeafBoxTree.h"
#include "spatial/SourceBoxTree.h"
#include "spatial/TriangleTreeBuilder.h"

namespace {

constexpr UINT kEngineRules = RULE_CENTROID_SPREAD | RULE_CENTROID_MEAN;

struct BuiltSource {
  std::unique_ptr<CTriangleTreeBuilder> builder;
  CSourceBoxTree tree;
};

void BuildSource(const TriangleSoup& soup, UINT leafLimit, BuiltSource& out) {
  out.builder = std::make_unique<CTriangleTreeBuilder>(leafLimit, kEngineRules,
                                                       soup.TriangleCount(), &soup.source);
  ASSERT_TRUE(out.tree.Build(out.builder.get()));
}

struct Layout {
  const char* name;
  std::unique_ptr<COptimizedBoxTree> (*make)();
  UINT recordBytes;
  bool noLeaf;
};

const Layout kLayouts[] = {
    {"plain", [] { return std::unique_ptr<COptimizedBoxTree>(new CBoxTree); }, 28, false},
    {"no-leaf", [] { return std::unique_ptr<COptimizedBoxTree>(new CNoLeafBoxTree); }, 32, true},
    {"quantized", [] { return std::unique_ptr<COptimizedBoxTree>(new CQuantizedBoxTree); }, 16,
     false},
    {"quantized no-leaf",
     [] { return std::unique_ptr<COptimizedBoxTree>(new CQuantizedNoLeafBoxTree); }, 20, true},
};

bool CountVisit(const void*, void* count) {
  ++*static_cast<UINT*>(count);
  return true;
}

bool StopAtOnce(const void*, void* count) {
  ++*static_cast<UINT*>(count);
  return false;
}

// `slack` allows for the rounding of boxes kept as centre and extents.
bool Encloses(const CollisionBox& outer, const CollisionBox& inner, float slack = 0.0f) {
  float outerMin[3], outerMax[3], innerMin[3], innerMax[3];
  outer.GetMin(outerMin);
  outer.GetMax(outerMax);
  inner.GetMin(innerMin);
  inner.GetMax(innerMax);
  for (int k = 0; k < 3; ++k)
    if (outerMin[k] > innerMin[k] + slack || outerMax[k] < innerMax[k] - slack) return false;
  return true;
}

}  // namespace

TEST(TreeLayout, RecordCountsAndBytes) {
  std::mt19937 random(11);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 40, 10.0f, 1.0f);
  const UINT n = soup.TriangleCount();
  BuiltSource source;
  BuildSource(soup, 1, source);
  for (const Layout& layout : kLayouts) {
    std::unique_ptr<COptimizedBoxTree> tree = layout.make();
    ASSERT_TRUE(tree->Build(&source.tree)) << layout.name;
    const UINT records = layout.noLeaf ? n - 1 : 2 * n - 1;
    EXPECT_EQ(tree->GetNodeCount(), records) << layout.name;
    EXPECT_EQ(tree->GetUsedBytes(), records * layout.recordBytes) << layout.name;
    UINT visited = 0;
    EXPECT_TRUE(tree->Walk(&CountVisit, &visited));
    EXPECT_EQ(visited, records) << layout.name;
  }
}

TEST(TreeLayout, EveryLayoutRefusesMissingAndIncompleteSources) {
  TriangleSoup soup;
  for (int i = 0; i < 4; ++i) soup.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  BuiltSource incomplete;
  BuildSource(soup, 2, incomplete);
  ASSERT_FALSE(incomplete.tree.IsComplete());
  for (const Layout& layout : kLayouts) {
    std::unique_ptr<COptimizedBoxTree> tree = layout.make();
    EXPECT_FALSE(tree->Build(nullptr)) << layout.name;
    EXPECT_FALSE(tree->Build(&incomplete.tree)) << layout.name;
    EXPECT_EQ(tree->GetUsedBytes(), 0u) << layout.name;
  }
}

TEST(TreeLayout, WalkStopsWhereTheCallbackSaysAndNeedsACallback) {
  std::mt19937 random(5);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 12, 10.0f, 1.0f);
  BuiltSource source;
  BuildSource(soup, 1, source);
  for (const Layout& layout : kLayouts) {
    std::unique_ptr<COptimizedBoxTree> tree = layout.make();
    ASSERT_TRUE(tree->Build(&source.tree));
    UINT visited = 0;
    EXPECT_TRUE(tree->Walk(&StopAtOnce, &visited));
    EXPECT_EQ(visited, 1u) << layout.name;
    EXPECT_FALSE(tree->Walk(nullptr, &visited)) << layout.name;
  }
}

TEST(TreeLayout, PlainTreeKeepsChildrenAfterParentsAndLeavesForEveryTriangle) {
  std::mt19937 random(9);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 25, 10.0f, 1.0f);
  BuiltSource source;
  BuildSource(soup, 1, source);
  CBoxTree tree;
  ASSERT_TRUE(tree.Build(&source.tree));
  const BoxTreeNode* nodes = tree.GetNodes();
  std::vector<int> seen(soup.TriangleCount(), 0);
  for (UINT i = 0; i < tree.GetNodeCount(); ++i) {
    if (nodes[i].IsLeaf()) {
      ++seen[LinkTriangle(nodes[i].dwLink)];
      continue;
    }
    const UINT child = LinkRecord(nodes[i].dwLink);
    ASSERT_GT(child, i);
    ASSERT_LT(child + 1, tree.GetNodeCount());
    EXPECT_TRUE(Encloses(nodes[i].box, nodes[child].box, 1e-5f));
    EXPECT_TRUE(Encloses(nodes[i].box, nodes[child + 1].box, 1e-5f));
  }
  for (int count : seen) EXPECT_EQ(count, 1);

  // Rebuilding with the same record count keeps the array.
  const BoxTreeNode* before = tree.GetNodes();
  ASSERT_TRUE(tree.Build(&source.tree));
  EXPECT_EQ(tree.GetNodes(), before);
}

TEST(TreeLayout, QuantizedBoxesHoldTheirFloatBoxes) {
  // Random soups, one far from the origin, and one flat at a height no step hits exactly.
  std::mt19937 random(21);
  for (int variant = 0; variant < 3; ++variant) {
    TriangleSoup soup;
    soup.AddRandomTriangles(random, 60, 10.0f, 0.5f);
    for (CVector3& p : soup.positions) {
      if (variant == 1) p = p + CVector3{1000.0f, -333.3f, 77.7f};
      if (variant == 2) p.y = 3.14159f;
    }
    BuiltSource source;
    BuildSource(soup, 1, source);

    CBoxTree plain;
    CQuantizedBoxTree quantized;
    ASSERT_TRUE(plain.Build(&source.tree));
    ASSERT_TRUE(quantized.Build(&source.tree));
    ASSERT_EQ(plain.GetNodeCount(), quantized.GetNodeCount());
    for (UINT i = 0; i < plain.GetNodeCount(); ++i) {
      EXPECT_TRUE(Encloses(DecodeBox(quantized.GetNodes()[i], quantized.GetDequantization()),
                           plain.GetNodes()[i].box))
          << "variant " << variant << " record " << i;
      EXPECT_EQ(quantized.GetNodes()[i].dwLink, plain.GetNodes()[i].dwLink);
    }

    CNoLeafBoxTree noLeaf;
    CQuantizedNoLeafBoxTree quantizedNoLeaf;
    ASSERT_TRUE(noLeaf.Build(&source.tree));
    ASSERT_TRUE(quantizedNoLeaf.Build(&source.tree));
    for (UINT i = 0; i < noLeaf.GetNodeCount(); ++i) {
      const QuantizedNoLeafBoxNode& q = quantizedNoLeaf.GetNodes()[i];
      EXPECT_TRUE(Encloses(DecodeBox(q, quantizedNoLeaf.GetDequantization()),
                           noLeaf.GetNodes()[i].box))
          << "variant " << variant << " record " << i;
      EXPECT_EQ(q.dwPositiveLink, noLeaf.GetNodes()[i].dwPositiveLink);
      EXPECT_EQ(q.dwNegativeLink, noLeaf.GetNodes()[i].dwNegativeLink);
    }
  }
}

TEST(TreeLayout, AxisWithAllCentresAtZeroGetsNoCentreCoefficient) {
  // Pairs mirrored through x = 0, so every box is centred on x = 0.
  TriangleSoup soup;
  for (int i = 0; i < 4; ++i) {
    const float y = static_cast<float>(i) * 3.0f;
    soup.AddTriangle({-1, y, 0}, {1, y, 0}, {0, y + 1, 0.5f});
  }
  BuiltSource source;
  BuildSource(soup, 1, source);
  CQuantizedBoxTree tree;
  ASSERT_TRUE(tree.Build(&source.tree));
  EXPECT_EQ(tree.GetDequantization().fCenter[0], 0.0f);
  EXPECT_NE(tree.GetDequantization().fCenter[1], 0.0f);
  for (UINT i = 0; i < tree.GetNodeCount(); ++i)
    EXPECT_EQ(DecodeBox(tree.GetNodes()[i], tree.GetDequantization()).fCenter[0], 0.0f);
}

TEST(TreeLayout, RefitFollowsAMovedVertex) {
  std::mt19937 random(13);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 30, 10.0f, 1.0f);
  CCollisionModel model;
  CollisionModelParams params;
  params.pMeshInterface = &soup.source;
  params.bNoLeaf = true;
  params.bQuantized = false;
  ASSERT_TRUE(model.Build(params));

  const UINT moved = soup.indices[3 * 17 + 1];
  soup.positions[moved] = {40.0f, -25.0f, 12.0f};
  ASSERT_TRUE(model.Refit());

  const auto& tree = static_cast<const CNoLeafBoxTree&>(*model.GetTree());
  const NoLeafBoxNode* nodes = tree.GetNodes();
  // Every record holds its children's boxes and leaf triangles.
  for (UINT i = 0; i < tree.GetNodeCount(); ++i)
    for (const UINT link : {nodes[i].dwPositiveLink, nodes[i].dwNegativeLink}) {
      if (!IsLeafLink(link)) {
        EXPECT_TRUE(Encloses(nodes[i].box, nodes[LinkRecord(link)].box, 1e-5f));
        continue;
      }
      for (int corner = 0; corner < 3; ++corner) {
        const CVector3 p = soup.Corner(LinkTriangle(link), corner);
        CollisionBox point{{p.x, p.y, p.z}, {0, 0, 0}};
        EXPECT_TRUE(Encloses(nodes[i].box, point, 1e-5f));
      }
    }
  // The root is exactly the bounds of all triangles.
  CollisionBounds all;
  for (const CVector3& p : soup.positions) {
    const float coordinates[3] = {p.x, p.y, p.z};
    all.Add(coordinates);
  }
  const CollisionBox expected = all.ToBox();
  for (int k = 0; k < 3; ++k) {
    EXPECT_FLOAT_EQ(nodes[0].box.fCenter[k], expected.fCenter[k]);
    EXPECT_FLOAT_EQ(nodes[0].box.fExtents[k], expected.fExtents[k]);
  }
}

TEST(TreeLayout, OnlyTheFloatNoLeafLayoutRefits) {
  std::mt19937 random(17);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 8, 10.0f, 1.0f);
  BuiltSource source;
  BuildSource(soup, 1, source);
  for (const Layout& layout : kLayouts) {
    std::unique_ptr<COptimizedBoxTree> tree = layout.make();
    ASSERT_TRUE(tree->Build(&source.tree));
    const bool refits = dynamic_cast<CNoLeafBoxTree*>(tree.get()) != nullptr;
    EXPECT_EQ(tree->Refit(&soup.source), refits) << layout.name;
    EXPECT_FALSE(tree->Refit(nullptr)) << layout.name;
  }
}

TEST(TreeLayout, BrokenCoordinatesStillBuildEveryLayout) {
  // A vertex at infinity and one that is not a number must not hang or break the builds.
  std::mt19937 random(23);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, 200, 10.0f, 1.0f);
  soup.positions[5].x = std::numeric_limits<float>::infinity();
  soup.positions[40].y = std::numeric_limits<float>::quiet_NaN();
  BuiltSource source;
  BuildSource(soup, 1, source);
  for (const Layout& layout : kLayouts) {
    std::unique_ptr<COptimizedBoxTree> tree = layout.make();
    EXPECT_TRUE(tree->Build(&source.tree)) << layout.name;
    EXPECT_EQ(tree->GetNodeCount(), layout.noLeaf ? 199u : 399u) << layout.name;
  }
}
