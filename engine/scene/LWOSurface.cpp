#include "scene/LWOSurface.h"

#include <algorithm>

void LWOSurface::Reset() {
  // Indices past the count are never written, so only the used ones need clearing.
  const UINT used = std::max(indexCount, indexCountCopy);
  std::fill(indices, indices + std::min<UINT>(used, kMaxIndices), WORD{0});
  CopyName(name, nullptr);
  for (LWOSurfaceChannel& entry : channel) entry.Reset();
  smoothingAngle = 0.0f;
  flags = indexCount = indexCountCopy = smoothing = 0;
  colorTextureCount = 0;
  alpha = 0.0f;
}

void LWOSurface::SetDefaults() {
  smoothing = 1;
  smoothingAngle = 0.0f;
  flags = 0;
  colorTextureCount = 0;
  alpha = 1.0f;
  for (LWOSurfaceChannel& entry : channel) {
    entry.Reset();
    entry.SetDefaults();
  }
  channel[LWO_CHANNEL_TRANSPARENCY].SetValue(1.0f);
  channel[LWO_CHANNEL_REFRACTION].SetValue(1.0f);
  channel[LWO_CHANNEL_DIFFUSE].SetValue(1.0f);
  channel[LWO_CHANNEL_GLOSSINESS].SetValue(0.4f);
}

bool LWOSurface::SetIndices(const WORD* list, UINT count) {
  if ((list == nullptr && count != 0) || count > kMaxIndices) return false;
  std::copy(list, list + count, indices);
  indexCount = indexCountCopy = static_cast<WORD>(count);
  return true;
}
