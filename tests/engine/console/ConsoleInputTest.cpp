// The console as a user reaches it: keys and text through the engine's window procedure, and key
// presses the input manager queued, injected on the main thread once a frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

#include "ConsoleBench.h"
#include "core/Timer.h"
#include "dinput.h"
#include "input/GuiInput.h"
#include "input/InputControllers.h"
#include "input/Keyboard.h"
#include "input/WindowProcedure.h"
#include "zktest/ZkTestInput.h"

namespace {

std::vector<unsigned> g_recorded;
void Record(unsigned value) { g_recorded.push_back(value); }

class ConsoleInputTest : public ::testing::Test {
 protected:
  static constexpr DWORD kBackground = 4;  // non-exclusive, background: no focus needed

  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CWindowProcedure::WindowProc;
    windowClass.lpszClassName = "ZkConsoleInputTest";
    RegisterClassA(&windowClass);  // already there after the first test
    m_hWnd = CreateWindowExA(0, "ZkConsoleInputTest", "console", WS_POPUP, 0, 0, 320, 240, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    ZkTestInputFocus(m_hWnd, TRUE);
    CWindowProcedure::Install(&m_procedure);
    g_recorded.clear();
  }
  void TearDown() override {
    CWindowProcedure::Install(nullptr);
    if (m_input) m_input->SetGuiTarget(nullptr, nullptr);
    m_input.reset();
    DestroyWindow(m_hWnd);
    Pump();
  }

  // The console wired as start-up wires it: to the window procedure and, with its GUI, to the
  // input manager.
  void Wire(ConsoleBench& bench) {
    ASSERT_TRUE(bench.started) << bench.Errors();
    m_entry = {"void Record( uint )", reinterpret_cast<ConsoleHandler>(&Record),
               [] { return "Record"; }};
    ASSERT_EQ(bench.console->RegisterFunction(&m_entry), 1);
    m_procedure.SetConsole(bench.console.get());
    const InputControllersSettings settings = {&bench.log, &m_timer, nullptr, m_hWnd, kBackground, 1};
    m_input = std::make_unique<CInputControllers>(settings);
    ASSERT_EQ(m_input->Init(), 1u);
    m_input->StopThread();
    m_procedure.SetInputControllers(m_input.get());
    bench.context->ports.guiKeys.Set(m_input.get());
    if (CGuiInput* gui = bench.gui.gui.GetInput()) m_input->SetGuiTarget(gui, bench.console.get());
  }

  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // A key pressed and released: the messages are pumped, the input thread polls the keyboard
  // (here on a thread of its own) and the next frame hands what it queued to the GUI.
  void Press(BYTE key) {
    for (BOOL down : {TRUE, FALSE}) {
      ASSERT_TRUE(ZkTestInputKey(m_hWnd, key, down));
      Pump();
      std::thread([this] { m_input->GetKeyboard()->Poll(); }).join();
      GetEngineContext()->ShowFPS(0);
    }
  }
  void TypeText(const char* text) {
    ASSERT_TRUE(ZkTestInputText(m_hWnd, text));
    Pump();
  }

  HWND m_hWnd = nullptr;
  CWindowProcedure m_procedure;
  CTimer m_timer;
  ConsoleFunction m_entry = {};
  std::unique_ptr<CInputControllers> m_input;
};

TEST_F(ConsoleInputTest, BackQuoteOpensTypedTextReachesTheEditboxAndEnterRunsTheLine) {
  ConsoleBench bench({.procedure = &m_procedure});
  Wire(bench);
  Press(DIK_GRAVE);
  ASSERT_TRUE(bench.console->IsOpen());
  ASSERT_TRUE(m_procedure.IsConsoleOpen());
  bench.Editbox()->activate();

  TypeText("showb");
  Press(DIK_TAB);
  EXPECT_EQ(bench.EditboxText(), "ShowBones") << "TAB completes";
  bench.Type("");

  TypeText("Record(45");
  EXPECT_EQ(bench.EditboxText(), "Record(45");
  Press(DIK_BACK);  // the queued key edits the box
  EXPECT_EQ(bench.EditboxText(), "Record(4");
  TypeText(");");
  Press(DIK_RETURN);
  EXPECT_EQ(g_recorded, std::vector<unsigned>{4});
  EXPECT_EQ(bench.EditboxText(), "");
  EXPECT_EQ(bench.console->GetHistoryEntry(0), std::string("Record(4);"));

  Press(DIK_UP);
  EXPECT_EQ(bench.EditboxText(), "Record(4);");
  Press(DIK_GRAVE);
  EXPECT_FALSE(bench.console->IsOpen());
  TypeText("x");
  EXPECT_EQ(bench.EditboxText(), "Record(4);") << "a closed console takes no text";
  EXPECT_EQ(g_recorded, std::vector<unsigned>{4});
}

TEST_F(ConsoleInputTest, AConsoleWithoutGuiTakesTheSameInputWithoutEffect) {
  ConsoleBench bench({.gui = false, .procedure = &m_procedure});
  Wire(bench);
  Press(DIK_GRAVE);
  EXPECT_TRUE(bench.console->IsOpen());
  TypeText("Record(1);");
  Press(DIK_BACK);
  Press(DIK_UP);
  Press(DIK_TAB);
  Press(DIK_RETURN);
  EXPECT_TRUE(g_recorded.empty()) << "no edit box, no line";
  EXPECT_EQ(bench.console->GetHistoryEntry(0), std::string());
  Press(DIK_GRAVE);
  EXPECT_FALSE(bench.console->IsOpen());
}

}  // namespace
