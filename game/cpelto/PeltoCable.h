#pragma once
// The cable's state for the whole program (one link at a time): three curves x(t), y(t), z(t)
// keyed through the tail points, the tube and faces of the last build, and the frame counter of
// the link that paces the builds.
#include <vector>

#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "cpelto/CableTube.h"

class CChannelEnvelopeInterface;

class CPeltoCable {
 public:
  static constexpr float kAngleStep = 45.0f;
  static constexpr float kParameterStep = 0.25f;
  static constexpr float kThickness = 0.045f;

  static CPeltoCable& Get();

  // Keys the curves one per tail point but the last, then a small arc up from the last keyed
  // point and the end point, and builds the tube and its faces. False when nothing was built
  // (no curves, fewer than two points, or a tube too long for 16-bit indices): the last cable
  // stays.
  bool Build(const std::vector<CVector3>& vecTailPoints, const CVector3& end);

  // The counter before it counts this frame.
  DWORD CountFrame() { return m_dwLinkFrames++; }

  std::vector<Vertex>& GetVertices() { return m_Tube.GetVertices(); }
  std::vector<WORD>& GetIndices() { return m_Tube.GetIndices(); }
  std::vector<Face>& GetFaces() { return m_vFaces; }
  CChannelEnvelopeInterface* GetCurve(int nAxis) const { return m_apCurves[nAxis]; }

 private:
  bool CreateCurves();
  void AddKey(int nAxis, float fTime, float fValue, bool bArc);

  CChannelEnvelopeInterface* m_apCurves[3] = {};
  CCableTube m_Tube;
  std::vector<Face> m_vFaces;
  DWORD m_dwLinkFrames = 0;
};
