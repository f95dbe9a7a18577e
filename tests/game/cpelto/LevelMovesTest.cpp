// The player node, the movable objects and the level's moves on the engine's real scenes: a
// level on a small open grid, a player and crates as its children, key tables set by hand and
// the messages the player receives recorded.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "RealLevelFixture.h"
#include "cpelto/KeyBindings.h"
#include "cpelto/MovableObject.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "framework/EngineGlobals.h"
#include "framework/Properties.h"

namespace {

// A player that records the messages delivered to it.
class CRecordingPlayer : public CPeltoPlayer {
 public:
  using CPeltoPlayer::CPeltoPlayer;
  void ProcessMessage(geMessage* pMessage) override {
    received.emplace_back(std::string(pMessage->pszName) + " " +
                          std::to_string(pMessage->MessageID));
    CPeltoPlayer::ProcessMessage(pMessage);
  }
  static inline std::vector<std::string> received;
};

std::string Crate(const std::string& name, float x, float z) {
  return R"(<Node Type="MovableObject" Name=")" + name +
         R"("><Param File="crate.zks" Directory="" Enabled="1" InitX=")" + std::to_string(x) +
         R"(" InitZ=")" + std::to_string(z) + R"("/></Node>)";
}

class LevelMoves : public RealLevelTest {
 protected:
  void SetUp() override {
    RealLevelTest::SetUp();
    PrepareLevelAndPlayer<CRecordingPlayer>();
    RegisterNodeType<CMovableObject>("MovableObject");
    SaveScene("crate", {{"crate", {0, 0, 0}}});
    CRecordingPlayer::received.clear();
  }

  // A 6 × 6 level whose collision map is `collision` (top row first), with a player at the
  // cell centre (x, z) and the children given.
  CPeltoLevel* LoadLevel(float x, float z, const std::string& children = "",
                         const std::string& playerParams = "",
                         const std::string& collision = OpenMap(6, 6)) {
    WriteMaps(OpenMap(6, 6), collision);
    Build(LevelXml(6, 6, PlayerXml(x, z, playerParams) + children));
    m_player = Node<CRecordingPlayer>("GamePlayer");
    return Node<CPeltoLevel>("CPeltoLevel");
  }

  // The level's update with these keys held (and those of the last frame), then delivery.
  std::vector<std::string> Frame(CPeltoLevel* level, const std::vector<DWORD>& held,
                                 const std::vector<DWORD>& heldBefore = {}) {
    ReleaseKeys();
    for (DWORD key : held) g_dwCurrentKeys[key] = 1;
    for (DWORD key : heldBefore) g_dwLastKeys[key] = 1;
    CRecordingPlayer::received.clear();
    level->Update(m_core->GetGlobalArg());
    m_core->GetMessageRouter()->DeliverMessages();
    return CRecordingPlayer::received;
  }

  using Messages = std::vector<std::string>;
  const KeyBindings m_keys = DefaultKeyBindings();
  CRecordingPlayer* m_player = nullptr;
};

// Positions here are sums of whole and half cells, so they must come out all but exact.
void ExpectNearly(const CVector3& v, float x, float y, float z) { ExpectNear(v, x, y, z, 1e-5f); }

TEST_F(LevelMoves, PlayerConfigurationAndIdentity) {
  CPeltoLevel* level = LoadLevel(1.5f, 2.5f, "", R"(Velocity="2" OgonDiffuse="0.25;0.5")");
  ASSERT_NE(level, nullptr);
  ASSERT_NE(m_player, nullptr);
  EXPECT_STREQ(m_player->GetClassName(), "CPeltoPlayer");
  for (const char* name :
       {"CPeltoPlayer", "geCRenderableObject", "geCGameObject", "geCBaseNode", "geCBaseObject"})
    EXPECT_TRUE(m_player->IsKindOf(name)) << name;
  EXPECT_FALSE(m_player->IsKindOf("CPeltoPlayerX"));
  ExpectNearly(m_player->m_vecPosition, 1.5f, 0, 2.5f);
  ExpectNearly(m_player->m_vecStartPosition, 1.5f, 0, 2.5f);
  ExpectNearly(m_player->m_vecCameraOffset, -3, 2, 0);
  EXPECT_EQ(m_player->m_fVelocity, 2.0f);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop);
  EXPECT_FALSE(m_player->m_bIsSubPlayer);
  // A short colour reads its missing fields as empty text, not as the default.
  EXPECT_EQ(m_player->m_vecOgonDiffuse[0], 0.25f);
  EXPECT_EQ(m_player->m_vecOgonDiffuse[1], 0.5f);
  EXPECT_EQ(m_player->m_vecOgonDiffuse[2], 0.0f);
  EXPECT_EQ(m_player->m_vecOgonDiffuse[3], 0.0f);
  EXPECT_EQ(m_player->m_vecOgonSpecular[3], 1.0f);
  EXPECT_EQ(m_player->m_vecOgonSpecular[0], 0.5f);
  EXPECT_EQ(m_player->m_vecOgonFrameOffset, 4u);
  // The main player takes the level's cameras 0 and 1 onto its mesh.
  CSceneInterface* scene = m_player->GetOwnerScene();
  ASSERT_NE(scene, nullptr);
  CWorldObjectInterface* mesh = m_player->GetMesh(0);
  EXPECT_EQ(scene->GetCamera(0)->GetTargetObject(0), mesh);
  EXPECT_EQ(scene->GetCamera(0)->GetTopmostParent(), mesh);
  EXPECT_EQ(scene->GetCamera(1)->GetTopmostParent(), mesh);
}

