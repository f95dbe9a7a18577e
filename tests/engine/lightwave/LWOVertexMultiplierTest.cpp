// Smoothing groups and the splitting and welding of points, through the processing and step by
// step on buffers filled in code.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "LWOCodeObject.h"
#include "LWOReaderTestBench.h"
#include "lightwave/LWOObjectProcessor.h"
#include "lightwave/LWOSmoothingGroups.h"
#include "lightwave/LWOVertexMultiplier.h"
#include "spatial/EdgeList.h"

namespace {

constexpr float kDegree = 0.017453292f;

void Process(LWOReaderTestBench& t) {
  ASSERT_EQ(LWOObjectProcessor(*t.buffer, t.state.nextProjectedMap).Process(), 1u);
}

std::set<UINT> Groups(const LWOImportBuffer& b) {
  std::set<UINT> groups;
  for (UINT f = 0; f < b.faceCount; ++f) groups.insert(b.faces[f].smoothingGroup);
  return groups;
}

// The normals of the vertices at each position.
std::map<std::vector<float>, std::set<std::vector<float>>> NormalsByPosition(const LWOImportBuffer& b) {
  std::map<std::vector<float>, std::set<std::vector<float>>> normals;
  for (UINT i = 0; i < b.pointCount; ++i) {
    const LWOPoint& p = b.points[i];
    normals[{p.position.x, p.position.y, p.position.z}].insert(
        {std::round(p.normal.x * 1e4f), std::round(p.normal.y * 1e4f), std::round(p.normal.z * 1e4f)});
  }
  return normals;
}

TEST(LWOVertexMultiplierTest, ACubeBelowNinetyDegreesSplitsEveryCornerInThree) {
  LWOReaderTestBench t;
  CodeObject cube = Cube();
  cube.smoothingAngle = 89.0f * kDegree;
  Fill(*t.buffer, cube);
  Process(t);
  const LWOImportBuffer& b = *t.buffer;
  EXPECT_EQ(Groups(b).size(), 6u);
  for (UINT f = 0; f < 12; f += 2) EXPECT_EQ(b.faces[f].smoothingGroup, b.faces[f + 1].smoothingGroup);
  ASSERT_EQ(b.pointCount, 24u);
  const auto normals = NormalsByPosition(b);
  ASSERT_EQ(normals.size(), 8u);
  for (const auto& [position, set] : normals) EXPECT_EQ(set.size(), 3u);
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo)
                .find("  - Smoothing Groups Calculated\n    - Vertices: 24 (Was: 8)\n"),
            std::string::npos);
}

// A closed sphere of `slices` x `stacks`, wound outwards.
CodeObject Sphere(int slices, int stacks) {
  CodeObject sphere;
  sphere.points.push_back(CVector3(0, 0, 1));
  for (int s = 1; s < stacks; ++s)
    for (int l = 0; l < slices; ++l) {
      const float theta = 3.14159265f * float(s) / float(stacks);
      const float phi = 6.2831853f * float(l) / float(slices);
      sphere.points.push_back(CVector3(std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)));
    }
  sphere.points.push_back(CVector3(0, 0, -1));
  const auto ring = [slices](int s, int l) { return WORD(1 + (s - 1) * slices + (l % slices)); };
  const WORD bottom = WORD(sphere.points.size() - 1);
  for (int l = 0; l < slices; ++l) {
    sphere.faces.push_back({0, ring(1, l), ring(1, l + 1)});
    for (int s = 1; s + 1 < stacks; ++s) {
      sphere.faces.push_back({ring(s, l), ring(s + 1, l), ring(s + 1, l + 1)});
      sphere.faces.push_back({ring(s, l), ring(s + 1, l + 1), ring(s, l + 1)});
    }
    sphere.faces.push_back({ring(stacks - 1, l), bottom, ring(stacks - 1, l + 1)});
  }
  // Outwards: the normal away from the centre.
  for (Triangle& face : sphere.faces) {
    const CVector3 a = sphere.points[face[1]] - sphere.points[face[0]];
    const CVector3 c = sphere.points[face[2]] - sphere.points[face[0]];
    const CVector3 n(a.y * c.z - a.z * c.y, a.z * c.x - a.x * c.z, a.x * c.y - a.y * c.x);
    const CVector3& p = sphere.points[face[0]];
    if (n.x * p.x + n.y * p.y + n.z * p.z < 0) std::swap(face[1], face[2]);
  }
  return sphere;
}

