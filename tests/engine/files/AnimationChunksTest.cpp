#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ChunkBuilder.h"
#include "ChunkStreams.h"
#include "RecordingEngineLog.h"
#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSChannelEnvelopeExporter.h"
#include "files/ZKSEnvelopeExporter.h"
#include "files/ZKSKeyExporter.h"
#include "files/ZKSMotionExporter.h"
#include "scene/Envelope.h"
#include "scene/Motion.h"

namespace {

class AnimationChunks : public testing::Test {
 protected:
  CZKSEnvelopeExporter* Envelopes() { return reader.GetEnvelopeExporter(); }
  CZKSMotionExporter* Motions() { return reader.GetMotionExporter(); }

  // Writes through `write` into a fresh stream; checks that the running total counted every
  // byte and returns the bytes.
  std::vector<uint8_t> Write(const std::function<bool(FILE*, UINT&)>& write) {
    WrittenStream stream;
    UINT total = 0;
    EXPECT_TRUE(write(stream.Stream(), total));
    std::vector<uint8_t> bytes = stream.Bytes();
    EXPECT_EQ(total, bytes.size());
    return bytes;
  }

  CRecordingEngineLog log;
  bool ok = false;
  CZKReader reader{nullptr, &log, ok};
};

void AddKeys(CChannelEnvelope& channel, int count, float seed) {
  for (int i = 0; i < count; ++i) {
    const float f = seed + static_cast<float>(i);
    ASSERT_EQ(channel.AddKeyData(f * 2, f, static_cast<UINT>(i) % 6, f / 10, -f / 10, f / 20,
                                 f + 0.25f, f + 0.5f, f + 0.75f, -f),
              1u);
  }
  channel.SetPreBehaviour(static_cast<UINT>(seed) % 6);
  channel.SetPostBehaviour(5);
}

void ExpectSameChannel(CChannelEnvelopeInterface* expected, CChannelEnvelopeInterface* actual) {
  ASSERT_EQ(actual->GetNumberOfKeys(), expected->GetNumberOfKeys());
  EXPECT_EQ(actual->GetPreBehaviour(), expected->GetPreBehaviour());
  EXPECT_EQ(actual->GetPostBehaviour(), expected->GetPostBehaviour());
  CKeyInterface* previous = nullptr;
  CKeyInterface* want = expected->GetKey(0u);
  for (CKeyInterface* key = actual->GetKey(0u); key != nullptr; key = key->GetNextKey()) {
    ASSERT_NE(want, nullptr);
    EXPECT_TRUE(key->IsEqual(want)) << "key at " << key->GetKeyTime();
    EXPECT_EQ(key->GetPrevKey(), previous);
    previous = key;
    want = want->GetNextKey();
  }
  EXPECT_EQ(want, nullptr);
}

void KeyChunk(CChunkBuilder& b, float time, uint32_t size = 40) {
  b.Begin("KEYM", size)
      .U32(KEY_SHAPE_LINEAR)
      .F32(0)
      .F32(0)
      .F32(0)
      .F32(time)
      .F32(1)
      .F32(0)
      .F32(0)
      .F32(0)
      .F32(0);
  for (uint32_t extra = 40; extra < size; extra += 4) b.U32(0);
  b.End();
}

void ChannelChunk(CChunkBuilder& b, uint32_t count, const std::vector<float>& times) {
  b.Begin("CENV").U32(count).U32(1).U32(1);
  for (float time : times) KeyChunk(b, time);
  b.End();
}

TEST_F(AnimationChunks, ConstantEnvelopeIsTwelveBytes) {
  CEnvelope constant(0, nullptr, 0.5f);
  const std::vector<uint8_t> bytes =
      Write([&](FILE* s, UINT& total) { return Envelopes()->WriteEnvelope(&constant, s, total); });
  const std::vector<uint8_t> expected = {'E', 'N', 'V', 'N', 4, 0, 0, 0, 0, 0, 0, 0x3F};
  EXPECT_EQ(bytes, expected);

  CEnvelope loaded(1, nullptr, 0);
  MemoryChunkFile f(bytes);
  ASSERT_TRUE(Envelopes()->ReadEnvelope(&loaded, f.in));
  EXPECT_EQ(loaded.GetIsEnvelope(), 0u);
  EXPECT_EQ(loaded.GetValue(), 0.5f);
}

TEST_F(AnimationChunks, KeyedEnvelopeRoundTrips) {
  CEnvelope keyed;
  AddKeys(keyed.Channel(), 6, 3);
  keyed.SetIsEnvelope(1);
  const std::vector<uint8_t> bytes =
      Write([&](FILE* s, UINT& total) { return Envelopes()->WriteEnvelope(&keyed, s, total); });
  ASSERT_EQ(bytes.size(), 8u + 8 + 12 + 6 * 48);
  EXPECT_EQ(U32At(bytes, 4), 8u + 12 + 6 * 48);  // "ENVY" holds one "CENV"
  EXPECT_EQ(U32At(bytes, 12), 12u + 6 * 48);

  CEnvelope loaded(0, nullptr, 9.0f);
  AddKeys(loaded.Channel(), 2, 40);  // replaced, not merged
  MemoryChunkFile f(bytes);
  ASSERT_TRUE(Envelopes()->ReadEnvelope(&loaded, f.in));
  EXPECT_EQ(loaded.GetIsEnvelope(), 1u);
  EXPECT_EQ(loaded.GetValue(), 0.0f);
  ExpectSameChannel(keyed.GetChannelEnvelope(), loaded.GetChannelEnvelope());
  EXPECT_TRUE(f.in.AtEnd());
  EXPECT_TRUE(log.TextAt(CEngineLog::kLevelError).empty());
}

TEST_F(AnimationChunks, KeyFieldsStandInTheirFileOrder) {
  CChannelEnvelope channel;
  ASSERT_EQ(channel.AddKeyData(5, 4, KEY_SHAPE_BEZIER, 0.1f, 0.2f, 0.3f, 6, 7, 8, 9), 1u);
  const std::vector<uint8_t> bytes = Write([&](FILE* s, UINT& total) {
    return reader.GetKeyExporter()->WriteKey(channel.GetKey(0u), s, total);
  });
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "KEYM");
  EXPECT_EQ(U32At(bytes, 4), 40u);
  EXPECT_EQ(U32At(bytes, 8), uint32_t{KEY_SHAPE_BEZIER});
  const float expected[] = {0.3f, 0.2f, 0.1f, 4, 5, 6, 7, 8, 9};  // bias, continuity, tension first
  for (size_t i = 0; i < 9; ++i) {
    float value;
    const uint32_t bits = U32At(bytes, 12 + 4 * i);
    memcpy(&value, &bits, 4);
    EXPECT_EQ(value, expected[i]) << "field " << i + 2;
  }
}

