// The game camera on a level's real engine scene: a small level with a player, camera 0 freed
// from the player so its own position is its world position, frames stepped by hand on the
// game's clock and the key tables set by hand.
#include <cmath>
#include <string>
#include <vector>

#include "RealLevelFixture.h"
#include "TestWindow.h"
#include "cpelto/GameCamera.h"
#include "cpelto/GameCameraHold.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "framework/EngineGlobals.h"
#include "framework/InputState.h"
#include "framework/Properties.h"
#include "zktest/ZkTestInput.h"

namespace {

std::string Rows(const std::vector<std::vector<char>>& map) {
  std::string text;
  for (const auto& row : map) text += std::string(row.begin(), row.end()) + "/";
  return text;
}

class GameCamera : public RealLevelTest {
 protected:
  void SetUp() override {
    RealLevelTest::SetUp();
    PrepareLevelAndPlayer();
    RegisterNodeType<cpelto::CCamera>("GameCamera");
  }

  // A level of width × height open cells with a player at (x, z) (or none), camera 0 freed.
  void LoadLevel(int width, int height, bool withPlayer = true, float x = 0.5f, float z = 0.5f) {
    const std::string map = OpenMap(width, height);
    WriteMaps(map, map);
    Build(LevelXml(width, height, withPlayer ? PlayerXml(x, z) : ""));
    m_level = Node<CPeltoLevel>("CPeltoLevel");
    ASSERT_NE(m_level, nullptr);
    m_player = Node<CPeltoPlayer>("GamePlayer");
    camera0()->SetParent(nullptr);
  }
  // The camera node with these Param attributes, built after the level.
  cpelto::CCamera* MakeCamera(const std::string& params) {
    Build(R"(<Node Type="GameCamera"><Param Enabled="1" )" + params + "/></Node>");
    return Node<cpelto::CCamera>("GameCamera");
  }
  CCameraInterface* camera0() { return m_level->GetOwnerScene()->GetCamera(0); }
  CVector3 CameraAt() { return LocalPosition(camera0()); }
  void Frame(float t, float dt = 0.0f) {
    m_core->GetGlobalArg()->m_fDeltaTime = dt;
    Step(t);
  }
  static float EndKey(cpelto::CCamera* camera, int axis) {
    return camera->GetEnvelope(axis)->GetKey(1u)->GetKeyValue();
  }

