#include "d3d/TextureRenderTarget.h"

#include <atomic>
#include <cstdio>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/RenderTargetLog.h"
#include "d3d/TextureBank.h"

namespace {

const char kCreationTitle[] = "Error While Creating Render Target";
const CColourRenderTarget::Messages kMessages = {
    "WARNING!!! - Can't Unlock RenderTarget Which Was Not Previously Locked\n",
    "ERROR! - Can't Get Surface Level\n%s - %s\n"};

// Names stay unique in the texture bank across device resets: targets made again get new ones.
std::atomic<int> g_nextTargetNumber{0};

}  // namespace

CTextureRenderTarget::CTextureRenderTarget(CRenderTargetBank* bank, CEngineRenderer* renderer, CEngineLog* log,
                                           D3DFORMAT format, WORD width, WORD height)
    : CColourRenderTarget(bank, renderer, log, format, width, height, kMessages) {
  const WORD larger = width > height ? width : height;
  const WORD smaller = width > height ? height : width;
  if (smaller == 0 || larger % smaller != 0)
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, CEngineLog::kLevelInfo,
           "- Creating A-Non-Power-Of-2 Render Texture: %i - %i\n", width, height);
  const HRESULT result = m_pRenderer->GetDevice()->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format,
                                                                 D3DPOOL_DEFAULT, &m_pTexture, nullptr);
  if (FAILED(result))
    FatalErrorWithTitle(kCreationTitle, "Can't Create\n%s - %s\n", D3DResultName(result), D3DResultDescription(result));
  char name[32];
  std::snprintf(name, sizeof name, "PlainRenderTarget%i", g_nextTargetNumber++);
  m_pBankTexture = bank->GetTextureBank()->CreateTextureFromD3DTexture(name, m_pTexture, width, height, format, 1);
  if (m_pBankTexture == nullptr) {
    m_pTexture->Release();
    m_pTexture = nullptr;
    FatalErrorWithTitle(kCreationTitle, "Can't Create ZK Texture\n");
  }
}

CTextureRenderTarget::~CTextureRenderTarget() {
  if (m_pBankTexture != nullptr) m_pBankTexture->Release();
  if (m_pTexture != nullptr) m_pTexture->Release();
}

CTextureInterface* CTextureRenderTarget::GetTexture() const { return m_pBankTexture; }

UINT CTextureRenderTarget::SetAsRenderTarget(UINT index, UINT lockDepth) {
  if (!PrepareActivation(index)) return 0;
  m_pDepthBuffer = nullptr;
  return LockActivated(m_pBank->SetTextureRenderTarget(index, this, &m_pDepthBuffer, lockDepth));
}

HRESULT CTextureRenderTarget::GetTargetSurface(IDirect3DSurface9** surface) {
  return m_pTexture->GetSurfaceLevel(0, surface);
}
