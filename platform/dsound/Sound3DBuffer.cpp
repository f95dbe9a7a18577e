#include "Sound3DBuffer.h"

#include <cmath>
#include <mutex>

#include "DirectSound8.h"
#include "Sound3DCommon.h"
#include "SoundGain.h"
#include "SoundVoice.h"

namespace {

DS3DBUFFER DefaultParameters() {
  DS3DBUFFER parameters{};
  parameters.dwSize = sizeof(DS3DBUFFER);
  parameters.dwInsideConeAngle = DS3D_DEFAULTCONEANGLE;
  parameters.dwOutsideConeAngle = DS3D_DEFAULTCONEANGLE;
  parameters.vConeOrientation = {0, 0, 1};
  parameters.lConeOutsideVolume = DS3D_DEFAULTCONEOUTSIDEVOLUME;
  parameters.flMinDistance = DS3D_DEFAULTMINDISTANCE;
  parameters.flMaxDistance = DS3D_DEFAULTMAXDISTANCE;
  parameters.dwMode = DS3DMODE_NORMAL;
  return parameters;
}

bool ValidDistance(D3DVALUE distance) { return std::isfinite(distance) && distance > 0.0f; }
bool ValidCone(DWORD inside, DWORD outside) {
  return inside <= DS3D_MAXCONEANGLE && outside <= DS3D_MAXCONEANGLE && inside <= outside;
}
bool ValidParameters(const DS3DBUFFER& p) {
  return p.dwSize == sizeof(DS3DBUFFER) && ValidCone(p.dwInsideConeAngle, p.dwOutsideConeAngle) &&
         p.lConeOutsideVolume >= DSBVOLUME_MIN && p.lConeOutsideVolume <= DSBVOLUME_MAX &&
         ValidDistance(p.flMinDistance) && ValidDistance(p.flMaxDistance) &&
         p.dwMode <= DS3DMODE_DISABLE;
}

}  // namespace

CSound3DBuffer::CSound3DBuffer(IUnknown* owner, CDirectSound8* device)
    : m_owner(owner), m_device(device), m_set(DefaultParameters()), m_applied(m_set) {
  m_device->Register3DBuffer(this);
}

CSound3DBuffer::~CSound3DBuffer() { m_device->Unregister3DBuffer(this); }

HRESULT CSound3DBuffer::QueryInterface(REFIID riid, void** object) {
  return m_owner->QueryInterface(riid, object);
}
ULONG CSound3DBuffer::AddRef() { return m_owner->AddRef(); }
ULONG CSound3DBuffer::Release() { return m_owner->Release(); }

HRESULT CSound3DBuffer::Change(DWORD apply, const std::function<void(DS3DBUFFER&)>& change) {
  if (!ValidApply(apply)) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_device->Settings3DMutex());
  change(m_set);
  if (apply == DS3D_IMMEDIATE) change(m_applied);
  return DS_OK;
}

template <class T>
HRESULT CSound3DBuffer::Read(T* out, T DS3DBUFFER::*field) {
  if (!out) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_device->Settings3DMutex());
  *out = m_set.*field;
  return DS_OK;
}

HRESULT CSound3DBuffer::GetAllParameters(LPDS3DBUFFER parameters) {
  if (!parameters || parameters->dwSize != sizeof(DS3DBUFFER)) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_device->Settings3DMutex());
  *parameters = m_set;
  return DS_OK;
}

HRESULT CSound3DBuffer::GetConeAngles(LPDWORD inside, LPDWORD outside) {
  if (!inside && !outside) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_device->Settings3DMutex());
  if (inside) *inside = m_set.dwInsideConeAngle;
  if (outside) *outside = m_set.dwOutsideConeAngle;
  return DS_OK;
}

