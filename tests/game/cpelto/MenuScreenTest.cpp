// Menu screens: the item under the cursor, its events, and what an enabled screen draws.
#include <gtest/gtest.h>

#include <vector>

#include "MenuFixture.h"

namespace {

// A child that keeps the update argument its screen hands it.
class CArgumentProbe : public geCBaseNode {
 public:
  explicit CArgumentProbe(geCBaseNode* parent) : geCBaseNode(parent) {}
  void Update(geSUpdateArgument* arg) override { seen.push_back(*arg); }
  std::vector<geSUpdateArgument> seen;
};

class MenuScreenTest : public MenuFixture {
 protected:
  // A picture of 100 × 100 units at (x, y) with the event script of `number`.
  std::string Picture(const char* name, int x, int y, int number, const char* extra = "") {
    return std::string("<Node Type=\"MenuPicture\" Name=\"") + name +
           "\"><Param Width=\"100\" Height=\"100\" Translation=\"" + std::to_string(x) + ";" +
           std::to_string(y) + ";0\" ScriptFile=\"" + EventScript(number) + "\" " + extra +
           "/></Node>";
  }
  // The mouse over design point (x, y) of an 800 × 600 screen, where the hit point is raised by
  // the cursor's height (40 pixels).
  void Point(int x, int y, bool left) {
    SetMouse(static_cast<DWORD>(x), static_cast<DWORD>(640 - y), left);
  }
  std::vector<int> Update(CMenuScreen* screen) {
    m_notes.clear();
    screen->Update(nullptr);
    return m_notes;
  }
};

TEST_F(MenuScreenTest, HoverAndClickTurnIntoItemEvents) {
  CMenuScreen* screen = Build<CMenuScreen>(
      "<Node Type=\"MenuScreen\" Name=\"Main\"><Param Enabled=\"1\"/>" + Picture("A", 0, 0, 1) +
      Picture("B", 50, 50, 2) + Picture("C", 300, 0, 3, "CanActivate=\"0\"") +
      Picture("D", 300, 0, 4) + Picture("E", 500, 0, 5) + "</Node>");
  ASSERT_NE(screen, nullptr);
  auto* e = dynamic_cast<CMenuItem*>(screen->GetNode(4));
  e->Disable(1);
  struct Step {
    int x, y;
    bool left;
    std::vector<int> notes;
  } steps[] = {
      {75, 75, false, {11}},       // A and B overlap: the earlier child wins
      {75, 75, true, {13}},        // button down: one click
      {75, 75, true, {}},          // still held: nothing more
      {75, 75, false, {14}},       // released
      {75, 75, true, {13}},        // held again ...
      {125, 125, true, {12, 21}},  // ... onto B: A leaves unreleased, B is entered
      {125, 125, true, {23}},      // B clicks at the next update
      {350, 50, false, {22, 41}},  // C may not activate: D under it does
      {550, 50, false, {42, 51}},  // a disabled item still activates
      {700, 500, false, {52}},     // nothing under the cursor
  };
  size_t queued = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << step.x << "," << step.y << " " << step.left);
    Point(step.x, step.y, step.left);
    EXPECT_EQ(Update(screen), step.notes);
    ASSERT_EQ(m_core.renderList.size(), ++queued);
    EXPECT_EQ(m_core.renderList.back(),
              std::make_pair(CMenuScreen::kRenderKey, static_cast<geCBaseNode*>(screen)));
  }
  EXPECT_EQ(screen->GetActiveItem(), nullptr);

  // Enabling forgets the active item silently, so it is not activated twice; disabling
  // deactivates it, and it is activated afresh later.
  Point(550, 50, false);
  EXPECT_EQ(Update(screen), std::vector<int>{51});
  m_notes.clear();
  screen->Enable(1);
  EXPECT_EQ(screen->GetActiveItem(), nullptr);
  EXPECT_EQ(Update(screen), std::vector<int>{});
  EXPECT_EQ(screen->GetActiveItem(), e);
  m_notes.clear();
  screen->Disable(1);
  EXPECT_EQ(m_notes, std::vector<int>{52});
  EXPECT_EQ(screen->GetActiveItem(), nullptr);
  screen->Enable(1);
  e->Disable(1);
  EXPECT_EQ(Update(screen), std::vector<int>{51});

  // The disabled item is not drawn; the four others are, in the projection for menus.
  screen->Render(0);
  EXPECT_EQ(Renderer().primitives.size(), 4u);
  EXPECT_EQ(m_core.projectionModes, (std::vector<DWORD>{1, 0}));
}