TEST(LWOVertexMultiplierTest, ASphereAtEightyNineAndAHalfDegreesIsOneGroup) {
  LWOReaderTestBench t;
  CodeObject sphere = Sphere(12, 8);
  sphere.smoothingAngle = 1.562f;
  Fill(*t.buffer, sphere);
  Process(t);
  EXPECT_EQ(Groups(*t.buffer).size(), 1u);
  EXPECT_EQ(t.buffer->pointCount, sphere.points.size());
}

TEST(LWOVertexMultiplierTest, WithoutSmoothingEveryFaceIsSplitAndEqualCornersWeldedBack) {
  for (bool distinctCoordinates : {false, true}) {
    SCOPED_TRACE(distinctCoordinates);
    LWOReaderTestBench t;
    Fill(*t.buffer, Cube());
    for (UINT s = 0; s < t.buffer->surfaceCount; ++s) t.buffer->surfaces[s].smoothingAngle = 0.0f;
    if (distinctCoordinates) {
      // Corner 4 of face 0 and of face 1 lie on one side with one normal: a coordinate pair of
      // its own for face 1 keeps them apart.
      LWOPoint& corner = t.buffer->points[4];
      t.buffer->AppendUVEntry(corner, 0, {0.5f, 0.5f, 0, 0, 0});
      t.buffer->AppendUVEntry(corner, 0, {0.25f, 0.75f, 1, 1, 0});
    }
    Process(t);
    EXPECT_EQ(Groups(*t.buffer).size(), 12u);
    EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo)
                  .find("  - Smoothing Groups Calculated\n    - Vertices: 36 (Was: 8)\n"),
              std::string::npos);
    EXPECT_EQ(t.buffer->pointCount, distinctCoordinates ? 25u : 24u);
  }
}

// A strip of triangles, each sharing an edge with the next, whose normals turn by one degree
// from one to the next; edges built as the processing builds them.
void FillTiltedStrip(LWOReaderTestBench& t, UINT triangles, float smoothingAngle) {
  CodeObject strip;
  for (UINT i = 0; i < triangles + 2; ++i) strip.points.push_back(CVector3(float(i), float(i % 2), 0));
  for (UINT i = 0; i < triangles; ++i) strip.faces.push_back({WORD(i), WORD(i + 1), WORD(i + 2)});
  strip.smoothingAngle = smoothingAngle;
  LWOImportBuffer& b = *t.buffer;
  Fill(b, strip);
  LWOObjectProcessor processor(b, t.state.nextProjectedMap);
  processor.ResolveTags();
  processor.LinkFaces();
  for (UINT f = 0; f < triangles; ++f)
    b.faces[f].normal = CVector3(0, std::sin(float(f) * kDegree), std::cos(float(f) * kDegree));
  ASSERT_TRUE(processor.BuildEdges());
}

TEST(LWOVertexMultiplierTest, AFloodStopsAfterThreeThousandFacesAndTheMergeJoinsTheStrip) {
  LWOReaderTestBench t;
  FillTiltedStrip(t, 3200, 30.0f * kDegree);
  LWOImportBuffer& b = *t.buffer;
  for (UINT f = 0; f < b.faceCount; ++f) b.faces[f].smoothingGroup = LWOSmoothingGroups::kNoGroup;
  UINT counter = 0, visits = 0;
  LWOSmoothingGroups groups(b);
  EXPECT_EQ(groups.FloodSmoothingGroup(b.faces[0], counter, nullptr, visits), 0u);
  EXPECT_EQ(visits, 3001u);
  EXPECT_EQ(b.faces[2999].smoothingGroup, 0u);
  EXPECT_EQ(b.faces[3000].smoothingGroup, LWOSmoothingGroups::kNoGroup);
  EXPECT_EQ(b.faces[3000].visited, 0);

  EXPECT_EQ(groups.CalculateSmoothingGroups(), 1u);
  EXPECT_EQ(Groups(b).size(), 1u);
  for (UINT f = 0; f < b.faceCount; ++f) EXPECT_EQ(b.faces[f].visited, 1);
}

