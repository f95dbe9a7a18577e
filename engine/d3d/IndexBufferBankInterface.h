#pragma once
// The index-buffer bank as the renderer sees it: the frame number its cache of the main buffer
// ages by, the offset of the indices it last set, and its dynamic buffer for draws from caller
// memory. The Direct3D layer's index-buffer bank implements it.
#include "ZeKorbD3DHeader.h"

class CIndexBufferBankInterface : public CIndexBufferStorageInterface {
 public:
  virtual void NewFrame(UINT frame) = 0;
  // The first index, within its Direct3D buffer, of the index buffer last set; 0 when raw
  // indices were set since.
  virtual UINT GetCurrentStartIndex() = 0;
  // The shared 16-bit dynamic buffer; the caller locks it with D3DLOCK_DISCARD.
  virtual IDirect3DIndexBuffer9* GetDynamicIndexBuffer() = 0;
  // Sets raw indices (or none) on the device and forgets the current index buffer.
  virtual void SetIndices(IDirect3DIndexBuffer9* buffer) = 0;

  // Device loss: gives up what lives in the default pool before the device is reset, makes it
  // again after. ReleaseDeviceObjects gives up every Direct3D object for good at shutdown.
  virtual void OnDeviceLost() = 0;
  virtual void OnDeviceReset() = 0;
  virtual void ReleaseDeviceObjects() = 0;

 protected:
  ~CIndexBufferBankInterface() = default;
};
