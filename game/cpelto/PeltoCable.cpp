#include "cpelto/PeltoCable.h"

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Logger.h"

namespace {
constexpr UINT kLinearContinuation = 5;
constexpr float kArcRise = 0.22f;
constexpr float kArcParameter = 2.0f;
constexpr float kArcFractions[3] = {0.33333334f, 2 * 0.33333334f, 0.9f};
}  // namespace

CPeltoCable& CPeltoCable::Get() {
  static CPeltoCable cable;
  return cable;
}

bool CPeltoCable::CreateCurves() {
  if (m_apCurves[0]) return true;
  if (!g_pZeKorb) return false;
  CChannelEnvelopeInterface* apMade[3] = {};
  for (auto*& pCurve : apMade) {
    pCurve = g_pZeKorb->CreateChannelEnvelope();
    if (!pCurve) {
      g_GameLogger.Log("ERROR: the engine made no channel envelope for the cable\n");
      return false;
    }
  }
  for (auto* pCurve : apMade) pCurve->SetPostBehaviour(kLinearContinuation);
  for (auto* pCurve : apMade) pCurve->SetPreBehaviour(kLinearContinuation);
  for (int i = 0; i < 3; ++i) m_apCurves[i] = apMade[i];
  return true;
}

void CPeltoCable::AddKey(int nAxis, float fTime, float fValue, bool bArc) {
  CChannelEnvelopeInterface* pCurve = m_apCurves[nAxis];
  CKeyInterface* pKey = pCurve->CreateKey();
  if (!pKey) return;
  pKey->SetKeyTime(fTime);
  pKey->SetKeyValue(fValue);
  if (bArc) {
    pKey->SetShape(0);
    pKey->SetParamValue(kArcParameter, KEY_PARAM_0);
  }
  pCurve->AddKey(pKey);
}

bool CPeltoCable::Build(const std::vector<CVector3>& vecTailPoints, const CVector3& end) {
  if (vecTailPoints.size() < 2 || !CreateCurves()) return false;
  for (auto* pCurve : m_apCurves) pCurve->RemoveAllKeys();
  float fTime = 0.0f;
  auto keyPoint = [&](const CVector3& point, float fLift, bool bArc) {
    AddKey(0, fTime, point.x, false);
    AddKey(1, fTime, point.y + fLift, bArc);
    AddKey(2, fTime, point.z, false);
    fTime += 1.0f;
  };
  for (size_t i = 0; i + 1 < vecTailPoints.size(); ++i) keyPoint(vecTailPoints[i], 0.0f, false);
  const CVector3& last = vecTailPoints[vecTailPoints.size() - 2];
  const CVector3 toEnd = end - last;
  for (int j = 1; j <= 3; ++j)
    keyPoint(last + toEnd * kArcFractions[j - 1], static_cast<float>(j) * kArcRise, true);
  keyPoint(end, 0.0f, false);

  if (!m_Tube.Build(m_apCurves, 3, kAngleStep, kParameterStep, kThickness)) return false;
  const std::vector<WORD>& indices = m_Tube.GetIndices();
  m_vFaces.assign(indices.size() / 3, Face{});
  for (size_t k = 0; k < m_vFaces.size(); ++k) {
    Face& face = m_vFaces[k];
    face.wIndex1 = indices[3 * k];
    face.wIndex2 = indices[3 * k + 1];
    face.wIndex3 = indices[3 * k + 2];
    face.wFaceIndex = static_cast<WORD>(k);
  }
  return true;
}
