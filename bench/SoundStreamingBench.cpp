// The sound server's CPU time per second of audio, on the platform's loopback output and the
// manual clock: one iteration is one second of audio. Measured for the whole process, so that
// the refill thread and waveOut's callback thread count too.
//
// - Refill/<kind>/<sounds>: the refills of 1 or 8 streamed sounds (UpdateStreams every 250 ms).
// - RefillAndMix/<kind>/<sounds>: the same with the platform's mixing of what they play.
// - BareDecode/<kind>: libvorbisfile or mpg123 alone decoding the same file, the yardstick of
//   the refills (their ratio is the refill's overhead).
// - WaveOut: one Ogg sound gathered and queued through waveOut.
// - WaveVoices: 16 wave sounds on one voice mixed by the loopback output.
// The files are 30 s of 44.1 kHz stereo: Ogg Vorbis at quality 0.4, MP3 at 128 kbit/s.
#include <benchmark/benchmark.h>
#include <mpg123.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Mp3Writer.h"
#include "OggWriter.h"
#include "TempDir.h"
#include "WaveWriter.h"
#include "WorkingFolderScope.h"
#include "ZKDXGlobals.h"
#include "sound/Tonaris.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestSound.h"

namespace {

constexpr int kOgg = 0;
constexpr int kMp3 = 1;
constexpr long kRate = 44100;
constexpr size_t kBytesPerSecond = 176400;
constexpr int kSeconds = 30;
constexpr UINT kLoop = 32;
constexpr UINT kVolume = 4;

std::vector<int16_t> Music(size_t frames) {
  std::vector<int16_t> samples;
  samples.reserve(frames * 2);
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < 2; ++c)
      samples.push_back(static_cast<int16_t>(9000 * std::sin(i * (0.03 + 0.011 * c)) +
                                             3000 * std::sin(i * 0.0007 * (c + 1))));
  return samples;
}

// The fixture files, written once for the whole run, and the folder they are in.
struct Files {
  TempDir folder;
  Files() {
    const std::vector<int16_t> music = Music(kSeconds * kRate);
    folder.Write("music.ogg", OggWriter(2, kRate).Quality(0.4f).Samples(music).Bytes());
    folder.Write("music.mp3", Mp3Writer(2, kRate).BitRate(128).Samples(music).Bytes());
    folder.Write("voice.wav",
                 WaveWriter(2, kRate, 16).Samples(std::vector<int16_t>(music.begin(),
                                                                       music.begin() + 2 * kRate))
                     .Bytes());
  }
  static Files& Get() {
    static Files files;
    return files;
  }
};

const char* NameOf(int kind) { return kind == kOgg ? "music.ogg" : "music.mp3"; }

// A started server in the fixture folder with `count` sounds of `name` loaded and playing.
class Playing {
 public:
  Playing(bool waveOut, const char* name, int count, UINT flags)
      : m_cwd(Files::Get().folder.Path()), m_name(name), m_flags(flags) {
    ZkTestClockSetManual(1'000'000);
    ZkTestSoundUseLoopback(true);
    m_server = std::make_unique<CTonaris>(reinterpret_cast<HWND>(0x1), waveOut ? 1u : 0u, 0u);
    TonarisConfig config{sizeof(TonarisConfig), 0xFFFFFFFF, 0, 0, 0};
    if (!m_server->Init(&config)) std::abort();
    for (int i = 0; i < count; ++i) m_sounds.push_back(Start());
    m_server->Play();
  }
  ~Playing() {
    m_server->Stop();
    for (TonarisStream* sound : m_sounds) sound->Release();
    m_server->Deinit();
    m_server.reset();
    ZkTestSoundUseLoopback(false);
    ZkTestClockSetReal();
  }

