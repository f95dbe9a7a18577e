#pragma once
// What the LightWave scene reader learns about the scene as a whole, handed to
// CScene::UpdateScene after the last item: names, frame range, ambient light, light counts,
// fog and backdrop. One record, reset before every scene file.
#include "scene/ImportEnvelope.h"
#include "scene/ImportName.h"

struct LWSSceneBuffer {
  ImportName name = {};       // lower case
  ImportName directory = {};  // lower case, ending in its separator
  INT previewFirstFrame = 0;
  INT previewLastFrame = 0;
  INT previewFrameStep = 0;
  float framesPerSecond = 0.0f;
  float ambientColor[3] = {};  // red, green, blue, 0 to 1
  ImportEnvelope ambientIntensity;
  WORD activeLightCount = 0;  // distant, point and spot lights
  UINT lightCount = 0;        // every light line
  float currentFrame = 0.0f;  // the reader never sets it
  UINT fogType = 0;           // 0 none, 3 linear
  float fogMinDistance = 0.0f;
  float fogMaxDistance = 0.0f;
  UINT fogColor = 0;       // 0x00RRGGBB
  UINT backdropColor = 0;  // 0x00RRGGBB
  UINT reserved = 0;

  LWSSceneBuffer() = default;
  LWSSceneBuffer(const LWSSceneBuffer&) = delete;
  LWSSceneBuffer& operator=(const LWSSceneBuffer&) = delete;

  // Texts, numbers and flags zero, the ambient channel emptied.
  void Reset();
};
