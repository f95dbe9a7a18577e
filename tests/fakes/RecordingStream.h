#pragma once
// A sound stream that counts Play calls and keeps the last 3D position it was given.
#include "TonarisInterface.h"

class RecordingStream final : public TonarisStream {
 public:
  int playCalls = 0;
  int positionCalls = 0;
  float position[3] = {};

  UINT Play() override {
    ++playCalls;
    return 1;
  }
  UINT SetPosition(float x, float y, float z) override {
    position[0] = x, position[1] = y, position[2] = z;
    ++positionCalls;
    return 1;
  }

  UINT Update() override { return 0; }
  UINT DecodeData(BYTE*, int) override { return 0; }
  UINT GetIsPlayed() override { return 0; }
  UINT Stop() override { return 0; }
  UINT Reset() override { return 0; }
  UINT SetPositionInSeconds(double) override { return 0; }
  UINT SetPositionInBytes(UINT) override { return 0; }
  double GetPositionInSeconds() override { return 0; }
  UINT GetPositionInBytes() override { return 0; }
  UINT SetVolume(int) override { return 0; }
  int GetVolume() override { return 0; }
  void Release() override {}
  float GetMaxDistance() override { return 0; }
  float GetMinDistance() override { return 0; }
  UINT SetMinDistance(float) override { return 0; }
  UINT SetMaxDistance(float) override { return 0; }
  UINT SetFrequency(UINT) override { return 0; }
  UINT GetFrequency() override { return 0; }
  UINT GetPosition(float&, float&, float&) override { return 0; }
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
  TonarisStream* GetNext() override { return nullptr; }
  void SetNext(TonarisStream*) override {}
  TonarisStream* GetPrevious() override { return nullptr; }
  void SetPrevious(TonarisStream*) override {}
};
