#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LWOReaderTestBench.h"

namespace {

TEST(LWOSurfaceReaderTest, SubChunksSetTheirChannelsAndOptions) {
  struct Case {
    const char* name;
    std::function<void(CLWOBuilder&)> subChunks;
    std::function<void(const LWOSurface&)> check;
  };
  const Case cases[] = {
      {"COLR of length 14 sets both colours, no envelope",
       [](CLWOBuilder& b) { b.SubChunk("COLR").F4(0.1f).F4(0.2f).F4(0.3f).VX(0).End(); },
       [](const LWOSurface& s) {
         for (UINT c : {LWO_CHANNEL_COLOR, LWO_CHANNEL_SECOND_COLOR}) {
           EXPECT_EQ(s.channel[c].value[0], 0.1f);
           EXPECT_EQ(s.channel[c].value[1], 0.2f);
           EXPECT_EQ(s.channel[c].value[2], 0.3f);
         }
         EXPECT_EQ(s.channel[LWO_CHANNEL_COLOR].envelope[0].isEnvelope, 0u);
       }},
      {"COLR of length 16 with a four-byte envelope index",
       [](CLWOBuilder& b) { b.SubChunk("COLR").F4(1).F4(0.5f).F4(0).VX4(0).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.channel[LWO_CHANNEL_SECOND_COLOR].value[1], 0.5f); }},
      {"scalar channels",
       [](CLWOBuilder& b) {
         const char* ids[] = {"DIFF", "SPEC", "GLOS", "RIND", "REFL", "LUMI", "TRNL", "BUMP"};
         float value = 0.125f;
         for (const char* id : ids) b.SubChunk(id).F4(value += 0.125f).VX(0).End();
       },
       [](const LWOSurface& s) {
         const UINT channels[] = {LWO_CHANNEL_DIFFUSE,    LWO_CHANNEL_SPECULAR,   LWO_CHANNEL_GLOSSINESS,
                                  LWO_CHANNEL_REFRACTION, LWO_CHANNEL_REFLECTION, LWO_CHANNEL_LUMINOSITY,
                                  LWO_CHANNEL_TRANSLUCENCY, LWO_CHANNEL_BUMP};
         float value = 0.125f;
         for (UINT c : channels) {
           value += 0.125f;
           EXPECT_EQ(s.channel[c].value[0], value) << c;
           EXPECT_EQ(s.channel[c].value[2], value) << c;
         }
       }},
      {"TRAN 0.25 is held as opacity 0.75",
       [](CLWOBuilder& b) { b.SubChunk("TRAN").F4(0.25f).VX(0).End(); },
       [](const LWOSurface& s) {
         for (float v : s.channel[LWO_CHANNEL_TRANSPARENCY].value) EXPECT_EQ(v, 0.75f);
       }},
      {"ADTR exactly 0.001 is not additive",
       [](CLWOBuilder& b) { b.SubChunk("ADTR").F4(0.001f).VX(0).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.flags & LWO_SURFACE_ADDITIVE, 0); }},
      {"ADTR 0.002 is additive",
       [](CLWOBuilder& b) { b.SubChunk("ADTR").F4(0.002f).VX(0).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.flags, LWO_SURFACE_ADDITIVE); }},
      {"SIDE 3 is double-sided, SIDE 1 not",
       [](CLWOBuilder& b) { b.SubChunk("SIDE").U2(1).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.flags, 0); }},
      {"SIDE 3", [](CLWOBuilder& b) { b.SubChunk("SIDE").U2(3).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.flags, LWO_SURFACE_DOUBLE_SIDED); }},
      {"SMAN -0.5 keeps smoothing with the absolute angle",
       [](CLWOBuilder& b) { b.SubChunk("SMAN").F4(-0.5f).End(); },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.smoothingAngle, 0.5f);
         EXPECT_EQ(s.smoothing, 1);
       }},
      {"SMAN 0.0 turns smoothing off", [](CLWOBuilder& b) { b.SubChunk("SMAN").F4(0.0f).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.smoothing, 0); }},
      {"TROP 2 after a default channel, RFOP 0",
       [](CLWOBuilder& b) { b.SubChunk("TROP").U2(2).End().SubChunk("RFOP").U2(0).End(); },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.channel[LWO_CHANNEL_REFRACTION].mapFlags, LWO_MAP_STILL_SPHERICAL);
         EXPECT_EQ(s.channel[LWO_CHANNEL_REFLECTION].mapFlags, LWO_MAP_STILL_CUBE);
       }},
      {"TROP 3 then an unknown option clears every mode",
       [](CLWOBuilder& b) { b.SubChunk("TROP").U2(3).End().SubChunk("TROP").U2(9).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.channel[LWO_CHANNEL_REFRACTION].mapFlags, 0); }},
      {"ALPH mode 1 takes the value",
       [](CLWOBuilder& b) { b.SubChunk("ALPH").U2(1).F4(0.3f).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.alpha, 0.3f); }},
      {"ALPH of another mode is 1",
       [](CLWOBuilder& b) { b.SubChunk("ALPH").U2(2).F4(0.3f).End(); },
       [](const LWOSurface& s) { EXPECT_EQ(s.alpha, 1.0f); }},
      {"TIMG and RIMG name their clips; a missing clip changes nothing",
       [](CLWOBuilder& b) {
         b.SubChunk("TIMG").VX(4).End().SubChunk("RIMG").VX(4).End().SubChunk("RIMG").VX(9).End();
       },
       [](const LWOSurface& s) {
         EXPECT_STREQ(s.channel[LWO_CHANNEL_REFRACTION].envImage, "textures\\glass.png");
         EXPECT_STREQ(s.channel[LWO_CHANNEL_REFLECTION].envImage, "textures\\glass.png");
       }},
      {"a fixed layout longer than its fields goes on at its end",
       [](CLWOBuilder& b) {
         b.SubChunk("SIDE").U2(3).U2(0xFFFF).End().SubChunk("SMAN").F4(1.5f).U4(0).End();
         b.SubChunk("BLOK").ID("PROC").U2(0).End().SubChunk("SMAN").F4(0.25f).End();
       },
       [](const LWOSurface& s) {
         EXPECT_EQ(s.flags, LWO_SURFACE_DOUBLE_SIDED);
         EXPECT_EQ(s.smoothingAngle, 0.25f);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LWOReaderTestBench t;
    ASSERT_EQ(t.Load(SkinWith(c.subChunks)), 1u);
    ASSERT_EQ(t.buffer->surfaceCount, 1);
    EXPECT_STREQ(t.buffer->surfaces[0].name, "Skin");
    c.check(t.buffer->surfaces[0]);
  }
}

