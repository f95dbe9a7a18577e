#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "ChunkBuilder.h"
#include "ChunkStreams.h"
#include "RecordingEngineLog.h"

namespace {

constexpr char kSizeMessage[] = "ERROR! - Light %s, Incorrect Size Of Chunk Length And Read Data\n";
constexpr char kPropSize[] = "ERROR! - Light::PROP Incorrect Size\n";

// A container of a made-up kind with one fixed-size sub-chunk ("PROP", 4 bytes) and one that
// is itself a container ("MOTN"), read the way every container reads.
struct LightLike {
  uint32_t prop = 0;
  int props = 0;
  int motions = 0;
};

bool ReadLightLike(CChunkReader& in, LightLike& light, CRecordingEngineLog& log) {
  const ChunkReport report{&log, "Test", 1, "lamp"};
  return in.Container({{"PROP",
                        [&](CChunkReader& r) {
                          ++light.props;
                          return r.FixedChunk(4, report, kPropSize,
                                              [&] { return r.U32(light.prop); });
                        },
                        "ERROR! - Light %s, Can't Load Properties\n"},
                       {"MOTN",
                        [&](CChunkReader& r) {
                          ++light.motions;
                          return r.Container({}, report, "ERROR! - Motion Size\n");
                        },
                        "ERROR! - Light %s, Can't Load Motion\n"}},
                      report, kSizeMessage);
}

TEST(ChunkReader, ContainerDispatchesKnownTagsAndSkipsOthers) {
  CChunkBuilder b;
  b.Begin("LITE")
      .Chunk("ZZZZ", [](CChunkBuilder& c) { c.U32(1).U32(2).U32(3); })
      .Chunk("EMPT", [](CChunkBuilder&) {})  // an empty unknown chunk costs its 8 bytes
      .U32Chunk("PROP", 42)
      .Chunk("MOTN", [](CChunkBuilder& c) { c.U32Chunk("XXXX", 0); })
      .Chunk("prop", [](CChunkBuilder& c) { c.U32(5); })  // tags are case-sensitive
      .End()
      .U32Chunk("NEXT", 9);
  MemoryChunkFile f(b.Bytes());
  ChunkTag tag;
  ASSERT_TRUE(f.in.Tag(tag));
  ASSERT_TRUE(tag.Is("LITE"));

  LightLike light;
  CRecordingEngineLog log;
  ASSERT_TRUE(ReadLightLike(f.in, light, log));
  EXPECT_EQ(light.prop, 42u);
  EXPECT_EQ(light.props, 1);
  EXPECT_EQ(light.motions, 1);
  EXPECT_TRUE(log.entries.empty());
  // The container ends exactly where its size says: the next chunk is untouched.
  ASSERT_TRUE(f.in.Tag(tag));
  EXPECT_STREQ(tag.Text(), "NEXT");
  EXPECT_EQ(f.file.ReadsPastEnd(), 0);
}

struct MalformedContainer {
  const char* name;
  std::function<void(CChunkBuilder&)> build;
  std::string expectedLog;
};

class MalformedContainerTest : public testing::TestWithParam<MalformedContainer> {};

TEST_P(MalformedContainerTest, FailsWithItsMessageAndStaysInsideTheFile) {
  CChunkBuilder b;
  GetParam().build(b);
  MemoryChunkFile f(b.Bytes());
  ChunkTag tag;
  ASSERT_TRUE(f.in.Tag(tag));
  LightLike light;
  CRecordingEngineLog log;
  EXPECT_FALSE(ReadLightLike(f.in, light, log));
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), GetParam().expectedLog);
  EXPECT_EQ(f.file.ReadsPastEnd(), 0);
}

