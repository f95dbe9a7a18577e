#pragma once
// What 2D and cube textures share: the chain of level surfaces and the back end's texture,
// uploaded level by level as the caller changes the memory.
#include <memory>
#include <vector>

#include "FormatTable.h"
#include "d3d9.h"

class CDirect3DDevice9;
class CSurface9;
class IRenderBackend;

class CBaseTexture {
 public:
  CBaseTexture(CDirect3DDevice9* device, bool isCube, const SFormatInfo& format, UINT width, UINT height,
               UINT levels, DWORD usage, D3DPOOL pool);
  virtual ~CBaseTexture();
  CBaseTexture(const CBaseTexture&) = delete;
  CBaseTexture& operator=(const CBaseTexture&) = delete;

  // The whole chain down to 1x1 for a request of 0 levels; 0 when more levels are asked for
  // than the size allows.
  static UINT FullChainLength(UINT width, UINT height);

  virtual IDirect3DBaseTexture9* Interface() = 0;
  // Device bindings of the texture (see TComObject).
  virtual void BindTexture() = 0;
  virtual void UnbindTexture() = 0;
  CDirect3DDevice9* OwnerDevice() const { return m_device; }
  bool IsCube() const { return m_isCube; }
  const SFormatInfo& Format() const { return *m_format; }
  UINT Levels() const { return m_levels; }
  DWORD Usage() const { return m_usage; }
  CSurface9* Surface(UINT face, UINT level) const;
  // Creates the back end's texture when needed and uploads the levels the caller changed.
  uintptr_t Prepare(IRenderBackend& backend);
  uintptr_t Handle() const { return m_handle; }
  void ReleaseBackendTexture(IRenderBackend& backend);

 protected:
  HRESULT LevelDesc(UINT level, D3DSURFACE_DESC* desc) const;
  void RequestMipGeneration() { m_generateMips = true; }
  D3DTEXTUREFILTERTYPE m_autoGenFilter = D3DTEXF_LINEAR;
  DWORD m_lod = 0;

 private:
  CDirect3DDevice9* m_device;
  bool m_isCube;
  const SFormatInfo* m_format;
  UINT m_levels;
  DWORD m_usage;
  std::vector<std::unique_ptr<CSurface9>> m_surfaces;  // face-major
  uintptr_t m_handle = 0;
  bool m_generateMips = false;
};
