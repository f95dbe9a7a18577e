// What the application core hands the renderer outside the frame's own calls: the projection of
// the menus and of the 3D scenes, and the render list drawn in key order.
#include <gtest/gtest.h>

#include <d3d9types.h>

#include <cmath>

#include <string>
#include <vector>

#include "GameCoreFixture.h"
#include "framework/BaseNode.h"

namespace {

// A node that notes its name and the clear flags each time it is drawn.
class CNotedNode : public geCBaseNode {
 public:
  CNotedNode(geCBaseNode* pParent, std::vector<std::string>* pDrawn)
      : geCBaseNode(pParent), m_pDrawn(pDrawn) {}
  void Render(DWORD dwClearFlags) override {
    m_pDrawn->push_back(std::string(GetName()) + "/" + std::to_string(dwClearFlags));
  }

 private:
  std::vector<std::string>* m_pDrawn;
};

bool Identity(const CMatrix& m) {
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      if (m.m[row][column] != (row == column ? 1.0f : 0.0f)) return false;
  return true;
}

}  // namespace

TEST_F(GameCoreTest, ProjectionModesSetTheirMatricesAndStates) {
  CTestGameCore& core = StartCore();
  m_engine.configuration.wWidth = 640;
  m_engine.configuration.wHeight = 480;
  RecordingRenderer& renderer = m_engine.renderer;
  const std::vector<std::string> transforms = {"SetTransform(3)", "SetTransform(256)",
                                               "SetTransform(2)"};
  struct Case {
    DWORD mode;
    UINT depth, lighting, cull;
  } cases[] = {{1, 0, 0, D3DCULL_NONE}, {0, 1, 1, D3DCULL_CW}, {2, 1, 1, D3DCULL_CW}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    renderer.frameCalls.clear(), renderer.transforms.clear(), renderer.renderStates.clear();
    core.SetProjectionMode(c.mode);
    EXPECT_EQ(renderer.frameCalls, transforms);
    ASSERT_EQ(renderer.transforms.size(), 3u);
    EXPECT_TRUE(Identity(renderer.transforms[1]));
    EXPECT_TRUE(Identity(renderer.transforms[2]));
    const std::vector<std::pair<UINT, UINT>> states = {
        {D3DRS_ZENABLE, c.depth}, {D3DRS_LIGHTING, c.lighting}, {D3DRS_CULLMODE, c.cull}};
    EXPECT_EQ(renderer.renderStates, states);
    const CMatrix& p = renderer.transforms[0];
    if (c.mode == 1) {
      // Right-handed orthographic over the configured screen, depth 0 to 10.
      EXPECT_FLOAT_EQ(p._11, 2.0f / 640);
      EXPECT_FLOAT_EQ(p._22, 2.0f / 480);
      EXPECT_FLOAT_EQ(p._33, -0.1f);
      EXPECT_FLOAT_EQ(p._41, -1.0f);
      EXPECT_FLOAT_EQ(p._42, -1.0f);
      EXPECT_FLOAT_EQ(p._43, 0.0f);
      EXPECT_FLOAT_EQ(p._44, 1.0f);
    } else {
      // Left-handed perspective of the start-up screen (800 x 600): the aspect is height over
      // width and the view angle 45 as given; near 0, far 100.
      const float yScale = 1.0f / std::tan(45.0f / 2);
      EXPECT_FLOAT_EQ(p._22, yScale);
      EXPECT_FLOAT_EQ(p._11, yScale / (600.0f / 800.0f));
      EXPECT_FLOAT_EQ(p._33, 1.0f);
      EXPECT_FLOAT_EQ(p._34, 1.0f);
      EXPECT_FLOAT_EQ(p._43, 0.0f);
      EXPECT_FLOAT_EQ(p._44, 0.0f);
    }
  }
}

TEST_F(GameCoreTest, RenderDrawsTheListLowestKeyFirstAndEmptiesIt) {
  CTestGameCore& core = StartCore();
  std::vector<std::string> drawn;
  geCBaseNode* root = core.GetRootNode();
  auto node = [&](const char* name) {
    auto* made = new CNotedNode(root, &drawn);
    made->SetName(name);
    return made;
  };
  CNotedNode* menu = node("menu");
  CNotedNode* widget = node("widget");
  CNotedNode* button = node("button");
  CNotedNode* crate = node("crate");
  core.AddToRenderList(1000, menu);
  core.AddToRenderList(100, widget);
  core.AddToRenderList(7, crate);
  core.AddToRenderList(100, button);
  core.AddToRenderList(100, nullptr);
  core.Render();
  // Equal keys keep the order they were added in.
  EXPECT_EQ(drawn, (std::vector<std::string>{"crate/7", "widget/7", "button/7", "menu/7"}));
  drawn.clear();
  core.Render();
  EXPECT_TRUE(drawn.empty());
}
