#pragma once
// The engine's sound server. It opens a DirectSound 8 device with a 44100 Hz, 16-bit stereo
// primary buffer, decides between hardware and software mixing, keeps the list of the sounds
// LoadStream made (in load order) and runs the refill thread that tops up their buffers every
// 250 ms.
//
// The refill thread and the caller's thread share the list and the sounds' state: the list's
// walks, links and unlinks, and every sound operation that changes its state or refills, hold the
// stream lock (recursive, so that a sound may refill itself from inside an operation).
#include <dsound.h>
#include <mmsystem.h>

#include <atomic>
#include <mutex>

#include "TonarisInterface.h"
#include "sound/SoundDevice.h"
#include "sound/WaveOutput.h"

class CSoundLog;
class CTonarisListener;
class CVoiceManager;

class CTonaris : public TonarisInterface {
 public:
  // Sound file names are copied into a buffer of this size; longer ones are refused.
  static constexpr size_t kMaxStreamName = 256;
  // The refill thread's period.
  static constexpr DWORD kRefillPeriod = 250;
  // The fatal error when the server or one of its parts cannot be allocated.
  static constexpr const char* kOutOfMemoryTitle = "Error While Initializing ZeKorb";
  static constexpr const char* kOutOfMemoryText = "Can't Get Sound Interface";

  // The kinds of sound object, chosen by the file name's extension.
  enum StreamKind { kOggStream, kWaveStream, kMp3Stream };

  // A null window means the foreground window. `waveOutMode` chooses the multimedia waveOut
  // output instead of DirectSound; the factory always makes DirectSound servers.
  CTonaris(HWND window, UINT waveOutMode, UINT useLogs);
  virtual ~CTonaris();
  CTonaris(const CTonaris&) = delete;
  CTonaris& operator=(const CTonaris&) = delete;

  UINT Init(TonarisConfig* config) override;
  UINT GetGlobalVolume() override;
  void SetGlobalVolume(UINT volume) override;
  UINT Play() override;
  UINT Stop() override;
  UINT LoadStream(const char* name, TonarisStream** stream, UINT flags) override;
  UINT Deinit() override;
  UINT GetNumberOfDevices() override { return m_dwNumberOfDevices; }
  // The device queries answer 0 (or null) for an index at or beyond the number of devices.
  const char* GetDeviceName(UINT device) override;
  UINT GetDeviceFreeHw3DStaticBuffers(UINT device) override;
  UINT GetDeviceFreeHw3DStreamingBuffers(UINT device) override;
  UINT GetDeviceFreeHwStreamingBuffers(UINT device) override;
  UINT GetDeviceFreeHwStaticBuffers(UINT device) override;
  UINT GetDeviceFreeHwMemory(UINT device) override;
  UINT GetDeviceCapsValid(UINT device) override;
  TonarisListener* GetListenerInterface() override;
  UINT Apply() override;
  float GetDistanceFactor() override { return 1.0f; }
  float GetDopplerFactor() override { return 1.0f; }
  float GetRolloffFactor() override { return 1.0f; }
  UINT SetDistanceFactor(float) override { return 0; }
  UINT SetDopplerFactor(float) override { return 0; }
  UINT SetRolloffFactor(float) override { return 0; }

  // --- what the sounds and the refill thread use ---

  // Refills every playing sound while the server runs; returns the initialised flag.
  UINT UpdateStreams();
  // Wakes the refill thread and waits for it to end, then releases the primary buffer. 1.
  UINT StopSoundThread();
  static DWORD WINAPI SoundThreadProc(LPVOID server);

  // Takes a sound out of the list (its Release does this after stopping itself). A sound that
  // is not in the list changes nothing.
  void UnlinkStream(TonarisStream* stream);
  std::recursive_mutex& GetStreamLock() { return m_streamLock; }
  TonarisStream* GetFirstStream() const { return m_pFirstStream; }
  UINT GetNumberOfStreams() const { return m_dwNumberOfStreams; }

