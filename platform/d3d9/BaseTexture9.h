#pragma once
// IDirect3DBaseTexture9 for both texture kinds, over the shared level chain.
#include "BaseTexture.h"
#include "Resource9.h"
#include "Surface9.h"

template <class TInterface>
class TBaseTexture9 : public TResource9<TInterface>, public CBaseTexture {
 public:
  TBaseTexture9(CDirect3DDevice9* device, D3DRESOURCETYPE type, const SFormatInfo& format, UINT width,
                UINT height, UINT levels, DWORD usage, D3DPOOL pool)
      : TResource9<TInterface>(device, pool, type),
        CBaseTexture(device, type == D3DRTYPE_CUBETEXTURE, format, width, height, levels, usage, pool) {}

  IDirect3DBaseTexture9* Interface() override { return this; }
  void BindTexture() override { this->Bind(); }
  void UnbindTexture() override { this->Unbind(); }
  DWORD SetLOD(DWORD lod) override {
    DWORD previous = m_lod;
    if (this->Pool() == D3DPOOL_MANAGED) m_lod = lod < Levels() ? lod : Levels() - 1;
    return previous;
  }
  DWORD GetLOD() override { return m_lod; }
  // An automatically generated chain shows the caller one level.
  DWORD GetLevelCount() override { return (Usage() & D3DUSAGE_AUTOGENMIPMAP) ? 1 : Levels(); }
  HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE filter) override {
    if (filter != D3DTEXF_POINT && filter != D3DTEXF_LINEAR && filter != D3DTEXF_ANISOTROPIC)
      return D3DERR_INVALIDCALL;
    m_autoGenFilter = filter;
    return D3D_OK;
  }
  D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return m_autoGenFilter; }
  void GenerateMipSubLevels() override {
    if (Usage() & D3DUSAGE_AUTOGENMIPMAP) RequestMipGeneration();
  }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override { return LevelDesc(level, desc); }
  void ReleaseBackendObjects() override { ReleaseBackendTexture(this->Backend()); }
};
