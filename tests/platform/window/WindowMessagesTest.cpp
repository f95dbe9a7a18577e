#include <gtest/gtest.h>

#include "TestWindow.h"
#include "dinput.h"
#include "windows.h"
#include "windowsx.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestInput.h"

namespace {

constexpr LPARAM kReleased = (1 << 30) | (static_cast<LPARAM>(1) << 31);
constexpr LPARAM kExtended = 1 << 24;

struct KeyCase {
  BYTE dik;
  WPARAM vk;
  bool extended;
};

class WindowMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(window.Handle(), nullptr);
    ShowWindow(window.Handle(), SW_SHOW);
    window.Pump();
  }
  TestWindow window;
};

TEST_F(WindowMessagesTest, KeysGiveTheirVirtualKeysAndScanCodes) {
  const KeyCase cases[] = {
      {DIK_A, 'A', false},
      {DIK_1, '1', false},
      {DIK_GRAVE, VK_OEM_3, false},
      {DIK_ESCAPE, VK_ESCAPE, false},
      {DIK_UP, VK_UP, true},
      {DIK_RCONTROL, VK_CONTROL, true},
      {DIK_NUMPADENTER, VK_RETURN, true},
      {DIK_F12, VK_F12, false},
      {DIK_LSHIFT, VK_SHIFT, false},
  };
  for (const KeyCase& key : cases) {
    SCOPED_TRACE(key.dik);
    ASSERT_TRUE(ZkTestInputKey(window.Handle(), key.dik, TRUE));
    auto seen = window.Pump();
    auto downs = TestWindow::Only(seen, WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].wParam, key.vk);
    EXPECT_EQ((downs[0].lParam >> 16) & 0x7F, key.dik & 0x7F);
    EXPECT_EQ((downs[0].lParam & kExtended) != 0, key.extended);
    EXPECT_EQ(downs[0].lParam & kReleased, 0);
    EXPECT_NE(GetAsyncKeyState(static_cast<int>(key.vk)) & 0x8000, 0);

    ASSERT_TRUE(ZkTestInputKey(window.Handle(), key.dik, FALSE));
    auto ups = TestWindow::Only(window.Pump(), WM_KEYUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].wParam, key.vk);
    EXPECT_EQ(ups[0].lParam & kReleased, kReleased);
    EXPECT_EQ(GetAsyncKeyState(static_cast<int>(key.vk)), 0);
  }
}

TEST_F(WindowMessagesTest, TextGivesOneCharacterPerLatin1Letter) {
  // "a", e acute, the euro sign (no 8-bit code), "Z"
  ASSERT_TRUE(ZkTestInputText(window.Handle(),
                              "a\xC3\xA9\xE2\x82\xAC"
                              "Z"));
  auto chars = TestWindow::Only(window.Pump(), WM_CHAR);
  ASSERT_EQ(chars.size(), 3u);
  EXPECT_EQ(chars[0].wParam, WPARAM('a'));
  EXPECT_EQ(chars[1].wParam, WPARAM(0xE9));
  EXPECT_EQ(chars[2].wParam, WPARAM('Z'));
}

TEST_F(WindowMessagesTest, EnterAndBackspaceTypeControlCharacters) {
  ZkTestInputKey(window.Handle(), DIK_RETURN, TRUE);
  ZkTestInputKey(window.Handle(), DIK_RETURN, FALSE);
  ZkTestInputKey(window.Handle(), DIK_BACK, TRUE);
  auto seen = window.Pump();
  auto chars = TestWindow::Only(seen, WM_CHAR);
  ASSERT_EQ(chars.size(), 2u);
  EXPECT_EQ(chars[0].wParam, WPARAM('\r'));
  EXPECT_EQ(chars[1].wParam, WPARAM('\b'));
  EXPECT_TRUE(TestWindow::Only(seen, WM_SYSCOMMAND).empty());
}

