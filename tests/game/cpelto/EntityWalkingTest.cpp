// Walking entities on the engine's real scenes: a level on a small grid with the player and
// entities as its children, frames stepped by hand on the platform's manual clock.
#include <d3dx9math.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "PeltoCoreFixture.h"
#include "RealLevelFixture.h"
#include "ZKDXInterface.h"
#include "cpelto/EntityWalking.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "framework/EngineGlobals.h"
#include "framework/Message.h"
#include "framework/Path.h"
#include "framework/Properties.h"
#include "zktest/ZkTestClock.h"

namespace {

std::string Entity(const std::string& name, const std::string& params,
                   const std::string& file = "walker.zks") {
  return R"(<Node Type="EntityWalking" Name=")" + name + R"("><Param File=")" + file +
         R"(" Directory="" Enabled="1" )" + params + "/></Node>";
}

class EntityWalkingTest : public RealLevelTest {
 protected:
  void SetUp() override {
    RealLevelTest::SetUp();
    PrepareLevelAndPlayer();
    RegisterNodeType<CEntityWalking>("EntityWalking");
    // The same cell, but out of reach of anything on the ground.
    SaveScene("aloft", {{"aloft", {0, 50, 0}}});
    SaveScene("walker", {{"body", {0, 0, 0}, "master_null"}}, {"master_null"});
    SaveScene("plain", {{"body", {0, 0, 0}}});
    // A collision box far above the body: only the box counts for contact.
    SaveScene("boxed",
              {{"body", {0, 0, 0}, "master_null"}, {"collision_box", {0, 30, 0}, "master_null"}},
              {"master_null"});
  }

  // A level of `width` × `height` open cells, the player at (x, z) and the children given.
  CPeltoLevel* LoadLevel(float x, float z, const std::string& children, int width = 7,
                         int height = 7, const std::string& playerFile = "hero.zks") {
    const std::string map = OpenMap(width, height);
    WriteMaps(map, map);
    Build(LevelXml(width, height, PlayerXml(x, z, "", "", playerFile) + children));
    return Node<CPeltoLevel>("CPeltoLevel");
  }

  // Frames of `delta` seconds each, the clock moving with them; the first frame of a tree is its
  // first update.
  void Frames(int count, float delta) {
    for (int i = 0; i < count; ++i) {
      ZkTestClockAdvance(static_cast<uint64_t>(delta * 1e6f + 0.5f));
      Advance(delta);
    }
  }

  static CVector3 NullPosition(CEntityWalking* entity) {
    CNullInterface* null = entity->FindNullByName("master_null", 0);
    return null ? LocalPosition(null) : CVector3();
  }
  static CVector3 Heading(const D3DXQUATERNION& q) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &q);
    D3DXVECTOR4 turned;
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXVec3Transform(&turned, &x, &rotation);
    return CVector3(turned.x, turned.y, turned.z);
  }
  static std::vector<float> KeyTimes(CChannelEnvelopeInterface* envelope) {
    std::vector<float> times;
    for (CKeyInterface* key = envelope->GetKey(0u); key; key = key->GetNextKey())
      times.push_back(key->GetKeyTime());
    return times;
  }
  int Occurrences(const std::string& text) const {
    const std::string log = Log();
    int count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++count;
    return count;
  }
};

TEST_F(EntityWalkingTest, AKeyedPathRunsThroughCellCentres) {
  const int timers = m_scenes.LiveTimers();
  const int alive = g_nObjectsAlive;
  CPeltoLevel* level =
      LoadLevel(6.5f, 6.5f, Entity("walker", R"(EntityPath="2:3;4:3" TimeOnPath="10"
                                PrePathBehaviour="repeat" PostPathBehaviour="constant")"));
  auto* entity = Node<CEntityWalking>("walker");
  ASSERT_NE(entity, nullptr);
  EXPECT_STREQ(entity->GetClassName(), "CEntityWalking");
  for (const char* name :
       {"CEntityWalking", "geCRenderableObject", "geCGameObject", "geCBaseNode", "geCBaseObject"})
    EXPECT_TRUE(entity->IsKindOf(name)) << name;
  for (const char* name : {"ScriptPositionX", "EntityPath", "PrePathBehaviour", "EntityType",
                           "SocketDistance", "SocketType", "MaxDistanceToSee"})
    EXPECT_TRUE(entity->GetProperties()->IsRegistred(name)) << name;

  geCPath* path = entity->GetPath();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->m_fDuration, 10.0f);
  EXPECT_EQ(KeyTimes(path->GetEnvelope(0)), (std::vector<float>{0, 5}));
  // The level file's pre behaviour goes after the last key.
  EXPECT_EQ(path->GetEnvelope(0)->GetPostBehaviour(), 2u);
  EXPECT_EQ(path->GetEnvelope(0)->GetPreBehaviour(), 1u);
  ExpectNear(entity->GetPathStartPoint(), 2.5f, 0, 3.5f);
  ExpectNear(entity->GetPathStartDirection(), -1, 0, 0);
  EXPECT_EQ(Log().find("TimeOnPath property not set"), std::string::npos);

  Frames(1, 0);  // the first update restarts the path clock
  Frames(1, 2.5f);
  ExpectNear(NullPosition(entity), 3.5f, 0, 3.5f);
  Frames(1, 1.0f);
  ExpectNear(NullPosition(entity), 3.9f, 0, 3.5f);
  // The path and its clock go with the entity.
  m_core->GetRootNode()->RemoveChild(level);
  EXPECT_EQ(g_nObjectsAlive, alive);
  EXPECT_EQ(m_scenes.LiveTimers(), timers);
}

