#include <numeric>

#include "StreamedSoundFixture.h"
#include "WaveWriter.h"
#include "sound/Voice.h"
#include "sound/VoiceManager.h"
#include "sound/WaveStream.h"

namespace {

const std::string kVoices = "QmrSoundVoiceManager";
const std::string kWave = "Wave";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<uint8_t> BytesOf(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (int16_t sample : samples) {
    bytes.push_back(static_cast<uint8_t>(sample & 0xFF));
    bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(sample) >> 8));
  }
  return bytes;
}

class WaveStreamTest : public StreamedSoundFixture {
 protected:
  DWORD ConfigFlags() const override { return 2; }

  // A 22050 Hz 16-bit file of `frames` frames; its samples.
  std::vector<int16_t> WriteWave(const std::string& name, int channels, size_t frames = 2205) {
    const std::vector<int16_t> samples = Tone(frames, channels);
    WriteFile(name, WaveWriter(static_cast<uint16_t>(channels), 22050, 16).Samples(samples).Bytes());
    return samples;
  }

  int NumberOfVoices() const {
    int count = 0;
    for (CVoice* voice = m_server->GetVoiceManager()->GetFirstVoice(); voice;
         voice = voice->GetNext())
      ++count;
    return count;
  }

  size_t Count(const std::string& part) const {
    const std::string body = LogBody();
    size_t count = 0;
    for (size_t at = body.find(part); at != std::string::npos; at = body.find(part, at + 1))
      ++count;
    return count;
  }
};

struct FileCase {
  const char* name;
  std::string bytes;
  const char* line;  // null: the file loads
};

std::string Header36() {
  // RIFF, WAVE and a plain 16-byte fmt chunk of a mono 22050 Hz file.
  return WaveWriter(1, 22050, 16).Data("").Bytes().substr(0, 36);
}

TEST_F(WaveStreamTest, WaveFilesLoadByScanningForDataOrFailWithTheirReason) {
  const std::vector<int16_t> samples = Tone(441, 1);
  const auto wave = [&] { return WaveWriter(1, 22050, 16).Samples(samples); };
  const std::string good = wave().Bytes();
  const auto patched = [&](size_t at, const std::string& with) {
    return std::string(good).replace(at, with.size(), with);
  };
  const std::string cantRead = "  - Can't Read From The File\n";
  const std::string noData = "  - Can't Find \"data\" Chunk\n";
  const std::vector<FileCase> cases = {
      {"list.wav", wave().ChunkBeforeData("LIST", "INFOISFT\x04\0\0\0zk\0\0").Bytes(), nullptr},
      {"fact.wav", wave().ChunkBeforeData("fact", std::string("\xb9\x01\0\0", 4)).Bytes(),
       nullptr},
      {"longfmt.wav", wave().FormatExtra(22).Bytes(), nullptr},
      {"notriff.wav", patched(0, "RIFX"), "ERROR! - Not A Wave File (1)\n"},
      {"notwave.wav", patched(8, "AVI "), "ERROR! - Not A Wave File (2)\n"},
      {"nofmt.wav", patched(12, "fxt "), "ERROR! - Not A Wave File (3)\n"},
      {"nodata.wav", patched(36, "DATA"), noData.c_str()},
      {"toolong.wav", wave().DataSize(0x7FFFFFF0).Bytes(), cantRead.c_str()},
      {"oneover.wav", wave().DataSize(samples.size() * 2 + 1).Bytes(), cantRead.c_str()},
      {"empty.wav", "", cantRead.c_str()},
      {"twelve.wav", good.substr(0, 12), cantRead.c_str()},
      {"dat.wav", Header36() + "dat", noData.c_str()},
      {"nosize.wav", Header36() + "data", cantRead.c_str()},
      // Channels times bits past what an int holds.
      {"hugeformat.wav", WaveWriter(54554, 22050, 43800).Data("abcd").Bytes(),
       "    - FAILED (DSERR_BADFORMAT - The wave format is not supported)\n"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(c.name, c.bytes);
    TonarisStream* sound = Load(c.name, 4);
    if (!c.line) {
      ASSERT_NE(sound, nullptr) << LogBody();
      // The data chunk's bytes, and nothing of the chunks before it.
      EXPECT_EQ(Ring(sound, 0, samples.size() * 2), BytesOf(samples));
      continue;
    }
    EXPECT_EQ(sound, nullptr);
    const std::string body = LogBody();
    const size_t creating = body.rfind(Line(kVoices, std::string("- Creating Voice: ") + c.name));
    ASSERT_NE(creating, std::string::npos);
    EXPECT_TRUE(Contains(body.substr(creating), Line(kVoices, c.line))) << body.substr(creating);
    EXPECT_TRUE(Contains(body.substr(creating),
                         Line(kVoices, std::string("ERROR!!! - Can't Load Voice: ") + c.name)));
  }
  EXPECT_EQ(NumberOfVoices(), 3);
}

TEST_F(WaveStreamTest, VoicesAreSharedByPathAndFlags) {
  WriteWave("step.wav", 1);
  TonarisStream* first = Load("step.wav", 4);
  TonarisStream* second = Load("step.wav", 4);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(NumberOfVoices(), 1);
  EXPECT_EQ(Count(Line(kVoices, "  - Aready Exists\n")), 1u);
  // The same file with 3D control is another voice; so is another spelling of its path.
  ASSERT_NE(Load("step.wav", 5), nullptr);
  EXPECT_EQ(NumberOfVoices(), 2);
  ASSERT_NE(Load("./step.wav", 4), nullptr);
  EXPECT_EQ(NumberOfVoices(), 3);
  EXPECT_EQ(m_server->GetVoiceManager()->GetFirstVoice()->GetFlags(), CVoice::kVoiceVolume);
}

TEST_F(WaveStreamTest, ReleasedVoicesAreReadAgainFromTheFile) {
  WriteWave("step.wav", 1, 100);
  TonarisStream* first = Load("step.wav", 4);
  ASSERT_NE(first, nullptr);
  Release(first);
  m_server->GetVoiceManager()->ReleaseVoices();
  EXPECT_EQ(NumberOfVoices(), 0);
  // The file changed since: a cached voice would still play the old samples.
  const std::vector<int16_t> longer = WriteWave("step.wav", 1, 300);
  TonarisStream* second = Load("step.wav", 4);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Ring(second, 0, longer.size() * 2), BytesOf(longer));
  EXPECT_EQ(NumberOfVoices(), 1);
  EXPECT_EQ(Count(Line(kVoices, "  - Aready Exists\n")), 0u);
}

