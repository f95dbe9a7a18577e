#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "LWSTestBench.h"
#include "lightwave/LWSEnvelopeReader.h"
#include "scene/Key.h"

namespace {

struct SceneCase {
  const char* name;
  std::vector<std::string> lines;
  std::function<void(const LWSSceneBuffer&)> check;
};

TEST(LWSReaderTest, SceneKeysFillTheSceneRecord) {
  const SceneCase cases[] = {
      {"preview frames", {"PreviewFirstFrame 5", "PreviewLastFrame 60", "PreviewFrameStep 2.5"},
       [](const LWSSceneBuffer& s) {
         EXPECT_EQ(s.previewFirstFrame, 5);
         EXPECT_EQ(s.previewLastFrame, 60);
         EXPECT_EQ(s.previewFrameStep, 2);  // an integer field stops at the point
       }},
      {"fog colour packs each component times 255, truncated", {"FogColor 1 0.5 0"},
       [](const LWSSceneBuffer& s) { EXPECT_EQ(s.fogColor, 0x00FF7F00u); }},
      {"backdrop colour out of range is held to a byte", {"BackdropColor 2 -1 nan"},
       [](const LWSSceneBuffer& s) { EXPECT_EQ(s.backdropColor, 0x00FF0000u); }},
      {"only fog type 1 turns linear fog on", {"FogType 1"},
       [](const LWSSceneBuffer& s) { EXPECT_EQ(s.fogType, 3u); }},
      {"fog type 2 gives no fog", {"FogType 2"},
       [](const LWSSceneBuffer& s) { EXPECT_EQ(s.fogType, 0u); }},
      {"fog distances", {"FogMinDistance 1.5", "FogMaxDistance 300"},
       [](const LWSSceneBuffer& s) {
         EXPECT_FLOAT_EQ(s.fogMinDistance, 1.5f);
         EXPECT_FLOAT_EQ(s.fogMaxDistance, 300.0f);
       }},
      {"ambient colour as written", {"AmbientColor 0.25 2 1"},
       [](const LWSSceneBuffer& s) {
         EXPECT_FLOAT_EQ(s.ambientColor[0], 0.25f);
         EXPECT_FLOAT_EQ(s.ambientColor[1], 2.0f);
         EXPECT_FLOAT_EQ(s.ambientColor[2], 1.0f);
       }},
      {"constant ambient intensity", {"AmbientIntensity 0.75"},
       [](const LWSSceneBuffer& s) {
         EXPECT_FLOAT_EQ(s.ambientIntensity.value, 0.75f);
         EXPECT_EQ(s.ambientIntensity.isEnvelope, 0u);
       }},
      {"frames per second", {"FramesPerSecond 25"},
       [](const LWSSceneBuffer& s) { EXPECT_FLOAT_EQ(s.framesPerSecond, 25.0f); }},
      {"grid size changes nothing", {"GridSize 0.5"},
       [](const LWSSceneBuffer& s) {
         EXPECT_EQ(s.fogType, 0u);
         EXPECT_EQ(s.previewFirstFrame, 0);
         EXPECT_EQ(s.fogColor, 0u);
         EXPECT_FLOAT_EQ(s.fogMinDistance, 0.0f);
       }},
      {"short lines read zeros", {"FogColor 1", "PreviewLastFrame", "FogMinDistance", "AmbientColor 1 1"},
       [](const LWSSceneBuffer& s) {
         EXPECT_EQ(s.fogColor, 0x00FF0000u);
         EXPECT_EQ(s.previewLastFrame, 0);
         EXPECT_FLOAT_EQ(s.ambientColor[2], 0.0f);
       }},
      {"keys are prefixes in a fixed order", {"FogTypeX 1", "FogColorful 1 1 1", "Unknown 5"},
       [](const LWSSceneBuffer& s) {
         EXPECT_EQ(s.fogType, 3u);
         EXPECT_EQ(s.fogColor, 0x00FFFFFFu);
       }},
  };
  for (const SceneCase& c : cases) {
    SCOPED_TRACE(c.name);
    LWSTestBench t;
    CLWSBuilder scene;
    scene.Header();
    for (const std::string& line : c.lines) scene.Line(line);
    ASSERT_EQ(t.Load(scene), 1u);
    c.check(*t.scene);
  }
}

TEST(LWSReaderTest, TheSceneIsFinishedFromTheRecordEvenWithOnlyTheHeader) {
  for (const bool crlf : {false, true}) {
    LWSTestBench t;
    CLWSBuilder scene;
    scene.Header().Line("FogType 1").Line("FogColor 0 0 1");
    t.Write(scene.Text(crlf), "maps/level.lws");  // names are lower-cased before the lookup
    ASSERT_EQ(t.Load("Level.LWS", "Maps/"), 1u);
    EXPECT_STREQ(t.scene->name, "level.lws");
    EXPECT_STREQ(t.scene->directory, "maps/");
    EXPECT_STREQ(t.target->GetName(), "level.lws");
    EXPECT_EQ(t.target->GetFogType(), 3u);
    EXPECT_EQ(t.target->GetFogColor(), 0x000000FFu);
  }
  LWSTestBench t;
  ASSERT_EQ(t.Load(CLWSBuilder().Header()), 1u);
  EXPECT_EQ(t.target->GetWorldObjects(), nullptr);
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("- Updating Scene - scene.lws\n"), std::string::npos);
}

