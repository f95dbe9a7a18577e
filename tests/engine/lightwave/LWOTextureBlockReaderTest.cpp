#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LWOReaderTestBench.h"
#include "lightwave/LWOTextureBlockReader.h"

namespace {

using Build = std::function<void(CLWOBuilder&)>;

// The surface "Skin" with texture blocks, loaded through the reader.
const LWOSurface& LoadSkin(LWOReaderTestBench& t, const Build& blocks) {
  EXPECT_EQ(t.Load(SkinWith(blocks)), 1u);
  return t.buffer->surfaces[0];
}

TEST(LWOTextureBlockReaderTest, BlocksSetTheChannelsTheirLayersDrive) {
  struct Case {
    const char* name;
    Build blocks;
    std::function<void(const LWOSurface&)> check;
  };
  const Case cases[] = {
      {"PROC and GRAD blocks are skipped whole",
       [](CLWOBuilder& b) {
         b.BeginBlock("PROC", "COLR").SubChunk("PROJ").U2(5).End().End();
         b.BeginBlock("GRAD", "COLR").SubChunk("IMAG").VX(4).End().End();
       },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.colorTextureCount, 0u);
         EXPECT_EQ(s.channel[0].projection, LWO_NO_PROJECTION);
         EXPECT_STREQ(s.channel[0].image, "");
       }},
      {"an image map whose first sub-chunk is not CHAN is skipped whole",
       [](CLWOBuilder& b) {
         b.SubChunk("BLOK").ID("IMAP").U2(8).U1(0x80).U1(0).SubChunk("ENAB").U2(1).End();
         b.SubChunk("CHAN").ID("COLR").End().SubChunk("IMAG").VX(4).End().End();
       },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.colorTextureCount, 0u);
         EXPECT_STREQ(s.channel[0].image, "");
       }},
      {"a layer of an unknown channel is skipped",
       [](CLWOBuilder& b) { b.BeginBlock("IMAP", "XXXX").SubChunk("IMAG").VX(4).End().End(); },
       [](const LWOSurface& s) {
         for (const LWOSurfaceChannel& c : s.channel) EXPECT_STREQ(c.image, "");
       }},
      {"a diffuse layer first maps colour channel 0; a later colour layer is channel 1",
       [](CLWOBuilder& b) {
         b.BeginBlock("IMAP", "DIFF").SubChunk("PROJ").U2(5).End();
         b.SubChunk("TMAP").SubChunk("CNTR").F4(1).F4(2).F4(3).VX(0).End();
         b.SubChunk("SIZE").F4(4).F4(5).F4(6).VX(0).End();
         b.SubChunk("ROTA").F4(7).F4(8).F4(9).VX(0).End();
         b.SubChunk("FALL").U2(0).F4(0).F4(0).F4(0).VX(0).End().End();
         b.SubChunk("IMAG").VX(4).End().SubChunk("VMAP").S0("Base").End().End();
         b.BeginBlock("IMAP", "COLR").SubChunk("IMAG").VX(4).End().SubChunk("VMAP").S0("Detail").End();
         b.SubChunk("PROJ").U2(4).End().End();
       },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.colorTextureCount, 2u);
         const LWOSurfaceChannel& first = s.channel[LWO_CHANNEL_COLOR];
         EXPECT_EQ(first.projection, 5);
         EXPECT_EQ(first.center, CVector3(1, 2, 3));
         EXPECT_EQ(first.size, CVector3(4, 5, 6));
         EXPECT_EQ(first.rotation, CVector3(7, 8, 9));
         EXPECT_EQ(first.uvMap, 0);
         EXPECT_STREQ(first.image, "");
         EXPECT_STREQ(s.channel[LWO_CHANNEL_DIFFUSE].image, "textures\\glass.png");
         const LWOSurfaceChannel& second = s.channel[LWO_CHANNEL_SECOND_COLOR];
         EXPECT_STREQ(second.image, "textures\\glass.png");
         EXPECT_EQ(second.uvMap, 1);
         EXPECT_EQ(second.projection, 4);
       }},
      {"after a colour layer another layer sets only its image",
       [](CLWOBuilder& b) {
         b.BeginBlock("IMAP", "COLR").SubChunk("PROJ").U2(5).End().End();
         b.BeginBlock("IMAP", "BUMP").SubChunk("PROJ").U2(4).End().SubChunk("IMAG").VX(4).End();
         b.SubChunk("WRAP").U2(0).U2(0).End().End();
       },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.colorTextureCount, 1u);
         EXPECT_EQ(s.channel[0].projection, 5);
         EXPECT_EQ(s.channel[0].mapFlags, LWO_MAP_CUBE_GENERATED);
         EXPECT_STREQ(s.channel[LWO_CHANNEL_BUMP].image, "textures\\glass.png");
       }},
      {"AXIS 1, WRAP 2 and 3, wrap amounts",
       [](CLWOBuilder& b) {
         b.BeginBlock("IMAP", "COLR").SubChunk("AXIS").U2(1).End().SubChunk("WRAP").U2(2).U2(3).End();
         b.SubChunk("WRPW").F4(2.5f).VX(0).End().SubChunk("WRPH").F4(0.5f).VX4(3).End().End();
       },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.channel[0].mapFlags, LWO_MAP_CUBE_GENERATED | LWO_MAP_AXIS_Y |
                                              LWO_MAP_WRAP_WIDTH_REPEAT | LWO_MAP_WRAP_HEIGHT_MIRROR);
         EXPECT_EQ(s.channel[0].wrapWidth, 2.5f);
         EXPECT_EQ(s.channel[0].wrapHeight, 0.5f);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LWOReaderTestBench t;
    c.check(LoadSkin(t, c.blocks));
    EXPECT_TRUE(t.bench.exits.Boxes().empty());
  }
}

