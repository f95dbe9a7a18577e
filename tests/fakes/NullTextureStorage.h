#pragma once
// A texture bank that has nothing: every texture asked for is null and every setting is
// refused. Fakes derive from it and answer only what their tests look at.
#include "ZeKorbD3DHeader.h"

class NullTextureStorage : public CTextureStorageInterface {
 public:
  CTextureInterface* CreateTexture(const char*, D3DFORMAT, UINT, UINT, UINT, UINT) override {
    return nullptr;
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
  UINT LoadAllTextures() override { return 0; }
  CTextureInterface* GetTextureByID(UINT) override { return nullptr; }
  UINT GetNumberOfTextures() override { return 0; }

 protected:
  ~NullTextureStorage() = default;
};
