#pragma once
// The renderer's sprites: up to 128, found by their lower-cased name, shared by name when the
// caller asks for reuse. Made with the device; its sprites go with it.
#include <memory>

#include "ZeKorbD3DHeader.h"
#include "d3d/Sprite.h"

class CEngineLog;
class CEngineRenderer;
class CIndexBufferBankInterface;

class CSpriteBank final : public CSpriteStorageInterface {
 public:
  static constexpr UINT kMaxSprites = 128;

  // The sprites draw through the renderer's banks and the index bank's dynamic buffer.
  CSpriteBank(CEngineRenderer* renderer, CEngineLog* log, CTextureStorageInterface* textures,
              CIndexBufferBankInterface* indexBuffers);
  ~CSpriteBank();
  CSpriteBank(const CSpriteBank&) = delete;
  CSpriteBank& operator=(const CSpriteBank&) = delete;

  // The sprite of the same name whose dynamic flag equals `reuse`, or a new one; null (logged)
  // when the table is full. Running out of memory is fatal.
  CSpriteInterface* CreateSprite(const char* name, UINT quadCount, D3DVERTEXELEMENT9* elements,
                                 SurfaceTexture** surfaceTextures, UINT textureCount,
                                 CMaterialInterface* material, UINT orientationFlags, UINT reuse,
                                 UINT unused) override;
  CSpriteInterface* GetSpriteByName(const char* name, UINT unused) override;
  // Draws every active sprite at the current frame. 0.
  UINT Draw() override;

  UINT GetNumberOfSprites() const { return m_dwCount; }

 private:
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  std::unique_ptr<CSprite> m_Sprites[kMaxSprites];
  UINT m_dwCount = 0;
  CTextureStorageInterface* m_pTextureBank;
  CIndexBufferBankInterface* m_pIndexBuffers;
};
