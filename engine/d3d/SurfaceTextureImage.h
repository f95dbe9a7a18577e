#pragma once
// A texture as the surfaces that show it see it: shared between surface records (and clones)
// through a reference count, and saved on request. The Direct3D layer's textures derive from it.
#include "ZeKorbD3DHeader.h"

class CSurfaceTextureImage : public CTextureInterface {
 public:
  virtual void AddReference() = 0;
  // Drops one reference; the last frees the texture's bank entry.
  virtual void Release() = 0;
  // Writes the texture as "%s.dds" (its name); 1 on success.
  virtual UINT SaveAsDDS() = 0;

 protected:
  ~CSurfaceTextureImage() = default;
};