  // One second of audio in refill periods; MP3 sounds, which cannot loop, start over at their end.
  void RefillOneSecond(bool mix) {
    for (int step = 0; step < 4; ++step) {
      ZkTestClockAdvance(250'000);
      m_server->UpdateStreams();
      if (mix) Mix(kRate / 4);
    }
    for (TonarisStream*& sound : m_sounds) {
      if (sound->GetIsPlayed()) continue;
      sound->Release();
      sound = Start();
    }
  }
  void Mix(uint32_t frames) {
    m_heard.resize(2 * frames);
    if (!ZkTestSoundRender(m_heard.data(), frames)) std::abort();
    benchmark::DoNotOptimize(m_heard.data());
  }
  // One second of waveOut output, in steps of two blocks' time.
  void QueueOneSecond() {
    for (int step = 0; step < 20; ++step) {
      ZkTestClockAdvance(50'000);
      ZkTestSoundWaveOutSync(m_server->GetWaveOutHandle());
    }
  }

 private:
  TonarisStream* Start() {
    TonarisStream* sound = nullptr;
    if (!m_server->LoadStream(m_name, &sound, m_flags)) std::abort();
    sound->Play();
    return sound;
  }

  WorkingFolderScope m_cwd;
  const char* m_name;
  UINT m_flags;
  std::unique_ptr<CTonaris> m_server;
  std::vector<TonarisStream*> m_sounds;
  std::vector<float> m_heard;
};

void Refill(benchmark::State& state, bool mix) {
  const int kind = static_cast<int>(state.range(0));
  Playing playing(false, NameOf(kind), static_cast<int>(state.range(1)), kVolume | kLoop);
  for (auto _ : state) playing.RefillOneSecond(mix);
  state.SetLabel(kind == kOgg ? "ogg" : "mp3");
}

void BM_Refill(benchmark::State& state) { Refill(state, false); }
void BM_RefillAndMix(benchmark::State& state) { Refill(state, true); }

// Decodes `bytes` of output from the decoder, starting over at the end of the file.
class BareDecoder {
 public:
  explicit BareDecoder(int kind) : m_kind(kind) {
    const std::string path = Files::Get().folder / NameOf(kind);
    if (kind == kOgg) {
      if (ov_fopen(path.c_str(), &m_ogg) != 0) std::abort();
    } else {
      m_mp3 = mpg123_new(nullptr, nullptr);
      mpg123_param(m_mp3, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0.0);
      mpg123_format_none(m_mp3);
      mpg123_format(m_mp3, kRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
      if (mpg123_open(m_mp3, path.c_str()) != MPG123_OK) std::abort();
    }
  }
  ~BareDecoder() {
    if (m_kind == kOgg)
      ov_clear(&m_ogg);
    else
      mpg123_delete(m_mp3);
  }
  void Decode(size_t bytes) {
    for (size_t done = 0; done < bytes;) {
      const size_t count = Next(std::min(bytes - done, sizeof m_chunk));
      if (count == 0) Rewind();
      done += count;
    }
    benchmark::DoNotOptimize(m_chunk);
  }

 private:
  size_t Next(size_t bytes) {
    if (m_kind == kOgg) {
      int section = 0;
      const long count = ov_read(&m_ogg, m_chunk, static_cast<int>(bytes), 0, 2, 1, &section);
      return count > 0 ? static_cast<size_t>(count) : 0;
    }
    size_t done = 0;
    mpg123_read(m_mp3, m_chunk, bytes, &done);
    return done;
  }
  void Rewind() {
    if (m_kind == kOgg)
      ov_pcm_seek(&m_ogg, 0);
    else
      mpg123_seek(m_mp3, 0, SEEK_SET);
  }

  int m_kind;
  OggVorbis_File m_ogg{};
  mpg123_handle* m_mp3 = nullptr;
  char m_chunk[32768];
};

void BM_BareDecode(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  BareDecoder decoder(kind);
  for (auto _ : state) decoder.Decode(kBytesPerSecond);
  state.SetLabel(kind == kOgg ? "ogg" : "mp3");
}

void BM_WaveOut(benchmark::State& state) {
  Playing playing(true, "music.ogg", 1, kVolume | kLoop);
  for (auto _ : state) playing.QueueOneSecond();
}

void BM_WaveVoices(benchmark::State& state) {
  Playing playing(false, "voice.wav", 16, kVolume | kLoop);
  for (auto _ : state) {
    for (int step = 0; step < 10; ++step) {
      ZkTestClockAdvance(100'000);
      playing.Mix(kRate / 10);
    }
  }
}

}  // namespace

BENCHMARK(BM_Refill)->ArgsProduct({{kOgg, kMp3}, {1, 8}})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefillAndMix)
    ->ArgsProduct({{kOgg, kMp3}, {1, 8}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDecode)->Arg(kOgg)->Arg(kMp3)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveOut)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveVoices)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
