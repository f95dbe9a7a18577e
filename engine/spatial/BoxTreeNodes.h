#pragma once
// The node records of the four optimised tree layouts.
//
// A link is either a record of the same array or a leaf triangle; bit 0 tells them apart. A
// record link holds the record's index times two, so that links stay 32 bits wide on every
// platform instead of holding addresses; a leaf link holds (triangle * 2) + 1.
#include <cstdint>

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

// The float box of any record; float records ignore the coefficients.
inline CollisionBox DecodeBox(const BoxTreeNode& node, const Dequantization&) { return node.box; }
inline CollisionBox DecodeBox(const NoLeafBoxNode& node, const Dequantization&) { return node.box; }
template <typename QuantizedRecord>
inline CollisionBox DecodeQuantizedBox(const QuantizedRecord& node, const Dequantization& q) {
  CollisionBox box;
  for (int k = 0; k < 3; ++k) {
    box.fCenter[k] = static_cast<float>(node.sCenter[k]) * q.fCenter[k];
    box.fExtents[k] = static_cast<float>(node.wExtents[k]) * q.fExtents[k];
  }
  return box;
}
inline CollisionBox DecodeBox(const QuantizedBoxNode& node, const Dequantization& q) {
  return DecodeQuantizedBox(node, q);
}
inline CollisionBox DecodeBox(const QuantizedNoLeafBoxNode& node, const Dequantization& q) {
  return DecodeQuantizedBox(node, q);
}
