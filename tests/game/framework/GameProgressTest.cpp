// The progress bar on the engine's real scenes: its flags, its file, the frame a progress
// message shows, and the loading screen the core draws for every node built from XML.
#include <string>
#include <vector>

#include "GameObjectFixture.h"
#include "framework/GameProgress.h"
#include "framework/MessageRouter.h"

namespace {

class GameProgress : public GameObjectTest {
 protected:
  void SetUp() override {
    GameObjectTest::SetUp();
    // With shaders on, a game object starts with the shader flag set.
    WriteSettings("<Param use_shaders=\"1\"/>");
    StartCore();
    SaveScene("bar", {{"slider", {0, 0, 0}}}, {}, true, 30.0f, 2);
    SaveScene("room", {{"wall", {0, 0, 5}}});
  }
  CGameProgress* MakeBar(const std::string& params, geCBaseNode* parent = nullptr) {
    Build(R"(<Node Type="ProgressBar" Name="ProgressBar"><Param )" + params + "/></Node>",
          parent);
    return dynamic_cast<CGameProgress*>(m_core->GetRootNode()->GetNodeByName("ProgressBar", 1));
  }
  // Builds one plain node from XML, which asks the core for a loading frame.
  void BuildOneNode() { Build(R"(<Node Type="Node" Name="n"/>)"); }
};

TEST_F(GameProgress, FlagsFileAndAProgressMessageShownAtTheNextUpdate) {
  // Under a game object with a scene of its own, the bar still keeps its scene.
  Build(R"(<Node Type="GameObject" Name="room"><Param File="room.zks" Enabled="1"/></Node>)");
  CGameProgress* bar = MakeBar(R"(File="bar.zks" Enabled="1")", Node("room"));
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->GetFlags() & geCGameObject::kFlagNotMergeWithParent);
  EXPECT_FALSE(bar->GetFlags() & geCGameObject::kFlagWithShaders);
  CSceneInterface* scene = bar->GetOwnScene();
  ASSERT_NE(scene, nullptr);
  EXPECT_EQ(bar->GetProgress(), 0u);

  struct Case {
    DWORD id;
    DWORD data;
    float frame;
  } cases[] = {{1, 37, 37.0f}, {2, 5, 37.0f}, {1, 0, 0.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    m_core->GetMessageRouter()->PostMessage("progress", 0, bar->GetID(), c.id, c.data);
    m_core->GetMessageRouter()->DeliverMessages();
    bar->Update(m_core->GetGlobalArg());
    EXPECT_EQ(scene->GetFrame(), c.frame);
  }
}

TEST_F(GameProgress, TheBarIsDrawnOnlyWhenAskedNeverFromTheRenderList) {
  CGameProgress* bar = MakeBar(R"(File="bar.zks" Enabled="1")");
  ASSERT_NE(bar, nullptr);
  Step(1.0f);
  EXPECT_NE(m_scenes.GetActiveScene(), bar->GetOwnScene());
  bar->Render(7);
  EXPECT_EQ(m_scenes.GetActiveScene(), bar->GetOwnScene());
}

TEST_F(GameProgress, EachNodeBuiltDrawsTheNextFrameWrappingPastTheLast) {
  CGameProgress* bar = MakeBar(R"(File="bar.zks" Enabled="1")");
  ASSERT_NE(bar, nullptr);
  m_scenes.renderer.frameCalls.clear();
  std::vector<float> frames;
  for (int i = 0; i < 5; ++i) {
    BuildOneNode();
    frames.push_back(bar->GetOwnScene()->GetFrame());
  }
  // The scene's last frame is 2.
  EXPECT_EQ(frames, (std::vector<float>{0, 1, 2, 0, 1}));
  // Each a whole frame of its own, the bar's scene drawn with its camera's view inside it.
  std::vector<std::string> expected;
  for (int i = 0; i < 5; ++i)
    expected.insert(expected.end(), {"Clear(7,0)", "BeginRendering", "SetTransform(2)",
                                     "SetTransform(3)", "EndRendering", "Flip(1)"});
  EXPECT_EQ(m_scenes.renderer.frameCalls, expected);
}

TEST_F(GameProgress, ADisabledBarOrOneWithoutAScreenDrawsNothing) {
  struct Case {
    const char* params;
  } cases[] = {{R"(File="bar.zks" Enabled="0")"}, {R"(File="missing.zks" Enabled="1")"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    CGameProgress* bar = MakeBar(c.params);
    ASSERT_NE(bar, nullptr);
    m_scenes.renderer.frameCalls.clear();
    BuildOneNode();
    EXPECT_TRUE(m_scenes.renderer.frameCalls.empty());
    // Its own passes go by without a scene to show.
    bar->Update(m_core->GetGlobalArg());
    bar->Process(m_core->GetGlobalArg());
    bar->Render(7);
    m_core->GetRootNode()->RemoveChild(bar);
  }
}

}  // namespace
