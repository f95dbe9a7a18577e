#pragma once
// The demo's sounds, synthesised: a menu and a level music loop (as wave and as Ogg Vorbis) and
// the push and plug effects (wave). The same bytes on every run.
#include <cstdint>
#include <string>
#include <vector>

class DemoSounds {
 public:
  static constexpr uint32_t kRate = 22050;

  // Interleaved stereo samples of a melody of `notes` (semitones above A3, one per beat),
  // `beatSeconds` each, a soft sine with a short attack and release so that the loop joins.
  static std::vector<int16_t> Melody(const std::vector<int>& notes, float beatSeconds);
  // A falling thump of filtered noise, `seconds` long.
  static std::vector<int16_t> Thump(float seconds);
  // Two rising beeps.
  static std::vector<int16_t> Beeps();

  // Writes "sounds/menu_music.wav" and ".ogg", "sounds/level_music.wav" and ".ogg",
  // "sounds/push.wav" and "sounds/plug.wav" below `folder`; false when any failed.
  static bool Write(const std::string& folder);
};
