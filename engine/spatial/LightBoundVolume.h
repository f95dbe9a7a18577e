#pragma once
// The box, in a light's own space, around what a point or spot light reaches: a cube of the
// range's half size for a point light, and for a spot light a box that runs from the light
// along its +z axis to the range, as wide as the cone there. Distant lights have no box.
#include "ZKDXInterface.h"

class CEngineLog;

class CLightBoundVolume final : public CLightBoundVolumeInterface {
 public:
  // The log may be null.
  CLightBoundVolume(CLightInterface* owner, CEngineLog* log);
  ~CLightBoundVolume() = default;

  // --- CLightBoundVolumeInterface ---
  void ComputeClipCodes(BYTE* out) override;
  void Transform(CMatrix* matrix) override;
  BYTE CheckVisibility(CMatrix& matrix) override;
  void GetMinTransformed(CVector3* out) override;
  void GetMaxTransformed(CVector3* out) override;
  CVector3* GetMin(CVector3* out) override;
  CVector3* GetMax(CVector3* out) override;
  CVector4* GetPoints() override { return m_vecPoints; }
  CVector4* GetTransformedPoints() override { return m_vecTransformedPoints; }
  CVector3* GetPosition(CVector3* out) override;
  CVector3* GetTransformedPosition(CVector3* out) override;
  CVector3* GetExtents(CVector3* out) override;
  UINT CheckAACollision(CLightBoundVolumeInterface* other, CMatrix& otherMatrix) override;
  UINT CheckAACollision(CMeshBoundVolumeInterface* other, CMatrix& otherMatrix) override;

  // --- engine side ---
  // The box from the range and cone envelopes evaluated at frame 0 (after a load or clone).
  void Calculate();
  // The box from the envelopes' current values (each frame's matrix preparation).
  void Recalculate();
  void Draw(CD3D9RendererInterface* renderer, CMatrix* matrix);

 private:
  void Build(bool evaluateAtStart);
  // The other box's centre and extents, its centre brought into this light's space.
  UINT Overlaps(CVector3 otherCentre, const CVector3& otherExtents, const CMatrix& otherMatrix);

  CLightInterface* m_pOwner;
  CEngineLog* m_pLog;
  CVector4 m_vecTransformedPoints[8];
  CVector3 m_vecTransformedPosition;
  CVector4 m_vecPoints[8];
  CVector3 m_vecMin;
  CVector3 m_vecMax;
  CVector3 m_vecPosition;
  CVector3 m_vecExtents;
};
