#pragma once
// The index buffer a surface draws with, as its owners see it: shared between a surface and its
// clones through a reference count. The Direct3D layer's index buffers derive from it; a buffer
// the bank hands out that does not is of no use to a surface.
#include "ZeKorbD3DHeader.h"

class CSurfaceIndexBuffer : public CIndexBufferInterface {
 public:
  virtual void AddReference() = 0;
  // Drops one reference; the last frees the device buffer and the index copy.
  virtual void Release() = 0;

 protected:
  ~CSurfaceIndexBuffer() = default;
};
