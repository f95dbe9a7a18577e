#pragma once
// One null item of a LightWave scene as the reader fills it before CScene::CreateSceneNull. The
// name may carry a line of script after its first ";".
#include "scene/ImportName.h"
#include "scene/Motion.h"

struct LWSNullBuffer {
  ImportName name = {};  // as written
  UINT parentType = 0;   // type word of the parent, 0 for none
  UINT parentIndex = 0;
  CMotion motion;
  float pivotRotation[3] = {};  // radians

  LWSNullBuffer() = default;
  LWSNullBuffer(const LWSNullBuffer&) = delete;
  LWSNullBuffer& operator=(const LWSNullBuffer&) = delete;

  void Reset();
};
