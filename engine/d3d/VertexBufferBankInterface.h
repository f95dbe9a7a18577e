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

  // Device loss: gives up what lives in the default pool before the device is reset, makes it
  // again after. ReleaseDeviceObjects gives up every Direct3D object for good at shutdown.
  virtual void OnDeviceLost() = 0;
  virtual void OnDeviceReset() = 0;
  virtual void ReleaseDeviceObjects() = 0;

 protected:
  ~CVertexBufferBankInterface() = default;
};
