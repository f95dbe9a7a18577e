#pragma once
// A texture bank for videos: sized textures backed by in-memory Direct3D textures with padded
// rows (so a copy that ignores the pitch shows up), the bank's own reference kept on each, so a
// test sees whether the owner released its texture. Texture files are not its business.
#include <memory>
#include <string>
#include <vector>

#include "FakeTexture.h"
#include "ZKDXInterface.h"

class FakeVideoTexture final : public CTextureInterface {
 public:
  FakeVideoTexture(const char* szName, D3DFORMAT format, UINT nWidth, UINT nHeight)
      : name(szName ? szName : ""), format(format), width(nWidth), height(nHeight),
        d3d(new CFakeTexture(format, nWidth, nHeight, 1, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT)) {
    d3d->AddRef();  // the bank's
  }
  ~FakeVideoTexture() { d3d->Release(); }

  // The texel at (x, y) as 0xAARRGGBB, read through the pitch.
  DWORD Texel(UINT x, UINT y) {
    D3DLOCKED_RECT locked;
    if (FAILED(d3d->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return 0xDEADBEEF;
    const BYTE* at = static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4;
    const DWORD texel = DWORD{at[3]} << 24 | DWORD{at[2]} << 16 | DWORD{at[1]} << 8 | at[0];
    d3d->UnlockRect(0);
    return texel;
  }
  // References on the Direct3D texture besides the bank's.
  ULONG OwnerReferences() const { return d3d->References() - 1; }

  std::string name;
  D3DFORMAT format;
  UINT width, height;
  CFakeTexture* d3d;
  std::vector<WORD> setStages;

  const char* GetName() override { return name.c_str(); }
  const char* GetFileName() override { return nullptr; }
  const char* GetGreenFileName() override { return nullptr; }
  const char* GetBlueFileName() override { return nullptr; }
  const char* GetAlphaFileName() override { return nullptr; }
  UINT IsCubeTexture() override { return 0; }
  UINT IsNonPlainTexture() override { return 0; }
  UINT Set(WORD stage) override {
    setStages.push_back(stage);
    return 1;
  }
  UINT IsLoaded() override { return 1; }
  UINT HasAlphaChannel() override { return 1; }
  IDirect3DTexture9* GetD3DTexture() override { return OwnerReferences() > 0 ? d3d : nullptr; }
  IDirect3DCubeTexture9* GetD3DCubeTexture() override { return nullptr; }
  IDirect3DBaseTexture9* GetD3DVolumeTexture() override { return nullptr; }
  HDC GetCubeDC(D3DCUBEMAP_FACES, UINT) override { return nullptr; }
  HDC GetDC(UINT) override { return nullptr; }
  UINT ReleaseDC(HDC, UINT) override { return 0; }
  UINT GetWidth() override { return width; }
  UINT GetHeight() override { return height; }
  D3DFORMAT GetFormat() override { return format; }
  WORD GetTextureType() override { return TEXTURE_TYPE_2D; }
  WORD GetTextureKind() override { return 0; }
  UINT CopyToSystemMemorySurface(IDirect3DSurface9**, D3DFORMAT) override { return 0; }
  UINT Lock(UINT, RECT*, D3DLOCKED_RECT*) override { return 0; }
  HRESULT Unlock(UINT) override { return 0; }
};

class FakeVideoTextureBank final : public CTextureStorageInterface {
 public:
  std::vector<std::unique_ptr<FakeVideoTexture>> made;
  // Every sized request as "name format width height levels dynamic".
  std::vector<std::string> requests;

  FakeVideoTexture* Last() const { return made.empty() ? nullptr : made.back().get(); }

  CTextureInterface* CreateTexture(const char* name, D3DFORMAT format, UINT width, UINT height,
                                   UINT levels, UINT dynamic) override {
    requests.push_back(std::string(name ? name : "(null)") + " " +
                       std::to_string(static_cast<int>(format)) + " " + std::to_string(width) +
                       " " + std::to_string(height) + " " + std::to_string(levels) + " " +
                       std::to_string(dynamic));
    made.push_back(std::make_unique<FakeVideoTexture>(name, format, width, height));
    return made.back().get();
  }
  CTextureInterface* CreateTexture(MaterialTexture2*) override { return nullptr; }
  CTextureInterface* CreateTexture(MaterialTexture1*) override { return nullptr; }
  CTextureInterface* CreateTexture(const char*, UINT) override { return nullptr; }
  CTextureInterface* CreateTexture(const char*, const char*, UINT) override { return nullptr; }
  CTextureInterface* GetTextureByName(const char*, const char*, UINT) override { return nullptr; }
  CTextureInterface* GetTextureByName(const char*, UINT) override { return nullptr; }
  CTextureInterface* GetTextureOnStage(WORD) override { return nullptr; }
  UINT SetTexture(CTextureInterface*, WORD, UINT) override { return 0; }
  UINT SetD3DTexture(IDirect3DBaseTexture9*, UINT) override { return 0; }
  UINT LoadAllTextures() override { return 1; }
  CTextureInterface* GetTextureByID(UINT) override { return nullptr; }
  UINT GetNumberOfTextures() override { return static_cast<UINT>(made.size()); }
};