TEST_F(LevelMoves, CameraOffsetDefaultsOnlyWhenNoComponentIsGiven) {
  LoadLevel(0.5f, 0.5f, R"(<Node Type="PeltoPlayer" Name="sub"><Param File="hero.zks"
      Directory="" SubPlayer="1" CameraY="5"/></Node>)");
  auto* sub = Node<CPeltoPlayer>("sub");
  ASSERT_NE(sub, nullptr);
  EXPECT_TRUE(sub->m_bIsSubPlayer);
  ExpectNearly(sub->m_vecCameraOffset, 0, 5, 0);
  // The sub player, configured after the main one, left the cameras with the main player.
  CSceneInterface* scene = m_player->GetOwnerScene();
  EXPECT_EQ(scene->GetCamera(0)->GetTargetObject(0),
            static_cast<CWorldObjectInterface*>(m_player->GetMesh(0)));
}

TEST_F(LevelMoves, PlayerScriptOperations) {
  LoadLevel(0.5f, 0.5f);
  m_player->SetPosition(CVector3(2.9f, 0.7f, -1.2f));
  ExpectNearly(m_player->GetPosition(), 2.5f, 0, -0.5f);
  CVector3 meshAt;
  m_player->GetMesh(0)->GetPosition(&meshAt, 1);
  ExpectNearly(meshAt, 2.5f, 0, -0.5f);
  m_player->SetPositionf(CVector3(1.2f, 3.0f, 4.7f));
  ExpectNearly(m_player->GetPosition(), 1.2f, 3.0f, 4.7f);
  m_player->GetMesh(0)->GetPosition(&meshAt, 1);
  ExpectNearly(meshAt, 2.5f, 0, -0.5f);

  // States outside the table, above or below, are refused.
  for (int state : {200, 128, -1, -128}) {
    EXPECT_EQ(m_player->GetTurnStateOnOrOff(state), -1) << state;
    m_player->TurnStateOnOrOff(state, 0);
    m_player->ForceSetState(state);
    EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop) << state;
  }
  for (int state = 0; state < CPeltoPlayer::kStateCount; ++state)
    ASSERT_EQ(m_player->GetTurnStateOnOrOff(state), 1) << state;
  m_player->TurnStateOnOrOff(9, 0x1FF);
  EXPECT_EQ(m_player->GetTurnStateOnOrOff(9), -1);  // the low byte, sign-extended
  m_player->ForceSetState(9);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop);
  m_player->m_bJumping = true;
  m_player->ForceSetState(10);
  EXPECT_EQ(m_player->m_dwState, 10);
  EXPECT_TRUE(m_player->m_bJumping);
  m_player->ForceSetState(CPeltoPlayer::kStateStop);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop);
  EXPECT_FALSE(m_player->m_bJumping);
}

