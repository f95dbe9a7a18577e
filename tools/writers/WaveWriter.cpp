#include "WaveWriter.h"

#include <algorithm>

#include "LittleEndian.h"

namespace {

void PutChunk(std::string& out, const std::string& id, const std::string& body) {
  out += id.substr(0, 4);
  out.append(4 - std::min<size_t>(id.size(), 4), ' ');
  Put32(out, static_cast<uint32_t>(body.size()));
  out += body;
  // Chunks start on even offsets.
  if (body.size() % 2) out += '\0';
}

}  // namespace

WaveWriter::WaveWriter(uint16_t channels, uint32_t rate, uint16_t bitsPerSample)
    : m_channels(channels), m_rate(rate), m_bits(bitsPerSample) {}

WaveWriter& WaveWriter::FormatTag(uint16_t tag) {
  m_tag = tag;
  return *this;
}

WaveWriter& WaveWriter::FormatExtra(uint16_t bytes) {
  m_hasFormatExtra = true;
  m_formatExtra = bytes;
  return *this;
}

WaveWriter& WaveWriter::ChunkBeforeData(const std::string& id, const std::string& body) {
  PutChunk(m_chunksBeforeData, id, body);
  return *this;
}

WaveWriter& WaveWriter::Samples(const std::vector<int16_t>& samples) {
  m_data.clear();
  for (int16_t sample : samples) Put16(m_data, static_cast<uint16_t>(sample));
  return *this;
}

WaveWriter& WaveWriter::Data(const std::string& bytes) {
  m_data = bytes;
  return *this;
}

WaveWriter& WaveWriter::DataSize(uint32_t size) {
  m_hasDataSize = true;
  m_dataSize = size;
  return *this;
}

std::string WaveWriter::Bytes() const {
  const uint16_t blockAlign = static_cast<uint16_t>(m_channels * m_bits / 8);
  std::string format;
  Put16(format, m_tag);
  Put16(format, m_channels);
  Put32(format, m_rate);
  Put32(format, m_rate * blockAlign);
  Put16(format, blockAlign);
  Put16(format, m_bits);
  if (m_hasFormatExtra) {
    Put16(format, m_formatExtra);
    format.append(m_formatExtra, '\0');
  }
  std::string body = "WAVE";
  PutChunk(body, "fmt ", format);
  body += m_chunksBeforeData;
  const size_t dataAt = body.size();
  PutChunk(body, "data", m_data);
  if (m_hasDataSize) {
    std::string size;
    Put32(size, m_dataSize);
    body.replace(dataAt + 4, 4, size);
  }
  std::string file;
  PutChunk(file, "RIFF", body);
  return file;
}
