// The level list found under the levels folder, and the level switch carried out between frames.
#include <gtest/gtest.h>

#include <filesystem>

#include "PeltoCoreFixture.h"
#include "framework/BaseNode.h"
#include "cpelto/MenuText.h"

namespace {

class LevelSwitchTest : public PeltoCoreTest {
 protected:
  // The HUD (hidden, with one child), the socket-distance text and two levels.
  CTestPeltoCore& StartWithLevels(const std::string& hudNodes = kHudNodes) {
    WriteLevelSetup("", "<AutoCreate>" + hudNodes + "</AutoCreate>");
    WriteLevel("castle", m_castle);
    WriteLevel("dungeon", R"(<Node Type="Node" Name="Dungeon"/>)");
    CTestPeltoCore& core = StartCore();
    m_hud = core.GetRootNode()->GetNodeByName("HUDScreen", 1);
    return core;
  }
  geCBaseNode* Find(const char* name) { return m_core->GetRootNode()->GetNodeByName(name, 1); }
  CMenuText* SocketText() { return dynamic_cast<CMenuText*>(Find("SocketDistance")); }

  static constexpr const char* kHudNodes =
      R"(<Node Type="Node" Name="HUDScreen"><Param Enabled="0"/>
           <Node Type="Node" Name="HUDMap"><Param Enabled="0"/></Node></Node>
         <Node Type="MenuText" Name="SocketDistance">
           <Param Text="12 m" CharWidth="16" CharHeight="16" Size="20"/></Node>)";
  geCBaseNode* m_hud = nullptr;
  std::string m_castle = R"(<Node Type="Node" Name="Castle"><Node Type="Node" Name="Tower"/></Node>)";
};

}  // namespace

