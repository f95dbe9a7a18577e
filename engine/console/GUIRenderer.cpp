#include "console/GUIRenderer.h"

#include <d3d9.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/System.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "console/GUIGeometryBuffer.h"
#include "console/GUIScreenTarget.h"
#include "console/GUITexture.h"
#include "core/EngineContext.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3D9Renderer.h"
#include "d3d/Texture.h"
#include "d3d/TextureBank.h"

namespace {

constexpr float kScreenDPI = 96.0f;

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

CEGUI::Rectf ScreenArea(const CEGUI::Sizef& size) { return CEGUI::Rectf(CEGUI::Vector2f(0, 0), size); }

}  // namespace

CGUIRenderer::CGUIRenderer(CD3D9Renderer* renderer)
    : m_pRenderer(renderer), m_displaySize(0, 0), m_displayDPI(kScreenDPI, kScreenDPI) {
  m_pScreen = std::make_unique<CGUIScreenTarget>(ScreenArea(m_displaySize));
  if (!MakeDeviceObjects()) throw std::runtime_error("Creation of VertexBuffer for Renderer object failed");
  if (CD3D9Enumeration* enumeration = m_pRenderer->GetEnumeration())
    m_dwMaxTextureSize = std::min(enumeration->GetMaxTextureWidth(), enumeration->GetMaxTextureHeight());
}

CGUIRenderer::~CGUIRenderer() {
  Unlock();
  if (m_pVertexBuffer) m_pVertexBuffer->Release();
  m_pVertexBuffer = nullptr;
  destroyAllGeometryBuffers();
  destroyAllTextures();
}

// --- render target and geometry ---

CEGUI::RenderTarget& CGUIRenderer::getDefaultRenderTarget() { return *m_pScreen; }

CEGUI::GeometryBuffer& CGUIRenderer::createGeometryBuffer() {
  m_geometry.push_back(std::make_unique<CGUIGeometryBuffer>(*this));
  return *m_geometry.back();
}

void CGUIRenderer::destroyGeometryBuffer(const CEGUI::GeometryBuffer& buffer) {
  std::erase_if(m_geometry, [&](const std::unique_ptr<CGUIGeometryBuffer>& own) { return own.get() == &buffer; });
}

void CGUIRenderer::destroyAllGeometryBuffers() { m_geometry.clear(); }

// --- textures ---

CGUITexture& CGUIRenderer::AddTexture(const CEGUI::String& name) {
  if (m_textures.count(name))
    throw CEGUI::AlreadyExistsException("A texture named '" + name + "' already exists.");
  auto made = std::make_unique<CGUITexture>(m_pRenderer, name);
  CGUITexture& texture = *made;
  m_textures.emplace(name, std::move(made));
  return texture;
}

CEGUI::Texture& CGUIRenderer::createTexture(const CEGUI::String& name) { return AddTexture(name); }

CEGUI::Texture& CGUIRenderer::createTexture(const CEGUI::String& name, const CEGUI::String& filename,
                                            const CEGUI::String& resourceGroup) {
  CGUITexture& texture = AddTexture(name);
  try {
    texture.loadFromFile(filename, resourceGroup);
  } catch (...) {
    m_textures.erase(name);
    throw;
  }
  return texture;
}

CEGUI::Texture& CGUIRenderer::createTexture(const CEGUI::String& name, const CEGUI::Sizef& size) {
  CGUITexture& texture = AddTexture(name);
  try {
    texture.CreateBlank(size);
  } catch (...) {
    m_textures.erase(name);
    throw;
  }
  return texture;
}

void CGUIRenderer::destroyTexture(CEGUI::Texture& texture) { destroyTexture(texture.getName()); }

void CGUIRenderer::destroyTexture(const CEGUI::String& name) { m_textures.erase(name); }

void CGUIRenderer::destroyAllTextures() { m_textures.clear(); }

CEGUI::Texture& CGUIRenderer::getTexture(const CEGUI::String& name) const {
  const auto found = m_textures.find(name);
  if (found == m_textures.end())
    throw CEGUI::UnknownObjectException("No texture named '" + name + "' is available.");
  return *found->second;
}

bool CGUIRenderer::isTextureDefined(const CEGUI::String& name) const { return m_textures.count(name) != 0; }

CGUITexture* CGUIRenderer::CreateGUITexture(CTexture* texture) {
  if (!texture) return nullptr;
  char name[64];
  std::snprintf(name, sizeof name, "ZeKorb/EngineTexture%u", m_dwEngineTextures++);
  try {
    CGUITexture& made = AddTexture(name);
    made.Attach(texture);
    return &made;
  } catch (const CEGUI::Exception&) {
    return nullptr;
  }
}

// --- display ---

void CGUIRenderer::setDisplaySize(const CEGUI::Sizef& size) {
  if (size == m_displaySize) return;
  m_displaySize = size;
  m_pScreen->setArea(ScreenArea(size));
}

const CEGUI::String& CGUIRenderer::getIdentifierString() const {
  static const CEGUI::String identifier("ZeKorb GUI renderer on the engine's Direct3D 9 device");
  return identifier;
}