TEST(LWSReaderTest, TheHeaderIsTestedByPrefixOnly) {
  struct HeaderCase {
    std::string text;
    const char* error;  // null: loads
  };
  const HeaderCase cases[] = {
      {"LWSC and more\n3.99 anything\n", nullptr},
      {"LWSC\n3\n", nullptr},
      {"LWSC\n3", nullptr},
      {"LWS\n3\n\n", "Wrong File - scene.lws\n"},
      {"lwsc\n3\n\n", "Wrong File - scene.lws\n"},
      {"", "Wrong File - scene.lws\n"},
      {"LWSC\n2\n\n", "Wrong File Version - scene.lws\n"},
      {"LWSC\n 3\n\n", "Wrong File Version - scene.lws\n"},
      {"LWSC\n", "Wrong File Version - scene.lws\n"},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.text);
    ExpectLoadOutcome(c.text, c.error != nullptr ? "Error While Loading LWS6" : nullptr,
                      c.error != nullptr ? c.error : "");
  }
}

TEST(LWSReaderTest, KeyTimesUseTheFrameRateReadBeforeThem) {
  LWSTestBench t;
  t.objectReader.framesPerSecond = 12.0f;  // what an earlier scene left: every load starts at 30
  CLWSBuilder scene;
  scene.Header().Line("AmbientIntensity (envelope)").Envelope({KeyAt(0.5f, 2.0f)});
  scene.Line("FramesPerSecond 25");
  ASSERT_EQ(t.Load(scene), 1u);
  EXPECT_EQ(t.scene->ambientIntensity.isEnvelope, 1u);
  ASSERT_NE(t.scene->ambientIntensity.channel.FirstKey(), nullptr);
  EXPECT_FLOAT_EQ(t.scene->ambientIntensity.channel.FirstKey()->Time(), 60.0f);
  EXPECT_FLOAT_EQ(t.objectReader.framesPerSecond, 25.0f);

  CLWSBuilder later;
  later.Header().Line("FramesPerSecond 25").Line("AmbientIntensity (envelope)").Envelope({KeyAt(0.5f, 2.0f)});
  ASSERT_EQ(t.Load(later), 1u);
  EXPECT_FLOAT_EQ(t.scene->ambientIntensity.channel.FirstKey()->Time(), 50.0f);
}

