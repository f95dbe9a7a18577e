#pragma once
// A float property that is either a constant or follows its own keyed channel. The channel
// exists in every envelope, so switching between constant and keyed loses neither the keys
// nor the value.
#include "scene/ChannelEnvelope.h"
#include "ZKDXInterface.h"

class CEnvelope final : public CEnvelopeInterface {
 public:
  CEnvelope() = default;
  // The way every owner makes its envelopes: the flag, keys copied from the source channel
  // when one is given, and the constant.
  CEnvelope(UINT isEnvelope, const CChannelEnvelope* source, float value);
  CEnvelope(const CEnvelope&) = delete;
  CEnvelope& operator=(const CEnvelope&) = delete;

  UINT GetIsEnvelope() override { return m_dwIsEnvelope; }
  // Only a flag of exactly 1 evaluates; any other flag is a constant.
  void CalcStep(float frame) override;
  UINT SetIsEnvelope(UINT isEnvelope) override;
  float GetValue() override { return m_fValue; }
  UINT SetValue(float value) override;
  CChannelEnvelopeInterface* GetChannelEnvelope() override { return &m_Channel; }

  CChannelEnvelope& Channel() { return m_Channel; }
  // Copies the channel alone; the target keeps its flag and value.
  UINT CopyChannelTo(CEnvelope& target) const;
  // A new envelope (constant, value 0) with a copy of this channel; 0 and null when memory
  // runs out.
  UINT Clone(CEnvelope** out) const;

 private:
  UINT m_dwIsEnvelope = 0;
  float m_fValue = 0.0f;
  CChannelEnvelope m_Channel;
};
