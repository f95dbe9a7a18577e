#pragma once
// Encodes Ogg Vorbis files through libvorbisenc: the demo's music, and for sound tests a sound of
// any length, rate or channel count in a line of code; broken files are cut or patched from these.
#include <cstdint>
#include <string>
#include <vector>

class OggWriter {
 public:
  OggWriter(int channels, long rate);

  // Interleaved 16-bit samples.
  OggWriter& Samples(const std::vector<int16_t>& samples);
  // Variable bit rate quality, -0.1 to 1.
  OggWriter& Quality(float quality);

  // The whole file.
  std::string Bytes() const;

 private:
  int m_channels;
  long m_rate;
  float m_quality = 0.4f;
  std::vector<int16_t> m_samples;
};
