#include "SoundSystem.h"

#include <atomic>
#include <mutex>
#include <optional>

#include "OpenALOutput.h"

namespace {

std::mutex g_mutex;
std::optional<std::vector<std::string>> g_testNames;
std::optional<DSCAPS> g_testCaps;
std::atomic<bool> g_failNextLock{false};
std::atomic<bool> g_failNextRestore{false};

// What a software-mixing sound card reports: every format, every rate, no hardware voices.
DSCAPS DefaultCaps() {
  DSCAPS caps{};
  caps.dwSize = sizeof(DSCAPS);
  caps.dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT |
                 DSCAPS_PRIMARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO |
                 DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
  caps.dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
  caps.dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
  caps.dwPrimaryBuffers = 1;
  return caps;
}

}  // namespace

std::vector<std::string> CSoundSystem::OutputNames() {
  {
    std::lock_guard lock(g_mutex);
    if (g_testNames) return *g_testNames;
  }
  return COpenALOutput::DeviceNames();
}

void CSoundSystem::SetOutputNames(const std::vector<std::string>* names) {
  std::lock_guard lock(g_mutex);
  if (names)
    g_testNames = *names;
  else
    g_testNames.reset();
}

GUID CSoundSystem::GuidOf(const std::string& name) {
  // FNV-1a of the name under a fixed prefix.
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : name) hash = (hash ^ c) * 0x100000001b3ull;
  GUID guid{static_cast<DWORD>(hash), static_cast<WORD>(hash >> 32), static_cast<WORD>(hash >> 48),
            {0x5A, 0x4B, 0x53, 0x4E, 0x44, 0x00, 0x00, 0x01}};
  return guid;
}

bool CSoundSystem::NameOfGuid(LPCGUID guid, std::string& name) {
  name.clear();
  if (!guid || *guid == DSDEVID_DefaultPlayback) return true;
  for (const std::string& candidate : OutputNames()) {
    if (GuidOf(candidate) == *guid) {
      name = candidate;
      return true;
    }
  }
  return false;
}

DSCAPS CSoundSystem::Caps() {
  std::lock_guard lock(g_mutex);
  return g_testCaps ? *g_testCaps : DefaultCaps();
}

void CSoundSystem::SetCaps(const DSCAPS* caps) {
  std::lock_guard lock(g_mutex);
  if (caps) {
    g_testCaps = *caps;
    g_testCaps->dwSize = sizeof(DSCAPS);
  } else {
    g_testCaps.reset();
  }
}

void CSoundSystem::FailNextLock() { g_failNextLock = true; }

bool CSoundSystem::TakeLockFailure() { return g_failNextLock.exchange(false); }

void CSoundSystem::FailNextRestore() { g_failNextRestore = true; }

bool CSoundSystem::TakeRestoreFailure() { return g_failNextRestore.exchange(false); }