TEST_F(WindowMessagesTest, AltEnterAsksForTheKeyMenuCommand) {
  ZkTestInputKey(window.Handle(), DIK_LMENU, TRUE);
  ZkTestInputKey(window.Handle(), DIK_RETURN, TRUE);
  auto seen = window.Pump();
  auto sysKeys = TestWindow::Only(seen, WM_SYSKEYDOWN);
  ASSERT_EQ(sysKeys.size(), 2u);
  EXPECT_EQ(sysKeys[0].wParam, WPARAM(VK_MENU));
  EXPECT_EQ(sysKeys[1].wParam, WPARAM(VK_RETURN));
  EXPECT_TRUE(TestWindow::Only(seen, WM_KEYDOWN).empty());
  EXPECT_TRUE(TestWindow::Only(seen, WM_CHAR).empty());
  auto commands = TestWindow::Only(seen, WM_SYSCOMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam & 0xFFF0, WPARAM(SC_KEYMENU));
  EXPECT_EQ(commands[0].lParam, LPARAM(VK_RETURN));
  EXPECT_TRUE(IsWindow(window.Handle()));
}

TEST_F(WindowMessagesTest, CloseRequestComesAsScCloseThenWmClose) {
  ASSERT_TRUE(ZkTestInputClose(window.Handle()));
  // The loop sees the command itself before dispatching it (the game checks for it).
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, UINT(WM_SYSCOMMAND));
  EXPECT_EQ(msg.wParam, WPARAM(SC_CLOSE));
  EXPECT_EQ(msg.hwnd, window.Handle());

  auto seen = window.Pump();
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0].message, UINT(WM_SYSCOMMAND));
  EXPECT_EQ(seen[1].message, UINT(WM_CLOSE));
  EXPECT_EQ(seen[2].message, UINT(WM_DESTROY));
  EXPECT_FALSE(IsWindow(window.Handle()));
}

TEST_F(WindowMessagesTest, MouseMotionCarriesSignedClientCoordinates) {
  ASSERT_TRUE(ZkTestInputMouseMove(window.Handle(), -5, 20, -3, 4));
  auto seen = window.Pump();
  auto moves = TestWindow::Only(seen, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), -5);
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 20);
  // The cursor shape is asked for before the move arrives.
  auto setCursor = TestWindow::Only(seen, WM_SETCURSOR);
  ASSERT_EQ(setCursor.size(), 1u);
  EXPECT_EQ(LOWORD(setCursor[0].lParam), HTCLIENT);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, -5);
  EXPECT_EQ(cursor.y, 20);
}

TEST_F(WindowMessagesTest, WheelComesInMultiplesOf120) {
  ZkTestInputMouseWheel(window.Handle(), 1);
  ZkTestInputMouseWheel(window.Handle(), -2);
  auto wheels = TestWindow::Only(window.Pump(), WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 2u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), 120);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), -240);
}

TEST_F(WindowMessagesTest, ButtonsGiveDownAndUpAndTheKeyState) {
  const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  const int keys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  const WPARAM flags[] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};
  ZkTestInputMouseMove(window.Handle(), 30, 40, 30, 40);
  window.Pump();
  for (int button = 0; button < 3; ++button) {
    SCOPED_TRACE(button);
    ZkTestInputMouseButton(window.Handle(), button, TRUE, 1);
    auto pressed = TestWindow::Only(window.Pump(), downs[button]);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].wParam & flags[button], flags[button]);
    EXPECT_EQ(GET_X_LPARAM(pressed[0].lParam), 30);
    EXPECT_EQ(GET_Y_LPARAM(pressed[0].lParam), 40);
    EXPECT_NE(GetAsyncKeyState(keys[button]) & 0x8000, 0);
    ZkTestInputMouseButton(window.Handle(), button, FALSE, 1);
    EXPECT_EQ(TestWindow::Only(window.Pump(), downs[button] + 1).size(), 1u);
    EXPECT_EQ(GetAsyncKeyState(keys[button]), 0);
  }
}

TEST(WindowDoubleClickTest, OnlyClassesThatAskForThemGetDoubleClicks) {
  for (UINT classStyle : {0u, UINT(CS_DBLCLKS)}) {
    TestWindow window(WS_POPUP, 0, classStyle);
    ShowWindow(window.Handle(), SW_SHOW);
    ZkTestInputMouseButton(window.Handle(), 0, TRUE, 2);
    auto seen = window.Pump();
    const bool wanted = classStyle & CS_DBLCLKS;
    EXPECT_EQ(TestWindow::Only(seen, WM_LBUTTONDBLCLK).size(), wanted ? 1u : 0u);
    EXPECT_EQ(TestWindow::Only(seen, WM_LBUTTONDOWN).size(), wanted ? 0u : 1u);
  }
}

