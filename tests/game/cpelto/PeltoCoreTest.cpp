// The game's core: its tables at construction, its node types, the order of its start-up, the
// game module's events and a level setup it cannot run without.
#include <gtest/gtest.h>

#include "PeltoCoreFixture.h"
#include "cpelto/OpenAL.h"
#include "framework/BaseNode.h"
#include "framework/EngineGlobals.h"
#include "framework/Message.h"

namespace {

// A game tree with nothing in it.
constexpr const char* kNoLevels = "";

geCBaseNode* CreateOther(geCBaseNode* parent) { return CreateNodeOfClass<geCBaseNode>(parent); }

}  // namespace

TEST_F(PeltoCoreTest, ConstructionFillsTheTables) {
  WriteLevelSetup("", kNoLevels);
  m_folder.Write("game/levels/.keep", "");
  CTestPeltoCore& core = StartCore();
  const KeyBindings& keys = core.GetKeyBindings();
  const DWORD expected[15] = {17, 31, 30, 32, 44, 45, 15, 2, 3, 4, 28, 57, 1, 42, 29};
  const char* const names[15] = {"move_forward", "move_back",  "rotate_left",  "rotate_right",
                                 "strite_left",  "strite_right", "show_map",   "camera_one",
                                 "camera_two",   "camera_fpp",   "jump",       "shoot",
                                 "back_to_menu", "look_left",    "look_right"};
  for (int i = 0; i < 15; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_STREQ(kKeyBindingEntries[i].szName, names[i]);
    EXPECT_EQ(keys.*kKeyBindingEntries[i].pField, expected[i]);
    // The fields lie in table order, as the scripts' properties address them.
    EXPECT_EQ(reinterpret_cast<const DWORD*>(&keys)[i], expected[i]);
  }
  const AnimationIdentifiers& animations = core.GetAnimationIdentifiers();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(reinterpret_cast<const DWORD*>(&animations)[i], 0u);
  geCConfigurationNode* profiles = core.GetProfileRoot();
  ASSERT_NE(profiles, nullptr);
  EXPECT_EQ(profiles->GetParent(), nullptr);
  EXPECT_TRUE(profiles->GetFlags() & geCBaseNode::kFlagAcceptsAnyProperty);
  EXPECT_EQ(core.GetCurrentLevel(), nullptr);
  EXPECT_FALSE(core.IsLoadPending() || core.IsUnloadPending());
  EXPECT_EQ(core.GetGameScriptContext(), nullptr);
  EXPECT_NE(COpenAL::GetInstance(), nullptr);
}

TEST_F(PeltoCoreTest, NodeTypesFollowTheFrameworksAndATakenNameFails) {
  CTestPeltoCore core;
  EXPECT_TRUE(core.RegisterNodeTypes());
  EXPECT_EQ(g_mapNodeFactory.count("Node"), 1u);
  ASSERT_EQ(g_mapNodeFactory.count("ConfigurationNode"), 1u);
  geTRefPtr<geCBaseNode> made = CreateNode("ConfigurationNode", nullptr);
  EXPECT_TRUE(made->IsKindOf("geCBaseNode"));
  EXPECT_NE(dynamic_cast<geCConfigurationNode*>(made.Get()), nullptr);

  // A game type's name taken already keeps its creator and fails the registration.
  g_mapNodeFactory.clear();
  ASSERT_TRUE(RegisterNodeCreator("ConfigurationNode", &CreateOther));
  EXPECT_FALSE(core.RegisterNodeTypes());
  EXPECT_EQ(g_mapNodeFactory.at("ConfigurationNode"), &CreateOther);
  EXPECT_EQ(g_mapNodeFactory.count("GameObject"), 1u);
}