TEST_F(PeltoCoreTest, LevelScanListsNamedLevelFoldersOnly) {
  using Files = std::vector<std::pair<std::string, std::string>>;  // under game/levels/
  struct Case {
    const char* name;
    Files files;
    std::vector<std::string> levels;
  } cases[] = {
      {"mixed folders",
       {{"castle/config.xml", R"(<Node Type="Node" Name="Castle"/>)"},
        {"alpha.1/config.xml", R"(<Node Type="Node" Name="Dotted"/>)"},
        {"readme", "not a level"},
        {"empty/notes.txt", "no config here"},
        {"nonode/config.xml", R"(<Level Name="NoNode"/>)"},
        {"first/config.xml", R"(<Node Type="Node" Name="Twin"><Param UserData1="first"/></Node>)"},
        {"noname/config.xml", R"(<Node Type="Node"/>)"},
        {"second/config.xml", R"(<Node Type="Node" Name="Twin"><Param UserData1="second"/></Node>)"}},
       {"Castle", "Twin", "Twin"}},
      {"only files and dotted names",
       {{"readme", ""}, {"x.y/config.xml", R"(<Node Type="Node" Name="Dotted"/>)"}},
       {}},
      // The search still lists "." and "..".
      {"empty folder", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(m_folder / "game");
    WriteLevelSetup("", "");
    std::filesystem::create_directories(m_folder / "game/levels");
    for (const auto& [path, contents] : c.files) m_folder.Write("game/levels/" + path, contents);
    CTestPeltoCore& core = StartCore();
    ASSERT_EQ(core.GetLevelsCount(), c.levels.size());
    for (size_t i = 0; i < c.levels.size(); ++i)
      EXPECT_EQ(core.GetLevelName(static_cast<int>(i)), c.levels[i]);
    EXPECT_EQ(core.GetLevelName(static_cast<int>(c.levels.size())), "");
    EXPECT_EQ(core.GetLevelName(-1), "");
    EXPECT_EQ(Contains(GameLog(), "WARNING: level in 'game\\levels\\noname\\config.xml' has "
                                  "no Name, skipped\n"),
              !c.levels.empty());
    if (!c.levels.empty()) {
      // Of two levels with one name, the first found is the one that loads.
      core.LoadLevel("Twin");
      core.ProcessFrame();
      ASSERT_NE(core.GetCurrentLevel(), nullptr);
      EXPECT_EQ(core.GetCurrentLevel()->GetProperties()->GetString("UserData1"), "first");
    }
    DestroyCore();
  }
}

TEST_F(PeltoCoreTest, MissingLevelsFolderEndsTheProgram) {
  WriteLevelSetup("", "");
  const ZkTestMessageBox box = StartCoreExpectingExit();
  EXPECT_EQ(box.caption, "Internal Error");
  EXPECT_EQ(box.text, "please contact with author\nGetLastError()==3");
}

TEST_F(LevelSwitchTest, LoadWaitsForTheNextFrame) {
  CTestPeltoCore& core = StartWithLevels();
  const int texturesBefore = m_engine.textures.loadAllCalls;
  core.LoadLevel("Castle");
  EXPECT_TRUE(core.IsLoadPending());
  EXPECT_EQ(Find("Castle"), nullptr);
  const size_t logged = GameLog().size();
  core.ProcessFrame();
  EXPECT_FALSE(core.IsLoadPending());
  ASSERT_NE(core.GetCurrentLevel(), nullptr);
  EXPECT_STREQ(core.GetCurrentLevel()->GetName(), "Castle");
  EXPECT_EQ(core.GetCurrentLevel()->GetParent(), core.GetRootNode());
  EXPECT_NE(Find("Tower"), nullptr);
  ExpectInOrder(GameLog().substr(logged),
                {">> Loading level 'Castle'\n", "  - Found level 'Castle'\n",
                 "G A M E   T R E E:\n"});
  EXPECT_EQ(m_engine.textures.loadAllCalls, texturesBefore + 1);
  EXPECT_TRUE(m_hud->IsEnabled());
  EXPECT_TRUE(Find("HUDMap")->IsEnabled());
  ASSERT_NE(SocketText(), nullptr);
  EXPECT_EQ(SocketText()->GetText(), "");
  // Its hit rectangle is measured again: no width, the glyph height kept.
  EXPECT_EQ(SocketText()->GetWidth(), 0.0f);
  EXPECT_EQ(SocketText()->GetHeight(), 20.0f);
}

TEST_F(LevelSwitchTest, UnloadComesFirstAndDeletesTheLevel) {
  CTestPeltoCore& core = StartWithLevels();
  const int aliveWithoutLevel = g_nObjectsAlive;
  core.LoadLevel("Castle");
  core.ProcessFrame();
  const DWORD castle = core.GetCurrentLevel()->GetID();
  const DWORD tower = Find("Tower")->GetID();

  core.UnloadLevel();
  core.LoadLevel("Dungeon");
  EXPECT_FALSE(m_hud->IsEnabled());
  EXPECT_FALSE(Find("HUDMap")->IsEnabled());
  core.ProcessFrame();
  EXPECT_EQ(core.GetCurrentLevel(), nullptr);
  EXPECT_EQ(core.GetRootNode()->GetNodeByID(castle), nullptr);
  EXPECT_EQ(core.GetRootNode()->GetNodeByID(tower), nullptr);
  EXPECT_EQ(g_nObjectsAlive, aliveWithoutLevel);
  EXPECT_EQ(Find("Dungeon"), nullptr);
  EXPECT_TRUE(core.IsLoadPending());

  core.ProcessFrame();
  ASSERT_NE(core.GetCurrentLevel(), nullptr);
  EXPECT_STREQ(core.GetCurrentLevel()->GetName(), "Dungeon");
}

TEST_F(LevelSwitchTest, UnloadActsOnceAndOnlyWithALevel) {
  CTestPeltoCore& core = StartWithLevels();
  // No level: nothing changes, the paused game stays paused.
  m_hud->Enable(1);
  core.PauseGame();
  core.UnloadLevel();
  EXPECT_FALSE(core.IsUnloadPending());
  EXPECT_TRUE(m_hud->IsEnabled());
  EXPECT_TRUE(core.IsGamePaused());

  core.LoadLevel("Castle");
  core.ProcessFrame();
  core.UnloadLevel();
  EXPECT_TRUE(core.IsUnloadPending());
  EXPECT_FALSE(m_hud->IsEnabled());
  EXPECT_FALSE(core.IsGamePaused());
  // The second request before the frame neither hides the HUD nor resumes the game again.
  m_hud->Enable(1);
  core.PauseGame();
  core.UnloadLevel();
  EXPECT_TRUE(m_hud->IsEnabled());
  EXPECT_TRUE(core.IsGamePaused());
  core.ProcessFrame();
  EXPECT_EQ(core.GetCurrentLevel(), nullptr);
  EXPECT_FALSE(core.IsUnloadPending());
}

TEST_F(LevelSwitchTest, UnknownNameIsLoggedAndTheLastRequestWins) {
  CTestPeltoCore& core = StartWithLevels();
  core.LoadLevel("Castle");
  core.ProcessFrame();
  geCBaseNode* castle = core.GetCurrentLevel();
  core.LoadLevel("Nowhere");
  core.ProcessFrame();
  EXPECT_PRED2(Contains, GameLog(),
               ">> Loading level 'Nowhere'\n  - WARNNING, level 'Nowhere' NOT found\n");
  EXPECT_EQ(core.GetCurrentLevel(), castle);
  EXPECT_FALSE(core.IsLoadPending());

  core.LoadLevel("Nowhere");
  core.LoadLevel("Dungeon");
  core.ProcessFrame();
  // A load over a loaded level adds the second subtree beside the first.
  EXPECT_STREQ(core.GetCurrentLevel()->GetName(), "Dungeon");
  EXPECT_NE(Find("Castle"), nullptr);
}

TEST_F(LevelSwitchTest, MissingOrWrongMenuNodesAreSkipped) {
  struct Case {
    const char* nodes;
    const char* line;
  } cases[] = {
      {"", "WARNING: node 'HUDScreen' NOT found\nWARNING: node 'SocketDistance' NOT found\n"},
      {R"(<Node Type="Node" Name="SocketDistance"/>)",
       "WARNING: node 'SocketDistance' is no text (class geCBaseNode)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nodes);
    std::filesystem::remove_all(m_folder / "game");
    CTestPeltoCore& core = StartWithLevels(c.nodes);
    core.LoadLevel("Castle");
    core.ProcessFrame();
    ASSERT_NE(core.GetCurrentLevel(), nullptr);
    EXPECT_PRED2(Contains, GameLog(), c.line);
    core.UnloadLevel();
    core.ProcessFrame();
    EXPECT_EQ(core.GetCurrentLevel(), nullptr);
    DestroyCore();
  }
}

TEST_F(LevelSwitchTest, ARequestMadeWhileALevelLoadsWaitsForTheNextFrame) {
  // The castle's own script asks for the dungeon (listed second) as the castle is built.
  m_folder.Write("castle.as", "void main() { LoadListedLevel(1); }");
  m_castle = R"(<Node Type="Node" Name="Castle"><Param ScriptFile="castle.as"/></Node>)";
  CTestPeltoCore& core = StartWithLevels();
  ASSERT_EQ(core.GetLevelName(1), "Dungeon");
  core.LoadLevel("Castle");
  core.ProcessFrame();
  EXPECT_STREQ(core.GetCurrentLevel()->GetName(), "Castle");
  EXPECT_TRUE(core.IsLoadPending());
  core.ProcessFrame();
  EXPECT_STREQ(core.GetCurrentLevel()->GetName(), "Dungeon");
}