HRESULT CSound3DBuffer::GetConeOrientation(D3DVECTOR* v) { return Read(v, &DS3DBUFFER::vConeOrientation); }
HRESULT CSound3DBuffer::GetConeOutsideVolume(LPLONG v) { return Read(v, &DS3DBUFFER::lConeOutsideVolume); }
HRESULT CSound3DBuffer::GetMaxDistance(D3DVALUE* d) { return Read(d, &DS3DBUFFER::flMaxDistance); }
HRESULT CSound3DBuffer::GetMinDistance(D3DVALUE* d) { return Read(d, &DS3DBUFFER::flMinDistance); }
HRESULT CSound3DBuffer::GetMode(LPDWORD mode) { return Read(mode, &DS3DBUFFER::dwMode); }
HRESULT CSound3DBuffer::GetPosition(D3DVECTOR* v) { return Read(v, &DS3DBUFFER::vPosition); }
HRESULT CSound3DBuffer::GetVelocity(D3DVECTOR* v) { return Read(v, &DS3DBUFFER::vVelocity); }

HRESULT CSound3DBuffer::SetAllParameters(LPCDS3DBUFFER parameters, DWORD apply) {
  if (!parameters || !ValidParameters(*parameters)) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DBUFFER& p) { p = *parameters; });
}

HRESULT CSound3DBuffer::SetConeAngles(DWORD inside, DWORD outside, DWORD apply) {
  if (!ValidCone(inside, outside)) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DBUFFER& p) {
    p.dwInsideConeAngle = inside;
    p.dwOutsideConeAngle = outside;
  });
}

HRESULT CSound3DBuffer::SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) {
  return Change(apply, [&](DS3DBUFFER& p) { p.vConeOrientation = {x, y, z}; });
}

HRESULT CSound3DBuffer::SetConeOutsideVolume(LONG volume, DWORD apply) {
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DBUFFER& p) { p.lConeOutsideVolume = volume; });
}

HRESULT CSound3DBuffer::SetMaxDistance(D3DVALUE distance, DWORD apply) {
  if (!ValidDistance(distance)) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DBUFFER& p) { p.flMaxDistance = distance; });
}

HRESULT CSound3DBuffer::SetMinDistance(D3DVALUE distance, DWORD apply) {
  if (!ValidDistance(distance)) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DBUFFER& p) { p.flMinDistance = distance; });
}

HRESULT CSound3DBuffer::SetMode(DWORD mode, DWORD apply) {
  if (mode > DS3DMODE_DISABLE) return DSERR_INVALIDPARAM;
  return Change(apply, [&](DS3DBUFFER& p) { p.dwMode = mode; });
}

HRESULT CSound3DBuffer::SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) {
  return Change(apply, [&](DS3DBUFFER& p) { p.vPosition = {x, y, z}; });
}

HRESULT CSound3DBuffer::SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) {
  return Change(apply, [&](DS3DBUFFER& p) { p.vVelocity = {x, y, z}; });
}

void CSound3DBuffer::FillFeedLocked(SoundVoiceFeed& feed) const {
  feed.positional = true;
  feed.headRelative = m_applied.dwMode != DS3DMODE_NORMAL;
  if (m_applied.dwMode == DS3DMODE_DISABLE) {
    // Heard as if at the listener's ear.
    feed.position[0] = feed.position[1] = feed.position[2] = 0.0f;
  } else {
    DirectSoundToOpenAL(m_applied.vPosition, feed.position);
  }
  DirectSoundToOpenAL(m_applied.vVelocity, feed.velocity);
  DirectSoundToOpenAL(m_applied.vConeOrientation, feed.direction);
  feed.coneInnerAngle = static_cast<float>(m_applied.dwInsideConeAngle);
  feed.coneOuterAngle = static_cast<float>(m_applied.dwOutsideConeAngle);
  feed.coneOuterGain = GainOfHundredthsDb(m_applied.lConeOutsideVolume);
  feed.minDistance = m_applied.flMinDistance;
  feed.maxDistance = m_applied.flMaxDistance;
}