TEST_F(AnimationChunks, ChannelWithoutKeysHasSizeTwelve) {
  CChannelEnvelope empty;
  empty.SetPreBehaviour(3);
  const std::vector<uint8_t> bytes = Write([&](FILE* s, UINT& total) {
    return reader.GetChannelEnvelopeExporter()->WriteChannel(&empty, s, total);
  });
  ASSERT_EQ(bytes.size(), 20u);
  EXPECT_EQ(U32At(bytes, 4), 12u);

  CChannelEnvelope loaded;
  AddKeys(loaded, 3, 1);
  MemoryChunkFile f(bytes);
  ChunkTag tag;
  ASSERT_TRUE(f.in.Tag(tag));
  ASSERT_TRUE(reader.GetChannelEnvelopeExporter()->ReadChannel(&loaded, f.in));
  EXPECT_EQ(loaded.GetNumberOfKeys(), 0u);
  EXPECT_EQ(loaded.GetPreBehaviour(), 3u);
}

TEST_F(AnimationChunks, MotionWithoutChannels) {
  CMotion motion;
  const std::vector<uint8_t> bytes =
      Write([&](FILE* s, UINT& total) { return Motions()->WriteMotion(&motion, s, total); });
  ASSERT_EQ(bytes.size(), 20u);
  EXPECT_EQ(U32At(bytes, 4), 0u);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "CHNN");
  EXPECT_EQ(U32At(bytes, 12), 4u);
  EXPECT_EQ(U32At(bytes, 16), 0u);

  CMotion loaded;
  loaded.SetNumberOfChannels(4);
  MemoryChunkFile f(bytes);
  ChunkTag tag;
  ASSERT_TRUE(f.in.Tag(tag));
  ASSERT_TRUE(Motions()->ReadMotion(&loaded, f.in));
  EXPECT_EQ(loaded.GetNumberOfChannels(), 0u);
}