TEST_F(EntityWalkingTest, PathDefaultsAndRefusals) {
  LoadLevel(6.5f, 6.5f,
            Entity("lone", R"(EntityPath="2:3")") + Entity("empty", R"(EntityPath="")") +
                Entity("long", R"(EntityPath="1:1;;2:1;")") + Entity("odd", R"(EntityPath="1:1;2:1"
                PrePathBehaviour="Repeat")"));
  EXPECT_EQ(Node<CEntityWalking>("lone")->GetPath(), nullptr);
  EXPECT_EQ(Node<CEntityWalking>("empty")->GetPath(), nullptr);
  EXPECT_EQ(Occurrences("  - WARNING: Skipping path with only one or less key\n"), 2);
  // Empty keys are skipped; the duration defaults to 100 with a warning.
  geCPath* path = Node<CEntityWalking>("long")->GetPath();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->GetPoints().size(), 2u);
  EXPECT_EQ(path->m_fDuration, 100.0f);
  EXPECT_EQ(
      Occurrences("- WARNING: TimeOnPath property not set, setting default value (=100.0f)\n"), 2);
  // Behaviour names match exactly; anything else is linear.
  EXPECT_EQ(Node<CEntityWalking>("odd")->GetPath()->GetEnvelope(1)->GetPostBehaviour(), 5u);
}

TEST_F(EntityWalkingTest, APausedGameHoldsThePath) {
  LoadLevel(6.5f, 6.5f, Entity("walker", R"(EntityPath="0:0;4:0" TimeOnPath="8")"));
  auto* entity = Node<CEntityWalking>("walker");
  Frames(1, 0);
  Frames(1, 1.0f);
  ExpectNear(NullPosition(entity), 1.5f, 0, 0.5f);
  // The entity notices the game's pause and its end at its next update.
  m_core->PauseGame();
  Frames(1, 0);
  Frames(3, 1.0f);
  ExpectNear(NullPosition(entity), 1.5f, 0, 0.5f);
  m_core->ResumeGame();
  Frames(1, 0);
  Frames(1, 1.0f);
  ExpectNear(NullPosition(entity), 2.5f, 0, 0.5f);
  // The script's pause holds it at once.
  entity->Pause();
  EXPECT_EQ(entity->GetAnimations()->IsStopped(), 1u);
  Frames(2, 1.0f);
  ExpectNear(NullPosition(entity), 2.5f, 0, 0.5f);
  entity->Resume();
  EXPECT_EQ(entity->GetAnimations()->IsStopped(), 0u);
  Frames(1, 0.5f);
  ExpectNear(NullPosition(entity), 3.0f, 0, 0.5f);
}

