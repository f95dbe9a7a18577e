// The engine window's procedure, driven by input injected through the platform and pumped as the
// game's main loop pumps it.
#include <string>
#include <vector>

#include "InputFixture.h"

namespace {

using Strings = std::vector<std::string>;

std::vector<UINT> g_characters;
void RecordCharacter(UINT character) { g_characters.push_back(character); }

class WindowProcedureTest : public InputFixture {
 protected:
  void OpenConsole() {
    Key(DIK_GRAVE, true);
    Key(DIK_GRAVE, false);
    ASSERT_TRUE(m_procedure.IsConsoleOpen());
    m_gui.events.clear();
    m_console.calls.clear();
  }
};

TEST_F(WindowProcedureTest, BackQuoteTogglesTheConsoleAndPlacesTheGuiCursor) {
  Key(DIK_GRAVE, true);
  EXPECT_TRUE(m_procedure.IsConsoleOpen());
  EXPECT_EQ(m_console.calls, Strings{"toggle"});
  ASSERT_EQ(m_gui.events.size(), 1u);
  EXPECT_EQ(m_gui.events[0].rfind("position ", 0), 0u);

  Key(DIK_GRAVE, false);
  Key(DIK_GRAVE, true);
  EXPECT_FALSE(m_procedure.IsConsoleOpen());
  EXPECT_EQ(m_gui.events.size(), 1u) << "closing places no cursor";
}

TEST_F(WindowProcedureTest, ConsoleLockKeepsBackQuoteAndAltEnterFromChangingAnything) {
  m_config.dwLockConsole = 1;
  m_descriptor.dwWindowed = 1;
  m_context->dwWindowed = 1;
  Key(DIK_GRAVE, true);
  Key(DIK_LMENU, true);
  Key(DIK_RETURN, true);
  EXPECT_FALSE(m_procedure.IsConsoleOpen());
  EXPECT_TRUE(m_console.calls.empty());
  EXPECT_EQ(m_descriptor.dwWindowed, 1u);
  EXPECT_EQ(m_reset.resets, 0);
}

TEST_F(WindowProcedureTest, ArrowKeysWalkTheHistoryOnlyWhileTheConsoleIsOpen) {
  Key(DIK_UP, true);
  Key(DIK_DOWN, true);
  EXPECT_TRUE(m_console.calls.empty());

  OpenConsole();
  Key(DIK_UP, true);
  Key(DIK_UP, false);
  Key(DIK_DOWN, true);
  EXPECT_EQ(m_console.calls, (Strings{"history up", "history down"}));
}

TEST_F(WindowProcedureTest, EscapeShutsDownOnlyWithTheConsoleClosedAndWordTwelveAtOne) {
  struct Case {
    DWORD escapeWord;
    bool consoleOpen;
    bool shutsDown;
  };
  const Case cases[] = {{1, false, true}, {1, true, false}, {0, false, false}, {2, false, false}};
  for (const Case& one : cases) {
    SCOPED_TRACE(testing::Message() << "word " << one.escapeWord << " open " << one.consoleOpen);
    m_config.dwEscapeShutsDown = one.escapeWord;
    if (one.consoleOpen != m_procedure.IsConsoleOpen()) {
      Key(DIK_GRAVE, true);
      Key(DIK_GRAVE, false);
    }
    s_shutdowns = 0;
    m_context->dwQuit = 0;
    m_log.entries.clear();
    Key(DIK_ESCAPE, true);
    Key(DIK_ESCAPE, false);
    EXPECT_EQ(s_shutdowns, one.shutsDown ? 1 : 0);
    EXPECT_EQ(m_context->dwQuit, one.shutsDown ? 1u : 0u);
    EXPECT_EQ(m_log.TextAt(CEngineLog::kLevelInfo), one.shutsDown ? "- ESC Pressed!!!\n" : "");
  }
}

TEST_F(WindowProcedureTest, ClosingTheWindowRunsTheShutdown) {
  ASSERT_TRUE(ZkTestInputClose(m_hWnd));
  Pump();
  EXPECT_EQ(s_shutdowns, 1);
}

TEST_F(WindowProcedureTest, CharactersReachTheConsoleExceptTheBackQuoteAndAlwaysTheKeyboard) {
  StartInput();
  g_characters.clear();
  m_input->GetKeyboard()->SetCharCallback(RecordCharacter);

  ASSERT_TRUE(ZkTestInputText(m_hWnd, "a"));
  Pump();
  EXPECT_TRUE(m_console.calls.empty()) << "closed console";
  EXPECT_TRUE(m_gui.events.empty());

  OpenConsole();
  ASSERT_TRUE(ZkTestInputText(m_hWnd, "b`"));
  Pump();
  EXPECT_EQ(m_console.calls, Strings{"char 98"});
  EXPECT_EQ(m_gui.events, Strings{"char 98"});
  EXPECT_EQ(g_characters, (std::vector<UINT>{'a', 'b', '`'}));
}

TEST_F(WindowProcedureTest, AltEnterSwitchesTheScreenModeAndResetsTheDevice) {
  m_descriptor.dwWindowed = 1;
  m_context->dwWindowed = 1;
  Key(DIK_LMENU, true);
  Key(DIK_RETURN, true);
  EXPECT_EQ(m_descriptor.dwWindowed, 0u);
  EXPECT_EQ(m_context->dwWindowed, 0u);
  EXPECT_EQ(m_reset.resets, 1);
  EXPECT_EQ(m_log.TextAt(CEngineLog::kLevelInfo), "Changing Screen Mode\n");

  // Anything but 1 counts as full screen and becomes windowed.
  m_descriptor.dwWindowed = 7;
  EXPECT_EQ(SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, VK_RETURN), 1);
  EXPECT_EQ(m_descriptor.dwWindowed, 1u);
  EXPECT_EQ(m_reset.resets, 2);
}

