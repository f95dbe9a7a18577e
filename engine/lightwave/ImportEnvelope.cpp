#include "lightwave/ImportEnvelope.h"

#include "lightwave/ImportRecordHelpers.h"

void ImportEnvelope::Reset() {
  value = 0.0f;
  isEnvelope = 0;
  ResetToConstructed(channel);
}
