#include "cpelto/CableTube.h"

#include <d3dx9math.h>

#include <algorithm>
#include <cmath>

#include "ZKDXInterface.h"
#include "cpelto/GameMaths.h"
#include "framework/Logger.h"

namespace {
constexpr float kRadiansPerDegree = 0.017453292f;

D3DXVECTOR3 CurvePoint(CChannelEnvelopeInterface* const* ppCurves, float t) {
  float afValues[3];
  for (int i = 0; i < 3; ++i) {
    ppCurves[i]->EvalEnvelope(t);
    afValues[i] = ppCurves[i]->GetValue();
  }
  return D3DXVECTOR3(afValues[0], afValues[1], afValues[2]);
}

float LastKeyTime(CChannelEnvelopeInterface* pCurve) {
  const UINT uKeys = pCurve->GetNumberOfKeys();
  CKeyInterface* pKey = uKeys ? pCurve->GetKey(uKeys - 1) : nullptr;
  return pKey ? pKey->GetKeyTime() : 0.0f;
}

// The shortest turn from unit direction p to unit direction d.
D3DXQUATERNION ShortestArc(const D3DXVECTOR3& p, const D3DXVECTOR3& d) {
  D3DXQUATERNION turn(0.0f, 0.0f, 0.0f, 1.0f);
  const float fK = std::sqrt(2.0f * (1.0f + D3DXVec3Dot(&p, &d)));
  // Opposite directions have no single shortest turn; the ring keeps its frame.
  if (!(fK > 1e-6f)) return turn;
  const D3DXVECTOR3 axis = CrossProduct(p, d);
  turn = D3DXQUATERNION(axis.x / fK, axis.y / fK, axis.z / fK, fK / 2.0f);
  D3DXQuaternionNormalize(&turn, &turn);
  return turn;
}
}  // namespace

bool CCableTube::Build(CChannelEnvelopeInterface* const* ppCurves, size_t nCurves,
                       float fAngleStep, float fParameterStep, float fThickness) {
  if (nCurves != 3 || !ppCurves || !ppCurves[0] || !ppCurves[1] || !ppCurves[2] ||
      !(fAngleStep > 0.0f) || !(fParameterStep > 0.0f))
    return false;
  const float fEnd = std::max({LastKeyTime(ppCurves[0]), LastKeyTime(ppCurves[1]),
                               LastKeyTime(ppCurves[2])});
  const int nRings = std::max(0, static_cast<int>(fEnd / fParameterStep));
  const int nSides = static_cast<int>(360.0f / fAngleStep);
  const size_t uVertices = static_cast<size_t>(nRings + 1) * static_cast<size_t>(nSides);
  if (uVertices > kMaxVertices) {
    g_GameLogger.Log("WARNING: cable of %d rings needs %u vertices, more than 16-bit indices "
                     "address; the last cable stays\n",
                     nRings, static_cast<unsigned>(uVertices));
    return false;
  }
  m_vVertices.assign(uVertices, Vertex{});
  m_vIndices.clear();
  m_vIndices.reserve(static_cast<size_t>(std::max(0, nRings - 1)) * nSides * 6);

  D3DXVECTOR3 previousDirection(0.0f, 0.0f, 1.0f);
  D3DXQUATERNION frame(0.0f, 0.0f, 0.0f, 1.0f);
  D3DXVECTOR3 previousCentre(0.0f, 0.0f, 0.0f);
  const D3DXVECTOR3 offset(0.0f, fThickness / 2.0f, 0.0f);
  int nRing = 0;
  for (float t = 0.0f; t < fEnd && nRing <= nRings; t += fParameterStep, ++nRing) {
    const D3DXVECTOR3 centre = CurvePoint(ppCurves, t);
    D3DXVECTOR3 direction = nRing == 0
                                ? CurvePoint(ppCurves, std::min(t + fParameterStep, fEnd)) - centre
                                : centre - previousCentre;
    D3DXVec3Normalize(&direction, &direction);
    frame = MultiplyQuaternions(frame, ShortestArc(previousDirection, direction));
    D3DXQuaternionNormalize(&frame, &frame);
    previousDirection = direction;
    previousCentre = centre;

    D3DXMATRIX rotation, translation, ring;
    D3DXMatrixRotationQuaternion(&rotation, &frame);
    D3DXMatrixTranslation(&translation, centre.x, centre.y, centre.z);
    D3DXMatrixMultiply(&ring, &rotation, &translation);
    for (int k = 0; k < nSides; ++k) {
      D3DXMATRIX around;
      D3DXMatrixRotationZ(&around, static_cast<float>(k) * fAngleStep * kRadiansPerDegree);
      D3DXVECTOR3 local, normal;
      D3DXVec3TransformNormal(&local, &offset, &around);
      const D3DXVECTOR3 position = TransformPoint(local, ring);
      D3DXVec3TransformNormal(&normal, &local, &ring);
      D3DXVec3Normalize(&normal, &normal);
      Vertex& vertex = m_vVertices[static_cast<size_t>(nRing) * nSides + k];
      vertex.vecPosition = CVector3(position.x, position.y, position.z);
      vertex.vecNormal = CVector3(normal.x, normal.y, normal.z);
    }
  }

  for (int r = 1; r < nRings; ++r) {
    const int nCurrent = r * nSides, nPrevious = (r - 1) * nSides;
    for (int k = 1; k <= nSides; ++k) {
      const int nNext = k < nSides ? k : 0;
      for (int nIndex : {nCurrent + k - 1, nCurrent + nNext, nPrevious + nNext,
                         nCurrent + k - 1, nPrevious + nNext, nPrevious + k - 1})
        m_vIndices.push_back(static_cast<WORD>(nIndex));
    }
  }
  return true;
}
