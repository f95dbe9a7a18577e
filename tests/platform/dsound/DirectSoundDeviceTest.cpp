#include <string>
#include <utility>
#include <vector>

#include "DirectSoundFixture.h"

namespace {

struct Enumerated {
  std::vector<std::pair<bool, std::string>> devices;  // has GUID, description
  std::vector<GUID> guids;
  size_t stopAfter = 100;
};

BOOL Collect(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context) {
  auto* seen = static_cast<Enumerated*>(context);
  seen->devices.emplace_back(guid != nullptr, description);
  if (guid) seen->guids.push_back(*guid);
  return seen->devices.size() < seen->stopAfter;
}

}  // namespace

using DirectSoundDeviceTest = DirectSoundFixture;

TEST_F(DirectSoundDeviceTest, EnumerationListsTheDefaultThenEachOutputAndCreatesByGuid) {
  const char* names[] = {"Speakers", "Headphones"};
  ZkTestSoundSetDevices(names, 2);
  Enumerated seen;
  ASSERT_EQ(DirectSoundEnumerateA(Collect, &seen), DS_OK);
  ASSERT_EQ(seen.devices.size(), 3u);
  EXPECT_EQ(seen.devices[0], std::make_pair(false, std::string("Primary Sound Driver")));
  EXPECT_EQ(seen.devices[1], std::make_pair(true, std::string("Speakers")));
  EXPECT_EQ(seen.devices[2], std::make_pair(true, std::string("Headphones")));
  EXPECT_FALSE(seen.guids[0] == seen.guids[1]);

  IDirectSound8* second = nullptr;
  ASSERT_EQ(DirectSoundCreate8(&seen.guids[1], &second, nullptr), DS_OK);
  second->Release();
  ASSERT_EQ(DirectSoundCreate8(&DSDEVID_DefaultPlayback, &second, nullptr), DS_OK);
  second->Release();

  GUID unknown = seen.guids[0];
  unknown.Data1 ^= 1;
  EXPECT_EQ(DirectSoundCreate8(&unknown, &second, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(DirectSoundCreate8(nullptr, &second, reinterpret_cast<IUnknown*>(m_sound)),
            DSERR_NOAGGREGATION);
}

TEST_F(DirectSoundDeviceTest, EnumerationStopsWhenTheCallbackSaysSo) {
  const char* names[] = {"A", "B", "C"};
  ZkTestSoundSetDevices(names, 3);
  Enumerated seen;
  seen.stopAfter = 2;
  ASSERT_EQ(DirectSoundEnumerateA(Collect, &seen), DS_OK);
  EXPECT_EQ(seen.devices.size(), 2u);
  EXPECT_EQ(DirectSoundEnumerateA(nullptr, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundDeviceTest, CapsAreSoftwareOnlyUnlessATestSetsThem) {
  DSCAPS caps{};
  caps.dwSize = sizeof caps;
  ASSERT_EQ(m_sound->GetCaps(&caps), DS_OK);
  EXPECT_EQ(caps.dwPrimaryBuffers, 1u);
  EXPECT_EQ(caps.dwMaxHwMixingAllBuffers, 0u);
  EXPECT_EQ(caps.dwMaxSecondarySampleRate, static_cast<DWORD>(DSBFREQUENCY_MAX));

  DSCAPS card{};
  card.dwPrimaryBuffers = 1;
  card.dwMaxHwMixingAllBuffers = 4;
  card.dwMaxHw3DAllBuffers = 32;
  card.dwFreeHwMemBytes = 1 << 20;
  ZkTestSoundSetCaps(&card);
  ASSERT_EQ(m_sound->GetCaps(&caps), DS_OK);
  EXPECT_EQ(caps.dwSize, sizeof(DSCAPS));
  EXPECT_EQ(caps.dwMaxHwMixingAllBuffers, 4u);
  EXPECT_EQ(caps.dwMaxHw3DAllBuffers, 32u);
  EXPECT_EQ(caps.dwFreeHwMemBytes, 1u << 20);

  caps.dwSize = 92;
  EXPECT_EQ(m_sound->GetCaps(&caps), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_sound->GetCaps(nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundDeviceTest, CooperativeLevelNeedsAWindowAndAKnownLevel) {
  EXPECT_EQ(m_sound->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_sound->SetCooperativeLevel(kWindow, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_sound->SetCooperativeLevel(kWindow, 5), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_sound->SetCooperativeLevel(kWindow, DSSCL_PRIORITY), DS_OK);
}

TEST_F(DirectSoundDeviceTest, BadBufferDescriptionsAreRefused) {
  const WAVEFORMATEX stereo = Format(2);
  WAVEFORMATEX noChannels = stereo;
  noChannels.nChannels = 0;
  WAVEFORMATEX noAlign = stereo;
  noAlign.nBlockAlign = 0;
  WAVEFORMATEX wrongAlign = stereo;
  wrongAlign.nBlockAlign = 3;
  WAVEFORMATEX slow = Format(2, 16, 50);
  const WAVEFORMATEX deep = Format(2, 24);
  WAVEFORMATEX compressed = stereo;
  compressed.wFormatTag = 2;
  const struct {
    const char* what;
    DWORD flags;
    DWORD bytes;
    WAVEFORMATEX format;
    HRESULT expected;
  } cases[] = {
      {"zero channels", 0, 4096, noChannels, DSERR_INVALIDPARAM},
      {"zero block align", 0, 4096, noAlign, DSERR_INVALIDPARAM},
      {"block align not channels x bytes", 0, 4096, wrongAlign, DSERR_INVALIDPARAM},
      {"rate below the minimum", 0, 4096, slow, DSERR_INVALIDPARAM},
      {"24-bit samples", 0, 4096, deep, DSERR_BADFORMAT},
      {"not PCM", 0, 4096, compressed, DSERR_BADFORMAT},
      {"no data", 0, 0, stereo, DSERR_INVALIDPARAM},
      {"smaller than a frame", 0, 2, Format(2, 16), DSERR_INVALIDPARAM},
      {"larger than the maximum", 0, DSBSIZE_MAX + 1u, stereo, DSERR_INVALIDPARAM},
      {"stereo 3D", DSBCAPS_CTRL3D, 4096, stereo, DSERR_INVALIDPARAM},
      {"3D with pan", DSBCAPS_CTRL3D | DSBCAPS_CTRLPAN, 4096, Format(1), DSERR_INVALIDPARAM},
      {"both locations", DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE, 4096, stereo, DSERR_INVALIDPARAM},
      {"deferred with a location", DSBCAPS_LOCDEFER | DSBCAPS_LOCSOFTWARE, 4096, stereo, DSERR_INVALIDPARAM},
      {"hardware on a card without", DSBCAPS_LOCHARDWARE, 4096, stereo, DSERR_ALLOCATED},
  };
  for (const auto& c : cases) {
    IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(0x1);
    EXPECT_EQ(Create(c.flags, c.bytes, c.format, &buffer), c.expected) << c.what;
    EXPECT_EQ(buffer, nullptr) << c.what;
  }

  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwBufferBytes = 4096;
  IDirectSoundBuffer* buffer = nullptr;
  EXPECT_EQ(m_sound->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM) << "no format";
  desc.dwSize = 20;
  EXPECT_EQ(m_sound->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM) << "dwSize";
}

TEST_F(DirectSoundDeviceTest, TheOlderShortDescriptionStillCreatesABuffer) {
  WAVEFORMATEX format = Format(1);
  DSBUFFERDESC1 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_CTRLVOLUME;
  desc.dwBufferBytes = 4096;
  desc.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  ASSERT_EQ(m_sound->CreateSoundBuffer(reinterpret_cast<LPCDSBUFFERDESC>(&desc), &buffer, nullptr),
            DS_OK);
  DSBCAPS caps{};
  caps.dwSize = sizeof caps;
  ASSERT_EQ(buffer->GetCaps(&caps), DS_OK);
  EXPECT_EQ(caps.dwBufferBytes, 4096u);
  EXPECT_EQ(caps.dwFlags, static_cast<DWORD>(DSBCAPS_CTRLVOLUME | DSBCAPS_LOCSOFTWARE));
  buffer->Release();
}

TEST_F(DirectSoundDeviceTest, PrimaryBufferTakesTheOutputFormatAndGivesTheListenerWith3D) {
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_STICKYFOCUS;
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);

  const WAVEFORMATEX output = Format(2, 16, 44100);
  ASSERT_EQ(primary->SetFormat(&output), DS_OK);
  WAVEFORMATEX read{};
  DWORD written = 0;
  ASSERT_EQ(primary->GetFormat(&read, sizeof read, &written), DS_OK);
  EXPECT_EQ(written, sizeof(WAVEFORMATEX));
  EXPECT_EQ(std::memcmp(&read, &output, sizeof read), 0);
  WAVEFORMATEX noChannels = output;
  noChannels.nChannels = 0;
  EXPECT_EQ(primary->SetFormat(&noChannels), DSERR_INVALIDPARAM);

  void* listener = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, &listener), E_NOINTERFACE);
  EXPECT_EQ(listener, nullptr);
  primary->Release();

  desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_STICKYFOCUS | DSBCAPS_CTRL3D;
  ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, &listener), S_OK);
  ASSERT_NE(listener, nullptr);
  // One primary per device: asking again gives the same object.
  IDirectSoundBuffer* again = nullptr;
  ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &again, nullptr), DS_OK);
  EXPECT_EQ(again, primary);
  again->Release();
  primary->Release();
  // The listener keeps the device alive on its own.
  D3DVECTOR front{}, top{};
  EXPECT_EQ(static_cast<IDirectSound3DListener*>(listener)->GetOrientation(&front, &top), DS_OK);
  EXPECT_EQ(front.z, 1.0f);
  EXPECT_EQ(top.y, 1.0f);
  static_cast<IDirectSound3DListener*>(listener)->Release();

  desc.dwBufferBytes = 4096;
  EXPECT_EQ(m_sound->CreateSoundBuffer(&desc, &primary, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundDeviceTest, PrimaryFormatNeedsThePriorityLevel) {
  ASSERT_EQ(m_sound->SetCooperativeLevel(kWindow, DSSCL_NORMAL), DS_OK);
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  const WAVEFORMATEX output = Format(2);
  EXPECT_EQ(primary->SetFormat(&output), DSERR_PRIOLEVELNEEDED);
  primary->Release();
}

TEST(DirectSoundRealOutputTest, BuffersPlayThroughTheRealOutputOnTheSameClock) {
  // OpenAL's own output (the null driver in tests) with its pump thread, rather than loopback.
  ZkTestClockSetManual(0);
  IDirectSound8* sound = nullptr;
  ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DS_OK);
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;
  desc.dwBufferBytes = 22050 * 2;
  desc.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  ASSERT_EQ(sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  ZkTestClockAdvance(1'500'000);
  DWORD play = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
  EXPECT_EQ(play, 22050u);  // half way through the second turn
  EXPECT_FALSE(ZkTestSoundRender(nullptr, 0)) << "no loopback output is open";
  buffer->Release();
  sound->Release();
  ZkTestClockSetReal();
}
