#pragma once
// The bare device's copies of GenericPassScene boxes for the benchmarks that draw them by hand:
// each box's vertices in a buffer of its own (position, normal and first texture coordinates at
// the front of each `stride`-byte vertex, the rest zero), and the boxes' shared index buffer.
#include <cstring>
#include <vector>

#include "scene/Mesh.h"
#include "scene/Surface.h"

namespace bare_boxes {

constexpr UINT kBoxVertices = 24;
constexpr UINT kBoxTriangles = 12;

inline IDirect3DVertexBuffer9* CopyVertices(IDirect3DDevice9* device, CMesh& mesh, UINT stride) {
  IDirect3DVertexBuffer9* buffer = nullptr;
  device->CreateVertexBuffer(kBoxVertices * stride, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr);
  BYTE* out = nullptr;
  buffer->Lock(0, 0, reinterpret_cast<void**>(&out), 0);
  std::memset(out, 0, kBoxVertices * stride);
  for (UINT v = 0; v < kBoxVertices; ++v, out += stride) {
    const Vertex& source = *mesh.GetVertex(v);
    const float values[8] = {source.vecPosition.x, source.vecPosition.y, source.vecPosition.z,
                             source.vecNormal.x,   source.vecNormal.y,   source.vecNormal.z,
                             source.fTU[0],        source.fTV[0]};
    std::memcpy(out, values, sizeof values);
  }
  buffer->Unlock();
  return buffer;
}

// Every box has the same faces: the first one's surface indices serve all.
inline IDirect3DIndexBuffer9* CopyIndices(IDirect3DDevice9* device, CMesh& box) {
  auto* surface = dynamic_cast<CSurface*>(box.GetSurface(0));
  IDirect3DIndexBuffer9* indices = nullptr;
  device->CreateIndexBuffer(kBoxTriangles * 3 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                            D3DPOOL_MANAGED, &indices, nullptr);
  WORD* index = nullptr;
  indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0);
  std::memcpy(index, surface->GetIndices(), kBoxTriangles * 3 * sizeof(WORD));
  indices->Unlock();
  return indices;
}

}  // namespace bare_boxes
