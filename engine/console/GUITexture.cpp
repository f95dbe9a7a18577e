#include "console/GUITexture.h"

#include <CEGUI/DefaultResourceProvider.h>
#include <CEGUI/Exceptions.h>
#include <CEGUI/Rect.h>
#include <CEGUI/System.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/EngineContext.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3D9Renderer.h"
#include "d3d/Texture.h"
#include "d3d/TextureBank.h"

namespace {

// Numbers the textures made from memory, for their bank names.
int g_iMemoryTextures = 0;

const char kNoMemoryTexture[] = "Failed to load texture from memory: D3D Texture creation failed.";
const char kNoLock[] = "Failed to load texture from memory: IDirect3DTexture9::LockRect failed.";

// Memory order of an A8R8G8B8 texel: blue, green, red, alpha.
DWORD ArgbFromBytes(BYTE red, BYTE green, BYTE blue, BYTE alpha) {
  return (DWORD{alpha} << 24) | (DWORD{red} << 16) | (DWORD{green} << 8) | blue;
}

void CopyRow(DWORD* target, const BYTE* source, UINT width, CEGUI::Texture::PixelFormat format) {
  const bool alpha = format == CEGUI::Texture::PF_RGBA;
  const UINT step = alpha ? 4 : 3;
  for (UINT x = 0; x < width; ++x, source += step)
    target[x] = ArgbFromBytes(source[0], source[1], source[2], alpha ? source[3] : 0xFF);
}

// The folder of a resource group of the GUI library's provider, else the engine library's folder.
std::string GroupFolder(const CEGUI::String& group) {
  CEGUI::System* system = CEGUI::System::getSingletonPtr();
  auto* provider = system ? dynamic_cast<CEGUI::DefaultResourceProvider*>(system->getResourceProvider()) : nullptr;
  if (provider) {
    const CEGUI::String& folder =
        provider->getResourceGroupDirectory(group.empty() ? provider->getDefaultResourceGroup() : group);
    if (!folder.empty()) return folder.c_str();
  }
  return GetEngineContext()->GetApplicationFolder();
}

}  // namespace

CGUITexture::CGUITexture(CD3D9Renderer* renderer, const CEGUI::String& name)
    : m_pRenderer(renderer), m_name(name), m_size(0, 0), m_dataSize(0, 0), m_texelScaling(0, 0) {}

CGUITexture::~CGUITexture() { ReleaseEngineTexture(); }

void CGUITexture::ReleaseEngineTexture() {
  if (!m_pTexture) return;
  CTexture* texture = m_pTexture;
  m_pTexture = nullptr;
  texture->ForgetGUITexture(this);
  texture->Release();
}

void CGUITexture::TakeSize(const CEGUI::Sizef& dataSize) {
  const UINT width = m_pTexture ? m_pTexture->GetWidth() : 0;
  const UINT height = m_pTexture ? m_pTexture->GetHeight() : 0;
  m_size = CEGUI::Sizef(static_cast<float>(width), static_cast<float>(height));
  m_dataSize = dataSize;
  m_texelScaling = CEGUI::Vector2f(width ? 1.0f / width : 0.0f, height ? 1.0f / height : 0.0f);
}

void CGUITexture::Attach(CTexture* texture) {
  ReleaseEngineTexture();
  m_pTexture = texture;
  const CEGUI::Sizef size(static_cast<float>(texture->GetWidth()), static_cast<float>(texture->GetHeight()));
  TakeSize(size);
}

void CGUITexture::loadFromFile(const CEGUI::String& filename, const CEGUI::String& resourceGroup) {
  ReleaseEngineTexture();
  TakeSize(CEGUI::Sizef(0, 0));
  const std::string path = GroupFolder(resourceGroup) + filename.c_str();
  CTextureBank* bank = m_pRenderer->GetTextureBank();
  // The file's own format is kept: GUI images need their alpha as drawn.
  m_pTexture = bank->CreateTextureKeepFormat(path.c_str(), 0, 1);
  if (!m_pTexture)
    throw RendererException("Failed to create Texture object from file '" + filename);
  bank->LoadAllTextures();
  TakeSize(CEGUI::Sizef(static_cast<float>(m_pTexture->GetWidth()), static_cast<float>(m_pTexture->GetHeight())));
}

