#pragma once
// The 3D settings of one secondary buffer. Each setting is seen by Get at once; a deferred one
// reaches the output only at the device's CommitDeferredSettings. The object lives inside its
// buffer and counts references on the buffer.
#include <functional>

#include "dsound.h"

class CDirectSound8;
struct SoundVoiceFeed;

class CSound3DBuffer final : public IDirectSound3DBuffer {
 public:
  CSound3DBuffer(IUnknown* owner, CDirectSound8* device);
  ~CSound3DBuffer() override;

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetAllParameters(LPDS3DBUFFER parameters) override;
  HRESULT GetConeAngles(LPDWORD inside, LPDWORD outside) override;
  HRESULT GetConeOrientation(D3DVECTOR* orientation) override;
  HRESULT GetConeOutsideVolume(LPLONG volume) override;
  HRESULT GetMaxDistance(D3DVALUE* distance) override;
  HRESULT GetMinDistance(D3DVALUE* distance) override;
  HRESULT GetMode(LPDWORD mode) override;
  HRESULT GetPosition(D3DVECTOR* position) override;
  HRESULT GetVelocity(D3DVECTOR* velocity) override;
  HRESULT SetAllParameters(LPCDS3DBUFFER parameters, DWORD apply) override;
  HRESULT SetConeAngles(DWORD inside, DWORD outside, DWORD apply) override;
  HRESULT SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
  HRESULT SetConeOutsideVolume(LONG volume, DWORD apply) override;
  HRESULT SetMaxDistance(D3DVALUE distance, DWORD apply) override;
  HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) override;
  HRESULT SetMode(DWORD mode, DWORD apply) override;
  HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
  HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;

  // With the device's 3D lock held.
  void CommitLocked() { m_applied = m_set; }
  // Writes the applied settings into a positioned voice's feed (with the device's 3D lock held).
  void FillFeedLocked(SoundVoiceFeed& feed) const;

 private:
  HRESULT Change(DWORD apply, const std::function<void(DS3DBUFFER&)>& change);
  template <class T>
  HRESULT Read(T* out, T DS3DBUFFER::*field);

  IUnknown* m_owner;
  CDirectSound8* m_device;
  DS3DBUFFER m_set;
  DS3DBUFFER m_applied;
};
