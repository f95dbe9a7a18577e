#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "TempDir.h"
#include "windows.h"

namespace {

std::string ReadAll(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<cannot open>";
  std::string contents;
  char buffer[4];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    contents.append(buffer, got);
  CloseHandle(file);
  return contents;
}

class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir.Write("Profiles/old.xml", "old contents");
    root = dir.Path() + "\\";
  }
  TempDir dir;
  std::string root;
};

TEST_F(FilesTest, WrittenFileReadsBackUnderAnyCase) {
  HANDLE file = CreateFileA((root + "PROFILES\\Player.XML").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "<Profiles/>", 11, &written, nullptr));
  EXPECT_EQ(written, 11u);
  EXPECT_EQ(GetFileSize(file, nullptr), 11u);
  char byte;
  DWORD got = 1;
  EXPECT_FALSE(ReadFile(file, &byte, 1, &got, nullptr));  // opened for writing only
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(file);

  EXPECT_EQ(ReadAll(root + "profiles\\player.xml"), "<Profiles/>");
  EXPECT_EQ(GetFileAttributesA((dir.Path() + "/Profiles/Player.XML").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));  // kept the case it was given
}

TEST_F(FilesTest, CreationDispositionsKeepTheirRules) {
  const std::string existing = root + "profiles\\OLD.xml";
  const std::string fresh = root + "profiles\\new.xml";
  const struct {
    const std::string& path;
    DWORD disposition;
    bool opens;
    DWORD error;
  } cases[] = {
      {existing, CREATE_NEW, false, ERROR_FILE_EXISTS},
      {existing, OPEN_EXISTING, true, ERROR_SUCCESS},
      {existing, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS},
      {fresh, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND},
      {root + "Missing\\new.xml", CREATE_ALWAYS, false, ERROR_PATH_NOT_FOUND},
      {root + "profiles", OPEN_EXISTING, false, ERROR_ACCESS_DENIED},
      {existing, 0, false, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    SetLastError(0xDEAD);
    HANDLE file = CreateFileA(c.path.c_str(), GENERIC_READ, 0, nullptr, c.disposition, 0, nullptr);
    EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens) << c.path << " " << c.disposition;
    EXPECT_EQ(GetLastError(), c.error) << c.path << " " << c.disposition;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  EXPECT_EQ(ReadAll(existing), "old contents");  // none of these changed it

  HANDLE file = CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(file);
  EXPECT_EQ(ReadAll(existing), "");  // replaced
}

TEST_F(FilesTest, FilePointerMovesAndRefusesToGoBeforeTheStart) {
  HANDLE file = CreateFileA((root + "profiles\\old.xml").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetFilePointer(file, -8, nullptr, FILE_END), 4u);
  char text[9] = {};
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(file, text, 8, &got, nullptr));
  EXPECT_STREQ(text, "contents");
  ASSERT_TRUE(ReadFile(file, text, 8, &got, nullptr));
  EXPECT_EQ(got, 0u);  // the end: success with nothing read
  EXPECT_EQ(SetFilePointer(file, -100, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  LONG high = 0;
  EXPECT_EQ(SetFilePointer(file, 2, &high, FILE_BEGIN), 2u);
  EXPECT_EQ(high, 0);
  CloseHandle(file);
  EXPECT_FALSE(ReadFile(file, text, 1, &got, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FilesTest, AttributesGiveSizeAndLastWriteTime) {
  // 2026-12-09 08:05:30 UTC
  const timespec times[2] = {{1796803530, 0}, {1796803530, 250'000'000}};
  ASSERT_EQ(utimensat(AT_FDCWD, (dir.Path() + "/Profiles/old.xml").c_str(), times, 0), 0);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(
      GetFileAttributesExA((root + "PROFILES\\Old.Xml").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 12u);
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  SYSTEMTIME written;
  ASSERT_TRUE(FileTimeToSystemTime(&data.ftLastWriteTime, &written));
  EXPECT_EQ(written.wYear, 2026);
  EXPECT_EQ(written.wMonth, 12);
  EXPECT_EQ(written.wDay, 9);
  EXPECT_EQ(written.wHour, 8);
  EXPECT_EQ(written.wMinute, 5);
  EXPECT_EQ(written.wSecond, 30);
  EXPECT_EQ(written.wMilliseconds, 250);
  EXPECT_EQ(CompareFileTime(&data.ftLastAccessTime, &data.ftLastWriteTime), -1);
  EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &data.ftLastAccessTime), 1);

  EXPECT_EQ(GetFileAttributesA((root + "profiles").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA((root + "profiles\\none.xml").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA((root + "none\\none.xml").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(FileTimesTest, CalendarFieldsOfFileTimes) {
  const struct {
    uint64_t steps;
    WORD year, month, day, dayOfWeek, hour, minute, second, milliseconds;
  } cases[] = {
      {0, 1601, 1, 1, 1, 0, 0, 0, 0},                                          // the first instant
      {116'444'736'000'000'000ull, 1970, 1, 1, 4, 0, 0, 0, 0},                 // the Unix epoch
      {125'962'560'000'000'000ull + 9'999'999, 2000, 2, 29, 2, 0, 0, 0, 999},  // a leap day
      {0x7FFFFFFFFFFFFFFFull, 30828, 9, 14, 4, 2, 48, 5, 477},                 // the last one
  };
  for (const auto& c : cases) {
    const FILETIME time{static_cast<DWORD>(c.steps), static_cast<DWORD>(c.steps >> 32)};
    SYSTEMTIME fields;
    ASSERT_TRUE(FileTimeToSystemTime(&time, &fields)) << c.steps;
    const SYSTEMTIME expected{c.year, c.month,  c.dayOfWeek, c.day,
                              c.hour, c.minute, c.second,    c.milliseconds};
    EXPECT_EQ(std::memcmp(&fields, &expected, sizeof(fields)), 0)
        << c.steps << ": " << fields.wYear << "-" << fields.wMonth << "-" << fields.wDay << " ("
        << fields.wDayOfWeek << ") " << fields.wHour << ":" << fields.wMinute << ":"
        << fields.wSecond << "." << fields.wMilliseconds;
    FILETIME back;
    ASSERT_TRUE(SystemTimeToFileTime(&fields, &back));
    EXPECT_EQ(back.dwHighDateTime, time.dwHighDateTime);
    EXPECT_EQ(back.dwLowDateTime, time.dwLowDateTime - (c.steps % 10'000));
  }
  const FILETIME tooLate{0, 0x80000000u};
  SYSTEMTIME fields;
  EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &fields));
  const SYSTEMTIME february30{2026, 2, 0, 30, 0, 0, 0, 0};
  FILETIME time;
  EXPECT_FALSE(SystemTimeToFileTime(&february30, &time));
}

TEST_F(FilesTest, FoldersAreCreatedAndFilesDeleted) {
  ASSERT_TRUE(CreateDirectoryA((root + "profiles\\CyberPelto").c_str(), nullptr));
  EXPECT_EQ(GetFileAttributesA((dir.Path() + "/Profiles/CyberPelto").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(CreateDirectoryA((root + "PROFILES\\cyberpelto").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA((root + "none\\CyberPelto").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  EXPECT_FALSE(DeleteFileA((root + "profiles\\cyberpelto").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(RemoveDirectoryA((root + "profiles\\cyberpelto").c_str()));
  ASSERT_TRUE(DeleteFileA((root + "PROFILES\\OLD.XML").c_str()));
  EXPECT_EQ(GetFileAttributesA((root + "profiles\\old.xml").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(DeleteFileA((root + "profiles\\old.xml").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, CurrentDirectoryChangesAndReportsItsSize) {
  dir.Write("Runtime/cfg/config.xml", "x");
  char previous[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA((root + "runtime\\").c_str()));
  char current[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(sizeof(current), current);
  EXPECT_EQ(std::string(current, length), dir.Path() + "/Runtime");
  EXPECT_EQ(GetFileAttributesA("CFG\\Config.xml"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));

  char small[4] = "abc";
  EXPECT_EQ(GetCurrentDirectoryA(sizeof(small), small), length + 1);  // the size it needs
  EXPECT_STREQ(small, "abc");

  ASSERT_TRUE(SetCurrentDirectoryA("..\\"));
  EXPECT_EQ(GetCurrentDirectoryA(sizeof(current), current), static_cast<DWORD>(dir.Path().size()));
  EXPECT_FALSE(SetCurrentDirectoryA("none\\"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  SetCurrentDirectoryA(previous);
}

}  // namespace