TEST(LWOSurfaceReaderTest, ANewSurfaceStartsFromItsDefaultsAndLogsUnknownSubChunks) {
  LWOReaderTestBench t;
  ASSERT_EQ(t.Load(SkinWith([](CLWOBuilder& b) { b.SubChunk("VCOL").U4(7).End(); })), 1u);
  const LWOSurface& s = t.buffer->surfaces[0];
  EXPECT_EQ(s.smoothing, 1);
  EXPECT_EQ(s.alpha, 1.0f);
  EXPECT_EQ(s.channel[LWO_CHANNEL_GLOSSINESS].value[1], 0.4f);
  EXPECT_EQ(s.channel[LWO_CHANNEL_TRANSPARENCY].value[0], 1.0f);
  EXPECT_EQ(s.channel[LWO_CHANNEL_BUMP].projection, LWO_NO_PROJECTION);
  EXPECT_EQ(t.buffer->tags[0].isSurface, 1);
  EXPECT_EQ(t.buffer->tags[0].surfaceIndex, 0);
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("SURF: Unknown Chunk: VCOL\n"),
            std::string::npos);
}

TEST(LWOSurfaceReaderTest, OnlyTagsThatPolygonsUseBecomeSurfaces) {
  LWOReaderTestBench t;
  ASSERT_EQ(t.Load(SkinTriangle([](CLWOBuilder& b) {
              b.Surface("Unused").Surface("Nowhere").Surface("Skin", 0.5f);
            })),
            1u);
  EXPECT_EQ(t.buffer->surfaceCount, 1);
  EXPECT_EQ(t.buffer->tags[1].isSurface, 0);
  EXPECT_EQ(t.buffer->surfaces[0].channel[LWO_CHANNEL_TRANSPARENCY].value[0], 0.5f);
}

}  // namespace
