// Includes the engine's headers the way the game does: this one include must stand alone.
#include "ZKDXInterface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Triangle source over a caller's index list, as a collider would install it.
struct IndexedTriangles {
  std::vector<CVector3> positions;
  std::vector<WORD> indices;

  static void Corners(UINT triangle, TriangleVertices& out, void* userData) {
    const auto* self = static_cast<const IndexedTriangles*>(userData);
    for (int corner = 0; corner < 3; ++corner)
      out.pVertex[corner] = &self->positions[self->indices[triangle * 3 + corner]].x;
  }
};

TEST(CollisionMesh, IsValidOnlyWithCountsAndCallback) {
  CCollisionMeshInterface source;
  EXPECT_FALSE(source.IsValid());
  EXPECT_FALSE(source.SetCallback(nullptr, &source));
  EXPECT_EQ(source.pUserData, nullptr);

  IndexedTriangles mesh;
  EXPECT_TRUE(source.SetCallback(&IndexedTriangles::Corners, &mesh));
  EXPECT_FALSE(source.IsValid());  // counts still 0
  source.dwNumberOfTriangles = 1;
  EXPECT_FALSE(source.IsValid());
  source.dwNumberOfVertices = 3;
  EXPECT_TRUE(source.IsValid());
}

TEST(CollisionMesh, CountsTrianglesThatRepeatAVertex) {
  IndexedTriangles mesh;
  mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}};
  // A proper triangle; one repeating its first corner last; one repeating the middle; and one
  // whose corners share a position but not a vertex, which is not degenerate.
  mesh.indices = {0, 1, 2, 0, 1, 0, 2, 2, 1, 0, 3, 1};
  CCollisionMeshInterface source;
  source.dwNumberOfTriangles = 4;
  source.dwNumberOfVertices = 4;
  ASSERT_TRUE(source.SetCallback(&IndexedTriangles::Corners, &mesh));
  EXPECT_EQ(source.CountDegenerateTriangles(), 2u);
}

}  // namespace
