#pragma once
// The vertex buffer a mesh draws from, as its owners see it: shared between a mesh and its
// clones through a reference count, and refilled in place when the mesh's vertices change.
// The Direct3D layer's vertex buffers derive from it; a buffer the bank hands out that does
// not is of no use to a mesh.
#include "ZeKorbD3DHeader.h"

class CMeshVertexBuffer : public CVertexBufferInterface {
 public:
  // Replaces the buffer's vertices with a copy of these.
  virtual void SetVertices(Vertex* vertices, UINT count) = 0;
  virtual void AddReference() = 0;
  // Drops one reference; the last frees the vertex copy and the device buffer.
  virtual void Release() = 0;

 protected:
  ~CMeshVertexBuffer() = default;
};
