#pragma once
// An index buffer as a shadow volume holds it: shared between a mesh and its clones through a
// reference count. The Direct3D layer's index buffers derive from it; a buffer the bank hands
// out that does not cannot be kept by a shadow volume.
#include "ZeKorbD3DHeader.h"

class CShadowVolumeIndexBuffer : public CIndexBufferInterface {
 public:
  virtual void AddReference() = 0;
  // Drops one reference; the last frees the index copy and the device buffer.
  virtual void Release() = 0;

 protected:
  ~CShadowVolumeIndexBuffer() = default;
};
