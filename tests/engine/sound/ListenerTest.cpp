#include "FailingSound3DListener.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "StreamedSoundFixture.h"
#include "TestScene.h"
#include "WaveWriter.h"
#include "scene/Camera.h"
#include "sound/TonarisListener.h"

namespace {

const std::string kListener = "QMRSNDListener";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<float> Orientation(TonarisListener& listener, UINT expected) {
  std::vector<float> out(6, 9.0f);
  EXPECT_EQ(listener.GetOrientation(out[0], out[1], out[2], out[3], out[4], out[5]), expected);
  return out;
}

std::vector<float> Position(TonarisListener& listener, UINT expected) {
  std::vector<float> out(3, 9.0f);
  EXPECT_EQ(listener.GetPosition(out[0], out[1], out[2]), expected);
  return out;
}

std::vector<float> Velocity(TonarisListener& listener, UINT expected) {
  std::vector<float> out(3, 9.0f);
  EXPECT_EQ(listener.GetVelocity(out[0], out[1], out[2]), expected);
  return out;
}

class ListenerTest : public StreamedSoundFixture {
 protected:
  DWORD ConfigFlags() const override { return 2; }

  // A steady mono 3D sound placed at `x` on the listener's right-hand axis, playing.
  TonarisStream* PlaceHum(float x) {
    WriteFile("hum.wav",
              WaveWriter(1, 44100, 16).Samples(std::vector<int16_t>(2 * 44100, 8192)).Bytes());
    TonarisStream* hum = Load("hum.wav", 5);
    EXPECT_NE(hum, nullptr);
    if (!hum || !m_server->GetListenerInterface()) return nullptr;
    hum->SetPosition(x, 0, 0);
    EXPECT_EQ(m_server->Apply(), 1u);
    hum->Play();
    return hum;
  }
  // Which side the sound is heard on: +1 right, -1 left, 0 in between.
  int Side() {
    Hear(2205);
    const std::vector<float> block = Hear(4410);
    const double left = Level(block, 0);
    const double right = Level(block, 1);
    EXPECT_GT(left + right, 0.05);
    return right > 2 * left ? 1 : left > 2 * right ? -1 : 0;
  }
};

TEST_F(ListenerTest, NewListenerReportsZerosAndIsMadeOnce) {
  TonarisListener* listener = m_server->GetListenerInterface();
  ASSERT_NE(listener, nullptr);
  EXPECT_EQ(m_server->GetListenerInterface(), listener);
  EXPECT_EQ(Orientation(*listener, 1), std::vector<float>(6, 0.0f));
  EXPECT_EQ(Position(*listener, 1), std::vector<float>(3, 0.0f));
  EXPECT_EQ(Velocity(*listener, 1), std::vector<float>(3, 0.0f));
}

TEST_F(ListenerTest, PositionIsStoredAtOnceAndHeardAfterApply) {
  ASSERT_NE(PlaceHum(1.0f), nullptr);
  TonarisListener* listener = m_server->GetListenerInterface();
  EXPECT_EQ(Side(), 1);
  // Past the sound: it should come from the left, but only once applied.
  EXPECT_EQ(listener->SetPosition(2, 0, 0), 1u);
  EXPECT_EQ(Position(*listener, 1), std::vector<float>({2, 0, 0}));
  EXPECT_EQ(Side(), 1);
  EXPECT_EQ(m_server->Apply(), 1u);
  EXPECT_EQ(Side(), -1);
}

TEST_F(ListenerTest, SettingsAreDeferredAndFailuresKeepTheNewValues) {
  FailingSound3DListener device;
  {
    CTonarisListener listener(&device, GetSoundLog());
    EXPECT_EQ(listener.SetOrientation(0, 0, 1, 0, 1, 0), 1u);
    EXPECT_EQ(listener.SetPosition(1, 2, 3), 1u);
    EXPECT_EQ(listener.SetVelocity(4, 5, 6), 1u);
    EXPECT_EQ(device.deferredCalls, 3);
    EXPECT_EQ(listener.CommitSettings(), 1u);
    EXPECT_EQ(device.commits, 1);

    device.result = DSERR_INVALIDPARAM;
    EXPECT_EQ(listener.SetVelocity(7, 8, 9), 0u);
    EXPECT_EQ(Velocity(listener, 1), std::vector<float>({7, 8, 9}));
    EXPECT_EQ(listener.SetPosition(-1, -2, -3), 0u);
    EXPECT_EQ(Position(listener, 1), std::vector<float>({-1, -2, -3}));
    EXPECT_EQ(listener.SetOrientation(1, 0, 0, 0, 0, 1), 0u);
    EXPECT_EQ(Orientation(listener, 1), std::vector<float>({1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(listener.CommitSettings(), 0u);
  }
  EXPECT_EQ(device.releases, 1);
  const std::string body = LogBody();
  for (const char* line : {"ERROR! - Can't Set Listener's Velocity\n(",
                           "ERROR! - Can't Set Listener's Position\n(",
                           "ERROR! - Can't Set Listener's Orientation\n(",
                           "ERROR! - Can't Apply 3D Sound Settings\n("})
    EXPECT_TRUE(Contains(body, Line(kListener, line))) << line << body;
}

TEST_F(ListenerTest, WithoutItsDeviceInterfaceEverythingRefuses) {
  CTonarisListener listener(nullptr, GetSoundLog());
  EXPECT_EQ(listener.SetPosition(1, 2, 3), 0u);
  EXPECT_EQ(listener.SetVelocity(1, 2, 3), 0u);
  EXPECT_EQ(listener.SetOrientation(1, 2, 3, 4, 5, 6), 0u);
  EXPECT_EQ(Position(listener, 0), std::vector<float>(3, 0.0f));
  EXPECT_EQ(Velocity(listener, 0), std::vector<float>(3, 0.0f));
  EXPECT_EQ(Orientation(listener, 0), std::vector<float>(6, 0.0f));
  EXPECT_EQ(listener.CommitSettings(), 0u);
}

TEST_F(ListenerTest, ACameraOfASceneTurnsTheHeardListener) {
  ZeKorbConfig config{};
  config.wWidth = 640;
  config.wHeight = 480;
  m_context->pConfig = &config;
  m_context->pSoundServer = m_server;
  RecordingDrawRenderer renderer;
  CRecordingEngineLog log;
  TestScene* scene = new TestScene(&renderer, &log);
  auto* camera = new CCamera(&renderer, &log, scene);
  scene->AppendWorldObject(camera);
  camera->SetListenerFlags(3);
  ASSERT_EQ(camera->GetListenerFlags(), 3);

  ASSERT_NE(PlaceHum(1.0f), nullptr);
  EXPECT_EQ(Side(), 1);
  // Turned round, the camera has the sound on its left once its passes have run.
  camera->SetRotation({3.14159265f, 0, 0});
  camera->SetPosition({0, 0, 0});
  camera->PrepareMatrices(0.0f);
  camera->UpdateHierarchy(0.0f);
  camera->UpdateListener();
  float fx = 0, fy = 0, fz = 0, tx = 0, ty = 0, tz = 0;
  m_server->GetListenerInterface()->GetOrientation(fx, fy, fz, tx, ty, tz);
  EXPECT_NEAR(fz, -1.0f, 1e-5f);
  EXPECT_EQ(Side(), -1);
  scene->Release();
  m_context->pSoundServer = nullptr;
}

}  // namespace
