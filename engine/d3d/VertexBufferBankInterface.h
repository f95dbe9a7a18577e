#pragma once
// The vertex-buffer bank as the renderer sees it: the frame number its cache of the main buffer
// ages by and the vertex count of the streams it last set. The Direct3D layer's vertex-buffer
// bank implements it.
#include "ZeKorbD3DHeader.h"

class CVertexBufferBankInterface : public CVertexBufferStorageInterface {
 public:
  virtual void SetFrameNumber(UINT frame) = 0;
  // The vertex count of the buffer last set on the streams.
  virtual UINT GetCurrentNumberOfVertices() = 0;

 protected:
  ~CVertexBufferBankInterface() = default;
};
