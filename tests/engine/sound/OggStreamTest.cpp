#include "StreamedSoundFixture.h"
#include "WaveWriter.h"
#include "sound/OggStream.h"

namespace {

const std::string kOgg = "Ogg";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class OggStreamTest : public StreamedSoundFixture {
 protected:
  // A stereo 44100 Hz file of `seconds`.
  std::vector<uint8_t> WriteOgg(const std::string& name, double seconds, int channels = 2) {
    WriteFile(name, OggWriter(channels, 44100)
                        .Samples(Tone(static_cast<size_t>(seconds * 44100), channels))
                        .Bytes());
    return DecodeOgg(name);
  }
  // A streamed sound of `name`, played for a quarter second; null when it did not load.
  TonarisStream* PlayedAQuarterSecond(const std::string& name) {
    TonarisStream* sound = Load(name, 4);
    if (!sound) return nullptr;
    sound->Play();
    Step(250);
    return sound;
  }
};

TEST_F(OggStreamTest, RingHoldsTheDecodeAheadOfTheCursor) {
  const std::vector<uint8_t> decoded = WriteOgg("music.ogg", 3.0);
  ASSERT_GT(decoded.size(), 3u * kRing);
  TonarisStream* sound = Load("music.ogg", 4);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(Ring(sound, 0, kRing), Slice(decoded, 0, kRing));

  // Playing keeps the prefilled first half-second.
  ASSERT_EQ(sound->Play(), 1u);
  EXPECT_EQ(sound->GetIsPlayed(), 1u);
  EXPECT_EQ(Ring(sound, 0, kRing), Slice(decoded, 0, kRing));

  // A quarter second later the played quarter holds what follows the unplayed one.
  Step(250);
  ASSERT_EQ(Cursor(sound), kRing / 2);
  EXPECT_EQ(Ring(sound, kRing / 2, kRing / 2), Slice(decoded, kRing / 2, kRing / 2));
  EXPECT_EQ(Ring(sound, 0, kRing / 2), Slice(decoded, kRing, kRing / 2));
  EXPECT_EQ(sound->GetPositionInBytes(), kRing / 2);

  // And so on around the ring: from the cursor on, it always holds the next half-second.
  for (int step = 2; step <= 8; ++step) {
    Step(250);
    const size_t played = step * kRing / 2;
    EXPECT_EQ(Ring(sound, Cursor(sound), kRing), Slice(decoded, played, kRing)) << step;
  }
  EXPECT_DOUBLE_EQ(sound->GetPositionInSeconds(), 2.0);
}

TEST_F(OggStreamTest, LoopingSoundStartsOverAndOneShotEndsAfterItsLastByte) {
  const std::vector<uint8_t> decoded = WriteOgg("short.ogg", 0.3);
  const size_t length = decoded.size();
  ASSERT_LT(length, kRing);

  TonarisStream* looping = Load("short.ogg", 36);
  ASSERT_NE(looping, nullptr);
  std::vector<uint8_t> twice = decoded;
  twice.insert(twice.end(), decoded.begin(), decoded.end());
  EXPECT_EQ(Ring(looping, 0, kRing), Slice(twice, 0, kRing));
  looping->Play();
  for (int step = 0; step < 12; ++step) Step(250);
  EXPECT_EQ(looping->GetIsPlayed(), 1u);
  const size_t played = 12 * kRing / 2;
  const size_t at = played % length;
  std::vector<uint8_t> cycle(decoded.begin() + at, decoded.end());
  while (cycle.size() < kRing) cycle.insert(cycle.end(), decoded.begin(), decoded.end());
  EXPECT_EQ(Ring(looping, Cursor(looping), kRing), Slice(cycle, 0, kRing));

  // Without the loop flag the whole sound is heard, then silence, then it stops.
  TonarisStream* once = Load("short.ogg", 4);
  ASSERT_NE(once, nullptr);
  EXPECT_EQ(Ring(once, 0, kRing), Slice(decoded, 0, kRing));
  once->Play();
  EXPECT_EQ(once->GetIsPlayed(), 1u);
  EXPECT_EQ(StepsUntilStopped(once, 8), 2);  // 0.3 s of data, heard by the second refill
  DWORD status = 1;
  Buffer(once)->GetStatus(&status);
  EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u);
}

