// The original C runtime's case-blind string calls, and the letter test of its ANSI code page.
#include <cstring>

#include "windows.h"

namespace {

unsigned char LowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }
unsigned char UpperAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }

}  // namespace

int _strnicmp(const char* a, const char* b, size_t count) {
  if (!a || !b) return a == b ? 0 : a ? 1 : -1;
  for (size_t i = 0; i < count; ++i) {
    const int difference =
        LowerAscii(static_cast<unsigned char>(a[i])) - LowerAscii(static_cast<unsigned char>(b[i]));
    if (difference != 0 || a[i] == '\0') return difference;
  }
  return 0;
}

int _stricmp(const char* a, const char* b) { return _strnicmp(a, b, static_cast<size_t>(-1)); }

char* _strlwr(char* text) {
  for (char* c = text; c && *c; ++c)
    *c = static_cast<char>(LowerAscii(static_cast<unsigned char>(*c)));
  return text;
}

char* _strupr(char* text) {
  for (char* c = text; c && *c; ++c)
    *c = static_cast<char>(UpperAscii(static_cast<unsigned char>(*c)));
  return text;
}

// Letters of Windows-1252, the ANSI code page the data was written in.
BOOL IsCharAlphaA(CHAR ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return TRUE;
  switch (c) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA: return TRUE;
    default: return (c >= 0xC0 && c != 0xD7 && c != 0xF7) ? TRUE : FALSE;
  }
}
