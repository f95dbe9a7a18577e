#pragma once
// The options a null carries along: a value of option type 1, a sound stream (type 2) that
// plays at the null's position and a sprite (type 8) that follows it.
#include "ZKDXInterface.h"

class CEngineLog;
class CNull;

enum : UINT { NULL_OPTION_STREAM = 2 };

class CNullOptions final : public CNullOptionsInterface {
 public:
  CNullOptions(CNull* owner, CEngineLog* log) : m_pOwner(owner), m_pLog(log) {}
  ~CNullOptions() = default;

  // The value is read as the option type says: a number (1), a stream (2) or a sprite (8).
  // Every call replaces the option flags; an unknown type changes nothing.
  void SetOption(UINT type, TonarisStream* value, UINT flags) override;
  // The bits of the option types that hold a value.
  UINT GetOptionsTypes() override { return m_dwOptionTypes; }
  UINT GetType1Option() override { return m_dwOption1; }
  TonarisStream* GetTonarisStreamOption() override { return m_pStream; }
  UINT GetOptionFlags() override { return m_dwOptionFlags; }
  void SetOptionFlags(UINT flags) override { m_dwOptionFlags = flags; }
  CSpriteInterface* GetType8Option() override { return m_pSprite; }

  // The engine's typed way to give a null its sprite.
  void SetSpriteOption(CSpriteInterface* sprite, UINT flags);
  // Starts the stream when bit 0 of the flags asks for it.
  void Start();
  // Moves the stream and the sprite to the owner's world position.
  void Update();

 private:
  void MarkType(UINT type, bool set);

  CNull* m_pOwner;
  UINT m_dwOptionTypes = 0;
  CEngineLog* m_pLog;
  UINT m_dwOption1 = 0;
  TonarisStream* m_pStream = nullptr;
  CSpriteInterface* m_pSprite = nullptr;
  UINT m_dwOptionFlags = 0;
};
