#pragma once
// What the OpenAL output asks of everything that plays through it (a DirectSound buffer, a
// waveOut device): one pump at a time, the samples due since the last pump and how to play them.
#include <cstdint>
#include <vector>

struct SoundVoiceFeed {
  // Changes whenever the source jumps (start, stop, seek, rate change, reset): the output then
  // drops whatever it still had queued.
  uint32_t generation = 0;
  bool playing = false;
  uint32_t rate = 44100;
  uint32_t channels = 2;  // 1 for positioned voices
  float gain = 1.0f;
  // Positioned voices (OpenAL's right-handed axes already).
  bool positional = false;
  bool headRelative = false;
  float position[3] = {0, 0, 0};
  float velocity[3] = {0, 0, 0};
  float direction[3] = {0, 0, 0};
  float coneInnerAngle = 360.0f;
  float coneOuterAngle = 360.0f;
  float coneOuterGain = 1.0f;
  float minDistance = 1.0f;
  float maxDistance = 1e9f;
  float rolloff = 1.0f;
  // Interleaved samples due since the last pump.
  std::vector<float> samples;
};

class ISoundVoiceSource {
 public:
  // Fills `feed` with the state at `now` and the samples up to `now + leadMicros`.
  virtual void Feed(uint64_t now, uint64_t leadMicros, SoundVoiceFeed& feed) = 0;

 protected:
  ~ISoundVoiceSource() = default;
};
