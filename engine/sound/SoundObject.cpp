#include "sound/SoundObject.h"

#include <dxerr9.h>

#include <mutex>

#include "sound/SoundLog.h"
#include "sound/Tonaris.h"

CSoundObject::CSoundObject(CTonaris* server, const char* source)
    : m_pServer(server), m_pLog(server->GetLog()), m_pSource(source) {}

void CSoundObject::LogFailure(const char* format, HRESULT result) const {
  m_pLog->Write(m_pSource, format, DXGetErrorString9A(result), DXGetErrorDescription9A(result));
}

bool CSoundObject::TakeBuffer8(IDirectSoundBuffer* buffer) {
  const HRESULT result =
      buffer->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&m_pBuffer));
  buffer->Release();
  if (FAILED(result)) {
    m_pBuffer = nullptr;
    LogFailure("ERROR! - Can't Obtain DS8 Interface(%s - %s)\n", result);
    return false;
  }
  return true;
}

bool CSoundObject::BufferHasStopped() {
  if (!m_dwPlaying || !m_pBuffer) return false;
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  DWORD status = 0;
  if (FAILED(m_pBuffer->GetStatus(&status)) || (status & DSBSTATUS_PLAYING)) return false;
  m_dwPlaying = 0;
  return true;
}

void CSoundObject::Unlink() {
  m_pServer->UnlinkStream(this);
  if (m_pBuffer) m_pBuffer->Release();
  m_pBuffer = nullptr;
}

UINT CSoundObject::SetVolume(int volume) {
  if (!m_dwLoaded || !m_pBuffer) return 0;
  if (volume >= 1) {
    m_pLog->Write(m_pSource, "- (WARNING!!!) Clipping Volume To DSBVOLUME_MAX (Was: %i)\n",
                  volume);
    volume = DSBVOLUME_MAX;
  } else if (volume < DSBVOLUME_MIN) {
    m_pLog->Write(m_pSource, "- (WARNING!!!) Clipping Volume To DSBVOLUME_MIN (Was: %i)\n",
                  volume);
    volume = DSBVOLUME_MIN;
  }
  const HRESULT result = m_pBuffer->SetVolume(volume);
  if (FAILED(result)) {
    LogFailure("ERROR! - Can't Set Volume\n(%s - %s)", result);
    return 0;
  }
  return 1;
}

int CSoundObject::GetVolume() {
  if (!m_dwLoaded || !m_pBuffer) return 0;
  LONG volume = 0;
  const HRESULT result = m_pBuffer->GetVolume(&volume);
  if (FAILED(result)) {
    LogFailure("ERROR! - Can't Get Volume\n(%s - %s)", result);
    return 0;
  }
  return volume;
}

int CSoundObject::GetPan() {
  if (!m_dwLoaded || !m_pBuffer) return 0;
  LONG pan = 0;
  const HRESULT result = m_pBuffer->GetPan(&pan);
  if (FAILED(result)) {
    LogFailure("ERROR! - Can't Get Pan\n(%s - %s)\n", result);
    return 0;
  }
  return pan;
}

UINT CSoundObject::SetPan(int pan) {
  if (!m_dwLoaded || !m_pBuffer) return 0;
  const HRESULT result = m_pBuffer->SetPan(pan);
  if (FAILED(result)) {
    LogFailure("ERROR! - Can't Set Pan\n(%s - %s)\n", result);
    return 0;
  }
  return 1;
}

UINT CSoundObject::SetFrequency(UINT frequency) {
  if (!m_dwLoaded || !m_pBuffer) return 0;
  const HRESULT result = m_pBuffer->SetFrequency(frequency);
  if (FAILED(result)) {
    LogFailure("ERROR! - Can't Set Frequency\n(%s - %s)\n", result);
    return 0;
  }
  return 1;
}

UINT CSoundObject::GetFrequency() {
  if (!m_dwLoaded || !m_pBuffer) return 0xFFFFFFFF;
  DWORD frequency = 0;
  const HRESULT result = m_pBuffer->GetFrequency(&frequency);
  if (FAILED(result)) {
    LogFailure("ERROR! - Can't Get Frequency\n(%s - %s)\n", result);
    return 0xFFFFFFFF;
  }
  return frequency;
}
