#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "TestWindow.h"
#include "windows.h"
#include "zkplatform/ZkWindow.h"

namespace {

struct StyleCase {
  DWORD style;
  DWORD exStyle;
  bool borderless;
  bool onTop;
};

TEST(WindowStyleTest, StylesChooseBordersAndStackingOfAnOpenGLWindow) {
  // The engine's windowed and full-screen styles among them.
  const StyleCase cases[] = {
      {WS_POPUP, 0, true, false},
      {WS_POPUP | WS_CAPTION, WS_EX_APPWINDOW, false, false},
      {WS_POPUP, WS_EX_APPWINDOW | WS_EX_TOPMOST, true, true},
      {WS_OVERLAPPEDWINDOW, 0, false, false},
  };
  for (const StyleCase& one : cases) {
    SCOPED_TRACE(one.style);
    TestWindow window(one.style, one.exStyle);
    SDL_Window* sdl = ZkSdlWindowFromHwnd(window.Handle());
    ASSERT_NE(sdl, nullptr);
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    EXPECT_NE(flags & SDL_WINDOW_OPENGL, 0u);
    EXPECT_EQ((flags & SDL_WINDOW_BORDERLESS) != 0, one.borderless);
    EXPECT_EQ((flags & SDL_WINDOW_ALWAYS_ON_TOP) != 0, one.onTop);
  }
  EXPECT_EQ(ZkSdlWindowFromHwnd(nullptr), nullptr);
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK RefusingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_CREATE ? -1 : DefWindowProcA(hwnd, message, wParam, lParam);
}

int g_destroyMessages = 0;

LRESULT CALLBACK SelfDestroyingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ++g_destroyMessages;
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(DestroyWindow(hwnd));  // already on its way
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(WindowClassTest, DestroyingFromWmDestroyHappensOnce) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = SelfDestroyingProc;
  windowClass.lpszClassName = "SelfDestroying";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND hwnd = CreateWindowExA(0, "SelfDestroying", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(g_destroyMessages, 1);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowClassTest, ClassesRegisterOnceAndWindowsNeedOne) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = PlainProc;
  windowClass.lpszClassName = "GeometryClass";
  const ATOM atom = RegisterClassA(&windowClass);
  EXPECT_NE(atom, 0);
  windowClass.lpszClassName = "geometryCLASS";  // names match in any case
  EXPECT_EQ(RegisterClassA(&windowClass), 0);
  windowClass.lpfnWndProc = nullptr;
  windowClass.lpszClassName = "NoProcedure";
  EXPECT_EQ(RegisterClassA(&windowClass), 0);
  EXPECT_EQ(RegisterClassA(nullptr), 0);

  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
  HWND byAtom = CreateWindowExA(0, MAKEINTRESOURCEA(atom), "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
  EXPECT_NE(byAtom, nullptr);
  EXPECT_TRUE(DestroyWindow(byAtom));
  EXPECT_FALSE(DestroyWindow(byAtom));

  windowClass.lpfnWndProc = RefusingProc;
  windowClass.lpszClassName = "Refusing";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  EXPECT_EQ(CreateWindowExA(0, "Refusing", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
}

TEST(WindowGeometryTest, SetWindowPosMovesResizesShowsAndStacks) {
  TestWindow window;
  ASSERT_TRUE(SetWindowPos(window.Handle(), HWND_TOPMOST, 10, 20, 640, 480, SWP_SHOWWINDOW));
  auto seen = window.Pump();
  auto sizes = TestWindow::Only(seen, WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(LOWORD(sizes[0].lParam), 640);
  EXPECT_EQ(HIWORD(sizes[0].lParam), 480);
  EXPECT_EQ(TestWindow::Only(seen, WM_ACTIVATE).size(), 1u);
  EXPECT_EQ(GetForegroundWindow(), window.Handle());

  RECT client, outer;
  ASSERT_TRUE(GetClientRect(window.Handle(), &client));
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 480);
  ASSERT_TRUE(GetWindowRect(window.Handle(), &outer));
  EXPECT_EQ(outer.left, 10);
  EXPECT_EQ(outer.top, 20);
  EXPECT_EQ(outer.right, 650);
  EXPECT_EQ(outer.bottom, 500);
  SDL_Window* sdl = ZkSdlWindowFromHwnd(window.Handle());
  EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN, 0u);

  POINT point = {5, 7};
  ASSERT_TRUE(ClientToScreen(window.Handle(), &point));
  EXPECT_EQ(point.x, 15);
  EXPECT_EQ(point.y, 27);
  ASSERT_TRUE(ScreenToClient(window.Handle(), &point));
  EXPECT_EQ(point.x, 5);
  EXPECT_EQ(point.y, 7);

  // Same size again: no new WM_SIZE, and the window stays where it is.
  SetWindowPos(window.Handle(), HWND_NOTOPMOST, 0, 0, 640, 480, SWP_NOMOVE);
  EXPECT_TRUE(TestWindow::Only(window.Pump(), WM_SIZE).empty());
  GetWindowRect(window.Handle(), &outer);
  EXPECT_EQ(outer.left, 10);

  EXPECT_TRUE(SetWindowTextA(window.Handle(), "Title"));
  EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Title");
}

TEST(WindowGeometryTest, CallsOnAStaleHandleFailWithoutTouchingTheOutput) {
  HWND stale;
  {
    TestWindow window;
    stale = window.Handle();
  }
  RECT rect = {1, 2, 3, 4};
  POINT point = {5, 6};
  EXPECT_FALSE(GetClientRect(stale, &rect));
  EXPECT_FALSE(GetWindowRect(stale, &rect));
  EXPECT_FALSE(ClientToScreen(stale, &point));
  EXPECT_FALSE(ShowWindow(stale, SW_SHOW));
  EXPECT_FALSE(SetWindowPos(stale, nullptr, 0, 0, 1, 1, 0));
  EXPECT_FALSE(SetForegroundWindow(stale));
  EXPECT_EQ(rect.left, 1);
  EXPECT_EQ(point.x, 5);
}

}  // namespace

namespace {

TEST(ScreenSaverTest, StaysOffWhileAWindowExists) {
  {
    TestWindow window;
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
  }
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  TestWindow again;
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
}

}  // namespace
