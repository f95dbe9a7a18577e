#include "scene/ImportEnvelope.h"

#include "scene/ImportRecordHelpers.h"

void ImportEnvelope::Reset() {
  value = 0.0f;
  isEnvelope = 0;
  ResetToConstructed(channel);
}
