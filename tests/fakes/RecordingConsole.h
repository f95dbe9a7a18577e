#pragma once
// A console stand-in that records the window procedure's calls and flips an open flag on Toggle.
#include <string>
#include <vector>

#include "input/ConsoleControl.h"

class CRecordingConsole : public CConsoleControl {
 public:
  uint32_t Toggle() override {
    calls.push_back("toggle");
    open = open ? 0 : 1;
    return open;
  }
  void HistoryUp() override { calls.push_back("history up"); }
  void HistoryDown() override { calls.push_back("history down"); }
  void OnChar(uint32_t character) override { calls.push_back("char " + std::to_string(character)); }

  uint32_t open = 0;
  std::vector<std::string> calls;
};
