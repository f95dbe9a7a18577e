#include "scene/Key.h"

#include <cfloat>

#include "scene/ChannelEnvelope.h"

CKey::CKey(float value, float time, UINT shape, float tension, float continuity, float bias,
           float param0, float param1, float param2, float param3)
    : m_fTime(time) {
  SetFields(value, shape, tension, continuity, bias, param0, param1, param2, param3);
}

CKey::~CKey() {
  if (m_pOwner != nullptr) m_pOwner->Unlink(this);
}

void CKey::SetKeyTime(float time) {
  if (m_pOwner != nullptr)
    m_pOwner->MoveKey(this, time);
  else
    m_fTime = time;
}

float* CKey::ParamSlot(UINT index) {
  switch (index) {
    case KEY_PARAM_TENSION:
      return &m_fTension;
    case KEY_PARAM_CONTINUITY:
      return &m_fContinuity;
    case KEY_PARAM_BIAS:
      return &m_fBias;
    default:
      if (index >= KEY_PARAM_0 && index < KEY_PARAM_0 + 4) return &m_fParams[index - KEY_PARAM_0];
      return nullptr;
  }
}

float CKey::GetParamValue(UINT index) {
  const float* slot = ParamSlot(index);
  return slot != nullptr ? *slot : FLT_MAX;
}

void CKey::SetParamValue(float value, UINT index) {
  if (float* slot = ParamSlot(index)) *slot = value;
}

void CKey::SetFields(float value, UINT shape, float tension, float continuity, float bias,
                     float param0, float param1, float param2, float param3) {
  m_fValue = value;
  m_dwShape = shape;
  m_fTension = tension;
  m_fContinuity = continuity;
  m_fBias = bias;
  m_fParams[0] = param0;
  m_fParams[1] = param1;
  m_fParams[2] = param2;
  m_fParams[3] = param3;
}
