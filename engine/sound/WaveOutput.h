#pragma once
// The sound server's waveOut output: blocks of 16-bit stereo PCM gathered from the first sound
// of the server's list are queued on a waveOut device, and each block the device finishes is
// replaced from its completion callback, which runs on the device's own thread.
//
// Locks: gathering and queueing hold the server's stream lock (so the first sound cannot be
// released under the callback); preparing, writing, unpreparing and freeing blocks and the
// queued count's changes hold the critical section, always taken after the stream lock.
#include <mmsystem.h>
#include <windows.h>

#include <atomic>

class CTonaris;

class CWaveOutput {
 public:
  // Blocks the output keeps queued at most, and the size of a block.
  static constexpr int kMaxQueuedBlocks = 10;
  static constexpr UINT kBlockBytes = 4096;
  static constexpr UINT kMixingBytes = 32768;

  explicit CWaveOutput(CTonaris* server);
  ~CWaveOutput();
  CWaveOutput(const CWaveOutput&) = delete;
  CWaveOutput& operator=(const CWaveOutput&) = delete;

  // Opens `device` (-1: the wave mapper) for 44100 Hz 16-bit stereo; `rate` must be 44100 or
  // 22050. 1, or 0.
  UINT OpenWaveOut(UINT device, UINT rate);
  // Waits a while for the queued blocks to come back, takes back what is left and closes the
  // device. 1, or 0 when nothing was open.
  UINT CloseWaveOut();
  // Queues a copy of `size` bytes; the bytes queued, or 0.
  UINT WriteWaveOutBlock(const BYTE* data, UINT size);
  // Tops the queue up while the server runs.
  void FillWaveOut();
  static void WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR output, DWORD_PTR header,
                              DWORD_PTR param2);

  DWORD GetWaveOutVolume();
  void SetWaveOutVolume(DWORD volume);

  bool IsOpen() const { return m_hWaveOut != nullptr; }
  HWAVEOUT GetHandle() const { return m_hWaveOut; }
  int GetQueuedBlocks() const { return m_iQueuedBlocks; }

 private:
  // Gathers at least one block's worth from the first sound into the mixing buffer; the bytes
  // gathered (0 when there is no sound or it yields nothing).
  UINT Gather();
  static void FreeBlock(WAVEHDR* header);

  CTonaris* m_pServer;
  CRITICAL_SECTION m_Lock = {};
  bool m_bLockMade = false;
  HWAVEOUT m_hWaveOut = nullptr;
  std::atomic<int> m_iQueuedBlocks{0};
  BYTE m_aMixingBuffer[kMixingBytes] = {};
};
