#pragma once
// A growable array of u32 entries; the tree collider keeps its answer in one. Two process-wide
// counters follow how many lists are alive and how many bytes they hold.
#include "windef.h"

extern UINT g_dwDwordLists;
extern UINT g_dwDwordListBytes;

class CDwordList {
 public:
  CDwordList();
  ~CDwordList();
  CDwordList(const CDwordList&) = delete;
  CDwordList& operator=(const CDwordList&) = delete;

  // Makes room for at least `needed` entries beyond the current count, growing by the growth
  // factor. False when memory runs out; the list then keeps its entries and capacity.
  bool Resize(UINT needed);
  // Appends one entry; false, with nothing added, when the list cannot grow.
  bool Add(UINT entry);
  // Keeps the array for reuse.
  void Clear() { m_dwCount = 0; }

  UINT GetCapacity() const { return m_dwCapacity; }
  UINT GetCount() const { return m_dwCount; }
  const UINT* GetEntries() const { return m_pEntries; }
  UINT* GetEntries() { return m_pEntries; }

 private:
  UINT m_dwCapacity = 0;
  UINT m_dwCount = 0;
  UINT* m_pEntries = nullptr;
  float m_fGrowthFactor = 2.0f;
};
