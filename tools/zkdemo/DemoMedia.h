#pragma once
// The demo's loose media: the start menu's short video with its sound, and the mouse cursor.
#include <string>

class DemoMedia {
 public:
  static constexpr int kVideoWidth = 160;
  static constexpr int kVideoHeight = 120;
  static constexpr int kVideoFramesPerSecond = 15;
  static constexpr int kVideoFrames = 45;  // three seconds
  static constexpr int kCursorSize = 32;

  // A white arrow with a black outline, its point at the hot spot (0, 0); the rest transparent.
  static std::string Cursor();

  // Writes "menu/intro.avi" (uncompressed frames with a 16-bit stereo PCM track) and
  // "cursors/arrow.cur" below `folder`; false when either failed.
  static bool Write(const std::string& folder);
};
