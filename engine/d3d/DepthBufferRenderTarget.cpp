#include "d3d/DepthBufferRenderTarget.h"

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/RenderTargetLog.h"
#include "d3d/TextureRenderTarget.h"

namespace {
constexpr int kError = CEngineLog::kLevelError;
}

CDepthBufferRenderTarget::CDepthBufferRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer,
                                                   CEngineLog* log, WORD width, WORD height)
    : m_pBank(bank),
      m_pRenderer(renderer),
      m_pLog(log),
      m_wWidth(width),
      m_wHeight(height),
      m_Format(renderer->GetEnumeration()->GetDepthStencilFormat()) {
  const HRESULT result = m_pRenderer->GetDevice()->CreateDepthStencilSurface(
      width, height, m_Format, D3DMULTISAMPLE_NONE, 0, FALSE, &m_pSurface, nullptr);
  if (FAILED(result))
    FatalErrorWithTitle("Error While Creating Additional Depth Buffer", "Can't Create\n%s - %s\n",
                        D3DResultName(result), D3DResultDescription(result));
}

CDepthBufferRenderTarget::CDepthBufferRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer,
                                                   CEngineLog* log, IDirect3DSurface9* surface, WORD width,
                                                   WORD height)
    : m_pBank(bank),
      m_pRenderer(renderer),
      m_pLog(log),
      m_pSurface(surface),
      m_wWidth(width),
      m_wHeight(height),
      m_Format(renderer->GetEnumeration()->GetDepthStencilFormat()) {
  if (m_pSurface != nullptr) m_pSurface->AddRef();
}

CDepthBufferRenderTarget::~CDepthBufferRenderTarget() {
  if (m_pSurface != nullptr) m_pSurface->Release();
}

UINT CDepthBufferRenderTarget::Activate() {
  if (m_pDummyRenderTarget == nullptr) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Assigned Dummy Render Target Is NULL\n");
    return 0;
  }
  IDirect3DSurface9* surface = nullptr;
  const HRESULT result = m_pDummyRenderTarget->GetD3DTexture()->GetSurfaceLevel(0, &surface);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Can't Get Surface Level\n%s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  const UINT set = m_pBank->SetRenderTargetSurfaces(0, surface, m_pSurface, m_wWidth, m_wHeight);
  surface->Release();
  return set ? 1 : 0;
}

UINT CDepthBufferRenderTarget::Free() {
  Unlock();
  if (m_pDummyRenderTarget != nullptr) m_pDummyRenderTarget->Unlock();
  m_pDummyRenderTarget = nullptr;
  return 1;
}

UINT CDepthBufferRenderTarget::Pop() { return m_pBank->PopAndActivate(this); }

UINT CDepthBufferRenderTarget::Unlock() {
  return ReleaseRenderTargetLock(m_dwLockCount, m_pLog,
                                 "WARNING!!! - Can't Unlock DepthBuffer (RenderTarget) Which Was Not Previously Locked\n");
}
