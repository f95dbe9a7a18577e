#pragma once
#include "BaseTexture9.h"

class CTexture9 : public TBaseTexture9<IDirect3DTexture9> {
 public:
  CTexture9(CDirect3DDevice9* device, const SFormatInfo& format, UINT width, UINT height, UINT levels, DWORD usage,
            D3DPOOL pool);
  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;
  HRESULT AddDirtyRect(const RECT* rect) override;
};
