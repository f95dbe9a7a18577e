#pragma once
// The vertex declarations as the vertex-shader bank asks them: a current declaration (or none)
// that supplies the pairs a test lists. Records every question.
#include <algorithm>
#include <vector>

#include "d3d/VertexInputSource.h"

class RecordingVertexInputs final : public CVertexInputSource {
 public:
  bool declared = true;
  std::vector<D3DXSEMANTIC> supplied;
  int questions = 0;

  UINT CurrentDeclarationHasUsages(const D3DXSEMANTIC* pairs, UINT count) override {
    ++questions;
    if (!declared) return 0;
    for (UINT i = 0; i < count; ++i) {
      const bool found = std::any_of(supplied.begin(), supplied.end(), [&](const D3DXSEMANTIC& s) {
        return s.Usage == pairs[i].Usage && s.UsageIndex == pairs[i].UsageIndex;
      });
      if (!found) return 0;
    }
    return 1;
  }
};
