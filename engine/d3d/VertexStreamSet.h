#pragma once
// One vertex layout of one vertex buffer: the layout's elements and a stream record for each of
// its streams (none for a stream the layout does not use).
#include <vector>

#include "d3d9.h"

struct CVertexStream;

struct CVertexStreamSet {
  static constexpr UINT kMaxStreams = 8;

  CVertexStream* pStreams[kMaxStreams] = {};
  std::vector<D3DVERTEXELEMENT9> elements;  // end marker included
  UINT dwElementCount = 0;
  UINT dwNumberOfStreams = 0;  // highest stream + 1
};
