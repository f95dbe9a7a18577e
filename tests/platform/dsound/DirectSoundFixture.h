#pragma once
// A DirectSound device on the loopback output, with the platform clock stopped: cursors move
// only when a test advances the clock, and what was played is read back by rendering.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dsound.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestSound.h"

class DirectSoundFixture : public ::testing::Test {
 protected:
  static constexpr uint32_t kRate = 44100;
  static inline HWND const kWindow = reinterpret_cast<HWND>(0x1);

  void SetUp() override {
    ZkTestClockSetManual(1'000'000);
    ZkTestSoundUseLoopback(true);
    ASSERT_EQ(DirectSoundCreate8(nullptr, &m_sound, nullptr), DS_OK);
    ASSERT_EQ(m_sound->SetCooperativeLevel(kWindow, DSSCL_EXCLUSIVE), DS_OK);
  }

  void TearDown() override {
    for (IUnknown* object : m_owned) object->Release();
    if (m_sound) m_sound->Release();
    ZkTestSoundUseLoopback(false);
    ZkTestSoundSetCaps(nullptr);
    ZkTestSoundSetDevices(nullptr, 0);
    ZkTestClockSetReal();
  }

  static WAVEFORMATEX Format(WORD channels, WORD bits = 16, DWORD rate = kRate) {
    const WORD align = static_cast<WORD>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
  }

  HRESULT Create(DWORD flags, DWORD bytes, WAVEFORMATEX format, IDirectSoundBuffer** out) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &format;
    *out = nullptr;
    const HRESULT result = m_sound->CreateSoundBuffer(&desc, out, nullptr);
    if (*out) m_owned.push_back(*out);
    return result;
  }

  // A buffer that the test owns until TearDown.
  IDirectSoundBuffer* Buffer(DWORD flags, DWORD bytes, WAVEFORMATEX format) {
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(Create(flags, bytes, format, &buffer), DS_OK);
    return buffer;
  }

  // Fills the whole of a 16-bit buffer with one sample value.
  static void Fill(IDirectSoundBuffer* buffer, int16_t value) {
    void* part = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    auto* samples = static_cast<int16_t*>(part);
    for (DWORD i = 0; i < bytes / 2; ++i) samples[i] = value;
    ASSERT_EQ(buffer->Unlock(part, bytes, nullptr, 0), DS_OK);
  }

  static DWORD PlayCursor(IDirectSoundBuffer* buffer) {
    DWORD play = 0xDEAD, write = 0xDEAD;
    EXPECT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    return play;
  }

  static DWORD Status(IDirectSoundBuffer* buffer) {
    DWORD status = 0xDEAD;
    EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
    return status;
  }

  static void Advance(uint64_t microseconds) { ZkTestClockAdvance(microseconds); }

  // Peak level of each side over the last `measured` of `frames` rendered frames (the start of
  // a render may carry OpenAL's gain ramps).
  struct Levels {
    float left;
    float right;
  };
  static Levels Render(uint32_t frames, uint32_t measured) {
    std::vector<float> mix(static_cast<size_t>(frames) * 2);
    EXPECT_TRUE(ZkTestSoundRender(mix.data(), frames));
    Levels peak{0, 0};
    for (uint32_t i = frames - measured; i < frames; ++i) {
      peak.left = std::max(peak.left, std::fabs(mix[2 * i]));
      peak.right = std::max(peak.right, std::fabs(mix[2 * i + 1]));
    }
    return peak;
  }
  // Advances the clock by `frames` and renders them.
  static Levels PlayFor(uint32_t frames) {
    Advance(static_cast<uint64_t>(frames) * 1'000'000 / kRate);
    return Render(frames, frames / 2);
  }

  IDirectSound8* m_sound = nullptr;
  std::vector<IUnknown*> m_owned;
};
