#include "vfs/AceBitReader.h"

void CAceBitReader::Reset(const uint8_t* data, size_t size) {
  m_data = data;
  m_size = data ? size : 0;
  m_bitPosition = 0;
}

uint32_t CAceBitReader::Word(uint64_t index) const {
  const uint64_t start = index * 4;
  if (start + 4 <= m_size) {
    const uint8_t* bytes = m_data + start;
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  }
  uint32_t word = 0;
  for (unsigned byte = 0; byte < 4; ++byte)
    if (start + byte < m_size) word |= static_cast<uint32_t>(m_data[start + byte]) << (8 * byte);
  return word;
}

uint32_t CAceBitReader::Code() const {
  const uint64_t wordIndex = m_bitPosition / 32;
  const unsigned shift = static_cast<unsigned>(m_bitPosition % 32);
  const uint32_t first = Word(wordIndex);
  if (shift == 0) return first;
  return (first << shift) | (Word(wordIndex + 1) >> (32 - shift));
}

uint32_t CAceBitReader::ReadBits(unsigned bits) {
  if (bits == 0) return 0;
  const uint32_t value = Code() >> (32 - bits);
  Consume(bits);
  return value;
}
