#pragma once
// The vertex-declaration bank as the engine's own parts see it: the declaration set last (read
// by the vertex-shader and vertex-buffer banks, the former through CVertexInputSource), and what the renderer's reset and release ask of
// it. The Direct3D layer's declaration bank implements it.
#include "ZeKorbD3DHeader.h"
#include "d3d/VertexInputSource.h"

class CVertexDeclaration;

class CVertexDeclarationBankInterface : public CVertexDeclarationStorageInterface,
                                        public CVertexInputSource {
 public:
  // The declaration last given to the device; null after an FVF or a device loss.
  virtual CVertexDeclaration* GetCurrentDeclaration() = 0;
  // Forgets what is set, so that the first setting after a reset reaches the device.
  virtual UINT OnDeviceLost() = 0;
  // Gives up every Direct3D declaration for good (shutdown); later settings reach nothing.
  virtual void ReleaseDeviceObjects() = 0;

 protected:
  ~CVertexDeclarationBankInterface() = default;
};
