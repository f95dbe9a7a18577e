#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <string>

#include "windows.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(CrtStringsTest, CaseBlindComparisonsAndConversions) {
  const struct {
    const char* a;
    const char* b;
    size_t count;
    int full;     // sign of _stricmp
    int counted;  // sign of _strnicmp(count)
  } cases[] = {
      {"Arial", "ARIAL", 5, 0, 0}, {"font", "fonts", 4, -1, 0},     {"B", "a", 1, 1, 1},
      {"_", "a", 1, -1, -1},  // compared as lower case: '_' sorts before letters
      {"", "", 0, 0, 0},           {"abc\xE9", "ABC\xC9", 4, 1, 1},  // only ASCII letters fold
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(_stricmp(c.a, c.b)), c.full) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(_strnicmp(c.a, c.b, c.count)), c.counted) << c.a << " / " << c.b;
  }
  char text[] = "Game\\Levels\\Level1.XML";
  EXPECT_EQ(_strlwr(text), text);
  EXPECT_STREQ(text, "game\\levels\\level1.xml");
  EXPECT_STREQ(_strupr(text), "GAME\\LEVELS\\LEVEL1.XML");
  EXPECT_EQ(_strlwr(nullptr), nullptr);
}

TEST(CrtStringsTest, LettersOfTheAnsiCodePage) {
  const struct {
    unsigned char c;
    bool letter;
  } cases[] = {{'a', true},  {'Z', true},   {'0', false},  {'_', false}, {' ', false},
               {0x8A, true}, {0xC0, true},  {0xD7, false}, {0xDF, true}, {0xF7, false},
               {0xFF, true}, {0xA9, false}, {0x80, false}};
  for (const auto& c : cases)
    EXPECT_EQ(IsCharAlphaA(static_cast<CHAR>(c.c)) != FALSE, c.letter) << std::hex << int(c.c);
}

TEST(GlobalMemoryTest, FixedAndMoveableBlocks) {
  HGLOBAL fixed = GlobalAlloc(GPTR, 16);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(GlobalLock(fixed), fixed);
  EXPECT_EQ(static_cast<BYTE*>(fixed)[15], 0);
  EXPECT_EQ(GlobalSize(fixed), 16u);

  HGLOBAL moveable = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, 8);
  ASSERT_NE(moveable, nullptr);
  void* data = GlobalLock(moveable);
  ASSERT_NE(data, nullptr);
  EXPECT_NE(data, moveable);
  EXPECT_EQ(GlobalHandle(data), moveable);
  EXPECT_EQ(GlobalLock(moveable), data);
  EXPECT_TRUE(GlobalUnlock(moveable));   // still locked once
  EXPECT_FALSE(GlobalUnlock(moveable));  // now unlocked
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(GlobalUnlock(moveable));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

  EXPECT_EQ(GlobalFree(moveable), nullptr);
  EXPECT_EQ(GlobalFree(moveable), moveable);  // twice: refused, not a corrupted heap
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalLock(moveable), nullptr);
  EXPECT_EQ(GlobalFree(fixed), nullptr);
  EXPECT_EQ(GlobalAlloc(0x8000, 8), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(SystemTest, VersionComesFromTheKernelRelease) {
  utsname system;
  ASSERT_EQ(uname(&system), 0);
  OSVERSIONINFOA version{};
  EXPECT_FALSE(GetVersionExA(&version));  // the size must be set
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionExA(&version));
  EXPECT_EQ(std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion),
            std::string(system.release).substr(0, std::string(system.release).find('.', 2)));
  EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_EQ(std::string(version.szCSDVersion).rfind(system.sysname, 0), 0u);
  EXPECT_LT(std::strlen(version.szCSDVersion), sizeof(version.szCSDVersion));
}

TEST(SystemTest, MemoryStatusPriorityAndErrorTexts) {
  MEMORYSTATUS memory;
  GlobalMemoryStatus(&memory);
  EXPECT_EQ(memory.dwLength, sizeof(memory));
  EXPECT_GT(memory.dwAvailPhys, 0u);
  EXPECT_LE(memory.dwAvailPhys, memory.dwTotalPhys);

  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  EXPECT_TRUE(SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_FALSE(SetPriorityClass(GetCurrentProcess(), 12345));

  char text[256];
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_PATH_NOT_FOUND,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
  EXPECT_EQ(std::string(text, length), "The system cannot find the path specified.\r\n");
  char* allocated = nullptr;
  ASSERT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                           ERROR_ACCESS_DENIED, 0, reinterpret_cast<LPSTR>(&allocated), 0, nullptr),
            0u);
  EXPECT_STREQ(allocated, "Access is denied.\r\n");
  EXPECT_EQ(LocalFree(allocated), nullptr);
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x1234567, 0, text, sizeof(text),
                           nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_PATH_NOT_FOUND, 0, text, 10,
                           nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

}  // namespace
