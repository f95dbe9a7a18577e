#pragma once
// Partitions the triangles of a processed object into smoothing groups: triangles joined across
// shared edges whose normals differ by less than their surface's smoothing angle. Needs the
// face normals and the edge list; every face gets its `visited` mark and its group number.
#include "scene/LWOImportBuffer.h"

class LWOSmoothingGroups {
 public:
  static constexpr UINT kNoGroup = 0xFFFFFFFF;
  // One flood reaches at most this many faces; later seeds and the merge pass do the rest.
  static constexpr UINT kMaxFloodVisits = 3000;

  explicit LWOSmoothingGroups(LWOImportBuffer& buffer) : m_buffer(buffer) {}

  // Floods groups from the first unassigned face until every face has one, then merges groups
  // that meet across an edge within the smoothing angle. Returns 1.
  UINT CalculateSmoothingGroups();
  // Floods `face` and, through its edges, the unvisited faces beyond it; `viaEdge` is the edge
  // the flood came across (null for a seed). 0 when the flood was cut off after
  // kMaxFloodVisits calls, else 1.
  UINT FloodSmoothingGroup(LWOFace& face, UINT& counter, const Edge* viaEdge, UINT& visits);

  // The face across `edge` seen from `face`: null on an open border or with no edge.
  static LWOFace* FaceAcross(const LWOFace& face, const Edge* edge);
  // Whether g's normal is strictly within f's surface smoothing angle of f's normal.
  static bool WithinSmoothingAngle(const LWOFace& f, const LWOFace& g);

 private:
  // Gives every face of f's group g's group, as one merge of the merge pass.
  void MergeGroups(UINT from, UINT to);

  LWOImportBuffer& m_buffer;
};
