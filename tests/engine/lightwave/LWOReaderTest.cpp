#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LWOReaderTestBench.h"

namespace {

CLWOBuilder Triangle() {
  CLWOBuilder object;
  object.Tags({"Skin"})
      .Layer()
      .Points({{0, 0, 0}, {1, 0, 0}, {0, 1.5f, -2}})
      .Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}})
      .Surface("Skin");
  return object;
}

// A cube of two surfaces with a still image, an image sequence, two UV maps, a weight map and
// the chunks the reader only remembers or skips.
CLWOBuilder Cube() {
  CLWOBuilder object;
  object.Tags({"Wood", "Metal"})
      .StillClip(1, "Images/Wood.JPEG")
      .Chunk("CLIP")
      .U4(2)
      .SubChunk("ISEQ")
      .U1(3)
      .U1(1)
      .U2(5)
      .U2(0)
      .U2(1)
      .U2(30)
      .S0("Seq/Frame_")
      .S0(".PNG")
      .End()
      .End()
      .Chunk("ENVL")
      .VX(1)
      .SubChunk("TYPE")
      .U1(0)
      .U1(0)
      .End()
      .End()
      .Layer()
      .Points({{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
               {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}})
      .Chunk("BBOX")
      .F4(-1).F4(-1).F4(-1).F4(1).F4(1).F4(1)
      .End()
      .UVMap("UVMain", {{0, 0, 0}, {1, 0, 0}})
      .WeightMap("Bone1", {{0, 1.0f}, {7, 0.25f}})
      .UVMap("uvDetail", {{0, 1, 0}})
      .Triangles({{0, 1, 2}, {0, 2, 3}, {4, 6, 5}, {4, 7, 6}, {0, 4, 5}, {0, 5, 1},
                  {1, 5, 6}, {1, 6, 2}, {2, 6, 7}, {2, 7, 3}, {3, 7, 4}, {3, 4, 0}})
      .Chunk("VMAD")
      .ID("TXUV")
      .U2(2)
      .S0("UVMain")
      .VX(0)
      .VX(3)
      .F4(0.5f)
      .F4(0.5f)
      .End()
      .SurfaceTags({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1},
                    {6, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}, {11, 1}})
      .Chunk("DESC")
      .S0("made by a test")
      .End()
      .Surface("Wood")
      .Surface("Metal", 0.5f);
  return object;
}

// The identifier that ends at (or, for ENVL, starts at) a remembered position.
std::string IdAt(const std::vector<uint8_t>& file, UINT position) {
  return std::string(file.begin() + position, file.begin() + position + 4);
}

TEST(LWOReaderTest, ATriangleFillsPointsFacesAndTags) {
  LWOReaderTestBench t;
  ASSERT_EQ(t.Load(Triangle()), 1u);
  const LWOImportBuffer& b = *t.buffer;
  ASSERT_EQ(b.pointCount, 3u);
  EXPECT_EQ(b.points[2].position.y, 1.5f);
  EXPECT_EQ(b.points[2].position.z, -2.0f);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(b.points[i].index16, i);
    EXPECT_EQ(b.points[i].index, i);
    EXPECT_EQ(b.points[i].used, 1u);
  }
  ASSERT_EQ(b.faceCount, 1u);
  EXPECT_EQ(b.faces[0].v[0], 0);
  EXPECT_EQ(b.faces[0].v[1], 1);
  EXPECT_EQ(b.faces[0].v[2], 2);
  ASSERT_EQ(b.tagCount, 1u);
  EXPECT_STREQ(b.tags[0].name, "Skin");
  EXPECT_EQ(b.tags[0].usedByPolygons, 1u);
  ASSERT_EQ(b.surfaceCount, 1);
  EXPECT_STREQ(b.surfaces[0].name, "Skin");
  EXPECT_EQ(b.tags[0].isSurface, 1);
  EXPECT_EQ(b.transparencyClass, LWOImportBuffer::TRANSPARENCY_NONE);
  EXPECT_EQ(t.state.layerSeen, 1u);
  EXPECT_EQ(t.state.nextProjectedMap, LWOReaderState::kFirstProjectedMap);
  EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelInfo),
            "- Loading LWO6 Mesh:obj.lwo\n"
            "  - Smoothing Groups Calculated\n    - Vertices: 3 (Was: 3)\n"
            "  - Mender (obj.lwo): 3 - 3\n"
            "  - Optimized Number Of Vertices Is 3 ( Was 3 ), Faces 1 ( Was 1 )\n"
            "  - Final Number Of Vertices Is: 3 (0 Unused!!!)\n");
  EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError), "");
}