TEST_F(OggStreamTest, WholeFileSoundReportsItsCursorAndEnds) {
  const std::vector<uint8_t> decoded = WriteOgg("static.ogg", 2.0);
  TonarisStream* sound = Load("static.ogg", 64 | 4);
  ASSERT_NE(sound, nullptr);
  EXPECT_TRUE(static_cast<COggStream*>(sound)->IsStatic());
  EXPECT_EQ(Ring(sound, 0, static_cast<DWORD>(decoded.size())), decoded);
  sound->Play();
  Step(500);
  EXPECT_EQ(sound->GetPositionInBytes(), Cursor(sound));
  EXPECT_EQ(Cursor(sound), kBytesPerSecond / 2);
  EXPECT_DOUBLE_EQ(sound->GetPositionInSeconds(), Cursor(sound) / 176400.0);
  EXPECT_EQ(sound->GetIsPlayed(), 1u);
  Step(1600);
  EXPECT_EQ(sound->GetIsPlayed(), 0u);

  // A mono file fills half its buffer and plays the rest as silence; it too ends.
  const std::vector<uint8_t> mono = WriteOgg("mono.ogg", 1.0, 1);
  TonarisStream* monoSound = Load("mono.ogg", 64);
  ASSERT_NE(monoSound, nullptr);
  EXPECT_EQ(Ring(monoSound, 0, kBytesPerSecond), Slice(mono, 0, kBytesPerSecond));
  monoSound->Play();
  EXPECT_EQ(StepsUntilStopped(monoSound, 8), 4);
}

TEST_F(OggStreamTest, VolumeIsClippedToTheScale) {
  WriteOgg("music.ogg", 1.0);
  TonarisStream* sound = Load("music.ogg", 4);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->SetVolume(100), 1u);
  EXPECT_EQ(sound->GetVolume(), 0);
  EXPECT_EQ(sound->SetVolume(-20000), 1u);
  EXPECT_EQ(sound->GetVolume(), -10000);
  EXPECT_EQ(sound->SetVolume(-500), 1u);
  EXPECT_EQ(sound->GetVolume(), -500);
  EXPECT_TRUE(Contains(LogBody(),
                       Line(kOgg, "- (WARNING!!!) Clipping Volume To DSBVOLUME_MAX (Was: 100)\n") +
                           Line(kOgg, "- (WARNING!!!) Clipping Volume To DSBVOLUME_MIN (Was: "
                                      "-20000)\n")))
      << LogBody();
  // The buffer has no frequency control.
  EXPECT_EQ(sound->GetFrequency(), 0xFFFFFFFFu);
  EXPECT_EQ(sound->SetFrequency(22050), 0u);
}

TEST_F(OggStreamTest, SoundThatFailedToLoadRefusesEverything) {
  UINT success = 1;
  auto* sound = new COggStream(m_server, "missing.ogg", 0, success, kBytesPerSecond, 4);
  EXPECT_EQ(success, 0u);
  EXPECT_EQ(sound->GetFrequency(), 0xFFFFFFFFu);
  EXPECT_EQ(sound->SetVolume(0), 0u);
  EXPECT_EQ(sound->Reset(), 0u);
  EXPECT_EQ(sound->SetPositionInBytes(4), 0u);
  EXPECT_EQ(sound->GetPositionInBytes(), 0u);
  EXPECT_EQ(sound->GetIsPlayed(), 0u);
  sound->Release();
  EXPECT_TRUE(Contains(LogBody(), Line(kOgg, "  - Opening File: missing.ogg...\n") +
                                      Line(kOgg, "    - FAILED\n")))
      << LogBody();
}

