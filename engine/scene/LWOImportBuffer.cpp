#include "scene/LWOImportBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

#include "scene/ImportRecordHelpers.h"

namespace {

constexpr WORD kAllShadowOptions = 7;

static_assert(std::is_trivially_copyable_v<LWOPoint> && std::is_standard_layout_v<LWOPoint>);

// Zeroes a point of an earlier object. UV entries past a slot's uvCount are never written but
// for entry 0, which the processing turns upside down in every point, so only those need
// clearing; everything else is zeroed whole.
void ClearUsedPoint(LWOPoint& point) {
  for (UINT slot = 0; slot < LWO_UV_SLOTS; ++slot) {
    const UINT used = std::clamp<UINT>(point.uvCount[slot], 1, LWO_MAX_UV_ENTRIES);
    std::fill(point.uv[slot], point.uv[slot] + used, LWOUVEntry{});
  }
  auto* bytes = reinterpret_cast<BYTE*>(&point);
  std::memset(bytes, 0, offsetof(LWOPoint, uv));
  std::memset(bytes + offsetof(LWOPoint, uvCount), 0, sizeof(LWOPoint) - offsetof(LWOPoint, uvCount));
}

}  // namespace

void LWOImportBuffer::Reset() {
  tags.reset();
  RecyclePoints();
  // Faces past faceCount are never written, so only the used ones need clearing.
  std::fill(faces, faces + std::min(faceCount, kMaxFaces), LWOFace{});
  for (LWOSurface& surface : surfaces) surface.Reset();
  edges.reset();
  CopyName(fileName, nullptr);
  std::fill(std::begin(clips), std::end(clips), LWOClip{});
  for (LWOWeightMap& map : weightMaps) map = LWOWeightMap{};
  dissolve.Reset();
  tagCount = weightMapCount = clipCount = pointCount = faceCount = edgeCount = 0;
  surfaceCount = 0;
  transparencyClass = TRANSPARENCY_NONE;
  parentItem[0] = parentItem[1] = 0;
  ResetToConstructed(motion);
  ResetToConstructed(morphMotion);
  morphTarget = 0;
  pivotPosition = pivotRotation = CVector3();
  morphEnabled = hasBones = boneCount = 0;
  for (CBone& bone : bones) ResetToConstructed(bone);
  std::fill(std::begin(uvMapNames), std::end(uvMapNames), LWOUVMapName{});
  uvMapCount = 0;
  shadowOptions = 0;
  seenByRays = seenByCamera = 0;
  uvOverflow.clear();
  uvOverflow.shrink_to_fit();
}

void LWOImportBuffer::StartSceneObject() {
  morphTarget = -1;
  shadowOptions = kAllShadowOptions;
  seenByRays = seenByCamera = 1;
}

bool LWOImportBuffer::AllocateTags(UINT count) { return AllocateZeroed(tags, tagCount, count); }

bool LWOImportBuffer::AllocatePoints(UINT count) {
  RecyclePoints();
  if (count == 0) return true;
  if (count <= m_spareCapacity) {
    points = std::move(m_spareStorage);
    m_issuedCapacity = m_spareCapacity;
    m_spareCapacity = 0;
    std::for_each(points.get(), points.get() + count, ClearUsedPoint);
  } else {
    m_spareStorage.reset();
    m_spareCapacity = 0;
    if (!AllocateZeroed(points, pointCount, count)) return false;
    m_issuedCapacity = count;
  }
  m_issuedPoints = points.get();
  pointCount = count;
  return true;
}

void LWOImportBuffer::ReplacePoints(std::unique_ptr<LWOPoint[]> array, UINT count) {
  RecyclePoints();
  points = std::move(array);
  pointCount = points != nullptr ? count : 0;
}

void LWOImportBuffer::RecyclePoints() {
  // An array made elsewhere (the processing's own) is simply freed.
  if (points != nullptr && points.get() == m_issuedPoints) {
    m_spareStorage = std::move(points);
    m_spareCapacity = m_issuedCapacity;
  }
  points.reset();
  pointCount = 0;
  m_issuedPoints = nullptr;
  m_issuedCapacity = 0;
}

void LWOImportBuffer::AppendUVEntry(LWOPoint& point, UINT slot, const LWOUVEntry& entry) {
  WORD& count = point.uvCount[slot];
  if (count < LWO_MAX_UV_ENTRIES)
    point.uv[slot][count++] = entry;
  else
    uvOverflow.push_back({point.index, slot, entry});
}

LWOSurface* LWOImportBuffer::GetSurface(UINT index) {
  return index < surfaceCount && index < kMaxSurfaces ? &surfaces[index] : nullptr;
}

const LWOClip* LWOImportBuffer::FindClip(UINT index) const {
  const UINT count = std::min(clipCount, kMaxClips);
  for (UINT i = 0; i < count; ++i)
    if (clips[i].index == index) return &clips[i];
  return nullptr;
}
