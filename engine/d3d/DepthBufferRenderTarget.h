#pragma once
// A depth-stencil surface the render-target bank pairs with colour targets of its size: one it
// makes itself (an additional depth buffer) or the device's own that it wraps (the primary one).
// Made and deleted by the bank, or by the back buffer for its primary depth buffer.
#include "ZeKorbD3DHeader.h"

class CEngineLog;
class CEngineRenderer;
class CRenderTargetBank;
class CTextureRenderTarget;

class CDepthBufferRenderTarget final : public CRenderTargetInterface {
 public:
  // Makes its own surface in the enumeration's depth format; a failure is fatal.
  CDepthBufferRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log, WORD width,
                           WORD height);
  // Wraps an existing surface, taking a reference of its own.
  CDepthBufferRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log,
                           IDirect3DSurface9* surface, WORD width, WORD height);
  ~CDepthBufferRenderTarget() override;
  CDepthBufferRenderTarget(const CDepthBufferRenderTarget&) = delete;
  CDepthBufferRenderTarget& operator=(const CDepthBufferRenderTarget&) = delete;

  UINT GetRenderTargetType() override { return RENDER_TARGET_DEPTH_BUFFER; }
  // Binds the dummy target's colour surface with this depth surface. Nothing assigns a dummy
  // target yet, so this logs and fails.
  UINT Activate() override;
  // One lock off this buffer and off its dummy target, which is let go; 1.
  UINT Free() override;
  IDirect3DSurface9* GetSurface() override { return m_pSurface; }
  UINT Pop() override;

  UINT Lock() { return ++m_dwLockCount; }
  // The new lock count; at 0 it warns and stays 0.
  UINT Unlock();
  UINT GetLockCount() const { return m_dwLockCount; }
  WORD GetWidth() const { return m_wWidth; }
  WORD GetHeight() const { return m_wHeight; }
  D3DFORMAT GetFormat() const { return m_Format; }

 private:
  CRenderTargetBank* m_pBank;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CTextureRenderTarget* m_pDummyRenderTarget = nullptr;
  IDirect3DSurface9* m_pSurface = nullptr;
  WORD m_wWidth;
  WORD m_wHeight;
  D3DFORMAT m_Format;
  UINT m_dwLockCount = 0;
};
