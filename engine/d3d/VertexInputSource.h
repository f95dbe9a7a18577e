#pragma once
// What the vertex-shader bank asks of the vertex declarations before it sets a shader: whether
// the declaration set last supplies every input the shader reads. The vertex-declaration bank
// answers it.
#include "d3dx9shader.h"

class CVertexInputSource {
 public:
  // 1 when the current declaration has an element for every (usage, usage index) pair; 0 when
  // it lacks one or no declaration is set.
  virtual UINT CurrentDeclarationHasUsages(const D3DXSEMANTIC* pairs, UINT count) = 0;

 protected:
  ~CVertexInputSource() = default;
};
