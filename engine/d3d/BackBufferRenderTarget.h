#pragma once
// The device's back buffer as a render target: the bottom of the render-target bank's stack,
// bound with the device's own depth buffer and the full viewport.
#include <memory>

#include "ZeKorbD3DHeader.h"

class CDepthBufferRenderTarget;
class CEngineLog;
class CEngineRenderer;
class CRenderTargetBank;

class CBackBufferRenderTarget final : public CRenderTargetInterface {
 public:
  // Takes over the caller's reference to `backBuffer`; wraps `depthSurface` as its primary depth
  // buffer. The size is read from the back buffer, so that activating it resets the scissor
  // rectangle to the screen.
  CBackBufferRenderTarget(CRenderTargetBank* bank, CEngineLog* log, CEngineRenderer* renderer,
                          IDirect3DSurface9* backBuffer, IDirect3DSurface9* depthSurface);
  ~CBackBufferRenderTarget() override;
  CBackBufferRenderTarget(const CBackBufferRenderTarget&) = delete;
  CBackBufferRenderTarget& operator=(const CBackBufferRenderTarget&) = delete;

  UINT GetRenderTargetType() override { return RENDER_TARGET_BACK_BUFFER; }
  // Binds the back buffer and the primary depth buffer; failures to bind are fatal. 1 when the
  // full viewport could be set again.
  UINT Activate() override;
  // The back buffer is never freed: logs the attempt, 1.
  UINT Free() override;
  IDirect3DSurface9* GetSurface() override { return m_pSurface; }
  UINT Pop() override;

  // Takes over the caller's reference to the frame's back buffer, giving up the old one.
  void SetSurface(IDirect3DSurface9* surface);
  WORD GetWidth() const { return m_wWidth; }
  WORD GetHeight() const { return m_wHeight; }

 private:
  void ReadSize();

  CRenderTargetBank* m_pBank;
  CEngineLog* m_pLog;
  CEngineRenderer* m_pRenderer;
  IDirect3DSurface9* m_pSurface;
  std::unique_ptr<CDepthBufferRenderTarget> m_pDepthBuffer;
  WORD m_wWidth = 0;
  WORD m_wHeight = 0;
};