// The last motion of a container ends its run at the container's end; a motion followed by
// another chunk leaves that chunk's tag to its caller.
TEST_F(AnimationChunks, FullMotionRoundTripsAtTheEndAndInsideAFile) {
  CMotion motion;
  for (UINT channel = 0; channel < MOTION_CHANNELS; ++channel)
    AddKeys(*motion.GetChannel(channel), static_cast<int>(channel), static_cast<float>(channel));
  motion.SetNumberOfChannels(MOTION_CHANNELS);
  const std::vector<uint8_t> bytes =
      Write([&](FILE* s, UINT& total) { return Motions()->WriteMotion(&motion, s, total); });
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8 - 12);  // the size word leaves "CHNN" out

  for (bool followed : {false, true}) {
    SCOPED_TRACE(followed ? "followed by a chunk" : "at the end of the file");
    std::vector<uint8_t> file = bytes;
    if (followed) {
      CChunkBuilder next;
      next.U32Chunk("NEXT", 1);
      file.insert(file.end(), next.Bytes().begin(), next.Bytes().end());
    }
    CMotion loaded;
    MemoryChunkFile f(file);
    ChunkTag tag;
    ASSERT_TRUE(f.in.Tag(tag));
    ASSERT_TRUE(Motions()->ReadMotion(&loaded, f.in));
    ASSERT_EQ(loaded.GetNumberOfChannels(), MOTION_CHANNELS);
    for (UINT channel = 0; channel < MOTION_CHANNELS; ++channel)
      ExpectSameChannel(motion.GetChannel(channel), loaded.GetChannel(channel));
    EXPECT_EQ(f.in.Position(), bytes.size());
    EXPECT_EQ(f.file.ReadsPastEnd(), 0);
  }
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");
}

// How scene, light and surface chunks hold an envelope: a chunk ("AINT") whose payload is one
// envelope chunk, written as a container and read by WrappedChunk.
TEST_F(AnimationChunks, EnvelopeInsideAWrappingChunk) {
  CEnvelope keyed;
  AddKeys(keyed.Channel(), 2, 1);
  keyed.SetIsEnvelope(1);
  const std::vector<uint8_t> bytes = Write([&](FILE* s, UINT& total) {
    CChunkWriter out(s, total);
    return out.Container("AINT", [&] { return Envelopes()->WriteEnvelope(&keyed, s, total); });
  });
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);

  struct Case {
    const char* name;
    int sizeChange;  // added to the stored "AINT" size
    bool loads;
    bool envelopeRead;  // the envelope itself was whole; only its wrapper is wrong
  };
  for (const Case& c :
       {Case{"exact", 0, true, true}, Case{"longer than its envelope", 4, false, true},
        Case{"shorter than its envelope", -4, false, false}}) {
    SCOPED_TRACE(c.name);
    CChunkBuilder b;
    b.Raw(bytes.data(), 4).U32(uint32_t(int(bytes.size()) - 8 + c.sizeChange));
    b.Raw(bytes.data() + 8, bytes.size() - 8).U32(0);
    CEnvelope loaded;
    MemoryChunkFile f(b.Bytes());
    ChunkTag tag;
    ASSERT_TRUE(f.in.Tag(tag));
    EXPECT_EQ(f.in.WrappedChunk([&] { return Envelopes()->ReadEnvelope(&loaded, f.in); }), c.loads);
    EXPECT_EQ(loaded.GetIsEnvelope(), c.envelopeRead ? 1u : 0u);
    EXPECT_EQ(f.file.ReadsPastEnd(), 0);
  }
}

