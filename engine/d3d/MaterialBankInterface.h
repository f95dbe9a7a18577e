#pragma once
// The material bank as the engine's own parts see it: the dynamic material the shading language
// copies into, and what the renderer's reset asks of it. The Direct3D layer's material bank
// implements it.
#include "ZeKorbD3DHeader.h"

class CMaterial;

class CMaterialBankInterface : public CMaterialStorageInterface {
 public:
  // The bank's spare material; never shared and never freed by a release.
  virtual CMaterial* GetDynamicMaterial() = 0;
  // Forgets the current material, so that the next setting reaches the device.
  virtual UINT OnDeviceLost() = 0;

 protected:
  ~CMaterialBankInterface() = default;
};
