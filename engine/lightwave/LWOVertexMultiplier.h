#pragma once
// Splits the points of a processed object where one point needs more than one vertex: one copy
// per smoothing group that uses it, and one per distinct texture coordinate pair of its face
// corners. The second step also welds corners that end up identical and drops points that no
// face uses. Both replace the buffer's point array and renumber the faces' corners.
//
// Both find every corner's record first and then build the records in the buffer's reused
// arrays, the first step appending its copies after the points; six records per face is only
// the limit past which the object is refused.
#include <span>
#include <vector>

#include "scene/LWOImportBuffer.h"

class LWOVertexMultiplier {
 public:
  // Records per face the working arrays may hold.
  static constexpr UINT kRecordsPerFace = 6;

  explicit LWOVertexMultiplier(LWOImportBuffer& buffer) : m_buffer(buffer) {}

  // One copy of a point per smoothing group of the faces that use it. Returns 1.
  UINT MultiplyVertices();
  // Gives each face corner the coordinate pair of its face (per-polygon entry first, else the
  // entry of its surface channel's UV map) as the first entry of each slot, and welds equal
  // corners.
  // The argument is not used. Returns 1.
  UINT MultiplyVerticesForVMAD(UINT unused);

 private:
  // Refuses more than 65534 points, which corners cannot name, before anything is changed.
  void CheckPointCount(size_t count) const;
  // The faces' corners from `corners` (three a face).
  void WriteCorners(const std::vector<UINT>& corners);
  // The entry of `slot` of `point` that face `face` uses: its per-polygon entry, else the entry
  // of the map `uvMap`, the last match winning; the first entry when neither is there.
  LWOUVEntry ChooseCoordinates(const LWOPoint& point, UINT slot, UINT face, INT uvMap) const;
  // Whether a slot of the point holds a per-polygon entry, which makes its pairs face by face.
  bool HasPerPolygonEntry(const LWOPoint& point) const;
  // Orders the buffer's entries after each point's first by point file index and slot, each
  // point's in the order they were added, for LaterEntries.
  void IndexLaterEntries();
  std::span<const LWOOverflowUVEntry> LaterEntries(UINT index, UINT slot) const;
  std::vector<LWOOverflowUVEntry> m_later;
  // Where each file index below pointCount starts in m_later, two slots an index; the entries
  // of larger indices (only a buffer filled by hand has them) follow, found by search.
  std::vector<UINT> m_laterStart;

  LWOImportBuffer& m_buffer;
};
