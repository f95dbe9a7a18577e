#pragma once
// The render-target bank as the renderer drives it through the frame: it hands the bank the
// back buffer at the start of every frame and lets it pop what the frame left on its stack at
// the end.
#include "d3d9.h"

class CRenderTargetStorageInterface {
 public:
  // Warns about targets still taken and pops the stack down to the back buffer; returns 1.
  virtual UINT ReleaseLockedRenderTargets() = 0;
  // Takes over the caller's reference to the frame's back buffer (null is refused, logged).
  virtual void SetBackBufferSurface(IDirect3DSurface9* surface) = 0;

  // Device loss: gives up what lives in the default pool before the device is reset, makes it
  // again after. ReleaseDeviceObjects gives up every Direct3D object for good at shutdown.
  virtual void OnDeviceLost() = 0;
  virtual void OnDeviceReset() = 0;
  virtual void ReleaseDeviceObjects() = 0;

 protected:
  ~CRenderTargetStorageInterface() = default;
};