TEST_F(WaveStreamTest, VoiceFlagsComeFromTheStreamFlags) {
  struct Case {
    UINT stream;
    UINT voice;
  };
  // Pan only without 3D; software and loop are not the voice's.
  for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, 1}, Case{4, 4}, Case{8, 8},
                        Case{15, 13}, Case{16 | 32 | 64, 0}})
    EXPECT_EQ(CWaveStream::VoiceFlags(c.stream), c.voice) << c.stream;
}

TEST_F(WaveStreamTest, StereoFilesAreRefusedFor3DOnly) {
  WriteWave("stereo.wav", 2);
  EXPECT_EQ(Load("stereo.wav", 5), nullptr);
  EXPECT_TRUE(Contains(
      LogBody(),
      Line(kVoices, "ERROR! - For 3D Sound Processing Only Mono Wave Streams Are Accepatable\n")));
  EXPECT_NE(Load("stereo.wav", 4), nullptr);
}

TEST_F(WaveStreamTest, AVoiceThatFailedIsTriedAgain) {
  EXPECT_EQ(Load("late.wav", 4), nullptr);
  EXPECT_TRUE(Contains(LogBody(), Line(kVoices, "  - Can't Open File: late.wav\n")));
  EXPECT_TRUE(Contains(LogBody(), Line(kWave, "ERROR! - Can't Load Voce\n")));
  EXPECT_EQ(NumberOfVoices(), 0);
  EXPECT_EQ(m_server->GetFirstStream(), nullptr);
  WriteWave("late.wav", 1);
  EXPECT_NE(Load("late.wav", 4), nullptr);
  EXPECT_EQ(NumberOfVoices(), 1);
}

TEST_F(WaveStreamTest, BufferFlagsFollowTheVoiceFlags) {
  WriteWave("mono.wav", 1);
  struct Case {
    UINT stream;
    DWORD flags;
  };
  const DWORD base = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_LOCDEFER;
  for (const Case& c : {Case{0, base}, Case{4 | 8, base | 0xA0}, Case{1 | 2, base | 0x10},
                        Case{2, base | 0x40}}) {
    TonarisStream* sound = Load("mono.wav", c.stream);
    ASSERT_NE(sound, nullptr);
    DSBCAPS caps = {};
    caps.dwSize = sizeof caps;
    ASSERT_EQ(Buffer(sound)->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwFlags & ~(DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE), c.flags) << c.stream;
  }
}

TEST_F(WaveStreamTest, OneShotSoundStopsAtItsEndAndLoopingGoesOn) {
  WriteWave("short.wav", 1, 2205);  // a tenth of a second
  TonarisStream* once = Load("short.wav", 4);
  TonarisStream* looping = Load("short.wav", 4 | 32);
  ASSERT_NE(once, nullptr);
  ASSERT_NE(looping, nullptr);
  EXPECT_EQ(once->Play(), 1u);
  EXPECT_EQ(looping->Play(), 1u);
  EXPECT_EQ(once->GetIsPlayed(), 1u);
  Step(250);
  EXPECT_EQ(once->GetIsPlayed(), 0u);
  EXPECT_EQ(looping->GetIsPlayed(), 1u);
  EXPECT_EQ(looping->Stop(), 1u);
  EXPECT_EQ(looping->GetIsPlayed(), 0u);
  EXPECT_TRUE(Contains(LogBody(), Line(kWave, "- Acquiring Resource For Wave Playing\n") +
                                      Line(kWave, "- Playing Wave\n")));
}