TEST_F(LevelMoves, IdleAnimationsWaitAndNeverCutAPlayingOne) {
  LoadLevel(0.5f, 0.5f, "", R"(IdleTimeBeforeAnim="2" MaxTimeIntervalBetweenAnim="5")");
  geCAnimationsManager* animations = m_player->GetAnimations();
  animations->SetActive(4);
  animations->SetStopped(1);
  m_player->StartIdle(10.0f);
  m_player->UpdateIdle(11.9f);
  EXPECT_EQ(animations->GetActive(), 4u);
  std::srand(7);
  const int draw = std::rand();
  std::srand(7);
  m_player->UpdateIdle(12.0f);
  EXPECT_EQ(animations->GetActive(), draw % 2 ? 11u : 12u);
  EXPECT_EQ(m_player->m_fIdleStamp, 12.0f);
  const float wait = static_cast<float>(draw % 10) * 0.1f * 5.0f;
  EXPECT_FLOAT_EQ(m_player->m_fIdleWait, wait);
  // Still playing: the next draw is lost, only the stamp moves on.
  animations->SetActive(4);
  m_player->UpdateIdle(12.0f + wait);
  EXPECT_EQ(animations->GetActive(), 4u);
  EXPECT_EQ(m_player->m_fIdleStamp, 12.0f + wait);
}

TEST_F(LevelMoves, StoppingRaisesOnStopState) {
  m_folder.Write("player.as", R"(int stops = 0;
      void OnStopState(const geSUpdateArgument &in a) { stops++; })");
  LoadLevel(0.5f, 0.5f, "", R"(ScriptFile="player.as")");
  EXPECT_EQ(ScriptGlobal("GamePlayer", "stops"), 1);
  m_player->ForceSetState(CPeltoPlayer::kStateIdle);
  EXPECT_EQ(ScriptGlobal("GamePlayer", "stops"), 1);
  m_player->ForceSetState(CPeltoPlayer::kStateStop);
  EXPECT_EQ(ScriptGlobal("GamePlayer", "stops"), 2);
}

TEST_F(LevelMoves, FacingVectorTurnsWithTheBaseRotation) {
  LoadLevel(0.5f, 0.5f);
  const float unturned[4][3] = {{1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, -1}};
  // Yaw 90 degrees turns +x to −z and +z to +x.
  const float turned[4][3] = {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}};
  for (int facing = 0; facing < 4; ++facing) {
    m_player->m_iFacing = facing;
    m_player->SetRotation(CVector3(0, 0, 0));
    const CVector3* direction = m_player->GetDirection();
    ExpectNearly(*direction, unturned[facing][0], unturned[facing][1], unturned[facing][2]);
    m_player->SetRotation(CVector3(90, 0, 0));
    ExpectNearly(m_player->GetFacingVector(), turned[facing][0], turned[facing][1],
                 turned[facing][2]);
    EXPECT_EQ(m_player->GetDirection(), direction);  // one shared vector
  }
}

TEST_F(LevelMoves, APushSlidesForAboutASecondAndSnapsToTheCellCentre) {
  CPeltoLevel* level = LoadLevel(0.5f, 0.5f, Crate("crate", 2.3f, 1.4f));
  auto* crate = Node<CMovableObject>("crate");
  ASSERT_NE(crate, nullptr);
  EXPECT_STREQ(crate->GetClassName(), "CMovableObject");
  EXPECT_TRUE(crate->IsKindOf("geCBaseObject"));
  ASSERT_EQ(level->GetMovableObjects().size(), 1u);
  EXPECT_EQ(level->GetMovableObjects()[0], crate);
  ExpectNearly(*crate->GetPosition(), 2.3f, 0, 1.4f);

  Step(0);  // the frame that resets the input
  m_core->GetGlobalArg()->m_fDeltaTime = 0.02f;
  crate->StartMove(2, 1, 3, 1);
  crate->StartMove(2, 1, 2, 2);  // ignored while sliding
  int frames = 0;
  while (crate->IsMoving() && frames < 100) {
    Step(0.02f * static_cast<float>(++frames));
    if (crate->IsMoving()) {
      EXPECT_NEAR(crate->GetPosition()->z, 1.4f, 1e-5f);
    }
  }
  EXPECT_GE(frames, 49);
  EXPECT_LE(frames, 51);
  EXPECT_EQ(crate->GetPosition()->x, 3.5f);
  EXPECT_EQ(crate->GetPosition()->z, 1.5f);
  CVector3 meshAt;
  crate->GetMesh(0)->GetPosition(&meshAt, 1);
  ExpectNearly(meshAt, 3.5f, 0, 1.5f);
}

