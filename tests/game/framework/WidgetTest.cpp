// Widgets and their containers on real engine scenes: the mouse is set by the test, and picking
// goes through the scene's camera and the engine's ray test against a cube in front of it.
#include "GameObjectFixture.h"
#include "framework/BaseWidget.h"
#include "framework/BaseWidgetsContainer.h"

namespace {

using CDrawnWidget = TDrawn<geCBaseWidget>;

// Every event with its own animation of one second at the scene's ten frames a second; "GoIn"
// and "GoOut" are written as loops, which the widget makes play once.
const char* const kAllEvents = R"(
  <Animation Id="1" Start="0" End="10" animation_type="loop"/>
  <Animation Id="2" Start="0" End="10" animation_type="loop"/>
  <Animation Id="3" Start="0" End="0" animation_type="loop"/>
  <Animation Id="5" Start="0" End="10" animation_type="once"/>
  <Animation Id="6" Start="0" End="0" animation_type="loop"/>
  <Events><GoIn AnimationId="1"/><GoOut AnimationId="2"/><MouseOver AnimationId="6"/>
          <Enabled AnimationId="3"/><Clicked AnimationId="5"/></Events>)";

class Widgets : public GameObjectTest {
 protected:
  void SetUp() override {
    GameObjectTest::SetUp();
    WriteSettings("<Param use_shaders=\"0\"/>");
    StartCore();
    RegisterNodeType<CDrawnWidget>("DrawnWidget");
    RegisterNodeType<CDrawnObject>("DrawnObject");
    TDrawnNodes::drawn.clear();
    SaveScene("button", {{"knob", {0, 0, 5}}}, {}, true, 10.0f, 10);
    SaveScene("blind", {{"knob", {0, 0, 5}}}, {}, false, 10.0f, 10);
  }

  static std::string Widget(const char* name, const char* file = "button.zks",
                            const char* body = kAllEvents) {
    return std::string("<Node Type=\"DrawnWidget\" Name=\"") + name + "\"><Param File=\"" + file +
           "\" Directory=\"\" Enabled=\"1\"/>" + body + "</Node>";
  }
  geCBaseWidget* BuildWidget(const char* name, const char* file = "button.zks",
                             const char* body = kAllEvents) {
    Build(Widget(name, file, body));
    geCBaseWidget* widget = Node<geCBaseWidget>(name);
    widget->SetClickCallback([this](geCBaseWidget*, CMeshInterface* mesh) {
      ++m_clicks;
      m_clickedMesh = mesh;
    });
    widget->SetMouseOverCallback([this](geCBaseWidget*, CMeshInterface*) { ++m_hovers; });
    return widget;
  }
  // The mouse over the cube (the middle of the screen) or off it (the top left corner).
  void Mouse(bool over, bool pressed) {
    geMouseStatus* mouse = m_core->GetMouseStatus();
    mouse->fMouseX = over ? 0.5f : 0.0f;
    mouse->fMouseY = over ? 0.5f : 0.0f;
    mouse->dwLeft = pressed ? 1 : 0;
  }
  // Steps frames 0.1 s apart from the current time to `until`.
  void StepTo(float until) {
    while (m_time + 0.05f < until) Step(m_time += 0.1f);
  }
  // The first frames with the mouse away, until every "GoIn" has finished.
  void GoIn() {
    Mouse(false, false);
    Step(m_time);
    StepTo(1.2f);
  }
  void Post(geCBaseNode* to, DWORD id) {
    m_core->GetMessageRouter()->PostMessage("", 0, to->GetID(), id, 0);
    m_core->GetMessageRouter()->DeliverMessages();
  }

  float m_time = 0.0f;
  int m_clicks = 0;
  int m_hovers = 0;
  CMeshInterface* m_clickedMesh = nullptr;
};

TEST_F(Widgets, GoesInOnItsFirstUpdateAndIsEnabledWhenGoInHasFinished) {
  geCBaseWidget* widget = BuildWidget("w");
  EXPECT_TRUE(widget->GetFlags() & geCGameObject::kFlagNoRenderList);
  EXPECT_EQ(widget->GetAnimations()->GetAnimation(1)->dwType, geCAnimationsManager::kTypePlayOnce);
  EXPECT_EQ(widget->GetAnimations()->GetAnimation(3)->dwType, geCAnimationsManager::kTypeLoop);
  Mouse(false, false);
  EXPECT_EQ(widget->GetState(), 0);
  Step(m_time);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_GOING_IN);
  StepTo(1.0f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_GOING_IN);
  StepTo(1.2f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_ENABLED);
  EXPECT_EQ(widget->GetPreviousState(), geCBaseWidget::STATE_GOING_IN);
}

TEST_F(Widgets, HoverAndClickMoveBetweenTheStates) {
  geCBaseWidget* widget = BuildWidget("w");
  GoIn();
  Mouse(true, false);
  StepTo(1.3f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_MOUSE_OVER);
  EXPECT_EQ(m_hovers, 1);
  EXPECT_EQ(widget->IsMouseOver(), 0u);  // cleared by the process pass
  Mouse(false, false);
  StepTo(1.4f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_ENABLED);
  Mouse(true, true);
  StepTo(1.5f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_CLICKED);
  Mouse(true, false);
  StepTo(2.5f);  // the click's animation still runs
  EXPECT_EQ(m_clicks, 0);
  StepTo(2.7f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_MOUSE_OVER);
  EXPECT_EQ(m_clicks, 1);
  EXPECT_EQ(m_clickedMesh, widget->GetMesh(0));
}

