#pragma once
// An index buffer as the engine's owners keep it (a surface and its clones, a mesh's shadow
// volume and its copies): shared through a reference count. The index-buffer bank's buffers
// implement it; a buffer the bank hands out that does not cannot be kept.
#include "ZeKorbD3DHeader.h"

class CCountedIndexBuffer : public CIndexBufferInterface {
 public:
  virtual void AddReference() = 0;
  // Drops one reference; the last frees the device buffer and the index copy.
  virtual void Release() = 0;

 protected:
  ~CCountedIndexBuffer() = default;
};
