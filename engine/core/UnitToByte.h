#pragma once
// A colour channel of 0..1 as a byte: scaled, truncated toward zero and held to the byte's
// range, so a value out of range, infinite or not a number can never wrap into a neighbouring
// channel or overflow the conversion.
#include <cstdint>

inline std::uint32_t UnitToByte(float channel) {
  const float scaled = channel * 255.0f;
  if (!(scaled > 0.0f)) return 0;
  if (scaled >= 255.0f) return 255;
  return static_cast<std::uint32_t>(scaled);
}
