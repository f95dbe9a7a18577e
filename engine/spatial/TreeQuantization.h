#pragma once
// Turns float records into 16-bit records whose decoded boxes always hold the float boxes, so
// that a walk can decode without any correction. Shared by both quantized layouts.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "spatial/BoxTreeNodes.h"

namespace tree_quantization {

inline void CopyLinks(const BoxTreeNode& from, QuantizedBoxNode& to) { to.dwLink = from.dwLink; }
inline void CopyLinks(const NoLeafBoxNode& from, QuantizedNoLeafBoxNode& to) {
  to.dwPositiveLink = from.dwPositiveLink;
  to.dwNegativeLink = from.dwNegativeLink;
}

// Rounded half to even and kept in range; a broken (NaN) coordinate becomes 0 instead of an
// undefined conversion.
inline long RoundClamped(float value, long low, long high) {
  if (!(value == value)) return 0;
  const float rounded = std::nearbyint(value);
  if (rounded <= static_cast<float>(low)) return low;
  if (rounded >= static_cast<float>(high)) return high;
  return static_cast<long>(rounded);
}

inline bool Encloses(float center, float extent, float wantedMin, float wantedMax) {
  return center + extent >= wantedMax && center - extent <= wantedMin;
}

}  // namespace tree_quantization

// Records links stay valid as they are: they hold record indices, and the quantized array
// keeps the float array's order.
template <typename FloatRecord, typename QuantizedRecord>
void QuantizeRecords(const FloatRecord* in, UINT count, QuantizedRecord* out,
                     Dequantization& dequantization) {
  float centerMax[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  for (UINT i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k)
      centerMax[k] = std::fmax(centerMax[k], std::fabs(in[i].box.fCenter[k]));

  float centerFactor[3];
  for (int k = 0; k < 3; ++k) {
    centerFactor[k] = centerMax[k] > 0.0f ? 32767.0f / centerMax[k] : 0.0f;
    dequantization.fCenter[k] = centerFactor[k] != 0.0f ? 1.0f / centerFactor[k] : 0.0f;
    for (UINT i = 0; i < count; ++i)
      out[i].sCenter[k] = static_cast<int16_t>(tree_quantization::RoundClamped(
          centerFactor[k] * in[i].box.fCenter[k], -32768, 32767));
  }

  // The extents must cover the box around the decoded centre, which is off the float centre
  // by the centre's rounding: the scale is taken from those needed extents, so that an axis on
  // which every box is flat still gets extents wide enough to reach it.
  float neededMax[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  for (UINT i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k) {
      const float center = static_cast<float>(out[i].sCenter[k]) * dequantization.fCenter[k];
      const float min = in[i].box.fCenter[k] - in[i].box.fExtents[k];
      const float max = in[i].box.fCenter[k] + in[i].box.fExtents[k];
      neededMax[k] = std::fmax(neededMax[k], std::fmax(max - center, center - min));
    }

  for (int k = 0; k < 3; ++k) {
    const float extentFactor = neededMax[k] > 0.0f ? 32767.0f / neededMax[k] : 0.0f;
    dequantization.fExtents[k] = extentFactor != 0.0f ? 1.0f / extentFactor : 0.0f;
    for (UINT i = 0; i < count; ++i) {
      const float center = static_cast<float>(out[i].sCenter[k]) * dequantization.fCenter[k];
      const float min = in[i].box.fCenter[k] - in[i].box.fExtents[k];
      const float max = in[i].box.fCenter[k] + in[i].box.fExtents[k];
      const float needed = std::fmax(max - center, center - min);
      long quantized =
          tree_quantization::RoundClamped(extentFactor * in[i].box.fExtents[k], 0, 65535);
      const long reaching = tree_quantization::RoundClamped(std::ceil(extentFactor * needed), 0, 65535);
      if (quantized < reaching) quantized = reaching;
      if (quantized > 65535) quantized = 65535;
      // The decode's float rounding (large centres, tiny steps) can still fall short: widen by
      // doubling steps, so that even a long way takes a few tries.
      auto encloses = [&](long value) {
        return tree_quantization::Encloses(
            center, static_cast<float>(value) * dequantization.fExtents[k], min, max);
      };
      for (long increment = 1; quantized < 65535 && !encloses(quantized); increment *= 2)
        quantized = std::min(65535L, quantized + increment);
      out[i].wExtents[k] = static_cast<uint16_t>(quantized);
    }
  }

  for (UINT i = 0; i < count; ++i) tree_quantization::CopyLinks(in[i], out[i]);
}
