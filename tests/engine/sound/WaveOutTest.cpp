#include <numeric>

#include "RecordingStream.h"
#include "StreamedSoundFixture.h"
#include "WaveWriter.h"

namespace {

constexpr uint64_t kBlockMicros = 4096ull * 1'000'000 / 176400 + 1;  // one 4096-byte block

// A waveOut server whose wave sounds are recording streams: like a wave sound they decode
// nothing.
class SilentWaveServer : public CTonaris {
 public:
  SilentWaveServer() : CTonaris(reinterpret_cast<HWND>(0x1), 1, 1) {}
  // Nothing is gathered from the streams below once they are gone.
  ~SilentWaveServer() override { Stop(); }

  std::vector<std::unique_ptr<RecordingStream>> made;

 protected:
  TonarisStream* CreateStream(StreamKind kind, const char* name, UINT flags,
                              UINT& success) override {
    if (kind != kWaveStream) return CTonaris::CreateStream(kind, name, flags, success);
    made.push_back(std::make_unique<RecordingStream>());
    made.back()->onRelease = [this](RecordingStream* stream) { UnlinkStream(stream); };
    success = 1;
    return made.back().get();
  }
};

class WaveOutTest : public StreamedSoundFixture {
 protected:
  void SetUp() override {
    SoundServerFixture::SetUp();
    m_cwd.emplace(m_folder.Path());
  }

