#pragma once
// A sound server that hands out one recording listener (or none, when the test says so) and
// counts its Apply calls. Everything else answers neutrally.
#include "RecordingListener.h"
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
  UINT LoadStream(const char*, TonarisStream**, UINT) override { return 0; }
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
