#include "PrimarySoundBuffer.h"

#include "DirectSound8.h"
#include "DirectSoundFormat.h"

namespace {
// What the primary reports as its size: a tenth of a second of its format.
DWORD PrimaryBytes(const WAVEFORMATEX& format) { return format.nAvgBytesPerSec / 10; }
}  // namespace

CPrimarySoundBuffer::CPrimarySoundBuffer(CDirectSound8* device, DWORD flags)
    : m_device(device), m_flags(flags) {
  m_device->AddRef();
  // Until SetFormat, the primary plays 22050 Hz 8-bit stereo, as DirectSound starts out.
  m_format = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
}

CPrimarySoundBuffer::~CPrimarySoundBuffer() {
  m_device->ForgetPrimary(this);
  m_device->Release();
}

HRESULT CPrimarySoundBuffer::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDirectSoundBuffer) {
    AddRef();
    *object = static_cast<IDirectSoundBuffer*>(this);
    return S_OK;
  }
  if (riid == IID_IDirectSound3DListener && (m_flags & DSBCAPS_CTRL3D))
    return m_device->Listener().QueryInterface(riid, object);
  return E_NOINTERFACE;
}

HRESULT CPrimarySoundBuffer::GetCaps(LPDSBCAPS caps) {
  if (!caps || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
  caps->dwFlags = m_flags | ((m_flags & DSBCAPS_LOCHARDWARE) ? 0 : DSBCAPS_LOCSOFTWARE);
  caps->dwBufferBytes = PrimaryBytes(m_format);
  caps->dwUnlockTransferRate = 0;
  caps->dwPlayCpuOverhead = 0;
  return DS_OK;
}

HRESULT CPrimarySoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated,
                                       LPDWORD sizeWritten) {
  return CopyFormatOut(m_format, format, sizeAllocated, sizeWritten);
}

HRESULT CPrimarySoundBuffer::SetFormat(LPCWAVEFORMATEX format) {
  if (!format) return DSERR_INVALIDPARAM;
  if (m_device->CooperativeLevel() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (const HRESULT invalid = FormatCheckResult(*format); FAILED(invalid)) return invalid;
  m_format = *format;
  m_format.nAvgBytesPerSec = m_format.nSamplesPerSec * m_format.nBlockAlign;
  m_format.cbSize = 0;
  return DS_OK;
}

HRESULT CPrimarySoundBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  *status = m_playing ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
  return DS_OK;
}

// Playing the primary keeps the mixer running even when nothing plays; OpenAL always runs.
HRESULT CPrimarySoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
  if (reserved != 0 || priority != 0 || !(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
  m_playing = true;
  return DS_OK;
}

HRESULT CPrimarySoundBuffer::Stop() {
  m_playing = false;
  return DS_OK;
}

// The mix itself is OpenAL's and cannot be read or written: the primary's data calls are
// refused as for a program without the write-primary level.
HRESULT CPrimarySoundBuffer::GetCurrentPosition(LPDWORD, LPDWORD) { return DSERR_PRIOLEVELNEEDED; }
HRESULT CPrimarySoundBuffer::Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) {
  return DSERR_PRIOLEVELNEEDED;
}
HRESULT CPrimarySoundBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD) { return DSERR_PRIOLEVELNEEDED; }
HRESULT CPrimarySoundBuffer::SetCurrentPosition(DWORD) { return DSERR_INVALIDCALL; }
HRESULT CPrimarySoundBuffer::Restore() { return DS_OK; }

// The device's master volume, pan and rate are not offered.
HRESULT CPrimarySoundBuffer::GetVolume(LPLONG) { return DSERR_CONTROLUNAVAIL; }
HRESULT CPrimarySoundBuffer::SetVolume(LONG) { return DSERR_CONTROLUNAVAIL; }
HRESULT CPrimarySoundBuffer::GetPan(LPLONG) { return DSERR_CONTROLUNAVAIL; }
HRESULT CPrimarySoundBuffer::SetPan(LONG) { return DSERR_CONTROLUNAVAIL; }
HRESULT CPrimarySoundBuffer::GetFrequency(LPDWORD) { return DSERR_CONTROLUNAVAIL; }
HRESULT CPrimarySoundBuffer::SetFrequency(DWORD) { return DSERR_CONTROLUNAVAIL; }