TEST_F(EntityWalkingTest, APathThatTurnsTurnsTheEntityTheSameWay) {
  // East along row 1, then one turn toward +z and another back toward +x; the second entity may
  // turn only about y.
  const std::string path = R"(EntityPath="0:1;2:1;2:3;4:3" TimeOnPath="8")";
  LoadLevel(6.5f, 6.5f, Entity("free", path) + Entity("yaw", path + R"( ConstAxis="2")"));
  Frames(1, 0);
  for (const char* name : {"free", "yaw"}) {
    SCOPED_TRACE(name);
    auto* entity = Node<CEntityWalking>(name);
    ExpectNear(Heading(entity->GetPathOrientation()), 1, 0, 0);
  }
  // Each corner is taken in two turns of 45 degrees, half a second apart.
  Frames(5, 0.5f);  // on the way toward +z
  for (const char* name : {"free", "yaw"}) {
    SCOPED_TRACE(name);
    ExpectNear(Heading(Node<CEntityWalking>(name)->GetPathOrientation()), 0, 0, 1, 1e-3f);
  }
  Frames(4, 0.5f);  // toward +x again
  for (const char* name : {"free", "yaw"}) {
    SCOPED_TRACE(name);
    ExpectNear(Heading(Node<CEntityWalking>(name)->GetPathOrientation()), 1, 0, 0, 1e-3f);
  }
}

TEST_F(EntityWalkingTest, TheNextCellOfTheWayChoosesTheMove) {
  struct Case {
    const char* what;
    float playerX, playerZ;
    int state;
  };
  // Facing +x from (3, 3): +z is to the right, −z to the left.
  const Case cases[] = {{"ahead", 6.5f, 3.5f, CEntityWalking::kFollowForward},
                        {"right", 3.5f, 6.5f, CEntityWalking::kFollowTurnRight},
                        {"left", 3.5f, 0.5f, CEntityWalking::kFollowTurnLeft},
                        {"behind", 0.5f, 3.5f, CEntityWalking::kFollowTurnLeft}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoadLevel(c.playerX, c.playerZ,
              Entity("walker", R"(InitX="3.5" InitZ="3.5" LookAndFollowPlayer="1")"));
    auto* entity = Node<CEntityWalking>("walker");
    Frames(2, 0.1f);
    EXPECT_EQ(entity->GetFollowState(), c.state);
    ASSERT_GE(entity->GetGridPathLength(), 2);
    ExpectNear(entity->GetGridPathCell(0), 3, 0, 3);
    m_core->GetRootNode()->RemoveChild(Node<CPeltoLevel>("CPeltoLevel"));
  }
}

TEST_F(EntityWalkingTest, APlayerBehindIsReachedByTwoLeftTurns) {
  LoadLevel(0.5f, 3.5f, Entity("walker", R"(InitX="3.5" InitZ="3.5" LookAndFollowPlayer="1")"));
  auto* entity = Node<CEntityWalking>("walker");
  std::vector<int> states, facings;
  CVector3 headingOnSetOff;
  Frames(1, 0);
  for (int frame = 0; frame < 8 && states.size() < 3; ++frame) {
    Frames(1, 0.5f);
    if (states.empty() || states.back() != entity->GetFollowState() ||
        facings.back() != entity->GetFacingIndex()) {
      states.push_back(entity->GetFollowState());
      facings.push_back(entity->GetFacingIndex());
      headingOnSetOff = Heading(entity->GetRotationQuaternion());
    }
  }
  EXPECT_EQ(states,
            (std::vector<int>{CEntityWalking::kFollowTurnLeft, CEntityWalking::kFollowTurnLeft,
                              CEntityWalking::kFollowForward}));
  EXPECT_EQ(facings, (std::vector<int>{0, 1, 2}));
  ExpectNear(headingOnSetOff, -1, 0, 0, 1e-3f);
  ExpectNear(*entity->GetPosition(), 3.5f, 0, 3.5f);
}

TEST_F(EntityWalkingTest, VelocityTwoCrossesACellInHalfASecond) {
  LoadLevel(5.5f, 3.5f,
            Entity("walker", R"(InitX="0.5" InitZ="3.5" LookAndFollowPlayer="1" Velocity="2")"));
  auto* entity = Node<CEntityWalking>("walker");
  Frames(2, 0.1f);  // the first update, then the move is chosen
  ASSERT_EQ(entity->GetFollowState(), CEntityWalking::kFollowForward);
  Frames(4, 0.1f);
  EXPECT_NEAR(entity->GetPosition()->x, 1.3f, 1e-4f);
  EXPECT_EQ(entity->GetFollowState(), CEntityWalking::kFollowForward);
  Frames(1, 0.1f);
  EXPECT_NEAR(entity->GetPosition()->x, 1.5f, 1e-4f);
  ExpectNear(NullPosition(entity), entity->GetPosition()->x, 0, 3.5f);
}