// The library hears of a new size when it runs, and passes it back through setDisplaySize.
void CGUIRenderer::TakeDisplaySize() {
  const D3DVIEWPORT9* viewport = m_pRenderer->GetViewport();
  const CEGUI::Sizef size(static_cast<float>(viewport->Width), static_cast<float>(viewport->Height));
  if (CEGUI::System* system = CEGUI::System::getSingletonPtr())
    system->notifyDisplaySizeChanged(size);
  else
    setDisplaySize(size);
}

// --- device loss ---

void CGUIRenderer::OnDeviceLost() {
  Unlock();
  m_dwBuffered = 0;
  if (m_pVertexBuffer) m_pVertexBuffer->Release();
  m_pVertexBuffer = nullptr;
  ClipCursor(nullptr);
}

int CGUIRenderer::MakeDeviceObjects() {
  HWND window = GetEngineContext()->hWnd;
  RECT client = {};
  if (window && GetClientRect(window, &client)) {
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    ClientToScreen(window, &corners[0]);
    ClientToScreen(window, &corners[1]);
    const RECT screen = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    SetCursorPos(screen.right, screen.bottom);
    ClipCursor(&screen);
  }
  TakeDisplaySize();
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (!device || m_pVertexBuffer) return m_pVertexBuffer ? 1 : 0;
  const HRESULT result = device->CreateVertexBuffer(kCapacity * sizeof(GUIVertex), kBufferUsage, kGUIVertexFVF,
                                                    D3DPOOL_DEFAULT, &m_pVertexBuffer, nullptr);
  if (FAILED(result)) m_pVertexBuffer = nullptr;
  return m_pVertexBuffer ? 1 : 0;
}

// --- the frame ---

void CGUIRenderer::InitPerFrameStates() {
  CD3D9Renderer& r = *m_pRenderer;
  r.GetVertexBufferStorageInterface()->SetStreamSource(m_pVertexBuffer, sizeof(GUIVertex), kCapacity);
  r.GetVertexDeclarationStorageInterface()->SetFVF(kGUIVertexFVF);
  r.GetVertexShaderStorageInterface()->SetShader(nullptr);
  r.GetPixelShaderStorageInterface()->SetShader(nullptr);
  r.SetRenderState(D3DRS_ZENABLE, FALSE);
  r.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  r.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  r.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  r.SetRenderState(D3DRS_FOGENABLE, FALSE);
  r.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  r.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
  r.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  r.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  r.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  r.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  r.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  r.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  r.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  r.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  r.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  r.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  r.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  // Clip regions are the device's scissor rectangle.
  r.SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
}

void CGUIRenderer::beginRendering() {
  m_bRunSet = false;
  m_bFrameFailed = false;
  m_dwBuffered = 0;
  if (m_pVertexBuffer) InitPerFrameStates();
}

void CGUIRenderer::endRendering() {
  if (!m_pVertexBuffer) return;
  Flush();
  m_pRenderer->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
}

bool CGUIRenderer::LockBuffer() {
  void* data = nullptr;
  if (FAILED(m_pVertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD)) || !data) return false;
  m_pLocked = static_cast<GUIVertex*>(data);
  return true;
}

void CGUIRenderer::Unlock() {
  if (!m_pLocked) return;
  m_pVertexBuffer->Unlock();
  m_pLocked = nullptr;
}

void CGUIRenderer::Flush() {
  Unlock();
  if (m_dwBuffered == 0) return;
  m_pRenderer->DrawStreamPrimitive(D3DPT_TRIANGLELIST, 0, m_dwBuffered / 3);
  m_dwBuffered = 0;
}

// The frame's first run always puts its texture (or none) on stage 0: what the stage held
// before is no business of the GUI.
void CGUIRenderer::SelectRun(CTexture* texture, const RECT& clip) {
  const bool newTexture = !m_bRunSet || texture != m_pRunTexture;
  const bool newClip = !m_bRunSet || !SameRect(clip, m_RunClip);
  if (!newTexture && !newClip) return;
  Flush();
  if (newTexture) {
    if (texture)
      texture->Set(0);
    else
      m_pRenderer->GetTextureBank()->SetD3DTexture(nullptr, 0);
  }
  if (newClip) m_pRenderer->SetScissorTest(&clip);
  m_bRunSet = true;
  m_pRunTexture = texture;
  m_RunClip = clip;
}

void CGUIRenderer::DrawTriangles(CGUITexture* texture, const RECT& clip, const GUIVertex* vertices, size_t count) {
  count -= count % 3;
  if (!m_pVertexBuffer || m_bFrameFailed || count == 0) return;
  SelectRun(texture ? texture->GetEngineTexture() : nullptr, clip);
  for (size_t i = 0; i < count; i += 3) {
    if (!m_pLocked && !LockBuffer()) {
      m_bFrameFailed = true;
      return;
    }
    std::memcpy(m_pLocked + m_dwBuffered, vertices + i, 3 * sizeof(GUIVertex));
    m_dwBuffered += 3;
    if (m_dwBuffered >= kFlushThreshold) Flush();
  }
}