// The envelope reads, each through an ambient intensity envelope block.
TEST(LWSReaderTest, EnvelopeBlocksBecomeTheKeysOfTheChannel) {
  struct EnvelopeCase {
    const char* name;
    std::vector<std::string> block;
    std::function<void(const CChannelEnvelope&)> check;
  };
  CLWSBuilder::Key full = KeyAt(1.5f, 2.0f);
  full.shape = 3;
  for (int i = 0; i < 6; ++i) full.params[i] = 0.1f * static_cast<float>(i + 1);
  const EnvelopeCase cases[] = {
      {"value 1.5 at 2 seconds is frame 60, with its shape and parameters",
       {"{ Envelope", "  1", CLWSBuilder::KeyLine(full), "  Behaviors 1 2", "}"},
       [](const CChannelEnvelope& c) {
         const CKey* key = c.FirstKey();
         ASSERT_NE(key, nullptr);
         EXPECT_FLOAT_EQ(key->Value(), 1.5f);
         EXPECT_FLOAT_EQ(key->Time(), 60.0f);
         EXPECT_EQ(key->Shape(), 3u);
         EXPECT_FLOAT_EQ(key->Tension(), 0.1f);
         EXPECT_FLOAT_EQ(key->Continuity(), 0.2f);
         EXPECT_FLOAT_EQ(key->Bias(), 0.3f);
         EXPECT_FLOAT_EQ(key->Param(0), 0.4f);
         EXPECT_FLOAT_EQ(key->Param(2), 0.6f);
         EXPECT_FLOAT_EQ(key->Param(3), 0.0f);
         EXPECT_EQ(key->Prev(), nullptr);
         EXPECT_EQ(key->Next(), nullptr);
       }},
      {"behaviours 1 and 2", {"{ Envelope", "  1", "  Key 0 0 0 0 0 0 0 0 0", "  Behaviors 1 2", "}"},
       [](const CChannelEnvelope& c) {
         CChannelEnvelope& channel = const_cast<CChannelEnvelope&>(c);
         EXPECT_EQ(channel.GetPreBehaviour(), 1u);
         EXPECT_EQ(channel.GetPostBehaviour(), 2u);
       }},
      {"three keys linked in time order",
       {"{ Envelope", "  3", "  Key 1 0 0 0 0 0 0 0 0", "  Key 2 1 0 0 0 0 0 0 0", "  Key 3 1.5 0 0 0 0 0 0 0",
        "  Behaviors 1 1", "}"},
       [](const CChannelEnvelope& c) {
         std::vector<float> times;
         for (const CKey* key = c.FirstKey(); key != nullptr; key = key->Next()) times.push_back(key->Time());
         EXPECT_EQ(times, (std::vector<float>{0.0f, 30.0f, 45.0f}));
         EXPECT_EQ(c.FirstKey()->Next()->Prev(), c.FirstKey());
       }},
      {"a count of 0 is one key", {"{ Envelope", "  0", "  Key 4 1 0 0 0 0 0 0 0", "  Behaviors 1 1", "}"},
       [](const CChannelEnvelope& c) {
         ASSERT_NE(c.FirstKey(), nullptr);
         EXPECT_FLOAT_EQ(c.FirstKey()->Value(), 4.0f);
         EXPECT_EQ(c.FirstKey()->Next(), nullptr);
       }},
      {"a line that is no key line gives a zero key",
       {"{ Envelope", "  1", "  Kex 4 1 0 0 0 0 0 0 0", "  Behaviors 1 1", "}"},
       [](const CChannelEnvelope& c) {
         ASSERT_NE(c.FirstKey(), nullptr);
         EXPECT_FLOAT_EQ(c.FirstKey()->Value(), 0.0f);
         EXPECT_FLOAT_EQ(c.FirstKey()->Time(), 0.0f);
       }},
      {"a short key line reads zeros", {"{ Envelope", "  1", "  Key 7", "  Behaviors", "}"},
       [](const CChannelEnvelope& c) {
         ASSERT_NE(c.FirstKey(), nullptr);
         EXPECT_FLOAT_EQ(c.FirstKey()->Value(), 7.0f);
         EXPECT_FLOAT_EQ(c.FirstKey()->Time(), 0.0f);
         EXPECT_EQ(const_cast<CChannelEnvelope&>(c).GetPreBehaviour(), 0u);
       }},
  };
  for (const EnvelopeCase& c : cases) {
    SCOPED_TRACE(c.name);
    LWSTestBench t;
    CLWSBuilder scene;
    scene.Header().Line("AmbientIntensity (envelope)");
    for (const std::string& line : c.block) scene.Line(line);
    // The closing line of the envelope does not end anything: the next key still counts.
    scene.Line("FogType 1");
    ASSERT_EQ(t.Load(scene), 1u);
    EXPECT_EQ(t.scene->fogType, 3u);
    c.check(t.scene->ambientIntensity.channel);
  }
}

