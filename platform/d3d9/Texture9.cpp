#include "Texture9.h"

CTexture9::CTexture9(CDirect3DDevice9* device, const SFormatInfo& format, UINT width, UINT height, UINT levels,
                     DWORD usage, D3DPOOL pool)
    : TBaseTexture9(device, D3DRTYPE_TEXTURE, format, width, height, levels, usage, pool) {}

HRESULT CTexture9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object, {&IID_IDirect3DResource9, &IID_IDirect3DBaseTexture9, &IID_IDirect3DTexture9});
}

HRESULT CTexture9::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = Surface(0, level);
  if (!*surface) return D3DERR_INVALIDCALL;
  (*surface)->AddRef();
  return D3D_OK;
}

HRESULT CTexture9::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  CSurface9* surface = Surface(0, level);
  return surface ? surface->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CTexture9::UnlockRect(UINT level) {
  CSurface9* surface = Surface(0, level);
  return surface ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}

HRESULT CTexture9::AddDirtyRect(const RECT*) {
  if (CSurface9* top = Surface(0, 0)) top->MarkDirty();
  return D3D_OK;
}
