#include <gtest/gtest.h>

#include "windows.h"

namespace {

// The Windows sizes, whatever the 64-bit compiler makes of C's own types.
static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4);
static_assert(sizeof(BOOL) == 4 && sizeof(UINT) == 4 && sizeof(LONG) == 4 && sizeof(HRESULT) == 4);
static_assert(sizeof(HANDLE) == sizeof(void*) && sizeof(HMODULE) == sizeof(void*) &&
              sizeof(HWND) == sizeof(void*) && sizeof(HDC) == sizeof(void*) &&
              sizeof(HICON) == sizeof(void*) && sizeof(HCURSOR) == sizeof(void*));
static_assert(sizeof(RECT) == 16 && sizeof(POINT) == 8 && sizeof(SIZE) == 8);
static_assert(sizeof(LARGE_INTEGER) == 8 && sizeof(FILETIME) == 8 && sizeof(SYSTEMTIME) == 16);
static_assert(sizeof(GUID) == 16 && MAX_PATH == 260);
static_assert(sizeof(CRITICAL_SECTION) == 40 && sizeof(MEMORYSTATUS) == 56);

TEST(TypesTest, ResultsAndResourceNames) {
  EXPECT_TRUE(SUCCEEDED(S_OK));
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
  EXPECT_TRUE(FAILED(E_FAIL));
  EXPECT_TRUE(FAILED(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)));
  EXPECT_EQ(static_cast<uint32_t>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)), 0x80070002u);
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SUCCESS), S_OK);

  LPSTR resource = MAKEINTRESOURCEA(101);
  EXPECT_TRUE(IS_INTRESOURCE(resource));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(resource), 101u);
  EXPECT_FALSE(IS_INTRESOURCE("FLARE"));

  LARGE_INTEGER value;
  value.QuadPart = -2;
  EXPECT_EQ(value.LowPart, 0xFFFFFFFEu);
  EXPECT_EQ(value.HighPart, -1);
}

}  // namespace