TEST(LWOReaderTest, ACubeReadsEveryChunkItKnows) {
  LWOReaderTestBench t;
  ASSERT_TRUE(t.state.SetTextureDirectory("Data\\"));
  const std::vector<uint8_t> file = Cube().File();
  t.Write(file);
  ASSERT_EQ(t.Load(), 1u);
  const LWOImportBuffer& b = *t.buffer;

  // Not smoothed: each corner once for each of its three sides.
  EXPECT_EQ(b.pointCount, 24u);
  ASSERT_EQ(b.faceCount, 12u);
  EXPECT_EQ(b.faces[3].v[1], 7);
  ASSERT_EQ(b.tagCount, 2u);
  EXPECT_STREQ(b.tags[1].name, "Metal");
  EXPECT_EQ(b.faces[1].tag, 0);
  EXPECT_EQ(b.faces[2].tag, 1);
  EXPECT_EQ(b.tags[0].usedByPolygons + b.tags[1].usedByPolygons, 2u);

  ASSERT_EQ(b.clipCount, 2u);
  EXPECT_EQ(b.clips[0].index, 1u);
  EXPECT_STREQ(b.clips[0].name, "data\\textures\\wood.jpeg");
  EXPECT_EQ(b.clips[0].isSequence, 0u);
  const LWOClip* sequence = b.FindClip(2);
  ASSERT_NE(sequence, nullptr);
  EXPECT_STREQ(sequence->name, "data\\textures\\frame_");
  EXPECT_STREQ(sequence->suffix, ".PNG");
  EXPECT_EQ(sequence->isSequence, 1u);
  EXPECT_EQ(sequence->digits, 3);
  EXPECT_EQ(sequence->flags, 1);
  EXPECT_EQ(sequence->offset, 5u);
  EXPECT_EQ(sequence->first, 1u);
  EXPECT_EQ(sequence->last, 30u);
  EXPECT_STREQ(t.state.TextureDirectory(), "data\\");

  ASSERT_EQ(b.uvMapCount, 2u);
  EXPECT_STREQ(b.uvMapNames[0].name, "UVMain");
  EXPECT_STREQ(b.uvMapNames[1].name, "uvDetail");
  ASSERT_EQ(b.weightMapCount, 1u);
  EXPECT_STREQ(b.weightMaps[0].name, "Bone1");
  ASSERT_EQ(b.weightMaps[0].count, 2u);
  EXPECT_EQ(b.weightMaps[0].entries[1].point, 7u);
  EXPECT_EQ(b.weightMaps[0].entries[1].weight, 0.25f);

  EXPECT_EQ(IdAt(file, t.state.firstVMAP - 4), "VMAP");
  EXPECT_EQ(IdAt(file, t.state.firstVMAD - 4), "VMAD");
  EXPECT_EQ(IdAt(file, t.state.firstENVL), "ENVL");
  EXPECT_EQ(t.state.polsCount, 1u);
  EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! Unknown Chunk: DESC In obj.lwo\n");
}

TEST(LWOReaderTest, AnObjectOfASceneLiesUnderObjects) {
  LWOReaderTestBench t;
  t.Write(Triangle().File(), "Level/Objects/obj.lwo");
  EXPECT_EQ(t.Load(LWOReaderTestBench::kFileName, "Level\\", 1), 1u);
  EXPECT_EQ(t.buffer->faceCount, 1u);
}

TEST(LWOReaderTest, ASecondLoadKeepsNothingOfTheFirst) {
  LWOReaderTestBench t;
  t.Write(Cube().File());
  ASSERT_EQ(t.Load(), 1u);
  // What the processing would have written for the first object.
  const WORD list[] = {0, 1, 2};
  ASSERT_TRUE(t.buffer->surfaces[3].SetIndices(list, 3));

  ASSERT_EQ(t.Load(Triangle()), 1u);
  const LWOImportBuffer& b = *t.buffer;
  EXPECT_EQ(b.pointCount, 3u);
  EXPECT_EQ(b.faceCount, 1u);
  EXPECT_EQ(b.faces[1].v[0] + b.faces[11].v[2] + b.faces[11].tag, 0);
  EXPECT_EQ(b.tagCount, 1u);
  EXPECT_EQ(b.clipCount + b.uvMapCount + b.weightMapCount, 0u);
  EXPECT_EQ(b.FindClip(1), nullptr);
  EXPECT_EQ(b.weightMaps[0].entries, nullptr);
  EXPECT_EQ(b.surfaces[3].indices[1], 0);
  EXPECT_EQ(b.surfaces[3].indexCountCopy, 0);
  EXPECT_EQ(t.state.firstVMAP + t.state.firstVMAD + t.state.firstENVL, 0u);
  // The first object's points were turned upside down in place; the second's start from 0.
  for (UINT i = 0; i < b.pointCount; ++i) {
    EXPECT_EQ(b.points[i].uv[0].v, 1.0f);
    EXPECT_EQ(b.points[i].uv[1].v, 1.0f);
  }
}

