#include "d3d/ColourRenderTarget.h"

#include "core/EngineLog.h"
#include "d3d/D3DLog.h"
#include "d3d/DepthBufferRenderTarget.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/RenderTargetLog.h"
#include "d3d/TextureBank.h"

namespace {
constexpr int kError = CEngineLog::kLevelError;
}

CColourRenderTarget::CColourRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log,
                                         D3DFORMAT format, WORD width, WORD height, const Messages& messages)
    : m_pBank(bank),
      m_pRenderer(renderer),
      m_pLog(log),
      m_wWidth(width),
      m_wHeight(height),
      m_Format(format),
      m_Messages(messages) {}

UINT CColourRenderTarget::Activate() {
  if (m_pDepthBuffer == nullptr) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Assigned Depth Buffer Is NULL\n%s - %s\n",
           D3DResultName(D3D_OK), D3DResultDescription(D3D_OK));
    return 0;
  }
  IDirect3DSurface9* surface = nullptr;
  const HRESULT result = GetTargetSurface(&surface);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, m_Messages.surfaceError, D3DResultName(result),
           D3DResultDescription(result));
    return 0;
  }
  const UINT set =
      m_pBank->SetRenderTargetSurfaces(m_dwIndex, surface, m_pDepthBuffer->GetSurface(), m_wWidth, m_wHeight);
  surface->Release();
  return set ? 1 : 0;
}

UINT CColourRenderTarget::Free() {
  Unlock();
  if (m_pDepthBuffer != nullptr) m_pDepthBuffer->Unlock();
  m_pDepthBuffer = nullptr;
  return 1;
}

UINT CColourRenderTarget::Pop() { return m_pBank->PopAndActivate(this); }

UINT CColourRenderTarget::SetAsTexture(UINT stage) {
  return m_pBank->GetTextureBank()->SetD3DTexture(GetBaseTexture(), stage);
}

UINT CColourRenderTarget::Unlock() { return ReleaseRenderTargetLock(m_dwLockCount, m_pLog, m_Messages.unlockWarning); }

bool CColourRenderTarget::PrepareActivation(UINT index) {
  if (m_pRenderer->IsRenderingBegin() != 1) return false;
  m_pBank->GetTextureBank()->ClearTextureStages();
  m_dwIndex = index;
  return true;
}

UINT CColourRenderTarget::LockActivated(UINT activated) {
  if (!activated || m_pDepthBuffer == nullptr) return 0;
  Lock();
  m_pDepthBuffer->Lock();
  return 1;
}
