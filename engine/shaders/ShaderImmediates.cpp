#include "shaders/ShaderImmediates.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Takes a leading sign off `text`; true for a minus.
bool TakeSign(std::string_view* text) {
  if (text->empty() || (text->front() != '+' && text->front() != '-')) return false;
  const bool negative = text->front() == '-';
  text->remove_prefix(1);
  return negative;
}

bool ParseFloat(std::string_view text, float* value) {
  const bool negative = TakeSign(&text);
  // Only plain numbers: no second sign, no "INF" or "NAN".
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.'))
    return false;
  float parsed = 0.0f;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed))
    return false;
  *value = negative ? -parsed : parsed;
  return true;
}

bool ParseDword(std::string_view text, DWORD* value) {
  const bool negative = TakeSign(&text);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'X' || text[1] == 'x')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.front() == '+' || text.front() == '-') return false;
  std::uint32_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  *value = negative ? 0u - parsed : parsed;
  return true;
}

template <class T, class Parse>
bool ReadImmediate(const char* line, T* values, UINT capacity, UINT* count, Parse parse) {
  *count = 0;
  const char* open = line != nullptr ? std::strchr(line, '<') : nullptr;
  const char* close = open != nullptr ? std::strchr(open, '>') : nullptr;
  if (close == nullptr) return false;
  std::string_view rest(open + 1, static_cast<size_t>(close - open - 1));
  for (;;) {
    const size_t comma = rest.find(',');
    if (*count == capacity || !parse(Trimmed(rest.substr(0, comma)), &values[*count])) return false;
    ++*count;
    if (comma == std::string_view::npos) return true;
    rest.remove_prefix(comma + 1);
  }
}

}  // namespace

bool ReadImmediateFloats(const char* line, float* values, UINT capacity, UINT* count) {
  return ReadImmediate(line, values, capacity, count, ParseFloat);
}

bool ReadImmediateDwords(const char* line, DWORD* values, UINT capacity, UINT* count) {
  return ReadImmediate(line, values, capacity, count, ParseDword);
}

bool ReadImmediateFloat(const char* text, float* value) {
  return text != nullptr && ParseFloat(Trimmed(text), value);
}
