#include "lightwave/LWOSmoothingGroups.h"

#include <cmath>

#include "core/FatalError.h"

LWOFace* LWOSmoothingGroups::FaceAcross(const LWOFace& face, const Edge* edge) {
  if (edge == nullptr) return nullptr;
  const Face* self = reinterpret_cast<const Face*>(&face);
  return reinterpret_cast<LWOFace*>(edge->pOwner1 == self ? edge->pOwner2 : edge->pOwner1);
}

bool LWOSmoothingGroups::WithinSmoothingAngle(const LWOFace& f, const LWOFace& g) {
  const float dot = f.normal.z * g.normal.z + f.normal.y * g.normal.y + f.normal.x * g.normal.x;
  // Outside [-1, 1] there is no angle, and such a pair is not within; nor is NaN.
  if (!(dot >= -1.0f && dot <= 1.0f)) return false;
  return std::acos(dot) < f.surfaceRecord->smoothingAngle;
}

UINT LWOSmoothingGroups::CalculateSmoothingGroups() {
  LWOImportBuffer& b = m_buffer;
  for (UINT f = 0; f < b.faceCount; ++f) {
    b.faces[f].visited = 0;
    b.faces[f].smoothingGroup = kNoGroup;
  }
  if (b.faceCount == 0) return 1;
  UINT counter = 0;
  UINT visits = 0;
  FloodSmoothingGroup(b.faces[0], counter, nullptr, visits);
  // Floods cut off leave faces behind; each later seed starts a new group. Faces before the
  // last seed all have groups, so the search goes on from there.
  for (UINT seed = 0; seed < b.faceCount; ++seed) {
    if (b.faces[seed].smoothingGroup != kNoGroup) continue;
    ++counter;
    visits = 0;
    FloodSmoothingGroup(b.faces[seed], counter, nullptr, visits);
  }
  // Merge, starting over from the first face after every merge, until a scan merges nothing.
  // A merge only joins groups and the angle test does not look at them, so no pair before the
  // merging face can merge after it: the scan goes on from that face, with the merges (and their
  // order) of a scan from the first face.
  for (UINT f = 0; f < b.faceCount; ++f) {
    const LWOFace& face = b.faces[f];
    for (const Edge* edge : face.edge) {
      const LWOFace* other = FaceAcross(face, edge);
      if (other == nullptr || other->smoothingGroup == face.smoothingGroup) continue;
      if (!WithinSmoothingAngle(face, *other)) continue;
      MergeGroups(face.smoothingGroup, other->smoothingGroup);
      --f;  // the loop's increment brings it back to this face
      break;
    }
  }
  return 1;
}

void LWOSmoothingGroups::MergeGroups(UINT from, UINT to) {
  for (UINT f = 0; f < m_buffer.faceCount; ++f)
    if (m_buffer.faces[f].smoothingGroup == from) m_buffer.faces[f].smoothingGroup = to;
}

UINT LWOSmoothingGroups::FloodSmoothingGroup(LWOFace& face, UINT& counter, const Edge* viaEdge,
                                             UINT& visits) {
  if (++visits > kMaxFloodVisits) return 0;
  face.visited = 1;
  if (viaEdge == nullptr) {
    face.smoothingGroup = counter;
  } else {
    const LWOFace* from = FaceAcross(face, viaEdge);
    // A flood always arrives from a visited face; anything else means the edges are broken.
    if (from == nullptr || from->visited == 0)
      FatalErrorWithTitle("Error While Calculating Smoothing Groups", "DUPA!!!");
    if (WithinSmoothingAngle(face, *from)) face.smoothingGroup = from->smoothingGroup;
    for (const Edge* edge : face.edge) {
      if (face.smoothingGroup != kNoGroup) break;
      if (edge == nullptr || edge == viaEdge) continue;
      const LWOFace* other = FaceAcross(face, edge);
      if (other != nullptr && other->visited != 0 && WithinSmoothingAngle(face, *other))
        face.smoothingGroup = other->smoothingGroup;
    }
    if (face.smoothingGroup == kNoGroup) face.smoothingGroup = ++counter;
  }
  for (const Edge* edge : face.edge) {
    if (edge == nullptr || edge == viaEdge) continue;
    LWOFace* other = FaceAcross(face, edge);
    if (other != nullptr && other->visited == 0 &&
        FloodSmoothingGroup(*other, counter, edge, visits) == 0)
      return 0;
  }
  return 1;
}
