// The application core's game tree on the stand-in engine: loading "cfg\config.xml", the fonts,
// cursors and node tree made from it, and the texts the main loop draws each frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "FakeSurfaceBanks.h"
#include "GameCoreFixture.h"
#include "RecordingSpriteBank.h"
#include "XmlErrorExit.h"
#include "framework/BaseNode.h"
#include "framework/CursorsManager.h"
#include "framework/StatisticsTable.h"
#include "framework/SystemCursor.h"
#include "framework/TextReceiver.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A node that shows the text it is handed, as the game's text items do.
class CTextNode : public geCBaseNode, public geCTextReceiver {
 public:
  using geCBaseNode::geCBaseNode;
  void SetText(const char* szText) override { texts.emplace_back(szText); }
  std::vector<std::string> texts;
};

class GameTreeTest : public GameCoreTest {
 protected:
  void SetUp() override {
    GameCoreTest::SetUp();
    m_engine.renderer.spriteStorage = &m_sprites;
    m_engine.renderer.textureStorage = &m_textures;
  }
  void RunFrames(int count) {
    m_core->onFrame = [count](CTestGameCore& c) {
      if (c.frames == count) c.ExitGame();
      return true;
    };
    m_core->Run();
  }

  RecordingSpriteBank m_sprites;
  FakeTextureStorage m_textures;
};

}  // namespace

TEST_F(GameTreeTest, MissingConfigurationLeavesOnlyTheDefaultFont) {
  CTestGameCore& core = StartCore();
  EXPECT_PRED2(Contains, Log(),
               "-Loading Game Tree from 'cfg\\config.xml'\n - XML config file Not exist.\n-Done.\n");
  EXPECT_PRED2(Contains, Log(),
               "-Skipping creating engine data nodee from XML data file (don't exist).\n");
  ASSERT_EQ(core.GetFontManager().GetFonts().size(), 1u);
  EXPECT_EQ(g_dwDefaultFontID, 0u);
  EXPECT_EQ(core.GetFontManager().GetFont(0)->GetParent(), core.GetRootNode());
  EXPECT_EQ(core.GetCursorHandle(), LoadCursorA(nullptr, IDC_ARROW));
  // The cursors manager exists, empty, and nothing is logged for cursors.
  ASSERT_NE(core.GetCursorsManager(), nullptr);
  EXPECT_EQ(geCCursorsManager::GetInstance(), core.GetCursorsManager());
  EXPECT_EQ(core.GetCursorsManager()->GetNodesCount(), 0u);
  EXPECT_FALSE(Contains(Log(), "-Creating Cursors"));
}

TEST_F(GameTreeTest, BrokenConfigurationEndsTheProgram) {
  WriteConfig("<vGameEngine><Param width='640'></vGameEngine>");
  MakeCore();
  ExpectXmlErrorExit([this] { m_core->Initialise(); });
  EXPECT_PRED2(Contains, Log(), " - Error in file 'cfg\\config.xml'. Error='");
}