TEST_F(LevelMoves, AForwardStepPushesACrateOnlyWhenObjectsMayMove) {
  // Facing +x from (1, 1): the crate on (2, 1) goes to (3, 1).
  CPeltoLevel* level = LoadLevel(1.5f, 1.5f, Crate("crate", 2.5f, 1.5f));
  auto* crate = Node<CMovableObject>("crate");
  EXPECT_EQ(Frame(level, {m_keys.move_forward}), (Messages{"MouseForward 7"}));
  EXPECT_FALSE(crate->IsMoving());
  m_player->ForceSetState(CPeltoPlayer::kStateIdle);  // walking in place posts no steps
  level->GetProperties()->Set("CanMoveObjects", geCVariant(1));
  EXPECT_EQ(Frame(level, {m_keys.move_forward}), (Messages{"MouseForward 1"}));
  EXPECT_TRUE(crate->IsMoving());
  // Slid to its destination (well over a second of frames).
  Step(0);
  m_core->GetGlobalArg()->m_fDeltaTime = 0.1f;
  for (int i = 0; i < 15; ++i) Step(0.1f * static_cast<float>(i));
  ExpectNearly(*crate->GetPosition(), 3.5f, 0, 1.5f);
}

TEST_F(LevelMoves, PushEventsRunOnThePlayerOnlyWhenObjectsMayMove) {
  m_folder.Write("player.as", R"(int started = 0; int refused = 0;
      void OnStartMovingMovable(const geSUpdateArgument &in a) { started++; }
      void OnCantStartMovingMovable(const geSUpdateArgument &in a) { refused++; })");
  CPeltoLevel* level = LoadLevel(1.5f, 1.5f, Crate("crate", 2.5f, 1.5f) + Crate("wall", 4.5f, 1.5f),
                                 R"(ScriptFile="player.as")");
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
  EXPECT_EQ(ScriptGlobal("GamePlayer", "started"), 0);
  EXPECT_EQ(ScriptGlobal("GamePlayer", "refused"), 0);
  level->GetProperties()->Set("CanMoveObjects", geCVariant(1));
  m_player->SetPosition(CVector3(3.5f, 0, 1.5f));  // the crate "wall" ahead has a crate behind
  EXPECT_TRUE(TryMove(level, kMoveForward, 0));
  EXPECT_EQ(ScriptGlobal("GamePlayer", "started"), 1);
  m_player->SetPosition(CVector3(1.5f, 0, 1.5f));
  level->SetCollisionByPos(3.5f, 1.5f, 1);
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
  EXPECT_EQ(ScriptGlobal("GamePlayer", "started"), 1);
  EXPECT_EQ(ScriptGlobal("GamePlayer", "refused"), 1);
}

TEST_F(LevelMoves, FoundCollisionRunsEveryFrameOfContact) {
  m_folder.Write("crate.as", R"(int touches = 0; geCBaseNode@ toucher;
      void FoundCollision(geCBaseNode@ node) { touches++; @toucher = node; })");
  LoadLevel(1.5f, 1.5f,
            R"(<Node Type="MovableObject" Name="near"><Param File="crate.zks" Directory=""
                Enabled="1" InitX="2.5" InitY="0.3" InitZ="2.0" ScriptFile="crate.as"/></Node>)" +
                std::string(R"(<Node Type="MovableObject" Name="far"><Param File="crate.zks"
                Directory="" Enabled="1" InitX="5.5" InitZ="5.5" ScriptFile="crate.as"/></Node>)"));
  for (int frame = 0; frame < 4; ++frame) Step(0.1f * static_cast<float>(frame));
  // The first frame resets the input: the objects skip it.
  EXPECT_EQ(ScriptGlobal("near", "touches"), 3);
  EXPECT_EQ(ScriptGlobal("far", "touches"), 0);
  EXPECT_TRUE(Node<CMovableObject>("near")->IsTouchingPlayer());
  EXPECT_FALSE(Node<CMovableObject>("far")->IsTouchingPlayer());
}

TEST_F(LevelMoves, MissingLevelPlayerOrCamerasAreLoggedAndSkipped) {
  Build(R"(<Node Type="MovableObject" Name="lost"><Param File="crate.zks" Directory=""
             Enabled="1"/></Node>
           <Node Type="PeltoPlayer" Name="alone"><Param File="hero.zks" Directory=""/></Node>)");
  ASSERT_NE(Node<CMovableObject>("lost"), nullptr);
  for (int frame = 0; frame < 3; ++frame) Step(0.1f * static_cast<float>(frame));
  EXPECT_FALSE(Node<CMovableObject>("lost")->IsTouchingPlayer());
  const std::string log = Log();
  EXPECT_NE(log.find("WARNING: movable object found no level to join"), std::string::npos);
  EXPECT_NE(log.find("WARNING: player 'alone' found no cameras 0 and 1 in its scene"),
            std::string::npos);
  const std::string once = "WARNING: movable object 'lost' found no player";
  const size_t first = log.find(once);
  EXPECT_NE(first, std::string::npos);
  EXPECT_EQ(log.find(once, first + 1), std::string::npos);
}

