#pragma once
// A secondary buffer: a ring of sound data that the program locks and writes, and whose play
// and write cursors follow the platform clock at the buffer's rate. While it plays, the OpenAL
// output is fed from the ring just ahead of the play cursor. Duplicates share the data and play
// it independently. Lock hands out copies of the locked region that Unlock writes back, so the
// output never reads memory the program is writing.
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "BufferCursor.h"
#include "ComObject.h"
#include "PcmFormat.h"
#include "SoundRing.h"
#include "SoundVoice.h"
#include "dsound.h"

class CDirectSound8;
class CSound3DBuffer;

class CSecondarySoundBuffer final : public TComObject<IDirectSoundBuffer8>, public ISoundVoiceSource {
 public:
  static HRESULT Create(CDirectSound8* device, const DSBUFFERDESC& desc, IDirectSoundBuffer** out);
  HRESULT Duplicate(CDirectSound8* device, IDirectSoundBuffer** out);

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
  HRESULT AcquireResources(DWORD flags, DWORD effectCount, LPDWORD results) override;

  void Feed(uint64_t now, uint64_t leadMicros, SoundVoiceFeed& feed) override;

 private:
  // A region handed out by Lock: a copy of the ring from `offset`, and of its start when the
  // region wraps.
  struct LockedRegion {
    DWORD offset;
    std::vector<uint8_t> first;
    std::vector<uint8_t> wrapped;
  };

  CSecondarySoundBuffer(CDirectSound8* device, DWORD flags, const WAVEFORMATEX& format,
                        std::shared_ptr<CSoundRing> ring);
  ~CSecondarySoundBuffer() override;
  static HRESULT Publish(CSecondarySoundBuffer* buffer, IDirectSoundBuffer** out);

  DWORD Size() const { return static_cast<DWORD>(m_ring->Size()); }
  DWORD PlayCursorLocked(uint64_t now) const;
  DWORD WriteCursorLocked(uint64_t now) const;
  // Whatever OpenAL still holds no longer follows the cursor.
  void JumpedLocked();
  HRESULT TakeLocationLocked(DWORD playFlags);

  CDirectSound8* m_device;
  const DWORD m_flags;
  const WAVEFORMATEX m_format;
  const CPcmFormat m_pcm;
  const std::shared_ptr<CSoundRing> m_ring;
  std::unique_ptr<CSound3DBuffer> m_3d;

  std::mutex m_mutex;
  CBufferCursor m_cursor;
  LONG m_volume = DSBVOLUME_MAX;
  LONG m_pan = DSBPAN_CENTER;
  std::list<LockedRegion> m_locked;
  bool m_lost = false;
  DWORD m_location = 0;  // DSBCAPS_LOCHARDWARE or DSBCAPS_LOCSOFTWARE once it has a voice
  uint32_t m_generation = 0;
  uint64_t m_fedFrames = 0;
};