  CPeltoLevel* m_level = nullptr;
  CPeltoPlayer* m_player = nullptr;
};

TEST_F(GameCamera, ConstructionConfigurationAndIdentity) {
  LoadLevel(4, 3);
  struct Case {
    const char* params;
    float glide;
    CVector3 initial;
  } cases[] = {
      {"", 1.0f, {0, 2, 0}},
      {R"(ChangePositionTime="2.5" InitX="1" InitY="4" InitZ="-2")", 2.5f, {1, 4, -2}},
      {R"(InitY="7")", 1.0f, {0, 7, 0}},
      // The end keys must come after the start keys, or the channel refuses them.
      {R"(ChangePositionTime="0")", 0.001f, {0, 2, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    cpelto::CCamera* camera = MakeCamera(c.params);
    ASSERT_NE(camera, nullptr);
    EXPECT_STREQ(camera->GetName(), "GameCamera");
    EXPECT_TRUE(camera->IsEnabled());
    EXPECT_FALSE(camera->IsDisabledCameraMap());
    EXPECT_EQ(camera->GetHold(), 0);
    EXPECT_EQ(camera->GetGlideTime(), c.glide);
    EXPECT_EQ(camera->GetMapWidth(), 4u);
    EXPECT_EQ(camera->GetMapHeight(), 3u);
    ExpectNear(camera->GetTargetPosition(), c.initial.x, c.initial.y, c.initial.z);
    const float values[3] = {c.initial.x, c.initial.y, c.initial.z};
    for (int axis = 0; axis < 3; ++axis) {
      CChannelEnvelopeInterface* channel = camera->GetEnvelope(axis);
      ASSERT_NE(channel, nullptr);
      EXPECT_EQ(channel->GetPreBehaviour(), 1u);
      EXPECT_EQ(channel->GetPostBehaviour(), 1u);
      ASSERT_EQ(channel->GetNumberOfKeys(), 2u);
      EXPECT_EQ(channel->GetKey(0u)->GetKeyTime(), 0.0f);
      EXPECT_EQ(channel->GetKey(1u)->GetKeyTime(), c.glide);
      EXPECT_EQ(channel->GetKey(0u)->GetKeyValue(), values[axis]);
      EXPECT_EQ(channel->GetKey(1u)->GetKeyValue(), values[axis]);
    }
    m_core->GetRootNode()->RemoveChild(camera);
  }
  cpelto::CCamera camera(nullptr);
  EXPECT_STREQ(camera.GetClassName(), "CCamera");
  for (const char* name :
       {"CCamera", "geCRenderableObject", "geCGameObject", "geCBaseNode", "geCBaseObject"})
    EXPECT_TRUE(camera.IsKindOf(name)) << name;
  EXPECT_FALSE(camera.IsKindOf("CPeltoPlayer"));
  // The player's camera command reaches the node through its hold interface.
  auto* hold = dynamic_cast<CGameCameraHold*>(static_cast<geCBaseNode*>(&camera));
  ASSERT_NE(hold, nullptr);
  hold->SetHold(1);
  EXPECT_EQ(camera.GetHold(), 1);
}

TEST_F(GameCamera, AMoveGlidesForOneSecondToItsTargetAndIsIgnoredWhileHeld) {
  LoadLevel(3, 2);
  m_folder.Write("camera.txt", "000\n000\n");
  cpelto::CCamera* camera = MakeCamera(R"(HeightMap="camera.txt")");
  Frame(10.0f);
  ExpectNear(CameraAt(), 0, 2, 0);

  camera->SetCameraPosition(CVector3(4, 1, 2));
  EXPECT_EQ(camera->GetGlideStartTime(), 10.0f);
  Frame(10.5f);
  const CVector3 halfway = CameraAt();
  EXPECT_GT(halfway.x, 0.0f);
  EXPECT_LT(halfway.x, 4.0f);
  EXPECT_GT(halfway.z, 0.0f);
  EXPECT_LT(halfway.z, 2.0f);
  Frame(11.0f);
  ExpectNear(CameraAt(), 4, 1, 2);
  Frame(13.0f);
  ExpectNear(CameraAt(), 4, 1, 2);

  // Held: the move is refused and the node leaves camera 0 where it is.
  camera->SetHold(1);
  camera->SetCameraPosition(CVector3(-5, 0, 0));
  ExpectNear(camera->GetTargetPosition(), 4, 1, 2);
  camera0()->SetPosition(CVector3(9, 9, 9));
  Frame(20.0f);
  ExpectNear(CameraAt(), 9, 9, 9);
  camera->SetHold(0);
  Frame(21.0f);
  ExpectNear(CameraAt(), 4, 1, 2);
}

TEST_F(GameCamera, CameraMapsLoadRowsFromTheLastAndRefuseWhatTheyCannotRead) {
  LoadLevel(3, 2);
  struct Case {
    const char* name;
    const char* file;  // null: not written
    const char* rows;
  } cases[] = {
      {"camera.txt", "0 0 1\n0 1 1\n", "011/001/"},
      {"level.cmap", "0 0 1\n0 1 1\n", ""},
      // Blanks, punctuation and line ends are skipped; a short file ends in plain cells.
      {"short.txt", "a,B;\n7", "000/aB7/"},
      {"missing.txt", nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.file) m_folder.Write(c.name, c.file);
    cpelto::CCamera* camera = MakeCamera(std::string("HeightMap=\"") + c.name + "\"");
    EXPECT_EQ(Rows(camera->GetCameraMap()), c.rows);
    m_core->GetRootNode()->RemoveChild(camera);
  }
  EXPECT_PRED2([](const std::string& log, const std::string& line) {
    return log.find(line) != std::string::npos;
  }, Log(), "ERROR: can't open camera map 'missing.txt'\n");

  // Without a map the camera follows its target at once.
  cpelto::CCamera* camera = MakeCamera(R"(HeightMap="level.cmap")");
  camera->SetCameraPosition(CVector3(3, 4, 5));
  Frame(1.0f);
  ExpectNear(CameraAt(), 3, 4, 5);
}

TEST_F(GameCamera, WithoutALevelSizeNoMapIsRead) {
  m_folder.Write("camera.txt", "0 0 1\n0 1 1\n");
  // No level at all: no size, no map, and the frame goes on without a camera to move.
  cpelto::CCamera* camera = MakeCamera(R"(HeightMap="camera.txt")");
  EXPECT_EQ(camera->GetMapWidth(), 0u);
  EXPECT_TRUE(camera->GetCameraMap().empty());
  camera->SetCameraPosition(CVector3(1, 1, 1));
  Frame(1.0f);
  ExpectNear(camera->GetTargetPosition(), 1, 1, 1);
}

TEST_F(GameCamera, AMarkChangeGlidesUpAndAsideAndBack) {
  // Row 0 (the file's last line) is marked in column 0 only.
  LoadLevel(3, 2, true, 1.5f, 0.5f);
  m_folder.Write("camera.txt", "0 0 0\n1 0 0\n");
  cpelto::CCamera* camera = MakeCamera(R"(HeightMap="camera.txt" InitX="1" InitZ="0.25")");
  // Facing +x, the cell behind the player at (1.5, 0.5) is (0, 0): marked.
  Frame(5.0f);
  EXPECT_EQ(camera->GetCurrentMark(), '1');
  EXPECT_EQ(camera->GetGlideStartTime(), 5.0f);
  EXPECT_EQ(EndKey(camera, 0), -3.5f);
  EXPECT_EQ(EndKey(camera, 1), 5.0f);
  EXPECT_EQ(EndKey(camera, 2), 0.25f);
  Frame(6.0f);
  ExpectNear(CameraAt(), -3.5f, 5, 0.25f);

  m_player->SetPositionf(CVector3(2.5f, 0, 0.5f));
  Frame(7.0f);
  EXPECT_EQ(camera->GetCurrentMark(), '0');
  EXPECT_EQ(EndKey(camera, 0), 1.0f);
  EXPECT_EQ(EndKey(camera, 1), 2.0f);
  Frame(8.0f);
  ExpectNear(CameraAt(), 1, 2, 0.25f);
}

TEST_F(GameCamera, TheMarkIsReadOneCellBehindThePlayerOrItsSubPlayerInsideTheMap) {
  LoadLevel(3, 2, true, 0.5f, 1.5f);
  Build(R"(<Node Type="PeltoPlayer" Name="sub"><Param File="hero.zks" Directory=""
             SubPlayer="1"/></Node>)",
        m_level);
  auto* sub = Node<CPeltoPlayer>("sub");
  ASSERT_NE(sub, nullptr);
  // Row 1, the file's first line, is "203"; row 0 is "010".
  m_folder.Write("camera.txt", "2 0 3\n0 1 0\n");
  cpelto::CCamera* camera = MakeCamera(R"(HeightMap="camera.txt")");
  struct Case {
    const char* what;
    CVector3 player;
    int facing;  // 0 toward +x, 1 toward +z
    bool bySub;
    char mark;
  } cases[] = {
      {"left of the map reads column 0", {-0.5f, 0, 1.5f}, 0, false, '2'},
      {"past the far row reads the last row", {2.5f, 0, 5.5f}, 1, false, '3'},
      {"inside the map", {2.5f, 0, 0.5f}, 0, false, '1'},
      {"the sub player's cell counts", {-0.5f, 0, 1.5f}, 0, true, '2'},
  };
  float t = 1.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CPeltoPlayer* moved = c.bySub ? sub : m_player;
    moved->SetPositionf(c.player);
    moved->m_iFacing = c.facing;
    m_player->m_pSubPlayer = c.bySub ? sub : nullptr;
    Frame(t += 1.0f);
    EXPECT_EQ(camera->GetCurrentMark(), c.mark);
  }
  m_player->m_pSubPlayer = nullptr;
}

TEST_F(GameCamera, ADisabledMapFreezesTheMarkButNotMoves) {
  LoadLevel(3, 2, true, 2.5f, 0.5f);
  m_folder.Write("camera.txt", "0 0 0\n1 0 0\n");
  cpelto::CCamera* camera = MakeCamera(R"(HeightMap="camera.txt")");
  Frame(1.0f);
  camera->DisableCameraMap(true);
  EXPECT_TRUE(camera->IsDisabledCameraMap());
  m_player->SetPositionf(CVector3(1.5f, 0, 0.5f));
  Frame(2.0f);
  EXPECT_EQ(camera->GetCurrentMark(), '0');
  Frame(4.0f);
  ExpectNear(CameraAt(), 0, 2, 0);
  camera->SetCameraPosition(CVector3(2, 2, 2));
  Frame(5.0f);
  ExpectNear(CameraAt(), 2, 2, 2);
  camera->DisableCameraMap(false);
  Frame(6.0f);
  EXPECT_EQ(camera->GetCurrentMark(), '1');
}

TEST_F(GameCamera, TheMouseCameraZoomsInToSevenAndNoFurther) {
  LoadLevel(3, 2, true, 0.5f, 0.5f);
  ASSERT_NE(MakeCamera(""), nullptr);
  CVector3 body;
  m_player->GetMesh(0)->GetPosition(&body, 0);
  camera0()->SetPosition(CVector3(body.x + 10, body.y, 3));
  g_dwCurrentKeys[cpelto::CCamera::kKeyLeftShift] = 1;
  // Left Shift alone, without the core's switch, puts the camera on its target.
  Frame(1.0f);
  ExpectNear(CameraAt(), 0, 2, 0);

  camera0()->SetPosition(CVector3(body.x + 10, body.y, 3));
  g_pCoreProperties->RegisterAndSet("ActiveMouseCamera", geCVariant("1"));
  Frame(1.0f);  // the scene passes place camera 0 before the first zoom reads it
  g_dwCurrentKeys[cpelto::CCamera::kKeyZoomIn] = 1;
  std::vector<float> distances;
  for (int frame = 0; frame < 5; ++frame) {
    Frame(2.0f + frame, 0.2f);
    distances.push_back(CameraAt().x - body.x);
  }
  const std::vector<float> expected = {9, 8, 7, 7, 7};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(distances[i], expected[i], 1e-4f) << i;
  EXPECT_NEAR(CameraAt().z, 3.0f, 1e-5f);

  // Zooming out has no limit.
  g_dwCurrentKeys[cpelto::CCamera::kKeyZoomIn] = 0;
  g_dwCurrentKeys[cpelto::CCamera::kKeyZoomOut] = 1;
  for (int frame = 0; frame < 6; ++frame) Frame(10.0f + frame, 1.0f);
  EXPECT_NEAR(CameraAt().x - body.x, 37.0f, 1e-3f);
}

TEST_F(GameCamera, TheMouseCameraFollowsTheCursorUpAndDownWhileAButtonIsDown) {
  TestWindow window;
  ShowWindow(window.Handle(), SW_SHOW);
  window.Pump();
  m_scenes.window = window.Handle();
  m_scenes.configuration.wWidth = 320;
  m_scenes.configuration.wHeight = 240;
  LoadLevel(3, 2, false);
  ASSERT_NE(MakeCamera(""), nullptr);
  camera0()->SetPosition(CVector3(1, 5, 1));
  g_pCoreProperties->RegisterAndSet("ActiveMouseCamera", geCVariant("1"));
  g_dwCurrentKeys[cpelto::CCamera::kKeyLeftShift] = 1;
  auto cursorAt = [&](int y) {
    ZkTestInputMouseMove(window.Handle(), 100, y, 0, 0);
    window.Pump();
  };
  ZkTestInputMouseButton(window.Handle(), 2, TRUE, 1);
  struct Case {
    int y;
    float height;
  } cases[] = {
      {100, 5},  // the first place is only remembered
      {110, 4},  // down the screen lowers the camera
      {111, 4},  // a pixel is no move
      {100, 5},  // up the screen raises it
      {239, 4},
      {240, 4},  // on the screen's edge the cursor is not read, nor remembered
      {230, 5},
  };
  float t = 1.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    cursorAt(c.y);
    Frame(t += 1.0f, 0.2f);
    EXPECT_NEAR(CameraAt().y, c.height, 1e-4f);
  }
  // With no button down the cursor moves nothing.
  ZkTestInputMouseButton(window.Handle(), 2, FALSE, 1);
  cursorAt(20);
  Frame(t += 1.0f, 0.2f);
  EXPECT_NEAR(CameraAt().y, 5.0f, 1e-4f);
  ExpectNear(CameraAt(), 1, 5, 1);
}

