#include "scene/Envelope.h"

#include "core/FatalError.h"
#include "core/EngineSampleScope.h"

CEnvelope::CEnvelope(UINT isEnvelope, const CChannelEnvelope* source, float value)
    : m_dwIsEnvelope(isEnvelope), m_fValue(value) {
  if (source != nullptr) source->CopyTo(m_Channel);
}

void CEnvelope::CalcStep(float frame) {
  if (m_dwIsEnvelope != 1) return;
  CEngineSampleScope sample(SAMPLE_LIGHTWAVE_INTERPOLATION);
  m_Channel.EvalEnvelope(frame);
  m_fValue = m_Channel.GetValue();
}

UINT CEnvelope::SetIsEnvelope(UINT isEnvelope) {
  m_dwIsEnvelope = isEnvelope;
  return 1;
}

UINT CEnvelope::SetValue(float value) {
  if (m_dwIsEnvelope == 1) return 0;
  m_fValue = value;
  return 1;
}

UINT CEnvelope::CopyChannelTo(CEnvelope& target) const { return m_Channel.CopyTo(target.m_Channel); }

UINT CEnvelope::Clone(CEnvelope** out) const {
  *out = nullptr;
  auto* clone = NewOrFatal<CEnvelope>(kNoMemoryTitle, "Can't Allocate Memory For Envelope");
  CopyChannelTo(*clone);
  *out = clone;
  return 1;
}
