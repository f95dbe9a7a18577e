#include "spatial/LightBoundVolume.h"

#include <cmath>

#include "core/EngineLog.h"
#include "spatial/BoundBox.h"
#include "spatial/BoundVolumeDrawing.h"

namespace {

const char kSource[] = ".\\Sources\\ZKLightBoundVolume";
constexpr WORD kDistantLight = 0;
constexpr WORD kPointLight = 1;
constexpr WORD kSpotLight = 2;
constexpr float kDegreesToRadians = 0.017453292f;

// The envelope's value, evaluated at frame 0 first when it is animated and asked to be.
float EnvelopeValue(CEnvelopeInterface* envelope, bool evaluateAtStart) {
  if (envelope == nullptr) return 0.0f;
  if (evaluateAtStart && envelope->GetIsEnvelope() != 0) envelope->CalcStep(0.0f);
  return envelope->GetValue();
}

}  // namespace

CLightBoundVolume::CLightBoundVolume(CLightInterface* owner, CEngineLog* log)
    : m_pOwner(owner), m_pLog(log) {}

void CLightBoundVolume::Calculate() { Build(true); }

void CLightBoundVolume::Recalculate() { Build(false); }

void CLightBoundVolume::Build(bool evaluateAtStart) {
  if (m_pOwner == nullptr) return;
  const WORD type = m_pOwner->GetType();
  if (type == kDistantLight) {
    if (m_pLog != nullptr)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "ERROR! - Can't Calculate BBox For Distant Light\n");
    return;
  }
  if (type != kPointLight && type != kSpotLight) {
    if (m_pLog != nullptr)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "ERROR! - Can't Calculate BBox For Another Light Than Spot Or Point\n");
    return;
  }

  const float range = EnvelopeValue(m_pOwner->GetRangeEnvelope(0), evaluateAtStart);
  m_vecExtents = CVector3(range, range, range);
  m_vecPosition = CVector3();
  if (type == kSpotLight) {
    const float angle =
        EnvelopeValue(m_pOwner->GetConeAngleEnvelope(0), evaluateAtStart) * kDegreesToRadians;
    const float width = range * std::tan(angle);
    // From 90 degrees on the cone's width has no bound (or turns negative): the light then
    // reaches anywhere within its range, so it keeps the point light's box.
    if (std::isfinite(width) && width >= 0.0f && angle < 90.0f * kDegreesToRadians) {
      m_vecExtents = CVector3(width, width, range * 0.5f);
      m_vecPosition = CVector3(0.0f, 0.0f, range * 0.5f);
    }
  }
  m_vecMax = m_vecPosition + m_vecExtents;
  m_vecMin = m_vecPosition - m_vecExtents;
  CBoundBox::FillCorners(m_vecPoints, m_vecMin, m_vecMax);
}

void CLightBoundVolume::Transform(CMatrix* matrix) {
  if (matrix == nullptr) return;
  CBoundBox::TransformCorners(m_vecTransformedPoints, m_vecPoints, *matrix);
  m_vecTransformedPosition = m_vecPosition * *matrix;
}

void CLightBoundVolume::ComputeClipCodes(BYTE* out) {
  if (out == nullptr) return;
  for (int k = 0; k < CBoundBox::kCorners; ++k)
    out[k] = CBoundBox::ClipCode(m_vecTransformedPoints[k]);
}

BYTE CLightBoundVolume::CheckVisibility(CMatrix& matrix) {
  Transform(&matrix);
  return CBoundBox::AllOutsideOnePlane(m_vecTransformedPoints) ? 0 : 1;
}

void CLightBoundVolume::GetMinTransformed(CVector3* out) {
  if (out != nullptr) *out = CBoundBox::MinimumOf(m_vecTransformedPoints);
}
void CLightBoundVolume::GetMaxTransformed(CVector3* out) {
  if (out != nullptr) *out = CBoundBox::MaximumOf(m_vecTransformedPoints);
}
CVector3* CLightBoundVolume::GetMin(CVector3* out) {
  if (out != nullptr) *out = m_vecMin;
  return out;
}
CVector3* CLightBoundVolume::GetMax(CVector3* out) {
  if (out != nullptr) *out = m_vecMax;
  return out;
}
CVector3* CLightBoundVolume::GetPosition(CVector3* out) {
  if (out != nullptr) *out = m_vecPosition;
  return out;
}
CVector3* CLightBoundVolume::GetTransformedPosition(CVector3* out) {
  if (out != nullptr) *out = m_vecTransformedPosition;
  return out;
}
CVector3* CLightBoundVolume::GetExtents(CVector3* out) {
  if (out != nullptr) *out = m_vecExtents;
  return out;
}

UINT CLightBoundVolume::Overlaps(CVector3 otherCentre, const CVector3& otherExtents,
                                 const CMatrix& otherMatrix) {
  if (m_pOwner == nullptr) return 0;
  const CMatrix* own = m_pOwner->GetMatrix(m_pOwner->GetFrame());
  if (own == nullptr) return 0;
  // Only the other centre moves into this space; its extents are taken as they are.
  otherCentre = otherCentre * (otherMatrix * MatrixInverse(*own));
  return CBoundBox::Overlaps(m_vecPosition, m_vecExtents, otherCentre, otherExtents) ? 1 : 0;
}

UINT CLightBoundVolume::CheckAACollision(CLightBoundVolumeInterface* other,
                                         CMatrix& otherMatrix) {
  if (other == nullptr) return 0;
  CVector3 centre, extents;
  other->GetPosition(&centre);
  other->GetExtents(&extents);
  return Overlaps(centre, extents, otherMatrix);
}

UINT CLightBoundVolume::CheckAACollision(CMeshBoundVolumeInterface* other, CMatrix& otherMatrix) {
  if (other == nullptr) return 0;
  CVector3 centre, extents;
  other->GetPosition(&centre);
  other->GetExtents(&extents);
  return Overlaps(centre, extents, otherMatrix);
}

void CLightBoundVolume::Draw(CD3D9RendererInterface* renderer, CMatrix* matrix) {
  if (matrix == nullptr) return;
  CBoundVolumeDrawing::DrawBox(renderer, *matrix, m_vecPoints);
}