TEST_F(LevelMoves, TheSubPlayerMovesInThePlayersPlace) {
  CPeltoLevel* level = LoadLevel(1.5f, 1.5f, R"(<Node Type="PeltoPlayer" Name="sub"><Param
      File="hero.zks" Directory="" SubPlayer="1" InitX="3.5" InitZ="3.5"/></Node>)");
  level->SetCollisionByPos(2.5f, 1.5f, 1);
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
  m_player->m_pSubPlayer = Node<CPeltoPlayer>("sub");
  EXPECT_TRUE(TryMove(level, kMoveForward, 0));
  level->SetCollisionByPos(4.5f, 3.5f, 1);
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
}

TEST_F(LevelMoves, ACrateOnThePlayersCellMovesOneStep) {
  CPeltoLevel* level = LoadLevel(1.5f, 1.5f, Crate("crate", 1.5f, 1.5f));
  level->GetProperties()->Set("CanMoveObjects", geCVariant(1));
  auto* crate = Node<CMovableObject>("crate");
  ASSERT_TRUE(TryMove(level, kMoveForward, 0));
  Step(0);
  m_core->GetGlobalArg()->m_fDeltaTime = 0.1f;
  for (int i = 0; i < 15; ++i) Step(0.1f * static_cast<float>(i));
  ExpectNearly(*crate->GetPosition(), 2.5f, 0, 1.5f);
}

TEST_F(LevelMoves, NoCrateMovesWhenAnyCrateInvolvedIsStuck) {
  // A crate on the player's cell could move, the one ahead could not (a wall behind it); the
  // free one is listed after the stuck one.
  CPeltoLevel* level = LoadLevel(1.5f, 1.5f, Crate("stuck", 2.5f, 1.5f) + Crate("free", 1.5f, 1.5f),
                                 "", "000000\n000000\n000000\n000000\n009000\n000000\n");
  level->GetProperties()->Set("CanMoveObjects", geCVariant(1));
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
  EXPECT_FALSE(Node<CMovableObject>("stuck")->IsMoving());
  EXPECT_FALSE(Node<CMovableObject>("free")->IsMoving());
}

TEST_F(LevelMoves, CratesBlockButAreNeverPushedBackOrSideways) {
  CPeltoLevel* level = LoadLevel(2.5f, 2.5f, Crate("behind", 1.5f, 2.5f));
  level->GetProperties()->Set("CanMoveObjects", geCVariant(1));
  EXPECT_EQ(Frame(level, {m_keys.move_back}), (Messages{"MouseForward 7"}));
  EXPECT_FALSE(Node<CMovableObject>("behind")->IsMoving());
  // Facing +x, right is −z and left +z: both free (steps are posted only to a standing player).
  m_player->ForceSetState(CPeltoPlayer::kStateIdle);
  EXPECT_EQ(Frame(level, {m_keys.strite_right}), (Messages{"MouseStrafeRight 5"}));
  m_player->ForceSetState(CPeltoPlayer::kStateIdle);
  EXPECT_EQ(Frame(level, {m_keys.strite_left}), (Messages{"MouseStrafeLeft 6"}));
}

TEST_F(LevelMoves, TargetsOutsideTheGridOrOnBlockedCellsAreRefused) {
  // Row z = 0 is the last line of the map; cell (1, 0) blocks.
  CPeltoLevel* level = LoadLevel(4.5f, 0.5f, "", "",
                                 "000000\n000000\n000000\n000000\n000000\n090000\n");
  // The target position itself must lie within 0 … Width − 1: x 5.5 does not.
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
  EXPECT_FALSE(TryMove(level, kMoveRight, 0));    // z −0.5
  EXPECT_TRUE(TryMove(level, kMoveLeft, 0));
  EXPECT_TRUE(TryMove(level, kMoveBack, 0));
  m_player->SetPosition(CVector3(2.5f, 0, 0.5f));
  EXPECT_FALSE(TryMove(level, kMoveBack, 0));  // onto the blocked cell
  EXPECT_TRUE(TryMove(level, kMoveBack, 1));  // two cells back: x 0.5, free
  level->SetCollisionByPos(3.5f, 0.5f, 1);
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));  // dynamically blocked
  // In mini level mode the target cell is clamped onto the grid rather than refused.
  g_pCoreProperties->RegisterAndSet("LoadedMiniLevel", geCVariant(1));
  m_player->SetPosition(CVector3(5.5f, 0, 2.5f));
  EXPECT_TRUE(TryMove(level, kMoveForward, 0));
  // Two cells back from x 0.5 is cell −1: it clamps to cell 0, not round to the blocked far side.
  level->SetCollisionByPos(5.5f, 2.5f, 1);
  m_player->SetPosition(CVector3(0.5f, 0, 2.5f));
  EXPECT_TRUE(TryMove(level, kMoveBack, 1));
  level->SetCollisionByPos(0.5f, 2.5f, 1);
  EXPECT_FALSE(TryMove(level, kMoveBack, 1));
}