TEST_F(PeltoCoreTest, StartUpCreatesManagersInOrder) {
  // The level list is complete before the game module's main() runs: it notes the count.
  m_folder.Write("game/scripts/core.as", "void main() { Note(int(LevelsNow())); }");
  m_folder.Write("game/config/menus.xml", R"(<Node Type="MenuScreen" Name="Included"/>)");
  WriteLevelSetup(R"(Script="game\scripts\core.as")",
                  R"(<AutoCreate><Node Type="Node" Name="AutoMade"/></AutoCreate>
                     <Node Type="MenuScreen" Name="Options"/>
                     <Node Type="Node" Name="NotAMenu"/>
                     <Include File="game\config\menus.xml"/>)");
  WriteLevel("castle", R"(<Node Type="Node" Name="Castle"/>)");
  m_folder.Write("vge_menu.xml",
                 R"(<Node Type="Node" Name="MainMenu"/><Node Type="Node" Name="Credits"/>)");
  CTestPeltoCore& core = StartCore();
  ExpectInOrder(GameLog(), {"-MOUSE: setting action mapping\n", "'AutoMade'", "note 1\n",
                            "'Options'", "'Included'", "'MainMenu'", "'Credits'",
                            "G A M E   T R E E:\n"});
  EXPECT_EQ(m_notes, std::vector<int>{1});
  EXPECT_FALSE(Contains(GameLog(), "'NotAMenu'"));
  EXPECT_NE(core.GetGameScriptContext(), nullptr);
  // Once for the auto-created nodes, once more by the framework's start-up.
  EXPECT_EQ(m_engine.textures.loadAllCalls, 2);
  // Only the menu's root elements join the tree; the level waits for its load.
  EXPECT_EQ(core.GetRootNode()->GetNodeByName("Castle", 1), nullptr);
  EXPECT_NE(core.GetRootNode()->GetNodeByName("Credits", 1), nullptr);
}

TEST_F(PeltoCoreTest, MenusAreBuiltFromTheirNodeTypesAndRunEveryFrame) {
  m_folder.Write("menu.as", "void OnUpdate() { Note(5); }");
  WriteLevelSetup("", R"(<Node Type="MenuScreen" Name="Options"><Param Enabled="0"/></Node>)");
  m_folder.Write("game/levels/.keep", "");
  m_folder.Write("vge_menu.xml", R"(<Node Type="MenuScreen" Name="MainMenu">
      <Param Enabled="1" ScriptFile="menu.as"/>
      <Node Type="MenuPicture" Name="Back"><Param Width="800" Height="600"/></Node>
      <Node Type="MenuText" Name="Title"><Param Text="Menu" CharWidth="16" CharHeight="16"/></Node>
    </Node>)");
  CTestPeltoCore& core = StartCore();
  geCBaseNode* root = core.GetRootNode();
  struct Expected {
    const char* name;
    const char* className;
  } nodes[] = {{"Options", "CMenuScreen"},
               {"MainMenu", "CMenuScreen"},
               {"Back", "CMenuPicture"},
               {"Title", "CMenuText"}};
  for (const Expected& node : nodes) {
    geCBaseNode* found = root->GetNodeByName(node.name, 1);
    ASSERT_NE(found, nullptr) << node.name;
    EXPECT_STREQ(found->GetClassName(), node.className);
  }
  EXPECT_EQ(root->GetNodeByName("Back", 1)->GetParent(), root->GetNodeByName("MainMenu", 1));
  // Only the enabled menu is updated by the frame.
  m_notes.clear();
  core.ProcessFrame();
  EXPECT_EQ(m_notes, std::vector<int>{5});
}