void CGUITexture::CreateBlank(const CEGUI::Sizef& size) {
  ReleaseEngineTexture();
  TakeSize(CEGUI::Sizef(0, 0));
  const float largest = std::max(size.d_width, size.d_height);
  // A side the device cannot make would end the process in the bank: refuse it here.
  const UINT limit = m_pRenderer->GetEnumeration() ? std::min(m_pRenderer->GetEnumeration()->GetMaxTextureWidth(),
                                                              m_pRenderer->GetEnumeration()->GetMaxTextureHeight())
                                                   : 0;
  if (!(size.d_width >= 1.0f && size.d_height >= 1.0f && largest <= static_cast<float>(limit)))
    throw RendererException(kNoMemoryTexture);
  const UINT side = static_cast<UINT>(std::ceil(largest));
  char name[256];
  std::snprintf(name, sizeof name, "LoadedFromMemory%i", g_iMemoryTextures++);
  CTextureInterface* made = m_pRenderer->GetTextureBank()->CreateTexture(name, D3DFMT_A8R8G8B8, side, side, 1, 0);
  if (!made) throw RendererException(kNoMemoryTexture);
  m_pTexture = static_cast<CTexture*>(made);
  TakeSize(size);
}

void CGUITexture::loadFromMemory(const void* buffer, const CEGUI::Sizef& bufferSize, PixelFormat format) {
  if (!isPixelFormatSupported(format))
    throw RendererException("Failed to load texture from memory: unsupported pixel format.");
  CreateBlank(bufferSize);
  const UINT width = static_cast<UINT>(bufferSize.d_width);
  const UINT height = static_cast<UINT>(bufferSize.d_height);
  D3DLOCKED_RECT locked = {};
  if (!m_pTexture->Lock(0, nullptr, &locked)) {
    ReleaseEngineTexture();
    TakeSize(CEGUI::Sizef(0, 0));
    throw RendererException(kNoLock);
  }
  const UINT sourcePitch = width * (format == PF_RGBA ? 4 : 3);
  const BYTE* source = static_cast<const BYTE*>(buffer);
  BYTE* target = static_cast<BYTE*>(locked.pBits);
  for (UINT row = 0; row < height; ++row)
    CopyRow(reinterpret_cast<DWORD*>(target + size_t{row} * locked.Pitch), source + size_t{row} * sourcePitch, width,
            format);
  m_pTexture->Unlock(0);
}

void CGUITexture::blitFromMemory(const void* sourceData, const CEGUI::Rectf& area) {
  if (!m_pTexture) return;
  RequireArgbRows();
  RECT rect = {static_cast<LONG>(area.left()), static_cast<LONG>(area.top()), static_cast<LONG>(area.right()),
               static_cast<LONG>(area.bottom())};
  // Only an area inside the texture is written.
  if (rect.left < 0 || rect.top < 0 || rect.right <= rect.left || rect.bottom <= rect.top ||
      static_cast<UINT>(rect.right) > m_pTexture->GetWidth() || static_cast<UINT>(rect.bottom) > m_pTexture->GetHeight())
    throw RendererException("Failed to blit to texture: the area lies outside it.");
  D3DLOCKED_RECT locked = {};
  if (!m_pTexture->Lock(0, &rect, &locked)) throw RendererException("Failed to blit to texture: lock failed.");
  const UINT width = rect.right - rect.left;
  const BYTE* source = static_cast<const BYTE*>(sourceData);
  BYTE* target = static_cast<BYTE*>(locked.pBits);
  for (LONG row = 0; row < rect.bottom - rect.top; ++row)
    CopyRow(reinterpret_cast<DWORD*>(target + size_t(row) * locked.Pitch), source + size_t(row) * width * 4, width,
            PF_RGBA);
  m_pTexture->Unlock(0);
}

void CGUITexture::blitToMemory(void* targetData) {
  if (!m_pTexture) return;
  RequireArgbRows();
  D3DLOCKED_RECT locked = {};
  if (!m_pTexture->Lock(0, nullptr, &locked)) throw RendererException("Failed to read texture: lock failed.");
  const UINT width = m_pTexture->GetWidth();
  BYTE* target = static_cast<BYTE*>(targetData);
  for (UINT row = 0; row < m_pTexture->GetHeight(); ++row) {
    const BYTE* source = static_cast<const BYTE*>(locked.pBits) + size_t{row} * locked.Pitch;
    for (UINT x = 0; x < width; ++x, source += 4, target += 4) {
      target[0] = source[2];
      target[1] = source[1];
      target[2] = source[0];
      target[3] = source[3];
    }
  }
  m_pTexture->Unlock(0);
}

// Blits convert to and from 32-bit texels only.
void CGUITexture::RequireArgbRows() const {
  const D3DFORMAT format = m_pTexture->GetFormat();
  if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8)
    throw RendererException("Failed to blit texture: its format has no 32-bit texels.");
}

bool CGUITexture::isPixelFormatSupported(PixelFormat format) const {
  return format == PF_RGBA || format == PF_RGB;
}
