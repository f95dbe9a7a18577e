#pragma once
// Sound object tests on a started server: fixture files written into the test's
// folder (the working folder), direct decodes of them to compare with, and read-back of a
// sound's ring buffer.
#include <mpg123.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "Mp3Writer.h"
#include "OggWriter.h"
#include "SoundServerFixture.h"
#include "WorkingFolderScope.h"
#include "sound/StreamedSound.h"

class StreamedSoundFixture : public SoundServerFixture {
 protected:
  static constexpr UINT kRing = 88200;  // half a second of 44100 Hz 16-bit stereo
  static constexpr UINT kBytesPerSecond = 176400;

  void SetUp() override {
    SoundServerFixture::SetUp();
    m_cwd.emplace(m_folder.Path());
    m_server = MakeServer();
    TonarisConfig config = Config(ConfigFlags());
    ASSERT_EQ(m_server->Init(&config), 1u);
  }
  // The server's config flags: 2 gives it a listener.
  virtual DWORD ConfigFlags() const { return 0; }
  void TearDown() override {
    for (TonarisStream* stream : m_loaded) stream->Release();
    m_loaded.clear();
    SoundServerFixture::TearDown();
    m_cwd.reset();
  }

  // `frames` frames of a tone whose pitch differs by channel and by `seed`, so that any two
  // stretches of it, or of two files, differ.
  static std::vector<int16_t> Tone(size_t frames, int channels, double seed = 1.0) {
    std::vector<int16_t> samples;
    for (size_t i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c)
        samples.push_back(static_cast<int16_t>(
            12000 * std::sin(i * (0.01 + 0.003 * c) * seed + 0.00001 * i * i / 44100)));
    return samples;
  }

  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(m_folder / name, std::ios::binary) << bytes;
  }

  // The file's whole output as libvorbisfile gives it, 16-bit little-endian.
  std::vector<uint8_t> DecodeOgg(const std::string& name) const {
    OggVorbis_File file;
    std::vector<uint8_t> out;
    if (ov_fopen((m_folder / name).c_str(), &file) != 0) return out;
    char chunk[4096];
    int section = 0;
    for (long n; (n = ov_read(&file, chunk, sizeof chunk, 0, 2, 1, &section)) > 0;)
      out.insert(out.end(), chunk, chunk + n);
    ov_clear(&file);
    return out;
  }

  // The file's whole output as mpg123 gives it at 44100 Hz stereo.
  std::vector<uint8_t> DecodeMp3(const std::string& name) const {
    std::vector<uint8_t> out;
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0.0);
    mpg123_format_none(decoder);
    mpg123_format(decoder, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(decoder, (m_folder / name).c_str()) == MPG123_OK) {
      unsigned char chunk[4096];
      for (;;) {
        size_t done = 0;
        const int result = mpg123_read(decoder, chunk, sizeof chunk, &done);
        out.insert(out.end(), chunk, chunk + done);
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
      }
    }
    mpg123_delete(decoder);
    return out;
  }

  TonarisStream* Load(const std::string& name, UINT flags) {
    TonarisStream* stream = nullptr;
    if (!m_server->LoadStream(name.c_str(), &stream, flags)) return nullptr;
    m_loaded.push_back(stream);
    return stream;
  }
  // Releases a sound that Load made.
  void Release(TonarisStream* stream) {
    std::erase(m_loaded, stream);
    stream->Release();
  }

  static IDirectSoundBuffer8* Buffer(TonarisStream* stream) {
    return static_cast<CSoundObject*>(stream)->GetSoundBuffer();
  }
  // `bytes` of the sound's buffer from `offset`, wrapping at its end.
  static std::vector<uint8_t> Ring(TonarisStream* stream, DWORD offset, DWORD bytes) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstLength = 0, secondLength = 0;
    std::vector<uint8_t> out;
    if (FAILED(Buffer(stream)->Lock(offset, bytes, &first, &firstLength, &second, &secondLength,
                                    0)))
      return out;
    out.assign(static_cast<uint8_t*>(first), static_cast<uint8_t*>(first) + firstLength);
    if (second)
      out.insert(out.end(), static_cast<uint8_t*>(second),
                 static_cast<uint8_t*>(second) + secondLength);
    Buffer(stream)->Unlock(first, 0, second, 0);
    return out;
  }
  static DWORD Cursor(TonarisStream* stream) {
    DWORD cursor = 0;
    Buffer(stream)->GetCurrentPosition(&cursor, nullptr);
    return cursor;
  }
  // `bytes` of `data` from `offset`; zeros past its end.
  static std::vector<uint8_t> Slice(const std::vector<uint8_t>& data, size_t offset, size_t bytes) {
    std::vector<uint8_t> out(bytes, 0);
    for (size_t i = 0; i < bytes && offset + i < data.size(); ++i) out[i] = data[offset + i];
    return out;
  }

  // Moves the clock and runs one refill pass, as the refill thread would.
  void Step(uint64_t milliseconds) {
    ZkTestClockAdvance(milliseconds * 1000);
    m_server->UpdateStreams();
  }
  // Steps a quarter second at a time until the sound stops; the steps taken, or nullopt when it
  // still plays after `most` steps.
  std::optional<int> StepsUntilStopped(TonarisStream* stream, int most) {
    for (int step = 1; step <= most; ++step) {
      Step(250);
      if (!stream->GetIsPlayed()) return step;
    }
    return std::nullopt;
  }

  // Renders `frames` frames of the loopback output after moving the clock by as much.
  std::vector<float> Hear(uint32_t frames) {
    ZkTestClockAdvance(uint64_t{frames} * 1'000'000 / 44100);
    std::vector<float> block(2 * frames);
    EXPECT_TRUE(ZkTestSoundRender(block.data(), frames));
    return block;
  }
  // The mean level of one channel (0 left, 1 right) over the second half of a block.
  static double Level(const std::vector<float>& block, int channel) {
    double sum = 0;
    size_t count = 0;
    for (size_t i = block.size() / 2 + channel; i < block.size(); i += 2, ++count)
      sum += std::fabs(block[i]);
    return count ? sum / count : 0.0;
  }

  std::optional<WorkingFolderScope> m_cwd;
  CTonaris* m_server = nullptr;
  std::vector<TonarisStream*> m_loaded;
};