TEST_F(PeltoCoreTest, GameModuleEventsRunBeforeTheFrameworksPasses) {
  m_folder.Write("core.as", R"(
    void main() { Note(1); }
    void OnProcessGame(const geSUpdateArgument &in arg) { Note(2); }
    void geCGameCore_ProcessMessage(const geMessage &in message) { Note(int(message.MessageID)); }
  )");
  // A node whose update event notes 3, so the order against the framework's pass shows.
  m_folder.Write("node.as", "void geCBaseNode_Update() { Note(3); }");
  WriteLevelSetup(R"(Script="core.as")",
                  R"(<AutoCreate><Node Type="Node" Name="Watcher">
                       <Param Enabled="1" ScriptFile="node.as"/></Node></AutoCreate>)");
  m_folder.Write("game/levels/.keep", "");
  CTestPeltoCore& core = StartCore();
  EXPECT_EQ(m_notes, std::vector<int>{1});
  m_notes.clear();
  core.ProcessFrame();
  EXPECT_EQ(m_notes, (std::vector<int>{2, 3}));
  geMessage message = {};
  message.MessageID = 77;
  core.ProcessMessage(&message);
  EXPECT_EQ(m_notes, (std::vector<int>{2, 3, 77}));
  EXPECT_FALSE(Contains(ScriptLog(), "Unexpected error"));
}

TEST_F(PeltoCoreTest, GameModuleFailuresAreLogged) {
  struct Case {
    const char* script;
    std::vector<std::string> lines;
  } cases[] = {
      // No main(): the context cannot be prepared.
      {"void OnProcessGame(int wrong) {}",
       {"Unexpected error during script execution (calling main() function\n"
        "Register failed: Error code = -6 (asNO_FUNCTION)\n",
        "Unexpected error during script execution (calling OnProcessGame() function\n"}},
      // A main() that throws is reported with its line; a frame event of the wrong kind is
      // refused rather than handed the frame argument.
      {"void main() { int zero = 0; Note(1 / zero); }\n"
       "void geCGameCore_ProcessMessage(int wrong) {}",
       {"Return code = 3 (asEXECUTION_EXCEPTION)\nEXCEPTION:\n\tLine: 1, Function: void main()",
        "Unexpected error during script execution (calling geCGameCore_ProcessMessage() "
        "function\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    geCLogger::SetFirstWrite(true);
    m_folder.Write("core.as", c.script);
    std::remove((m_folder / "core.as.bin").c_str());
    WriteLevelSetup(R"(Script="core.as")", "");
    m_folder.Write("game/levels/.keep", "");
    CTestPeltoCore& core = StartCore();
    core.ProcessFrame();
    geMessage message = {};
    core.ProcessMessage(&message);
    ExpectInOrder(ScriptLog(), c.lines);
    EXPECT_TRUE(m_notes.empty());
    DestroyCore();
  }
}

TEST_F(PeltoCoreTest, WithoutScriptNoGameModuleEventRuns) {
  // A node's module under the game module's name must not stand in for the game's script.
  m_folder.Write("node.as", R"(
    void OnProcessGame(const geSUpdateArgument &in arg) { Note(2); }
    void geCGameCore_ProcessMessage(const geMessage &in message) { Note(3); }
  )");
  WriteLevelSetup("", R"(<AutoCreate><Node Type="Node" Name="Impostor">
                           <Param ScriptFile="node.as" ScriptModuleName="GameCoreModule"/>
                         </Node></AutoCreate>)");
  m_folder.Write("game/levels/.keep", "");
  CTestPeltoCore& core = StartCore();
  EXPECT_EQ(core.GetGameScriptContext(), nullptr);
  core.ProcessFrame();
  geMessage message = {};
  core.ProcessMessage(&message);
  EXPECT_TRUE(m_notes.empty());
}

TEST_F(PeltoCoreTest, LevelSetupMissingOrWithoutGameEndsTheProgram) {
  struct Case {
    const char* file;  // null: none written
    const char* text;
  } cases[] = {
      {nullptr, "Can't load 'game\\config\\level_setup.xml'"},
      {"<Levels/>", "No <Game> element in 'game\\config\\level_setup.xml'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.file) m_folder.Write("game/config/level_setup.xml", c.file);
    EXPECT_EQ(StartCoreExpectingExit().text, c.text);
    EXPECT_PRED2(Contains, GameLog(), std::string("ERROR: ") + c.text + "\n");
    DestroyCore();
  }
}