TEST_F(EntityWalkingTest, LookForPlayerSwitchesFollowingAndMaxDistanceRefusesLongWays) {
  LoadLevel(6.5f, 3.5f,
            Entity("near", R"(InitX="2.5" InitZ="3.5" MaxDistanceToSee="5")") +
                Entity("far", R"(InitX="1.5" InitZ="3.5" MaxDistanceToSee="5")"));
  auto* nearOne = Node<CEntityWalking>("near");
  auto* farOne = Node<CEntityWalking>("far");
  struct Case {
    const char* name;
    DWORD id;
    bool following;
  };
  const Case messages[] = {{"LookForPlayer", 1, true},  {"LookForPlayer", 2, true},
                           {"LookAtPlayer", 0, true},   {"LookForPlayer", 0, false},
                           {"LookForPlayer", 2, false}, {"LookForPlayer", 1, true}};
  for (const Case& c : messages) {
    geMessage message = {};
    std::snprintf(message.pszName, sizeof message.pszName, "%s", c.name);
    message.MessageID = c.id;
    for (CEntityWalking* entity : {nearOne, farOne}) entity->ProcessMessage(&message);
    EXPECT_EQ(nearOne->IsFollowingPlayer(), c.following) << c.name << " " << c.id;
  }
  Frames(3, 0.1f);
  // Five cells to the player: followed. Six: too far.
  EXPECT_EQ(nearOne->GetGridPathLength(), 5);
  EXPECT_EQ(nearOne->GetFollowState(), CEntityWalking::kFollowForward);
  EXPECT_EQ(farOne->GetGridPathLength(), 0);
  EXPECT_EQ(farOne->GetFollowState(), CEntityWalking::kFollowIdle);
  EXPECT_EQ(farOne->GetPosition()->x, 1.5f);
}

TEST_F(EntityWalkingTest, ContactRunsFoundCollisionThroughTheBoxWhenThereIsOne) {
  m_folder.Write("walker.as", R"(int touches = 0; int before = 0; geCBaseNode@ toucher;
      void FoundCollision(geCBaseNode@ node) { touches++; @toucher = node; }
      void CEntityWalking_PreUpdatePosition(geCBaseNode@ node) { before++; })");
  LoadLevel(2.5f, 2.5f,
            Entity("touching", R"(InitX="3.0" InitZ="2.5" ScriptFile="walker.as")") +
                Entity("boxed", R"(InitX="3.0" InitZ="2.5" ScriptFile="walker.as")", "boxed.zks") +
                Entity("plain", R"(InitX="2.0" InitZ="2.5" ScriptFile="walker.as")", "plain.zks") +
                Entity("away", R"(InitX="6.5" InitZ="6.5" ScriptFile="walker.as")"));
  Frames(4, 0.1f);
  // The first frame is the first update: no contact test, no position script.
  EXPECT_EQ(ScriptGlobal("touching", "touches"), 3);
  EXPECT_EQ(ScriptGlobal("touching", "before"), 3);
  EXPECT_EQ(ScriptGlobal("plain", "touches"), 3);
  EXPECT_EQ(ScriptGlobal("boxed", "touches"), 0);
  EXPECT_EQ(ScriptGlobal("away", "touches"), 0);
  EXPECT_TRUE(Node<CEntityWalking>("touching")->IsTouchingPlayer());
  EXPECT_FALSE(Node<CEntityWalking>("away")->IsTouchingPlayer());
  // Without "master_null" the body mesh is moved, with a warning.
  EXPECT_EQ(Occurrences("Top level WARRNING!! NULL Object \"master_null\" NOT Found\n"), 1);
  CVector3 body;
  Node<CEntityWalking>("plain")->GetBodyMesh()->GetPosition(&body, 1);
  ExpectNear(body, 2.0f, 0, 2.5f);
}

TEST_F(EntityWalkingTest, WithoutMasterNullTheBodyMeshAddsItsOwnMotion) {
  LoadLevel(6.5f, 6.5f, Entity("plain", R"(InitX="1.5" InitZ="2.5")", "plain.zks"));
  auto* entity = Node<CEntityWalking>("plain");
  CMeshInterface* body = entity->GetBodyMesh();
  ASSERT_NE(body, nullptr);
  CMotionInterface* motion = body->GetMotion(0);
  ASSERT_NE(motion, nullptr);
  // A constant offset on x and z in the body's own channels. The saved mesh has no channels
  // in use, so the motion keeps the values evaluated here.
  for (auto [channel, value] : {std::pair<UINT, float>{0, 0.25f}, {2, -0.5f}}) {
    motion->GetChannel(channel)->AddKeyData(value, 0, 3, 0, 0, 0, 0, 0, 0, 0);
    motion->GetChannel(channel)->EvalEnvelope(0);
  }
  Frames(1, 0);
  Frames(1, 0.1f);
  ExpectNear(LocalPosition(body), 1.75f, 0, 2.0f);
}

