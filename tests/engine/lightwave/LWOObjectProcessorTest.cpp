#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "LWOCodeObject.h"
#include "LWOReaderTestBench.h"
#include "lightwave/LWOObjectProcessor.h"

namespace {

TEST(LWOObjectProcessorTest, ACubeGetsUnitFaceNormalsAndAveragedVertexNormals) {
  LWOReaderTestBench t;
  const CodeObject cube = Cube();
  Fill(*t.buffer, cube);
  ASSERT_EQ(LWOObjectProcessor(*t.buffer, t.state.nextProjectedMap).Process(), 1u);
  const LWOImportBuffer& b = *t.buffer;
  const CVector3 outwards[] = {{0, 0, 1},  {0, 0, -1}, {1, 0, 0},
                               {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}};
  for (UINT f = 0; f < 12; ++f) ExpectNear(b.faces[f].normal, outwards[f / 2]);
  ASSERT_EQ(b.pointCount, 8u);
  const float third = 1.0f / std::sqrt(3.0f);
  ExpectNear(PointAt(b, {1, 1, 1})->normal, {third, third, third});
  ExpectNear(PointAt(b, {-1, -1, -1})->normal, {-third, -third, -third});
  for (UINT i = 0; i < b.pointCount; ++i) {
    const LWOPoint& p = b.points[i];
    EXPECT_NEAR(p.normal.Length(), 1.0f, 1e-6f);
    EXPECT_GT(p.normal.x * p.position.x + p.normal.y * p.position.y + p.normal.z * p.position.z, 0.0f);
  }
  EXPECT_EQ(b.edgeCount, 18u);
  EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError), "");
}

TEST(LWOObjectProcessorTest, TheOptimiserKeepsFacesAndTheirCornersAndUsesEveryPoint) {
  LWOReaderTestBench t;
  CodeObject object = Cube();
  // Two points no face uses, and faces spread over two surfaces.
  object.points.insert(object.points.begin(), CVector3(9, 9, 9));
  object.points.push_back(CVector3(8, 8, 8));
  for (Triangle& face : object.faces)
    for (WORD& corner : face) ++corner;
  object.surfaces = 2;
  object.surfaceOfFace = {1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 1, 0};
  std::vector<std::array<CVector3, 3>> corners;
  for (const Triangle& face : object.faces)
    corners.push_back({object.points[face[0]], object.points[face[1]], object.points[face[2]]});
  Fill(*t.buffer, object);
  t.buffer->points[3].uv[0].v = 0.25f;
  t.buffer->points[3].uvCount[0] = 1;
  ASSERT_EQ(LWOObjectProcessor(*t.buffer, t.state.nextProjectedMap).Process(), 1u);
  const LWOImportBuffer& b = *t.buffer;

  // The one textured corner's tangents point apart on its sides: the mender gives it a copy.
  ASSERT_EQ(b.pointCount, 9u);
  ASSERT_EQ(b.faceCount, 12u);
  for (UINT f = 0; f < b.faceCount; ++f)
    for (int k = 0; k < 3; ++k) {
      ASSERT_LT(b.faces[f].v[k], b.pointCount);
      EXPECT_EQ(b.points[b.faces[f].v[k]].position, corners[f][k]) << f << " " << k;
      EXPECT_EQ(b.faces[f].corner[k], &b.points[b.faces[f].v[k]]);
    }
  for (UINT i = 0; i < b.pointCount; ++i) EXPECT_EQ(b.points[i].used, 1u);
  // The file's v becomes 1 - v, in both slots.
  const LWOPoint* textured = PointAt(b, object.points[3]);
  EXPECT_EQ(textured->uv[0].v, 0.75f);
  EXPECT_EQ(textured->uv[1].v, 1.0f);
  EXPECT_EQ(textured->index, 3u) << "the file index goes with the point";
  // Per-surface lists in face order.
  for (UINT s = 0; s < 2; ++s) {
    std::vector<WORD> expected;
    for (UINT f = 0; f < b.faceCount; ++f)
      if (object.surfaceOfFace[f] == s) {
        EXPECT_EQ(b.faces[f].tag, s);
        expected.insert(expected.end(), b.faces[f].v, b.faces[f].v + 3);
      }
    ASSERT_EQ(b.surfaces[s].indexCount, expected.size());
    EXPECT_EQ(b.surfaces[s].indexCountCopy, expected.size());
    EXPECT_EQ(std::vector<WORD>(b.surfaces[s].indices, b.surfaces[s].indices + expected.size()), expected);
  }
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo)
                .find("  - Mender (code.lwo): 8 - 9\n"
                      "  - Optimized Number Of Vertices Is 9 ( Was 9 ), Faces 12 ( Was 12 )\n"
                      "  - Final Number Of Vertices Is: 9 (0 Unused!!!)\n"),
            std::string::npos);
}