TEST_F(GameCamera, MissingPlayerOrBodySkipsTheirStepsAndTheGlideRuns) {
  // A level without a player: the glide still runs.
  LoadLevel(3, 2, false);
  m_folder.Write("camera.txt", "1 1 1\n1 1 1\n");
  cpelto::CCamera* camera = MakeCamera(R"(HeightMap="camera.txt")");
  Frame(1.0f);
  EXPECT_EQ(camera->GetCurrentMark(), '0');
  camera->SetCameraPosition(CVector3(2, 3, 1));
  Frame(2.0f);
  ExpectNear(CameraAt(), 2, 3, 1);

  // A player without a mesh under the mouse camera: no zoom, no fault.
  Build(R"(<Node Type="PeltoPlayer" Name="GamePlayer"><Param Directory=""/></Node>)", m_level);
  ASSERT_NE(Node<CPeltoPlayer>("GamePlayer"), nullptr);
  g_pCoreProperties->RegisterAndSet("ActiveMouseCamera", geCVariant("1"));
  g_dwCurrentKeys[cpelto::CCamera::kKeyLeftShift] = 1;
  g_dwCurrentKeys[cpelto::CCamera::kKeyZoomIn] = 1;
  Frame(3.0f, 0.5f);
  ExpectNear(CameraAt(), 2, 3, 1);
}

}  // namespace
