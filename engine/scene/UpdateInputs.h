#pragma once
// What can move a world object between frames, as its owner reports it to its update guard.
#include "windef.h"

class CEnvelopeInterface;
class CMotion;
class CWorldObject;

struct CUpdateInputs {
  // The most envelopes one kind watches (a light's eight).
  static constexpr UINT kMaxEnvelopes = 8;

  CWorldObject* pParent = nullptr;
  CWorldObject* pTarget = nullptr;
  CMotion* pMotion = nullptr;
  // Each one that is keyed counts as a change.
  CEnvelopeInterface* pEnvelopes[kMaxEnvelopes] = {};
  UINT dwNumberOfEnvelopes = 0;
  // A change at every frame whatever else holds (a mesh with bones or a morph target).
  UINT dwAlwaysChanged = 0;

  void AddEnvelope(CEnvelopeInterface* envelope) {
    if (envelope != nullptr && dwNumberOfEnvelopes < kMaxEnvelopes)
      pEnvelopes[dwNumberOfEnvelopes++] = envelope;
  }
};
