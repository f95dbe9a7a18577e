#pragma once
// The CRC-32 of ACE archives: the reflected polynomial 0xEDB88320, started at 0xFFFFFFFF and
// never inverted at the end. Headers store the low 16 bits of it, members all 32.
#include <cstddef>
#include <cstdint>

class CAceCrc32 {
 public:
  static constexpr uint32_t kStart = 0xFFFFFFFFu;

  // The running CRC `crc` carried on over `size` bytes.
  static uint32_t Update(uint32_t crc, const uint8_t* data, size_t size);
};
