#include "sound/WaveOutput.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "sound/Tonaris.h"

namespace {

constexpr DWORD kOutputRate = 44100;
constexpr WORD kChannels = 2;
constexpr WORD kBitsPerSample = 16;
constexpr WORD kBlockAlign = kChannels * kBitsPerSample / 8;
// One decode request while gathering.
constexpr int kGatherRequest = 8192;
// How long a close waits for the device to give its blocks back, in steps of 100 ms; a device
// that stopped calling back is reset after that.
constexpr int kCloseWaitSteps = 10;
constexpr DWORD kCloseWaitStep = 100;

}  // namespace

CWaveOutput::CWaveOutput(CTonaris* server) : m_pServer(server) {}

CWaveOutput::~CWaveOutput() { CloseWaveOut(); }

UINT CWaveOutput::OpenWaveOut(UINT device, UINT rate) {
  if (m_hWaveOut || (rate != 44100 && rate != 22050)) return 0;
  // The output is 44100 Hz whatever the rate asked for.
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, kChannels, kOutputRate, kOutputRate * kBlockAlign,
                         kBlockAlign, kBitsPerSample, 0};
  HWAVEOUT handle = nullptr;
  if (waveOutOpen(&handle, device, &format, reinterpret_cast<DWORD_PTR>(&WaveOutCallback),
                  reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
    return 0;
  waveOutReset(handle);
  InitializeCriticalSection(&m_Lock);
  m_bLockMade = true;
  m_hWaveOut = handle;
  return 1;
}

UINT CWaveOutput::CloseWaveOut() {
  if (!m_hWaveOut) return 0;
  for (int step = 0; step < kCloseWaitSteps && m_iQueuedBlocks > 0; ++step) Sleep(kCloseWaitStep);
  // Gives back every block still queued, through the callback.
  waveOutReset(m_hWaveOut);
  waveOutClose(m_hWaveOut);
  m_hWaveOut = nullptr;
  if (m_bLockMade) DeleteCriticalSection(&m_Lock);
  m_bLockMade = false;
  return 1;
}

UINT CWaveOutput::Gather() {
  TonarisStream* first = m_pServer->GetFirstStream();
  if (!first) return 0;
  UINT gathered = 0;
  while (gathered < kBlockBytes) {
    const UINT count = first->DecodeData(m_aMixingBuffer + gathered, kGatherRequest);
    if (count == 0) break;
    gathered += std::min<UINT>(count, kGatherRequest);
  }
  return gathered;
}

void CWaveOutput::FillWaveOut() {
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  while (m_hWaveOut && m_pServer->IsRunning() && m_iQueuedBlocks < kMaxQueuedBlocks) {
    // A sound that yields less than a block (or nothing: a wave sound never decodes) is padded
    // with silence, so that every pass queues a block and the device keeps calling back.
    UINT size = Gather();
    if (size < kBlockBytes) {
      std::memset(m_aMixingBuffer + size, 0, kBlockBytes - size);
      size = kBlockBytes;
    }
    if (!WriteWaveOutBlock(m_aMixingBuffer, size)) return;
  }
}

UINT CWaveOutput::WriteWaveOutBlock(const BYTE* data, UINT size) {
  if (!m_hWaveOut || !data || size == 0) return 0;
  HGLOBAL samples = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size);
  if (!samples) return 0;
  HGLOBAL headerBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, sizeof(WAVEHDR));
  if (!headerBlock) {
    GlobalFree(samples);
    return 0;
  }
  auto* bytes = static_cast<BYTE*>(GlobalLock(samples));
  auto* header = static_cast<WAVEHDR*>(GlobalLock(headerBlock));
  std::memcpy(bytes, data, size);
  header->lpData = reinterpret_cast<LPSTR>(bytes);
  header->dwBufferLength = size;

  EnterCriticalSection(&m_Lock);
  bool queued = false;
  if (waveOutPrepareHeader(m_hWaveOut, header, sizeof *header) == MMSYSERR_NOERROR) {
    queued = waveOutWrite(m_hWaveOut, header, sizeof *header) == MMSYSERR_NOERROR;
    if (queued)
      ++m_iQueuedBlocks;
    else
      waveOutUnprepareHeader(m_hWaveOut, header, sizeof *header);
  }
  LeaveCriticalSection(&m_Lock);
  if (!queued) {
    FreeBlock(header);
    return 0;
  }
  return size;
}

void CWaveOutput::FreeBlock(WAVEHDR* header) {
  HGLOBAL samples = GlobalHandle(header->lpData);
  GlobalUnlock(samples);
  GlobalFree(samples);
  HGLOBAL headerBlock = GlobalHandle(header);
  GlobalUnlock(headerBlock);
  GlobalFree(headerBlock);
}

void CWaveOutput::WaveOutCallback(HWAVEOUT device, UINT message, DWORD_PTR output,
                                  DWORD_PTR header, DWORD_PTR) {
  if (message != WOM_DONE) return;
  auto* self = reinterpret_cast<CWaveOutput*>(output);
  auto* done = reinterpret_cast<WAVEHDR*>(header);
  EnterCriticalSection(&self->m_Lock);
  waveOutUnprepareHeader(device, done, sizeof *done);
  FreeBlock(done);
  --self->m_iQueuedBlocks;
  LeaveCriticalSection(&self->m_Lock);
  self->FillWaveOut();
}

DWORD CWaveOutput::GetWaveOutVolume() {
  DWORD volume = 0xFFFFFFFF;
  if (waveOutGetVolume(m_hWaveOut, &volume) != MMSYSERR_NOERROR) volume = 0xFFFFFFFF;
  return volume;
}

void CWaveOutput::SetWaveOutVolume(DWORD volume) { waveOutSetVolume(m_hWaveOut, volume); }
