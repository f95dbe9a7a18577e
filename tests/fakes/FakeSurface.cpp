#include "FakeSurface.h"

#include <algorithm>

namespace {

// Bytes per texel, or per 4x4 block for the DXT formats.
UINT ElementBytes(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8:
    case D3DFMT_L8:
      return 1;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8L8:
    case D3DFMT_V8U8:
    case D3DFMT_L16:
    case D3DFMT_R16F:
      return 2;
    case D3DFMT_R8G8B8:
      return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_X8B8G8R8:
    case D3DFMT_A2R10G10B10:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_G16R16:
    case D3DFMT_G16R16F:
    case D3DFMT_R32F:
      return 4;
    case D3DFMT_A16B16G16R16:
    case D3DFMT_A16B16G16R16F:
    case D3DFMT_G32R32F:
    case D3DFMT_DXT1:
      return 8;
    case D3DFMT_A32B32G32R32F:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
      return 16;
    default:
      return 0;
  }
}

bool IsBlockFormat(D3DFORMAT format) {
  return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
         format == D3DFMT_DXT5;
}

}  // namespace

UINT CFakeSurface::RowBytes(D3DFORMAT format, UINT width) {
  return ElementBytes(format) * (IsBlockFormat(format) ? (width + 3) / 4 : width);
}

UINT CFakeSurface::RowCount(D3DFORMAT format, UINT height) { return IsBlockFormat(format) ? (height + 3) / 4 : height; }

std::vector<std::unique_ptr<CFakeSurface>> CFakeSurface::MakeChain(D3DFORMAT format, UINT width, UINT height,
                                                                   UINT levels, D3DPOOL pool, IUnknown* container,
                                                                   DWORD usage, IDirect3DDevice9* device) {
  UINT full = 1;
  for (UINT size = std::max(width, height); size > 1; size /= 2) ++full;
  if (levels == 0 || levels > full) levels = full;
  std::vector<std::unique_ptr<CFakeSurface>> chain;
  for (UINT level = 0; level < levels; ++level)
    chain.push_back(std::make_unique<CFakeSurface>(format, std::max(1u, width >> level), std::max(1u, height >> level),
                                                   pool, container, usage, device));
  return chain;
}

CFakeSurface::CFakeSurface(D3DFORMAT format, UINT width, UINT height, D3DPOOL pool, IUnknown* container, DWORD usage,
                           IDirect3DDevice9* device)
    : m_pitch(RowBytes(format, width) + kRowPadding), m_container(container), m_device(device) {
  m_desc.Format = format;
  m_desc.Type = D3DRTYPE_SURFACE;
  m_desc.Usage = usage;
  m_desc.Pool = pool;
  m_desc.Width = width;
  m_desc.Height = height;
  // Filled with a marker so that texels nobody wrote are easy to tell.
  m_bytes.assign((size_t)m_pitch * RowCount(format, height), 0xcd);
}

CFakeSurface* CFakeSurface::CreateStandalone(D3DFORMAT format, UINT width, UINT height, D3DPOOL pool,
                                             IDirect3DDevice9* device) {
  auto* surface = new CFakeSurface(format, width, height, pool, nullptr, 0, device);
  surface->m_deleteOnRelease = true;
  return surface;
}

ULONG CFakeSurface::Release() {
  ULONG left = --m_references;
  if (left == 0 && m_deleteOnRelease) delete this;
  return left;
}

HRESULT CFakeSurface::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IUnknown || riid == IID_IDirect3DSurface9) {
    AddRef();
    *object = this;
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT CFakeSurface::GetDevice(IDirect3DDevice9** device) {
  *device = m_device;
  if (!m_device) return D3DERR_INVALIDCALL;
  m_device->AddRef();
  return D3D_OK;
}

HRESULT CFakeSurface::GetContainer(REFIID riid, void** container) {
  if (!m_container) return E_NOINTERFACE;
  return m_container->QueryInterface(riid, container);
}

HRESULT CFakeSurface::GetDesc(D3DSURFACE_DESC* desc) {
  *desc = m_desc;
  return D3D_OK;
}

HRESULT CFakeSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
  if (m_locked || !locked) return D3DERR_INVALIDCALL;
  if (m_desc.Pool == D3DPOOL_DEFAULT && !(m_desc.Usage & D3DUSAGE_DYNAMIC)) return D3DERR_INVALIDCALL;
  size_t offset = 0;
  if (rect) {
    bool block = IsBlockFormat(m_desc.Format);
    offset = (size_t)(block ? rect->top / 4 : rect->top) * m_pitch +
             (size_t)(block ? rect->left / 4 : rect->left) * ElementBytes(m_desc.Format);
  }
  m_locked = true;
  ++m_lockCount;
  locked->Pitch = (INT)m_pitch;
  locked->pBits = m_bytes.data() + offset;
  return D3D_OK;
}

HRESULT CFakeSurface::UnlockRect() {
  if (!m_locked) return D3DERR_INVALIDCALL;
  m_locked = false;
  return D3D_OK;
}

std::vector<BYTE> CFakeSurface::PackedBytes() const {
  UINT rowBytes = RowBytes(m_desc.Format, m_desc.Width), rows = RowCount(m_desc.Format, m_desc.Height);
  std::vector<BYTE> packed((size_t)rowBytes * rows);
  for (UINT row = 0; row < rows; ++row)
    std::copy_n(m_bytes.begin() + (size_t)row * m_pitch, rowBytes, packed.begin() + (size_t)row * rowBytes);
  return packed;
}

void CFakeSurface::SetPackedBytes(const std::vector<BYTE>& packed) {
  UINT rowBytes = RowBytes(m_desc.Format, m_desc.Width), rows = RowCount(m_desc.Format, m_desc.Height);
  for (UINT row = 0; row < rows && (size_t)(row + 1) * rowBytes <= packed.size(); ++row)
    std::copy_n(packed.begin() + (size_t)row * rowBytes, rowBytes, m_bytes.begin() + (size_t)row * m_pitch);
}

bool CFakeSurface::CopyFrom(const CFakeSurface& source, POINT at) {
  const D3DSURFACE_DESC& from = source.m_desc;
  if (from.Format != m_desc.Format || at.x < 0 || at.y < 0 || at.x + from.Width > m_desc.Width ||
      at.y + from.Height > m_desc.Height)
    return false;
  bool block = IsBlockFormat(m_desc.Format);
  if (block && (at.x % 4 || at.y % 4)) return false;
  size_t offset =
      (size_t)(block ? at.y / 4 : at.y) * m_pitch + (size_t)(block ? at.x / 4 : at.x) * ElementBytes(m_desc.Format);
  UINT rowBytes = RowBytes(from.Format, from.Width);
  for (UINT row = 0; row < RowCount(from.Format, from.Height); ++row)
    std::copy_n(source.m_bytes.begin() + (size_t)row * source.m_pitch, rowBytes,
                m_bytes.begin() + offset + (size_t)row * m_pitch);
  return true;
}
