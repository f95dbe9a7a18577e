#pragma once
// Builds RIFF wave files for sound tests, so that an odd or broken file is a line of test code:
// extra chunks before the data, a longer format chunk, any format tag, a cut-off end.
#include <cstdint>
#include <string>
#include <vector>

class WaveWriter {
 public:
  WaveWriter(uint16_t channels, uint32_t rate, uint16_t bitsPerSample);

  WaveWriter& FormatTag(uint16_t tag);
  // Makes the format chunk longer by a size field and this many extra bytes.
  WaveWriter& FormatExtra(uint16_t bytes);
  // A chunk ("LIST", "fact", ...) written between the format chunk and the data chunk.
  WaveWriter& ChunkBeforeData(const std::string& id, const std::string& body);
  WaveWriter& Samples(const std::vector<int16_t>& samples);
  WaveWriter& Data(const std::string& bytes);
  // The data chunk claims this size instead of its own.
  WaveWriter& DataSize(uint32_t size);

  // The whole file, little-endian as the format has it.
  std::string Bytes() const;

 private:
  uint16_t m_tag = 1;
  uint16_t m_channels;
  uint32_t m_rate;
  uint16_t m_bits;
  uint16_t m_formatExtra = 0;
  bool m_hasFormatExtra = false;
  bool m_hasDataSize = false;
  uint32_t m_dataSize = 0;
  std::string m_chunksBeforeData;
  std::string m_data;
};
