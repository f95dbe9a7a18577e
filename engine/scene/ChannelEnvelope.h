#pragma once
// One animated float: a doubly linked list of keys in strictly increasing time order, what the
// channel does before the first key and after the last, and the value of the last evaluation.
// The interpolation is the LightWave envelope model: six key shapes, six behaviours.
#include "ZKDXInterface.h"

class CKey;

enum : UINT {
  BEHAVIOUR_RESET = 0,
  BEHAVIOUR_CONSTANT = 1,
  BEHAVIOUR_REPEAT = 2,
  BEHAVIOUR_OSCILLATE = 3,
  BEHAVIOUR_OFFSET = 4,
  BEHAVIOUR_LINEAR = 5,
};

class CChannelEnvelope final : public CChannelEnvelopeInterface {
 public:
  CChannelEnvelope() = default;
  ~CChannelEnvelope() override;
  // Channels are copied only through CopyTo, which gives the copy keys of its own.
  CChannelEnvelope(const CChannelEnvelope&) = delete;
  CChannelEnvelope& operator=(const CChannelEnvelope&) = delete;

  void EvalEnvelope(float time) override;
  float GetValue() override { return m_fValue; }
  UINT GetNumberOfKeys() override { return m_dwNumberOfKeys; }
  UINT RemoveKey(CKeyInterface* key) override;
  UINT RemoveKeyAtTime(float time) override;
  CKeyInterface* GetKey(float time) override;
  // Null out-arguments are skipped.
  UINT GetKeyData(float time, float* value, UINT* shape, float* tension, float* continuity,
                  float* bias, float* param0, float* param1, float* param2,
                  float* param3) override;
  UINT SetKeyData(float value, float time, UINT shape, float tension, float continuity,
                  float bias, float param0, float param1, float param2, float param3) override;
  // Takes keys made by CreateKey (or any CKey) that are in no channel. A refused key (0) stays
  // the caller's. A key is refused when its time is already used or is not after the first
  // key's time.
  UINT AddKey(CKeyInterface* key) override;
  UINT AddKeyData(float value, float time, UINT shape, float tension, float continuity,
                  float bias, float param0, float param1, float param2, float param3) override;
  CKeyInterface* GetKey(UINT index) override;
  UINT RemoveAllKeys() override;
  UINT GetPreBehaviour() override { return m_dwPreBehaviour; }
  UINT GetPostBehaviour() override { return m_dwPostBehaviour; }
  void SetPreBehaviour(UINT behaviour) override { m_dwPreBehaviour = behaviour; }
  void SetPostBehaviour(UINT behaviour) override { m_dwPostBehaviour = behaviour; }
  CKeyInterface* CreateKey() override;

  // Replaces the target's keys with copies of this channel's keys and copies the stored value
  // and both behaviours. 0, with the target unchanged, when memory runs out.
  UINT CopyTo(CChannelEnvelope& target) const;

  CKey* FirstKey() const { return m_pFirstKey; }

 private:
  friend class CKey;
  // Takes the key out of the list without freeing it.
  void Unlink(CKey* key);
  // Re-inserts a key of this channel at its new time; refuses a time already in use.
  void MoveKey(CKey* key, float time);
  // The insertion walk of AddKey: the key goes between the keys whose times enclose its own.
  bool InsertByTime(CKey* key);
  void LinkAfter(CKey* key, CKey* previous);
  void FreeKeys();
  CKey* FindKey(float time) const;

  CKey* m_pFirstKey = nullptr;
  CKey* m_pLastKey = nullptr;
  float m_fValue = 0.0f;
  UINT m_dwNumberOfKeys = 0;
  UINT m_dwPreBehaviour = BEHAVIOUR_CONSTANT;
  UINT m_dwPostBehaviour = BEHAVIOUR_CONSTANT;
};
