#include "scene/LWSNullBuffer.h"

#include <cstring>

#include "scene/ImportRecordHelpers.h"

void LWSNullBuffer::Reset() {
  std::memset(name, 0, sizeof name);
  parentType = parentIndex = 0;
  ResetToConstructed(motion);
  pivotRotation[0] = pivotRotation[1] = pivotRotation[2] = 0.0f;
}