  template <typename Server = CTonaris>
  Server* Open(DWORD device = 0xFFFFFFFF) {
    Server* server = new Server();
    m_servers.emplace_back(server);
    m_server = server;
    TonarisConfig config = Config(0, 0, 0, device);
    EXPECT_EQ(server->Init(&config), 1u);
    // The device index goes as it is, and nothing else is rewritten either.
    EXPECT_EQ(config.dwDeviceIndex, device);
    EXPECT_EQ(config.dwBufferCount1, 0u);
    return server;
  }
  // Lets `blocks` blocks' time pass and waits for the device's callbacks.
  void Pass(int blocks) {
    ZkTestClockAdvance(blocks * kBlockMicros);
    ASSERT_TRUE(ZkTestSoundWaveOutSync(m_server->GetWaveOutHandle()));
  }
  // What the output played over `blocks` blocks' time.
  double Energy(int blocks) {
    std::vector<float> heard;
    for (int i = 0; i < blocks; ++i) {
      Pass(1);
      std::vector<float> block(2 * 1024);
      EXPECT_TRUE(ZkTestSoundRender(block.data(), 1024));
      heard.insert(heard.end(), block.begin(), block.end());
    }
    return std::accumulate(heard.begin(), heard.end(), 0.0,
                           [](double sum, float s) { return sum + s * s; });
  }
  int Queued() const { return m_server->GetQueuedWaveOutBlocks(); }
};

class WaveOutServer : public CTonaris {
 public:
  WaveOutServer() : CTonaris(reinterpret_cast<HWND>(0x1), 1, 1) {}
};

TEST_F(WaveOutTest, OpensTheWaveMapperOrFailsWithAnUnknownDevice) {
  CTonaris* mapper = Open<WaveOutServer>();
  EXPECT_NE(mapper->GetWaveOutHandle(), nullptr);
  EXPECT_TRUE(LogBody().find(Line("QmrSoundFunctions", "- Using WaveOut\n")) != std::string::npos);
  EXPECT_EQ(mapper->GetGlobalVolume(), 0xFFFFFFFFu);
  mapper->SetGlobalVolume(0x40008000);
  EXPECT_EQ(mapper->GetGlobalVolume(), 0x40008000u);

  auto* unknown = new WaveOutServer();
  m_servers.emplace_back(unknown);
  TonarisConfig config = Config(0, 0, 0, 7);
  EXPECT_EQ(unknown->Init(&config), 0u);
  EXPECT_EQ(unknown->GetWaveOutHandle(), nullptr);
  EXPECT_EQ(unknown->Play(), 0u);
  EXPECT_EQ(unknown->Deinit(), 0u);
}

TEST_F(WaveOutTest, WithNoSoundsSilenceIsQueuedAndEachFinishedBlockReplaced) {
  Open<WaveOutServer>();
  EXPECT_EQ(Queued(), 0);
  ASSERT_EQ(m_server->Play(), 1u);
  EXPECT_EQ(Queued(), 10);
  EXPECT_EQ(Energy(25), 0.0);
  EXPECT_EQ(Queued(), 10);
  // Stopped, the queue runs dry.
  m_server->Stop();
  Pass(11);
  EXPECT_EQ(Queued(), 0);
}

TEST_F(WaveOutTest, OnlyTheFirstSoundIsHeard) {
  WriteFile("tone.ogg", OggWriter(2, 44100).Samples(Tone(44100, 2)).Bytes());
  WriteFile("quiet.ogg", OggWriter(2, 44100).Samples(std::vector<int16_t>(2 * 44100, 0)).Bytes());
  for (const bool toneFirst : {true, false}) {
    SCOPED_TRACE(toneFirst);
    Open<WaveOutServer>();
    TonarisStream* first = Load(toneFirst ? "tone.ogg" : "quiet.ogg", 4);
    TonarisStream* second = Load(toneFirst ? "quiet.ogg" : "tone.ogg", 4);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    m_server->Play();
    const double energy = Energy(20);
    if (toneFirst)
      EXPECT_GT(energy, 100.0);
    else
      EXPECT_EQ(energy, 0.0);
    m_server->Stop();
    Release(first);
    Release(second);
    EXPECT_EQ(m_server->Deinit(), 1u);
  }
}

TEST_F(WaveOutTest, ASoundThatYieldsNothingIsPlayedAsSilence) {
  SilentWaveServer* server = Open<SilentWaveServer>();
  TonarisStream* wave = nullptr;
  ASSERT_EQ(server->LoadStream("step.wav", &wave, 4), 1u);
  ASSERT_EQ(server->GetFirstStream(), wave);
  ASSERT_EQ(server->Play(), 1u);
  EXPECT_EQ(Queued(), 10);
  EXPECT_EQ(Energy(15), 0.0);
  EXPECT_EQ(Queued(), 10);
}

TEST_F(WaveOutTest, AWaveFileCannotLoadWithoutDirectSound) {
  Open<WaveOutServer>();
  WriteFile("step.wav", WaveWriter(1, 22050, 16).Samples(Tone(2205, 1)).Bytes());
  EXPECT_EQ(Load("step.wav", 4), nullptr);
  EXPECT_TRUE(LogBody().find(Line("Wave", "ERROR! - Can't Load Voce\n")) != std::string::npos);
}

TEST_F(WaveOutTest, DeinitDrainsTheQueueAndCloses) {
  Open<WaveOutServer>();
  m_server->Play();
  Pass(3);
  const HWAVEOUT device = m_server->GetWaveOutHandle();
  // The clock stands still: the device gives nothing back by itself, and is reset after a while.
  EXPECT_EQ(m_server->Deinit(), 1u);
  EXPECT_EQ(Queued(), 0);
  EXPECT_EQ(m_server->GetWaveOutHandle(), nullptr);
  EXPECT_FALSE(ZkTestSoundWaveOutSync(device));
  EXPECT_EQ(m_server->Deinit(), 0u);
  EXPECT_EQ(m_server->Play(), 0u);
}

TEST_F(WaveOutTest, RatesOtherThan44100Or22050AreRefused) {
  Open<WaveOutServer>();
  CWaveOutput output(m_server);
  EXPECT_EQ(output.OpenWaveOut(WAVE_MAPPER, 48000), 0u);
  EXPECT_EQ(output.OpenWaveOut(WAVE_MAPPER, 22050), 1u);
  EXPECT_EQ(output.OpenWaveOut(WAVE_MAPPER, 22050), 0u);  // already open
  EXPECT_EQ(output.CloseWaveOut(), 1u);
  EXPECT_EQ(output.CloseWaveOut(), 0u);
}

}  // namespace
