// The tangent-space mender on plain arrays, and the import's use of it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "LWOCodeObject.h"
#include "LWOReaderTestBench.h"
#include "lightwave/LWOObjectProcessor.h"
#include "lightwave/MeshMender.h"

namespace {

MenderVertex At(float x, float y, float s, float t) {
  return {CVector3(x, y, 0), CVector3(0, 0, 1), s, t, {}, {}};
}

struct Mended {
  std::vector<MenderVertex> vertices;
  std::vector<UINT> indices;
  std::vector<UINT> mapping;
};

// Mends with this system's settings unless told otherwise.
Mended Mend(std::vector<MenderVertex> vertices, std::vector<UINT> indices, float crease = 0.0f,
            UINT recomputeNormals = 0, UINT byIndex = 0, UINT fixWrap = 0) {
  Mended m{std::move(vertices), std::move(indices), {}};
  CMeshMender mender;
  EXPECT_TRUE(mender.Mend(m.vertices, m.indices, m.mapping, 0.3f, crease, crease, 1.0f,
                          recomputeNormals, byIndex, fixWrap));
  return m;
}

void ExpectVector(const CVector3& actual, const CVector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(MeshMenderTest, ANewMenderHasItsDefaults) {
  CMeshMender mender;
  EXPECT_EQ(mender.normalCreaseCosine, 0.3f);
  EXPECT_EQ(mender.tangentCreaseCosine, 0.0f);
  EXPECT_EQ(mender.binormalCreaseCosine, 0.0f);
  EXPECT_EQ(mender.areaWeight, 0.0f);
  EXPECT_TRUE(mender.triangles.empty());
  EXPECT_TRUE(mender.positionLists.empty());
}

TEST(MeshMenderTest, AQuadWithContinuousCoordinatesIsNotSplit) {
  const Mended m = Mend({At(0, 0, 0, 0), At(1, 0, 1, 0), At(1, 1, 1, 1), At(0, 1, 0, 1)},
                        {0, 1, 2, 0, 2, 3});
  ASSERT_EQ(m.vertices.size(), 4u);
  EXPECT_EQ(m.indices, (std::vector<UINT>{0, 1, 2, 0, 2, 3}));
  EXPECT_EQ(m.mapping, (std::vector<UINT>{0, 1, 2, 3}));
  for (const MenderVertex& v : m.vertices) {
    ExpectVector(v.tangent, {1, 0, 0});
    ExpectVector(v.binormal, {0, 1, 0});
    EXPECT_EQ(dot(v.tangent, v.normal), 0.0f);
  }
}

// Two triangles meeting along x = 1; the second's s runs backwards.
std::vector<MenderVertex> MirrorSeam() {
  return {At(0, 0, 0, 0), At(1, 0, 1, 0), At(1, 1, 1, 1), At(2, 0, 0, 0)};
}

TEST(MeshMenderTest, AMirrorSeamGivesTheSecondSideCopiesThatNameTheirSources) {
  const Mended m = Mend(MirrorSeam(), {0, 1, 2, 1, 3, 2});
  ASSERT_EQ(m.vertices.size(), 6u);
  ASSERT_EQ(m.indices.size(), 6u);
  EXPECT_EQ((std::vector<UINT>(m.indices.begin(), m.indices.begin() + 3)), (std::vector<UINT>{0, 1, 2}));
  for (UINT k : {3u, 5u}) {
    const UINT copy = m.indices[k];
    ASSERT_GE(copy, 4u);
    EXPECT_EQ(m.mapping[copy], k == 3 ? 1u : 2u);
    EXPECT_EQ(m.vertices[copy].position, m.vertices[m.mapping[copy]].position);
    ExpectVector(m.vertices[copy].tangent, {-1, 0, 0});
  }
  EXPECT_EQ(m.indices[4], 3u);
  ExpectVector(m.vertices[1].tangent, {1, 0, 0});
}

// A and B on separate vertices at shared positions, with the tangents (1, 0, 0) and (0, 1, 0).
std::vector<MenderVertex> SeparateTriangles() {
  return {At(0, 0, 0, 0), At(1, 0, 1, 0), At(1, 1, 1, 1), At(1, 0, 1, 0), At(2, 0, 1, -1), At(1, 1, 2, 0)};
}

TEST(MeshMenderTest, AgreementIsAtLeastTheLimitOrBothZero) {
  const float half = std::sqrt(0.5f);
  struct Case {
    const char* name;
    float crease;
    UINT byIndex;
    float seamY;             // of B's vertex at (1, 0, 0)
    CVector3 tangentAtSeam;  // of A's vertex at (1, 0, 0)
  };
  const Case cases[] = {
      {"dot 0 with limit 0 agrees: the averaged vector", 0.0f, 0, 0.0f, {half, half, 0}},
      {"dot 0 below limit 0.5 keeps its own", 0.5f, 0, 0.0f, {1, 0, 0}},
      {"neighbours by index: no shared index, no neighbour", 0.0f, 1, 0.0f, {1, 0, 0}},
      {"minus zero is the same position", 0.0f, 0, -0.0f, {half, half, 0}},
      {"a NaN is no position to share", 0.0f, 0, std::nanf(""), {1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<MenderVertex> vertices = SeparateTriangles();
    vertices[3].position.y = c.seamY;
    const Mended m = Mend(vertices, {0, 1, 2, 3, 4, 5}, c.crease, 0, c.byIndex);
    EXPECT_EQ(m.vertices.size(), 6u);
    ExpectVector(m.vertices[1].tangent, c.tangentAtSeam);
  }
  // Constant coordinates: zero tangents and binormals agree even at limit 0.5, so the shared
  // vertices are not split.
  const Mended zero = Mend({At(0, 0, 0.5f, 0.5f), At(1, 0, 0.5f, 0.5f), At(1, 1, 0.5f, 0.5f), At(0, 1, 0.5f, 0.5f)},
                           {0, 1, 2, 0, 2, 3}, 0.5f);
  EXPECT_EQ(zero.vertices.size(), 4u);
}

TEST(MeshMenderTest, CollinearCoordinatesGiveTheUnscaledDifferenceVectors) {
  std::vector<MenderVertex> vertices = {At(0, 0, 0, 0), At(1, 0, 1, 1), At(0, 1, 2, 2)};
  std::vector<UINT> indices = {0, 1, 2}, mapping;
  CMeshMender mender;
  mender.Mend(vertices, indices, mapping, 0, 0, 0, 1, 0, 0, 0);
  ASSERT_EQ(mender.triangles.size(), 1u);
  EXPECT_EQ(mender.triangles[0].tangent, CVector3(2, -1, 0));
  EXPECT_EQ(mender.triangles[0].binormal, CVector3(-2, 1, 0));
  EXPECT_EQ(mender.positionLists.size(), 3u);
}

TEST(MeshMenderTest, FramesAreMadeOrthonormal) {
  // Vertices no triangle uses keep their vectors until the frames are made orthonormal.
  struct Case {
    const char* name;
    CVector3 normal, tangent, binormal;
    CVector3 expectedTangent, expectedBinormal;
  };
  const Case cases[] = {
      {"ordinary", {0, 0, 1}, {1, 0, 0.5f}, {0, 2, 0}, {1, 0, 0}, {0, 1, 0}},
      {"nearly parallel: B = N x T", {0, 0, 1}, {0.5f, 0, 0}, {1, 0.01f, 0}, {1, 0, 0}, {0, 1, 0}},
      {"tangent along the normal: T = B x N", {0, 0, 1}, {0, 0, 2}, {0, 1, 0}, {1, 0, 0}, {0, 1, 0}},
      {"both vanished with N = z", {0, 0, 1}, {}, {}, {-1, 0, 0}, {0, -1, 0}},
      {"both vanished with N.y above N.x", {0, 1, 0}, {}, {}, {0, 0, -1}, {-1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<MenderVertex> vertices = {{{}, c.normal, 0, 0, c.tangent, c.binormal}};
    std::vector<UINT> indices, mapping;
    CMeshMender().Mend(vertices, indices, mapping, 0, 0, 0, 1, 0, 0, 0);
    EXPECT_EQ(mapping, std::vector<UINT>{0});
    ExpectVector(vertices[0].tangent, c.expectedTangent);
    ExpectVector(vertices[0].binormal, c.expectedBinormal);
  }
}

TEST(MeshMenderTest, RecomputedNormalsSplitAtACrease) {
  // Two triangles folded by 90 degrees along the x axis, on shared vertices without normals.
  std::vector<MenderVertex> vertices = {At(0, 0, 0, 0), At(1, 0, 1, 0), At(0, 1, 0, 1), At(0, 0, 0, 0)};
  vertices[3].position = CVector3(0, 0, -1);
  for (MenderVertex& v : vertices) v.normal = CVector3();
  const Mended m = Mend(vertices, {0, 1, 2, 1, 0, 3}, 0.0f, 1);
  // The shared edge's two vertices get a copy each for the second face.
  ASSERT_EQ(m.vertices.size(), 6u);
  ExpectVector(m.vertices[0].normal, {0, 0, 1});
  ExpectVector(m.vertices[m.indices[3]].normal, {0, -1, 0});
  EXPECT_EQ(m.mapping[m.indices[4]], 0u);
}

TEST(MeshMenderTest, WrapRepairRaisesTheSmallerCoordinateOnACopy) {
  const Mended m = Mend({At(0, 0, 0.1f, 0), At(1, 0, 0.9f, 0), At(0, 1, 0.5f, 0.4f)}, {0, 1, 2}, 0, 0, 0, 1);
  ASSERT_EQ(m.vertices.size(), 4u);
  EXPECT_EQ(m.indices, (std::vector<UINT>{3, 1, 2}));
  EXPECT_EQ(m.mapping, (std::vector<UINT>{0, 1, 2, 0}));
  EXPECT_FLOAT_EQ(m.vertices[3].s, 1.1f);
  EXPECT_EQ(m.vertices[0].s, 0.1f);
}

TEST(MeshMenderTest, TheImportCarriesPointFieldsFromTheMappedPoints) {
  LWOReaderTestBench t;
  CodeObject seam;
  for (const MenderVertex& v : MirrorSeam()) seam.points.push_back(v.position);
  seam.faces = {{0, 1, 2}, {1, 3, 2}};
  Fill(*t.buffer, seam);
  LWOImportBuffer& b = *t.buffer;
  const std::vector<MenderVertex> source = MirrorSeam();
  for (UINT i = 0; i < 4; ++i) {
    LWOPoint& p = b.points[i];
    p.normal = CVector3(0, 0, 1);
    p.uv[0] = {source[i].s, source[i].t, 5, 1, 7};
    p.uv[1] = {float(i), 10.0f + float(i), 0, 0, 0};
    p.uvCount[0] = p.uvCount[1] = 1;
    p.index = 100 + i;
    p.weightCount = 200 + i;
    p.cornerCount = 3;
    std::memset(p.reserved, 0x40 + int(i), sizeof p.reserved);
  }
  LWOObjectProcessor processor(b, t.state.nextProjectedMap);
  processor.ResolveTags();
  processor.LinkFaces();
  processor.MendTangentSpace();
  ASSERT_EQ(b.pointCount, 6u);
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("  - Mender (code.lwo): 4 - 6\n"), std::string::npos);
  const UINT copy = b.faces[1].v[0];  // point 1's copy for the mirrored side
  ASSERT_GE(copy, 4u);
  for (UINT i : {1u, copy}) {
    const LWOPoint& p = b.points[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(p.index, 101u);
    EXPECT_EQ(p.index16, 1);
    EXPECT_EQ(p.weightCount, 201u);
    EXPECT_EQ(p.uv[1].u, 1.0f);
    EXPECT_EQ(p.uv[1].v, 11.0f);
    EXPECT_EQ(p.uv[0].u, 1.0f);
    EXPECT_EQ(p.uv[0].uvMap, 0u) << "only the pair is carried";
    EXPECT_EQ(p.uvCount[0], 0);
    EXPECT_EQ(p.cornerCount, 0);
    EXPECT_EQ(p.reserved[19], 0);
    EXPECT_EQ(p.reserved[20], 0x41);
    EXPECT_EQ(p.reserved[35], 0x41);
  }
  ExpectVector(b.points[copy].tangent, {-1, 0, 0});
  EXPECT_EQ(b.faces[1].corner[0], &b.points[copy]);
}

TEST(MeshMenderTest, SeamsThatPushAnObjectPastTheVertexLimitAreRefused) {
  LWOReaderTestBench t;
  // A strip of 32767 columns whose s mirrors at every column: each inner column is split.
  CodeObject strip;
  constexpr UINT kColumns = 32767;
  for (UINT c = 0; c < kColumns; ++c) {
    strip.points.push_back(CVector3(float(c), 0, 0));
    strip.points.push_back(CVector3(float(c), 1, 0));
  }
  for (UINT c = 0; c + 1 < kColumns; ++c) {
    const WORD a = WORD(2 * c), b = WORD(a + 1), d = WORD(a + 2), e = WORD(a + 3);
    strip.faces.push_back({a, d, e});
    strip.faces.push_back({a, e, b});
  }
  Fill(*t.buffer, strip);
  for (UINT i = 0; i < t.buffer->pointCount; ++i) {
    t.buffer->points[i].uv[0] = {float((i / 2) % 2), float(i % 2), 0, 0, 0};
    t.buffer->points[i].uvCount[0] = 1;
  }
  EXPECT_THROW(LWOObjectProcessor(*t.buffer, t.state.nextProjectedMap).Process(), ProcessExited);
  ASSERT_EQ(t.bench.exits.Boxes().size(), 1u);
  EXPECT_EQ(t.bench.exits.Boxes()[0].caption, "Error While Recalculating Vertex Indices");
  EXPECT_EQ(t.bench.exits.Boxes()[0].text, "Too Many Vertices (code.lwo)");
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("  - Mender (code.lwo): 65534 - "),
            std::string::npos);
}

}  // namespace