TEST_F(OggStreamTest, SeeksAndResetPlayFreshDataFromTheWriteOffset) {
  const std::vector<uint8_t> decoded = WriteOgg("music.ogg", 3.0);
  TonarisStream* sound = Load("music.ogg", 4);
  ASSERT_NE(sound, nullptr);
  sound->Play();
  Step(250);
  Step(100);

  ASSERT_EQ(sound->SetPositionInBytes(kBytesPerSecond + 2), 1u);  // frame 44100
  EXPECT_EQ(sound->GetPositionInBytes(), kBytesPerSecond);
  EXPECT_EQ(Ring(sound, Cursor(sound), kRing), Slice(decoded, kBytesPerSecond, kRing));
  Step(250);
  EXPECT_EQ(Ring(sound, Cursor(sound), kRing),
            Slice(decoded, kBytesPerSecond + kRing / 2, kRing));

  ASSERT_EQ(sound->SetPositionInSeconds(2.0), 1u);
  EXPECT_EQ(sound->GetPositionInBytes(), 2 * kBytesPerSecond);
  EXPECT_EQ(Ring(sound, Cursor(sound), kRing), Slice(decoded, 2 * kBytesPerSecond, kRing));

  // The game's stop (Reset, then Stop) and a new Play start the music from its beginning.
  Step(100);
  ASSERT_EQ(sound->Reset(), 1u);
  ASSERT_EQ(sound->Stop(), 1u);
  EXPECT_EQ(sound->GetPositionInBytes(), 0u);
  ASSERT_EQ(sound->Play(), 1u);
  EXPECT_EQ(Ring(sound, Cursor(sound), kRing), Slice(decoded, 0, kRing));
  Step(250);
  EXPECT_EQ(sound->GetPositionInBytes(), kRing / 2);
}

TEST_F(OggStreamTest, LostBufferIsRestoredAndRefilled) {
  const std::vector<uint8_t> decoded = WriteOgg("music.ogg", 3.0);
  TonarisStream* sound = PlayedAQuarterSecond("music.ogg");
  ASSERT_NE(sound, nullptr);
  ZkTestSoundFailNextLock();
  Step(250);
  EXPECT_TRUE(Contains(LogBody(), Line(kOgg, "- FAILED to Lock DS Buffer\n"))) << LogBody();
  EXPECT_EQ(sound->GetIsPlayed(), 1u);
  DWORD status = 0;
  Buffer(sound)->GetStatus(&status);
  EXPECT_NE(status & DSBSTATUS_PLAYING, 0u);
  // Restarted where it was lost, with the data going on.
  EXPECT_EQ(Cursor(sound), 0u);
  EXPECT_EQ(Ring(sound, 0, kRing), Slice(decoded, kRing, kRing));
  Step(250);
  EXPECT_EQ(Ring(sound, Cursor(sound), kRing), Slice(decoded, kRing + kRing / 2, kRing));
}

TEST_F(OggStreamTest, ABufferThatStaysLostSkipsOneRefillAndIsRestoredAtTheNext) {
  const std::vector<uint8_t> decoded = WriteOgg("music.ogg", 3.0);
  TonarisStream* sound = PlayedAQuarterSecond("music.ogg");
  ASSERT_NE(sound, nullptr);
  ZkTestSoundFailNextLock();
  ZkTestSoundFailNextRestore();
  // The refill pass comes back instead of retrying while the card stays away.
  Step(250);
  const std::string skipped = LogBody();
  const std::string lost = Line(kOgg, "- FAILED to Lock DS Buffer\n");
  EXPECT_TRUE(Contains(skipped, lost + Line(kOgg, "- FAILED to Restore DS Buffer\n") +
                                    Line(kOgg, "- FAILED to Lock DS Buffer Again, Skipping This "
                                               "Refill\n")))
      << skipped;
  DWORD status = 0;
  Buffer(sound)->GetStatus(&status);
  EXPECT_NE(status & DSBSTATUS_BUFFERLOST, 0u);
  EXPECT_EQ(sound->GetIsPlayed(), 1u);

  // The next period restores it and goes on with the data that was due.
  Step(250);
  Buffer(sound)->GetStatus(&status);
  EXPECT_NE(status & DSBSTATUS_PLAYING, 0u);
  EXPECT_EQ(LogBody().substr(skipped.size()), lost);
  EXPECT_EQ(Ring(sound, Cursor(sound), kRing), Slice(decoded, kRing, kRing));
}

}  // namespace
