#pragma once
// Names in the virtual file system are lowered (ASCII letters only) and otherwise compared
// exactly, so that "Scenes\Level1.zks" and "SCENES\LEVEL1.ZKS" name the same member.
#include <cstddef>
#include <cstring>

// Every name the file system keeps fits this buffer with its terminator.
constexpr size_t kVFSNameSize = 256;

inline char LowerAsciiCharacter(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

inline void LowerAsciiInPlace(char* text) {
  for (; *text; ++text) *text = LowerAsciiCharacter(*text);
}

// Copies `name` lowered into `buffer` (`size` bytes, zero-filled behind the name). False, with
// an empty buffer, when the name is null or does not fit with its terminator: a cut name could
// open a different file.
inline bool CopyLoweredName(char* buffer, size_t size, const char* name) {
  memset(buffer, 0, size);
  if (!name) return false;
  size_t length = strnlen(name, size);
  if (length >= size) return false;
  for (size_t i = 0; i < length; ++i) buffer[i] = LowerAsciiCharacter(name[i]);
  return true;
}
