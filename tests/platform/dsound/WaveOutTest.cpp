#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "mmsystem.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestSound.h"

namespace {

constexpr DWORD kRate = 44100;
// 10 ms of 16-bit stereo.
constexpr DWORD kBlockFrames = 441;
constexpr DWORD kBlockBytes = kBlockFrames * 4;

WAVEFORMATEX Stereo16() { return WAVEFORMATEX{WAVE_FORMAT_PCM, 2, kRate, kRate * 4, 4, 16, 0}; }

// Keeps a queue of blocks full from the callback, as a streaming program does: each finished
// block is unprepared, refilled and written again until `total` blocks have been written.
struct Player {
  std::mutex mutex;
  std::vector<UINT> messages;
  std::vector<int> finished;  // block numbers in the order they came back
  std::vector<std::thread::id> threads;
  std::array<WAVEHDR, 4> headers{};
  std::array<std::vector<int16_t>, 4> samples;
  int written = 0;
  int total = 0;
  MMRESULT refillResult = MMSYSERR_NOERROR;

  void Queue(HWAVEOUT device, WAVEHDR& header) {
    header.dwUser = static_cast<DWORD_PTR>(written++);
    refillResult = waveOutPrepareHeader(device, &header, sizeof header);
    if (refillResult == MMSYSERR_NOERROR) refillResult = waveOutWrite(device, &header, sizeof header);
  }

  static void Callback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
    auto* self = reinterpret_cast<Player*>(instance);
    std::lock_guard lock(self->mutex);
    self->messages.push_back(message);
    self->threads.push_back(std::this_thread::get_id());
    if (message != WOM_DONE) return;
    auto* header = reinterpret_cast<WAVEHDR*>(param1);
    EXPECT_TRUE(header->dwFlags & WHDR_DONE);
    EXPECT_FALSE(header->dwFlags & WHDR_INQUEUE);
    self->finished.push_back(static_cast<int>(header->dwUser));
    EXPECT_EQ(waveOutUnprepareHeader(device, header, sizeof *header), MMSYSERR_NOERROR);
    if (self->written < self->total) self->Queue(device, *header);
  }

  int Finished() {
    std::lock_guard lock(mutex);
    return static_cast<int>(finished.size());
  }
};

class WaveOutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZkTestClockSetManual(5'000'000);
    ZkTestSoundUseLoopback(true);
  }
  void TearDown() override {
    if (m_device) {
      waveOutReset(m_device);
      EXPECT_EQ(waveOutClose(m_device), MMSYSERR_NOERROR);
    }
    ZkTestSoundUseLoopback(false);
    ZkTestSoundSetDevices(nullptr, 0);
    ZkTestClockSetReal();
  }

  void Open(Player& player, int blocks, int16_t value = 0) {
    const WAVEFORMATEX format = Stereo16();
    ASSERT_EQ(waveOutOpen(&m_device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&Player::Callback),
                          reinterpret_cast<DWORD_PTR>(&player), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    std::lock_guard lock(player.mutex);
    for (int i = 0; i < blocks; ++i) {
      player.samples[i].assign(kBlockFrames * 2, value);
      player.headers[i].lpData = reinterpret_cast<LPSTR>(player.samples[i].data());
      player.headers[i].dwBufferLength = kBlockBytes;
      player.Queue(m_device, player.headers[i]);
      ASSERT_EQ(player.refillResult, MMSYSERR_NOERROR);
    }
  }

  void AdvanceAndSync(uint64_t microseconds) {
    ZkTestClockAdvance(microseconds);
    ASSERT_TRUE(ZkTestSoundWaveOutSync(m_device));
  }

  HWAVEOUT m_device = nullptr;
  // Outlives the device: the device calls it back until it is closed.
  Player player;
};

}  // namespace

