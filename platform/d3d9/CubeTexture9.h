#pragma once
#include "BaseTexture9.h"

class CCubeTexture9 : public TBaseTexture9<IDirect3DCubeTexture9> {
 public:
  CCubeTexture9(CDirect3DDevice9* device, const SFormatInfo& format, UINT edge, UINT levels, DWORD usage,
                D3DPOOL pool);
  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                   DWORD flags) override;
  HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
  HRESULT AddDirtyRect(D3DCUBEMAP_FACES face, const RECT* rect) override;
};
