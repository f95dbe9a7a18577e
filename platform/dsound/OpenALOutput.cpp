#define AL_ALEXT_PROTOTYPES
#include "OpenALOutput.h"

#include <AL/al.h>
#include <AL/alext.h>

#include <chrono>
#include <cstring>
#include <map>
#include <system_error>

#include "OpenALVoice.h"
#include "zkplatform/ZkClock.h"

namespace {

constexpr auto kPumpPeriod = std::chrono::milliseconds(10);
const char* const kLoopbackKey = "\x01loopback";

std::mutex g_registryMutex;
std::map<std::string, std::weak_ptr<COpenALOutput>> g_outputs;
bool g_loopbackMode = false;

// Makes a context current on this thread only, and puts back what was there.
class ThreadContext {
 public:
  explicit ThreadContext(ALCcontext* context) : m_previous(alcGetThreadContext()) {
    alcSetThreadContext(context);
  }
  ~ThreadContext() { alcSetThreadContext(m_previous); }
  ThreadContext(const ThreadContext&) = delete;
  ThreadContext& operator=(const ThreadContext&) = delete;

 private:
  ALCcontext* m_previous;
};

}  // namespace

// Devices that a program never releases live until the process ends. Their pump threads must
// stop before OpenAL Soft shuts down, which happens after this library's own clean-up.
class COpenALOutput::ExitGuard {
 public:
  ~ExitGuard() {
    std::vector<std::shared_ptr<COpenALOutput>> live;
    {
      std::lock_guard lock(g_registryMutex);
      for (auto& [key, output] : g_outputs)
        if (auto alive = output.lock()) live.push_back(std::move(alive));
    }
    for (auto& output : live) output->StopPump();
  }
};

namespace {
COpenALOutput::ExitGuard g_exitGuard;
}  // namespace

std::vector<std::string> COpenALOutput::DeviceNames() {
  std::vector<std::string> names;
  const bool all = alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT");
  const ALCchar* list = alcGetString(nullptr, all ? ALC_ALL_DEVICES_SPECIFIER : ALC_DEVICE_SPECIFIER);
  // A list of texts, each terminated, ending with an empty one.
  for (const ALCchar* name = list; name && *name; name += std::strlen(name) + 1)
    names.emplace_back(name);
  return names;
}

void COpenALOutput::SetLoopbackMode(bool loopback) {
  std::lock_guard lock(g_registryMutex);
  g_loopbackMode = loopback;
}

std::shared_ptr<COpenALOutput> COpenALOutput::Loopback() {
  std::lock_guard lock(g_registryMutex);
  auto found = g_outputs.find(kLoopbackKey);
  return found == g_outputs.end() ? nullptr : found->second.lock();
}

std::shared_ptr<COpenALOutput> COpenALOutput::Acquire(const std::string& deviceName) {
  std::lock_guard lock(g_registryMutex);
  const std::string key = g_loopbackMode ? kLoopbackKey : deviceName;
  if (auto existing = g_outputs[key].lock()) return existing;

  ALCdevice* device = nullptr;
  std::vector<ALCint> attributes;
  if (g_loopbackMode) {
    device = alcLoopbackOpenDeviceSOFT(nullptr);
    attributes = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                  ALC_FREQUENCY, static_cast<ALCint>(kLoopbackRate), ALC_HRTF_SOFT, ALC_FALSE,
                  ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE};
  } else {
    device = alcOpenDevice(deviceName.empty() ? nullptr : deviceName.c_str());
  }
  if (!device) return nullptr;
  attributes.push_back(0);
  ALCcontext* context = alcCreateContext(device, attributes.data());
  if (!context) {
    alcCloseDevice(device);
    return nullptr;
  }
  std::shared_ptr<COpenALOutput> output(new COpenALOutput(device, context, g_loopbackMode));
  if (!output->m_loopback) {
    try {
      output->m_thread = std::thread(&COpenALOutput::PumpThread, output.get());
    } catch (const std::system_error&) {
      return nullptr;  // the output closes again as it goes
    }
  }
  g_outputs[key] = output;
  return output;
}

COpenALOutput::COpenALOutput(ALCdevice* device, ALCcontext* context, bool loopback)
    : m_device(device), m_context(context), m_loopback(loopback) {
  {
    ThreadContext current(m_context);
    // DirectSound's rolloff: gain = min distance / distance, held beyond the max distance.
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  }
}

void COpenALOutput::StopPump() {
  {
    std::lock_guard lock(m_threadMutex);
    if (!m_thread.joinable()) return;
    m_stopping = true;
  }
  m_wake.notify_all();
  m_thread.join();
}

COpenALOutput::~COpenALOutput() {
  StopPump();
  {
    std::lock_guard lock(m_mutex);
    ThreadContext current(m_context);
    m_voices.clear();
  }
  alcDestroyContext(m_context);
  alcCloseDevice(m_device);
}

void COpenALOutput::AddVoice(ISoundVoiceSource* source) {
  std::lock_guard lock(m_mutex);
  ThreadContext current(m_context);
  m_voices.push_back(std::make_unique<COpenALVoice>(source));
}

void COpenALOutput::RemoveVoice(ISoundVoiceSource* source) {
  std::lock_guard lock(m_mutex);
  ThreadContext current(m_context);
  std::erase_if(m_voices, [source](const auto& voice) { return voice->Source() == source; });
}

void COpenALOutput::SetListener(const SoundListenerState& listener) {
  std::lock_guard lock(m_mutex);
  m_listener = listener;
  m_listenerDirty = true;
}

uint64_t COpenALOutput::LeadMicros() const {
  // The loopback device mixes only what a test renders, so it needs nothing ahead.
  return m_loopback ? 0 : kRealLeadMicros;
}

void COpenALOutput::Pump() {
  std::lock_guard lock(m_mutex);
  PumpLocked();
}

void COpenALOutput::PumpLocked() {
  ThreadContext current(m_context);
  if (m_listenerDirty) {
    alListenerfv(AL_POSITION, m_listener.position);
    alListenerfv(AL_VELOCITY, m_listener.velocity);
    const ALfloat orientation[6] = {m_listener.front[0], m_listener.front[1], m_listener.front[2],
                                    m_listener.top[0],   m_listener.top[1],   m_listener.top[2]};
    alListenerfv(AL_ORIENTATION, orientation);
    alDopplerFactor(m_listener.dopplerFactor);
    alSpeedOfSound(m_listener.speedOfSound);
    m_listenerDirty = false;
  }
  const uint64_t now = ZkClockMicroseconds();
  for (auto& voice : m_voices) voice->Pump(now, LeadMicros());
}

bool COpenALOutput::Render(float* out, uint32_t frames) {
  if (!m_loopback || !out) return false;
  std::lock_guard lock(m_mutex);
  PumpLocked();
  ThreadContext current(m_context);
  alcRenderSamplesSOFT(m_device, out, static_cast<ALCsizei>(frames));
  return true;
}

void COpenALOutput::PumpThread() {
  std::unique_lock lock(m_threadMutex);
  while (!m_stopping) {
    lock.unlock();
    Pump();
    lock.lock();
    m_wake.wait_for(lock, kPumpPeriod, [this] { return m_stopping; });
  }
}
