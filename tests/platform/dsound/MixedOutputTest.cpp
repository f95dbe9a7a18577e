// What reaches the speakers, read back from the loopback output.
#include "DirectSoundFixture.h"

namespace {
constexpr DWORD kFrames = 4410;
constexpr int16_t kHalf = 16384;  // 0.5 full scale
}  // namespace

using MixedOutputTest = DirectSoundFixture;

TEST_F(MixedOutputTest, VolumeZeroIsFullAndTheMinimumIsSilence) {
  IDirectSoundBuffer* buffer = Buffer(DSBCAPS_CTRLVOLUME, kFrames * 4, Format(2));
  Fill(buffer, kHalf);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Levels full = PlayFor(2205);
  EXPECT_NEAR(full.left, 0.5f, 0.01f);
  EXPECT_NEAR(full.right, 0.5f, 0.01f);

  ASSERT_EQ(buffer->SetVolume(-600), DS_OK);  // -6 dB: half the amplitude
  Levels lower = PlayFor(2205);
  EXPECT_NEAR(lower.left, 0.5f * 0.501f, 0.01f);

  ASSERT_EQ(buffer->SetVolume(DSBVOLUME_MIN), DS_OK);
  Levels silent = PlayFor(2205);
  EXPECT_EQ(silent.left, 0.0f);
  EXPECT_EQ(silent.right, 0.0f);
}

TEST_F(MixedOutputTest, NothingIsHeardBeforePlayOrAfterStopOrTheEndOfAOneShot) {
  IDirectSoundBuffer* buffer = Buffer(0, kFrames * 4, Format(2));
  Fill(buffer, kHalf);
  EXPECT_EQ(PlayFor(2205).left, 0.0f);
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  EXPECT_NEAR(PlayFor(2205).left, 0.5f, 0.01f);
  // The second half of the one-shot, then nothing.
  EXPECT_NEAR(PlayFor(2205).left, 0.5f, 0.01f);
  EXPECT_EQ(PlayFor(2205).left, 0.0f);

  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_NEAR(PlayFor(2205).left, 0.5f, 0.01f);
  ASSERT_EQ(buffer->Stop(), DS_OK);
  EXPECT_EQ(PlayFor(2205).left, 0.0f);
}

