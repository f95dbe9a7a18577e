#pragma once
// A 3D sound listener that keeps the last position and orientation it was given and counts
// the calls.
#include "TonarisInterface.h"

class RecordingListener final : public TonarisListener {
 public:
  float position[3] = {};
  float front[3] = {};
  float top[3] = {};
  int positionCalls = 0;
  int orientationCalls = 0;

  UINT SetPosition(float x, float y, float z) override {
    position[0] = x, position[1] = y, position[2] = z;
    ++positionCalls;
    return 1;
  }
  UINT SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz) override {
    front[0] = fx, front[1] = fy, front[2] = fz;
    top[0] = tx, top[1] = ty, top[2] = tz;
    ++orientationCalls;
    return 1;
  }
  UINT GetOrientation(float&, float&, float&, float&, float&, float&) override { return 0; }
  // The last position given.
  UINT GetPosition(float& x, float& y, float& z) override {
    x = position[0], y = position[1], z = position[2];
    return 1;
  }
  UINT GetVelocity(float&, float&, float&) override { return 0; }
  UINT SetVelocity(float, float, float) override { return 0; }
};
