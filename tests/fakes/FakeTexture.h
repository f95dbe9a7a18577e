#pragma once
// An in-memory IDirect3DTexture9 made of CFakeSurface levels, for tests of D3DX texture
// loading and saving; the device's CreateTexture gives the same levels through the same calls.
#include <memory>
#include <vector>

#include "FakeSurface.h"

class CFakeTexture : public IDirect3DTexture9 {
 public:
  CFakeTexture(D3DFORMAT format, UINT width, UINT height, UINT levels, DWORD usage, D3DPOOL pool,
               IDirect3DDevice9* device = nullptr);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override;

  HRESULT GetDevice(IDirect3DDevice9** device) override;
  DWORD SetPriority(DWORD) override { return 0; }
  DWORD GetPriority() override { return 0; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD SetLOD(DWORD) override { return 0; }
  DWORD GetLOD() override { return 0; }
  DWORD GetLevelCount() override { return (DWORD)m_levels.size(); }
  HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE) override { return D3D_OK; }
  D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return D3DTEXF_LINEAR; }
  void GenerateMipSubLevels() override { ++m_generateCalls; }

  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;
  HRESULT AddDirtyRect(const RECT*) override { return D3D_OK; }

  CFakeSurface& Level(UINT level) { return *m_levels.at(level); }
  DWORD Usage() const { return m_usage; }
  D3DPOOL Pool() const { return m_pool; }
  int GenerateCalls() const { return m_generateCalls; }
  ULONG References() const { return m_references; }

 private:
  std::vector<std::unique_ptr<CFakeSurface>> m_levels;
  DWORD m_usage;
  D3DPOOL m_pool;
  ULONG m_references = 1;
  int m_generateCalls = 0;
};
