#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LWOReaderTestBench.h"
#include "scene/Key.h"

namespace {

const std::string kNotFound = "Can't Find ENVL Chunk For: obj.lwo\n";
const std::string kNotRead = "Can't Read Envelope Motion For: obj.lwo\n";

// The Skin triangle with `envelopes` (ENVL and other chunks) before a surface whose diffuse
// value 0.5 names envelope 1, followed by an SMAN that must still be read where it stands.
CLWOBuilder DiffuseEnvelope(const std::function<void(CLWOBuilder&)>& envelopes) {
  return SkinTriangle([envelopes](CLWOBuilder& b) {
    envelopes(b);
    b.BeginSurface("Skin").SubChunk("DIFF").F4(0.5f).VX(1).End();
    b.SubChunk("SMAN").F4(0.75f).End().End();
  });
}

ImportEnvelope& Diffuse(LWOReaderTestBench& t) {
  return t.buffer->surfaces[0].channel[LWO_CHANNEL_DIFFUSE].envelope[0];
}

TEST(LWOEnvelopeReaderTest, ColourEnvelopesComeFromThreeConsecutiveIndices) {
  for (bool withBlue : {true, false}) {
    SCOPED_TRACE(withBlue ? "5, 6 and 7" : "7 missing");
    LWOReaderTestBench t;
    ASSERT_EQ(t.Load(SkinTriangle([withBlue](CLWOBuilder& b) {
                b.Envelope(5, {{0, 0.1f}, {1, 0.9f}}).Envelope(6, {{0, 0.2f}});
                if (withBlue) b.Envelope(7, {{0, 0.3f}, {2, 0.4f}, {3, 0.5f}});
                b.BeginSurface("Skin").SubChunk("COLR").F4(1).F4(1).F4(1).VX(5).End().End();
              })),
              1u);
    LWOSurfaceChannel& colour = t.buffer->surfaces[0].channel[LWO_CHANNEL_COLOR];
    const UINT keys[] = {2, 1, 3};
    const float first[] = {0.1f, 0.2f, 0.3f};
    for (UINT i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      const bool loaded = withBlue || i < 2;
      EXPECT_EQ(colour.envelope[i].isEnvelope, loaded ? 1u : 0u);
      if (!loaded) continue;
      EXPECT_EQ(colour.envelope[i].channel.FirstKey()->Value(), first[i]);
      EXPECT_EQ(colour.envelope[i].channel.GetNumberOfKeys(), keys[i]);
    }
    EXPECT_EQ(colour.value[2], 1.0f);
    EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError), withBlue ? "" : kNotFound);
  }
}

TEST(LWOEnvelopeReaderTest, KeyTimesAreFramesOfTheSceneRate) {
  for (float rate : {0.0f, 25.0f}) {
    LWOReaderTestBench t;
    if (rate != 0.0f) t.state.framesPerSecond = rate;
    ASSERT_EQ(t.Load(DiffuseEnvelope([](CLWOBuilder& b) { b.Envelope(1, {{0.0f, 2}, {1.0f, 3}}); })), 1u);
    ASSERT_EQ(Diffuse(t).isEnvelope, 1u);
    const CKey* second = Diffuse(t).channel.FirstKey()->Next();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Time(), rate != 0.0f ? 25.0f : 30.0f);
    EXPECT_EQ(second->Value(), 3.0f);
    EXPECT_EQ(second->Prev(), Diffuse(t).channel.FirstKey());
    EXPECT_EQ(Diffuse(t).value, 0.0f);
    EXPECT_EQ(t.buffer->surfaces[0].smoothingAngle, 0.75f) << "reading goes on where it stood";
  }
}

TEST(LWOEnvelopeReaderTest, SpansAndBehavioursReachTheChannel) {
  LWOReaderTestBench t;
  ASSERT_EQ(t.Load(DiffuseEnvelope([](CLWOBuilder& b) {
              b.Chunk("ENVL").VX(1).SubChunk("TYPE").U2(0).End().SubChunk("PRE ").U2(1).End();
              b.SubChunk("KEY ").F4(0).F4(1).End().SubChunk("SPAN").ID("TCB ").F4(0.1f).F4(0.2f).F4(0.3f).End();
              b.SubChunk("KEY ").F4(1).F4(2).End().SubChunk("SPAN").ID("BEZ2").F4(1).F4(2).F4(3).F4(4).End();
              b.SubChunk("KEY ").F4(2).F4(3).End().SubChunk("SPAN").ID("LINE").End();
              b.SubChunk("KEY ").F4(3).F4(4).End().SubChunk("SPAN").ID("WAVE").F4(9).End();
              b.SubChunk("POST").U2(2).End().End();
            })),
            1u);
  CChannelEnvelope& channel = Diffuse(t).channel;
  EXPECT_EQ(channel.GetPreBehaviour(), 1u);
  EXPECT_EQ(channel.GetPostBehaviour(), 2u);
  const CKey* tcb = channel.FirstKey();
  EXPECT_EQ(tcb->Shape(), UINT(KEY_SHAPE_TCB));
  EXPECT_EQ(tcb->Tension(), 0.1f);
  EXPECT_EQ(tcb->Continuity(), 0.2f);
  EXPECT_EQ(tcb->Bias(), 0.3f);
  const CKey* bezier = tcb->Next();
  EXPECT_EQ(bezier->Shape(), UINT(KEY_SHAPE_BEZIER2D));
  EXPECT_EQ(bezier->Param(0), 1.0f);
  EXPECT_EQ(bezier->Param(3), 4.0f);
  EXPECT_EQ(bezier->Next()->Shape(), UINT(KEY_SHAPE_LINEAR));
  EXPECT_EQ(bezier->Next()->Next()->Shape(), UINT(KEY_SHAPE_TCB)) << "an unknown shape is kept";
  EXPECT_EQ(bezier->Next()->Next()->Next(), nullptr);
}