TEST_F(MixedOutputTest, ANewBufferIsSilenceWhateverItsSampleSize) {
  IDirectSoundBuffer* eight = Buffer(0, kFrames, Format(1, 8));
  IDirectSoundBuffer* sixteen = Buffer(0, kFrames * 4, Format(2, 16));
  ASSERT_EQ(eight->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  ASSERT_EQ(sixteen->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Levels levels = PlayFor(2205);
  EXPECT_EQ(levels.left, 0.0f);
  EXPECT_EQ(levels.right, 0.0f);

  // 8-bit samples are unsigned: 192 is half way up.
  void* data = nullptr;
  DWORD bytes = 0;
  ASSERT_EQ(eight->Lock(0, 0, &data, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
  std::memset(data, 192, bytes);
  ASSERT_EQ(eight->Unlock(data, bytes, nullptr, 0), DS_OK);
  ASSERT_EQ(eight->SetCurrentPosition(0), DS_OK);
  levels = PlayFor(2205);
  EXPECT_NEAR(levels.left, 0.5f, 0.01f);
  EXPECT_NEAR(levels.right, 0.5f, 0.01f);
}

TEST_F(MixedOutputTest, PanAttenuatesTheOtherSideAndMonoPlaysOnBoth) {
  IDirectSoundBuffer* buffer = Buffer(DSBCAPS_CTRLPAN, kFrames * 2, Format(1));
  Fill(buffer, kHalf);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Levels centre = PlayFor(2205);
  EXPECT_NEAR(centre.left, 0.5f, 0.01f);
  EXPECT_NEAR(centre.right, 0.5f, 0.01f);

  // Pan is fed ahead with the samples, so a change is heard from the next samples fed.
  ASSERT_EQ(buffer->SetPan(DSBPAN_RIGHT), DS_OK);
  Levels right = PlayFor(2205);
  EXPECT_EQ(right.left, 0.0f);
  EXPECT_NEAR(right.right, 0.5f, 0.01f);
}

TEST_F(MixedOutputTest, TwoDuplicatesPlayingTogetherAddUp) {
  IDirectSoundBuffer* original = Buffer(0, kFrames * 4, Format(2));
  Fill(original, 8192);
  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(m_sound->DuplicateSoundBuffer(original, &duplicate), DS_OK);
  m_owned.push_back(duplicate);
  ASSERT_EQ(original->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_NEAR(PlayFor(2205).left, 0.25f, 0.01f);
  ASSERT_EQ(duplicate->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_NEAR(PlayFor(2205).left, 0.5f, 0.01f);
}

class Mixed3DTest : public DirectSoundFixture {
 protected:
  void SetUp() override {
    DirectSoundFixture::SetUp();
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    m_owned.push_back(primary);
    ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&m_listener)), S_OK);
    m_owned.push_back(m_listener);

    m_buffer = Buffer(DSBCAPS_CTRL3D, kFrames * 2, Format(1));
    Fill(m_buffer, kHalf);
    ASSERT_EQ(m_buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&m_3d)), S_OK);
    m_owned.push_back(m_3d);
    // In front of the listener, one unit away.
    ASSERT_EQ(m_3d->SetPosition(0, 0, 1, DS3D_IMMEDIATE), DS_OK);
    ASSERT_EQ(m_buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    m_ahead = PlayFor(2205);
    ASSERT_GT(m_ahead.left, 0.1f);
    ASSERT_NEAR(m_ahead.left, m_ahead.right, 0.01f);
  }

  IDirectSound3DListener* m_listener = nullptr;
  IDirectSoundBuffer* m_buffer = nullptr;
  IDirectSound3DBuffer* m_3d = nullptr;
  Levels m_ahead{};
};

TEST_F(Mixed3DTest, DeferredBufferSettingsAreReadAtOnceButHeardOnlyAfterCommit) {
  ASSERT_EQ(m_3d->SetPosition(4, 0, 0, DS3D_DEFERRED), DS_OK);
  ASSERT_EQ(m_3d->SetMinDistance(0.5f, DS3D_DEFERRED), DS_OK);
  D3DVECTOR position{};
  ASSERT_EQ(m_3d->GetPosition(&position), DS_OK);
  EXPECT_EQ(position.x, 4.0f);
  D3DVALUE distance = 0;
  ASSERT_EQ(m_3d->GetMinDistance(&distance), DS_OK);
  EXPECT_EQ(distance, 0.5f);

  Levels uncommitted = PlayFor(2205);
  EXPECT_NEAR(uncommitted.left, m_ahead.left, 0.001f);
  EXPECT_NEAR(uncommitted.right, m_ahead.right, 0.001f);

  ASSERT_EQ(m_listener->CommitDeferredSettings(), DS_OK);
  Levels committed = PlayFor(2205);
  // To the right and farther: the left side falls most, and both fall.
  EXPECT_LT(committed.left, committed.right * 0.5f);
  EXPECT_LT(committed.right, m_ahead.right);
}

TEST_F(Mixed3DTest, DeferredListenerSettingsWaitForCommitToo) {
  // Turning to face +x puts the sound, straight ahead until now, on the left.
  ASSERT_EQ(m_listener->SetOrientation(1, 0, 0, 0, 1, 0, DS3D_DEFERRED), DS_OK);
  D3DVECTOR front{}, top{};
  ASSERT_EQ(m_listener->GetOrientation(&front, &top), DS_OK);
  EXPECT_EQ(front.x, 1.0f);
  Levels uncommitted = PlayFor(2205);
  EXPECT_NEAR(uncommitted.left, m_ahead.left, 0.001f);

  ASSERT_EQ(m_listener->CommitDeferredSettings(), DS_OK);
  Levels committed = PlayFor(2205);
  EXPECT_LT(committed.right, committed.left * 0.5f);

  // An immediate setting is heard at once, and does not commit what is still deferred.
  ASSERT_EQ(m_3d->SetPosition(0, 0, 100, DS3D_DEFERRED), DS_OK);
  ASSERT_EQ(m_listener->SetOrientation(0, 0, 1, 0, 1, 0, DS3D_IMMEDIATE), DS_OK);
  Levels immediate = PlayFor(2205);
  EXPECT_NEAR(immediate.left, m_ahead.left, 0.001f);
  EXPECT_NEAR(immediate.right, m_ahead.right, 0.001f);
}

TEST_F(Mixed3DTest, BadSettingsAreRefusedAndLeaveWhatWasSet) {
  EXPECT_EQ(m_3d->SetConeAngles(90, 45, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_3d->SetConeAngles(0, 361, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_3d->SetMinDistance(-1, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_3d->SetConeOutsideVolume(1, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_3d->SetMode(3, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_3d->SetPosition(1, 1, 1, 2), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_listener->SetRolloffFactor(11, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
  EXPECT_EQ(m_listener->SetDistanceFactor(0, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);

  DS3DBUFFER all{};
  all.dwSize = sizeof all;
  ASSERT_EQ(m_3d->GetAllParameters(&all), DS_OK);
  EXPECT_EQ(all.dwInsideConeAngle, static_cast<DWORD>(DS3D_DEFAULTCONEANGLE));
  EXPECT_EQ(all.flMinDistance, DS3D_DEFAULTMINDISTANCE);
  EXPECT_EQ(all.flMaxDistance, DS3D_DEFAULTMAXDISTANCE);
  EXPECT_EQ(all.vPosition.z, 1.0f);
  all.dwSize = 12;
  EXPECT_EQ(m_3d->GetAllParameters(&all), DSERR_INVALIDPARAM);
  DS3DLISTENER listener{};
  listener.dwSize = sizeof listener;
  ASSERT_EQ(m_listener->GetAllParameters(&listener), DS_OK);
  EXPECT_EQ(listener.flRolloffFactor, DS3D_DEFAULTROLLOFFFACTOR);
  EXPECT_EQ(listener.vOrientFront.z, 1.0f);
}
