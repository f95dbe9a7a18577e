#include "scene/LWSSceneBuffer.h"

#include <cstring>

void LWSSceneBuffer::Reset() {
  std::memset(name, 0, sizeof name);
  std::memset(directory, 0, sizeof directory);
  previewFirstFrame = previewLastFrame = previewFrameStep = 0;
  framesPerSecond = 0.0f;
  ambientColor[0] = ambientColor[1] = ambientColor[2] = 0.0f;
  ambientIntensity.Reset();
  activeLightCount = 0;
  lightCount = 0;
  currentFrame = 0.0f;
  fogType = 0;
  fogMinDistance = fogMaxDistance = 0.0f;
  fogColor = backdropColor = reserved = 0;
}
