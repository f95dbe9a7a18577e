#include "scene/NullOptions.h"

#include <cstdint>

#include "scene/Null.h"
#include "core/EngineLog.h"

void CNullOptions::MarkType(UINT type, bool set) {
  if (set)
    m_dwOptionTypes |= type;
  else
    m_dwOptionTypes &= ~type;
}

void CNullOptions::SetOption(UINT type, TonarisStream* value, UINT flags) {
  switch (type) {
    case NULL_OPTION_VALUE:
      // Scripts hand a number through the pointer argument.
      m_dwOption1 = static_cast<UINT>(reinterpret_cast<uintptr_t>(value));
      MarkType(type, m_dwOption1 != 0);
      break;
    case NULL_OPTION_STREAM:
      m_pStream = value;
      MarkType(type, value != nullptr);
      break;
    case NULL_OPTION_SPRITE:
      SetSpriteOption(reinterpret_cast<CSpriteInterface*>(value), flags);
      return;
    default:
      if (m_pLog != nullptr)
        m_pLog->Log("ZK3DNullOptions", __LINE__, CEngineLog::kLevelError,
                    "WARNING!!! - Can't Set NullOption, Unknown Option Type\n");
      return;
  }
  m_dwOptionFlags = flags;
}

void CNullOptions::SetSpriteOption(CSpriteInterface* sprite, UINT flags) {
  m_pSprite = sprite;
  MarkType(NULL_OPTION_SPRITE, sprite != nullptr);
  m_dwOptionFlags = flags;
}

void CNullOptions::Start() {
  if (m_pStream != nullptr && (m_dwOptionFlags & 1) != 0) m_pStream->Play();
}

void CNullOptions::Update() {
  if (m_pStream == nullptr && m_pSprite == nullptr) return;
  CVector3 position;
  m_pOwner->GetPosition(&position, 0);
  if (m_pStream != nullptr) m_pStream->SetPosition(position.x, position.y, position.z);
  if (m_pSprite != nullptr) m_pSprite->SetPosition(position);
}
