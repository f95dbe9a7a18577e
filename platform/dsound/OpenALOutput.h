#pragma once
// One OpenAL Soft device and context that DirectSound buffers and waveOut devices play through.
// A pump queues what each voice has due: a thread pumps every few milliseconds on a real device;
// on the loopback device used by tests, Render pumps and then mixes exactly the frames asked.
// Every OpenAL call is made under the output's lock with its context current on that thread, so
// the game's own OpenAL context is never disturbed.
#include <AL/alc.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SoundListenerState.h"
#include "SoundVoice.h"

class COpenALVoice;

class COpenALOutput {
 public:
  static constexpr uint32_t kLoopbackRate = 44100;
  // How far ahead of the play position a real device is fed: more than OpenAL Soft mixes ahead
  // of the speakers, so that a voice never runs dry between pumps. Buffers keep their write
  // cursor this far ahead, so nothing fed is rewritten afterwards.
  static constexpr uint64_t kRealLeadMicros = 100000;

  // The output for a device name (empty: the default device), shared while someone holds it;
  // null when the device cannot be opened. In loopback mode every name gets the one loopback
  // output.
  static std::shared_ptr<COpenALOutput> Acquire(const std::string& deviceName);
  // The output devices OpenAL offers.
  static std::vector<std::string> DeviceNames();
  // Chooses the loopback device for outputs opened from now on.
  static void SetLoopbackMode(bool loopback);
  // The loopback output if one is open.
  static std::shared_ptr<COpenALOutput> Loopback();

  class ExitGuard;

  ~COpenALOutput();
  COpenALOutput(const COpenALOutput&) = delete;
  COpenALOutput& operator=(const COpenALOutput&) = delete;

  // A source must be removed before it goes; neither call may be made while holding a lock that
  // the source's Feed takes.
  void AddVoice(ISoundVoiceSource* source);
  void RemoveVoice(ISoundVoiceSource* source);
  void SetListener(const SoundListenerState& listener);

  // How far ahead of the play position voices are fed.
  uint64_t LeadMicros() const;
  void Pump();
  // Loopback only: pumps, then mixes `frames` stereo float frames into `out`.
  bool Render(float* out, uint32_t frames);

 private:
  COpenALOutput(ALCdevice* device, ALCcontext* context, bool loopback);
  void PumpLocked();
  void PumpThread();
  void StopPump();

  std::mutex m_mutex;
  ALCdevice* m_device;
  ALCcontext* m_context;
  bool m_loopback;
  std::vector<std::unique_ptr<COpenALVoice>> m_voices;
  SoundListenerState m_listener;
  bool m_listenerDirty = true;
  std::mutex m_threadMutex;
  std::condition_variable m_wake;
  bool m_stopping = false;
  std::thread m_thread;
};
