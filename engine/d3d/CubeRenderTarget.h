#pragma once
// A cube target (the cube and floating-point cube pools): a one-level render-target cube texture
// of the default pool, drawn to one face at a time. Made and deleted by the render-target bank.
#include "d3d/ColourRenderTarget.h"

class CCubeRenderTarget final : public CColourRenderTarget {
 public:
  // The edge is one of 32 to 1024 in powers of two; anything else, and a creation failure, is
  // fatal.
  CCubeRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log, D3DFORMAT format,
                    WORD edge);
  ~CCubeRenderTarget() override;
  CCubeRenderTarget(const CCubeRenderTarget&) = delete;
  CCubeRenderTarget& operator=(const CCubeRenderTarget&) = delete;

  UINT GetRenderTargetType() override { return RENDER_TARGET_CUBE; }

  WORD GetEdgeLength() const { return m_wWidth; }
  WORD GetFace() const { return m_wFace; }
  // As a texture target's, for one face. A cube still active on top of the stack is popped
  // first, without activating what lies below, so that the next face takes the previous one's
  // place on the stack.
  UINT SetAsRenderTarget(UINT index, UINT face, UINT lockDepth);
  IDirect3DCubeTexture9* GetD3DCubeTexture() const { return m_pTexture; }

 protected:
  HRESULT GetTargetSurface(IDirect3DSurface9** surface) override;
  IDirect3DBaseTexture9* GetBaseTexture() override { return m_pTexture; }

 private:
  IDirect3DCubeTexture9* m_pTexture = nullptr;
  WORD m_wFace = D3DCUBEMAP_FACE_POSITIVE_X;
};
