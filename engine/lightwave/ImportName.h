#pragma once
// Names in the import records are fixed fields of 256 characters, always terminated.
#include <cstddef>
#include <cstring>

constexpr std::size_t kImportNameLength = 256;
using ImportName = char[kImportNameLength];

// Clears the field and copies at most its length minus one characters of the text (null
// leaves it empty). Returns the length kept.
template <std::size_t N>
std::size_t CopyImportName(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  if (text != nullptr) std::strncpy(field, text, N - 1);
  return std::strlen(field);
}
