#include "lightwave/LWOPointWelder.h"

#include <algorithm>
#include <cstring>

bool LWOPointWelder::Key::operator==(const Key& other) const {
  // Float equality, not bytes: 0 and -0 weld, NaN never does.
  for (int i = 0; i < 10; ++i)
    if (!(value[i] == other.value[i])) return false;
  return true;
}

size_t LWOPointWelder::KeyHash::operator()(const Key& key) const {
  uint64_t hash = 1469598103934665603ull;
  for (float f : key.value) {
    uint32_t bits = 0;
    if (f != 0.0f) std::memcpy(&bits, &f, sizeof bits);  // both zeros hash alike
    hash = (hash ^ bits) * 1099511628211ull;
  }
  return static_cast<size_t>(hash ^ (hash >> 32));
}

UINT LWOPointWelder::FindOrAddPoint(const LWOPoint& point, const LWOUVEntry& uv0,
                                    const LWOUVEntry& uv1) {
  const Key key = {{point.position.x, point.position.y, point.position.z, point.normal.x,
                    point.normal.y, point.normal.z, uv0.u, uv0.v, uv1.u, uv1.v}};
  if ((m_keys.size() + 1) * 2 > m_slots.size()) Rehash(std::max<size_t>(m_slots.size() * 2, 64));
  const size_t mask = m_slots.size() - 1;
  for (size_t slot = KeyHash()(key) & mask;; slot = (slot + 1) & mask) {
    if (m_slots[slot] == kEmpty) {
      m_slots[slot] = Count();
      m_keys.push_back(key);
      return m_slots[slot];
    }
    if (m_keys[m_slots[slot]] == key) return m_slots[slot];
  }
}

void LWOPointWelder::Reserve(size_t records) {
  m_keys.reserve(records);
  size_t slots = 64;
  while (slots < records * 2) slots *= 2;
  if (slots > m_slots.size()) Rehash(slots);
}

void LWOPointWelder::Rehash(size_t slots) {
  m_slots.assign(slots, kEmpty);
  const size_t mask = slots - 1;
  for (UINT i = 0; i < Count(); ++i) {
    size_t slot = KeyHash()(m_keys[i]) & mask;
    while (m_slots[slot] != kEmpty) slot = (slot + 1) & mask;
    m_slots[slot] = i;
  }
}
