#pragma once
// One light item of a LightWave scene as the reader fills it before CScene::CreateSceneLight.
#include "scene/ImportEnvelope.h"
#include "scene/ImportName.h"
#include "scene/Motion.h"

struct LWSLightBuffer {
  // What a light block starts with when the file does not say otherwise.
  static constexpr float kDefaultRange = 3.4028235e38f;
  static constexpr float kDefaultEdgeAngle = 7.5f;

  CMotion motion;
  CVector3 lightVector;  // not set from the file
  ImportEnvelope intensity;
  UINT parentType = 0;
  UINT parentIndex = 0;
  ImportEnvelope range;
  UINT targetIndex = 0;
  UINT targetType = 0;
  ImportEnvelope flareRingSize;
  ImportEnvelope coneAngle;
  ImportEnvelope edgeAngle;
  ImportEnvelope color[3];      // red, green, blue
  float pivotRotation[3] = {};  // radians
  WORD lightType = 0;           // 0 distant, 1 point, 2 spot
  WORD lightNumber = 0;         // place among the lit lights
  UINT itemActive = 1;
  ImportName name = {};             // lower case
  ImportName projectionImage = {};  // lower case
  UINT reserved = 0;
  UINT lensFlare = 0;
  UINT hasProjectionImage = 0;
  UINT falloffType = 0;

  LWSLightBuffer() = default;
  LWSLightBuffer(const LWSLightBuffer&) = delete;
  LWSLightBuffer& operator=(const LWSLightBuffer&) = delete;

  // Everything zero and empty, then the start values: the largest range and an edge angle of
  // 7.5, neither enveloped, and the item active.
  void Reset();
};
