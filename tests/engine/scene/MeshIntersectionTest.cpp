// Mesh ray tests: the box first, then the faces, in the mesh's own space or, for a non-uniform
// scale, in world space; the normals reported at a hit; the one-face test.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "RayMeshBench.h"
#include "scene/MeshRayTest.h"

namespace {

constexpr float kLargest = std::numeric_limits<float>::max();

void ExpectVector(const CVector3& actual, const CVector3& expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

class MeshIntersectionTest : public ::testing::Test {
 protected:
  MeshIntersectionTest() : scene(bench.NewScene("scene")) {}

  // The triangle (0, 0, 0), (2, 0, 0), (0, 2, 0), facing +z, with its own vertex normals.
  CMesh* AddTriangle() {
    Face face{};
    face.wIndex1 = 0;
    face.wIndex2 = 1;
    face.wIndex3 = 2;
    CMesh* mesh = bench.AddMesh(scene, "triangle",
                                {VertexAt(0, 0, 0), VertexAt(2, 0, 0),
                                 VertexAt(0, 2, 0)},
                                {face});
    mesh->GetVertex(0)->vecNormal = {1, 0, 0};
    mesh->GetVertex(1)->vecNormal = {0, 1, 0};
    mesh->GetVertex(2)->vecNormal = {0, 0, 1};
    return mesh;
  }

  RayMeshBench bench;
  TestScene* scene;
};

TEST_F(MeshIntersectionTest, CubeFromOutsideAndInside) {
  CMesh* cube = bench.AddCube(scene, "cube", {0, 0, 0});
  struct Case {
    const char* what;
    CVector3 origin, direction;
    UINT flags;
    UINT hit;
    float distance;
  };
  // The ray keeps off the diagonals that split the cube's sides into triangles.
  const Case cases[] = {
      {"front face", {0.3f, -0.2f, -5}, {0, 0, 1}, 0x01, 1, 4},
      {"beside the cube", {3, -0.2f, -5}, {0, 0, 1}, 0x01, 0, kLargest},
      {"cube behind the origin", {0.3f, -0.2f, -5}, {0, 0, -1}, 0x01, 0, kLargest},
      {"inside, every face turned away", {0.3f, -0.2f, 0}, {0, 0, 1}, 0x01, 0, kLargest},
      {"inside, back faces kept", {0.3f, -0.2f, 0}, {0, 0, 1}, 0x11, 1, 1},
      {"outside, nearer of 4 and 6", {0.3f, -0.2f, -5}, {0, 0, 1}, 0x11, 1, 4},
      {"on a face, its hit at 0 ignored", {0.3f, -0.2f, -1}, {0, 0, 1}, 0x11, 1, 2},
      {"on a face, looking out", {0.3f, -0.2f, -1}, {0, 0, -1}, 0x11, 0, kLargest},
      {"no test chosen", {0.3f, -0.2f, -5}, {0, 0, 1}, 0x10, 0, kLargest},
      {"oriented box", {0.3f, -0.2f, -5}, {0, 0, 1}, 0x04, 1, 4},
      {"oriented box missed", {3, -0.2f, -5}, {0, 0, 1}, 0x04, 0, kLargest},
      // The aligned box answers first and gives no distance.
      {"aligned box before faces", {0.3f, -0.2f, -5}, {0, 0, 1}, 0x03, 1, kLargest},
      {"aligned box missed", {3, -0.2f, -5}, {0, 0, 1}, 0x02, 0, kLargest},
  };
  for (const Case& c : cases) {
    CRay ray(c.origin, c.direction);
    float distance = -1.0f;
    EXPECT_EQ(cube->CheckIntersectionWith(ray, &distance, c.flags), c.hit) << c.what;
    EXPECT_FLOAT_EQ(distance, c.distance) << c.what;
  }
}

TEST_F(MeshIntersectionTest, NearestHitWhateverTheFaceOrder) {
  std::vector<Face> faces = BoxFaces();
  CMesh* forward = bench.AddMesh(scene, "forward", RayMeshBench::CubeVertices(1), faces);
  std::reverse(faces.begin(), faces.end());
  CMesh* backward = bench.AddMesh(scene, "backward", RayMeshBench::CubeVertices(1), faces);
  for (CMesh* mesh : {forward, backward}) {
    CRay ray({0.3f, -0.2f, -5}, {0, 0, 1});
    float distance = 0.0f;
    EXPECT_EQ(mesh->CheckIntersectionWith(ray, &distance, 0x11), 1u) << mesh->GetName();
    EXPECT_FLOAT_EQ(distance, 4) << mesh->GetName();
  }
}

TEST_F(MeshIntersectionTest, FacesAreTestedOnlyInsideTheBox) {
  CMesh* cube = bench.AddCube(scene, "cube", {0, 0, 0});
  // The faces move ten units along x; the box stays where it was until it is rebuilt.
  std::vector<Vertex> moved = RayMeshBench::CubeVertices(1, {10, 0, 0});
  cube->SetVertices(8, moved.data(), 0);
  CRay ray({10.3f, -0.2f, -5}, {0, 0, 1});
  float distance = 0.0f;
  EXPECT_EQ(cube->CheckIntersectionWith(ray, &distance, 0x01), 0u);
  EXPECT_EQ(cube->CheckIntersectionWith(ray, &distance, 0x01, nullptr), 0u);
  cube->RebuildBoundVolume();
  EXPECT_EQ(cube->CheckIntersectionWith(ray, &distance, 0x01), 1u);
  EXPECT_FLOAT_EQ(distance, 4);
}

TEST_F(MeshIntersectionTest, PlacedAndUniformlyScaledMeshMeasuresInItsOwnUnits) {
  CMesh* cube = bench.AddCube(scene, "cube", {0, 0, 20});
  cube->SetScale({2, 2, 2});
  RayMeshBench::Place(cube);
  // World hit at z = 18, 8 units on; the cube's own units are half as long.
  CRay ray({0.6f, -0.4f, 10}, {0, 0, 1});
  float distance = 0.0f;
  EXPECT_EQ(cube->CheckIntersectionWith(ray, &distance, 0x01), 1u);
  EXPECT_FLOAT_EQ(distance, 4);
  CRay beside({2.5f, -0.4f, 10}, {0, 0, 1});
  EXPECT_EQ(cube->CheckIntersectionWith(beside, &distance, 0x01), 0u);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError), "");
}

