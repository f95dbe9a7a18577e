#include "scene/LWOSurfaceChannel.h"

#include "scene/ImportRecordHelpers.h"

void LWOSurfaceChannel::Reset() {
  CopyName(image, nullptr);
  CopyName(envImage, nullptr);
  frames.reset();
  isSequence = frameCount = firstFrame = frameOffset = lastFrame = 0;
  sequenceFlags = 0;
  SetValue(0.0f);
  for (ImportEnvelope& component : envelope) component.Reset();
  mapFlags = 0;
  uvMap = 0;
  size = center = rotation = CVector3();
  opacity = 0.0f;
  blendOp = projection = 0;
  wrapWidth = wrapHeight = 0.0f;
}

void LWOSurfaceChannel::SetDefaults() {
  mapFlags = LWO_MAP_CUBE_GENERATED;
  projection = LWO_NO_PROJECTION;
  wrapWidth = wrapHeight = 1.0f;
  for (ImportEnvelope& component : envelope) component.isEnvelope = 0;
}

void LWOSurfaceChannel::SetValue(float scalar) { value[0] = value[1] = value[2] = scalar; }

bool LWOSurfaceChannel::AllocateFrames(UINT count) {
  return AllocateZeroed(frames, frameCount, count);
}

const char* LWOSurfaceChannel::GetFrameName(UINT index) const {
  return frames != nullptr && index < frameCount ? frames[index] : nullptr;
}

bool LWOSurfaceChannel::HasSequence() const {
  return isSequence != 0 && frames != nullptr && frameCount > 0;
}

bool LWOSurfaceChannel::HasImage() const { return image[0] != '\0' || HasSequence(); }
