#include "lightwave/LWOPointWelder.h"

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
  return m_index.try_emplace(key, Count()).first->second;
}
