#pragma once
// Everything the LightWave import learns about one object before it becomes an engine mesh:
// the object file's tags, points, triangles, surfaces, clips, UV maps and weight maps, the
// scene's settings for the object (motion, pivot, parent, morph, dissolve, bones), and what
// the processing adds (edges, normals, per-surface index lists).
//
// The record is large (the fixed tables hold 65536 triangles and 16 surfaces of 65535 indices)
// and is made once on the heap and reset before each object. Unlike the tables, the arrays the
// readers allocate (tags, points, edges, weight entries, sequence frame names) belong to the
// buffer: a reset or the destructor frees them (the point array is kept for reuse, cleared), so
// no object's data outlives the next one.
#include <memory>

#include "scene/ImportEnvelope.h"
#include "scene/ImportName.h"
#include "scene/LWORecords.h"
#include "scene/LWOSurface.h"
#include "scene/Bone.h"
#include "scene/Motion.h"

class LWOImportBuffer {
 public:
  static constexpr UINT kMaxFaces = 65536;
  static constexpr UINT kMaxSurfaces = 16;
  static constexpr UINT kMaxClips = 64;
  static constexpr UINT kMaxWeightMaps = 64;
  static constexpr UINT kMaxBones = 64;
  // The scene reader accepts one bone fewer than the table holds.
  static constexpr UINT kMaxSceneBones = 63;
  static constexpr UINT kMaxUVMaps = 32;

  // transparencyClass values.
  enum : UINT { TRANSPARENCY_NONE = 0, TRANSPARENCY_ALL = 1, TRANSPARENCY_MIXED = 2 };

  std::unique_ptr<LWOTag[]> tags;      // tagCount of them
  std::unique_ptr<LWOPoint[]> points;  // pointCount of them
  LWOFace faces[kMaxFaces] = {};  // zero past faceCount: Reset clears only the used ones
  LWOSurface surfaces[kMaxSurfaces];
  std::unique_ptr<Edge[]> edges;  // edgeCount of them (processing)
  ImportName fileName = {};
  LWOClip clips[kMaxClips] = {};
  LWOWeightMap weightMaps[kMaxWeightMaps] = {};
  ImportEnvelope dissolve;
  UINT tagCount = 0;
  UINT weightMapCount = 0;
  UINT clipCount = 0;
  UINT pointCount = 0;
  UINT faceCount = 0;
  UINT edgeCount = 0;
  WORD surfaceCount = 0;
  UINT transparencyClass = TRANSPARENCY_NONE;
  UINT parentItem[2] = {};
  CMotion motion;
  CMotion morphMotion;  // one channel: the morph amount
  INT morphTarget = 0;  // -1 when none
  CVector3 pivotPosition;
  CVector3 pivotRotation;
  UINT morphEnabled = 0;
  UINT hasBones = 0;
  UINT boneCount = 0;
  CBone bones[kMaxBones];
  LWOUVMapName uvMapNames[kMaxUVMaps] = {};
  UINT uvMapCount = 0;
  WORD shadowOptions = 0;
  UINT seenByRays = 0;
  UINT seenByCamera = 0;
  // Processing: projected coordinates that did not fit their point's slot.
  std::vector<LWOOverflowUVEntry> uvOverflow;

  LWOImportBuffer() = default;
  LWOImportBuffer(const LWOImportBuffer&) = delete;
  LWOImportBuffer& operator=(const LWOImportBuffer&) = delete;

  // Empties the buffer for the next object: every table, count, text and flag zero (morph
  // target and the shadow and visibility flags included), motions, bones and envelopes as
  // constructed, and the allocated arrays freed.
  void Reset();
  // What the scene reader sets after Reset when it starts an object: no morph target, all
  // shadow options, seen by rays and by the camera.
  void StartSceneObject();

  // Room for `count` zeroed tags or points (the old array given up); false, with none, when the
  // memory cannot be had.
  bool AllocateTags(UINT count);
  bool AllocatePoints(UINT count);
  // Puts an array made elsewhere (the processing's own points) in place of the points; the
  // processing replaces them only this way, so that the array given out above is kept.
  void ReplacePoints(std::unique_ptr<LWOPoint[]> array, UINT count);
  // Appends a texture coordinate to the slot of the point, or to uvOverflow once the slot is
  // full.
  void AppendUVEntry(LWOPoint& point, UINT slot, const LWOUVEntry& entry);
  // The surface at `index` below surfaceCount, else null.
  LWOSurface* GetSurface(UINT index);
  // The clip whose file index is `index`, else null.
  const LWOClip* FindClip(UINT index) const;

 private:
  // Point records are large (most of one is its UV entries), so a point array of tens of
  // thousands runs to tens of megabytes. The array handed out by AllocatePoints is kept when an
  // object is done, out of sight, and handed out again to the next object that fits in it;
  // only what the earlier points used is cleared. The buffer lives for the process, as the
  // largest array then does.
  void RecyclePoints();
  std::unique_ptr<LWOPoint[]> m_spareStorage;
  UINT m_spareCapacity = 0;
  LWOPoint* m_issuedPoints = nullptr;  // the array AllocatePoints gave out, while in `points`
  UINT m_issuedCapacity = 0;
};
