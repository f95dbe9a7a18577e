#pragma once
// The indices of a square grid of `side` x `side` quads, two clockwise triangles each, over the
// (side + 1) x (side + 1) vertices laid out row after row: what the drawing benchmarks draw.
#include <vector>

#include "d3d9types.h"

inline std::vector<WORD> GridIndices(UINT side) {
  std::vector<WORD> indices;
  indices.reserve(static_cast<size_t>(side) * side * 6);
  for (UINT y = 0; y < side; ++y)
    for (UINT x = 0; x < side; ++x) {
      const WORD corner = static_cast<WORD>(y * (side + 1) + x);
      for (WORD i : {corner, static_cast<WORD>(corner + 1), static_cast<WORD>(corner + side + 1),
                     static_cast<WORD>(corner + 1), static_cast<WORD>(corner + side + 2),
                     static_cast<WORD>(corner + side + 1)})
        indices.push_back(i);
    }
  return indices;
}
