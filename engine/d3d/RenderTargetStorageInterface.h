#pragma once
// The render-target bank as the renderer and the shading language reach it. The renderer hands
// it the back buffer at the start of every frame, lets it pop what the frame left on its stack
// at the end, and has it give up and rebuild its targets around a device reset. The
// render-target commands take free targets of a kind from it and return to the previous target.
#include "d3d9.h"

class CCubeRenderTarget;
class CRenderTargetInterface;
class CTextureRenderTarget;

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

  // A free target of the render-target kind (the renderer's description of it): 1 and the
  // target in `out`, or 0 when the kind has no description or no target can be had.
  virtual UINT GetPlainRenderTarget(CTextureRenderTarget** out, UINT kind) = 0;
  virtual UINT GetFloatPlainRenderTarget(CTextureRenderTarget** out, UINT kind) = 0;
  virtual UINT GetCubeRenderTarget(CCubeRenderTarget** out, UINT kind) = 0;
  virtual UINT GetFloatCubeRenderTarget(CCubeRenderTarget** out, UINT kind) = 0;
  // Pops the active target and activates the one before it; 1.
  virtual UINT RestoreRenderTarget() = 0;
  // The top of the render-target stack: the active target.
  virtual CRenderTargetInterface* GetCurrentRenderTarget() = 0;
  // A target that an object kept and no longer needs: unlocked until the bank can hand it out
  // again, unless it is on the stack (popping frees it). A pointer to no target of the bank (any
  // more) is left alone, not followed.
  virtual void GiveBackRenderTarget(CRenderTargetInterface* target) = 0;

 protected:
  ~CRenderTargetStorageInterface() = default;
};
