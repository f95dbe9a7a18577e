#pragma once
// The node records of the four optimised tree layouts.
//
// A link is either a record of the same array or a leaf triangle; bit 0 tells them apart. A
// record link holds the record's index times two, so that links stay 32 bits wide on every
// platform instead of holding addresses; a leaf link holds (triangle * 2) + 1.
#include <cstddef>
#include <cstdint>
#include <emmintrin.h>

#include "spatial/CollisionBox.h"
#include "windef.h"

inline bool IsLeafLink(UINT link) { return (link & 1u) != 0; }
inline UINT LeafLink(UINT triangle) { return (triangle << 1) | 1u; }
inline UINT LinkTriangle(UINT link) { return link >> 1; }
inline UINT RecordLink(UINT index) { return index << 1; }
inline UINT LinkRecord(UINT link) { return link >> 1; }

// Float box and one link: a leaf triangle, or the first of two adjacent child records.
struct BoxTreeNode {
  CollisionBox box;
  UINT dwLink;

  bool IsLeaf() const { return IsLeafLink(dwLink); }
};

// Float box and two links, each a child record or a leaf triangle; no leaf records.
struct NoLeafBoxNode {
  CollisionBox box;
  UINT dwPositiveLink;
  UINT dwNegativeLink;
};

// 16-bit box: centre = value * centre coefficient, extents = value * extents coefficient.
struct QuantizedBoxNode {
  int16_t sCenter[3];
  uint16_t wExtents[3];
  UINT dwLink;

  bool IsLeaf() const { return IsLeafLink(dwLink); }
};

struct QuantizedNoLeafBoxNode {
  int16_t sCenter[3];
  uint16_t wExtents[3];
  UINT dwPositiveLink;
  UINT dwNegativeLink;
};

static_assert(sizeof(BoxTreeNode) == 28);
static_assert(sizeof(NoLeafBoxNode) == 32);
static_assert(sizeof(QuantizedBoxNode) == 16);
static_assert(sizeof(QuantizedNoLeafBoxNode) == 20);

// The coefficients that turn a quantized record back into a float box.
struct Dequantization {
  float fCenter[3] = {0.0f, 0.0f, 0.0f};
  float fExtents[3] = {0.0f, 0.0f, 0.0f};
};

// The coefficients in lanes, lane 3 zero, so that decoding a record leaves lane 3 at zero.
struct DequantizationLanes {
  CollisionLanes center = {0.0f, 0.0f, 0.0f, 0.0f};
  CollisionLanes extents = {0.0f, 0.0f, 0.0f, 0.0f};

  static DequantizationLanes From(const Dequantization& q) {
    return {CollisionLanes{q.fCenter[0], q.fCenter[1], q.fCenter[2], 0.0f},
            CollisionLanes{q.fExtents[0], q.fExtents[1], q.fExtents[2], 0.0f}};
  }
};

// The float box of any record in lanes; float records ignore the coefficients. A quantized
// record's six values are decoded together; each lane multiplies as the scalar decode does.
template <typename FloatRecord>
inline CollisionBoxLanes DecodeFloatBoxLanes(const FloatRecord& node) {
  // Two unaligned loads instead of six single ones; the extents' load reads the first link,
  // which stays in the record, and lane 3 is cleared so no stray value reaches the arithmetic.
  static_assert(offsetof(FloatRecord, box) == 0 && sizeof(FloatRecord) >= 28);
  const char* bytes = reinterpret_cast<const char*>(&node);
  const __m128 lanes0To2 = _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0));
  return {reinterpret_cast<CollisionLanes>(
              _mm_and_ps(_mm_loadu_ps(reinterpret_cast<const float*>(bytes)), lanes0To2)),
          reinterpret_cast<CollisionLanes>(_mm_and_ps(
              _mm_loadu_ps(reinterpret_cast<const float*>(bytes + offsetof(CollisionBox, fExtents))),
              lanes0To2))};
}
inline CollisionBoxLanes DecodeBoxLanes(const BoxTreeNode& node, const DequantizationLanes&) {
  return DecodeFloatBoxLanes(node);
}
inline CollisionBoxLanes DecodeBoxLanes(const NoLeafBoxNode& node, const DequantizationLanes&) {
  return DecodeFloatBoxLanes(node);
}
template <typename QuantizedRecord>
inline CollisionBoxLanes DecodeQuantizedBoxLanes(const QuantizedRecord& node,
                                                 const DequantizationLanes& q) {
  // Both quantized records are at least 16 bytes and start with the six values.
  static_assert(sizeof(QuantizedRecord) >= 16 && offsetof(QuantizedRecord, sCenter) == 0 &&
                offsetof(QuantizedRecord, wExtents) == 6);
  const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&node));
  // Widened to 32 bits: a centre goes to the high half of its word and is shifted down with
  // its sign, an extent is paired with a zero half. Lane 3 reads the next value, which the
  // coefficients' zero lane 3 clears.
  const __m128i centers = _mm_srai_epi32(_mm_unpacklo_epi16(values, values), 16);
  const __m128i extents = _mm_unpacklo_epi16(_mm_srli_si128(values, 6), _mm_setzero_si128());
  return {reinterpret_cast<CollisionLanes>(_mm_cvtepi32_ps(centers)) * q.center,
          reinterpret_cast<CollisionLanes>(_mm_cvtepi32_ps(extents)) * q.extents};
}
inline CollisionBoxLanes DecodeBoxLanes(const QuantizedBoxNode& node, const DequantizationLanes& q) {
  return DecodeQuantizedBoxLanes(node, q);
}
inline CollisionBoxLanes DecodeBoxLanes(const QuantizedNoLeafBoxNode& node,
                                        const DequantizationLanes& q) {
  return DecodeQuantizedBoxLanes(node, q);
}

// The float box of any record.
template <typename Record>
inline CollisionBox DecodeBox(const Record& node, const Dequantization& q) {
  const CollisionBoxLanes lanes = DecodeBoxLanes(node, DequantizationLanes::From(q));
  CollisionBox box;
  for (int k = 0; k < 3; ++k) {
    box.fCenter[k] = lanes.center[k];
    box.fExtents[k] = lanes.extents[k];
  }
  return box;
}
