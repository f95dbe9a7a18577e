#include "WaveOutDevice.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <system_error>

#include "OpenALOutput.h"
#include "SoundSystem.h"
#include "zkplatform/ZkClock.h"

namespace {

std::mutex g_devicesMutex;
std::map<HWAVEOUT, std::shared_ptr<CWaveOutDevice>> g_devices;

// Devices still open when the process ends are closed before the list goes: their callbacks
// may still look handles up, and find none.
class WaveOutExitGuard {
 public:
  ~WaveOutExitGuard() {
    std::map<HWAVEOUT, std::shared_ptr<CWaveOutDevice>> open;
    {
      std::lock_guard lock(g_devicesMutex);
      open.swap(g_devices);
    }
    open.clear();
  }
} g_exitGuard;

// How long the callback thread waits at most before it looks at the clock again: a manual
// clock moves without telling anyone.
constexpr uint64_t kPollMicros = 5000;

}  // namespace

MMRESULT CWaveOutDevice::Open(UINT deviceId, const WAVEFORMATEX& format, DWORD_PTR callback,
                              DWORD_PTR instance, DWORD flags, HWAVEOUT* handle) {
  if (CPcmFormat::Validate(format) != CPcmFormat::Check::Valid) return WAVERR_BADFORMAT;
  const std::vector<std::string> names = CSoundSystem::OutputNames();
  if (deviceId != WAVE_MAPPER && deviceId >= names.size()) return MMSYSERR_BADDEVICEID;
  const DWORD callbackType = flags & CALLBACK_TYPEMASK;
  // Window, thread and event notification are not offered; a function or nothing is.
  if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION) return MMSYSERR_NOTSUPPORTED;
  if (callbackType == CALLBACK_FUNCTION && !callback) return MMSYSERR_INVALPARAM;
  if (flags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
  if (!handle) return MMSYSERR_INVALPARAM;

  std::shared_ptr<COpenALOutput> output =
      COpenALOutput::Acquire(deviceId == WAVE_MAPPER ? std::string() : names[deviceId]);
  if (!output) return MMSYSERR_NODRIVER;
  auto device = std::make_shared<CWaveOutDevice>(
      output, format, callbackType == CALLBACK_FUNCTION ? reinterpret_cast<LPWAVEOUTPROC>(callback) : nullptr,
      instance);
  try {
    device->Start();
  } catch (const std::system_error&) {
    return MMSYSERR_NOMEM;  // no thread to call back from
  }
  {
    std::lock_guard lock(g_devicesMutex);
    g_devices[device->Handle()] = device;
  }
  *handle = device->Handle();
  return MMSYSERR_NOERROR;
}

std::shared_ptr<CWaveOutDevice> CWaveOutDevice::FromHandle(HWAVEOUT handle) {
  std::lock_guard lock(g_devicesMutex);
  auto found = g_devices.find(handle);
  return found == g_devices.end() ? nullptr : found->second;
}

CWaveOutDevice::CWaveOutDevice(std::shared_ptr<COpenALOutput> output, const WAVEFORMATEX& format,
                               LPWAVEOUTPROC callback, DWORD_PTR instance)
    : m_output(std::move(output)), m_pcm(format), m_callback(callback), m_instance(instance) {}

void CWaveOutDevice::Start() {
  m_messages.push_back({WOM_OPEN, nullptr});
  m_thread = std::thread(&CWaveOutDevice::CallbackThread, this);
  m_output->AddVoice(this);
}