TEST_F(Widgets, AClickWhileGoingInSwitchesToClickedAtOnce) {
  geCBaseWidget* widget = BuildWidget("w");
  Mouse(true, true);
  Step(m_time);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_CLICKED);
}

TEST_F(Widgets, LeavingAClickedWidgetReportsTheClickEachFrameUntilItsAnimationEnds) {
  geCBaseWidget* widget = BuildWidget("w");
  GoIn();
  Mouse(true, true);
  StepTo(1.3f);
  ASSERT_EQ(widget->GetState(), geCBaseWidget::STATE_CLICKED);
  Mouse(false, false);
  StepTo(2.0f);  // seven frames, the animation still running
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_CLICKED);
  EXPECT_EQ(m_clicks, 7);
  EXPECT_EQ(m_clickedMesh, nullptr);
  StepTo(2.6f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_ENABLED);
  const int clicks = m_clicks;
  StepTo(3.0f);
  EXPECT_EQ(m_clicks, clicks);
}

TEST_F(Widgets, EventsDecideWhatTheWidgetReactsTo) {
  geCBaseWidget* deaf = BuildWidget("deaf", "button.zks", "");
  geCBaseWidget* partial = BuildWidget("partial", "button.zks", R"(
    <Animation Id="1" Start="0" End="10"/><Animation Id="6" Start="0" End="0" animation_type="loop"/>
    <Animation Id="5" Start="0" End="10"/>
    <Events><GoIn AnimationId="1"/><MouseOver AnimationId="6"/><Clicked AnimationId="-1"/></Events>)");
  EXPECT_FALSE(deaf->GetProperties()->IsRegistred("MouseOver"));
  EXPECT_FALSE(partial->GetProperties()->IsRegistred("Clicked"));
  EXPECT_EQ(partial->GetEventAnimation(geCBaseWidget::STATE_CLICKED), 0);
  EXPECT_EQ(partial->GetEventAnimation(geCBaseWidget::STATE_MOUSE_OVER), 6);
  GoIn();
  Mouse(true, true);
  StepTo(1.6f);
  EXPECT_EQ(deaf->GetState(), geCBaseWidget::STATE_GOING_IN);
  EXPECT_EQ(partial->GetState(), geCBaseWidget::STATE_MOUSE_OVER);
  EXPECT_EQ(m_clicks, 0);
}

TEST_F(Widgets, ASceneWithoutACameraNeverHasTheMouseOver) {
  geCBaseWidget* widget = BuildWidget("w", "blind.zks");
  GoIn();
  Mouse(true, true);
  StepTo(1.5f);
  EXPECT_EQ(widget->GetState(), geCBaseWidget::STATE_ENABLED);
  EXPECT_EQ(m_hovers + m_clicks, 0);
}

TEST_F(Widgets, ContainerSendsItsWidgetsOutAndInAndClosesWhenAllAreOut) {
  Build(R"(<Node Type="WidgetsContainer" Name="menu"><Param Enabled="1"/>)" + Widget("a") +
        Widget("b") + R"(</Node><Node Type="WidgetsContainer" Name="empty"><Param Enabled="1"/></Node>)");
  auto* menu = Node<geCBaseWidgetsContainer>("menu");
  auto* empty = Node<geCBaseWidgetsContainer>("empty");
  geCBaseWidget* a = Node<geCBaseWidget>("a");
  geCBaseWidget* b = Node<geCBaseWidget>("b");
  GoIn();
  ASSERT_EQ(a->GetState(), geCBaseWidget::STATE_ENABLED);

  Post(menu, 6);
  Post(empty, 6);
  EXPECT_EQ(a->GetState(), geCBaseWidget::STATE_GOING_OUT);
  EXPECT_EQ(b->GetState(), geCBaseWidget::STATE_GOING_OUT);
  StepTo(1.3f);
  EXPECT_FALSE(empty->IsEnabled());
  EXPECT_TRUE(menu->IsEnabled());
  StepTo(2.5f);
  EXPECT_FALSE(menu->IsEnabled());
  EXPECT_FALSE(a->IsEnabled());
  EXPECT_EQ(menu->IsClosing(), 0u);

  Post(menu, 5);
  EXPECT_TRUE(menu->IsEnabled());
  EXPECT_TRUE(b->IsEnabled());
  EXPECT_EQ(a->GetState(), geCBaseWidget::STATE_GOING_IN);
  EXPECT_EQ(b->GetState(), geCBaseWidget::STATE_GOING_IN);
}

TEST_F(Widgets, TheContainerDrawsItsWidgetsInChildOrderAtPriorityOneHundred) {
  Build(R"(<Node Type="DrawnObject" Name="after"><Param Enabled="1" RenderPriority="101"/></Node>
           <Node Type="WidgetsContainer" Name="menu"><Param Enabled="1"/>)" +
        Widget("second") + Widget("first") + R"(</Node>
           <Node Type="DrawnObject" Name="before"><Param Enabled="1" RenderPriority="99"/></Node>)");
  Mouse(false, false);
  Step(m_time);
  EXPECT_EQ(TDrawnNodes::drawn, (std::vector<std::string>{"before", "second", "first", "after"}));
}

}  // namespace
