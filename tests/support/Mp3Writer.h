#pragma once
// Encodes MP3 files for sound tests through libmp3lame, so that a sound of any length, rate or
// channel count is a line of test code; broken files are cut or patched from these.
#include <cstdint>
#include <string>
#include <vector>

class Mp3Writer {
 public:
  Mp3Writer(int channels, int rate);

  // Interleaved 16-bit samples.
  Mp3Writer& Samples(const std::vector<int16_t>& samples);
  Mp3Writer& BitRate(int kilobits);

  // The whole file, without tags.
  std::string Bytes() const;

 private:
  int m_channels;
  int m_rate;
  int m_kilobits = 128;
  std::vector<int16_t> m_samples;
};
