#include "scene/LWSCameraBuffer.h"

#include "scene/ImportRecordHelpers.h"

void LWSCameraBuffer::Reset() {
  zoomFactor.Reset();
  reserved[0] = reserved[1] = 0;
  targetIndex = targetType = 0;
  ResetToConstructed(motion);
  pivotRotation[0] = pivotRotation[1] = pivotRotation[2] = 0.0f;
}
