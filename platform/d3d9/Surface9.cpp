#include "Surface9.h"

#include <cstring>

#include "BaseTexture.h"

CSurface9::CSurface9(CDirect3DDevice9* device, ESurfaceKind kind, const SFormatInfo& format, UINT width,
                     UINT height, DWORD usage, D3DPOOL pool, bool lockable, bool implicit)
    : TResource9(device, pool, D3DRTYPE_SURFACE, !implicit),
      m_kind(kind),
      m_format(&format),
      m_width(width),
      m_height(height),
      m_pitch(CFormatTable::Pitch(format, width)),
      m_usage(usage),
      m_lockable(lockable),
      m_implicit(implicit) {
  // Depth buffers live only in the back end.
  if (kind != SURFACE_DEPTH_STENCIL) m_memory.resize(CFormatTable::LevelBytes(format, width, height));
}

CSurface9::CSurface9(CDirect3DDevice9* device, CBaseTexture* container, UINT face, UINT level,
                     const SFormatInfo& format, UINT width, UINT height, DWORD usage, D3DPOOL pool)
    : TResource9(device, pool, D3DRTYPE_SURFACE, false),
      m_kind(SURFACE_TEXTURE_LEVEL),
      m_format(&format),
      m_width(width),
      m_height(height),
      m_pitch(CFormatTable::Pitch(format, width)),
      m_usage(usage),
      // Default-pool textures cannot be locked unless they are dynamic.
      m_lockable(pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC)),
      m_implicit(false),
      m_container(container),
      m_face(face),
      m_level(level),
      m_memory(CFormatTable::LevelBytes(format, width, height)),
      m_dirty(true) {}

CSurface9::~CSurface9() { ReleaseBackendObjects(); }

// A level counts as its texture, an implicit surface as its device.
ULONG CSurface9::AddRef() {
  if (m_container) return m_container->Interface()->AddRef();
  if (m_implicit) return Device()->AddRef();
  return TResource9::AddRef();
}

ULONG CSurface9::Release() {
  if (m_container) return m_container->Interface()->Release();
  if (m_implicit) return Device()->Release();
  return TResource9::Release();
}

// A level is bound through its texture; the device's own surfaces are never in doubt.
void CSurface9::Bind() {
  if (m_container)
    m_container->BindTexture();
  else if (!m_implicit)
    TResource9::Bind();
}

void CSurface9::Unbind() {
  if (m_container)
    m_container->UnbindTexture();
  else if (!m_implicit)
    TResource9::Unbind();
}

HRESULT CSurface9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object, {&IID_IDirect3DResource9, &IID_IDirect3DSurface9});
}

HRESULT CSurface9::GetContainer(REFIID riid, void** container) {
  if (!container) return D3DERR_INVALIDCALL;
  if (m_container) return m_container->Interface()->QueryInterface(riid, container);
  return Device()->QueryInterface(riid, container);
}

HRESULT CSurface9::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {m_format->format, D3DRTYPE_SURFACE, m_usage, Pool(), D3DMULTISAMPLE_NONE, 0, m_width, m_height};
  return D3D_OK;
}

HRESULT CSurface9::CheckLockRect(const RECT* rect) const {
  if (!rect) return D3D_OK;
  if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
      static_cast<UINT>(rect->right) > m_width || static_cast<UINT>(rect->bottom) > m_height)
    return D3DERR_INVALIDCALL;
  // Compressed surfaces lock whole blocks.
  const LONG block = static_cast<LONG>(m_format->blockSize);
  if (block > 1) {
    if (rect->left % block || rect->top % block) return D3DERR_INVALIDCALL;
    if ((rect->right % block && static_cast<UINT>(rect->right) != m_width) ||
        (rect->bottom % block && static_cast<UINT>(rect->bottom) != m_height))
      return D3DERR_INVALIDCALL;
  }
  return D3D_OK;
}

