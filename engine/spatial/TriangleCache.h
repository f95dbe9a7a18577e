#pragma once
// The triangles one query has fetched, by triangle index, in the space the query decides pairs
// in: a walk meets the same leaf again and again, and each fetch is a callback and a move
// between spaces. Direct-mapped and small, so that it lives in the collider; emptied per query.
#include "windef.h"
#include "spatial/CollisionTriangle.h"

class CTriangleCache {
 public:
  // Forgets every entry: a new query may have moved the corners or the placement.
  void Clear() {
    if (++m_dwGeneration != 0) return;
    for (Entry& entry : m_entries) entry.dwGeneration = 0;
    m_dwGeneration = 1;
  }

  // The entry of `triangle`, made by `make` when the slot holds another triangle or none. The
  // reference stays valid until the next call.
  template <typename Make>
  const CollisionTriangleLanes& Get(UINT triangle, Make&& make) {
    Entry& entry = m_entries[triangle & (kEntries - 1)];
    if (entry.dwGeneration != m_dwGeneration || entry.dwTriangle != triangle) {
      entry.corners = make();
      entry.dwTriangle = triangle;
      entry.dwGeneration = m_dwGeneration;
    }
    return entry.corners;
  }

 private:
  static constexpr UINT kEntries = 128;
  static_assert((kEntries & (kEntries - 1)) == 0);
  struct Entry {
    CollisionTriangleLanes corners;
    UINT dwTriangle;
    UINT dwGeneration;
  };
  Entry m_entries[kEntries]{};
  UINT m_dwGeneration = 1;
};