CWaveOutDevice::~CWaveOutDevice() {
  m_output->RemoveVoice(this);
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

MMRESULT CWaveOutDevice::Prepare(WAVEHDR* header, UINT headerSize) {
  if (!header || headerSize < sizeof(WAVEHDR) || !header->lpData) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(m_mutex);
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT CWaveOutDevice::Unprepare(WAVEHDR* header, UINT headerSize) {
  if (!header || headerSize < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(m_mutex);
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

uint64_t CWaveOutDevice::EndTimeLocked(uint64_t frames) const {
  // Rounded up, so that a block is never done before its last frame has played.
  return m_anchorTime + (frames * 1000000u + m_pcm.Rate() - 1) / m_pcm.Rate();
}

MMRESULT CWaveOutDevice::Write(WAVEHDR* header, UINT headerSize) {
  if (!header || headerSize < sizeof(WAVEHDR) || !header->lpData) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(m_mutex);
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  const uint64_t now = ZkClockMicroseconds();
  if (m_queue.empty() && EndTimeLocked(m_queuedFrames) <= now) {
    // The device ran dry: this block starts now, and what was left unfed is stale.
    m_anchorTime = now;
    m_queuedFrames = 0;
    m_audio.clear();
    m_audioFrame = 0;
    ++m_generation;
  }
  // A trailing part of a frame cannot be played.
  const uint64_t frames = header->dwBufferLength / m_pcm.BlockAlign();
  const auto* data = reinterpret_cast<const uint8_t*>(header->lpData);
  m_audio.insert(m_audio.end(), data, data + frames * m_pcm.BlockAlign());
  m_queuedFrames += frames;
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  m_queue.push_back({header, EndTimeLocked(m_queuedFrames)});
  m_wake.notify_all();
  return MMSYSERR_NOERROR;
}

void CWaveOutDevice::FinishDueLocked(uint64_t now) {
  while (!m_queue.empty() && m_queue.front().endTime <= now) {
    WAVEHDR* header = m_queue.front().header;
    m_queue.pop_front();
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    m_messages.push_back({WOM_DONE, header});
  }
}

MMRESULT CWaveOutDevice::Reset() {
  std::unique_lock lock(m_mutex);
  for (const Block& block : m_queue) {
    block.header->dwFlags = (block.header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    m_messages.push_back({WOM_DONE, block.header});
  }
  m_queue.clear();
  m_audio.clear();
  m_audioFrame = 0;
  m_anchorTime = ZkClockMicroseconds();
  m_queuedFrames = 0;
  ++m_generation;
  if (OnCallbackThread()) return MMSYSERR_NOERROR;
  const uint64_t ticket = ++m_resetRequested;
  m_wake.notify_all();
  m_done.wait(lock, [&] { return m_resetDone >= ticket || m_stopping; });
  return MMSYSERR_NOERROR;
}

MMRESULT CWaveOutDevice::Close() {
  {
    std::lock_guard lock(m_mutex);
    if (!m_queue.empty()) return WAVERR_STILLPLAYING;
  }
  // The callback thread cannot wait for its own end.
  if (OnCallbackThread()) return MMSYSERR_NOTSUPPORTED;
  // Callbacks still to come may use the handle, so it stays open until they have run.
  Sync();
  std::shared_ptr<CWaveOutDevice> self;
  {
    std::lock_guard lock(g_devicesMutex);
    auto found = g_devices.find(Handle());
    if (found == g_devices.end()) return MMSYSERR_INVALHANDLE;
    self = std::move(found->second);
    g_devices.erase(found);
  }
  {
    std::lock_guard lock(m_mutex);
    m_messages.push_back({WOM_CLOSE, nullptr});
    m_stopping = true;
  }
  m_wake.notify_all();
  // The thread delivers WOM_CLOSE before it ends; the object goes with the last reference.
  m_thread.join();
  return MMSYSERR_NOERROR;
}

DWORD CWaveOutDevice::Volume() {
  std::lock_guard lock(m_mutex);
  return m_volume;
}

void CWaveOutDevice::SetVolume(DWORD volume) {
  std::lock_guard lock(m_mutex);
  m_volume = volume;
}

bool CWaveOutDevice::Sync() {
  if (OnCallbackThread()) return false;
  std::unique_lock lock(m_mutex);
  if (m_stopping) return false;
  const uint64_t ticket = ++m_syncRequested;
  m_wake.notify_all();
  m_done.wait(lock, [&] { return m_syncDone >= ticket || m_stopping; });
  return m_syncDone >= ticket;
}

void CWaveOutDevice::CallbackThread() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    const uint64_t syncSeen = m_syncRequested;
    const uint64_t resetSeen = m_resetRequested;
    // Callbacks may write blocks that are already due; go on until nothing is left to do.
    for (;;) {
      FinishDueLocked(ZkClockMicroseconds());
      if (m_messages.empty()) break;
      const Message message = m_messages.front();
      m_messages.pop_front();
      if (!m_callback) continue;
      lock.unlock();
      m_callback(Handle(), message.message, m_instance, reinterpret_cast<DWORD_PTR>(message.header), 0);
      lock.lock();
    }
    m_syncDone = syncSeen;
    m_resetDone = resetSeen;
    m_done.notify_all();
    if (m_stopping) break;
    uint64_t wait = kPollMicros;
    if (!m_queue.empty()) {
      const uint64_t now = ZkClockMicroseconds();
      const uint64_t due = m_queue.front().endTime;
      wait = std::min(wait, due > now ? due - now : 0);
    }
    m_wake.wait_for(lock, std::chrono::microseconds(wait), [&] {
      return m_stopping || !m_messages.empty() || m_syncRequested != syncSeen ||
             m_resetRequested != resetSeen;
    });
  }
}

void CWaveOutDevice::Feed(uint64_t now, uint64_t leadMicros, SoundVoiceFeed& feed) {
  std::lock_guard lock(m_mutex);
  feed.generation = m_generation;
  feed.rate = m_pcm.Rate();
  feed.channels = 2;
  feed.gain = 1.0f;
  feed.positional = false;
  feed.playing = !m_audio.empty();
  const uint64_t until = now + leadMicros;
  const uint64_t dueFrames =
      until > m_anchorTime ? (until - m_anchorTime) * m_pcm.Rate() / 1000000u : 0;
  const uint64_t available = m_audio.size() / m_pcm.BlockAlign();
  const uint64_t count = dueFrames > m_audioFrame ? std::min(dueFrames - m_audioFrame, available) : 0;
  if (count == 0) return;
  const float left = (m_volume & 0xFFFF) / 65535.0f;
  const float right = (m_volume >> 16) / 65535.0f;
  uint8_t frame[4];
  feed.samples.reserve(count * 2);
  for (uint64_t i = 0; i < count; ++i) {
    std::copy_n(m_audio.begin(), m_pcm.BlockAlign(), frame);
    m_audio.erase(m_audio.begin(), m_audio.begin() + m_pcm.BlockAlign());
    m_pcm.AppendFrame(frame, 2, left, right, feed.samples);
  }
  m_audioFrame += count;
}
