#pragma once
// Writes short AVI files through libavformat for the video tests. Frame n is split across the
// middle: its top half is TopColour(n) and its bottom half BottomColour(n), so a reader's frame
// order and row order can both be checked. The sound, when asked for, is a known byte pattern.
#include <cstdint>
#include <string>

class AviWriter {
 public:
  enum class Video { Raw, Mjpeg };
  enum class Sound { None, Pcm16Stereo, Pcm8Mono, Mp2Stereo };

  AviWriter(int width, int height, int framesPerSecond)
      : m_width(width), m_height(height), m_fps(framesPerSecond) {}
  AviWriter& WithVideo(Video video) {
    m_video = video;
    return *this;
  }
  AviWriter& WithSound(Sound sound, int sampleRate) {
    m_sound = sound;
    m_sampleRate = sampleRate;
    return *this;
  }

  // 0x00RRGGBB colours of frame n.
  static uint32_t TopColour(int frame);
  static uint32_t BottomColour(int frame);
  // The PCM bytes of the sound of `frames` frames, as a PCM track stores them.
  std::string SoundBytes(int frames) const;

  // Writes `frames` frames (and their sound); throws std::runtime_error on failure.
  void Write(const std::string& path, int frames) const;

 private:
  int m_width, m_height, m_fps;
  Video m_video = Video::Raw;
  Sound m_sound = Sound::None;
  int m_sampleRate = 0;
};
