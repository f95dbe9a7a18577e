#pragma once
// An engine texture that only has names: what code that looks at a texture's images sees. It
// records the stages it is set on, and writes "texture NAME STAGE" into a shared call list when
// a test gives it one.
#include <string>
#include <vector>

#include "ZeKorbD3DHeader.h"

class FakeEngineTexture final : public CTextureInterface {
 public:
  std::string fileName, alphaFileName;
  std::vector<WORD> stagesSet;
  std::vector<std::string>* calls = nullptr;
  UINT width = 0, height = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  // The Direct3D texture behind it, when a test gives one.
  IDirect3DTexture9* d3dTexture = nullptr;

  const char* GetName() override { return Text(fileName); }
  const char* GetFileName() override { return Text(fileName); }
  const char* GetGreenFileName() override { return nullptr; }
  const char* GetBlueFileName() override { return nullptr; }
  const char* GetAlphaFileName() override { return Text(alphaFileName); }
  UINT IsCubeTexture() override { return 0; }
  UINT IsNonPlainTexture() override { return 0; }
  UINT Set(WORD stage) override {
    stagesSet.push_back(stage);
    if (calls) calls->push_back("texture " + fileName + " " + std::to_string(stage));
    return 1;
  }
  UINT IsLoaded() override { return 1; }
  UINT HasAlphaChannel() override { return alphaFileName.empty() ? 0 : 1; }
  IDirect3DTexture9* GetD3DTexture() override { return d3dTexture; }
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

 private:
  // Empty names read as null, as the engine's textures answer them.
  static const char* Text(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }
};
