#pragma once
// Objects written straight into an import buffer, as the reader would leave them, for the
// processing suites.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "scene/LWOImportBuffer.h"

using Triangle = std::array<WORD, 3>;

// An object written straight into the buffer, as the reader would leave it: tag s is surface s.
struct CodeObject {
  std::vector<CVector3> points;
  std::vector<Triangle> faces;
  std::vector<WORD> surfaceOfFace;  // empty: all on surface 0
  UINT surfaces = 1;
  float smoothingAngle = 0.0f;  // of every surface
};

inline void Fill(LWOImportBuffer& b, const CodeObject& object) {
  b.Reset();
  CopyName(b.fileName, "code.lwo");
  ASSERT_TRUE(b.AllocateTags(object.surfaces));
  for (UINT s = 0; s < object.surfaces; ++s) {
    CopyName(b.tags[s].name, ("s" + std::to_string(s)).c_str());
    b.tags[s].isSurface = 1;
    b.tags[s].surfaceIndex = WORD(s);
    b.tags[s].usedByPolygons = 1;
    b.surfaces[s].SetDefaults();
    b.surfaces[s].smoothingAngle = object.smoothingAngle;
  }
  b.surfaceCount = WORD(object.surfaces);
  ASSERT_TRUE(b.AllocatePoints(UINT(object.points.size())));
  for (UINT i = 0; i < object.points.size(); ++i) {
    b.points[i].position = object.points[i];
    b.points[i].index16 = WORD(i);
    b.points[i].index = i;
  }
  b.faceCount = UINT(object.faces.size());
  for (UINT f = 0; f < b.faceCount; ++f) {
    for (int k = 0; k < 3; ++k) b.faces[f].v[k] = object.faces[f][k];
    b.faces[f].tag = object.surfaceOfFace.empty() ? 0 : object.surfaceOfFace[f];
  }
}

// A cube of corners x + 2y + 4z (coordinates -1 and 1), every triangle wound outwards, smoothed
// across its right-angled edges.
inline CodeObject Cube() {
  CodeObject cube;
  cube.smoothingAngle = 1.6f;
  for (int i = 0; i < 8; ++i)
    cube.points.push_back(CVector3(i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f));
  cube.faces = {{4, 5, 7}, {4, 7, 6}, {0, 2, 3}, {0, 3, 1}, {1, 3, 7}, {1, 7, 5},
                {0, 4, 6}, {0, 6, 2}, {2, 6, 7}, {2, 7, 3}, {0, 1, 5}, {0, 5, 4}};
  return cube;
}

inline const LWOPoint* PointAt(const LWOImportBuffer& b, const CVector3& position) {
  for (UINT i = 0; i < b.pointCount; ++i)
    if (b.points[i].position == position) return &b.points[i];
  return nullptr;
}

inline void ExpectNear(const CVector3& actual, const CVector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-6f);
  EXPECT_NEAR(actual.y, expected.y, 1e-6f);
  EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

