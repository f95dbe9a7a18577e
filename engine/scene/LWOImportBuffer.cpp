#include "scene/LWOImportBuffer.h"

#include <algorithm>
#include <new>
#include <type_traits>

#include "scene/ImportRecordHelpers.h"

namespace {

constexpr WORD kAllShadowOptions = 7;

static_assert(std::is_trivially_copyable_v<LWOPoint> && std::is_standard_layout_v<LWOPoint>);

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
  SpareArray spare = TakeSpare(count);
  if (spare.array == nullptr) return false;
  std::fill(spare.array.get(), spare.array.get() + count, LWOPoint{});
  points = std::move(spare.array);
  m_pointCapacity = spare.capacity;
  pointCount = count;
  return true;
}

bool LWOImportBuffer::ReservePoints(UINT count) {
  if (count <= m_pointCapacity) return true;
  SpareArray spare = TakeSpare(count);
  if (spare.array == nullptr) return false;
  std::copy(points.get(), points.get() + pointCount, spare.array.get());
  KeepSpare(std::move(points), m_pointCapacity);
  points = std::move(spare.array);
  m_pointCapacity = spare.capacity;
  return true;
}

std::unique_ptr<LWOPoint[]> LWOImportBuffer::TakePointArray(UINT count, UINT& capacity) {
  SpareArray spare = TakeSpare(count);
  capacity = spare.capacity;
  return std::move(spare.array);
}

void LWOImportBuffer::ReplacePoints(std::unique_ptr<LWOPoint[]> array, UINT count, UINT capacity) {
  RecyclePoints();
  if (array == nullptr) return;
  points = std::move(array);
  m_pointCapacity = capacity;
  pointCount = count;
}

void LWOImportBuffer::RecyclePoints() {
  KeepSpare(std::move(points), m_pointCapacity);
  pointCount = 0;
  m_pointCapacity = 0;
}

void LWOImportBuffer::KeepSpare(std::unique_ptr<LWOPoint[]> array, UINT capacity) {
  if (array == nullptr || capacity == 0) return;
  m_spares.push_back({std::move(array), capacity});
  if (m_spares.size() <= kMaxSpareArrays) return;
  // The smallest goes.
  const auto smallest = std::min_element(m_spares.begin(), m_spares.end(),
      [](const SpareArray& a, const SpareArray& b) { return a.capacity < b.capacity; });
  m_spares.erase(smallest);
}

LWOImportBuffer::SpareArray LWOImportBuffer::TakeSpare(UINT count) {
  auto best = m_spares.end();
  for (auto it = m_spares.begin(); it != m_spares.end(); ++it)
    if (it->capacity >= count && (best == m_spares.end() || it->capacity < best->capacity)) best = it;
  if (best != m_spares.end()) {
    SpareArray spare = std::move(*best);
    m_spares.erase(best);
    return spare;
  }
  SpareArray fresh;
  if (count > 0 && AllocateZeroed(fresh.array, fresh.capacity, count)) return fresh;
  return {};
}

void LWOImportBuffer::AppendUVEntry(LWOPoint& point, UINT slot, const LWOUVEntry& entry) {
  WORD& count = point.uvCount[slot];
  if (count == 0)
    point.uv[slot] = entry;
  else
    uvOverflow.push_back({point.index, slot, entry});
  if (count < LWO_MAX_UV_ENTRIES) ++count;
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
