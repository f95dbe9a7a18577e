#pragma once
// The ear of the 3D sound scene, over DirectSound's listener of the primary buffer. Every change
// is stored here and handed to DirectSound as a deferred setting; CommitSettings (the server's
// Apply) makes it and every wave sound's deferred setting take effect together.
#include <dsound.h>

#include "TonarisInterface.h"

class CSoundLog;

class CTonarisListener final : public TonarisListener {
 public:
  // Takes over the reference to `listener`, which may be null (every operation then refuses).
  CTonarisListener(IDirectSound3DListener* listener, CSoundLog* log);
  ~CTonarisListener();
  CTonarisListener(const CTonarisListener&) = delete;
  CTonarisListener& operator=(const CTonarisListener&) = delete;

  UINT GetOrientation(float& frontX, float& frontY, float& frontZ, float& topX, float& topY,
                      float& topZ) override;
  UINT SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY,
                      float topZ) override;
  UINT GetPosition(float& x, float& y, float& z) override;
  UINT SetPosition(float x, float y, float z) override;
  UINT GetVelocity(float& x, float& y, float& z) override;
  UINT SetVelocity(float x, float y, float z) override;

  // Commits every deferred 3D setting of the device. 1, or 0 (logged).
  UINT CommitSettings();

 private:
  UINT Result(HRESULT result, const char* failure);
  // Stores a vector and hands it to DirectSound as a deferred setting.
  UINT Set3(float stored[3], float x, float y, float z,
            HRESULT (IDirectSound3DListener::*set)(D3DVALUE, D3DVALUE, D3DVALUE, DWORD),
            const char* failure);

  IDirectSound3DListener* m_pListener;
  CSoundLog* m_pLog;
  float m_vecPosition[3] = {};
  float m_vecFront[3] = {};
  float m_vecTop[3] = {};
  float m_vecVelocity[3] = {};
};