TEST_F(WaveStreamTest, TwoSoundsOnOneVoicePlayIndependently) {
  // A steady level, so that two sounds sum to twice one.
  WriteFile("hum.wav", WaveWriter(2, 44100, 16).Samples(std::vector<int16_t>(2 * 44100, 8192)).Bytes());
  TonarisStream* first = Load("hum.wav", 4);
  TonarisStream* second = Load("hum.wav", 4);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(NumberOfVoices(), 1);
  first->Play();
  const double one = Level(Hear(4410), 0);
  EXPECT_NEAR(one, 0.25, 0.02);
  second->Play();
  EXPECT_NEAR(Level(Hear(4410), 0), 2 * one, 0.02);
  first->Stop();
  EXPECT_NEAR(Level(Hear(4410), 0), one, 0.02);
  EXPECT_EQ(second->GetIsPlayed(), 1u);
  Release(second);
  EXPECT_NEAR(Level(Hear(4410), 0), 0.0, 0.001);
}

TEST_F(WaveStreamTest, ThreeDSettingsAreStoredAtOnceAndHeardAfterApply) {
  WriteFile("hum.wav", WaveWriter(1, 44100, 16).Samples(std::vector<int16_t>(44100, 8192)).Bytes());
  ASSERT_NE(m_server->GetListenerInterface(), nullptr);
  TonarisStream* sound = Load("hum.wav", 5);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->GetMinDistance(), 0.0f);
  EXPECT_EQ(sound->GetMaxDistance(), 0.0f);
  sound->Play();
  Hear(4410);
  // At the listener's ear: both sides alike.
  const std::vector<float> centred = Hear(4410);
  EXPECT_NEAR(Level(centred, 0), Level(centred, 1), 0.01);

  EXPECT_EQ(sound->SetPosition(1, 2, 3), 1u);
  float x = 0, y = 0, z = 0;
  EXPECT_EQ(sound->GetPosition(x, y, z), 1u);
  EXPECT_EQ(std::vector<float>({x, y, z}), std::vector<float>({1, 2, 3}));
  EXPECT_EQ(sound->SetPosition(1, 0, 0), 1u);
  const std::vector<float> deferred = Hear(4410);
  EXPECT_NEAR(Level(deferred, 0), Level(deferred, 1), 0.01);
  ASSERT_EQ(m_server->Apply(), 1u);
  Hear(4410);
  const std::vector<float> applied = Hear(4410);
  EXPECT_GT(Level(applied, 1), 2 * Level(applied, 0));

  EXPECT_EQ(sound->SetMinDistance(2.5f), 1u);
  EXPECT_EQ(sound->GetMinDistance(), 2.5f);
  EXPECT_EQ(sound->SetConeAngles(30, 90), 1u);
  UINT inside = 0, outside = 0;
  EXPECT_EQ(sound->GetConeAngles(inside, outside), 1u);
  EXPECT_EQ(inside, 30u);
  EXPECT_EQ(outside, 90u);
  // A value DirectSound refuses is still the stored one, and reported.
  EXPECT_EQ(sound->SetMaxDistance(-1.0f), 0u);
  EXPECT_EQ(sound->GetMaxDistance(), -1.0f);
  EXPECT_TRUE(Contains(LogBody(), Line(kWave, "ERROR! - Can't Set Max Distance\n(")));
}

TEST_F(WaveStreamTest, SoundsWithout3DOrNotLoadedRefuse) {
  WriteWave("flat.wav", 1);
  TonarisStream* flat = Load("flat.wav", 4);
  ASSERT_NE(flat, nullptr);
  EXPECT_EQ(flat->SetPosition(1, 2, 3), 0u);
  EXPECT_EQ(flat->SetMinDistance(2.0f), 0u);
  EXPECT_EQ(flat->SetConeOutsideVolume(-100), 0u);
  float x = 9, y = 9, z = 9;
  EXPECT_EQ(flat->GetPosition(x, y, z), 1u);
  EXPECT_EQ(x + y + z, 0.0f);
  EXPECT_EQ(flat->GetFrequency(), 0xFFFFFFFFu);  // no frequency control
  EXPECT_EQ(flat->SetVolume(100), 1u);
  EXPECT_EQ(flat->GetVolume(), 0);
  EXPECT_EQ(flat->SetPositionInSeconds(1.0), 1u);
  EXPECT_EQ(flat->GetPositionInBytes(), 0u);

  // Before Init, a wave sound is handed out but never loads.
  CTonaris* idle = MakeServer();
  UINT success = 0;
  TonarisStream* unloaded = new CWaveStream(idle, "flat.wav", success, 5);
  EXPECT_EQ(success, 1u);
  EXPECT_EQ(unloaded->Play(), 0u);
  EXPECT_EQ(unloaded->Stop(), 0u);
  EXPECT_EQ(unloaded->Update(), 0u);
  EXPECT_EQ(unloaded->GetPosition(x, y, z), 0u);
  EXPECT_EQ(unloaded->GetFrequency(), 0xFFFFFFFFu);
  unloaded->Release();
}

}  // namespace
