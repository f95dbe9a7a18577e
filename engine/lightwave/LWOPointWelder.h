#pragma once
// Finds a vertex among the records met so far by exact equality of what the renderer reads of
// it: position, normal and the coordinate pair of each slot (entry 0). The first equal record
// in array order answers; anything else of a point (its file index, weights) is that record's.
#include <cstdint>
#include <vector>

#include "scene/LWORecords.h"

class LWOPointWelder {
 public:
  // The index of the first record equal to `point` with `uv0` and `uv1` as entry 0 of its two
  // slots; without one, such a record is added and its index (the count before) returned.
  UINT FindOrAddPoint(const LWOPoint& point, const LWOUVEntry& uv0, const LWOUVEntry& uv1);
  UINT Count() const { return static_cast<UINT>(m_keys.size()); }
  void Reserve(size_t records);

 private:
  struct Key {
    float value[10];
    bool operator==(const Key& other) const;
  };
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };

  static constexpr UINT kEmpty = 0xFFFFFFFF;
  void Rehash(size_t slots);

  // The records' keys in array order, and an open-addressed table of their indices (a power
  // of two slots, at most half full): no allocation per record.
  std::vector<Key> m_keys;
  std::vector<UINT> m_slots;
};