TEST_F(MeshIntersectionTest, NonUniformScaleWarnsAndTestsInWorldSpace) {
  CMesh* cube = bench.AddCube(scene, "cube", {0, 0, 0});
  cube->SetScale({1, 2, 1});
  RayMeshBench::Place(cube);
  // Along y the cube reaches from -2 to 2 in the world: 8 units from y = -10.
  CRay up({0.3f, -10, -0.2f}, {0, 1, 0});
  float distance = 0.0f;
  EXPECT_EQ(cube->CheckIntersectionWith(up, &distance, 0x01), 1u);
  EXPECT_FLOAT_EQ(distance, 8);
  CVector3 normal;
  EXPECT_EQ(cube->CheckIntersectionWith(up, &distance, 0x40, &normal), 1u);
  EXPECT_FLOAT_EQ(distance, 8);
  ExpectVector(normal, {0, -1, 0}, "face normal");
  // In world space the cube keeps its width of 2 along x.
  CRay beside({1.5f, -10, -0.2f}, {0, 1, 0});
  EXPECT_EQ(cube->CheckIntersectionWith(beside, &distance, 0x01), 0u);
  EXPECT_EQ(bench.CountLogged(CEngineLog::kLevelError,
                              "WARNING!!! - Non Uniform Scaling Ray Test In: cube From scene\n"),
            3);
}

