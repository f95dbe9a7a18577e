#include "sound/WaveStream.h"

#include <mutex>

#include "sound/SoundLog.h"
#include "sound/Tonaris.h"
#include "sound/Voice.h"
#include "sound/VoiceManager.h"

namespace {

const char kSource[] = "Wave";

}  // namespace

UINT CWaveStream::VoiceFlags(UINT streamFlags) {
  UINT voice = 0;
  if (streamFlags & kFlag3D) voice |= CVoice::kVoice3D;
  if ((streamFlags & kFlagPan) && !(streamFlags & kFlag3D)) voice |= CVoice::kVoicePan;
  if (streamFlags & kFlagVolume) voice |= CVoice::kVoiceVolume;
  if (streamFlags & kFlagFrequency) voice |= CVoice::kVoiceFrequency;
  return voice;
}

CWaveStream::CWaveStream(CTonaris* server, const char* name, UINT& success, UINT flags)
    : CSoundObject(server, kSource),
      m_dwLoop((flags & kFlagLoop) ? 1 : 0),
      m_dwSoftware((server->IsSoftwareMixing() || (flags & kFlagSoftware)) ? 1 : 0) {
  success = 0;
  if (!server->IsInitialized()) {
    m_pLog->Write(kSource,
                  "WARNING! - The Wave: %s Has Not Been Loaded Because The Library Had Not Been "
                  "Initialized\n",
                  name);
    success = 1;
    return;
  }
  if (!Load(name, flags)) return;
  m_dwLoaded = 1;
  success = 1;
}

CWaveStream::~CWaveStream() {
  if (m_p3DBuffer) m_p3DBuffer->Release();
  if (m_pBuffer) m_pBuffer->Release();
}

bool CWaveStream::Load(const char* name, UINT flags) {
  // A waveOut server has no DirectSound device to hold voices.
  CVoiceManager* voices = m_pServer->GetVoiceManager();
  CVoice* voice = voices ? voices->CreateVoice(name, VoiceFlags(flags)) : nullptr;
  if (!voice) {
    m_pLog->Write(kSource, "ERROR! - Can't Load Voce\n");
    return false;
  }
  IDirectSoundBuffer* duplicate = nullptr;
  if (!voice->DuplicateBuffer(&duplicate) || !TakeBuffer8(duplicate)) return false;
  if (flags & kFlag3D) {
    const HRESULT result = m_pBuffer->QueryInterface(IID_IDirectSound3DBuffer,
                                                     reinterpret_cast<void**>(&m_p3DBuffer));
    // The sound still plays, and refuses its 3D settings.
    if (FAILED(result)) {
      m_p3DBuffer = nullptr;
      LogFailure("ERROR! - Can't Obtain 3D Interface(%s - %s)\n", result);
    }
  }
  return true;
}

UINT CWaveStream::Result(HRESULT result, const char* failure) {
  if (SUCCEEDED(result)) return 1;
  LogFailure(failure, result);
  return 0;
}

// --- playback ---

UINT CWaveStream::GetIsPlayed() {
  // A sound played once stops by itself at its end; only its buffer knows when.
  BufferHasStopped();
  return m_dwPlaying;
}

UINT CWaveStream::Play() {
  if (!m_dwLoaded) return 0;
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  m_pLog->Write(kSource, "- Acquiring Resource For Wave Playing\n");
  HRESULT result =
      m_pBuffer->AcquireResources(m_dwSoftware ? DSBPLAY_LOCSOFTWARE : DSBPLAY_LOCHARDWARE, 0,
                                  nullptr);
  if (!Result(result, "ERROR! - Can't Acquire Resource For Wave (%s - %s)\n")) return 0;
  m_pLog->Write(kSource, "- Playing Wave\n");
  result = m_pBuffer->Play(0, 0, m_dwLoop ? DSBPLAY_LOOPING : 0);
  if (!Result(result, "ERROR! - Can't Play Wave (%s - %s)\n")) return 0;
  m_dwPlaying = 1;
  return 1;
}

UINT CWaveStream::Stop() {
  if (!m_dwLoaded || !m_pBuffer) return 0;
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  m_pLog->Write(kSource, "- Stopping Wave\n");
  if (!Result(m_pBuffer->Stop(), "ERROR! - Can't Play Wave (%s - %s)\n")) return 0;
  m_dwPlaying = 0;
  return 1;
}

