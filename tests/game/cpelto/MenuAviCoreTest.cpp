// Menu videos inside a started game core: built by their node type from the menu file, and told
// of video-mode changes through the core's list while they live.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "AviWriter.h"
#include "PeltoCoreFixture.h"
#include "VideoTextureBank.h"
#include "cpelto/MenuAviElement.h"

namespace {

class MenuAviCoreTest : public PeltoCoreTest {
 protected:
  void SetUp() override {
    PeltoCoreTest::SetUp();
    m_engine.renderer.textureStorage = &m_bank;
    WriteLevelSetup("", "");
    m_folder.Write("game/levels/.keep", "");
  }
  static size_t Listed(CTestPeltoCore& core, geCVideoModeListener* node) {
    const auto& nodes = core.GetVideoModeNodes();
    return static_cast<size_t>(std::count(nodes.begin(), nodes.end(), node));
  }

  FakeVideoTextureBank m_bank;
};

TEST_F(MenuAviCoreTest, ResolutionChangesRemakeTheTextureAndARefusedOneRestoresNothing) {
  // No sound: a silent video has its texture to re-make as well.
  AviWriter(32, 32, 25).Write(m_folder / "intro.avi", 25);
  m_folder.Write("vge_menu.xml", R"(<Node Type="MenuScreen" Name="MainMenu">
      <Param Enabled="1"/>
      <Node Type="MenuAviElement" Name="Intro"><Param Enabled="1" AviFile="intro.avi"/></Node>
    </Node>)");
  CTestPeltoCore& core = StartCore();
  geCBaseNode* screen = core.GetRootNode()->GetNodeByName("MainMenu", 1);
  auto* video = dynamic_cast<CMenuAviElement*>(core.GetRootNode()->GetNodeByName("Intro", 1));
  ASSERT_TRUE(screen && video && video->IsOpened());
  EXPECT_EQ(Listed(core, video), 1u);

  core.ProcessFrame();
  ZkTestClockAdvance(80 * 1000);
  core.ProcessFrame();
  ASSERT_EQ(video->GetLastDecodedFrame(), 2);

  FakeVideoTexture* first = m_bank.Last();
  ASSERT_EQ(first->OwnerReferences(), 1u);
  ASSERT_TRUE(core.SetResolution(1024, 768));
  EXPECT_EQ(first->OwnerReferences(), 1u) << "the bank, not the element, gives up its object";
  ASSERT_EQ(m_bank.made.size(), 2u);
  const std::regex remade("Intro_reset_([0-9]+) 21 32 32 1 1");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(m_bank.requests.back(), match, remade)) << m_bank.requests.back();
  const int number = std::stoi(match[1]);
  FakeVideoTexture* second = m_bank.Last();
  EXPECT_EQ(video->GetVideoTexture(), &second->engine);
  EXPECT_EQ(second->Texel(3, 3), 0xFF000000u | AviWriter::TopColour(2)) << "the frame at once";

  // Names are numbered on.
  ASSERT_TRUE(core.SetResolution(800, 600));
  EXPECT_EQ(m_bank.requests.back(), "Intro_reset_" + std::to_string(number + 1) + " 21 32 32 1 1");

  m_engine.acceptConfiguration = false;
  FakeVideoTexture* third = m_bank.Last();
  EXPECT_FALSE(core.SetResolution(640, 480));
  EXPECT_EQ(third->OwnerReferences(), 1u);
  EXPECT_EQ(m_bank.made.size(), 3u) << "nothing restored";
  EXPECT_EQ(video->GetVideoTexture(), nullptr);
  core.ProcessFrame();  // a frame without a texture is only decoded

  // A video that goes leaves the list: a later change must not reach it.
  core.GetRootNode()->RemoveChild(screen);
  EXPECT_TRUE(core.GetVideoModeNodes().empty());
  m_engine.acceptConfiguration = true;
  EXPECT_TRUE(core.SetResolution(800, 600));
  EXPECT_EQ(m_bank.made.size(), 3u);
}

}  // namespace
