#pragma once
// One camera item of a LightWave scene as the reader fills it before CScene::CreateSceneCamera.
#include "scene/ImportEnvelope.h"
#include "scene/Motion.h"

struct LWSCameraBuffer {
  ImportEnvelope zoomFactor;
  UINT reserved[2] = {};
  UINT targetIndex = 0;
  UINT targetType = 0;  // type word of the target, 0 for none
  CMotion motion;
  float pivotRotation[3] = {};  // radians

  LWSCameraBuffer() = default;
  LWSCameraBuffer(const LWSCameraBuffer&) = delete;
  LWSCameraBuffer& operator=(const LWSCameraBuffer&) = delete;

  void Reset();
};