const std::string kSizeText = "ERROR! - Light lamp, Incorrect Size Of Chunk Length And Read Data\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedContainerTest,
    testing::Values(
        MalformedContainer{
            "FixedChunkWithWrongSize",
            [](CChunkBuilder& b) {
              b.Begin("LITE").Chunk("PROP", [](CChunkBuilder& c) { c.U32(1).U32(2); }).End();
            },
            std::string(kPropSize) + "ERROR! - Light lamp, Can't Load Properties\n"},
        MalformedContainer{"SubContainerFails",
                           [](CChunkBuilder& b) { b.Begin("LITE").Begin("MOTN", 100).End().End(); },
                           "ERROR! - Motion Size\nERROR! - Light lamp, Can't Load Motion\n"},
        MalformedContainer{"UnknownChunkCrossesTheEnd",
                           [](CChunkBuilder& b) {
                             b.Begin("LITE").Begin("ZZZZ", 64).U32(0).End().End().U32(0).U32(0);
                           },
                           kSizeText},
        MalformedContainer{
            "SizeLargerThanTheFile",
            [](CChunkBuilder& b) { b.Begin("LITE", 4096).U32Chunk("PROP", 1).End(); }, kSizeText},
        MalformedContainer{
            "TrailingBytesShorterThanAHeader",
            [](CChunkBuilder& b) { b.Begin("LITE").U32Chunk("PROP", 1).Raw("abc", 3).End(); },
            kSizeText},
        MalformedContainer{"FixedChunkCutOffByTheContainer",
                           [](CChunkBuilder& b) {
                             b.Begin("LITE", 10).Tag("PROP").U32(4).U16(7).End().U16(0).U32(0);
                           },
                           "ERROR! - Light lamp, Can't Load Properties\n"},
        MalformedContainer{"FileEndsInsideASizeWord",
                           [](CChunkBuilder& b) { b.Tag("LITE").U16(4); }, ""}),
    [](const testing::TestParamInfo<MalformedContainer>& info) { return info.param.name; });

TEST(ChunkReader, PayloadLimitsReadsUntilItCloses) {
  CChunkBuilder b;
  b.U32(1).U32(2).U32(3);
  MemoryChunkFile f(b.Bytes());
  uint32_t value = 0;
  {
    CChunkReader::Payload payload(f.in, 4);
    ASSERT_TRUE(payload.Fits());
    ASSERT_TRUE(f.in.U32(value));
    EXPECT_TRUE(payload.Finished());
    EXPECT_FALSE(f.in.U32(value));
    EXPECT_FALSE(f.in.Skip(1));
    EXPECT_FALSE(f.in.NextTagIs("ABCD"));
    CChunkReader::Payload tooLarge(f.in, 1);
    EXPECT_FALSE(tooLarge.Fits());
  }
  EXPECT_EQ(f.in.BytesLeft(), 8u);
  ASSERT_TRUE(f.in.U32(value));
  EXPECT_EQ(value, 2u);
  EXPECT_EQ(f.file.ReadsPastEnd(), 0);
}

TEST(ChunkReader, TextIsAlwaysTerminated) {
  CChunkBuilder b;
  b.Text(std::string(8, 'n'), 8).Text("abc", 3);
  MemoryChunkFile f(b.Bytes());
  char name[8];
  ASSERT_TRUE(f.in.Text(name, sizeof name));
  EXPECT_STREQ(name, "nnnnnnn");
  char cut[8];
  memset(cut, 'x', sizeof cut);
  EXPECT_FALSE(f.in.Text(cut, sizeof cut));  // only 3 bytes left
  EXPECT_EQ(cut[7], '\0');
}

TEST(ChunkReader, NextTagIsLeavesAnotherTagInPlace) {
  CChunkBuilder b;
  b.Tag("KEYM").Tag("NAME");
  MemoryChunkFile f(b.Bytes());
  EXPECT_FALSE(f.in.NextTagIs("NAME"));
  EXPECT_EQ(f.in.Position(), 0u);
  EXPECT_TRUE(f.in.NextTagIs("KEYM"));
  EXPECT_TRUE(f.in.NextTagIs("NAME"));
  EXPECT_FALSE(f.in.NextTagIs("NAME"));  // the end of the file ends a run
}

}  // namespace
