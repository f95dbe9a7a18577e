#pragma once
// Reads the bit stream of a compressed ACE member or comment. The stream is a run of 32-bit
// little-endian words whose bits are taken from the most significant down; the current code
// is the next 32 bits of the stream. The bytes are read in place from the archive in memory,
// never past the stretch the reader was given: bits beyond it read as zeros and mark the
// reader as overrun, which is how a truncated member is noticed.
#include <cstddef>
#include <cstdint>

class CAceBitReader {
 public:
  void Reset(const uint8_t* data, size_t size);

  // The next 32 bits, first bit most significant; nothing is consumed.
  uint32_t Code() const;
  void Consume(unsigned bits) { m_bitPosition += bits; }
  // The next `bits` bits (0 to 24) as a number, consumed.
  uint32_t ReadBits(unsigned bits);
  // True once more bits were consumed than the stretch holds.
  bool IsOverrun() const { return m_bitPosition > static_cast<uint64_t>(m_size) * 8; }

 private:
  uint32_t Word(uint64_t index) const;

  const uint8_t* m_data = nullptr;
  size_t m_size = 0;
  uint64_t m_bitPosition = 0;
};
