#include "scene/UpdateGuard.h"

#include <algorithm>

#include "scene/Motion.h"
#include "scene/UpdateInputs.h"
#include "scene/WorldObject.h"

namespace {

UINT ParentOrTargetChanged(CWorldObject* object, float frame) {
  if (object == nullptr || object->GetGuard() == nullptr) return 0;
  return object->GetGuard()->Update(frame);
}

bool IsAnimated(CMotion* motion) {
  if (motion == nullptr) return false;
  for (UINT i = 0; i < motion->GetNumberOfChannels(); ++i)
    if (motion->GetChannel(i)->GetNumberOfKeys() > 1) return true;
  return false;
}

// The owner's own inputs, its parent and target aside.
bool OwnInputsChange(const CUpdateInputs& inputs) {
  if (inputs.dwAlwaysChanged != 0 || IsAnimated(inputs.pMotion)) return true;
  for (UINT i = 0; i < inputs.dwNumberOfEnvelopes; ++i)
    if (inputs.pEnvelopes[i]->GetIsEnvelope() != 0) return true;
  return false;
}

}  // namespace

CUpdateGuard::CUpdateGuard(CWorldObject* owner, UINT mode)
    : m_pOwner(mode >= GUARD_CAMERA && mode <= GUARD_FRAME_ONLY ? owner : nullptr),
      m_dwMode(mode >= GUARD_CAMERA && mode <= GUARD_FRAME_ONLY ? mode : 0) {}

UINT CUpdateGuard::Update(float frame) {
  if (frame == m_fLastFrame) return m_dwChanged;
  switch (m_dwMode) {
    case GUARD_CAMERA:
    case GUARD_LIGHT:
    case GUARD_MESH:
    case GUARD_NULL: {
      // The frame is stored first, so a loop of links back to this guard reads the cache.
      m_fLastFrame = frame;
      const UINT changed = InspectInputs(frame);
      if (m_dwMode == GUARD_MESH || m_dwMode == GUARD_NULL) m_dwInputsChanged = changed;
      m_dwChanged = changed;
      if (m_dwForce == 1) {
        m_dwChanged = 1;
        m_dwForce = 0;
      }
      return m_dwChanged;
    }
    case GUARD_FRAME_ONLY:
      m_dwChanged = 1;
      m_fLastFrame = frame;
      return 1;
    default:
      m_dwChanged = 1;
      return 1;
  }
}

UINT CUpdateGuard::InspectInputs(float frame) {
  if (m_pOwner == nullptr) return 0;
  CUpdateInputs inputs;
  m_pOwner->GetUpdateInputs(&inputs);
  // Every input is asked, even after one has answered: parents and targets must store the
  // frame in their own guards.
  UINT changed = ParentOrTargetChanged(inputs.pParent, frame);
  changed |= ParentOrTargetChanged(inputs.pTarget, frame);
  return OwnInputsChange(inputs) ? 1 : changed;
}

bool CUpdateGuard::CanEverChange() const {
  std::vector<const CUpdateGuard*> seen;
  return CanEverChange(seen);
}

bool CUpdateGuard::CanEverChange(std::vector<const CUpdateGuard*>& seen) const {
  // Frame-only and ownerless guards answer 1 at every frame.
  if (m_dwMode == GUARD_FRAME_ONLY || m_pOwner == nullptr) return true;
  if (std::find(seen.begin(), seen.end(), this) != seen.end()) return false;
  seen.push_back(this);
  CUpdateInputs inputs;
  m_pOwner->GetUpdateInputs(&inputs);
  if (OwnInputsChange(inputs)) return true;
  for (CWorldObject* linked : {inputs.pParent, inputs.pTarget})
    if (linked != nullptr && linked->GetGuard() != nullptr &&
        linked->GetGuard()->CanEverChange(seen))
      return true;
  return false;
}
