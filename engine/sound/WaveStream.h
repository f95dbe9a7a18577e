#pragma once
// A wave sound: plays its own duplicate of a voice's buffer, so that many sounds of one file play
// independently over one copy of its samples. Only wave sounds have 3D settings; each is stored
// here and handed to DirectSound as a deferred setting that the server's Apply commits.
#include "sound/SoundObject.h"

class CWaveStream final : public CSoundObject {
 public:
  // `success` reports whether the sound may be handed out; it is loaded only when it can play.
  CWaveStream(CTonaris* server, const char* name, UINT& success, UINT flags);

  // The voice flags of a wave sound's stream flags.
  static UINT VoiceFlags(UINT streamFlags);

  UINT Update() override { return m_dwLoaded; }
  UINT DecodeData(BYTE*, int) override { return 0; }
  UINT GetIsPlayed() override;
  UINT Play() override;
  UINT Stop() override;
  UINT Reset() override;
  UINT SetPositionInSeconds(double) override { return m_dwLoaded; }
  UINT SetPositionInBytes(UINT) override { return m_dwLoaded; }
  double GetPositionInSeconds() override { return 0.0; }
  UINT GetPositionInBytes() override { return 0; }
  void Release() override;

  float GetMaxDistance() override { return m_dwLoaded ? m_fMaxDistance : 0.0f; }
  float GetMinDistance() override { return m_dwLoaded ? m_fMinDistance : 0.0f; }
  UINT SetMinDistance(float distance) override;
  UINT SetMaxDistance(float distance) override;
  UINT GetPosition(float& x, float& y, float& z) override;
  UINT SetPosition(float x, float y, float z) override;
  UINT GetVelocity(float& x, float& y, float& z) override;
  UINT SetVelocity(float x, float y, float z) override;
  UINT GetConeAngles(UINT& inside, UINT& outside) override;
  UINT SetConeAngles(UINT inside, UINT outside) override;
  UINT GetConeOrientation(float& x, float& y, float& z) override;
  UINT SetConeOrientation(float x, float y, float z) override;
  int GetConeOutsideVolume() override { return m_dwLoaded ? m_lConeOutsideVolume : 0; }
  UINT SetConeOutsideVolume(int volume) override;

  // The 3D control of the sound's buffer; null for a sound without 3D.
  IDirectSound3DBuffer* Get3DBuffer() const { return m_p3DBuffer; }

 private:
  ~CWaveStream() override;

  bool Load(const char* name, UINT flags);
  // Reports a buffer call that failed with `failure` (a text with the error's two "%s").
  UINT Result(HRESULT result, const char* failure);
  static UINT Read3(const float stored[3], float& x, float& y, float& z, UINT loaded);
  // Stores a vector and passes it to the 3D buffer as a deferred setting.
  UINT Set3(float stored[3], float x, float y, float z,
            HRESULT (IDirectSound3DBuffer::*set)(D3DVALUE, D3DVALUE, D3DVALUE, DWORD),
            const char* failure);
  UINT SetDistance(float& stored, float distance,
                   HRESULT (IDirectSound3DBuffer::*set)(D3DVALUE, DWORD), const char* failure);

  IDirectSound3DBuffer* m_p3DBuffer = nullptr;
  float m_vecPosition[3] = {};
  float m_vecVelocity[3] = {};
  UINT m_dwInsideConeAngle = 0;
  UINT m_dwOutsideConeAngle = 0;
  float m_vecConeOrientation[3] = {};
  int m_lConeOutsideVolume = 0;
  float m_fMinDistance = 0.0f;
  float m_fMaxDistance = 0.0f;
  UINT m_dwLoop = 0;
  UINT m_dwSoftware = 0;
};
