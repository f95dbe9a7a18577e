#include "LWOImportBuffer.h"

#include <algorithm>

#include "ImportRecordHelpers.h"

namespace {

constexpr WORD kAllShadowOptions = 7;

}  // namespace

void LWOImportBuffer::Reset() {
  tags.reset();
  points.reset();
  // Faces past faceCount are never written, so only the used ones need clearing.
  std::fill(faces, faces + std::min(faceCount, kMaxFaces), LWOFace{});
  for (LWOSurface& surface : surfaces) surface.Reset();
  edges.reset();
  CopyImportName(fileName, nullptr);
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
}

void LWOImportBuffer::StartSceneObject() {
  morphTarget = -1;
  shadowOptions = kAllShadowOptions;
  seenByRays = seenByCamera = 1;
}

bool LWOImportBuffer::AllocateTags(UINT count) { return AllocateZeroed(tags, tagCount, count); }

bool LWOImportBuffer::AllocatePoints(UINT count) {
  return AllocateZeroed(points, pointCount, count);
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
