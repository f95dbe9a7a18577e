#pragma once
// A plain texture target (the plain, floating-point and physical pools): a one-level render-target
// texture of the default pool, wrapped as a texture of the texture bank so that it can be bound
// like any texture. Made and deleted by the render-target bank only.
#include "d3d/ColourRenderTarget.h"

class CTexture;

class CTextureRenderTarget final : public CColourRenderTarget {
 public:
  // Creation failures are fatal. The name counts every texture target the process has made.
  CTextureRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log, D3DFORMAT format,
                       WORD width, WORD height);
  // Drops the texture-bank entry, then the texture.
  ~CTextureRenderTarget() override;
  CTextureRenderTarget(const CTextureRenderTarget&) = delete;
  CTextureRenderTarget& operator=(const CTextureRenderTarget&) = delete;

  UINT GetRenderTargetType() override { return RENDER_TARGET_TEXTURE; }

  WORD GetWidth() const { return m_wWidth; }
  WORD GetHeight() const { return m_wHeight; }
  // Inside a frame: makes this target render target `index` with a depth buffer of its size,
  // pushed on the bank's stack and locked once with that depth buffer. 1, or 0 (nothing locked).
  UINT SetAsRenderTarget(UINT index, UINT lockDepth);
  IDirect3DTexture9* GetD3DTexture() const { return m_pTexture; }
  CTextureInterface* GetTexture() const;

 protected:
  HRESULT GetTargetSurface(IDirect3DSurface9** surface) override;
  IDirect3DBaseTexture9* GetBaseTexture() override { return m_pTexture; }

 private:
  IDirect3DTexture9* m_pTexture = nullptr;
  CTexture* m_pBankTexture = nullptr;
};