TEST_F(AnimationChunks, WritersFailOnARefusingStream) {
  RefusingStream stream;
  UINT total = 0;
  CEnvelope keyed;
  AddKeys(keyed.Channel(), 2, 1);
  keyed.SetIsEnvelope(1);
  CEnvelope constant(0, nullptr, 1);
  CMotion motion;
  EXPECT_FALSE(Envelopes()->WriteEnvelope(&keyed, stream.Stream(), total));
  EXPECT_FALSE(Envelopes()->WriteEnvelope(&constant, stream.Stream(), total));
  EXPECT_FALSE(Motions()->WriteMotion(&motion, stream.Stream(), total));
  EXPECT_EQ(total, 0u);
}

// ---------------------------------------------------------------------------------------------
// Malformed envelopes and motions: each fails with its messages, reads nothing outside the file
// and leaves the object it was reading into as it was.

struct MalformedAnimation {
  const char* name;
  bool motion;  // read with ReadMotion after the "MOTN" tag, else with ReadEnvelope
  std::function<void(CChunkBuilder&)> build;
  std::string errors;
  std::string infos = "";
};

class MalformedAnimationTest : public AnimationChunks,
                               public testing::WithParamInterface<MalformedAnimation> {};

TEST_P(MalformedAnimationTest, FailsWithItsMessages) {
  const MalformedAnimation& c = GetParam();
  CChunkBuilder b;
  c.build(b);
  MemoryChunkFile f(b.Bytes());
  log.entries.clear();
  if (c.motion) {
    CMotion motion;
    motion.SetNumberOfChannels(2);
    ASSERT_EQ(motion.GetChannel(0)->AddKeyData(1, 99, 0, 0, 0, 0, 0, 0, 0, 0), 1u);
    ChunkTag tag;
    ASSERT_TRUE(f.in.Tag(tag));
    EXPECT_FALSE(Motions()->ReadMotion(&motion, f.in));
    EXPECT_EQ(motion.GetNumberOfChannels(), 2u);
    ASSERT_EQ(motion.GetChannel(0)->GetNumberOfKeys(), 1u);
    EXPECT_EQ(motion.GetChannel(0)->GetKey(0u)->GetKeyTime(), 99.0f);
  } else {
    CEnvelope envelope(0, nullptr, 7.0f);
    ASSERT_EQ(envelope.Channel().AddKeyData(1, 99, 0, 0, 0, 0, 0, 0, 0, 0), 1u);
    EXPECT_FALSE(Envelopes()->ReadEnvelope(&envelope, f.in));
    EXPECT_EQ(envelope.GetIsEnvelope(), 0u);
    EXPECT_EQ(envelope.GetValue(), 7.0f);
    ASSERT_EQ(envelope.Channel().GetNumberOfKeys(), 1u);
    EXPECT_EQ(envelope.Channel().GetKey(0u)->GetKeyTime(), 99.0f);
  }
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), c.errors);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), c.infos);
  EXPECT_EQ(f.file.ReadsPastEnd(), 0);
}

