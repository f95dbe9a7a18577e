#include "scene/LWOSurface.h"

#include <algorithm>

#include "scene/SurfaceProjection.h"

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

void LWOSurface::ProjectUV(UINT index, float x, float y, float z, float* u, float* v, float nx,
                           float ny, float nz) const {
  if (index >= LWO_CHANNEL_COUNT || !CSurfaceProjection::IsKnown(channel[index].projection)) return;
  const LWOSurfaceChannel& c = channel[index];
  const CSurfaceProjection projection(c.projection, c.mapFlags, c.center, c.size, c.wrapWidth,
                                      c.wrapHeight);
  const CSurfaceProjection::Axis axis = c.projection == CSurfaceProjection::CUBIC
                                            ? CSurfaceProjection::CubicAxis(CVector3(nx, ny, nz))
                                            : projection.GetAxis();
  projection.Project(CVector3(x, y, z), axis, u, v);
}

UINT GetDominantAxis(float nx, float ny, float nz) {
  switch (CSurfaceProjection::CubicAxis(CVector3(nx, ny, nz))) {
    case CSurfaceProjection::AXIS_X: return LWO_AXIS_X;
    case CSurfaceProjection::AXIS_Y: return LWO_AXIS_Y;
    default: return LWO_AXIS_Z;
  }
}

void HeadingAngle(float a, float, float c, float* heading) {
  *heading = CSurfaceProjection::HeadingAngle(a, c);
}

void HeadingAndPitch(float a, float b, float c, float* heading, float* pitch) {
  CSurfaceProjection::HeadingAndPitch(a, b, c, heading, pitch);
}
