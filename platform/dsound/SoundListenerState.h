#pragma once
// The listener as the output applies it (OpenAL's right-handed axes already).
struct SoundListenerState {
  float position[3] = {0, 0, 0};
  float velocity[3] = {0, 0, 0};
  float front[3] = {0, 0, -1};
  float top[3] = {0, 1, 0};
  float dopplerFactor = 1.0f;
  float speedOfSound = 343.3f;
};