TEST(LWOVertexMultiplierTest, TheAngleTestIsStrictAndUnclamped) {
  LWOReaderTestBench t;
  FillTiltedStrip(t, 2, 1.0f * kDegree);
  LWOImportBuffer& b = *t.buffer;
  const LWOFace& f = b.faces[0];
  LWOFace g = b.faces[1];
  g.normal = f.normal;
  EXPECT_TRUE(LWOSmoothingGroups::WithinSmoothingAngle(f, g));
  b.surfaces[0].smoothingAngle = 0.0f;
  EXPECT_FALSE(LWOSmoothingGroups::WithinSmoothingAngle(f, g)) << "0 is not below 0";
  b.surfaces[0].smoothingAngle = 3.2f;
  g.normal = CVector3(0, 0, 1.0001f);  // a dot product past 1 has no angle
  EXPECT_FALSE(LWOSmoothingGroups::WithinSmoothingAngle(f, g));
  g.normal = CVector3(0, 0, -1);
  EXPECT_TRUE(LWOSmoothingGroups::WithinSmoothingAngle(f, g));
}

// Two triangles on surface 0, apart; channel 0 of the surface takes UV map 1.
void FillTwoTriangles(LWOImportBuffer& b) {
  CodeObject pair;
  pair.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 0, 0}, {6, 0, 0}, {5, 1, 0}};
  pair.faces = {{0, 1, 2}, {3, 4, 5}};
  Fill(b, pair);
  b.surfaces[0].channel[0].uvMap = 1;
}

TEST(LWOVertexMultiplierTest, APerPolygonEntryWinsForItsFaceAndTheMapEntryForTheOthers) {
  LWOReaderTestBench t;
  LWOImportBuffer& b = *t.buffer;
  FillTwoTriangles(b);
  // Points 0 and 1 are used by both faces; their entries come interleaved, as two maps'
  // chunks leave them.
  b.faces[1].v[0] = 0;
  b.faces[1].v[1] = 1;
  LWOPoint& shared = b.points[0];
  LWOPoint& other = b.points[1];
  b.AppendUVEntry(shared, 0, {0.1f, 0.1f, 0, 0, 0});  // another map's
  b.AppendUVEntry(other, 0, {0.6f, 0.6f, 1, 1, 7});   // face 1's
  b.AppendUVEntry(shared, 0, {0.2f, 0.2f, 0, 0, 1});
  b.AppendUVEntry(other, 0, {0.7f, 0.7f, 0, 0, 1});
  b.AppendUVEntry(shared, 0, {0.3f, 0.3f, 1, 1, 7});  // face 1's
  b.AppendUVEntry(other, 0, {0.8f, 0.8f, 0, 0, 2});   // another map's
  b.AppendUVEntry(shared, 0, {0.4f, 0.4f, 0, 0, 1});  // the map's last entry wins
  LWOObjectProcessor processor(b, t.state.nextProjectedMap);
  processor.ResolveTags();
  processor.LinkFaces();
  ASSERT_EQ(LWOVertexMultiplier(b).MultiplyVerticesForVMAD(0), 1u);
  // Points 0 and 1 once for each face; points 3 and 4, which no face uses, are gone.
  ASSERT_EQ(b.pointCount, 6u);
  for (UINT i = 0; i < b.pointCount; ++i) {
    EXPECT_NE(b.points[i].index, 3u);
    EXPECT_NE(b.points[i].index, 4u);
  }
  const struct {
    UINT face, corner;
    float u;
    UINT perPolygon;
  } expected[] = {{0, 0, 0.4f, 0}, {1, 0, 0.3f, 1}, {0, 1, 0.7f, 0}, {1, 1, 0.6f, 1}};
  for (const auto& e : expected) {
    SCOPED_TRACE(testing::Message() << "face " << e.face << " corner " << e.corner);
    const LWOPoint& point = b.points[b.faces[e.face].v[e.corner]];
    EXPECT_EQ(point.uv[0].u, e.u);
    EXPECT_EQ(point.uv[0].perPolygon, e.perPolygon);
    EXPECT_EQ(point.index, e.corner);
  }
}