TEST_F(WaveOutTest, DevicesAndTheirCapsComeFromTheOutputList) {
  const char* names[] = {"Speakers", "A device with a name far longer than thirty-one characters"};
  ZkTestSoundSetDevices(names, 2);
  EXPECT_EQ(waveOutGetNumDevs(), 2u);
  WAVEOUTCAPSA caps{};
  ASSERT_EQ(waveOutGetDevCapsA(1, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "A device with a name far longer");
  EXPECT_EQ(caps.wChannels, 2);
  EXPECT_TRUE(caps.dwFormats & WAVE_FORMAT_4S16);
  EXPECT_TRUE(caps.dwSupport & WAVECAPS_LRVOLUME);
  ASSERT_EQ(waveOutGetDevCapsA(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutGetDevCapsA(static_cast<UINT_PTR>(-1), &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutGetDevCapsA(2, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(waveOutGetDevCapsA(0, nullptr, sizeof caps), MMSYSERR_INVALPARAM);

  // A shorter record gets what fits and nothing beyond.
  std::array<char, 12> small;
  small.fill('#');
  ASSERT_EQ(waveOutGetDevCapsA(0, reinterpret_cast<LPWAVEOUTCAPSA>(small.data()), 10), MMSYSERR_NOERROR);
  EXPECT_EQ(small[8], 'S');
  EXPECT_EQ(small[10], '#');
}

TEST_F(WaveOutTest, OpenRefusesWhatItCannotPlay) {
  const char* names[] = {"Speakers"};
  ZkTestSoundSetDevices(names, 1);
  WAVEFORMATEX format = Stereo16();
  HWAVEOUT device = reinterpret_cast<HWAVEOUT>(0x1);
  EXPECT_EQ(waveOutOpen(&device, 1, &format, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 1, 0, CALLBACK_WINDOW), MMSYSERR_NOTSUPPORTED);
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(waveOutOpen(nullptr, 0, &format, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  format.nChannels = 0;
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
  format = Stereo16();
  format.wBitsPerSample = 12;
  EXPECT_EQ(waveOutOpen(nullptr, 0, &format, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);
}

TEST_F(WaveOutTest, TheCallbackRefillsTheQueueAsBlocksFinishOnTheClock) {
  player.total = 10;
  Open(player, 4);

  AdvanceAndSync(9'000);
  EXPECT_EQ(player.Finished(), 0) << "a block is done only once all of it played";
  AdvanceAndSync(1'000);
  EXPECT_EQ(player.Finished(), 1);
  AdvanceAndSync(25'000);
  EXPECT_EQ(player.Finished(), 3);
  // The queue stays four deep: the refills play after the blocks still queued.
  AdvanceAndSync(50'000);
  EXPECT_EQ(player.Finished(), 7) << "blocks 3 to 6 finished together, so their refills start late";
  AdvanceAndSync(1'000'000);

  std::lock_guard lock(player.mutex);
  EXPECT_EQ(player.refillResult, MMSYSERR_NOERROR);
  EXPECT_EQ(player.finished, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_FALSE(player.messages.empty());
  EXPECT_EQ(player.messages.front(), static_cast<UINT>(WOM_OPEN));
  for (std::thread::id id : player.threads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(WaveOutTest, HeadersMustBePreparedAndCannotChangeWhileQueued) {
  Open(player, 1);
  WAVEHDR& queued = player.headers[0];
  EXPECT_EQ(waveOutUnprepareHeader(m_device, &queued, sizeof queued), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutWrite(m_device, &queued, sizeof queued), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutClose(m_device), WAVERR_STILLPLAYING);

  std::vector<int16_t> samples(64);
  WAVEHDR fresh{};
  fresh.lpData = reinterpret_cast<LPSTR>(samples.data());
  fresh.dwBufferLength = 128;
  EXPECT_EQ(waveOutWrite(m_device, &fresh, sizeof fresh), WAVERR_UNPREPARED);
  EXPECT_EQ(waveOutPrepareHeader(m_device, &fresh, sizeof fresh - 1), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutPrepareHeader(reinterpret_cast<HWAVEOUT>(&fresh), &fresh, sizeof fresh),
            MMSYSERR_INVALHANDLE);
  EXPECT_EQ(waveOutWrite(nullptr, &fresh, sizeof fresh), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutTest, ResetFinishesEveryBlockBeforeItReturnsAndCloseSaysGoodbye) {
  Open(player, 4);
  ASSERT_EQ(waveOutReset(m_device), MMSYSERR_NOERROR);
  EXPECT_EQ(player.Finished(), 4);
  for (const WAVEHDR& header : player.headers) EXPECT_TRUE(header.dwFlags & WHDR_DONE);

  ASSERT_EQ(waveOutClose(m_device), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(m_device), MMSYSERR_INVALHANDLE);
  m_device = nullptr;
  std::lock_guard lock(player.mutex);
  EXPECT_EQ(player.messages.back(), static_cast<UINT>(WOM_CLOSE));
}

TEST_F(WaveOutTest, VolumeScalesEachSideOfWhatIsHeard) {
  Open(player, 4, 16384);
  DWORD volume = 0;
  ASSERT_EQ(waveOutGetVolume(m_device, &volume), MMSYSERR_NOERROR);
  EXPECT_EQ(volume, 0xFFFFFFFFu);
  ASSERT_EQ(waveOutSetVolume(m_device, 0x00007FFF), MMSYSERR_NOERROR);  // left half, right off
  ASSERT_EQ(waveOutGetVolume(m_device, &volume), MMSYSERR_NOERROR);
  EXPECT_EQ(volume, 0x00007FFFu);
  EXPECT_EQ(waveOutGetVolume(m_device, nullptr), MMSYSERR_INVALPARAM);

  ZkTestClockAdvance(20'000);
  std::vector<float> mix(882 * 2);
  ASSERT_TRUE(ZkTestSoundRender(mix.data(), 882));
  float left = 0, right = 0;
  for (size_t i = 441; i < 882; ++i) {
    left = std::max(left, std::fabs(mix[2 * i]));
    right = std::max(right, std::fabs(mix[2 * i + 1]));
  }
  EXPECT_NEAR(left, 0.25f, 0.01f);
  EXPECT_EQ(right, 0.0f);
}
