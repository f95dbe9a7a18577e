#pragma once
// A material as the surface that owns it sees it. The material bank has a fixed number of
// entries, so a surface gives its material back whenever it replaces or drops it. The Direct3D
// layer's materials derive from it.
#include "ZeKorbD3DHeader.h"

class CSurfaceMaterial : public CMaterialInterface {
 public:
  // Drops one reference; the last frees the bank entry.
  virtual void Release() = 0;

 protected:
  ~CSurfaceMaterial() = default;
};
