#include <gtest/gtest.h>

#include "CursorFileWriter.h"
#include "TempDir.h"
#include "TestWindow.h"
#include "windows.h"
#include "zktest/ZkTestInput.h"

namespace {

TEST(CursorTest, ShowCursorCountsBothWays) {
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(ShowCursor(TRUE), 1);
}

TEST(CursorTest, SetCursorPosComesBackAndStaysInsideTheClip) {
  ASSERT_TRUE(SetCursorPos(123, -45));
  POINT point;
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 123);
  EXPECT_EQ(point.y, -45);

  // Confining moves the cursor in; right and bottom edges are outside the rectangle.
  const RECT clip = {10, 20, 110, 220};
  ASSERT_TRUE(ClipCursor(&clip));
  RECT back;
  ASSERT_TRUE(GetClipCursor(&back));
  EXPECT_EQ(back.left, 10);
  EXPECT_EQ(back.bottom, 220);
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 109);
  EXPECT_EQ(point.y, 20);
  SetCursorPos(500, 500);
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 109);
  EXPECT_EQ(point.y, 219);
  SetCursorPos(50, 60);
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 50);
  EXPECT_EQ(point.y, 60);

  ASSERT_TRUE(ClipCursor(nullptr));
  SetCursorPos(500, 500);
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 500);
  EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST(CursorTest, CursorMovesOfTheWindowFollowTheClipToo) {
  TestWindow window;
  ShowWindow(window.Handle(), SW_SHOW);
  const RECT clip = {0, 0, 100, 100};
  ClipCursor(&clip);
  ZkTestInputMouseMove(window.Handle(), 150, 50, 150, 50);
  auto moves = TestWindow::Only(window.Pump(), WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(LOWORD(moves[0].lParam), 99);
  EXPECT_EQ(HIWORD(moves[0].lParam), 50);
  ClipCursor(nullptr);
}

TEST(CursorTest, StandardCursorsAreSharedHandles) {
  LPCSTR shapes[] = {IDC_ARROW,    IDC_IBEAM,    IDC_WAIT,        IDC_CROSS,  IDC_UPARROW,
                     IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE,      IDC_SIZENS, IDC_SIZEALL,
                     IDC_NO,       IDC_HAND,     IDC_APPSTARTING, IDC_HELP};
  for (LPCSTR shape : shapes) {
    HCURSOR cursor = LoadCursorA(nullptr, shape);
    EXPECT_NE(cursor, nullptr);
    EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(0x400000), shape), cursor);
  }
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, "named"), nullptr);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(103)), nullptr);
}

TEST(CursorTest, SetCursorAnswersThePreviousOne) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
  SetCursor(arrow);
  EXPECT_EQ(SetCursor(hand), arrow);
  EXPECT_EQ(SetCursor(nullptr), hand);
  // Not a cursor: refused, nothing changes.
  EXPECT_EQ(SetCursor(reinterpret_cast<HCURSOR>(0x99)), nullptr);
  EXPECT_EQ(SetCursor(arrow), nullptr);
}

TEST(CursorTest, ClassCursorIsReplacedAndAppliedOnSetCursor) {
  TestWindow window;  // its class cursor is the arrow
  ShowWindow(window.Handle(), SW_SHOW);
  window.Pump();
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  // Stored in a 32-bit word, as the game does.
  const DWORD previous = SetClassLongA(window.Handle(), GCL_HCURSOR,
                                       static_cast<LONG>(reinterpret_cast<LONG_PTR>(cross)));
  EXPECT_EQ(previous, static_cast<DWORD>(reinterpret_cast<uintptr_t>(arrow)));
  SetCursor(nullptr);
  ZkTestInputMouseMove(window.Handle(), 10, 10, 1, 1);
  window.Pump();  // WM_SETCURSOR reaches DefWindowProcA, which sets the class cursor
  EXPECT_EQ(SetCursor(nullptr), cross);
  EXPECT_EQ(SetClassLongA(window.Handle(), GCL_HICON, 0), 0u);
}

TEST(CursorTest, CursorFilesLoadOrGiveNull) {
  TempDir dir;
  dir.Write("arrow.cur", CursorFileWriter::Monochrome(4, 4, 1, 2));
  dir.Write("Broken.cur", CursorFileWriter::Monochrome(4, 4, 1, 2).substr(0, 30));
  dir.Write("text.cur", "not a cursor at all");
  EXPECT_NE(LoadCursorFromFileA((dir / "arrow.cur").c_str()), nullptr);
  // Windows-style names map onto the file system.
  const std::string windowsStyle = dir.Path() + "\\ARROW.CUR";
  EXPECT_NE(LoadCursorFromFileA(windowsStyle.c_str()), nullptr);
  EXPECT_EQ(LoadCursorFromFileA((dir / "Broken.cur").c_str()), nullptr);
  EXPECT_EQ(LoadCursorFromFileA((dir / "text.cur").c_str()), nullptr);
  EXPECT_EQ(LoadCursorFromFileA((dir / "missing.cur").c_str()), nullptr);
  EXPECT_EQ(LoadCursorFromFileA(nullptr), nullptr);
}

}  // namespace