TEST(WindowActivationTest, ShowingActivatesAndLosingTheFocusDeactivates) {
  TestWindow window;
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  ShowWindow(window.Handle(), SW_SHOW);
  auto activations = TestWindow::Only(window.Pump(), WM_ACTIVATE);
  ASSERT_EQ(activations.size(), 1u);
  EXPECT_EQ(LOWORD(activations[0].wParam), WA_ACTIVE);
  EXPECT_EQ(GetForegroundWindow(), window.Handle());

  // A key held when the focus goes is let go.
  ZkTestInputKey(window.Handle(), DIK_A, TRUE);
  ZkTestInputFocus(window.Handle(), FALSE);
  activations = TestWindow::Only(window.Pump(), WM_ACTIVATE);
  ASSERT_EQ(activations.size(), 1u);
  EXPECT_EQ(LOWORD(activations[0].wParam), WA_INACTIVE);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_EQ(GetAsyncKeyState('A'), 0);

  ZkTestInputFocus(window.Handle(), TRUE);
  activations = TestWindow::Only(window.Pump(), WM_ACTIVATE);
  ASSERT_EQ(activations.size(), 1u);
  EXPECT_EQ(LOWORD(activations[0].wParam), WA_ACTIVE);
  // Asking again for the active window changes nothing.
  EXPECT_EQ(SetActiveWindow(window.Handle()), window.Handle());
  EXPECT_TRUE(TestWindow::Only(window.Pump(), WM_ACTIVATE).empty());
}

TEST(WindowPlacementTest, ReportsMinimisedAndShownInactive) {
  TestWindow window;
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;

  ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
  ASSERT_TRUE(GetWindowPlacement(window.Handle(), &placement));
  EXPECT_EQ(placement.showCmd, UINT(SW_SHOWNOACTIVATE));
  EXPECT_EQ(GetForegroundWindow(), nullptr);

  ShowWindow(window.Handle(), SW_SHOWNORMAL);
  window.Pump();
  ZkTestInputMinimize(window.Handle(), TRUE);
  auto sizes = TestWindow::Only(window.Pump(), WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, WPARAM(SIZE_MINIMIZED));
  GetWindowPlacement(window.Handle(), &placement);
  EXPECT_EQ(placement.showCmd, UINT(SW_SHOWMINIMIZED));

  ZkTestInputMinimize(window.Handle(), FALSE);
  sizes = TestWindow::Only(window.Pump(), WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, WPARAM(SIZE_RESTORED));
  EXPECT_EQ(LOWORD(sizes[0].lParam), 320);
  EXPECT_EQ(HIWORD(sizes[0].lParam), 240);
  GetWindowPlacement(window.Handle(), &placement);
  EXPECT_EQ(placement.showCmd, UINT(SW_SHOWNORMAL));

  EXPECT_FALSE(GetWindowPlacement(nullptr, &placement));
}

TEST(MessageQueueTest, PostedMessagesKeepOrderTimeAndFilters) {
  TestWindow window;
  ZkTestClockSetManual(7'000'000);
  ASSERT_TRUE(PostMessageA(window.Handle(), WM_USER + 1, 11, 22));
  ASSERT_TRUE(PostMessageA(window.Handle(), WM_USER + 2, 0, 0));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
  PostQuitMessage(3);

  MSG msg;
  // A range that holds only the second message takes it first; the quit waits for the rest.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_USER + 2));
  EXPECT_EQ(msg.time, 7000u);
  ASSERT_TRUE(PeekMessageA(&msg, window.Handle(), 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_USER + 1));
  EXPECT_EQ(msg.wParam, WPARAM(11));
  EXPECT_EQ(msg.lParam, LPARAM(22));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, WPARAM(3));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  ZkTestClockSetReal();
}

TEST(MessageQueueTest, DestroyedWindowsLoseTheirMessages) {
  TestWindow window;
  PostMessageA(window.Handle(), WM_USER, 0, 0);
  DestroyWindow(window.Handle());
  EXPECT_TRUE(TestWindow::Only(window.Pump(), WM_USER).empty());
  MSG msg = {};
  msg.hwnd = window.Handle();
  msg.message = WM_USER;
  EXPECT_EQ(DispatchMessageA(&msg), 0);
}

}  // namespace
