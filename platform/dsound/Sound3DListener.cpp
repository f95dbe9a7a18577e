#include "Sound3DListener.h"

#include <cmath>
#include <mutex>

#include "DirectSound8.h"
#include "Sound3DCommon.h"

namespace {

// Speed of sound in metres per second; DirectSound's distance factor is metres per unit.
constexpr float kSpeedOfSound = 343.3f;

DS3DLISTENER DefaultParameters() {
  DS3DLISTENER parameters{};
  parameters.dwSize = sizeof(DS3DLISTENER);
  parameters.vOrientFront = {0, 0, 1};
  parameters.vOrientTop = {0, 1, 0};
  parameters.flDistanceFactor = DS3D_DEFAULTDISTANCEFACTOR;
  parameters.flRolloffFactor = DS3D_DEFAULTROLLOFFFACTOR;
  parameters.flDopplerFactor = DS3D_DEFAULTDOPPLERFACTOR;
  return parameters;
}

bool ValidDistanceFactor(float f) { return std::isfinite(f) && f >= DS3D_MINDISTANCEFACTOR; }
bool ValidRolloff(float f) { return f >= DS3D_MINROLLOFFFACTOR && f <= DS3D_MAXROLLOFFFACTOR; }
bool ValidDoppler(float f) { return f >= DS3D_MINDOPPLERFACTOR && f <= DS3D_MAXDOPPLERFACTOR; }

}  // namespace

CSound3DListener::CSound3DListener(CDirectSound8* device)
    : m_device(device), m_set(DefaultParameters()), m_applied(m_set) {}

HRESULT CSound3DListener::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirectSound3DListener) {
    AddRef();
    *object = static_cast<IDirectSound3DListener*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}
ULONG CSound3DListener::AddRef() { return m_device->AddRef(); }
ULONG CSound3DListener::Release() { return m_device->Release(); }

HRESULT CSound3DListener::Change(DWORD apply, const std::function<void(DS3DLISTENER&)>& change) {
  if (!ValidApply(apply)) return DSERR_INVALIDPARAM;
  {
    std::lock_guard lock(m_device->Settings3DMutex());
    change(m_set);
    if (apply == DS3D_DEFERRED) return DS_OK;
    change(m_applied);
  }
  m_device->PublishListener();
  return DS_OK;
}

template <class T>
HRESULT CSound3DListener::Read(T* out, T DS3DLISTENER::*field) {
  if (!out) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_device->Settings3DMutex());
  *out = m_set.*field;
  return DS_OK;
}

HRESULT CSound3DListener::GetAllParameters(LPDS3DLISTENER parameters) {
  if (!parameters || parameters->dwSize != sizeof(DS3DLISTENER)) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_device->Settings3DMutex());
  *parameters = m_set;
  return DS_OK;
}

HRESULT CSound3DListener::GetDistanceFactor(D3DVALUE* f) { return Read(f, &DS3DLISTENER::flDistanceFactor); }
HRESULT CSound3DListener::GetDopplerFactor(D3DVALUE* f) { return Read(f, &DS3DLISTENER::flDopplerFactor); }
HRESULT CSound3DListener::GetRolloffFactor(D3DVALUE* f) { return Read(f, &DS3DLISTENER::flRolloffFactor); }
HRESULT CSound3DListener::GetPosition(D3DVECTOR* v) { return Read(v, &DS3DLISTENER::vPosition); }
HRESULT CSound3DListener::GetVelocity(D3DVECTOR* v) { return Read(v, &DS3DLISTENER::vVelocity); }

HRESULT CSound3DListener::GetOrientation(D3DVECTOR* front, D3DVECTOR* top) {
  if (!front || !top) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_device->Settings3DMutex());
  *front = m_set.vOrientFront;
  *top = m_set.vOrientTop;
  return DS_OK;
}

HRESULT CSound3DListener::SetAllParameters(LPCDS3DLISTENER p, DWORD apply) {
  if (!p || p->dwSize != sizeof(DS3DLISTENER) || !ValidDistanceFactor(p->flDistanceFactor) ||
      !ValidRolloff(p->flRolloffFactor) || !ValidDoppler(p->flDopplerFactor))
    return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DLISTENER& s) { s = *p; });
}

HRESULT CSound3DListener::SetDistanceFactor(D3DVALUE factor, DWORD apply) {
  if (!ValidDistanceFactor(factor)) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DLISTENER& s) { s.flDistanceFactor = factor; });
}

HRESULT CSound3DListener::SetDopplerFactor(D3DVALUE factor, DWORD apply) {
  if (!ValidDoppler(factor)) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DLISTENER& s) { s.flDopplerFactor = factor; });
}

HRESULT CSound3DListener::SetRolloffFactor(D3DVALUE factor, DWORD apply) {
  if (!ValidRolloff(factor)) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DLISTENER& s) { s.flRolloffFactor = factor; });
}

HRESULT CSound3DListener::SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ,
                                         D3DVALUE topX, D3DVALUE topY, D3DVALUE topZ, DWORD apply) {
  return Change(apply, [&](DS3DLISTENER& s) {
    s.vOrientFront = {frontX, frontY, frontZ};
    s.vOrientTop = {topX, topY, topZ};
  });
}

HRESULT CSound3DListener::SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) {
  return Change(apply, [&](DS3DLISTENER& s) { s.vPosition = {x, y, z}; });
}

HRESULT CSound3DListener::SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) {
  return Change(apply, [&](DS3DLISTENER& s) { s.vVelocity = {x, y, z}; });
}

HRESULT CSound3DListener::CommitDeferredSettings() {
  m_device->CommitDeferredSettings();
  return DS_OK;
}

SoundListenerState CSound3DListener::AppliedStateLocked() const {
  SoundListenerState state;
  DirectSoundToOpenAL(m_applied.vPosition, state.position);
  DirectSoundToOpenAL(m_applied.vVelocity, state.velocity);
  DirectSoundToOpenAL(m_applied.vOrientFront, state.front);
  DirectSoundToOpenAL(m_applied.vOrientTop, state.top);
  state.dopplerFactor = m_applied.flDopplerFactor;
  state.speedOfSound = kSpeedOfSound / m_applied.flDistanceFactor;
  return state;
}
