#pragma once
// The operations of the engine's console that the window procedure drives.
#include <cstdint>

class CConsoleControl {
 public:
  // Opens a closed console or closes an open one; returns 1 when it is now open.
  virtual uint32_t Toggle() = 0;
  // Put the next older or newer history line into the edit box.
  virtual void HistoryUp() = 0;
  virtual void HistoryDown() = 0;
  virtual void OnChar(uint32_t character) = 0;

 protected:
  ~CConsoleControl() = default;
};