// A point shared by faces of two surfaces whose colour channels name different maps: each
// corner takes its own surface's map, also when the surface changes back, whatever the point's
// file index (a buffer filled by hand may name one past its points).
TEST(LWOVertexMultiplierTest, EachCornerTakesTheMapOfItsFacesSurface) {
  for (UINT fileIndex : {0u, 40u}) {
    SCOPED_TRACE(fileIndex);
    LWOReaderTestBench t;
    LWOImportBuffer& b = *t.buffer;
    CodeObject fan;
    fan.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 1, 0}};
    fan.faces = {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}};
    fan.surfaces = 2;
    fan.surfaceOfFace = {0, 1, 0};
    Fill(b, fan);
    b.surfaces[0].channel[0].uvMap = 1;
    b.surfaces[1].channel[0].uvMap = 2;
    LWOPoint& shared = b.points[0];
    shared.index = fileIndex;
    b.AppendUVEntry(shared, 0, {0.1f, 0.1f, 0, 0, 1});
    b.AppendUVEntry(shared, 0, {0.2f, 0.2f, 0, 0, 2});
    LWOObjectProcessor processor(b, t.state.nextProjectedMap);
    processor.ResolveTags();
    processor.LinkFaces();
    ASSERT_EQ(LWOVertexMultiplier(b).MultiplyVerticesForVMAD(0), 1u);
    ASSERT_EQ(b.pointCount, 6u);
    EXPECT_EQ(b.points[b.faces[0].v[0]].uv[0].u, 0.1f);
    EXPECT_EQ(b.points[b.faces[1].v[0]].uv[0].u, 0.2f);
    EXPECT_EQ(b.faces[2].v[0], b.faces[0].v[0]);
    EXPECT_EQ(b.points[b.faces[1].v[0]].index, fileIndex);
  }
}

TEST(LWOVertexMultiplierTest, EqualPointsAreWeldedKeepingTheFirstOnesFileIndex) {
  LWOReaderTestBench t;
  LWOImportBuffer& b = *t.buffer;
  FillTwoTriangles(b);
  // Point 3 has point 0's position, normal and coordinates, but not its index.
  b.points[3].position = b.points[0].position;
  b.points[3].index = 33;
  b.points[0].index = 11;
  b.points[0].normal = b.points[3].normal = CVector3(0, 0, 1);
  b.points[0].uv[1] = b.points[3].uv[1] = {0.5f, -0.0f, 0, 0, 0};
  b.points[3].uv[1].v = 0.0f;  // zero and minus zero are equal
  b.points[3].weightCount = 9;
  LWOObjectProcessor processor(b, t.state.nextProjectedMap);
  processor.ResolveTags();
  processor.LinkFaces();
  ASSERT_EQ(LWOVertexMultiplier(b).MultiplyVerticesForVMAD(0), 1u);
  ASSERT_EQ(b.pointCount, 5u);
  EXPECT_EQ(b.faces[1].v[0], b.faces[0].v[0]);
  EXPECT_EQ(b.points[b.faces[0].v[0]].index, 11u);
  EXPECT_EQ(b.points[b.faces[0].v[0]].weightCount, 0u);
  // New points in the order corners first use them.
  EXPECT_EQ((std::vector<WORD>{b.faces[0].v[0], b.faces[0].v[1], b.faces[0].v[2], b.faces[1].v[1], b.faces[1].v[2]}),
            (std::vector<WORD>{0, 1, 2, 3, 4}));
}

TEST(LWOVertexMultiplierTest, MorePointsThanSixAFaceAreRefused) {
  struct Case {
    const char* name;
    bool manifold;  // the edges are built: the smoothing-group step refuses first
    const char* title;
    const char* text;
  };
  const Case cases[] = {
      {"smoothing groups", true, "Error While Multiplying Vertices", "Not Enuff Temporary Memory"},
      {"coordinates", false, "Error While Multiplying Vertices For VMAD",
       "Not Enuff Buffer Memory (code.lwo) - Max: 18 - 19"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LWOReaderTestBench t;
    CodeObject object;
    object.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    object.faces = {{0, 1, 2}, {1, 0, 3}};
    if (!c.manifold) object.faces.push_back({0, 1, 3});
    while (object.points.size() < 19) object.points.push_back(CVector3(9, 9, float(object.points.size())));
    if (c.manifold) object.points.resize(13);  // 13 points, 2 faces: 12 records
    Fill(*t.buffer, object);
    EXPECT_THROW(Process(t), ProcessExited);
    ASSERT_EQ(t.bench.exits.Boxes().size(), 1u);
    EXPECT_EQ(t.bench.exits.Boxes()[0].caption, c.title);
    EXPECT_EQ(t.bench.exits.Boxes()[0].text, c.text);
  }
}

TEST(LWOVertexMultiplierTest, ANonManifoldObjectMakesNoGroupsAndStillLoads) {
  LWOReaderTestBench t;
  CodeObject fan;
  fan.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}};
  fan.faces = {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}};
  Fill(*t.buffer, fan);
  Process(t);
  EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("Smoothing Groups"), std::string::npos);
  for (UINT f = 0; f < 3; ++f) EXPECT_EQ(t.buffer->faces[f].visited, 0);
  EXPECT_EQ(t.buffer->pointCount, 5u);
}

}  // namespace
