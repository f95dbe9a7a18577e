#pragma once
// A sound stream that counts Play, Update and Release calls, records Play, Stop, Reset and
// SetVolume in order, keeps the last 3D position it was given, and keeps the list links a sound
// server sets. The sound server's refill thread reads
// `played` and counts `updateCalls`, so those two are atomic.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "TonarisInterface.h"

class RecordingStream final : public TonarisStream {
 public:
  int playCalls = 0;
  // "Play", "Stop", "Reset" and "SetVolume <v>", in call order.
  std::vector<std::string> sequence;
  int positionCalls = 0;
  float position[3] = {};
  std::atomic<UINT> played{0};
  std::atomic<int> updateCalls{0};
  int releaseCalls = 0;
  // Run by Release, e.g. to unlink the stream from a server.
  std::function<void(RecordingStream*)> onRelease;
  TonarisStream* next = nullptr;
  TonarisStream* previous = nullptr;

  UINT Play() override {
    ++playCalls;
    sequence.emplace_back("Play");
    return 1;
  }
  UINT SetPosition(float x, float y, float z) override {
    position[0] = x, position[1] = y, position[2] = z;
    ++positionCalls;
    return 1;
  }

  UINT Update() override {
    ++updateCalls;
    return 1;
  }
  UINT DecodeData(BYTE*, int) override { return 0; }
  UINT GetIsPlayed() override { return played; }
  UINT Stop() override {
    sequence.emplace_back("Stop");
    return 0;
  }
  UINT Reset() override {
    sequence.emplace_back("Reset");
    return 0;
  }
  UINT SetPositionInSeconds(double) override { return 0; }
  UINT SetPositionInBytes(UINT) override { return 0; }
  double GetPositionInSeconds() override { return 0; }
  UINT GetPositionInBytes() override { return 0; }
  UINT SetVolume(int volume) override {
    sequence.push_back("SetVolume " + std::to_string(volume));
    return 0;
  }
  int GetVolume() override { return 0; }
  void Release() override {
    ++releaseCalls;
    if (onRelease) onRelease(this);
  }
  float GetMaxDistance() override { return 0; }
  float GetMinDistance() override { return 0; }
  UINT SetMinDistance(float) override { return 0; }
  UINT SetMaxDistance(float) override { return 0; }
  UINT SetFrequency(UINT) override { return 0; }
  UINT GetFrequency() override { return 0; }
  // The last position given.
  UINT GetPosition(float& x, float& y, float& z) override {
    x = position[0], y = position[1], z = position[2];
    return 1;
  }
  UINT GetVelocity(float&, float&, float&) override { return 0; }
  UINT SetVelocity(float, float, float) override { return 0; }
  UINT GetConeAngles(UINT&, UINT&) override { return 0; }
  UINT SetConeAngles(UINT, UINT) override { return 0; }
  UINT GetConeOrientation(float&, float&, float&) override { return 0; }
  UINT SetConeOrientation(float, float, float) override { return 0; }
  int GetConeOutsideVolume() override { return 0; }
  UINT SetConeOutsideVolume(int) override { return 0; }
  int GetPan() override { return 0; }
  UINT SetPan(int) override { return 0; }
  TonarisStream* GetNext() override { return next; }
  void SetNext(TonarisStream* stream) override { next = stream; }
  TonarisStream* GetPrevious() override { return previous; }
  void SetPrevious(TonarisStream* stream) override { previous = stream; }
};
