#include "d3d/CubeRenderTarget.h"

#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetBank.h"

namespace {

const char kCreationTitle[] = "Error While Creating Cube Render Target";
const CColourRenderTarget::Messages kMessages = {
    "WARNING!!! - Can't Unlock CubeRenderTarget Which Was Not Previously Locked\n",
    "ERROR! - Can't Get Cube Surface Level\n%s - %s\n"};

bool IsCubeEdge(WORD edge) {
  for (WORD allowed : {1024, 512, 256, 128, 64, 32})
    if (edge == allowed) return true;
  return false;
}

}  // namespace

CCubeRenderTarget::CCubeRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log,
                                     D3DFORMAT format, WORD edge)
    : CColourRenderTarget(bank, renderer, log, format, edge, edge, kMessages) {
  if (!IsCubeEdge(edge)) FatalErrorWithTitle(kCreationTitle, "Incorrect Render Target Size (%i)", edge);
  const HRESULT result = m_pRenderer->GetDevice()->CreateCubeTexture(edge, 1, D3DUSAGE_RENDERTARGET, format,
                                                                     D3DPOOL_DEFAULT, &m_pTexture, nullptr);
  if (FAILED(result))
    FatalErrorWithTitle(kCreationTitle, "Can't Create\n%s - %s\n", D3DResultName(result), D3DResultDescription(result));
}

CCubeRenderTarget::~CCubeRenderTarget() {
  if (m_pTexture != nullptr) m_pTexture->Release();
}

UINT CCubeRenderTarget::SetAsRenderTarget(UINT index, UINT face, UINT lockDepth) {
  if (!PrepareActivation(index)) return 0;
  if (m_pDepthBuffer != nullptr && m_pBank->GetCurrentRenderTarget() == this) m_pBank->PopRenderTarget(this);
  m_pDepthBuffer = nullptr;
  m_wFace = static_cast<WORD>(face);
  return LockActivated(m_pBank->SetCubeRenderTarget(index, this, &m_pDepthBuffer, face, lockDepth));
}

HRESULT CCubeRenderTarget::GetTargetSurface(IDirect3DSurface9** surface) {
  return m_pTexture->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(m_wFace), 0, surface);
}
