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
#include <vector>

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
  // Every point's texture coordinates after the first of a slot, in the order they were added.
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
  // Makes room for `count` records in the point array, keeping the first pointCount; the
  // records past them are not cleared. False, with the points unchanged, when the memory cannot
  // be had.
  bool ReservePoints(UINT count);
  // An array of at least `count` records, for the processing to build new points in; `capacity`
  // receives its size. Its records are whole earlier points or zero, never cleared here. Null
  // when the memory cannot be had.
  std::unique_ptr<LWOPoint[]> TakePointArray(UINT count, UINT& capacity);
  // Puts an array the processing built in place of the points; the old array is kept for
  // reuse.
  void ReplacePoints(std::unique_ptr<LWOPoint[]> array, UINT count, UINT capacity);
  void ReplacePoints(std::unique_ptr<LWOPoint[]> array, UINT count) {
    ReplacePoints(std::move(array), count, count);
  }
  // Appends a texture coordinate to the slot of the point: the first into the point, later ones
  // to uvOverflow. The slot's count stops at LWO_MAX_UV_ENTRIES.
  void AppendUVEntry(LWOPoint& point, UINT slot, const LWOUVEntry& entry);
  // The surface at `index` below surfaceCount, else null.
  LWOSurface* GetSurface(UINT index);
  // The clip whose file index is `index`, else null.
  const LWOClip* FindClip(UINT index) const;

 private:
  // The processing replaces the point array several times an object. Arrays given up are kept
  // out of sight (the largest few) and handed out again to whatever fits in them, so that an
  // object's import touches memory it already has. The buffer lives for the process, as the
  // largest arrays then do.
  struct SpareArray {
    std::unique_ptr<LWOPoint[]> array;
    UINT capacity = 0;
  };
  static constexpr size_t kMaxSpareArrays = 3;
  void RecyclePoints();
  void KeepSpare(std::unique_ptr<LWOPoint[]> array, UINT capacity);
  // The smallest spare of at least `count` records, else a new zeroed one of exactly that many.
  SpareArray TakeSpare(UINT count);
  std::vector<SpareArray> m_spares;
  UINT m_pointCapacity = 0;  // of `points`
};
