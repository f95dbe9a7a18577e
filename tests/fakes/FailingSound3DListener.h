#pragma once
// A DirectSound listener whose every call answers with one chosen result (DS_OK by default),
// counting the deferred setters and commits it was given, and released once.
#include <dsound.h>

class FailingSound3DListener final : public IDirectSound3DListener {
 public:
  HRESULT result = DS_OK;
  int deferredCalls = 0;
  int commits = 0;
  int releases = 0;

  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return ++releases, 0; }

  HRESULT GetAllParameters(LPDS3DLISTENER) override { return result; }
  HRESULT GetDistanceFactor(D3DVALUE*) override { return result; }
  HRESULT GetDopplerFactor(D3DVALUE*) override { return result; }
  HRESULT GetOrientation(D3DVECTOR*, D3DVECTOR*) override { return result; }
  HRESULT GetPosition(D3DVECTOR*) override { return result; }
  HRESULT GetRolloffFactor(D3DVALUE*) override { return result; }
  HRESULT GetVelocity(D3DVECTOR*) override { return result; }
  HRESULT SetAllParameters(LPCDS3DLISTENER, DWORD apply) override { return Set(apply); }
  HRESULT SetDistanceFactor(D3DVALUE, DWORD apply) override { return Set(apply); }
  HRESULT SetDopplerFactor(D3DVALUE, DWORD apply) override { return Set(apply); }
  HRESULT SetOrientation(D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE, D3DVALUE,
                         DWORD apply) override {
    return Set(apply);
  }
  HRESULT SetPosition(D3DVALUE, D3DVALUE, D3DVALUE, DWORD apply) override { return Set(apply); }
  HRESULT SetRolloffFactor(D3DVALUE, DWORD apply) override { return Set(apply); }
  HRESULT SetVelocity(D3DVALUE, D3DVALUE, D3DVALUE, DWORD apply) override { return Set(apply); }
  HRESULT CommitDeferredSettings() override {
    ++commits;
    return result;
  }

 private:
  HRESULT Set(DWORD apply) {
    if (apply == DS3D_DEFERRED) ++deferredCalls;
    return result;
  }
};
