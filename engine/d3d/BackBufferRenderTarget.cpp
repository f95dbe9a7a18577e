#include "d3d/BackBufferRenderTarget.h"

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/DepthBufferRenderTarget.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/RenderTargetLog.h"

CBackBufferRenderTarget::CBackBufferRenderTarget(CRenderTargetBank* bank, CEngineLog* log, CEngineRenderer* renderer,
                                                 IDirect3DSurface9* backBuffer, IDirect3DSurface9* depthSurface)
    : m_pBank(bank), m_pLog(log), m_pRenderer(renderer), m_pSurface(backBuffer) {
  m_pDepthBuffer.reset(NewOrFatal<CDepthBufferRenderTarget>("Error While Creating Back Buffer",
                                                            "Can't Create Depth Buffer", bank, renderer, log,
                                                            depthSurface, WORD{0}, WORD{0}));
  ReadSize();
}

CBackBufferRenderTarget::~CBackBufferRenderTarget() {
  if (m_pSurface != nullptr) m_pSurface->Release();
}

UINT CBackBufferRenderTarget::Activate() {
  m_pRenderer->ResetScissorRect(m_wWidth, m_wHeight);
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  HRESULT result = device->SetRenderTarget(0, m_pSurface);
  if (FAILED(result))
    FatalErrorWithTitle("Error!!!", "Can't Set BackBuffer\n%s - %s", D3DResultName(result),
                        D3DResultDescription(result));
  result = device->SetDepthStencilSurface(m_pDepthBuffer->GetSurface());
  if (FAILED(result))
    FatalErrorWithTitle("Error!!!", "Can't Set DepthBuffer\n%s - %s", D3DResultName(result),
                        D3DResultDescription(result));
  return SUCCEEDED(m_pRenderer->SetViewport()) ? 1 : 0;
}

UINT CBackBufferRenderTarget::Free() {
  LogD3D(m_pLog, kRenderTargetSource, __LINE__, CEngineLog::kLevelError,
         "ERROR! - You're trying to free up the back buffer!!!!!\n");
  return 1;
}

UINT CBackBufferRenderTarget::Pop() { return m_pBank->PopAndActivate(this); }

void CBackBufferRenderTarget::SetSurface(IDirect3DSurface9* surface) {
  if (m_pSurface != nullptr) m_pSurface->Release();
  m_pSurface = surface;
  ReadSize();
}

void CBackBufferRenderTarget::ReadSize() {
  D3DSURFACE_DESC desc = {};
  if (m_pSurface == nullptr || FAILED(m_pSurface->GetDesc(&desc))) return;
  m_wWidth = static_cast<WORD>(desc.Width);
  m_wHeight = static_cast<WORD>(desc.Height);
}
