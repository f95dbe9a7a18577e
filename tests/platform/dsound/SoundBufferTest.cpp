#include "DirectSoundFixture.h"

namespace {
// 0.1 s of 16-bit stereo at 44100 Hz: 4410 frames.
constexpr DWORD kFrames = 4410;
constexpr DWORD kBytes = kFrames * 4;
// Microseconds for a number of frames at 44100 Hz (whole for multiples of 441).
constexpr uint64_t Micros(uint64_t frames) { return frames * 1'000'000 / 44100; }
}  // namespace

using SoundBufferTest = DirectSoundFixture;

TEST_F(SoundBufferTest, LockSplitsARegionThatCrossesTheEnd) {
  IDirectSoundBuffer* buffer = Buffer(0, kBytes, Format(2));
  const struct {
    DWORD offset;
    DWORD bytes;
    DWORD flags;
    DWORD first;
    DWORD second;
  } cases[] = {
      {0, 1000, 0, 1000, 0},
      {kBytes - 400, 1000, 0, 400, 600},
      {kBytes - 4, kBytes, 0, 4, kBytes - 4},
      {1234, 7, DSBLOCK_ENTIREBUFFER, kBytes - 1234, 1234},
      {0, kBytes, 0, kBytes, 0},
  };
  uint8_t mark = 0;
  for (const auto& c : cases) {
    ++mark;
    void* p1 = nullptr;
    void* p2 = reinterpret_cast<void*>(0x1);
    DWORD b1 = 0, b2 = 0xDEAD;
    ASSERT_EQ(buffer->Lock(c.offset, c.bytes, &p1, &b1, &p2, &b2, c.flags), DS_OK) << c.offset;
    EXPECT_EQ(b1, c.first);
    EXPECT_EQ(b2, c.second);
    EXPECT_EQ(p2 == nullptr, c.second == 0);
    std::memset(p1, mark, b1);
    if (p2) std::memset(p2, mark + 100, b2);
    ASSERT_EQ(buffer->Unlock(p1, b1, p2, b2), DS_OK);

    // The first part landed at the offset, the second at the start of the buffer.
    void* all = nullptr;
    DWORD size = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &all, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    const auto* bytes = static_cast<const uint8_t*>(all);
    EXPECT_EQ(bytes[c.offset], mark);
    EXPECT_EQ(bytes[c.offset + c.first - 1], mark);
    if (c.second) {
      EXPECT_EQ(bytes[0], mark + 100);
      EXPECT_EQ(bytes[c.second - 1], mark + 100);
    }
    ASSERT_EQ(buffer->Unlock(all, 0, nullptr, 0), DS_OK);
  }

  // Without a second pointer the region stops at the end.
  void* p1 = nullptr;
  DWORD b1 = 0;
  ASSERT_EQ(buffer->Lock(kBytes - 400, 1000, &p1, &b1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(b1, 400u);
  // Unlocking more than was locked, or memory that was not locked.
  EXPECT_EQ(buffer->Unlock(p1, 401, nullptr, 0), DSERR_INVALIDPARAM);
  uint8_t elsewhere[16];
  EXPECT_EQ(buffer->Unlock(elsewhere, 16, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(p1, 400, nullptr, 0), DS_OK);
  EXPECT_EQ(buffer->Unlock(p1, 400, nullptr, 0), DSERR_INVALIDPARAM) << "already unlocked";

  // Regions that do not fit the buffer.
  void* p2 = nullptr;
  DWORD b2 = 0;
  EXPECT_EQ(buffer->Lock(kBytes, 4, &p1, &b1, &p2, &b2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, kBytes + 4, &p1, &b1, &p2, &b2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, 0, &p1, &b1, &p2, &b2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, 4, nullptr, &b1, &p2, &b2, 0), DSERR_INVALIDPARAM);
}

TEST_F(SoundBufferTest, UnlockKeepsOnlyTheBytesThatWereWritten) {
  IDirectSoundBuffer* buffer = Buffer(0, kBytes, Format(2));
  Fill(buffer, 0x0101);
  void* p1 = nullptr;
  DWORD b1 = 0;
  ASSERT_EQ(buffer->Lock(100, 100, &p1, &b1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(static_cast<uint8_t*>(p1)[0], 0x01) << "a locked region shows what the buffer holds";
  std::memset(p1, 0x22, b1);
  ASSERT_EQ(buffer->Unlock(p1, 40, nullptr, 0), DS_OK);
  ASSERT_EQ(buffer->Lock(100, 100, &p1, &b1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(static_cast<uint8_t*>(p1)[39], 0x22);
  EXPECT_EQ(static_cast<uint8_t*>(p1)[40], 0x01);
  ASSERT_EQ(buffer->Unlock(p1, 0, nullptr, 0), DS_OK);
}

TEST_F(SoundBufferTest, PlayCursorFollowsTheClockLoopingOrNot) {
  const struct {
    const char* what;
    bool looping;
    uint64_t advance;
    DWORD cursor;
    bool playing;
  } cases[] = {
      {"just started", false, 0, 0, true},
      {"half way", false, Micros(2205), 2205 * 4, true},
      {"rounds down to a whole frame", false, 1000, 44 * 4, true},
      {"one-shot ends and rewinds", false, Micros(kFrames), 0, false},
      {"one-shot long past its end", false, 5'000'000, 0, false},
      {"loop wraps", true, Micros(kFrames + 441), 441 * 4, true},
      {"loop after many turns", true, Micros(7 * kFrames + 882), 882 * 4, true},
  };
  for (const auto& c : cases) {
    IDirectSoundBuffer* buffer = Buffer(0, kBytes, Format(2));
    ASSERT_EQ(buffer->Play(0, 0, c.looping ? DSBPLAY_LOOPING : 0), DS_OK);
    Advance(c.advance);
    EXPECT_EQ(PlayCursor(buffer), c.cursor) << c.what;
    const DWORD expected =
        c.playing ? DSBSTATUS_PLAYING | (c.looping ? DSBSTATUS_LOOPING : 0) | DSBSTATUS_LOCSOFTWARE
                  : DSBSTATUS_LOCSOFTWARE;
    EXPECT_EQ(Status(buffer), expected) << c.what;
  }
}

TEST_F(SoundBufferTest, WriteCursorRunsAheadWhilePlayingAndMeetsThePlayCursorWhenStopped) {
  // 1 s, so that the write lead fits.
  IDirectSoundBuffer* buffer = Buffer(0, 44100 * 4, Format(2));
  DWORD play = 1, write = 1;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 0u);
  EXPECT_EQ(write, 0u);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(Micros(44100 - 441));
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, (44100u - 441) * 4);
  EXPECT_GT(write, 0u) << "the write cursor wraps with the ring";
  EXPECT_LT(write, play);
  // DSBLOCK_FROMWRITECURSOR starts where the write cursor is.
  ASSERT_EQ(buffer->Stop(), DS_OK);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  void* p1 = nullptr;
  DWORD b1 = 0;
  ASSERT_EQ(buffer->Lock(0, 4, &p1, &b1, nullptr, nullptr, DSBLOCK_FROMWRITECURSOR), DS_OK);
  std::memset(p1, 0x7F, b1);
  ASSERT_EQ(buffer->Unlock(p1, b1, nullptr, 0), DS_OK);
  ASSERT_EQ(buffer->Lock(write, 4, &p1, &b1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(static_cast<uint8_t*>(p1)[0], 0x7F);
  ASSERT_EQ(buffer->Unlock(p1, 0, nullptr, 0), DS_OK);
}

TEST_F(SoundBufferTest, StopFreezesTheCursorAndPlayGoesOnFromThere) {
  IDirectSoundBuffer* buffer = Buffer(0, kBytes, Format(2));
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(Micros(882));
  ASSERT_EQ(buffer->Stop(), DS_OK);
  EXPECT_EQ(Status(buffer), static_cast<DWORD>(DSBSTATUS_LOCSOFTWARE));
  Advance(1'000'000);
  EXPECT_EQ(PlayCursor(buffer), 882u * 4);
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  Advance(Micros(441));
  EXPECT_EQ(PlayCursor(buffer), 1323u * 4);

  // Moving the cursor while playing goes on from the new place, rounded to a frame.
  ASSERT_EQ(buffer->SetCurrentPosition(4003), DS_OK);
  EXPECT_EQ(PlayCursor(buffer), 4000u);
  Advance(Micros(441));
  EXPECT_EQ(PlayCursor(buffer), 4000u + 441 * 4);
  EXPECT_EQ(buffer->SetCurrentPosition(kBytes), DSERR_INVALIDPARAM);
}

TEST_F(SoundBufferTest, FrequencyChangesTheCursorSpeedFromThatMoment) {
  IDirectSoundBuffer* fixed = Buffer(0, kBytes, Format(2));
  EXPECT_EQ(fixed->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
  DWORD frequency = 0;
  EXPECT_EQ(fixed->GetFrequency(&frequency), DSERR_CONTROLUNAVAIL);

  IDirectSoundBuffer* buffer = Buffer(DSBCAPS_CTRLFREQUENCY, kBytes, Format(2));
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(Micros(441));
  ASSERT_EQ(buffer->SetFrequency(88200), DS_OK);
  Advance(Micros(441));
  EXPECT_EQ(PlayCursor(buffer), (441u + 882) * 4);
  ASSERT_EQ(buffer->GetFrequency(&frequency), DS_OK);
  EXPECT_EQ(frequency, 88200u);
  ASSERT_EQ(buffer->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  ASSERT_EQ(buffer->GetFrequency(&frequency), DS_OK);
  EXPECT_EQ(frequency, 44100u);
  EXPECT_EQ(buffer->SetFrequency(50), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetFrequency(DSBFREQUENCY_MAX + 1), DSERR_INVALIDPARAM);
}

TEST_F(SoundBufferTest, ControlsNeedTheirFlagAndStayInRange) {
  IDirectSoundBuffer* plain = Buffer(0, kBytes, Format(2));
  LONG value = 1;
  EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->GetVolume(&value), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);
  const WAVEFORMATEX other = Format(1);
  EXPECT_EQ(plain->SetFormat(&other), DSERR_INVALIDCALL);

  IDirectSoundBuffer* buffer = Buffer(DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN, kBytes, Format(2));
  ASSERT_EQ(buffer->GetVolume(&value), DS_OK);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(buffer->SetVolume(-2500), DS_OK);
  ASSERT_EQ(buffer->GetVolume(&value), DS_OK);
  EXPECT_EQ(value, -2500);
  EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetPan(DSBPAN_RIGHT), DS_OK);
  ASSERT_EQ(buffer->GetPan(&value), DS_OK);
  EXPECT_EQ(value, DSBPAN_RIGHT);
  EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
  ASSERT_EQ(buffer->GetVolume(&value), DS_OK);
  EXPECT_EQ(value, -2500) << "a refused value leaves the setting";

  void* object = nullptr;
  EXPECT_EQ(buffer->QueryInterface(IID_IDirectSound3DBuffer, &object), E_NOINTERFACE);
  ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundBuffer8, &object), S_OK);
  static_cast<IDirectSoundBuffer8*>(object)->Release();
}

TEST_F(SoundBufferTest, DuplicateSharesTheDataButPlaysOnItsOwn) {
  IDirectSoundBuffer* original = Buffer(DSBCAPS_CTRLVOLUME, kBytes, Format(2));
  ASSERT_EQ(original->SetVolume(-600), DS_OK);
  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(m_sound->DuplicateSoundBuffer(original, &duplicate), DS_OK);
  m_owned.push_back(duplicate);

  // One copy of the data: what is written through one is read through the other.
  Fill(original, 0x3344);
  void* b = nullptr;
  DWORD bytes = 0;
  ASSERT_EQ(duplicate->Lock(kBytes - 4, 4, &b, &bytes, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(*static_cast<int16_t*>(b), 0x3344);
  ASSERT_EQ(duplicate->Unlock(b, 0, nullptr, 0), DS_OK);
  LONG volume = 0;
  ASSERT_EQ(duplicate->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -600);

  ASSERT_EQ(duplicate->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(Micros(441));
  EXPECT_EQ(PlayCursor(duplicate), 441u * 4);
  EXPECT_EQ(PlayCursor(original), 0u);
  EXPECT_EQ(Status(original) & DSBSTATUS_PLAYING, 0u);
  ASSERT_EQ(original->Play(0, 0, 0), DS_OK);
  Advance(Micros(441));
  EXPECT_EQ(PlayCursor(original), 441u * 4);
  EXPECT_EQ(PlayCursor(duplicate), 882u * 4);
  ASSERT_EQ(duplicate->SetVolume(0), DS_OK);
  ASSERT_EQ(original->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -600);

  // The data outlives the buffer it was created with.
  original->Release();
  m_owned.erase(m_owned.begin());
  Fill(duplicate, 0x1111);

  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  IDirectSoundBuffer* copy = nullptr;
  EXPECT_EQ(m_sound->DuplicateSoundBuffer(primary, &copy), DSERR_INVALIDCALL);
  EXPECT_EQ(copy, nullptr);
  primary->Release();
}

TEST_F(SoundBufferTest, ALostBufferRefusesUntilRestoredAndKeepsItsData) {
  IDirectSoundBuffer* buffer = Buffer(0, kBytes, Format(2));
  Fill(buffer, 1234);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(Micros(441));

  ZkTestSoundFailNextLock();
  void* p1 = nullptr;
  DWORD b1 = 0;
  EXPECT_EQ(buffer->Lock(0, 4, &p1, &b1, nullptr, nullptr, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(Status(buffer), static_cast<DWORD>(DSBSTATUS_BUFFERLOST));
  EXPECT_EQ(buffer->Lock(0, 4, &p1, &b1, nullptr, nullptr, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DSERR_BUFFERLOST);
  Advance(Micros(441));
  EXPECT_EQ(PlayCursor(buffer), 441u * 4) << "a lost buffer stops";

  ASSERT_EQ(buffer->Restore(), DS_OK);
  EXPECT_EQ(Status(buffer) & DSBSTATUS_BUFFERLOST, 0u);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  ASSERT_EQ(buffer->Lock(0, 4, &p1, &b1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(*static_cast<int16_t*>(p1), 1234);
  EXPECT_EQ(buffer->Unlock(p1, 0, nullptr, 0), DS_OK);
}

TEST_F(SoundBufferTest, DeferredBuffersTakeTheirPlaceWhenTheyPlay) {
  IDirectSoundBuffer* buffer = Buffer(DSBCAPS_LOCDEFER, kBytes, Format(2));
  EXPECT_EQ(Status(buffer), 0u);
  IDirectSoundBuffer8* buffer8 = nullptr;
  ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer8)), S_OK);
  EXPECT_EQ(buffer8->AcquireResources(DSBPLAY_LOCHARDWARE, 0, nullptr), DSERR_ALLOCATED);
  EXPECT_EQ(buffer8->AcquireResources(DSBPLAY_LOCHARDWARE | DSBPLAY_LOCSOFTWARE, 0, nullptr),
            DSERR_INVALIDPARAM);
  ASSERT_EQ(buffer8->AcquireResources(DSBPLAY_LOCSOFTWARE, 0, nullptr), DS_OK);
  EXPECT_EQ(Status(buffer), static_cast<DWORD>(DSBSTATUS_LOCSOFTWARE));
  ASSERT_EQ(buffer->Stop(), DS_OK);
  EXPECT_EQ(Status(buffer), 0u) << "stopping gives the voice back";

  DSCAPS card{};
  card.dwPrimaryBuffers = 1;
  card.dwMaxHwMixingAllBuffers = 16;
  ZkTestSoundSetCaps(&card);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOCHARDWARE), DS_OK);
  EXPECT_EQ(Status(buffer), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOCHARDWARE));
  buffer8->Release();

  IDirectSoundBuffer* placed = Buffer(DSBCAPS_LOCSOFTWARE, kBytes, Format(2));
  ASSERT_EQ(placed->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer8)), S_OK);
  EXPECT_EQ(buffer8->AcquireResources(0, 0, nullptr), DSERR_INVALIDCALL);
  EXPECT_EQ(placed->Play(0, 0, DSBPLAY_LOCSOFTWARE), DSERR_INVALIDPARAM);
  buffer8->Release();
}
