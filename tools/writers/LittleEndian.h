#pragma once
// Little-endian fields appended to a file that is put together in memory, as every format the
// writers make stores its numbers.
#include <cstdint>
#include <string>

inline void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}

inline void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