UINT CWaveStream::Reset() {
  if (!m_dwLoaded || !m_pBuffer) return 0;
  m_pLog->Write(kSource, "- Reseting Wave\n");
  return Result(m_pBuffer->SetCurrentPosition(0), "ERROR! - Can't Play Wave (%s - %s)\n");
}

void CWaveStream::Release() {
  Stop();
  m_pLog->Write(kSource, "- Releasing Wave Object\n");
  {
    std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
    if (m_p3DBuffer) m_p3DBuffer->Release();
    m_p3DBuffer = nullptr;
    Unlink();
  }
  delete this;
}

// --- 3D settings ---

UINT CWaveStream::Read3(const float stored[3], float& x, float& y, float& z, UINT loaded) {
  x = stored[0];
  y = stored[1];
  z = stored[2];
  return loaded;
}

UINT CWaveStream::Set3(float stored[3], float x, float y, float z,
                       HRESULT (IDirectSound3DBuffer::*set)(D3DVALUE, D3DVALUE, D3DVALUE, DWORD),
                       const char* failure) {
  if (!m_dwLoaded || !m_p3DBuffer) return 0;
  stored[0] = x;
  stored[1] = y;
  stored[2] = z;
  return Result((m_p3DBuffer->*set)(x, y, z, DS3D_DEFERRED), failure);
}

UINT CWaveStream::SetDistance(float& stored, float distance,
                              HRESULT (IDirectSound3DBuffer::*set)(D3DVALUE, DWORD),
                              const char* failure) {
  if (!m_dwLoaded || !m_p3DBuffer) return 0;
  stored = distance;
  return Result((m_p3DBuffer->*set)(distance, DS3D_DEFERRED), failure);
}

UINT CWaveStream::SetMinDistance(float distance) {
  return SetDistance(m_fMinDistance, distance, &IDirectSound3DBuffer::SetMinDistance,
                     "ERROR! - Can't Set Min Distance\n(%s - %s)\n");
}

UINT CWaveStream::SetMaxDistance(float distance) {
  return SetDistance(m_fMaxDistance, distance, &IDirectSound3DBuffer::SetMaxDistance,
                     "ERROR! - Can't Set Max Distance\n(%s - %s)\n");
}

UINT CWaveStream::GetPosition(float& x, float& y, float& z) {
  return Read3(m_vecPosition, x, y, z, m_dwLoaded);
}

UINT CWaveStream::SetPosition(float x, float y, float z) {
  return Set3(m_vecPosition, x, y, z, &IDirectSound3DBuffer::SetPosition,
              "ERROR! - Can't Set Position\n(%s - %s)\n");
}

UINT CWaveStream::GetVelocity(float& x, float& y, float& z) {
  return Read3(m_vecVelocity, x, y, z, m_dwLoaded);
}

UINT CWaveStream::SetVelocity(float x, float y, float z) {
  return Set3(m_vecVelocity, x, y, z, &IDirectSound3DBuffer::SetVelocity,
              "ERROR! - Can't Set Velocity\n(%s - %s)\n");
}

UINT CWaveStream::GetConeOrientation(float& x, float& y, float& z) {
  return Read3(m_vecConeOrientation, x, y, z, m_dwLoaded);
}

UINT CWaveStream::SetConeOrientation(float x, float y, float z) {
  return Set3(m_vecConeOrientation, x, y, z, &IDirectSound3DBuffer::SetConeOrientation,
              "ERROR! - Can't Set Cone Orientation\n(%s - %s)\n");
}

UINT CWaveStream::GetConeAngles(UINT& inside, UINT& outside) {
  inside = m_dwInsideConeAngle;
  outside = m_dwOutsideConeAngle;
  return m_dwLoaded;
}

UINT CWaveStream::SetConeAngles(UINT inside, UINT outside) {
  if (!m_dwLoaded || !m_p3DBuffer) return 0;
  m_dwInsideConeAngle = inside;
  m_dwOutsideConeAngle = outside;
  return Result(m_p3DBuffer->SetConeAngles(inside, outside, DS3D_DEFERRED),
                "ERROR! - Can't Set Cone Angles\n(%s - %s)\n");
}

UINT CWaveStream::SetConeOutsideVolume(int volume) {
  if (!m_dwLoaded || !m_p3DBuffer) return 0;
  m_lConeOutsideVolume = volume;
  return Result(m_p3DBuffer->SetConeOutsideVolume(volume, DS3D_DEFERRED),
                "ERROR! - Can't Set Cone Outside Volume\n(%s - %s)\n");
}
