#pragma once
// The vertex-shader bank as the renderer drives it through a reset and the shutdown. The Direct3D
// layer's vertex-shader bank implements it.
#include "ZeKorbD3DHeader.h"

class CVertexShaderBankInterface : public CVertexShaderStorageInterface {
 public:
  // Sets no shader, so that the first shader set after a reset reaches the device. 1.
  virtual UINT ClearCurrentShader() = 0;
  // Gives up every Direct3D shader for good (shutdown); the shader objects stay for their holders.
  virtual void ReleaseDeviceObjects() = 0;

 protected:
  ~CVertexShaderBankInterface() = default;
};
