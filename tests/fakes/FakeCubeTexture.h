#pragma once
// An in-memory IDirect3DCubeTexture9: six faces of CFakeSurface levels.
#include <memory>
#include <vector>

#include "FakeSurface.h"

class CFakeCubeTexture : public IDirect3DCubeTexture9 {
 public:
  CFakeCubeTexture(D3DFORMAT format, UINT edge, UINT levels, D3DPOOL pool);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override;

  HRESULT GetDevice(IDirect3DDevice9** device) override;
  DWORD SetPriority(DWORD) override { return 0; }
  DWORD GetPriority() override { return 0; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
  DWORD SetLOD(DWORD) override { return 0; }
  DWORD GetLOD() override { return 0; }
  DWORD GetLevelCount() override { return (DWORD)m_faces[0].size(); }
  HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE) override { return D3D_OK; }
  D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return D3DTEXF_LINEAR; }
  void GenerateMipSubLevels() override {}

  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
  HRESULT AddDirtyRect(D3DCUBEMAP_FACES, const RECT*) override { return D3D_OK; }

  CFakeSurface& Surface(UINT face, UINT level) { return *m_faces[face].at(level); }

 private:
  CFakeSurface* Find(D3DCUBEMAP_FACES face, UINT level);

  std::vector<std::unique_ptr<CFakeSurface>> m_faces[6];
  ULONG m_references = 1;
};
