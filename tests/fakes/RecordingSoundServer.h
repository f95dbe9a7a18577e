#pragma once
// A sound server that hands out one recording listener (or none, when the test says so),
// counts its Apply calls, and loads every file but the ones a test names as failing into a
// recording stream it keeps, recording each load's name and flags. Everything else answers
// neutrally.
#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "RecordingListener.h"
#include "RecordingStream.h"
#include "TonarisInterface.h"

class RecordingSoundServer final : public TonarisInterface {
 public:
  RecordingListener listener;
  bool hasListener = true;
  int applyCalls = 0;

  TonarisListener* GetListenerInterface() override { return hasListener ? &listener : nullptr; }
  UINT Apply() override {
    ++applyCalls;
    return 1;
  }

  UINT Init(TonarisConfig*) override { return 1; }
  UINT GetGlobalVolume() override { return 0; }
  void SetGlobalVolume(UINT) override {}
  UINT Play() override { return 0; }
  UINT Stop() override { return 0; }
  std::set<std::string> failing;
  std::vector<std::pair<std::string, UINT>> loads;
  // In load order; a deque keeps the streams where they are as it grows.
  std::deque<RecordingStream> streams;
  UINT LoadStream(const char* name, TonarisStream** stream, UINT flags) override {
    loads.emplace_back(name ? name : "", flags);
    if (stream) *stream = nullptr;
    if (!stream || failing.count(loads.back().first)) return 0;
    *stream = &streams.emplace_back();
    return 1;
  }
  UINT Deinit() override { return 0; }
  UINT GetNumberOfDevices() override { return 0; }
  const char* GetDeviceName(UINT) override { return nullptr; }
  UINT GetDeviceFreeHw3DStaticBuffers(UINT) override { return 0; }
  UINT GetDeviceFreeHw3DStreamingBuffers(UINT) override { return 0; }
  UINT GetDeviceFreeHwStreamingBuffers(UINT) override { return 0; }
  UINT GetDeviceFreeHwStaticBuffers(UINT) override { return 0; }
  UINT GetDeviceFreeHwMemory(UINT) override { return 0; }
  UINT GetDeviceCapsValid(UINT) override { return 0; }
  float GetDistanceFactor() override { return 0; }
  float GetDopplerFactor() override { return 0; }
  float GetRolloffFactor() override { return 0; }
  UINT SetDistanceFactor(float) override { return 0; }
  UINT SetDopplerFactor(float) override { return 0; }
  UINT SetRolloffFactor(float) override { return 0; }
};