TEST(LWOTextureBlockReaderTest, LayerOpacityTypesBecomeBlendOperations) {
  const std::pair<WORD, WORD> table[] = {{0, 7}, {1, 10}, {2, 1}, {3, 4}, {5, 1}, {7, 7}};
  for (const auto& [type, blendOp] : table) {
    SCOPED_TRACE(type);
    LWOReaderTestBench t;
    const LWOSurface& s = LoadSkin(t, [type = type](CLWOBuilder& b) {
      b.BeginBlock("IMAP", "COLR").SubChunk("OPAC").U2(type).F4(0.75f).VX(0).End().End();
    });
    EXPECT_EQ(s.channel[0].blendOp, blendOp);
    EXPECT_EQ(s.channel[0].opacity, 0.75f);
  }
}

TEST(LWOTextureBlockReaderTest, AThirdColourLayerIsSkippedWithAWarning) {
  LWOReaderTestBench t;
  const LWOSurface& s = LoadSkin(t, [](CLWOBuilder& b) {
    for (int layer = 0; layer < 3; ++layer)
      b.BeginBlock("IMAP", "COLR").SubChunk("PROJ").U2(WORD(4 + layer)).End().End();
  });
  EXPECT_EQ(s.colorTextureCount, 2u);
  EXPECT_EQ(s.channel[0].projection, 4);
  EXPECT_EQ(s.channel[1].projection, 5);
  EXPECT_EQ(s.channel[LWO_CHANNEL_SPECULAR].projection, LWO_NO_PROJECTION);
  EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! More Than Two Color Texture Layers, Layer Skipped: Skin (obj.lwo)\n");
}

