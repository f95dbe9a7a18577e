#pragma once
// A tube of rings around a curve given as three channels x(t), y(t), z(t): the ring frame follows
// the curve by the shortest turn from one ring's direction to the next, so the tube does not
// twist.
#include <vector>

#include "ZKDXRecords.h"

class CChannelEnvelopeInterface;

class CCableTube {
 public:
  // Indices are 16-bit: a tube needing more vertices than they address (0 to 65535) is refused.
  static constexpr size_t kMaxVertices = 65536;

  // Rings every `fParameterStep` of t up to the last key's time, `360 / fAngleStep` vertices
  // each, `fThickness` across. False, leaving the last tube as it was, unless there are exactly
  // three curves and the tube fits 16-bit indices.
  bool Build(CChannelEnvelopeInterface* const* ppCurves, size_t nCurves, float fAngleStep,
             float fParameterStep, float fThickness);

  // The engine's mesh and surface calls take their arrays writable.
  std::vector<Vertex>& GetVertices() { return m_vVertices; }
  std::vector<WORD>& GetIndices() { return m_vIndices; }

 private:
  std::vector<Vertex> m_vVertices;
  std::vector<WORD> m_vIndices;
};
