// The sound layer's test controls.
#include <string>
#include <vector>

#include "OpenALOutput.h"
#include "SoundSystem.h"
#include "WaveOutDevice.h"
#include "zktest/ZkTestSound.h"

void ZkTestSoundSetDevices(const char* const* names, uint32_t count) {
  if (!names) {
    CSoundSystem::SetOutputNames(nullptr);
    return;
  }
  std::vector<std::string> list;
  for (uint32_t i = 0; i < count; ++i) list.emplace_back(names[i] ? names[i] : "");
  CSoundSystem::SetOutputNames(&list);
}

void ZkTestSoundSetCaps(const DSCAPS* caps) { CSoundSystem::SetCaps(caps); }

void ZkTestSoundFailNextLock() { CSoundSystem::FailNextLock(); }

void ZkTestSoundFailNextRestore() { CSoundSystem::FailNextRestore(); }

void ZkTestSoundUseLoopback(bool loopback) { COpenALOutput::SetLoopbackMode(loopback); }

bool ZkTestSoundRender(float* stereo, uint32_t frames) {
  std::shared_ptr<COpenALOutput> output = COpenALOutput::Loopback();
  return output && output->Render(stereo, frames);
}

bool ZkTestSoundWaveOutSync(HWAVEOUT device) {
  auto open = CWaveOutDevice::FromHandle(device);
  return open && open->Sync();
}
