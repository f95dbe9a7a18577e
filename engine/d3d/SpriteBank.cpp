#include "d3d/SpriteBank.h"

#include <cctype>
#include <cstring>

#include "core/CopyName.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"

namespace {

const char kSource[] = "D3DSprites";
const char kCreationTitle[] = "Error While Creating Sprite";

// Sprites are named without regard to case: names are kept lower-cased.
void LowerCaseName(char (&field)[CSprite::kNameLength], const char* name) {
  CopyName(field, name);
  for (char& c : field) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

}  // namespace

CSpriteBank::CSpriteBank(CEngineRenderer* renderer, CEngineLog* log, CTextureStorageInterface* textures,
                         CIndexBufferBankInterface* indexBuffers)
    : m_pRenderer(renderer), m_pLog(log), m_pTextureBank(textures), m_pIndexBuffers(indexBuffers) {}

CSpriteBank::~CSpriteBank() = default;

CSpriteInterface* CSpriteBank::CreateSprite(const char* name, UINT quadCount, D3DVERTEXELEMENT9* elements,
                                            SurfaceTexture** surfaceTextures, UINT textureCount,
                                            CMaterialInterface* material, UINT orientationFlags, UINT reuse,
                                            UINT) {
  char lowered[CSprite::kNameLength];
  LowerCaseName(lowered, name);
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_Sprites[i] && strcmp(m_Sprites[i]->GetSpriteName(), lowered) == 0 && m_Sprites[i]->GetIsDynamic() == reuse)
      return m_Sprites[i].get();

  UINT entry = 0;
  while (entry < m_dwCount && m_Sprites[entry]) ++entry;
  if (entry == kMaxSprites) {
    LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError, "%s: %s\n", kCreationTitle, lowered);
    return nullptr;
  }
  m_Sprites[entry].reset(NewNamedOrFatal<CSprite>(kCreationTitle, "Can't Allocate Memory: %s", lowered, m_pRenderer,
                                                  m_pLog, m_pTextureBank, m_pIndexBuffers, lowered, quadCount,
                                                  elements, orientationFlags, surfaceTextures, textureCount,
                                                  material));
  if (entry == m_dwCount) ++m_dwCount;
  return m_Sprites[entry].get();
}

CSpriteInterface* CSpriteBank::GetSpriteByName(const char* name, UINT) {
  char lowered[CSprite::kNameLength];
  LowerCaseName(lowered, name);
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_Sprites[i] && strcmp(m_Sprites[i]->GetSpriteName(), lowered) == 0) return m_Sprites[i].get();
  return nullptr;
}

UINT CSpriteBank::Draw() {
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_Sprites[i] && m_Sprites[i]->GetIsActive() == 1) m_Sprites[i]->Draw(-1.0f);
  return 0;
}
