#include "BaseTexture.h"

#include "RenderBackend.h"
#include "Surface9.h"

UINT CBaseTexture::FullChainLength(UINT width, UINT height) {
  UINT levels = 1;
  while (width > 1 || height > 1) {
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
    ++levels;
  }
  return levels;
}

CBaseTexture::CBaseTexture(CDirect3DDevice9* device, bool isCube, const SFormatInfo& format, UINT width,
                           UINT height, UINT levels, DWORD usage, D3DPOOL pool)
    : m_device(device), m_isCube(isCube), m_format(&format), m_levels(levels), m_usage(usage) {
  const UINT faces = isCube ? 6 : 1;
  for (UINT face = 0; face < faces; ++face) {
    UINT w = width, h = height;
    for (UINT level = 0; level < levels; ++level) {
      m_surfaces.emplace_back(new CSurface9(device, this, face, level, format, w, h, usage, pool));
      w = w > 1 ? w / 2 : 1;
      h = h > 1 ? h / 2 : 1;
    }
  }
  if (usage & D3DUSAGE_AUTOGENMIPMAP) m_generateMips = true;
}

CBaseTexture::~CBaseTexture() = default;

CSurface9* CBaseTexture::Surface(UINT face, UINT level) const {
  if (face >= (m_isCube ? 6u : 1u) || level >= m_levels) return nullptr;
  return m_surfaces[face * m_levels + level].get();
}

HRESULT CBaseTexture::LevelDesc(UINT level, D3DSURFACE_DESC* desc) const {
  CSurface9* surface = Surface(0, level);
  if (!surface || !desc) return D3DERR_INVALIDCALL;
  return surface->GetDesc(desc);
}

uintptr_t CBaseTexture::Prepare(IRenderBackend& backend) {
  if (!m_handle) {
    const CSurface9* top = m_surfaces.front().get();
    m_handle = backend.CreateTexture(m_isCube, *m_format, top->Width(), top->Height(), m_levels);
    for (auto& surface : m_surfaces) surface->MarkDirty();
  }
  bool uploadedTop = false;
  for (size_t i = 0; i < m_surfaces.size(); ++i) {
    CSurface9* surface = m_surfaces[i].get();
    if (!surface->IsDirty()) continue;
    surface->ClearDirty();
    // A render target's pixels live in the back end; the caller never writes its memory.
    if (m_usage & D3DUSAGE_RENDERTARGET) continue;
    const UINT face = static_cast<UINT>(i) / m_levels;
    const UINT level = static_cast<UINT>(i) % m_levels;
    backend.UploadTextureLevel(m_handle, m_isCube, face, level, *m_format, surface->Width(), surface->Height(),
                               surface->Memory(), surface->Pitch());
    uploadedTop = uploadedTop || level == 0;
  }
  if ((m_usage & D3DUSAGE_AUTOGENMIPMAP) && (m_generateMips || uploadedTop)) {
    backend.GenerateMipmaps(m_handle, m_isCube);
    m_generateMips = false;
  }
  return m_handle;
}

void CBaseTexture::ReleaseBackendTexture(IRenderBackend& backend) {
  if (m_handle) backend.DestroyTexture(m_handle);
  m_handle = 0;
  for (auto& surface : m_surfaces) surface->MarkDirty();
}
