#pragma once
// The pairs that tie the game's action identifiers to a device's objects (key codes for a
// keyboard, object codes for a mouse). Several pairs may name the same object or the same action;
// lookups keep the order the game gave.
#include <cstdint>
#include <vector>

#include "ZKDXInterface.h"


class CActionMap {
 public:
  // Replaces the map with a copy of `count` pairs; a null array or a count of 0 empties it.
  // False, leaving the map empty, when memory runs out.
  bool Set(const ActionPair* pairs, uint32_t count);
  bool IsEmpty() const { return m_pairs.empty(); }
  // The first pair of `action`, or null.
  const ActionPair* FindAction(uint32_t action) const;
  // Calls `report(action)` for every pair on `object`, in map order.
  template <typename Report>
  void ForEachOnObject(uint32_t object, Report&& report) const {
    for (const ActionPair& pair : m_pairs)
      if (pair.dwObject == object) report(pair.dwAction);
  }

 private:
  std::vector<ActionPair> m_pairs;
};