TEST_F(LevelMoves, StepKeysInOrderTurnsOnPressOnly) {
  CPeltoLevel* level = LoadLevel(2.5f, 2.5f);
  // Forward and back held: only forward is tried.
  EXPECT_EQ(Frame(level, {m_keys.move_forward, m_keys.move_back}), (Messages{"MouseForward 1"}));
  EXPECT_EQ(Frame(level, {m_keys.move_back}), (Messages{"MouseBack 2"}));
  // A turn comes once per press, in any state; steps only while standing or idle.
  EXPECT_EQ(Frame(level, {m_keys.rotate_left}), (Messages{"MouseLeft 3"}));
  EXPECT_EQ(Frame(level, {m_keys.rotate_left}, {m_keys.rotate_left}), Messages{});
  EXPECT_EQ(Frame(level, {m_keys.rotate_left, m_keys.rotate_right}), (Messages{"MouseLeft 3"}));
  EXPECT_EQ(Frame(level, {m_keys.shoot, m_keys.rotate_right}),
            (Messages{"MouseRight 4", "MouseOnSocket 10"}));
  m_player->m_dwState = 2;
  EXPECT_EQ(Frame(level, {m_keys.move_forward, m_keys.rotate_right}),
            (Messages{"MouseRight 4"}));
  m_player->m_dwState = CPeltoPlayer::kStateIdle;
  level->SetAllowedMoves(63 & ~1u & ~8u);
  EXPECT_EQ(Frame(level, {m_keys.move_forward, m_keys.rotate_right, m_keys.shoot}), Messages{});
}

TEST_F(LevelMoves, ShowBBoxSetsTheCollisionBoxesOnTheFirstUpdate) {
  SaveScene("ground", {{"collision_box", {0, 0, 0}}, {"collision_box2", {0, 0, 0}}});
  g_pCoreProperties->RegisterAndSet("ShowBBox", geCVariant(0));
  CPeltoLevel* level = LoadLevel(2.5f, 2.5f);
  CSceneInterface* scene = level->GetOwnScene();
  CMeshInterface* box = scene->GetMeshByName("collision_box", 0);
  CMeshInterface* other = scene->GetMeshByName("collision_box2", 0);
  ASSERT_TRUE(box && other);
  Step(0);
  EXPECT_EQ(box->GetVisibleByCameras(), 0u);
  EXPECT_EQ(other->GetVisibleByCameras(), 1u);
  // Only the first update does it.
  box->SetVisibility(1, 1, 1);
  Step(0.1f);
  EXPECT_EQ(box->GetVisibleByCameras(), 1u);
}

TEST_F(LevelMoves, PausedOrStoppedInputPostsNothingAndMessage666Quits) {
  CPeltoLevel* level = LoadLevel(2.5f, 2.5f);
  m_core->PauseGame();
  EXPECT_EQ(Frame(level, {m_keys.move_forward, m_keys.rotate_left}), Messages{});
  m_core->ResumeGame();
  EXPECT_EQ(Frame(level, {m_keys.rotate_left}), (Messages{"MouseLeft 3"}));

  geMessage message = {};
  message.MessageID = CPeltoLevel::kStopInputMessage;
  message.dwData = 2;
  level->ProcessMessage(&message);
  EXPECT_EQ(level->GetInputStopped(), 0u);
  EXPECT_EQ(m_core->GetFlags() & geCGameCore::kFlagQuit, 0u);
  message.dwData = 0;
  level->ProcessMessage(&message);
  EXPECT_EQ(level->GetInputStopped(), 1u);
  EXPECT_EQ(Frame(level, {m_keys.move_forward, m_keys.rotate_left}), Messages{});
  message.dwData = 1;
  level->ProcessMessage(&message);
  EXPECT_NE(m_core->GetFlags() & geCGameCore::kFlagQuit, 0u);
}

}  // namespace