// Every broken envelope is a warning: the surface keeps its constant and the load goes on.
TEST(LWOEnvelopeReaderTest, BrokenEnvelopesFallBackToTheConstant) {
  const std::string keyLost = "WARNING!!! - Can't Read Key In ENVL For: obj.lwo\n";
  const std::string size = "WARNING!!! - Size Mismatch When Reading ENVL For: obj.lwo\n";
  struct Case {
    const char* name;
    std::function<void(CLWOBuilder&)> envelopes;
    std::string warnings;
  };
  const Case cases[] = {
      {"no ENVL chunk", [](CLWOBuilder&) {}, kNotFound},
      {"another index only", [](CLWOBuilder& b) { b.Envelope(2, {{0, 1}}); }, kNotFound},
      {"after a chunk that is not an ENVL",
       [](CLWOBuilder& b) { b.Envelope(2, {{0, 1}}).Chunk("BBOX").U2(0).End().Envelope(1, {{0, 1}}); },
       kNotFound},
      {"a span of five parameters",
       [](CLWOBuilder& b) {
         b.Chunk("ENVL").VX(1).SubChunk("KEY ").F4(0).F4(1).End();
         b.SubChunk("SPAN").ID("BEZ2").F4(1).F4(2).F4(3).F4(4).F4(5).End().End();
       },
       "WARNING!!! - Can't Read SPAN Chunk In ENVL For: obj.lwo Coz The Number Of Parameters "
       "Exceeds 4\n" + keyLost + kNotRead},
      {"keys out of time order",
       [](CLWOBuilder& b) { b.Envelope(1, {{1, 1}, {0.5f, 2}}); },
       "WARNING!!! - Keys Out Of Time Order When Reading ENVL For: obj.lwo\n" + kNotRead},
      {"two keys at one time",
       [](CLWOBuilder& b) { b.Envelope(1, {{1, 1}, {1, 2}}); },
       "WARNING!!! - Keys Out Of Time Order When Reading ENVL For: obj.lwo\n" + kNotRead},
      {"a key without a span",
       [](CLWOBuilder& b) { b.Chunk("ENVL").VX(1).SubChunk("KEY ").F4(0).F4(1).End().SubChunk("POST").U2(1).End().End(); },
       "WARNING!!! - A SPAN Chunk Expected When Reading ENVL For: obj.lwo But Found: POST\n" +
           keyLost + kNotRead},
      {"keys apart",
       [](CLWOBuilder& b) {
         b.Chunk("ENVL").VX(1).SubChunk("KEY ").F4(0).F4(1).End().SubChunk("SPAN").ID("STEP").End();
         b.SubChunk("NAME").S0("x").End().SubChunk("KEY ").F4(1).F4(1).End().SubChunk("SPAN").ID("STEP").End().End();
       },
       "WARNING!!! - A KEY Chunk Expected When Reading ENVL For: obj.lwo But Found: NAME\n" +
           keyLost + kNotRead},
      {"a TCB span without its three parameters",
       [](CLWOBuilder& b) {
         b.Chunk("ENVL").VX(1).SubChunk("KEY ").F4(0).F4(1).End();
         b.SubChunk("SPAN").ID("TCB ").F4(1).F4(2).End().End();
       },
       size + keyLost + kNotRead},
      {"a key shorter than its fields",
       [](CLWOBuilder& b) { b.Chunk("ENVL").VX(1).SubChunk("KEY ").F4(0).End().SubChunk("SPAN").ID("STEP").End().End(); },
       size + keyLost + kNotRead},
      {"a span longer than its envelope",
       [](CLWOBuilder& b) {
         b.Chunk("ENVL").VX(1).SubChunk("KEY ").F4(0).F4(1).End();
         b.SubChunk("SPAN", 40).ID("STEP").End().End();
       },
       size + kNotRead},
      {"an envelope shorter than its index",
       [](CLWOBuilder& b) { b.Chunk("ENVL", 1).U1(0).End().Chunk("BBOX").U2(0).End(); }, size},
      {"an empty envelope chunk", [](CLWOBuilder& b) { b.Chunk("ENVL", 0).End(); }, size},
      {"a PRE of one byte",
       [](CLWOBuilder& b) { b.Chunk("ENVL").VX(1).SubChunk("PRE ", 1).U1(1).U1(0).End().End(); },
       size + kNotRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LWOReaderTestBench t;
    ASSERT_EQ(t.Load(DiffuseEnvelope(c.envelopes)), 1u);
    EXPECT_EQ(Diffuse(t).isEnvelope, 0u);
    EXPECT_EQ(t.buffer->surfaces[0].channel[LWO_CHANNEL_DIFFUSE].value[0], 0.5f);
    EXPECT_EQ(t.buffer->surfaces[0].smoothingAngle, 0.75f);
    EXPECT_EQ(t.bench.log.TextAt(CEngineLog::kLevelError), c.warnings);
  }
}

}  // namespace
