#pragma once
// One open waveOut device. Written blocks play back to back on the platform clock: a block is
// done when the clock passes its end, and the device's own thread then marks it done and calls
// the program's callback with WOM_DONE, in order. Callbacks may call the waveOut functions. The
// samples are copied at write time and fed to the OpenAL output as they come due.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "PcmFormat.h"
#include "SoundVoice.h"
#include "mmsystem.h"

class COpenALOutput;

class CWaveOutDevice final : public ISoundVoiceSource {
 public:
  static MMRESULT Open(UINT deviceId, const WAVEFORMATEX& format, DWORD_PTR callback,
                       DWORD_PTR instance, DWORD flags, HWAVEOUT* handle);
  // The open device behind a handle, or null.
  static std::shared_ptr<CWaveOutDevice> FromHandle(HWAVEOUT handle);

  CWaveOutDevice(std::shared_ptr<COpenALOutput> output, const WAVEFORMATEX& format,
                 LPWAVEOUTPROC callback, DWORD_PTR instance);
  ~CWaveOutDevice();
  CWaveOutDevice(const CWaveOutDevice&) = delete;
  CWaveOutDevice& operator=(const CWaveOutDevice&) = delete;

  MMRESULT Prepare(WAVEHDR* header, UINT headerSize);
  MMRESULT Unprepare(WAVEHDR* header, UINT headerSize);
  MMRESULT Write(WAVEHDR* header, UINT headerSize);
  // Every queued block is done at once, and its WOM_DONE is called before this returns (or,
  // called from a callback, right after that callback).
  MMRESULT Reset();
  MMRESULT Close();
  DWORD Volume();
  void SetVolume(DWORD volume);
  // Returns once every block due by the clock has been finished and called back.
  bool Sync();

  void Feed(uint64_t now, uint64_t leadMicros, SoundVoiceFeed& feed) override;

 private:
  struct Block {
    WAVEHDR* header;
    uint64_t endTime;
  };
  struct Message {
    UINT message;
    WAVEHDR* header;
  };

  HWAVEOUT Handle() { return reinterpret_cast<HWAVEOUT>(this); }
  bool OnCallbackThread() const { return std::this_thread::get_id() == m_thread.get_id(); }
  uint64_t EndTimeLocked(uint64_t frames) const;
  void FinishDueLocked(uint64_t now);
  void CallbackThread();
  void Start();

  const std::shared_ptr<COpenALOutput> m_output;
  const CPcmFormat m_pcm;
  const LPWAVEOUTPROC m_callback;
  const DWORD_PTR m_instance;

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_done;
  std::deque<Block> m_queue;
  std::deque<Message> m_messages;
  // Blocks play from the anchor time on, back to back; the anchor moves when the queue ran dry.
  uint64_t m_anchorTime = 0;
  uint64_t m_queuedFrames = 0;
  // Samples written and not yet fed, starting at this frame after the anchor.
  std::deque<uint8_t> m_audio;
  uint64_t m_audioFrame = 0;
  uint32_t m_generation = 0;
  DWORD m_volume = 0xFFFFFFFF;
  uint64_t m_syncRequested = 0;
  uint64_t m_syncDone = 0;
  uint64_t m_resetRequested = 0;
  uint64_t m_resetDone = 0;
  bool m_stopping = false;
  std::thread m_thread;
};
