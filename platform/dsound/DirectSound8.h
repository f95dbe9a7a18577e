#pragma once
// The DirectSound device: creates primary and secondary buffers on one OpenAL output, and owns
// the listener and the 3D settings that CommitDeferredSettings applies together.
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "ComObject.h"
#include "Sound3DListener.h"
#include "dsound.h"

class COpenALOutput;
class CPrimarySoundBuffer;
class CSound3DBuffer;

class CDirectSound8 final : public TComObject<IDirectSound8> {
 public:
  static HRESULT Create(LPCGUID device, IDirectSound8** out);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, IDirectSoundBuffer** buffer, LPUNKNOWN outer) override;
  HRESULT GetCaps(LPDSCAPS caps) override;
  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) override;
  HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

  COpenALOutput& Output() { return *m_output; }
  DWORD CooperativeLevel() const { return m_level; }

  // Guards every 3D setting of the device: the listener's and each 3D buffer's.
  std::mutex& Settings3DMutex() { return m_settings3DMutex; }
  void Register3DBuffer(CSound3DBuffer* buffer);
  void Unregister3DBuffer(CSound3DBuffer* buffer);
  CSound3DListener& Listener() { return m_listener; }
  // Applies every deferred 3D setting, the listener's and the buffers', at once.
  void CommitDeferredSettings();
  // Hands the listener's applied settings to the output.
  void PublishListener();
  void ForgetPrimary(CPrimarySoundBuffer* primary);

 private:
  explicit CDirectSound8(std::shared_ptr<COpenALOutput> output);
  ~CDirectSound8() override;
  HRESULT CreatePrimary(const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer);

  std::shared_ptr<COpenALOutput> m_output;
  std::atomic<DWORD> m_level{0};
  std::mutex m_primaryMutex;
  CPrimarySoundBuffer* m_primary = nullptr;
  std::mutex m_settings3DMutex;
  std::vector<CSound3DBuffer*> m_3dBuffers;
  CSound3DListener m_listener;
};