TEST_F(GameTreeTest, ConfigurationMakesFontsCursorsAndTheGameTree) {
  std::filesystem::create_directories(std::filesystem::path(m_folder.Path()) / "cfg");
  std::ofstream(std::filesystem::path(m_folder.Path()) / "cfg" / "game.xml")
      << "<Game><Node Type='Node' Name='Level'><Node Type='Node' Name='Player'/></Node></Game>";
  WriteConfig(
      "<vGameEngine>"
      "<Font Type='Manual' Name='Menu'><Char Name='0'/></Font>"
      "<Font Type='Odd' Name='Skipped'/>"
      "<Font Type='Fixed' Name='Grid'/>"
      "<Cursor Type='SystemCursor' Name='Arrow'><Param Enabled='1'/></Cursor>"
      "<Cursor Type='SystemCursor' Name='Hand'/>"
      "<Cursor Type='SystemCursor' Name='Wait'/>"
      "</vGameEngine><Include File='cfg\\game.xml'/>");
  CTestGameCore& core = StartCore();
  const std::string log = Log();
  EXPECT_PRED2(Contains, log,
               "-Creating Fonts (from cfg\\config.xml, section <vGameEngine>)\n"
               " -Creating Font defined as 'Manual'\n");
  EXPECT_PRED2(Contains, log, " -Creating Font defined as 'Fixed'\n");
  EXPECT_PRED2(Contains, log, "-Fonts Created\n");
  geCFontManager& fonts = core.GetFontManager();
  ASSERT_EQ(fonts.GetFonts().size(), 3u);
  EXPECT_STREQ(fonts.GetFont(1)->GetName(), "Menu");
  EXPECT_STREQ(fonts.GetFont(2)->GetName(), "Grid");
  EXPECT_EQ(fonts.GetFontByName("grid"), fonts.GetFont(2));
  EXPECT_EQ(m_sprites.requests.size(), 2u);

  geCBaseNode* root = core.GetRootNode();
  geCBaseNode* player = root->GetNodeByName("Player", 1);
  ASSERT_NE(player, nullptr);
  EXPECT_STREQ(player->GetParent()->GetName(), "Level");

  EXPECT_PRED2(Contains, log,
               "-Creating Cursors (from cfg\\config.xml, section <vGameEngine>)\n");
  EXPECT_PRED2(Contains, log, "-Cursors Created (Number of cursors = 3)\n");
  geCCursorsManager* cursors = core.GetCursorsManager();
  EXPECT_STREQ(cursors->GetName(), "EngineCursorsManager");
  EXPECT_EQ(cursors->GetParent(), root);
  ASSERT_EQ(cursors->GetNodesCount(), 3u);
  EXPECT_STREQ(cursors->GetNode(2)->GetName(), "Wait");
  // The enabled cursor was disabled by its configured siblings: no cursor of the game's own.
  EXPECT_TRUE(cursors->GetNode(0)->IsEnabled());
  EXPECT_EQ(core.GetCursorHandle(), nullptr);

  DestroyCore();
  EXPECT_EQ(geCCursorsManager::GetInstance(), nullptr);
}

TEST_F(GameTreeTest, EveryFrameDrawsTheFontsQueues) {
  WriteConfig("<vGameEngine><Font Type='Manual' Name='Menu'><Char Name='0'/></Font>"
              "</vGameEngine>");
  CTestGameCore& core = StartCore();
  core.GetFontManager().GetFont(1)->AddText(0.0f, 0.0f, "000");
  core.GetFontManager().GetFont(0)->AddText(0.5f, 0.5f, "engine");
  RunFrames(2);
  ASSERT_EQ(m_sprites.sprites.size(), 1u);
  EXPECT_EQ(m_sprites.sprites[0]->drawnQuads,
            (std::vector<std::vector<UINT>>{{0, 1, 2}})) << "drawn once, in the first frame";
  ASSERT_EQ(m_engine.printed.size(), 1u);
  EXPECT_EQ(m_engine.printed[0].text, "engine");
}

TEST_F(GameTreeTest, StatisticsGoToTheirTextNodesAndTheDefaultFont) {
  CTestGameCore& core = StartCore();
  auto* update = new CTextNode(core.GetRootNode());
  update->SetName("STAT_UPDATE");
  auto* fps = new CTextNode(core.GetRootNode());
  fps->SetName("STAT_FPS");
  auto* plain = new geCBaseNode(core.GetRootNode());
  plain->SetName("STAT_RENDER");  // no text to show: the row keeps accumulating
  core.GetProperties()->RegisterAndSet("statistics", geCVariant(1));
  g_StatisticsTable[STAT_ROW_RENDER].fSeconds = 2.5f;
  g_StatisticsTable[STAT_ROW_PHYSICS].fSeconds = 1.0f;
  RunFrames(2);
  ASSERT_EQ(update->texts.size(), 2u);
  EXPECT_EQ(update->texts[0].rfind("Update: =", 0), 0u) << update->texts[0];
  EXPECT_PRED2(Contains, update->texts[0], " %=");
  ASSERT_EQ(fps->texts.size(), 2u);
  EXPECT_EQ(fps->texts[0], "FPS = 0.0000");
  EXPECT_GE(g_StatisticsTable[STAT_ROW_RENDER].fSeconds, 2.5f);
  EXPECT_EQ(g_StatisticsTable[STAT_ROW_PHYSICS].fSeconds, 1.0f) << "no node, no reset";
  // The rate queued on the default font in the first frame is handed to the engine in the next.
  ASSERT_EQ(m_engine.printed.size(), 1u);
  EXPECT_EQ(m_engine.printed[0].text, "Frames/Second = 0");
  EXPECT_FLOAT_EQ(m_engine.printed[0].x, 0.05f);
  EXPECT_FLOAT_EQ(m_engine.printed[0].y, 0.6f);
  g_StatisticsTable[STAT_ROW_RENDER].fSeconds = 0.0f;
  g_StatisticsTable[STAT_ROW_PHYSICS].fSeconds = 0.0f;
}