TEST_F(WindowProcedureTest, ScreenSaverAndMonitorPowerAreRefused) {
  for (WPARAM command : {WPARAM{SC_SCREENSAVE}, WPARAM{SC_MONITORPOWER | 2}}) {
    EXPECT_EQ(SendMessageA(m_hWnd, WM_SYSCOMMAND, command, 0), 0);
  }
  EXPECT_EQ(SendMessageA(m_hWnd, WM_ERASEBKGND, 0, 0), 0);
}

TEST_F(WindowProcedureTest, MouseReachesTheGuiOnlyWhileTheConsoleIsOpen) {
  ASSERT_TRUE(ZkTestInputMouseMove(m_hWnd, 10, 10, 1, 1));
  ASSERT_TRUE(ZkTestInputMouseButton(m_hWnd, 0, TRUE, 1));
  ASSERT_TRUE(ZkTestInputMouseWheel(m_hWnd, 1));
  Pump();
  EXPECT_TRUE(m_gui.events.empty());

  OpenConsole();
  ASSERT_TRUE(ZkTestInputMouseMove(m_hWnd, 20, 30, 10, 20));
  ASSERT_TRUE(ZkTestInputMouseMove(m_hWnd, 25, 28, 5, -2));
  ASSERT_TRUE(ZkTestInputMouseButton(m_hWnd, 0, FALSE, 1));
  ASSERT_TRUE(ZkTestInputMouseButton(m_hWnd, 1, TRUE, 1));
  ASSERT_TRUE(ZkTestInputMouseButton(m_hWnd, 2, TRUE, 1));
  ASSERT_TRUE(ZkTestInputMouseWheel(m_hWnd, -2));
  Pump();
  // The first move after opening only sets the position the GUI's moves start from.
  EXPECT_EQ(m_gui.events, (Strings{"move 0 0", "move 5 -2", "button up 0", "button down 1",
                                   "button down 2", "wheel -2"}));
}

TEST_F(WindowProcedureTest, ActivationClipsTheCursorAndDeactivationReleasesIt) {
  SendMessageA(m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
  RECT client;
  ASSERT_TRUE(GetClientRect(m_hWnd, &client));
  POINT corner = {client.right, client.bottom};
  ClientToScreen(m_hWnd, &corner);
  RECT clip;
  ASSERT_TRUE(GetClipCursor(&clip));
  EXPECT_EQ(clip.right, corner.x);
  EXPECT_EQ(clip.bottom, corner.y);

  SendMessageA(m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
  ASSERT_TRUE(GetClipCursor(&clip));
  EXPECT_NE(clip.right, corner.x) << "the clip is released";
}

TEST_F(WindowProcedureTest, StayActiveWordKeepsTheWindowActive) {
  m_config.dwKeepActive = 1;
  EXPECT_EQ(SendMessageA(m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0), 1);
  EXPECT_EQ(GetActiveWindow(), m_hWnd);
}

TEST_F(WindowProcedureTest, AWindowWithoutTheProcedureInstalledGetsDefaultHandling) {
  CWindowProcedure::Install(nullptr);
  Key(DIK_GRAVE, true);
  EXPECT_TRUE(m_console.calls.empty());
}

}  // namespace