TEST(LWOObjectProcessorTest, ADegenerateFaceTakesTheAverageOfItsNeighbours) {
  LWOReaderTestBench t;
  CodeObject strip;
  // p, q, r on a line; A lies flat (+z), C stands up (+y), B between them has no area.
  strip.points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, -1, 0}, {1.5f, 0, 1}, {5, 5, 5}, {6, 5, 5}, {7, 5, 5}};
  strip.faces = {{1, 0, 3}, {0, 1, 2}, {2, 1, 4}, {5, 6, 7}};
  Fill(*t.buffer, strip);
  ASSERT_EQ(LWOObjectProcessor(*t.buffer, t.state.nextProjectedMap).Process(), 1u);
  const float half = std::sqrt(0.5f);
  ExpectNear(t.buffer->faces[0].normal, {0, 0, 1});
  ExpectNear(t.buffer->faces[1].normal, {0, half, half});
  ExpectNear(t.buffer->faces[2].normal, {0, 1, 0});
  // A degenerate face with no neighbour keeps the zero vector.
  EXPECT_EQ(t.buffer->faces[3].normal, CVector3());
}

TEST(LWOObjectProcessorTest, ANonManifoldObjectLogsItsEdgesAndStillLoads) {
  LWOReaderTestBench t;
  CLWOBuilder fan;
  fan.Tags({"a"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}});
  fan.Triangles({{0, 1, 2}, {1, 0, 3}, {0, 1, 4}}).SurfaceTags({{0, 0}, {1, 0}, {2, 0}}).Surface("a");
  ASSERT_EQ(t.Load(fan), 1u);
  EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - Can't Compute Edges: The Edge Can't Belong To More Than 2 Faces (obj.lwo)\n");
  EXPECT_EQ(t.buffer->pointCount, 5u);
  EXPECT_EQ(t.buffer->surfaces[0].indexCount, 9);
  EXPECT_NE(t.buffer->edges, nullptr);
}

