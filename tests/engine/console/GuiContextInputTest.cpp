// The engine's GUI input reaching a focused edit box: characters, mouse and wheel through the
// window procedure as the running GUI hands them over, keys as the input manager injects them.
#include <gtest/gtest.h>
#include <windows.h>

#include <CEGUI/GUIContext.h>
#include <CEGUI/InputEvent.h>
#include <CEGUI/SubscriberSlot.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>

#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "NullGuiBench.h"
#include "RecordingConsole.h"
#include "ZKDXGlobals.h"
#include "dinput.h"
#include "input/GuiInput.h"
#include "input/WindowProcedure.h"

namespace {

constexpr WPARAM kBackQuoteKey = 192;

class GuiContextInputTest : public ::testing::Test {
 protected:
  GuiContextInputTest() : m_bench(Options(&m_procedure)) {}

  static NullGuiBench::Options Options(CWindowProcedure* procedure) {
    NullGuiBench::Options options;
    options.procedure = procedure;
    return options;
  }

  void SetUp() override {
    m_context->pConfig = &m_config;
    m_context->pLog = &m_bench.log;
    m_procedure.SetConsole(&m_console);
    ASSERT_EQ(m_bench.Start(), 1) << m_bench.log.TextAt(CEngineLog::kLevelError);

    // The edit box takes the lower right quarter of the screen.
    CWindowRegistry& windows = m_bench.gui.GetWindows();
    m_editbox = windows.Create("TaharezLook/Editbox", "ZeKorb/Console/Editbox",
                               windows.Find("root_wnd"));
    m_editbox->setPosition(CEGUI::UVector2(cegui_reldim(0.5f), cegui_reldim(0.5f)));
    m_editbox->setSize(CEGUI::USize(cegui_reldim(0.5f), cegui_reldim(0.5f)));
    m_editbox->subscribeEvent(CEGUI::Window::EventMouseMove,
                              CEGUI::Event::Subscriber(&GuiContextInputTest::OnMouse, this));
    m_editbox->subscribeEvent(CEGUI::Window::EventMouseWheel,
                              CEGUI::Event::Subscriber(&GuiContextInputTest::OnWheel, this));
  }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    return m_procedure.HandleMessage(nullptr, message, wParam, lParam);
  }

  CEGUI::Vector2f EditboxCentre() const {
    return m_editbox->getUnclippedOuterRect().get().getPosition() +
           CEGUI::Vector2f(m_editbox->getPixelSize().d_width / 2,
                           m_editbox->getPixelSize().d_height / 2);
  }

  CEGUI::GUIContext& Context() { return m_bench.gui.GetSystem()->getDefaultGUIContext(); }

  bool OnMouse(const CEGUI::EventArgs& args) {
    moves.push_back(static_cast<const CEGUI::MouseEventArgs&>(args).position);
    return true;
  }
  bool OnWheel(const CEGUI::EventArgs& args) {
    wheel += static_cast<const CEGUI::MouseEventArgs&>(args).wheelChange;
    return true;
  }

  EngineContextScope m_context;
  ZeKorbConfig m_config = {};
  CRecordingConsole m_console;
  CWindowProcedure m_procedure;
  NullGuiBench m_bench;
  CEGUI::Window* m_editbox = nullptr;
  std::vector<CEGUI::Vector2f> moves;
  float wheel = 0.0f;
};

TEST_F(GuiContextInputTest, MouseWheelCharactersAndKeysReachTheFocusedEditbox) {
  Send(WM_KEYDOWN, kBackQuoteKey);
  ASSERT_TRUE(m_procedure.IsConsoleOpen());

  // The cursor starts in the upper left quarter and the window procedure moves it into the box.
  CGuiInput* input = m_bench.gui.GetInput();
  ASSERT_NE(input, nullptr);
  const CEGUI::Vector2f target = EditboxCentre();
  input->InjectMousePosition(target.d_x - 250, target.d_y - 200);
  EXPECT_NE(Context().getWindowContainingMouse(), m_editbox);
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(260, 210));
  EXPECT_EQ(Context().getWindowContainingMouse(), m_editbox);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back(), target);

  EXPECT_FALSE(m_editbox->isActive());
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  Send(WM_LBUTTONUP, 0);
  EXPECT_TRUE(m_editbox->isActive()) << "a click focuses the box";

  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA));
  EXPECT_EQ(wheel, 2.0f);

  for (char c : std::string("zek`"))
    Send(WM_CHAR, static_cast<WPARAM>(c));
  EXPECT_EQ(m_editbox->getText(), "zek") << "the back quote is never typed";

  // DirectInput key codes are the library's scan codes.
  input->InjectKeyDown(DIK_BACK);
  input->InjectKeyUp(DIK_BACK);
  EXPECT_EQ(m_editbox->getText(), "ze");
  input->InjectKeyDown(DIK_HOME);
  input->InjectKeyUp(DIK_HOME);
  input->InjectKeyDown(0x1FF);  // no DirectInput key: dropped
  Send(WM_CHAR, 'K');
  EXPECT_EQ(m_editbox->getText(), "Kze");
  // Backspace, tab, enter and escape come as characters too; they are keys, never typed.
  for (WPARAM control : {8, 9, 13, 27, 127}) Send(WM_CHAR, control);
  EXPECT_EQ(m_editbox->getText(), "Kze");
}

TEST_F(GuiContextInputTest, ReleaseTakesTheInputBackFromTheWindowProcedure) {
  Send(WM_KEYDOWN, kBackQuoteKey);
  ASSERT_TRUE(m_procedure.IsConsoleOpen());
  m_editbox->activate();
  Send(WM_CHAR, 'a');
  ASSERT_EQ(m_editbox->getText(), "a");

  m_bench.gui.Release();
  // The procedure would reach a freed context if it still held the input.
  Send(WM_CHAR, 'b');
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
  EXPECT_EQ(m_console.calls.back(), "char 98") << "the console still gets its characters";
}

}  // namespace