HRESULT CSurface9::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!locked) return D3DERR_INVALIDCALL;
  locked->pBits = nullptr;
  locked->Pitch = 0;
  if (!m_lockable || m_memory.empty() || IsLocked()) return D3DERR_INVALIDCALL;
  HRESULT hr = CheckLockRect(rect);
  if (FAILED(hr)) return hr;
  if (IsColorTarget()) ReadBack();
  size_t offset = 0;
  if (rect)
    offset = static_cast<size_t>(rect->top / m_format->blockSize) * m_pitch +
             static_cast<size_t>(rect->left / m_format->blockSize) * m_format->blockBytes;
  locked->pBits = m_memory.data() + offset;
  locked->Pitch = static_cast<INT>(m_pitch);
  m_locked = true;
  if (!(flags & D3DLOCK_READONLY)) MarkDirty();
  return D3D_OK;
}

HRESULT CSurface9::UnlockRect() {
  if (!m_locked) return D3DERR_INVALIDCALL;
  m_locked = false;
  return D3D_OK;
}

HRESULT CSurface9::GetDC(HDC* dc) {
  if (!dc) return D3DERR_INVALIDCALL;
  *dc = nullptr;
  switch (m_format->format) {
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8R8G8B8:
      break;
    default:
      return D3DERR_INVALIDCALL;
  }
  if (m_memory.empty() || IsLocked()) return D3DERR_INVALIDCALL;
  if (IsColorTarget()) ReadBack();
  m_dc = {ZK_SURFACE_DC_SIGNATURE, m_format->format, m_width, m_height, static_cast<INT>(m_pitch), m_memory.data()};
  m_dcOut = true;
  *dc = reinterpret_cast<HDC>(&m_dc);
  return D3D_OK;
}

HRESULT CSurface9::ReleaseDC(HDC dc) {
  if (!m_dcOut || dc != reinterpret_cast<HDC>(&m_dc)) return D3DERR_INVALIDCALL;
  m_dcOut = false;
  MarkDirty();
  return D3D_OK;
}

void CSurface9::MarkDirty() { m_dirty = true; }

STargetRef CSurface9::TargetRef() {
  STargetRef ref;
  ref.format = m_format;
  ref.width = m_width;
  ref.height = m_height;
  if (m_container) {
    ref.handle = m_container->Prepare(Backend());
    ref.isCube = m_container->IsCube();
    ref.face = m_face;
    ref.level = m_level;
    return ref;
  }
  if (m_kind == SURFACE_DEPTH_STENCIL) {
    if (!m_handle) m_handle = Backend().CreateDepthBuffer(*m_format, m_width, m_height);
    ref.isDepthBuffer = true;
  } else {
    if (!m_handle) {
      m_handle = Backend().CreateTexture(false, *m_format, m_width, m_height, 1);
      m_dirty = true;
    }
    if (m_dirty && !CFormatTable::IsCompressed(m_format->format)) {
      Backend().UploadTextureLevel(m_handle, false, 0, 0, *m_format, m_width, m_height, m_memory.data(), m_pitch);
    }
    m_dirty = false;
  }
  ref.handle = m_handle;
  return ref;
}

bool CSurface9::ReadBack() {
  if (m_memory.empty()) return false;
  if (m_container) {
    if (!m_container->Handle()) return true;
  } else if (!m_handle || m_dirty) {
    return true;  // nothing rendered since the memory was written
  }
  STargetRef ref = TargetRef();
  return Backend().ReadTarget(ref, m_memory.data(), m_pitch);
}

void CSurface9::Reshape(const SFormatInfo& format, UINT width, UINT height, bool lockable) {
  ReleaseBackendObjects();
  m_format = &format;
  m_width = width;
  m_height = height;
  m_pitch = CFormatTable::Pitch(format, width);
  m_lockable = lockable;
  m_locked = false;
  m_dcOut = false;
  m_memory.assign(m_kind == SURFACE_DEPTH_STENCIL ? 0 : CFormatTable::LevelBytes(format, width, height), 0);
}

void CSurface9::ReleaseBackendObjects() {
  if (!m_handle) return;
  if (m_kind == SURFACE_DEPTH_STENCIL)
    Backend().DestroyDepthBuffer(m_handle);
  else
    Backend().DestroyTexture(m_handle);
  m_handle = 0;
  m_dirty = true;
}