const std::string kEnvelopeSize = "ERROR! - Envelope size Is Incorrect\n";
const std::string kChannelSize = "ERROR! - Channel Envelope - Incorrect Size\n";
const std::string kNoEnvelopeChannel = "ERROR! - Can't Load Channel For Envelope\n";
const std::string kNoMotionChannel = "ERROR! - Can't Load Channel\n";

void Envy(CChunkBuilder& b, const std::function<void(CChunkBuilder&)>& payload) {
  b.Chunk("ENVY", payload);
}

void Motn(CChunkBuilder& b, uint32_t count, uint32_t channels) {
  b.Begin("MOTN").U32Chunk("CHNN", count);
  for (uint32_t i = 0; i < channels; ++i) ChannelChunk(b, 1, {float(i)});
  b.End();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedAnimationTest,
    testing::Values(
        MalformedAnimation{
            "ConstantWithWrongSize", false,
            [](CChunkBuilder& b) { b.Chunk("ENVN", [](CChunkBuilder& c) { c.F32(1).U32(0); }); },
            kEnvelopeSize},
        MalformedAnimation{"UnknownEnvelopeTag", false,
                           [](CChunkBuilder& b) { b.U32Chunk("ENVX", 0); },
                           "ERROR! - Unknown Chunk In Envelope: ENVX\n"},
        MalformedAnimation{
            "EnvelopeWithoutChannel", false,
            [](CChunkBuilder& b) { Envy(b, [](CChunkBuilder& c) { KeyChunk(c, 0); }); },
            "ERROR! - Envelope Load Error, CENV Expected\n"},
        MalformedAnimation{"EnvelopeSizePastTheFile", false,
                           [](CChunkBuilder& b) {
                             b.Begin("ENVY", 500);
                             ChannelChunk(b, 1, {0});
                             b.End();
                           },
                           kEnvelopeSize},
        MalformedAnimation{"EnvelopeWithTrailingBytes", false,
                           [](CChunkBuilder& b) {
                             Envy(b, [](CChunkBuilder& c) {
                               ChannelChunk(c, 1, {0});
                               c.U32(0);
                             });
                           },
                           kEnvelopeSize},
        MalformedAnimation{"ChannelCrossesItsEnvelope", false,
                           [](CChunkBuilder& b) {
                             b.Begin("ENVY", 50);
                             ChannelChunk(b, 1, {0});
                             b.End();
                           },
                           kChannelSize + kNoEnvelopeChannel},
        MalformedAnimation{"KeyCountAboveItsKeys", false,
                           [](CChunkBuilder& b) {
                             Envy(b, [](CChunkBuilder& c) { ChannelChunk(c, 3, {0, 1}); });
                           },
                           kChannelSize + kNoEnvelopeChannel},
        MalformedAnimation{"KeyCountNoFileCouldHold", false,
                           [](CChunkBuilder& b) {
                             Envy(b, [](CChunkBuilder& c) { ChannelChunk(c, 0xFFFFFFFFu, {0}); });
                           },
                           kChannelSize + kNoEnvelopeChannel},
        MalformedAnimation{
            "MoreKeysThanTheCount", false,
            [](CChunkBuilder& b) {
              Envy(b, [](CChunkBuilder& c) { ChannelChunk(c, 1, {0, 1, 2}); });
            },
            "ERROR! - Wrong Number Of Keys In Channel: 3 - 1\n" + kNoEnvelopeChannel},
        MalformedAnimation{
            "FewerKeysThanTheCount", false,
            [](CChunkBuilder& b) {
              Envy(b, [](CChunkBuilder& c) {
                c.Begin("CENV").U32(2).U32(1).U32(1);
                KeyChunk(c, 0);
                c.Chunk("ZZZZ", [](CChunkBuilder& z) { z.Raw(std::vector<uint8_t>(40)); });
                c.End();
              });
            },
            "ERROR! - Wrong Number Of Keys In Channel: 1 - 2\n" + kNoEnvelopeChannel},
        MalformedAnimation{"UnknownChunkAmongKeys", false,
                           [](CChunkBuilder& b) {
                             Envy(b, [](CChunkBuilder& c) {
                               c.Begin("CENV").U32(1).U32(1).U32(1);
                               KeyChunk(c, 0);
                               c.U32Chunk("ZZZZ", 0);
                               c.End();
                             });
                           },
                           kChannelSize + kNoEnvelopeChannel},
        MalformedAnimation{"KeyOfSize44", false,
                           [](CChunkBuilder& b) {
                             Envy(b, [](CChunkBuilder& c) {
                               c.Begin("CENV").U32(1).U32(1).U32(1);
                               KeyChunk(c, 0, 44);
                               c.End();
                             });
                           },
                           "ERROR! - Can't Load Key\n" + kNoEnvelopeChannel,
                           "ERORR! - Key Size Is Incorrect\n"},
        MalformedAnimation{
            "KeysSharingATime", false,
            [](CChunkBuilder& b) { Envy(b, [](CChunkBuilder& c) {
                                     ChannelChunk(c, 2, {5, 5});
                                   }); },
            "ERROR! - Channel Envelope - Keys Are Not In Time Order\n" + kNoEnvelopeChannel},
        MalformedAnimation{"FileCutInsideAKey", false,
                           [](CChunkBuilder& b) {
                             CChunkBuilder whole;
                             Envy(whole, [](CChunkBuilder& c) { ChannelChunk(c, 2, {0, 1}); });
                             b.Raw(whole.Truncated(60));
                           },
                           kEnvelopeSize},
        MalformedAnimation{"MotionWithoutChnn", true,
                           [](CChunkBuilder& b) {
                             b.Begin("MOTN");
                             ChannelChunk(b, 1, {0});
                             b.End();
                           },
                           "ERROR! - Error when Loading Motion, CHNN Expected - CENV\n"},
        MalformedAnimation{
            "ChnnOfWrongSize", true,
            [](CChunkBuilder& b) {
              b.Begin("MOTN").Chunk("CHNN", [](CChunkBuilder& c) { c.U32(0).U32(0); }).End();
            },
            "ERROR! - Motion::CHNN Incorrect Size\n"},
        MalformedAnimation{"FewerChannelsThanChnn", true, [](CChunkBuilder& b) { Motn(b, 3, 2); },
                           "ERROR! - Wrong Number Of Channels In Motion: 2 - 3\n"},
        MalformedAnimation{"MoreChannelsThanChnn", true, [](CChunkBuilder& b) { Motn(b, 1, 2); },
                           "ERROR! - Wrong Number Of Channels In Motion: 2 - 1\n"},
        MalformedAnimation{"TenChannelsForNine", true, [](CChunkBuilder& b) { Motn(b, 9, 10); },
                           "ERROR! - Wrong Number Of Channels In Motion: 10 - 9\n"},
        MalformedAnimation{"ChnnAboveNine", true, [](CChunkBuilder& b) { Motn(b, 10, 10); },
                           "ERROR! - Too Many Channels In Motion: 10\n"},
        MalformedAnimation{"ChannelWithBrokenKey", true,
                           [](CChunkBuilder& b) {
                             b.Begin("MOTN").U32Chunk("CHNN", 1).Begin("CENV").U32(1).U32(1).U32(1);
                             KeyChunk(b, 0, 44);
                             b.End().End();
                           },
                           "ERROR! - Can't Load Key\n" + kNoMotionChannel,
                           "ERORR! - Key Size Is Incorrect\n"},
        MalformedAnimation{
            "ChannelPastTheFile", true,
            [](CChunkBuilder& b) {
              b.Begin("MOTN").U32Chunk("CHNN", 1).Begin("CENV", 1000).U32(0).End().End();
            },
            kChannelSize + kNoMotionChannel}),
    [](const testing::TestParamInfo<MalformedAnimation>& info) { return info.param.name; });

}  // namespace
