#pragma once
// One key of a keyed channel. The channel that holds the key links it to its neighbours and
// owns it; a key in no channel is owned by whoever created it.
#include "ZKDXInterface.h"

class CChannelEnvelope;

class CKey final : public CKeyInterface {
 public:
  CKey() = default;
  CKey(float value, float time, UINT shape, float tension, float continuity, float bias,
       float param0, float param1, float param2, float param3);
  // A key still in a channel leaves it first, so the channel never holds a freed key.
  ~CKey() override;
  CKey(const CKey&) = delete;
  CKey& operator=(const CKey&) = delete;

  float GetKeyValue() override { return m_fValue; }
  float GetKeyTime() override { return m_fTime; }
  CKeyInterface* GetNextKey() override { return m_pNext; }
  CKeyInterface* GetPrevKey() override { return m_pPrev; }
  void AddValue(float value) override { m_fValue += value; }
  void SetKeyValue(float value) override { m_fValue = value; }
  // A key in a channel moves to where its new time belongs, so the channel stays in strictly
  // increasing time order; a time another key of the channel already has is refused (the key
  // keeps its old time).
  void SetKeyTime(float time) override;
  UINT GetShape() override { return m_dwShape; }
  void SetShape(UINT shape) override { m_dwShape = shape; }
  float GetParamValue(UINT index) override;
  void SetParamValue(float value, UINT index) override;

  // Overwrites every field but the time and the links.
  void SetFields(float value, UINT shape, float tension, float continuity, float bias,
                 float param0, float param1, float param2, float param3);
  // Parameters 0 to 3 without the index translation of GetParamValue.
  float Param(int index) const { return m_fParams[index]; }
  float Tension() const { return m_fTension; }
  float Continuity() const { return m_fContinuity; }
  float Bias() const { return m_fBias; }
  float Time() const { return m_fTime; }
  float Value() const { return m_fValue; }
  UINT Shape() const { return m_dwShape; }
  CKey* Next() const { return m_pNext; }
  CKey* Prev() const { return m_pPrev; }

 private:
  friend class CChannelEnvelope;
  float* ParamSlot(UINT index);

  CKey* m_pPrev = nullptr;
  CKey* m_pNext = nullptr;
  float m_fValue = 0.0f;
  float m_fTime = 0.0f;
  UINT m_dwShape = KEY_SHAPE_TCB;
  float m_fTension = 0.0f;
  float m_fContinuity = 0.0f;
  float m_fBias = 0.0f;
  float m_fParams[4] = {};
  CChannelEnvelope* m_pOwner = nullptr;  // the channel whose list holds this key, or null
};
