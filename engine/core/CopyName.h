#pragma once
// Names and paths kept in fixed-size fields: the field is cleared, then takes at most its length
// less one characters, so it is always terminated. A null text leaves it empty.
#include <cstddef>
#include <cstring>

// Copies at most `length` characters of `text`; returns the length kept.
template <std::size_t N>
std::size_t CopyName(char (&field)[N], const char* text, std::size_t length) {
  std::memset(field, 0, N);
  if (text == nullptr) return 0;
  if (length > N - 1) length = N - 1;
  std::memcpy(field, text, length);
  return length;
}

// Copies the whole of `text` as far as it fits; returns the length kept.
template <std::size_t N>
std::size_t CopyName(char (&field)[N], const char* text) {
  return CopyName(field, text, text != nullptr ? strnlen(text, N - 1) : 0);
}
