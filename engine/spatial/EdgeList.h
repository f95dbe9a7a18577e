#pragma once
// The edges of an imported triangle list: each edge is stored once, matched by its two vertex
// indices whatever the direction, and names the (at most two) faces that share it. A shadow
// volume needs every edge shared by exactly two faces.
#include <memory>
#include <unordered_map>

#include "ZKDXRecords.h"

class CEngineLog;

class CEdgeList {
 public:
  // The import's edge buffer has this many slots; one is always kept free.
  static constexpr UINT kCapacity = 32768;
  static constexpr WORD kNoFace = 0xFFFF;

  // The buffer holds `mostEdges` slots (at most kCapacity - 1): a list built from F triangles
  // never needs more than 3F, and a small object should not pay for the whole import's buffer.
  CEdgeList(CEngineLog* log, UINT mostEdges);

  // The index of the edge joining vertices a and b, added when new; -1 when the buffer is full.
  int FindOrAddEdge(WORD a, WORD b);
  // Makes `face` (number `faceNumber`) an owner of the edge: 1 when it became the first or
  // second owner, 0 when the edge already had two (it is then flagged as overshared).
  UINT AddOwner(UINT edge, Face* face, WORD faceNumber);

  UINT GetCount() const { return m_dwCount; }
  Edge* GetEdges() { return m_pEdges.get(); }
  // Hands the buffer to the caller, who frees it with delete[].
  Edge* Detach() { return m_pEdges.release(); }

 private:
  CEngineLog* m_pLog;
  UINT m_dwSlots;
  std::unique_ptr<Edge[]> m_pEdges;
  UINT m_dwCount = 0;
  // (lo << 16 | hi) to the edge's index; an edge is added only when not found, so the first
  // stored match is the only one.
  std::unordered_map<UINT, UINT> m_Index;
};

// Builds the edges of `faceCount` import face records. FaceRecord has the import's layout:
// `v[3]` vertex indices, `edgeIndex[3]` and `edge[3]` receiving the face's edges (edge k joins
// corner k to corner k + 1 modulo 3). Each edge's owners point at the import's records, which
// the import reads back through them. The buffer is handed out through `edgesOut` (delete[])
// whatever the result, and `count` gets the number of edges. 1 when no edge has more than two
// faces; 0 otherwise or when the buffer runs full.
template <class FaceRecord>
UINT BuildEdgeList(Edge** edgesOut, UINT* count, FaceRecord* faces, UINT faceCount,
                   CEngineLog* log) {
  CEdgeList list(log, faceCount > (CEdgeList::kCapacity - 1) / 3 ? CEdgeList::kCapacity - 1 : faceCount * 3);
  UINT result = 1;
  for (UINT f = 0; f < faceCount && result != 2; ++f) {
    FaceRecord& face = faces[f];
    for (UINT k = 0; k < 3; ++k) {
      const int edge = list.FindOrAddEdge(face.v[k], face.v[(k + 1) % 3]);
      if (edge < 0) {
        result = 2;
        break;
      }
      // The owner pointer is only a handle for the import: the engine reads owners through
      // their face numbers.
      if (list.AddOwner(static_cast<UINT>(edge), reinterpret_cast<Face*>(&face),
                        static_cast<WORD>(f)) == 0) {
        result = 0;
        continue;
      }
      face.edgeIndex[k] = static_cast<WORD>(edge);
      face.edge[k] = list.GetEdges() + edge;
    }
  }
  *count = list.GetCount();
  *edgesOut = list.Detach();
  return result == 1 ? 1 : 0;
}
