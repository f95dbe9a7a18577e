#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "SurfaceTestBench.h"

namespace {

struct ProjectionCase {
  const char* name;
  UINT projection;
  UINT axisBits;
  CVector3 position;
  CVector3 size;
  float wrapWidth;
  float expectedU;
  float expectedV;
};

// Centre at the origin throughout; the expected values are worked out by hand.
const ProjectionCase kCases[] = {
    {"planar X", 0, 0x1, {0.5f, 1, -2}, {2, 4, 8}, 1, 0.25f, 0.25f},
    {"planar Y", 0, 0x2, {0.5f, 1, -2}, {2, 4, 8}, 1, 0.75f, 0.75f},
    {"planar Z", 0, 0x4, {0.5f, 1, -2}, {2, 4, 8}, 1, 0.75f, 0.25f},
    // Pair (-dx, dz) = (1, 0): heading -pi/2, so u = 1.25 unwrapped.
    {"cylindrical Y", 1, 0x2, {-1, 1, 0}, {2, 4, 8}, 1, 1.25f, 0.25f},
    {"cylindrical Y wrapped twice", 1, 0x2, {-1, 1, 0}, {2, 4, 8}, 2, 0.5f, 0.25f},
    // Pair (-dx, -dy) = (0, 1): heading 0.
    {"cylindrical Z", 1, 0x4, {0, -1, 0.8f}, {2, 4, 8}, 1, 1.0f, 0.4f},
    // Triple (-dx, dy, dz) = (0, 1, 1): heading 0, pitch pi/4; u reduced from 1 to 0.
    {"spherical Y", 2, 0x2, {0, 1, 1}, {2, 4, 8}, 1, 0.0f, 0.25f},
    // Straight above the centre: the pitch is pi/2 without a division.
    {"spherical Y pole", 2, 0x2, {0, 3, 0}, {2, 4, 8}, 1, 0.0f, 0.0f},
    // A zero extent puts its axis in the middle of the texture instead of dividing by it.
    {"planar Z, zero width", 0, 0x4, {0.5f, 1, -2}, {0, 4, 8}, 1, 0.5f, 0.25f},
    // Pair (dz, -dy) = (-2, -1): heading pi - atan(2).
    {"cylindrical X, zero sizes", 1, 0x1, {0.5f, 1, -2}, {0, 0, 0}, 1, 0.6762083f, 0.5f},
};

class SurfaceProjectionTest : public ::testing::Test {
 protected:
  CMesh* MeshWith(std::vector<Vertex> vertices, std::vector<Face> faces = {}) {
    CMesh* mesh = bench.AddMesh("m");
    mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 0);
    if (!faces.empty()) mesh->SetFaces(static_cast<UINT>(faces.size()), faces.data());
    return mesh;
  }
  static Vertex At(CVector3 position) {
    Vertex vertex{};
    vertex.vecPosition = position;
    vertex.fTU[0] = vertex.fTV[0] = -7.0f;  // untouched marker
    return vertex;
  }

  SurfaceTestBench bench;
  CVector3 centre{0, 0, 0};
};

TEST_F(SurfaceProjectionTest, EachProjectionMapsAKnownVertex) {
  for (const ProjectionCase& c : kCases) {
    SCOPED_TRACE(c.name);
    CMesh* mesh = MeshWith({At(c.position)});
    CSurface* surface = bench.Make("s", mesh);
    WORD index = 0;
    surface->SetIndices(1, &index);
    CVector3 size = c.size;
    EXPECT_EQ(surface->ProjectTextureCoordinates(c.projection, c.axisBits, &centre, &size,
                                                 c.wrapWidth, 1.0f),
              1u);
    const Vertex* vertex = mesh->GetVertex(0);
    EXPECT_NEAR(vertex->fTU[0], c.expectedU, 1e-5f);
    EXPECT_NEAR(vertex->fTV[0], c.expectedV, 1e-5f);
    EXPECT_EQ(vertex->fTU[1], 0.0f) << "only the first coordinate set is written";
  }
}

TEST_F(SurfaceProjectionTest, CubicTakesTheAxisOfTheFacesStartingAtTheVertex) {
  // Vertex 0 starts a face facing +Z; vertex 3 starts none and keeps the asked axis (X).
  Face face{};
  face.vecNormal = {0.1f, 0.2f, 0.9f};
  face.wIndex1 = 0;
  face.wIndex2 = 1;
  face.wIndex3 = 2;
  CMesh* mesh = MeshWith({At({0.5f, 1, -2}), At({0, 0, 0}), At({0, 0, 0}), At({0.5f, 1, -2})},
                         {face});
  CSurface* surface = bench.Make("s", mesh);
  WORD indices[] = {0, 3};
  surface->SetIndices(2, indices);
  CVector3 size{2, 4, 8};
  ASSERT_EQ(surface->ProjectTextureCoordinates(3, 0x1, &centre, &size, 1, 1), 1u);
  EXPECT_NEAR(mesh->GetVertex(0)->fTU[0], 0.75f, 1e-5f);  // planar Z
  EXPECT_NEAR(mesh->GetVertex(0)->fTV[0], 0.25f, 1e-5f);
  EXPECT_NEAR(mesh->GetVertex(3)->fTU[0], 0.25f, 1e-5f);  // planar X
  EXPECT_NEAR(mesh->GetVertex(3)->fTV[0], 0.25f, 1e-5f);
}

TEST_F(SurfaceProjectionTest, IndicesPastTheVerticesAreSkippedAndLogged) {
  CMesh* mesh = MeshWith({At({0.5f, 1, -2})});
  CSurface* surface = bench.Make("s", mesh);
  WORD indices[] = {0, 7, 65535};
  surface->SetIndices(3, indices);
  CVector3 size{2, 4, 8};
  EXPECT_EQ(surface->ProjectTextureCoordinates(0, 0x4, &centre, &size, 1, 1), 1u);
  EXPECT_NEAR(mesh->GetVertex(0)->fTU[0], 0.75f, 1e-5f);
  EXPECT_NE(bench.log.TextAt(CEngineLog::kLevelError).find("(s) 2 Indices Past The Vertices"),
            std::string::npos);
}

TEST_F(SurfaceProjectionTest, RefusedProjectionsWriteNothing) {
  CMesh* mesh = MeshWith({At({0.5f, 1, -2})});
  CSurface* surface = bench.Make("s", mesh);
  CSurface* orphan = bench.Make("orphan");
  WORD index = 0;
  surface->SetIndices(1, &index);
  orphan->SetIndices(1, &index);
  CVector3 size{2, 4, 8};
  EXPECT_EQ(surface->ProjectTextureCoordinates(4, 0x4, &centre, &size, 1, 1), 0u);
  EXPECT_EQ(surface->ProjectTextureCoordinates(0, 0x4, nullptr, &size, 1, 1), 0u);
  EXPECT_EQ(surface->ProjectTextureCoordinates(0, 0x4, &centre, nullptr, 1, 1), 0u);
  EXPECT_EQ(orphan->ProjectTextureCoordinates(0, 0x4, &centre, &size, 1, 1), 0u);
  EXPECT_EQ(mesh->GetVertex(0)->fTU[0], -7.0f);
}

}  // namespace