  CSoundLog* GetLog() const { return m_pLog; }
  IDirectSound8* GetDirectSound() const { return m_pDirectSound; }
  const WAVEFORMATEX& GetOutputFormat() const { return m_OutputFormat; }
  UINT IsSoftwareMixing() const { return m_dwSoftwareMixing; }
  UINT IsWaveOutMode() const { return m_dwWaveOutMode; }
  UINT IsInitialized() const { return m_dwInitialized; }
  UINT IsRunning() const { return m_dwRunning; }
  // Made by the DirectSound start-up; null before it and in waveOut mode.
  CVoiceManager* GetVoiceManager() const { return m_pVoiceManager; }
  // The open waveOut device; null in DirectSound mode or before Init.
  HWAVEOUT GetWaveOutHandle() const { return m_WaveOut.GetHandle(); }
  int GetQueuedWaveOutBlocks() const { return m_WaveOut.GetQueuedBlocks(); }
  // The flags the primary buffer was asked for; 0 before Init.
  DWORD GetPrimaryBufferFlags() const { return m_dwPrimaryFlags; }

  // The extension of a sound file name: the text after the first '.' from the second character
  // on, cut to three characters in place. Null when no such '.' exists.
  static char* GetStreamExtension(char* name);

 protected:
  // Makes the sound object of a kind; it reports through `success` whether it can play. Null
  // when no object could be made.
  virtual TonarisStream* CreateStream(StreamKind kind, const char* name, UINT flags,
                                      UINT& success);

 private:
  void EnumerateDirectSoundDevices();
  void EnumerateWaveOutDevices();
  static BOOL CountDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID server);
  static BOOL AddDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID server);
  void ReadDeviceCaps(SoundDevice& device);
  const SoundDevice* DeviceAt(UINT device) const;
  UINT DeviceCount(UINT device, DWORD SoundDevice::*count) const;

  bool StartDirectSound(const TonarisConfig& config, const SoundDevice& device);
  bool FailDirectSoundStep(const char* failure, HRESULT result);
  DWORD ChoosePrimaryFlags(const TonarisConfig& config, const SoundDevice& device);
  bool StartSoundThread();
  void ReleaseDirectSound();
  void AppendStream(TonarisStream* stream);


  TonarisStream* m_pFirstStream = nullptr;
  IDirectSound8* m_pDirectSound = nullptr;
  IDirectSoundBuffer* m_pPrimaryBuffer = nullptr;
  SoundDevice* m_pDevices = nullptr;
  UINT m_dwNumberOfDevices = 0;
  UINT m_dwDeviceCapacity = 0;  // records allocated; enumeration may not grow past it
  CSoundLog* m_pLog = nullptr;
  CTonarisListener* m_pListener = nullptr;
  CVoiceManager* m_pVoiceManager = nullptr;
  WAVEFORMATEX m_OutputFormat = {};
  HWND m_hWnd = nullptr;
  UINT m_dwNumberOfStreams = 0;
  DWORD m_dwThreadId = 0;
  HANDLE m_hThread = nullptr;
  HANDLE m_hThreadWake = nullptr;  // set to end the refill thread's wait early
  DWORD m_dwPrimaryFlags = 0;

  std::atomic<UINT> m_dwRunning{0};
  UINT m_dwWaveOutMode = 0;
  std::atomic<UINT> m_dwInitialized{0};
  UINT m_dwSoftwareMixing = 0;

  std::recursive_mutex m_streamLock;
  // Last: its callbacks use the lock and flags above until it is closed.
  CWaveOutput m_WaveOut{this};
};

// Makes a DirectSound server and stores it (or null when memory runs out) in `*server`; the
// second argument plays no part. Returns 1.
UINT CreateTonarisInterface(HWND window, UINT ignored, UINT useLogs, TonarisInterface** server);