TEST_F(EntityWalkingTest, ScriptOperationsMoveTurnAndCarry) {
  LoadLevel(6.5f, 6.5f, Entity("walker", R"(InitX="1.5" InitZ="1.5")"));
  auto* entity = Node<CEntityWalking>("walker");
  Frames(1, 0);
  entity->SetPosition(2.5f, 0.25f, 4.5f);
  ExpectNear(*entity->GetPosition(), 2.5f, 0.25f, 4.5f);
  entity->SetCarried(1, CVector3(0, 0, 0.5f));
  Frames(1, 0.1f);
  ExpectNear(NullPosition(entity), 2.5f, 0.25f, 5.0f);
  entity->SetRotation(CVector3(1.5707964f, 0, 0));
  ExpectNear(Heading(entity->GetRotationQuaternion()), 0, 0, -1);
  ExpectNear(Heading(entity->GetPathOrientation()), 0, 0, -1);
}

TEST_F(EntityWalkingTest, AWayLongerThanTheGridPathIsFollowedByItsFirstCells) {
  LoadLevel(279.5f, 0.5f, Entity("walker", R"(InitX="0.5" InitZ="0.5" LookAndFollowPlayer="1")"),
            280, 16);
  auto* entity = Node<CEntityWalking>("walker");
  Frames(2, 0.1f);
  ASSERT_EQ(entity->GetGridPathLength(), CEntityWalking::kMaxGridPath);
  for (int i : {0, 1, 255}) ExpectNear(entity->GetGridPathCell(i), static_cast<float>(i), 0, 0);
  EXPECT_EQ(entity->GetFollowState(), CEntityWalking::kFollowForward);
}

TEST_F(EntityWalkingTest, AnEntityOnThePlayersCellStaysIdle) {
  LoadLevel(3.5f, 3.5f, Entity("walker", R"(InitX="3.5" InitZ="3.5" LookAndFollowPlayer="1")"), 7,
            7, "aloft.zks");
  auto* entity = Node<CEntityWalking>("walker");
  Frames(5, 0.25f);
  EXPECT_FALSE(entity->IsTouchingPlayer());
  EXPECT_EQ(entity->GetGridPathLength(), 1);
  EXPECT_EQ(entity->GetFollowState(), CEntityWalking::kFollowIdle);
  ExpectNear(*entity->GetPosition(), 3.5f, 0, 3.5f);
  ExpectNear(Heading(entity->GetRotationQuaternion()), 1, 0, 0);
}

TEST_F(EntityWalkingTest, WithoutLevelOrPlayerTheEntityStaysIdleAndSaysSoOnce) {
  Build(Entity("lost", R"(InitX="1.5" InitZ="1.5" LookAndFollowPlayer="1" AddToCollisions="1")"));
  auto* entity = Node<CEntityWalking>("lost");
  ASSERT_NE(entity, nullptr);
  Frames(4, 0.25f);
  EXPECT_EQ(entity->GetFollowState(), CEntityWalking::kFollowIdle);
  EXPECT_FALSE(entity->IsTouchingPlayer());
  EXPECT_EQ(Occurrences("WARNING: walking entity 'lost' found no level\n"), 1);
  EXPECT_EQ(Occurrences("WARNING: walking entity 'lost' found no player\n"), 1);
}

TEST_F(EntityWalkingTest, AddToCollisionsJoinsTheLevelsMovableObjects) {
  CPeltoLevel* level =
      LoadLevel(6.5f, 6.5f,
                Entity("joined", R"(InitX="1.5" InitZ="1.5" AddToCollisions="1")") +
                    Entity("apart", R"(InitX="2.5" InitZ="1.5")"));
  ASSERT_EQ(level->GetMovableObjects().size(), 1u);
  EXPECT_EQ(level->GetMovableObjects()[0], Node<CEntityWalking>("joined"));
}

}  // namespace

TEST_F(PeltoCoreTest, TheGameMakesWalkingEntities) {
  CTestPeltoCore core;
  ASSERT_TRUE(core.RegisterNodeTypes());
  geTRefPtr<geCBaseNode> made = CreateNode("EntityWalking", nullptr);
  ASSERT_TRUE(made);
  EXPECT_TRUE(made->IsKindOf("CEntityWalking"));
}
