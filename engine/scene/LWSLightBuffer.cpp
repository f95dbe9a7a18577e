#include "scene/LWSLightBuffer.h"

#include <cstring>

#include "scene/ImportRecordHelpers.h"

void LWSLightBuffer::Reset() {
  ResetToConstructed(motion);
  lightVector = CVector3();
  for (ImportEnvelope* envelope :
       {&intensity, &range, &flareRingSize, &coneAngle, &edgeAngle, &color[0], &color[1], &color[2]})
    envelope->Reset();
  range.value = kDefaultRange;
  edgeAngle.value = kDefaultEdgeAngle;
  parentType = parentIndex = targetIndex = targetType = 0;
  pivotRotation[0] = pivotRotation[1] = pivotRotation[2] = 0.0f;
  lightType = lightNumber = 0;
  itemActive = 1;
  std::memset(name, 0, sizeof name);
  std::memset(projectionImage, 0, sizeof projectionImage);
  reserved = lensFlare = hasProjectionImage = falloffType = 0;
}
