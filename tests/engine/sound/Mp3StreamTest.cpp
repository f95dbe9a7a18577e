#include <numeric>

#include "StreamedSoundFixture.h"
#include "WaveWriter.h"

namespace {

const std::string kMp3 = "Mp3";

class Mp3StreamTest : public StreamedSoundFixture {
 protected:
  std::vector<uint8_t> WriteMp3(const std::string& name, double seconds, double seed = 1.0) {
    WriteFile(name,
              Mp3Writer(2, 44100).Samples(Tone(static_cast<size_t>(seconds * 44100), 2, seed)).Bytes());
    return DecodeMp3(name);
  }
};

TEST_F(Mp3StreamTest, PlaysOnceAndNeitherSeeksNorLoops) {
  const std::vector<uint8_t> decoded = WriteMp3("song.mp3", 1.0);
  ASSERT_GT(decoded.size(), kRing);
  TonarisStream* sound = Load("song.mp3", 32 | 4);  // the loop flag means nothing here
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(Ring(sound, 0, kRing), Slice(decoded, 0, kRing));
  ASSERT_EQ(sound->Play(), 1u);
  EXPECT_EQ(sound->Play(), 0u);
  Step(250);
  EXPECT_EQ(sound->Reset(), 0u);
  EXPECT_EQ(sound->SetPositionInBytes(0), 0u);
  EXPECT_EQ(sound->SetPositionInSeconds(0.0), 0u);
  EXPECT_EQ(Ring(sound, Cursor(sound), kRing), Slice(decoded, kRing / 2, kRing));
  EXPECT_EQ(sound->GetPositionInBytes(), kRing / 2);
  // About 1.05 s of frames: heard to the end, then stopped, never started over.
  EXPECT_EQ(StepsUntilStopped(sound, 12), 4);
  EXPECT_TRUE(LogBody().find(Line(kMp3, "- Reset Mp3\n")) != std::string::npos);
}

TEST_F(Mp3StreamTest, TwoSoundsEachPlayTheirOwnFile) {
  WriteMp3("tone.mp3", 2.0);
  WriteFile("quiet.mp3", Mp3Writer(2, 44100).Samples(std::vector<int16_t>(2 * 88200, 0)).Bytes());
  TonarisStream* tone = Load("tone.mp3", 4);
  TonarisStream* quiet = Load("quiet.mp3", 4);
  ASSERT_NE(tone, nullptr);
  ASSERT_NE(quiet, nullptr);
  tone->Play();
  quiet->Play();
  // Heard through the loopback output, a tenth of a second at a time.
  std::vector<float> heard;
  for (int step = 0; step < 15; ++step) {
    ZkTestClockAdvance(100'000);
    m_server->UpdateStreams();
    std::vector<float> block(2 * 4410);
    ASSERT_TRUE(ZkTestSoundRender(block.data(), 4410));
    heard.insert(heard.end(), block.begin(), block.end());
  }
  // Past the prefilled half-second the tone's own file still sounds.
  const auto energy = [&](size_t from, size_t to) {
    return std::accumulate(heard.begin() + from, heard.begin() + to, 0.0,
                           [](double sum, float s) { return sum + s * s; });
  };
  EXPECT_GT(energy(2 * 44100, 2 * 66150), 1000.0);
  // And the quiet one's is still quiet on its own.
  tone->Stop();
  EXPECT_EQ(tone->GetIsPlayed(), 0u);
  EXPECT_EQ(quiet->GetIsPlayed(), 1u);
  Release(tone);
  heard.clear();
  for (int step = 0; step < 3; ++step) {
    ZkTestClockAdvance(100'000);
    m_server->UpdateStreams();
    std::vector<float> block(2 * 4410);
    ASSERT_TRUE(ZkTestSoundRender(block.data(), 4410));
    heard.insert(heard.end(), block.begin(), block.end());
  }
  EXPECT_LT(energy(2 * 4410, heard.size()), 1.0);
}

struct StopCase {
  const char* name;
  bool mp3;
};

class FrozenPositionTest : public Mp3StreamTest,
                           public ::testing::WithParamInterface<StopCase> {};

TEST_P(FrozenPositionTest, PositionStaysPutWhileStopped) {
  const StopCase& kind = GetParam();
  if (kind.mp3)
    WriteMp3(kind.name, 2.0);
  else
    WriteFile(kind.name, OggWriter(2, 44100).Samples(Tone(88200, 2)).Bytes());
  TonarisStream* sound = Load(kind.name, 4);
  ASSERT_NE(sound, nullptr);
  sound->Play();
  Step(250);
  ZkTestClockAdvance(100'000);
  const UINT playing = sound->GetPositionInBytes();
  EXPECT_EQ(playing, kRing / 2 + 17640u);  // the refill's count plus 100 ms
  ASSERT_EQ(sound->Stop(), 1u);
  ZkTestClockAdvance(2'000'000);
  EXPECT_EQ(sound->GetPositionInBytes(), playing);
  EXPECT_DOUBLE_EQ(sound->GetPositionInSeconds(), playing / 176400.0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FrozenPositionTest,
                         ::testing::Values(StopCase{"song.ogg", false}, StopCase{"song.mp3", true}),
                         [](const auto& info) { return std::string(info.param.mp3 ? "Mp3" : "Ogg"); });

// Broken files: each is refused with its log line, or loads and plays to an end; the refills
// never hang on one.
struct BrokenCase {
  const char* label;
  const char* name;
  std::string (*bytes)(const std::string& ogg, const std::string& mp3);
  bool loads;
};

std::string Garbage(size_t bytes) {
  std::string out;
  uint32_t state = 12345;
  for (size_t i = 0; i < bytes; ++i) {
    state = state * 1103515245 + 12345;
    out += static_cast<char>(state >> 24);
  }
  return out;
}

const BrokenCase kBroken[] = {
    {"OggEmpty", "broken.ogg", [](const std::string&, const std::string&) { return std::string(); }, false},
    {"OggCutInHeaders", "broken.ogg", [](const std::string& ogg, const std::string&) { return ogg.substr(0, 200); }, false},
    {"OggCutMidStream", "broken.ogg", [](const std::string& ogg, const std::string&) { return ogg.substr(0, ogg.size() / 2); }, true},
    {"OggGarbageAfterStart", "broken.ogg", [](const std::string& ogg, const std::string&) { return ogg.substr(0, ogg.size() / 3) + Garbage(20000); }, false},
    {"OggHoldingWave", "broken.ogg", [](const std::string&, const std::string&) { return WaveWriter(2, 44100, 16).Samples(std::vector<int16_t>(8000, 7)).Bytes(); }, false},
    {"Mp3Empty", "broken.mp3", [](const std::string&, const std::string&) { return std::string(); }, true},
    {"Mp3CutInHeader", "broken.mp3", [](const std::string&, const std::string& mp3) { return mp3.substr(0, 3); }, true},
    {"Mp3CutMidStream", "broken.mp3", [](const std::string&, const std::string& mp3) { return mp3.substr(0, mp3.size() / 2); }, true},
    {"Mp3GarbageAfterStart", "broken.mp3", [](const std::string&, const std::string& mp3) { return mp3.substr(0, mp3.size() / 3) + Garbage(20000); }, true},
    {"Mp3HoldingOgg", "broken.mp3", [](const std::string& ogg, const std::string&) { return ogg; }, true},
};

class BrokenFileTest : public Mp3StreamTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenFileTest, RefusedOrPlayedToItsEnd) {
  const BrokenCase& broken = GetParam();
  const std::vector<int16_t> samples = Tone(88200, 2);
  WriteFile(broken.name, broken.bytes(OggWriter(2, 44100).Samples(samples).Bytes(),
                                      Mp3Writer(2, 44100).Samples(samples).Bytes()));
  TonarisStream* sound = Load(broken.name, 4);
  ASSERT_EQ(sound != nullptr, broken.loads) << LogBody();
  if (!sound) {
    EXPECT_NE(LogBody().find(Line("Ogg", "    - FAILED\n")), std::string::npos) << LogBody();
    return;
  }
  sound->Play();
  // Two seconds of data at most, and some silence for damaged stretches.
  EXPECT_TRUE(StepsUntilStopped(sound, 200).has_value());
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenFileTest, ::testing::ValuesIn(kBroken),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
