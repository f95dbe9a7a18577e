#pragma once
// Runs the test commands of zktest/ZkTestCommands.h: input through the injection calls of
// zktest/ZkTestInput.h, waits on presented frames and the platform clock, and screenshots taken
// by the Direct3D stand-in's Present.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "CommandSource.h"
#include "windef.h"

// What a present showed: 8-bit R, G, B, A per pixel, top row first.
struct ScreenPixels {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<uint8_t> rgba;
};

class CommandReader {
 public:
  static CommandReader& Instance();

  // At each PeekMessageA on the pumping thread: opens ZK_COMMANDS the first time, then runs
  // the lines that have arrived, up to one that has to wait.
  void Poll();
  bool Open(const char* path);
  void Feed(const char* text);
  void Reset();

  // Whether the next present should capture what it shows.
  bool ScreenshotDue();
  // Every present that reached the window ends here. `shown` is what it showed when it was
  // asked to capture that, empty when the capture failed, null when it was not asked.
  void FramePresented(const ScreenPixels* shown);

 private:
  CommandReader() = default;
  void OpenLocked(const char* path);
  void ResetLocked();
  // Whether the lines have to wait for frames, the clock or a screenshot.
  bool Holding() const;
  enum class Outcome {
    Done,
    EndOfPass,       // the pointer moved: the next line waits until the pump has seen it
    WaitForWindow,  // there is no window yet: the line is tried again later
  };
  Outcome Run(const std::string& line);
  // Writes the picture as PNG under a temporary name and renames it; the reason when it fails.
  static std::string WriteScreenshot(const ScreenPixels& shown, const std::string& file);

  std::mutex m_lock;
  std::atomic<bool> m_started{false};
  std::atomic<bool> m_reading{false};
  CommandSource m_source;
  std::string m_lineWaitingForWindow;  // empty when none
  uint64_t m_framesPresented = 0;
  uint64_t m_resumeAtFrame = 0;
  uint64_t m_resumeAtMicroseconds = 0;
  std::string m_screenshotFile;
  bool m_tapHeld = false;
  HWND m_tapWindow = nullptr;
  BYTE m_tapKey = 0;
};
