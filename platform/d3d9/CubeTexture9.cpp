#include "CubeTexture9.h"

CCubeTexture9::CCubeTexture9(CDirect3DDevice9* device, const SFormatInfo& format, UINT edge, UINT levels,
                             DWORD usage, D3DPOOL pool)
    : TBaseTexture9(device, D3DRTYPE_CUBETEXTURE, format, edge, edge, levels, usage, pool) {}

HRESULT CCubeTexture9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object,
                         {&IID_IDirect3DResource9, &IID_IDirect3DBaseTexture9, &IID_IDirect3DCubeTexture9});
}

HRESULT CCubeTexture9::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = Surface(static_cast<UINT>(face), level);
  if (!*surface) return D3DERR_INVALIDCALL;
  (*surface)->AddRef();
  return D3D_OK;
}

HRESULT CCubeTexture9::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                DWORD flags) {
  CSurface9* surface = Surface(static_cast<UINT>(face), level);
  return surface ? surface->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CCubeTexture9::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
  CSurface9* surface = Surface(static_cast<UINT>(face), level);
  return surface ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}

HRESULT CCubeTexture9::AddDirtyRect(D3DCUBEMAP_FACES face, const RECT*) {
  CSurface9* top = Surface(static_cast<UINT>(face), 0);
  if (!top) return D3DERR_INVALIDCALL;
  top->MarkDirty();
  return D3D_OK;
}
