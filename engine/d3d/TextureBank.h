#pragma once
// The table of every texture of the engine: makes textures from file names, material records,
// sizes or Direct3D textures, finds them again by their lower-cased names, shares them by
// reference count, loads them on request, and sets them on the sampler stages with a cache per
// sampler so that repeated settings skip the device. Main thread only.
#include "ZeKorbD3DHeader.h"
#include "d3d/Texture.h"

class CEngineLog;
class CEngineRenderer;

class CTextureBank final : public CTextureStorageInterface {
 public:
  static constexpr UINT kCapacity = 1024;
  static constexpr UINT kSystemTextures = 9;
  // Pixel samplers 0-15 and the vertex samplers 257-260 have cache entries.
  static constexpr UINT kStageEntries = 20;

  CTextureBank(CEngineRenderer* renderer, CEngineLog* log);
  // Frees every texture still in the table.
  ~CTextureBank();
  CTextureBank(const CTextureBank&) = delete;
  CTextureBank& operator=(const CTextureBank&) = delete;

  // --- CTextureStorageInterface ---
  CTextureInterface* CreateTexture(const char* name, D3DFORMAT format, UINT width, UINT height, UINT levels,
                                   UINT dynamic) override;
  CTextureInterface* CreateTexture(MaterialTexture2* material) override { return CreateMaterialTexture2(material); }
  CTextureInterface* CreateTexture(MaterialTexture1* material) override { return CreateMaterialTexture(material); }
  CTextureInterface* CreateTexture(const char* fileName, UINT normalMap) override {
    return CreateTextureKeepFormat(fileName, normalMap, 0);
  }
  CTextureInterface* CreateTexture(const char* fileName, const char* alphaFileName, UINT normalMap) override {
    return CreateTextureByNames(fileName, alphaFileName, normalMap);
  }
  CTextureInterface* GetTextureByName(const char* fileName, const char* alphaFileName, UINT unused) override;
  CTextureInterface* GetTextureByName(const char* name, UINT unused) override;
  CTextureInterface* GetTextureOnStage(WORD sampler) override;
  // 0 (logged) for a missing texture; otherwise 1, even when the device refused it.
  UINT SetTexture(CTextureInterface* texture, WORD sampler, UINT unused) override;
  UINT SetD3DTexture(IDirect3DBaseTexture9* texture, UINT sampler) override;
  UINT LoadAllTextures() override;
  CTextureInterface* GetTextureByID(UINT index) override;
  UINT GetNumberOfTextures() override { return m_dwCount; }

  // --- the engine's own operations ---
  UINT Initialize();
  CTexture* CreateTextureKeepFormat(const char* name, UINT normalMap, UINT keepFormat);
  CTexture* CreateTextureByNames(const char* first, const char* fourth, UINT normalMap);
  CTexture* CreateMaterialTexture(MaterialTexture1* material);
  CTexture* CreateMaterialTexture2(MaterialTexture2* material);
  CTexture* CreateTextureFromD3DTexture(const char* name, IDirect3DTexture9* texture, UINT width, UINT height,
                                        D3DFORMAT format, UINT levels);
  // System texture 0-8; null for another index or before it exists.
  CTexture* GetSystemTexture(UINT index);
  // Stores the value in table entry `index` (below the capacity) and does nothing else.
  void SetTextureEntry(UINT index, CTexture* texture);
  // Empties every sampler the device has. 1.
  UINT ClearTextureStages();
  // The device is going: every texture gives up its Direct3D objects and the stages are
  // forgotten without reaching the device.
  void ReleaseDeviceObjects();
  // Around a reset of the device: the dynamic textures give up their default-pool objects and
  // are made again, empty, afterwards.
  void OnDeviceLost();
  void OnDeviceReset();
  // A texture's last reference went: its entry becomes a hole.
  void ForgetTexture(CTexture* texture);

 private:
  // The cache entry of a sampler; -1 for a sampler without one.
  static int StageIndex(UINT sampler);
  // The lower-cased copy of `text` with "." kept, or false (logged) when it does not fit.
  bool LowerCaseCopy(const char* text, char (&out)[CTexture::kNameLength]);
  // The name rule: lower-cased, every "." -> "_"; false (logged) when it does not fit.
  bool NameCopy(const char* text, char (&out)[CTexture::kNameLength]);
  CTexture* FindByName(const char* name) const;
  // The two-file and alpha-only search: `first` null looks for alpha-only textures.
  CTexture* FindByFileNames(const char* first, const char* fourth) const;
  CTexture* Shared(CTexture* texture);
  // The common creation tail: a free entry, the object made by `make`, one reference.
  template <class Make>
  CTexture* CreationTail(const char* name, Make make);
  template <class Record>
  CTexture* CreateMaterial(Record* material, CTexture::Kind kind);
  bool MaterialKey(const char* kindTag, const char* const files[4], const BYTE values[4],
                   char (&key)[CTexture::kNameLength]);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CTexture* m_pTextures[kCapacity] = {};
  CTexture* m_pSystemTextures[kSystemTextures] = {};
  CTextureInterface* m_pStageTextures[kStageEntries] = {};
  IDirect3DBaseTexture9* m_pStageD3DTextures[kStageEntries] = {};
  UINT m_dwCount = 0;
};
