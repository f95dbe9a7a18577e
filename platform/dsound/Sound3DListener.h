#pragma once
// The device's one listener, reached from the primary buffer. Settings are seen by Get at once;
// deferred ones reach the output at CommitDeferredSettings, together with every 3D buffer's.
// It lives inside the device and counts references on it.
#include <functional>

#include "SoundListenerState.h"
#include "dsound.h"

class CDirectSound8;

class CSound3DListener final : public IDirectSound3DListener {
 public:
  explicit CSound3DListener(CDirectSound8* device);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetAllParameters(LPDS3DLISTENER parameters) override;
  HRESULT GetDistanceFactor(D3DVALUE* factor) override;
  HRESULT GetDopplerFactor(D3DVALUE* factor) override;
  HRESULT GetOrientation(D3DVECTOR* front, D3DVECTOR* top) override;
  HRESULT GetPosition(D3DVECTOR* position) override;
  HRESULT GetRolloffFactor(D3DVALUE* factor) override;
  HRESULT GetVelocity(D3DVECTOR* velocity) override;
  HRESULT SetAllParameters(LPCDS3DLISTENER parameters, DWORD apply) override;
  HRESULT SetDistanceFactor(D3DVALUE factor, DWORD apply) override;
  HRESULT SetDopplerFactor(D3DVALUE factor, DWORD apply) override;
  HRESULT SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ, D3DVALUE topX,
                         D3DVALUE topY, D3DVALUE topZ, DWORD apply) override;
  HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
  HRESULT SetRolloffFactor(D3DVALUE factor, DWORD apply) override;
  HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
  HRESULT CommitDeferredSettings() override;

  // With the device's 3D lock held.
  void CommitLocked() { m_applied = m_set; }
  SoundListenerState AppliedStateLocked() const;
  float AppliedRolloffLocked() const { return m_applied.flRolloffFactor; }

 private:
  HRESULT Change(DWORD apply, const std::function<void(DS3DLISTENER&)>& change);
  template <class T>
  HRESULT Read(T* out, T DS3DLISTENER::*field);

  CDirectSound8* m_device;
  DS3DLISTENER m_set;
  DS3DLISTENER m_applied;
};