TEST(LWOReaderTest, PointChunkLeftoversAreSkippedWhateverTheirLength) {
  for (size_t extra : {1u, 2u, 11u}) {
    SCOPED_TRACE(extra);
    LWOReaderTestBench t;
    CLWOBuilder object;
    object.Chunk("PNTS");
    for (int i = 0; i < 9; ++i) object.F4(float(i));
    object.Raw(std::vector<uint8_t>(extra, 0xEE)).End().Tags({"after"});
    object.Triangles({{0, 1, 2}}).SurfaceTags({{0, 0}}).Surface("after");
    ASSERT_EQ(t.Load(object), 1u);
    EXPECT_EQ(t.buffer->pointCount, 3u);
    EXPECT_EQ(t.buffer->points[2].position.z, 8.0f);
    ASSERT_EQ(t.buffer->tagCount, 1u);
    EXPECT_STREQ(t.buffer->tags[0].name, "after");
  }
}

TEST(LWOReaderTest, OnlyTheFirstTrianglePolygonListAndItsSurfaceTagsAreRead) {
  struct Case {
    const char* name;
    CLWOBuilder object;
    UINT faceCount;
    const char* warnings;
  };
  CLWOBuilder twoLists;
  twoLists.Tags({"a", "b"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  twoLists.Triangles({{0, 1, 2}}).SurfaceTags({{0, 0}});
  twoLists.Triangles({{2, 1, 0}, {0, 2, 1}}).SurfaceTags({{0, 1}}).Surface("a");
  CLWOBuilder partTags;
  partTags.Tags({"a", "b"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}});
  partTags.SurfaceTags({{0, 0}}).Surface("a");
  partTags.Chunk("PTAG").ID("PART").VX(0).U2(1).End();
  partTags.Chunk("PTAG").ID("SMGP").VX(0).U2(1).End();
  CLWOBuilder patches;
  patches.Chunk("POLS").ID("PTCH").U2(3).VX(0).VX(1).VX(2).End();
  const Case cases[] = {
      {"second FACE list", twoLists, 1,
       "Unknown POLS Chunk Type In obj.lwo\nWARNING!! - Unknown PTAG Chunk: obj.lwo\n"},
      {"PART and SMGP tags", partTags, 1,
       "WARNING!! - Unknown PTAG Chunk: obj.lwo\nWARNING!! - Unknown PTAG Chunk: obj.lwo\n"},
      {"patches", patches, 0, "Unknown POLS Chunk Type In obj.lwo\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LWOReaderTestBench t;
    ASSERT_EQ(t.Load(c.object), 1u);
    EXPECT_EQ(t.buffer->faceCount, c.faceCount);
    EXPECT_EQ(t.buffer->faces[0].tag, 0);
    if (t.buffer->tagCount > 1) {
      EXPECT_EQ(t.buffer->tags[1].usedByPolygons, 0u);
    }
    EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError), c.warnings);
  }
}

TEST(LWOReaderTest, TransparencyClassesFollowTheSurfacesOpacity) {
  struct Case {
    const char* name;
    std::vector<float> opacities;  // below 0: opaque with an opacity image
    UINT transparencyClass;
  };
  const Case cases[] = {{"no surface", {}, LWOImportBuffer::TRANSPARENCY_NONE},
                        {"opaque", {1.0f, 1.0f}, LWOImportBuffer::TRANSPARENCY_NONE},
                        {"all transparent", {0.5f, -1.0f}, LWOImportBuffer::TRANSPARENCY_ALL},
                        {"both kinds", {1.0f, 0.5f}, LWOImportBuffer::TRANSPARENCY_MIXED},
                        {"an image in an opaque one", {1.0f, -1.0f},
                         LWOImportBuffer::TRANSPARENCY_MIXED}};
  auto buffer = std::make_unique<LWOImportBuffer>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    buffer->Reset();
    for (float opacity : c.opacities) {
      LWOSurface& surface = buffer->surfaces[buffer->surfaceCount++];
      surface.SetDefaults();
      if (opacity < 0.0f)
        std::strcpy(surface.channel[LWO_CHANNEL_TRANSPARENCY].image, "data\\textures\\mask.tga");
      else
        surface.channel[LWO_CHANNEL_TRANSPARENCY].SetValue(opacity);
    }
    buffer->transparencyClass = 7;
    ClassifyTransparency(*buffer);
    EXPECT_EQ(buffer->transparencyClass, c.transparencyClass);
  }
}

TEST(LWOReaderTest, UVMapsAreFoundWithoutRegardToCase) {
  auto buffer = std::make_unique<LWOImportBuffer>();
  buffer->Reset();
  char first[] = "UVMain";
  char same[] = "uvmain";
  char longer[] = "UVMain2";
  EXPECT_EQ(FindOrAddUVMap(*buffer, first), 0u);
  EXPECT_STREQ(first, "uvmain");
  EXPECT_EQ(FindOrAddUVMap(*buffer, longer), 1u);
  EXPECT_EQ(FindOrAddUVMap(*buffer, same), 0u);
  std::strcpy(buffer->uvMapNames[1].name, "UVMAIN2");
  char again[] = "uvMain2";
  EXPECT_EQ(FindOrAddUVMap(*buffer, again), 1u);
  EXPECT_STREQ(buffer->uvMapNames[1].name, "uvmain2");
  EXPECT_EQ(buffer->uvMapCount, 2u);
}

}  // namespace
