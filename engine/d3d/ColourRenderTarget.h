#pragma once
// What a texture target and a cube target share: a colour surface of a default-pool texture that
// the render-target bank binds with a depth buffer of the same size, a lock count that says
// whether the target is taken, and the depth buffer assigned while the target is active.
#include "ZeKorbD3DHeader.h"

class CDepthBufferRenderTarget;
class CEngineLog;
class CEngineRenderer;
class CRenderTargetBank;

class CColourRenderTarget : public CRenderTargetInterface {
 public:
  // The texts that tell a texture target's log lines from a cube target's.
  struct Messages {
    const char* unlockWarning;
    const char* surfaceError;
  };

  // Binds the colour surface with the assigned depth buffer; 0 (logged) without one.
  UINT Activate() override;
  // One lock off this target and its depth buffer, whose assignment ends; 1.
  UINT Free() override;
  IDirect3DSurface9* GetSurface() override { return nullptr; }
  UINT Pop() override;

  // Binds the texture on a sampler stage through the texture bank; that call's result.
  UINT SetAsTexture(UINT stage);
  // The new lock count.
  UINT Lock() { return ++m_dwLockCount; }
  // The new lock count; at 0 it warns and stays 0.
  UINT Unlock();
  UINT GetLockCount() const { return m_dwLockCount; }
  D3DFORMAT GetFormat() const { return m_Format; }
  CDepthBufferRenderTarget* GetAssignedDepthBuffer() const { return m_pDepthBuffer; }

 protected:
  CColourRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log, D3DFORMAT format,
                      WORD width, WORD height, const Messages& messages);

  // The surface drawn to: level 0, or the current face of a cube. A new reference.
  virtual HRESULT GetTargetSurface(IDirect3DSurface9** surface) = 0;
  virtual IDirect3DBaseTexture9* GetBaseTexture() = 0;
  // The start of SetAsRenderTarget: false outside a frame; else every texture stage emptied
  // (a target cannot be drawn to while it is bound as a texture) and the index kept.
  bool PrepareActivation(UINT index);
  // The end of SetAsRenderTarget: a successful activation locks the target and its depth buffer.
  UINT LockActivated(UINT activated);

  CRenderTargetBank* m_pBank;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CDepthBufferRenderTarget* m_pDepthBuffer = nullptr;
  UINT m_dwIndex = 0;
  WORD m_wWidth;
  WORD m_wHeight;
  D3DFORMAT m_Format;
  UINT m_dwLockCount = 0;

 private:
  Messages m_Messages;
};
