#include "scene/Motion.h"

#include "scene/EngineSampleScope.h"

void CMotion::Evaluate(float frame) {
  CEngineSampleScope sample(SAMPLE_LIGHTWAVE_INTERPOLATION);
  m_fLastFrame = frame;
  for (UINT i = 0; i < m_dwNumberOfChannels; ++i) m_Channels[i].EvalEnvelope(frame);
}

CChannelEnvelope* CMotion::GetChannel(UINT index) {
  return index < MOTION_CHANNELS ? &m_Channels[index] : nullptr;
}

void CMotion::SetNumberOfChannels(UINT count) {
  m_dwNumberOfChannels = count < MOTION_CHANNELS ? count : MOTION_CHANNELS;
}

UINT CMotion::CopyTo(CMotion& target) const {
  if (&target == this) return 1;
  UINT result = 1;
  for (UINT i = 0; i < m_dwNumberOfChannels; ++i)
    if (!m_Channels[i].CopyTo(target.m_Channels[i])) result = 0;
  target.m_dwNumberOfChannels = m_dwNumberOfChannels;
  target.m_fLastFrame = m_fLastFrame;
  return result;
}