TEST_F(MenuScreenTest, HitRectangleIncludesItsEdgesAndItemsInItemsUseTheirScreen) {
  SetScreenSize(1600, 1200);
  auto* picture = Build<CMenuPicture>(
      R"(<Node Type="MenuPicture" Name="P"><Param Width="100" Height="50" Translation="10;20;0"/></Node>)");
  struct Case {
    float x, y;
    bool hit;
  } cases[] = {{20, 40, true},     {220, 140, true},   {20, 140, true},      {120, 90, true},
               {19.9f, 40, false}, {20, 39.9f, false}, {220.1f, 140, false}, {220, 140.1f, false}};
  for (const Case& c : cases) {
    const CVector3 point(c.x, c.y, 0.0f);
    EXPECT_EQ(picture->HitTest(&point), c.hit) << c.x << "," << c.y;
  }
  // Without a point, an item on no screen is never hit.
  SetMouse(40, 1100, false);
  EXPECT_FALSE(picture->HitTest(nullptr));

  SetScreenSize(800, 600);
  Build<CMenuScreen>(R"(<Node Type="MenuScreen" Name="S"><Param Enabled="1"/>
      <Node Type="MenuPicture" Name="Outer"><Param Width="100" Height="100"/>
        <Node Type="MenuPicture" Name="Inner"><Param Width="100" Height="100"/></Node>
      </Node></Node>)");
  auto* inner = dynamic_cast<CMenuItem*>(m_root->GetNodeByName("Inner", 1));
  ASSERT_NE(inner, nullptr);
  SetMouse(50, 550, false);  // 50 up, raised to 90 by the screen's cursor
  EXPECT_TRUE(inner->HitTest(nullptr));
  SetMouse(50, 530, false);  // 70 up, raised to 110
  EXPECT_FALSE(inner->HitTest(nullptr));
}

TEST_F(MenuScreenTest, DisabledScreenIsNeitherUpdatedNorDrawnUntilEnabled) {
  m_folder.Write("cursor.dds", "image");
  m_folder.Write("picture.as", "void OnUpdate() { Note(7); }");
  CMenuScreen* screen = Build<CMenuScreen>(R"(<Node Type="MenuScreen" Name="Hidden">
      <Param Enabled="0" Tex0="cursor.dds"/>
      <Node Type="MenuPicture" Name="P"><Param Width="10" Height="10" ScriptFile="picture.as"/></Node>
    </Node>)");
  ASSERT_NE(screen, nullptr);
  EXPECT_FALSE(screen->IsEnabled());
  ASSERT_NE(screen->GetCursorTexture(), nullptr);
  EXPECT_EQ(m_menuTop.textures.made[0]->names[1], "cursor.dds");
  screen->Update(nullptr);
  screen->Render(0);
  EXPECT_TRUE(m_notes.empty());
  EXPECT_TRUE(m_core.renderList.empty());
  EXPECT_TRUE(m_core.projectionModes.empty());
  EXPECT_TRUE(Renderer().calls.empty());

  screen->Enable(1);
  SetMouse(300, 200, false);
  screen->Update(nullptr);
  EXPECT_EQ(m_notes, (std::vector<int>{7, 7}));  // a picture's "OnUpdate" runs twice
  EXPECT_EQ(m_core.renderList.size(), 1u);
  screen->Render(0);
  EXPECT_EQ(m_core.projectionModes, (std::vector<DWORD>{1, 0}));
  ASSERT_EQ(Renderer().primitives.size(), 2u);
  // The cursor is drawn last, its bottom-left corner on the mouse, 5% of the width wide and a
  // fifteenth of the height high.
  const std::vector<geSMenuVertex> cursor = Vertices(1);
  ASSERT_EQ(cursor.size(), 6u);
  EXPECT_FLOAT_EQ(cursor[4].x, 39.5f);
  EXPECT_NEAR(cursor[4].y, 39.5f, 1e-4);
  EXPECT_EQ(cursor[4].dwColor, 0xFFFFFFFFu);
  EXPECT_EQ(cursor[4].u, 1.0f);
  EXPECT_EQ(cursor[4].v, 0.0f);
  const D3DXMATRIX world = World(-1);
  EXPECT_EQ(world._41, 300.0f);
  EXPECT_EQ(world._42, 400.0f);
  EXPECT_EQ(Renderer().calls.back(), "state 27=0");
}

TEST_F(MenuScreenTest, ItemsRunOnTheSharedMenuTimer) {
  ASSERT_TRUE(RegisterNodeType<CArgumentProbe>("Probe"));
  CMenuScreen* first = Build<CMenuScreen>(
      R"(<Node Type="MenuScreen" Name="One"><Param Enabled="1"/><Node Type="Probe"><Param Enabled="1"/></Node></Node>)");
  CMenuScreen* second = Build<CMenuScreen>(
      R"(<Node Type="MenuScreen" Name="Two"><Param Enabled="1"/><Node Type="Probe"><Param Enabled="1"/></Node></Node>)");
  ASSERT_NE(CMenuScreen::GetMenuTimer(), nullptr);
  first->Update(nullptr);
  ZkTestClockAdvance(2500000);
  second->Update(nullptr);
  auto* one = dynamic_cast<CArgumentProbe*>(first->GetNode(0));
  auto* two = dynamic_cast<CArgumentProbe*>(second->GetNode(0));
  ASSERT_EQ(one->seen.size(), 1u);
  ASSERT_EQ(two->seen.size(), 1u);
  // Both fields are the timer's running time in seconds.
  EXPECT_EQ(one->seen[0].m_fDeltaTime, one->seen[0].m_fCurrentTime);
  EXPECT_NEAR(two->seen[0].m_fCurrentTime - one->seen[0].m_fCurrentTime, 2.5f, 1e-4);
}

}  // namespace
