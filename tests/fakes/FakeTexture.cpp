#include "FakeTexture.h"

CFakeTexture::CFakeTexture(D3DFORMAT format, UINT width, UINT height, UINT levels, DWORD usage, D3DPOOL pool,
                           IDirect3DDevice9* device)
    : m_levels(CFakeSurface::MakeChain(format, width, height, levels, pool, this, usage, device)),
      m_usage(usage),
      m_pool(pool) {}

HRESULT CFakeTexture::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DBaseTexture9 ||
      riid == IID_IDirect3DTexture9) {
    AddRef();
    *object = static_cast<IDirect3DTexture9*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CFakeTexture::Release() {
  ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

HRESULT CFakeTexture::GetDevice(IDirect3DDevice9** device) {
  *device = nullptr;
  return E_NOTIMPL;
}

HRESULT CFakeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  return level < m_levels.size() ? m_levels[level]->GetDesc(desc) : D3DERR_INVALIDCALL;
}

HRESULT CFakeTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (level >= m_levels.size() || !surface) return D3DERR_INVALIDCALL;
  m_levels[level]->AddRef();
  *surface = m_levels[level].get();
  return D3D_OK;
}

HRESULT CFakeTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  return level < m_levels.size() ? m_levels[level]->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CFakeTexture::UnlockRect(UINT level) {
  return level < m_levels.size() ? m_levels[level]->UnlockRect() : D3DERR_INVALIDCALL;
}