TEST(LWOTextureBlockReaderTest, ImageSequencesNameTheirFrames) {
  // Clip 5 of the fixture: frames 1 to 3 with 3 digits, prefix "seq/f", suffix ".tga".
  struct Case {
    const char* channel;
    UINT index;
    std::vector<std::string> frames;
  };
  const Case cases[] = {
      {"COLR", LWO_CHANNEL_COLOR, {"textures\\f001.tga", "textures\\f002.tga", "textures\\f003.tga"}},
      {"TRAN", LWO_CHANNEL_TRANSPARENCY, {"textures\\f001.tga", "textures\\f002.tga"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channel);
    LWOReaderTestBench t;
    const LWOSurface& s = LoadSkin(t, [&c](CLWOBuilder& b) {
      b.BeginBlock("IMAP", c.channel).SubChunk("IMAG").VX(5).End().End();
    });
    const LWOSurfaceChannel& channel = s.channel[c.index];
    EXPECT_EQ(channel.isSequence, 1u);
    EXPECT_EQ(channel.firstFrame, 1u);
    EXPECT_EQ(channel.lastFrame, 3u);
    EXPECT_STREQ(channel.image, "");
    std::vector<std::string> frames;
    for (UINT i = 0; i < channel.frameCount; ++i) frames.push_back(channel.GetFrameName(i));
    EXPECT_EQ(frames, c.frames);
  }
}

// One texture block read straight from memory, with the object's map chunks after it, into a
// buffer of `points` points.
class DirectBlock {
 public:
  UINT Read(CLWOBuilder block, const CLWOBuilder& maps, UINT points, UINT colorLayersBefore = 0) {
    LWOImportBuffer& b = *t.buffer;
    b.Reset();
    b.surfaces[0].colorTextureCount = colorLayersBefore;
    CopyName(b.fileName, "obj.lwo");
    EXPECT_TRUE(b.AllocatePoints(points));
    for (UINT i = 0; i < points; ++i) b.points[i].index16 = WORD(b.points[i].index = i);
    std::vector<uint8_t> bytes = block.Bytes();
    const UINT blockEnd = UINT(bytes.size());
    t.state.StartFile();
    // The positions just after the first VMAP's and VMAD's identifiers.
    for (UINT at = 0; at + 8 <= maps.Bytes().size();) {
      const std::string id(maps.Bytes().begin() + at, maps.Bytes().begin() + at + 4);
      const uint8_t* l = &maps.Bytes()[at + 4];
      if (id == "VMAP" && t.state.firstVMAP == 0) t.state.firstVMAP = blockEnd + at + 4;
      if (id == "VMAD" && t.state.firstVMAD == 0) t.state.firstVMAD = blockEnd + at + 4;
      at += 8 + (UINT(l[0]) << 24 | UINT(l[1]) << 16 | UINT(l[2]) << 8 | l[3]);
    }
    bytes.insert(bytes.end(), maps.Bytes().begin(), maps.Bytes().end());
    LWOStream& file = t.state.file;
    file.Assign(bytes);
    UINT id = 0;
    WORD length = 0;
    LWOStream::Region region;
    EXPECT_TRUE(file.ReadID4(id) && file.ReadU2(length) && file.Enter(length, region));
    const UINT result = LWOTextureBlockReader(t.state, b.surfaces[0]).ReadTextureBlock();
    EXPECT_EQ(file.Tell(), blockEnd);
    file.Leave(region);
    return result;
  }

  LWOReaderTestBench t;
};

bool SameEntry(const LWOUVEntry& a, const LWOUVEntry& b) {
  return a.u == b.u && a.v == b.v && a.polygon == b.polygon && a.perPolygon == b.perPolygon &&
         a.uvMap == b.uvMap;
}

TEST(LWOTextureBlockReaderTest, UVMapValuesGoToTheLayersSlotFromConsecutiveMapChunks) {
  CLWOBuilder maps;
  maps.UVMap("base", {{0.1f, 0.2f, 0}, {0.3f, 0.4f, 0}})
      .WeightMap("bone", {{0, 1.0f}})
      .UVMap("detail", {{0.5f, 0.6f, 0}})
      .PolygonUVMap("BASE", {{1, 7, 0.9f, 0.8f}})
      .Chunk("BBOX").U4(0).End()
      .PolygonUVMap("detail", {{0, 2, 0.7f, 0.7f}});
  // The second colour layer: its values go to slot 1, the block naming the map in capitals.
  DirectBlock d;
  CLWOBuilder block;
  block.BeginBlock("IMAP", "COLR").SubChunk("VMAP").S0("DETAIL").End().End();
  ASSERT_EQ(d.Read(block, maps, 3, 1), 1u);
  const LWOImportBuffer& b = *d.t.buffer;
  ASSERT_EQ(b.uvMapCount, 2u);
  EXPECT_STREQ(b.uvMapNames[0].name, "detail");
  EXPECT_STREQ(b.uvMapNames[1].name, "base");
  EXPECT_EQ(b.surfaces[0].channel[1].uvMap, 0);
  ASSERT_EQ(b.points[0].uvCount[1], 1u);
  EXPECT_TRUE(SameEntry(b.points[0].uv[1], {0.5f, 0.6f, 0, 0, 0}));
  // The VMAD of this name comes after another chunk: not searched.
  for (UINT i = 0; i < 3; ++i) EXPECT_EQ(b.points[i].uvCount[0], 0u);
  EXPECT_EQ(b.points[1].uvCount[1], 0u);

  DirectBlock first;
  CLWOBuilder firstBlock;
  firstBlock.BeginBlock("IMAP", "COLR").SubChunk("VMAP").S0("Base").End().End();
  ASSERT_EQ(first.Read(firstBlock, maps, 3), 1u);
  const LWOImportBuffer& f = *first.t.buffer;
  ASSERT_EQ(f.points[0].uvCount[0], 1u);
  EXPECT_TRUE(SameEntry(f.points[0].uv[0], {0.1f, 0.2f, 0, 0, 0}));
  ASSERT_EQ(f.points[1].uvCount[0], 2u);
  EXPECT_TRUE(SameEntry(f.points[1].uv[0], {0.3f, 0.4f, 0, 0, 0}));
  // The point holds its first; the later ones wait in the buffer by file index and slot.
  ASSERT_EQ(f.uvOverflow.size(), 1u);
  EXPECT_EQ(f.uvOverflow[0].point, 1u);
  EXPECT_EQ(f.uvOverflow[0].slot, 0u);
  EXPECT_TRUE(SameEntry(f.uvOverflow[0].entry, {0.9f, 0.8f, 7, 1, 0}));
  EXPECT_EQ(f.points[2].uvCount[0], 0u);
  EXPECT_EQ(f.points[0].uvCount[1], 0u);
}

TEST(LWOTextureBlockReaderTest, AMissingMapLoadsNothing) {
  DirectBlock d;
  CLWOBuilder maps;
  maps.UVMap("other", {{0.5f, 0.5f, 0}});
  CLWOBuilder block;
  block.BeginBlock("IMAP", "COLR").End();
  d.Read(block, maps, 1);
  EXPECT_EQ(LWOTextureBlockReader(d.t.state, d.t.buffer->surfaces[0]).LoadUVMapValues(0, "none"), 0u);
  EXPECT_EQ(LWOTextureBlockReader(d.t.state, d.t.buffer->surfaces[0]).LoadPolygonUVValues(0, "other"), 0u);
  EXPECT_EQ(LWOTextureBlockReader(d.t.state, d.t.buffer->surfaces[0]).LoadUVMapValues(0, "other"), 1u);
  EXPECT_EQ(d.t.buffer->points[0].uvCount[0], 1u);
}

TEST(LWOTextureBlockReaderTest, AThirtyThirdEntryOnOnePointAndSlotIsFatal) {
  DirectBlock d;
  CLWOBuilder maps;
  maps.Chunk("VMAD").ID("TXUV").U2(2).S0("uv");
  for (uint32_t polygon = 0; polygon < 33; ++polygon) maps.VX(0).VX(polygon).F4(0).F4(0);
  maps.End();
  CLWOBuilder block;
  block.BeginBlock("IMAP", "COLR").SubChunk("VMAP").S0("uv").End().End();
  EXPECT_THROW(d.Read(block, maps, 1), ProcessExited);
  ASSERT_EQ(d.t.bench.exits.Boxes().size(), 1u);
  EXPECT_EQ(d.t.bench.exits.Boxes()[0].caption, "Error While Loading LWO");
  EXPECT_EQ(d.t.bench.exits.Boxes()[0].text,
            "(2) You have exceeded maximum number of UVMaps per vertex in: obj.lwo (33)\n");
  EXPECT_EQ(d.t.buffer->points[0].uvCount[0], LWO_MAX_UV_ENTRIES);
}

}  // namespace
