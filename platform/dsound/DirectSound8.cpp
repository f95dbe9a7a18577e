#include "DirectSound8.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "OpenALOutput.h"
#include "PrimarySoundBuffer.h"
#include "SecondarySoundBuffer.h"
#include "Sound3DBuffer.h"
#include "SoundSystem.h"

HRESULT CDirectSound8::Create(LPCGUID device, IDirectSound8** out) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  std::string name;
  if (!CSoundSystem::NameOfGuid(device, name)) return DSERR_NODRIVER;
  std::shared_ptr<COpenALOutput> output = COpenALOutput::Acquire(name);
  if (!output) return DSERR_NODRIVER;
  *out = new (std::nothrow) CDirectSound8(std::move(output));
  return *out ? DS_OK : DSERR_OUTOFMEMORY;
}

CDirectSound8::CDirectSound8(std::shared_ptr<COpenALOutput> output)
    : m_output(std::move(output)), m_listener(this) {
  PublishListener();
}

CDirectSound8::~CDirectSound8() = default;

HRESULT CDirectSound8::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirectSound || riid == IID_IDirectSound8) {
    AddRef();
    *object = static_cast<IDirectSound8*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT CDirectSound8::CreateSoundBuffer(LPCDSBUFFERDESC desc, IDirectSoundBuffer** buffer,
                                         LPUNKNOWN outer) {
  if (!desc || !buffer) return DSERR_INVALIDPARAM;
  *buffer = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  if (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != sizeof(DSBUFFERDESC1))
    return DSERR_INVALIDPARAM;
  // The older, shorter description has no 3D algorithm to read.
  DSBUFFERDESC full{};
  std::memcpy(&full, desc, desc->dwSize);
  full.dwSize = sizeof(DSBUFFERDESC);
  if (full.dwFlags & DSBCAPS_PRIMARYBUFFER) return CreatePrimary(full, buffer);
  return CSecondarySoundBuffer::Create(this, full, buffer);
}

HRESULT CDirectSound8::CreatePrimary(const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
  constexpr DWORD kPrimaryFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_LOCHARDWARE |
                                  DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME |
                                  DSBCAPS_CTRLPAN | DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS |
                                  DSBCAPS_GETCURRENTPOSITION2;
  if (desc.dwBufferBytes != 0 || desc.lpwfxFormat || (desc.dwFlags & ~kPrimaryFlags) ||
      ((desc.dwFlags & DSBCAPS_LOCHARDWARE) && (desc.dwFlags & DSBCAPS_LOCSOFTWARE)))
    return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_primaryMutex);
  if (m_primary) {
    // One primary buffer per device; asking again gives the same one.
    m_primary->AddRef();
  } else {
    m_primary = new (std::nothrow) CPrimarySoundBuffer(this, desc.dwFlags);
    if (!m_primary) return DSERR_OUTOFMEMORY;
  }
  *buffer = m_primary;
  return DS_OK;
}

void CDirectSound8::ForgetPrimary(CPrimarySoundBuffer* primary) {
  std::lock_guard lock(m_primaryMutex);
  if (m_primary == primary) m_primary = nullptr;
}

HRESULT CDirectSound8::GetCaps(LPDSCAPS caps) {
  if (!caps || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
  *caps = CSoundSystem::Caps();
  return DS_OK;
}

HRESULT CDirectSound8::DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                            IDirectSoundBuffer** duplicate) {
  if (!original || !duplicate) return DSERR_INVALIDPARAM;
  *duplicate = nullptr;
  auto* secondary = dynamic_cast<CSecondarySoundBuffer*>(original);
  // Only secondary buffers can be duplicated; the primary has no data of its own.
  if (!secondary) return DSERR_INVALIDCALL;
  return secondary->Duplicate(this, duplicate);
}

HRESULT CDirectSound8::SetCooperativeLevel(HWND window, DWORD level) {
  if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  m_level = level;
  return DS_OK;
}

void CDirectSound8::Register3DBuffer(CSound3DBuffer* buffer) {
  std::lock_guard lock(m_settings3DMutex);
  m_3dBuffers.push_back(buffer);
}

void CDirectSound8::Unregister3DBuffer(CSound3DBuffer* buffer) {
  std::lock_guard lock(m_settings3DMutex);
  std::erase(m_3dBuffers, buffer);
}

void CDirectSound8::CommitDeferredSettings() {
  {
    std::lock_guard lock(m_settings3DMutex);
    for (CSound3DBuffer* buffer : m_3dBuffers) buffer->CommitLocked();
    m_listener.CommitLocked();
  }
  PublishListener();
}

void CDirectSound8::PublishListener() {
  SoundListenerState state;
  {
    std::lock_guard lock(m_settings3DMutex);
    state = m_listener.AppliedStateLocked();
  }
  // Outside the 3D lock: the output's pump takes its own lock and then this one.
  m_output->SetListener(state);
}
