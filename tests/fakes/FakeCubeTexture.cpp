#include "FakeCubeTexture.h"

CFakeCubeTexture::CFakeCubeTexture(D3DFORMAT format, UINT edge, UINT levels, D3DPOOL pool) {
  for (auto& face : m_faces) face = CFakeSurface::MakeChain(format, edge, edge, levels, pool, this);
}

HRESULT CFakeCubeTexture::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DBaseTexture9 ||
      riid == IID_IDirect3DCubeTexture9) {
    AddRef();
    *object = static_cast<IDirect3DCubeTexture9*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CFakeCubeTexture::Release() {
  ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

HRESULT CFakeCubeTexture::GetDevice(IDirect3DDevice9** device) {
  *device = nullptr;
  return E_NOTIMPL;
}

CFakeSurface* CFakeCubeTexture::Find(D3DCUBEMAP_FACES face, UINT level) {
  if ((UINT)face >= 6 || level >= m_faces[face].size()) return nullptr;
  return m_faces[face][level].get();
}

HRESULT CFakeCubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  CFakeSurface* surface = Find(D3DCUBEMAP_FACE_POSITIVE_X, level);
  return surface ? surface->GetDesc(desc) : D3DERR_INVALIDCALL;
}

HRESULT CFakeCubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** out) {
  CFakeSurface* surface = Find(face, level);
  if (!surface || !out) return D3DERR_INVALIDCALL;
  surface->AddRef();
  *out = surface;
  return D3D_OK;
}

HRESULT CFakeCubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                   DWORD flags) {
  CFakeSurface* surface = Find(face, level);
  return surface ? surface->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CFakeCubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
  CFakeSurface* surface = Find(face, level);
  return surface ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}
