#pragma once
// A keyed 3D path: points laid on three engine channels (x, y and z) so that a position and a
// heading can be read at any time along it, and a clock of its own that the path's user reads
// and resets (the path never reads it).
#include <windef.h>

#include <vector>

#include "ZKDXMath.h"
#include "framework/BaseObject.h"

class CChannelEnvelopeInterface;
class CTimerInterface;

class geCPath : public geCBaseObject {
 public:
  // Build modes: keys at even gaps, or gaps in proportion to the segments' lengths.
  static constexpr DWORD kModeUniform = 0;
  static constexpr DWORD kModeByLength = 1;

  // The behaviours are set on each channel, the post behaviour first.
  geCPath(DWORD dwPostBehaviour, DWORD dwPreBehaviour);
  ~geCPath() override;

  size_t GetClassSize() const override;

  // Replaces the points and every key with the new points, one linear key per point on each
  // channel. z is keyed negated, so GetPointAt answers the points with z negated.
  void Build(std::vector<CVector3> points, DWORD dwMode);
  // The channels evaluated at the time; times below 0 are read at 0, and past the last key the
  // channels' post behaviour decides.
  CVector3 GetPointAt(float fTime);
  // The unit vector from the point step × duration before the time to the one as far after it.
  CVector3 GetDirectionAt(float fTime, float fStep);

  const std::vector<CVector3>& GetPoints() const { return m_vPoints; }
  CChannelEnvelopeInterface* GetEnvelope(int nAxis) const { return m_pEnvelopes[nAxis]; }

  // The time the whole path spans; the user sets it before building.
  float m_fDuration = 1.0f;
  CTimerInterface* m_pTimer = nullptr;

 private:
  void RemoveAllKeys();
  // The time from key i to key i + 1, for each key.
  std::vector<float> KeyGaps(DWORD dwMode) const;

  CChannelEnvelopeInterface* m_pEnvelopes[3] = {};
  std::vector<CVector3> m_vPoints;
};
