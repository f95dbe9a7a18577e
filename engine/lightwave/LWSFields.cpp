#include "lightwave/LWSFields.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

const char* NextField(const char* from) {
  while (*from != '\0' && *from != ' ') ++from;
  return from;
}

void LowerCase(char* text) {
  for (; *text != '\0'; ++text) *text = static_cast<char>(std::tolower(static_cast<unsigned char>(*text)));
}

const char* ItemName(const char* line, std::size_t& length) {
  const char* blank = std::strchr(line, ' ');
  const char* name = blank != nullptr ? blank + 1 : line + std::strlen(line);
  length = std::strlen(name);
  while (length > 0 && (name[length - 1] == '\n' || name[length - 1] == '\r')) --length;
  return name;
}

const char* Column(const char* line, UINT column) { return line + strnlen(line, column); }

const char* LWSFields::Next() {
  const char* blank = NextField(m_from);
  if (*blank == '\0') {
    m_from = blank;
    return blank;
  }
  m_from = blank + 1;
  return m_from;
}

int LWSFields::ReadInt(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

float LWSFields::ReadFloat(const char* text) { return std::strtof(text, nullptr); }
