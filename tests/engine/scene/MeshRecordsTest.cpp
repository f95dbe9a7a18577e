#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "ZKDXRecords.h"

namespace {

// The layouts files, import, scripts and shadow volumes rely on, beyond the sizes the header
// already pins at compile time.
TEST(GeometryRecords, FieldOffsets) {
  EXPECT_EQ(offsetof(Vertex, vecPosition), 0u);
  EXPECT_EQ(offsetof(Face, vecNormal), 0u);
  EXPECT_EQ(offsetof(Face, wIndex2), 14u);
  EXPECT_EQ(offsetof(Face, wIndex3), 16u);
  EXPECT_EQ(offsetof(Face, wEdge2), 20u);
  EXPECT_EQ(offsetof(Face, wEdge3), 22u);
  EXPECT_EQ(offsetof(Face, cWorkingMark2), 25u);
  EXPECT_EQ(offsetof(TrianglePair, dwIdTwo), 4u);
  EXPECT_EQ(offsetof(ColorByte, cGreen), 1u);
  EXPECT_EQ(offsetof(ColorByte, cReserved), 3u);
  // Edge holds two face pointers, then its numbers and the overshared word in order.
  EXPECT_EQ(offsetof(Edge, pOwner2), sizeof(void*));
  EXPECT_EQ(offsetof(Edge, wFace1), 2 * sizeof(void*) + 4);
  EXPECT_EQ(offsetof(Edge, wFace2), 2 * sizeof(void*) + 6);
  EXPECT_EQ(offsetof(Edge, dwOvershared), 2 * sizeof(void*) + 8);
}

TEST(GeometryRecords, TextureSetsAreStoredAsTwoUThenTwoV) {
  Vertex vertex{};
  vertex.fTU[0] = 0.25f;  // set 0
  vertex.fTV[0] = 0.75f;
  vertex.fTU[1] = 0.5f;  // set 1
  vertex.fTV[1] = 1.0f;
  float stored[4];
  std::memcpy(stored, reinterpret_cast<const unsigned char*>(&vertex) + 72, sizeof stored);
  EXPECT_EQ(stored[0], 0.25f);
  EXPECT_EQ(stored[1], 0.5f);
  EXPECT_EQ(stored[2], 0.75f);
  EXPECT_EQ(stored[3], 1.0f);
}

}  // namespace
