#pragma once
// One output line of the console. A live line has a refresh callback that rewrites its text
// every frame from current engine values; a plain line keeps the text it was given.
#include <cstdint>

struct ConsoleLine {
  static constexpr unsigned kTextLength = 64;

  // Up to 64 characters, always terminated: the last byte stays 0.
  char szText[kTextLength + 1];
  uint32_t dwInUse;        // 1 once the line was handed out
  void* pRefreshArgument;  // the engine context, for live lines
  // Writes the line's text (at most kTextLength characters) from `argument`; null for a plain line.
  int (*fpRefresh)(char* text, void* argument);
};
