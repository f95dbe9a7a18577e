#pragma once
// The primary buffer: the device's output format, and the way to the listener when it was
// created with 3D control. It holds no data of its own: the mixing is OpenAL's.
#include "ComObject.h"
#include "dsound.h"

class CDirectSound8;

class CPrimarySoundBuffer final : public TComObject<IDirectSoundBuffer> {
 public:
  CPrimarySoundBuffer(CDirectSound8* device, DWORD flags);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetCaps(LPDSBCAPS caps) override;
  HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
  HRESULT GetVolume(LPLONG volume) override;
  HRESULT GetPan(LPLONG pan) override;
  HRESULT GetFrequency(LPDWORD frequency) override;
  HRESULT GetStatus(LPDWORD status) override;
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
               LPDWORD bytes2, DWORD flags) override;
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT SetCurrentPosition(DWORD position) override;
  HRESULT SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT SetPan(LONG pan) override;
  HRESULT SetFrequency(DWORD frequency) override;
  HRESULT Stop() override;
  HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override;
  HRESULT Restore() override;

 private:
  ~CPrimarySoundBuffer() override;

  CDirectSound8* m_device;
  DWORD m_flags;
  WAVEFORMATEX m_format;
  bool m_playing = false;
};