TEST(LWOObjectProcessorTest, LimitsOfPointsAndOfTrianglesOnASurfaceAreAccepted) {
  {
    LWOReaderTestBench t;
    CLWOBuilder object;
    // Enough triangles for the points: six points a face is what the processing holds.
    object.Tags({"a"}).Points(std::vector<CLWOBuilder::Point>(65534, {0, 0, 0}));
    object.Triangles(std::vector<CLWOBuilder::Triangle>(10923, {0, 1, 65533}));
    object.SurfaceTags({{0, 0}}).Surface("a");
    ASSERT_EQ(t.Load(object), 1u);
    // The three corners lie at one position with one normal: welded into one vertex.
    EXPECT_EQ(t.buffer->pointCount, 1u);
  }
  {
    LWOReaderTestBench t;
    CLWOBuilder object;
    object.Tags({"a"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    // Every triangle on tag 0, which the first one names.
    object.Triangles(std::vector<CLWOBuilder::Triangle>(21845, {0, 1, 2}));
    object.SurfaceTags({{0, 0}}).Surface("a");
    ASSERT_EQ(t.Load(object), 1u);
    EXPECT_EQ(t.buffer->surfaces[0].indexCount, 65535);
    EXPECT_EQ(t.buffer->surfaces[0].indices[65534], t.buffer->faces[21844].v[2]);
  }
}

TEST(LWOObjectProcessorTest, AFaceOfAnUndefinedSurfaceListsEveryTagBeforeItsStop) {
  LWOReaderTestBench t;
  CLWOBuilder object;
  object.Tags({"a", "b"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  object.Triangles({{0, 1, 2}, {2, 1, 0}}).SurfaceTags({{0, 0}, {1, 1}}).Surface("a");
  t.Write(object.File());
  EXPECT_THROW(t.Load(), ProcessExited);
  const std::vector<ZkTestMessageBox> boxes = t.bench.exits.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error While Loading LWO");
  EXPECT_EQ(boxes[0].text, "Can't Get TAGS Reference: obj.lwo - 1 - b\n");
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("TAG: 0 - a, 1, 0\nTAG: 1 - b, 0, 0\n"),
            std::string::npos);
}

TEST(LWOObjectProcessorTest, APlanarPoleSharedByFortyFacesKeepsEveryProjectedPair) {
  LWOReaderTestBench t;
  CodeObject fan;
  fan.points.push_back(CVector3(0, 0, 0));  // the pole
  constexpr int kFaces = 40;
  for (int i = 0; i < kFaces; ++i) {
    const float angle = float(i) * 6.2831853f / kFaces;
    fan.points.push_back(CVector3(std::cos(angle), std::sin(angle), 0));
  }
  for (int i = 0; i < kFaces; ++i) fan.faces.push_back({0, WORD(1 + i), WORD(1 + (i + 1) % kFaces)});
  Fill(*t.buffer, fan);
  LWOSurface& surface = t.buffer->surfaces[0];
  surface.channel[LWO_CHANNEL_COLOR].projection = 0;
  surface.channel[LWO_CHANNEL_COLOR].mapFlags = LWO_MAP_AXIS_Z;
  surface.channel[LWO_CHANNEL_COLOR].size = CVector3(4, 4, 4);
  surface.channel[LWO_CHANNEL_COLOR].center = CVector3(1, 0, 0);
  surface.channel[LWO_CHANNEL_SECOND_COLOR].projection = 2;
  LWOObjectProcessor processor(*t.buffer, t.state.nextProjectedMap);
  // The steps up to the projection: every face's pair is there.
  processor.ResolveTags();
  processor.LinkFaces();
  processor.CalculateFaceNormals();
  processor.AssignProjectedMaps();
  processor.ProjectCoordinates();
  const LWOImportBuffer& b = *t.buffer;

  EXPECT_EQ(surface.channel[LWO_CHANNEL_COLOR].uvMap, 100000);
  EXPECT_EQ(surface.channel[LWO_CHANNEL_SECOND_COLOR].uvMap, 100001);
  EXPECT_EQ(t.state.nextProjectedMap, 100002u);
  const LWOPoint* pole = PointAt(b, CVector3(0, 0, 0));
  ASSERT_NE(pole, nullptr);
  // The count stops at the file's limit; the pairs do not.
  ASSERT_EQ(pole->uvCount[0], LWO_MAX_UV_ENTRIES);
  EXPECT_EQ(pole->uvCount[1], 0);
  std::vector<LWOUVEntry> pairs = {pole->uv[0]};
  for (const LWOOverflowUVEntry& later : b.uvOverflow) {
    EXPECT_EQ(later.slot, 0u);
    if (later.point == pole->index) pairs.push_back(later.entry);
  }
  ASSERT_EQ(pairs.size(), size_t(kFaces));
  for (UINT e = 0; e < kFaces; ++e) {
    const LWOUVEntry& entry = pairs[e];
    EXPECT_EQ(entry.polygon, e);
    EXPECT_EQ(entry.perPolygon, 1u);
    EXPECT_EQ(entry.uvMap, 100000u);
    EXPECT_EQ(entry.u, 0.25f);  // (0 - 1) / 4 + 0.5
    EXPECT_EQ(entry.v, 0.5f);
  }
  const LWOPoint* rim = PointAt(b, fan.points[1]);
  EXPECT_EQ(rim->uvCount[0], 2);
  EXPECT_EQ(rim->uv[0].u, 0.5f);

  // Processed, each corner has its face's pair first, v turned upside down: the pole's
  // forty equal pairs make one vertex.
  LWOReaderTestBench whole;
  Fill(*whole.buffer, fan);
  for (UINT c : {LWO_CHANNEL_COLOR, LWO_CHANNEL_SECOND_COLOR}) {
    LWOSurfaceChannel& channel = whole.buffer->surfaces[0].channel[c];
    const LWOSurfaceChannel& original = surface.channel[c];
    channel.projection = original.projection;
    channel.mapFlags = original.mapFlags;
    channel.size = original.size;
    channel.center = original.center;
  }
  ASSERT_EQ(LWOObjectProcessor(*whole.buffer, whole.state.nextProjectedMap).Process(), 1u);
  const LWOImportBuffer& processed = *whole.buffer;
  EXPECT_EQ(processed.pointCount, UINT(kFaces) + 1);
  const LWOPoint* processedPole = PointAt(processed, CVector3(0, 0, 0));
  ASSERT_NE(processedPole, nullptr);
  EXPECT_EQ(processedPole->uv[0].u, 0.25f);
  EXPECT_EQ(processedPole->uv[0].v, 0.5f);
  const LWOPoint* processedRim = PointAt(processed, fan.points[1]);
  EXPECT_EQ(processedRim->uv[0].u, 0.5f);
  EXPECT_EQ(processedRim->uv[0].v, 0.5f);
}

}  // namespace
