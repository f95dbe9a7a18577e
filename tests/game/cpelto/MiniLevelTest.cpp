// The mini level on the engine's real scenes: a corridor three cells wide and 13 rows long with
// a wall on both sides of every row, generations of four rows, a player the test moves by hand,
// walking entities and furniture as children of the level.
#include <string>
#include <vector>

#include "RealLevelFixture.h"
#include "cpelto/EntityWalking.h"
#include "cpelto/KeyBindings.h"
#include "cpelto/LevelObjects.h"
#include "cpelto/MenuText.h"
#include "cpelto/PeltoFurniture.h"
#include "cpelto/PeltoMiniLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/PeltoWall.h"
#include "framework/EngineGlobals.h"
#include "framework/InputState.h"
#include "framework/Properties.h"
#include "framework/TextReceiver.h"

namespace {

// A player that keeps the ids of the messages it is sent.
class CMessageIdPlayer : public CPeltoPlayer {
 public:
  using CPeltoPlayer::CPeltoPlayer;
  void ProcessMessage(geMessage* pMessage) override {
    ids.push_back(pMessage->MessageID);
    CPeltoPlayer::ProcessMessage(pMessage);
  }
  std::vector<DWORD> ids;
};

// A text line of another kind than the menu's.
class CForeignTextLine : public geCBaseNode, public geCTextReceiver {
 public:
  using geCBaseNode::geCBaseNode;
  void SetText(const char* szText) override { text = szText; }
  std::string text;
};

std::string Placed(const char* type, const char* name, const char* file, float z) {
  return std::string("<Node Type=\"") + type + "\" Name=\"" + name + "\"><Param File=\"" + file +
         "\" Directory=\"\" Enabled=\"1\" InitX=\"1.5\" InitZ=\"" + std::to_string(z) +
         "\"/></Node>";
}

class MiniLevelTest : public RealLevelTest {
 protected:
  static constexpr int kHeight = 13;

  void SetUp() override {
    RealLevelTest::SetUp();
    RegisterNodeType<CPeltoMiniLevel>("MiniLevel");
    RegisterNodeType<CMessageIdPlayer>("PeltoPlayer");
    RegisterNodeType<CPeltoWall>("PeltoWall");
    RegisterNodeType<CEntityWalking>("EntityWalking");
    RegisterNodeType<CPeltoFurniture>("Furniture");
    RegisterNodeType<CMenuText>("MenuText");
    RegisterNodeType<CForeignTextLine>("ForeignText");
    SaveGroundAndHero();
    SaveScene("wall", {{"wall", {0, 0, 0}}});
    SaveScene("chair", {{"chair", {0, 0, 0}}});
    SaveScene("walker", {{"body", {0, 0, 0}, "master_null"}}, {"master_null"});
    std::string elements, collision;
    for (int row = 0; row < kHeight; ++row) {
      elements += "w0w\n";
      collision += "909\n";
    }
    WriteMaps(elements, collision);
    m_folder.Write("mini.as",
                   "int generations = 0; void OnNextGeneration(geCBaseNode@ level) { "
                   "generations++; }");
  }

  // The mini level with the map attributes given, the player at z 1.5 and the children given;
  // the first frame, that of the input reset, is run.
  CPeltoMiniLevel* LoadMiniLevel(const std::string& mapAttributes = R"(GenerationHeight="4")",
                                 const std::string& children = "") {
    Build(LevelXml(3, kHeight,
                   R"(<element_types id="w" file="wall.zks"/>)" +
                       PlayerXml(1.5f, 1.5f, R"(Enabled="1")") + children,
                   "MiniLevel", "mini", R"(ScriptFile="mini.as")", mapAttributes));
    m_player = Node<CMessageIdPlayer>("GamePlayer");
    auto* level = dynamic_cast<CPeltoMiniLevel*>(FindPeltoLevel(m_player));
    Frames(1);
    return level;
  }

  // Frames of a tenth of a second: the engine brings world positions up to date as it draws.
  void Frames(int count) {
    for (int i = 0; i < count; ++i) Frame(0.1f);
  }
  // Puts the player at z and lets the level see it.
  void WalkTo(float z) {
    m_player->SetPositionf(CVector3(1.5f, 0.0f, z));
    Frames(2);
  }

  // The level's update with the key held, then delivery; the ids the player received.
  std::vector<DWORD> Press(CPeltoMiniLevel* level, DWORD key) {
    geClearKeyTable(g_dwCurrentKeys);
    g_dwCurrentKeys[key] = 1;
    m_player->ids.clear();
    m_player->ForceSetState(CPeltoPlayer::kStateIdle);
    level->Update(m_core->GetGlobalArg());
    m_core->GetMessageRouter()->DeliverMessages();
    geClearKeyTable(g_dwCurrentKeys);
    return m_player->ids;
  }