TEST_F(MeshIntersectionTest, NormalVariantAlwaysTestsTheFaces) {
  CMesh* cube = bench.AddCube(scene, "cube", {0, 0, 0});
  CRay ray({0.3f, -0.2f, -5}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal;
  // Flags 2 would be the aligned box for the plain test, which gives no distance.
  EXPECT_EQ(cube->CheckIntersectionWith(ray, &distance, 0x42, &normal), 1u);
  EXPECT_FLOAT_EQ(distance, 4);
  ExpectVector(normal, {0, 0, -1}, "face normal");
  // Back faces follow 0x10 as in the plain test.
  CRay inside({0.3f, -0.2f, 0}, {0, 0, 1});
  EXPECT_EQ(cube->CheckIntersectionWith(inside, &distance, 0x40, &normal), 0u);
  EXPECT_FLOAT_EQ(distance, kLargest);
  EXPECT_EQ(cube->CheckIntersectionWith(inside, &distance, 0x50, &normal), 1u);
  ExpectVector(normal, {0, 0, 1}, "far face from inside");
}

TEST_F(MeshIntersectionTest, NormalAtTheHitTurnsWithTheMesh) {
  CMesh* triangle = AddTriangle();
  struct Case {
    const char* what;
    float heading;
    CRay ray;
    UINT flags;
    CVector3 normal;
  };
  // The hit lies at u = 0.25, v = 0.5 of the triangle: N1 + (N2 - N1) u + (N3 - N1) v.
  const float quarter = std::numbers::pi_v<float> / 2;
  const Case cases[] = {
      {"face normal", 0, CRay({0.5f, 1, 5}, {0, 0, -1}), 0x40, {0, 0, 1}},
      {"interpolated", 0, CRay({0.5f, 1, 5}, {0, 0, -1}), 0x00, {0.25f, 0.25f, 0.5f}},
      // Heading a quarter turn: (x, y, z) becomes (z, y, -x).
      {"face normal turned", quarter, CRay({5, 1, -0.5f}, {-1, 0, 0}), 0x40, {1, 0, 0}},
      {"interpolated turned", quarter, CRay({5, 1, -0.5f}, {-1, 0, 0}), 0x00, {0.5f, 0.25f, -0.25f}},
  };
  for (const Case& c : cases) {
    triangle->SetRotation({c.heading, 0, 0});
    RayMeshBench::Place(triangle);
    CRay ray = c.ray;
    float distance = 0.0f;
    CVector3 normal;
    ASSERT_EQ(triangle->CheckIntersectionWith(ray, &distance, c.flags, &normal), 1u) << c.what;
    EXPECT_NEAR(distance, 5, 1e-5f) << c.what;
    ExpectVector(normal, c.normal, c.what);
  }
}

TEST_F(MeshIntersectionTest, OneFaceTakesTheRayInTheMeshSpace) {
  // The placement is not applied: the ray is in the cube's own space already.
  CMesh* cube = bench.AddCube(scene, "cube", {100, 0, 0});
  struct Case {
    const char* what;
    CRay ray;
    UINT flags, face;
    UINT hit;
    float distance;
  };
  // Faces 0 and 1 split the side z = -1 along x = y; faces 2 and 3 are the side z = 1.
  const Case cases[] = {
      {"its face", CRay({0.3f, -0.2f, -5}, {0, 0, 1}), 0x00, 1, 1, 4},
      {"the other half of the side", CRay({0.3f, -0.2f, -5}, {0, 0, 1}), 0x00, 0, 0, kLargest},
      {"turned away", CRay({0.3f, -0.2f, 5}, {0, 0, -1}), 0x00, 1, 0, kLargest},
      {"turned away, back faces kept", CRay({0.3f, -0.2f, 5}, {0, 0, -1}), 0x10, 1, 1, 6},
      {"past the last face", CRay({0.3f, -0.2f, -5}, {0, 0, 1}), 0x10, 12, 0, kLargest},
  };
  for (const Case& c : cases) {
    CRay ray = c.ray;
    float distance = -1.0f;
    EXPECT_EQ(cube->CheckIntersectionWithFace(ray, &distance, c.flags, c.face), c.hit) << c.what;
    EXPECT_FLOAT_EQ(distance, c.distance) << c.what;
  }
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - CMesh::CheckIntersectionWithFace, (cube) Face Number Out Of Range: 12 Of "
            "12\n");
}

TEST_F(MeshIntersectionTest, WhatEachTestNeedsOfTheMesh) {
  CRay ray({0.3f, -0.2f, -5}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal;

  CMesh* hidden = bench.AddCube(scene, "hidden", {0, 0, 0});
  hidden->SetVisibility(1, 0, 1);
  EXPECT_EQ(hidden->CheckIntersectionWith(ray, &distance, 0x01), 0u);
  EXPECT_FLOAT_EQ(distance, kLargest);
  EXPECT_EQ(hidden->CheckIntersectionWith(ray, &distance, 0x01, &normal), 0u);
  EXPECT_EQ(hidden->CheckIntersectionWithFace(ray, &distance, 0x00, 1), 0u);

  // Without its vertex buffer only the plain test refuses; the picking test needs the box.
  CMesh* unbuffered = bench.AddCube(scene, "unbuffered", {0, 0, 0});
  unbuffered->SetGenericPathData(nullptr);
  EXPECT_EQ(unbuffered->CheckIntersectionWith(ray, &distance, 0x01), 0u);
  EXPECT_FLOAT_EQ(distance, kLargest);
  EXPECT_EQ(unbuffered->CheckIntersectionWith(ray, &distance, 0x01, &normal), 1u);
  EXPECT_FLOAT_EQ(distance, 4);

  // A null distance is not written through.
  EXPECT_EQ(unbuffered->CheckIntersectionWith(ray, nullptr, 0x01, nullptr), 1u);
}

}  // namespace
