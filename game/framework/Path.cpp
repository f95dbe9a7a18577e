#include "framework/Path.h"

#include <d3dx9math.h>

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"

namespace {
constexpr UINT kLinearKey = 3;

float Distance(const CVector3& a, const CVector3& b) { return (b - a).Length(); }
}  // namespace

geCPath::geCPath(DWORD dwPostBehaviour, DWORD dwPreBehaviour) {
  if (!g_pZeKorb) return;
  for (CChannelEnvelopeInterface*& pEnvelope : m_pEnvelopes)
    pEnvelope = g_pZeKorb->CreateChannelEnvelope();
  m_pTimer = g_pZeKorb->CreateTimer();
  for (CChannelEnvelopeInterface* pEnvelope : m_pEnvelopes) {
    if (!pEnvelope) continue;
    pEnvelope->SetPostBehaviour(dwPostBehaviour);
    pEnvelope->SetPreBehaviour(dwPreBehaviour);
  }
}

geCPath::~geCPath() {
  // Channels and timers the engine makes for the game are the game's to free.
  for (CChannelEnvelopeInterface*& pEnvelope : m_pEnvelopes) {
    delete pEnvelope;
    pEnvelope = nullptr;
  }
  delete m_pTimer;
  m_pTimer = nullptr;
}

size_t geCPath::GetClassSize() const { return sizeof(geCPath); }

void geCPath::RemoveAllKeys() {
  for (CChannelEnvelopeInterface* pEnvelope : m_pEnvelopes) {
    if (!pEnvelope) continue;
    // The next key is taken before its predecessor is freed.
    for (CKeyInterface* pKey = pEnvelope->GetKey(0u); pKey;) {
      CKeyInterface* pNext = pKey->GetNextKey();
      pEnvelope->RemoveKey(pKey);
      pKey = pNext;
    }
  }
}

std::vector<float> geCPath::KeyGaps(DWORD dwMode) const {
  const size_t count = m_vPoints.size();
  std::vector<float> gaps(count, 0.0f);
  float fTotal = 0.0f;
  for (size_t i = 0; i + 1 < count; ++i) fTotal += Distance(m_vPoints[i], m_vPoints[i + 1]);
  // Points that all coincide have no length to share out: they get even gaps.
  if (dwMode == kModeUniform || !(fTotal > 0.0f)) {
    for (float& fGap : gaps) fGap = m_fDuration / static_cast<float>(count);
    return gaps;
  }
  for (size_t i = 0; i + 1 < count; ++i)
    gaps[i] = Distance(m_vPoints[i], m_vPoints[i + 1]) * (1.0f / fTotal) * m_fDuration;
  return gaps;
}

void geCPath::Build(std::vector<CVector3> points, DWORD dwMode) {
  if (!m_vPoints.empty()) {
    m_vPoints.clear();
    RemoveAllKeys();
  }
  m_vPoints = std::move(points);
  const std::vector<float> gaps = KeyGaps(dwMode);
  float fTime = 0.0f;
  for (size_t i = 0; i < m_vPoints.size(); ++i) {
    const float afValues[3] = {m_vPoints[i].x, m_vPoints[i].y, -m_vPoints[i].z};
    for (int nAxis = 0; nAxis < 3; ++nAxis)
      if (m_pEnvelopes[nAxis])
        m_pEnvelopes[nAxis]->AddKeyData(afValues[nAxis], fTime, kLinearKey, 0, 0, 0, 0, 0, 0, 0);
    fTime += gaps[i];
  }
}

CVector3 geCPath::GetPointAt(float fTime) {
  if (fTime < 0.0f) fTime = 0.0f;
  float afValues[3] = {};
  for (int nAxis = 0; nAxis < 3; ++nAxis) {
    if (!m_pEnvelopes[nAxis]) continue;
    m_pEnvelopes[nAxis]->EvalEnvelope(fTime);
    afValues[nAxis] = m_pEnvelopes[nAxis]->GetValue();
  }
  return CVector3(afValues[0], afValues[1], afValues[2]);
}

CVector3 geCPath::GetDirectionAt(float fTime, float fStep) {
  const CVector3 difference =
      GetPointAt(fTime + fStep * m_fDuration) - GetPointAt(fTime - fStep * m_fDuration);
  D3DXVECTOR3 direction(difference.x, difference.y, difference.z);
  D3DXVec3Normalize(&direction, &direction);
  return CVector3(direction.x, direction.y, direction.z);
}