  static float WallZ(CPeltoMiniLevel* level, int x, int y) {
    auto* wall = dynamic_cast<geCGameObject*>(level->GetCell(x, y)->pWallNode);
    return LocalPosition(wall->GetMesh(0)).z;
  }
  // How far the walls of each generation have been lifted, in rows; -1 when the two walls of a
  // generation's rows disagree.
  static std::vector<float> WallLifts(CPeltoMiniLevel* level) {
    std::vector<float> lifts;
    for (int generation = 0; generation < 3; ++generation) {
      const int first = 1 + generation * 4;
      const float lift = WallZ(level, 0, first) - static_cast<float>(first);
      for (int y = first; y < first + 4; ++y)
        for (int x : {0, 2})
          if (WallZ(level, x, y) - static_cast<float>(y) != lift) return {-1};
      lifts.push_back(lift);
    }
    return lifts;
  }
  float EntityZ(const char* name) {
    return LocalPosition(Node<CEntityWalking>(name)->FindNullByName("master_null", 0)).z;
  }
  float FurnitureZ(const char* name) {
    return LocalPosition(Node<CPeltoFurniture>(name)->GetBodyMesh()).z;
  }

  CMessageIdPlayer* m_player = nullptr;
};

TEST_F(MiniLevelTest, IsALevelWhoseRowsFormThreeGenerations) {
  CPeltoMiniLevel* level = LoadMiniLevel();
  ASSERT_NE(level, nullptr);
  EXPECT_STREQ(level->GetName(), "CPeltoLevel");
  EXPECT_STREQ(level->GetClassName(), "CPeltoLevel");
  EXPECT_TRUE(level->IsKindOf("CPeltoLevel"));
  EXPECT_EQ(level->GetClassSize(), sizeof(CPeltoLevel));
  ASSERT_TRUE(level->HasGenerations());
  EXPECT_EQ(level->GetGenerationHeight(), 4u);
  // Rows 1 to 4, 5 to 8 and 9 to 12, each the walls of its row from x = 0; row 0 in none.
  for (DWORD generation = 0; generation < 3; ++generation) {
    const CPeltoMiniLevel::Generation& rows = level->GetGeneration(generation);
    ASSERT_EQ(rows.size(), 4u) << generation;
    for (int row = 0; row < 4; ++row) {
      const int y = 1 + static_cast<int>(generation) * 4 + row;
      ASSERT_EQ(rows[row].size(), 3u);
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(rows[row][x], level->GetCell(x, y)->pWallNode) << x << "," << y;
      EXPECT_NE(rows[row][0], nullptr);
      EXPECT_EQ(rows[row][1], nullptr);
    }
  }
}

TEST_F(MiniLevelTest, EnteringAGenerationLiftsTheOneTwoBehindWithWhatStandsInIt) {
  CPeltoMiniLevel* level = LoadMiniLevel(
      R"(GenerationHeight="4")",
      Placed("EntityWalking", "near", "walker.zks", 2.5f) +
          Placed("EntityWalking", "far", "walker.zks", 6.5f) +
          Placed("Furniture", "chair", "chair.zks", 3.5f) +
          Placed("Furniture", "bench", "chair.zks", 5.5f));
  Build(R"(<Node Type="MenuText" Name="LINE_2"><Param Text=""/></Node>)");
  auto* line = Node<CMenuText>("LINE_2");
  ASSERT_TRUE(level && line);
  Node<CEntityWalking>("near")->GetMesh(0)->SetVisibility(0, 0, 0);
  const std::string module = level->GetScriptModuleName();

  struct Step {
    float z;
    DWORD generation;
    std::vector<float> wallLifts;  // of generations 0, 1 and 2
    float nearZ, farZ, chairZ, benchZ;
    int events;
    const char* line;
  } steps[] = {
      {7.9f, 1, {0, 0, 0}, 2.5f, 6.5f, 3.5f, 5.5f, 0, ""},
      // Into generation 2: generation 0 goes 12 rows ahead, with the entity and the chair in it.
      {8.1f, 2, {12, 0, 0}, 14.5f, 6.5f, 15.5f, 5.5f, 1, "Gen=2, Moved=0"},
      {11.9f, 2, {12, 0, 0}, 14.5f, 6.5f, 15.5f, 5.5f, 1, "Gen=2, Moved=0"},
      {12.1f, 3, {12, 12, 0}, 14.5f, 18.5f, 15.5f, 17.5f, 2, "Gen=3, Moved=1"},
      {16.1f, 4, {12, 12, 12}, 14.5f, 18.5f, 15.5f, 17.5f, 2, "Gen=4, Moved=2"},
      // Generation 0 again, now a lap further: the carried entity's offset is two lifts.
      {20.1f, 5, {24, 12, 12}, 26.5f, 18.5f, 27.5f, 17.5f, 3, "Gen=5, Moved=0"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.z);
    WalkTo(step.z);
    EXPECT_EQ(level->GetCurrentGeneration(), step.generation);
    EXPECT_EQ(WallLifts(level), step.wallLifts);
    EXPECT_FLOAT_EQ(EntityZ("near"), step.nearZ);
    EXPECT_FLOAT_EQ(EntityZ("far"), step.farZ);
    EXPECT_FLOAT_EQ(FurnitureZ("chair"), step.chairZ);
    EXPECT_FLOAT_EQ(FurnitureZ("bench"), step.benchZ);
    EXPECT_EQ(ScriptGlobal(module.c_str(), "generations"), step.events);
    EXPECT_EQ(line->GetText(), step.line);
  }
  EXPECT_EQ(WallZ(level, 0, 0), 0.0f);  // row 0 never moves
  EXPECT_EQ(Node<CEntityWalking>("near")->GetMesh(0)->GetVisibleByCameras(), 1u);
  EXPECT_EQ(Node<CEntityWalking>("far")->GetMesh(0)->GetVisibleByCameras(), 1u);
}

TEST_F(MiniLevelTest, MapPositionsWrapIntoTheFirstThreeGenerations) {
  CPeltoMiniLevel* level = LoadMiniLevel();
  Build(R"(<Node Type="MenuText" Name="LINE_3"><Param Text=""/></Node>)");
  ASSERT_NE(level, nullptr);
  const struct {
    float z, mapped;
  } cases[] = {{13.5f, 1.5f}, {0.5f, 1.5f}, {5.0f, 5.0f}, {12.5f, 1.5f}, {26.5f, 2.5f},
               {11.9f, 11.9f}, {-0.5f, -0.5f}};
  for (const auto& c : cases) {
    CVector3 at(2.25f, 0.75f, c.z);
    level->ToMapPosition(&at);
    EXPECT_FLOAT_EQ(at.z, c.mapped) << c.z;
    EXPECT_EQ(at.x, 2.25f);
    EXPECT_EQ(at.y, 0.75f);
  }
  CVector3 at(0, 0, 13.5f);
  level->ToMapPosition(&at);
  EXPECT_EQ(Node<CMenuText>("LINE_3")->GetText(), "OrgZ=13.500, AfterZ=1.500");
}

TEST_F(MiniLevelTest, NoStepTowardMinusZIsEverOffered) {
  CPeltoMiniLevel* level = LoadMiniLevel();
  ASSERT_NE(level, nullptr);
  const KeyBindings keys = DefaultKeyBindings();
  m_player->SetPositionf(CVector3(1.5f, 0, 5.5f));
  const struct {
    int facing;  // +x, +z, -x, -z
    DWORD mask;
  } cases[] = {{0, 0x2F}, {1, 0x3D}, {2, 0x1F}, {3, 0x3E}};
  for (const auto& c : cases) {
    m_player->m_iFacing = c.facing;
    level->UpdateMoveMask();
    EXPECT_EQ(level->GetAllowedMoves(), c.mask) << c.facing;
  }
  // Facing +z the back step is never sent; facing -z the forward step is not, the back one is.
  m_player->m_iFacing = 1;
  EXPECT_EQ(Press(level, keys.move_back), std::vector<DWORD>{});
  EXPECT_EQ(Press(level, keys.move_forward), std::vector<DWORD>{1});
  m_player->m_iFacing = 3;
  EXPECT_EQ(Press(level, keys.move_forward), std::vector<DWORD>{});
  EXPECT_EQ(Press(level, keys.move_back), std::vector<DWORD>{2});
  // Facing -x the left step would lead toward -z; the right one is free.
  m_player->m_iFacing = 2;
  EXPECT_EQ(Press(level, keys.strite_left), std::vector<DWORD>{});
  EXPECT_EQ(Press(level, keys.strite_right), std::vector<DWORD>{5});
}

TEST_F(MiniLevelTest, CameraZeroIsLeftWhereItStands) {
  CPeltoMiniLevel* level = LoadMiniLevel();
  ASSERT_NE(level, nullptr);
  CCameraInterface* camera = level->GetOwnerScene()->GetCamera(0);
  // The player took the camera onto its mesh; the input reset frame changed nothing.
  ASSERT_NE(camera->GetParentObject(1), nullptr);
  CVector3 before;
  camera->GetPosition(&before, 0);
  Frames(1);
  EXPECT_EQ(camera->GetParentObject(1), nullptr);
  CVector3 after;
  camera->GetPosition(&after, 1);
  EXPECT_FLOAT_EQ(after.x, before.x);
  EXPECT_FLOAT_EQ(after.y, before.y);
  EXPECT_FLOAT_EQ(after.z, before.z);
}

TEST_F(MiniLevelTest, AnInputResetSetsTheGenerationBackToZero) {
  CPeltoMiniLevel* level = LoadMiniLevel();
  ASSERT_NE(level, nullptr);
  WalkTo(8.1f);
  ASSERT_EQ(level->GetCurrentGeneration(), 2u);
  m_core->RequestInputReset();
  m_player->SetPositionf(CVector3(1.5f, 0, 12.1f));
  Frames(1);
  EXPECT_EQ(level->GetCurrentGeneration(), 0u);
  // Nothing else happened in that frame: no lift of generation 1.
  EXPECT_EQ(WallLifts(level), (std::vector<float>{12, 0, 0}));
}

TEST_F(MiniLevelTest, StepsReadTheWrappedMapAndOnlyTheClampedTargetInMiniLevelMode) {
  CPeltoMiniLevel* level = LoadMiniLevel();
  ASSERT_NE(level, nullptr);
  g_pCoreProperties->RegisterAndSet("LoadedMiniLevel", geCVariant(1));
  // World z 13.5 is map row 1: a wall stands on its right (+x), the cell ahead (+z) is free
  // until it is blocked.
  m_player->SetPositionf(CVector3(1.5f, 0, 13.5f));
  m_player->m_iFacing = 0;
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
  m_player->m_iFacing = 1;
  EXPECT_TRUE(TryMove(level, kMoveForward, 0));
  level->SetCollisionByPos(1.5f, 2.5f, 1);
  EXPECT_FALSE(TryMove(level, kMoveForward, 0));
  // Two rows ahead of row 11 lies past the grid: only a mini level takes the last row instead.
  m_player->SetPositionf(CVector3(1.5f, 0, 11.5f));
  EXPECT_TRUE(TryMove(level, kMoveForward, 1));
  g_pCoreProperties->RegisterAndSet("LoadedMiniLevel", geCVariant(0));
  EXPECT_FALSE(TryMove(level, kMoveForward, 1));
}

TEST_F(MiniLevelTest, LayoutsThatDoNotFitThreeGenerationsAreRefused) {
  const struct {
    const char* attributes;
    bool accepted;
  } cases[] = {
      {"", false},
      {R"(GenerationHeight="0")", false},
      {R"(GenerationHeight="-4")", false},
      {R"(GenerationHeight="3")", false},  // rows 10 to 12 would be a fourth generation
      {R"(GenerationHeight="5")", true},   // the last generation is short
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attributes);
    CPeltoMiniLevel* level = LoadMiniLevel(c.attributes);
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->HasGenerations(), c.accepted);
    CVector3 at(0, 0, 16.5f);
    level->ToMapPosition(&at);
    EXPECT_EQ(at.z == 16.5f, !c.accepted);
    WalkTo(13.1f);
    if (!c.accepted) {
      EXPECT_EQ(WallLifts(level), (std::vector<float>{0, 0, 0}));
      EXPECT_EQ(level->GetCurrentGeneration(), 0u);
    }
    m_core->GetRootNode()->RemoveChild(level);
  }
  const std::string log = Log();
  EXPECT_NE(log.find("ERROR: mini level refused: GenerationHeight 0 does not split rows 1 to 12 "
                     "into 3 generations\n"),
            std::string::npos);
  EXPECT_NE(log.find("GenerationHeight 3 does not split"), std::string::npos);
  EXPECT_EQ(log.find("GenerationHeight 5 does not split"), std::string::npos);
}

TEST_F(MiniLevelTest, DebugLinesGoOnlyToMenuTexts) {
  CPeltoMiniLevel* level = LoadMiniLevel();
  Build(R"(<Node Type="ForeignText" Name="LINE_2"/><Node Type="Node" Name="LINE_3"/>)");
  ASSERT_NE(level, nullptr);
  WalkTo(8.1f);
  CVector3 at(0, 0, 13.5f);
  level->ToMapPosition(&at);
  EXPECT_FLOAT_EQ(at.z, 1.5f);
  EXPECT_EQ(level->GetCurrentGeneration(), 2u);
  EXPECT_EQ(Node<CForeignTextLine>("LINE_2")->text, "");
}

}  // namespace
