#pragma once
// The Direct3D storage of one stream of one vertex buffer: its elements, where its data lies,
// and its place in the bank's main buffer. Shared by the stream sets of one buffer through a
// reference count.
#include <cstdint>
#include <vector>

#include "d3d9.h"

struct CVertexStream {
  std::vector<D3DVERTEXELEMENT9> elements;  // this stream's elements, end marker included
  // The main buffer, the dynamic buffer, or a buffer of its own (ownsBuffer); null until filled.
  IDirect3DVertexBuffer9* pBuffer = nullptr;
  CVertexStream* pNext = nullptr;  // neighbours in the main buffer's list
  CVertexStream* pPrevious = nullptr;
  UINT dwVertexCount = 0;
  UINT dwReferences = 0;
  UINT dwStride = 0;
  UINT dwOffset = 0;  // bytes into pBuffer
  UINT dwInMainBuffer = 0;
  UINT dwLoaded = 0;
  UINT dwDynamic = 0;
  UINT dwOwnsBuffer = 0;

  UINT ElementCount() const { return static_cast<UINT>(elements.size() - 1); }
  // Bytes the stream takes, in 64 bits: counts come from scripts.
  uint64_t Size() const { return uint64_t{dwStride} * dwVertexCount; }
  uint64_t End() const { return dwOffset + Size(); }
};