TEST(LWSReaderTest, AMotionBlockFillsItsChannelsAndThePivotTurnsItsRotationKeys) {
  LWSTestBench t;
  CLWSBuilder block;
  block.Motion("ObjectMotion", {{0, {KeyAt(2.0f, 0.0f)}}, {4, {KeyAt(0.5f, 0.0f), KeyAt(1.0f, 1.0f)}}}, 9)
      .Line("after the motion");
  std::unique_ptr<LWSLineReader> lines = t.Lines(block.Text());
  lines->ReadLine();
  CMotion motion;
  const float framesPerSecond = 30.0f;
  EXPECT_EQ(LWSEnvelopeReader(*lines, framesPerSecond).ReadMotion(motion, "box.lwo"), 1u);
  EXPECT_TRUE(lines->IsEmptyLine());
  EXPECT_EQ(motion.GetNumberOfChannels(), 9u);
  EXPECT_FLOAT_EQ(motion.GetChannel(0)->FirstKey()->Value(), 2.0f);
  EXPECT_EQ(motion.GetChannel(1)->FirstKey(), nullptr);
  ASSERT_EQ(motion.GetChannel(4)->GetNumberOfKeys(), 2u);

  const CVector3 pivot = LWSEnvelopeReader::ReadPivotRotation("PivotRotation 0 90 0\n", motion);
  EXPECT_FLOAT_EQ(pivot.x, 0.0f);
  EXPECT_EQ(pivot.y, 90.0f * 0.017453292f);
  EXPECT_EQ(motion.GetChannel(4)->FirstKey()->Value(), 0.5f + 1.5707964f);
  EXPECT_EQ(motion.GetChannel(4)->FirstKey()->Next()->Value(), 1.0f + 1.5707964f);
  EXPECT_FLOAT_EQ(motion.GetChannel(0)->FirstKey()->Value(), 2.0f);  // not a rotation channel
}

TEST(LWSReaderTest, ItemIdentifiersGiveAKindAndAHexadecimalIndex) {
  struct IDCase {
    const char* text;
    bool bone;
    UINT kind;
    UINT index;
  };
  const IDCase cases[] = {
      {"10000003\n", false, 1, 3},   {"2000000A\n", false, 2, 10}, {"2000000a", false, 2, 10},
      {"4FFFFFFF", false, 4, 0x0FFFFFFF}, {"40010203", false, 4, 0x10203},
      {"1000000", false, 1, 0},      {"10x3", false, 1, 0},        {"", false, 0, 0},
      {"x0000001", false, 0, 1},     {"4012\n", true, 4, 0x12},    {"40120000", true, 4, 0x12},
      {"401F", true, 4, 0x1F},       {"4", true, 4, 0},
  };
  for (const IDCase& c : cases) {
    UINT kind = 99, index = 99;
    if (c.bone)
      LWSEnvelopeReader::ParseBoneItemID(c.text, kind, index);
    else
      LWSEnvelopeReader::ParseItemID(c.text, kind, index);
    EXPECT_EQ(kind, c.kind) << c.text;
    EXPECT_EQ(index, c.index) << c.text;
  }
}

}  // namespace
