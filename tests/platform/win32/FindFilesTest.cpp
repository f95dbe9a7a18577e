#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "windows.h"
#include "zkplatform/ZkPaths.h"

namespace {

// Every name a search hands out, in order; empty when it cannot start.
std::vector<std::string> Search(const std::string& pattern, DWORD* error = nullptr) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    if (error) *error = GetLastError();
    return names;
  }
  do names.push_back(data.cFileName);
  while (FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(search));
  return names;
}

typedef std::vector<std::string> Names;

class FindFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"Levels/b.txt", "Levels/A.TXT", "Levels/c.dat", "Levels/Readme",
                             "Levels/a1.txt", "Levels/_x.txt", "Levels/Sub/config.xml"})
      dir.Write(file, "12345");
    root = dir.Path() + "\\";
  }
  TempDir dir;
  std::string root;
};

TEST_F(FindFilesTest, PatternsMatchWithoutRegardToCaseInAStableOrder) {
  const struct {
    const char* pattern;
    Names expected;
  } cases[] = {
      {"levels\\*.txt", {"A.TXT", "a1.txt", "b.txt", "_x.txt"}},
      {"LEVELS\\*.TXT", {"A.TXT", "a1.txt", "b.txt", "_x.txt"}},
      {"Levels\\?.txt", {"A.TXT", "b.txt"}},
      {"Levels\\*", {".", "..", "A.TXT", "a1.txt", "b.txt", "c.dat", "Readme", "Sub", "_x.txt"}},
      {"Levels\\*.*", {".", "..", "A.TXT", "a1.txt", "b.txt", "c.dat", "Readme", "Sub", "_x.txt"}},
      {"Levels\\readme.*", {"Readme"}},
      {"Levels\\*.", {".", "..", "Readme", "Sub"}},
      {"Levels\\c*", {"c.dat"}},
      {"Levels\\A.txt", {"A.TXT"}},
      {"levels/sub/*.XML", {"config.xml"}},
      {"Levels", {"Levels"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Search(root + c.pattern), c.expected) << c.pattern;
}

TEST_F(FindFilesTest, EntriesCarryAttributesSizeAndTime) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((root + "levels\\*").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, ".");
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  ASSERT_TRUE(FindNextFileA(search, &data));  // ..
  ASSERT_TRUE(FindNextFileA(search, &data));
  EXPECT_STREQ(data.cFileName, "A.TXT");
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  ASSERT_TRUE(
      GetFileAttributesExA((root + "levels\\a.txt").c_str(), GetFileExInfoStandard, &attributes));
  EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &attributes.ftLastWriteTime), 0);
  FindClose(search);
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FindClose(search));
}

TEST_F(FindFilesTest, NothingFoundAndMissingFoldersAreDistinctErrors) {
  DWORD error = 0;
  EXPECT_TRUE(Search(root + "Levels\\*.zks", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(Search(root + "Missing\\*.*", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(Search(root + "Levels\\", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(Search("q:\\*.*", &error).empty());  // a drive without a folder
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FindFilesTest, RootsListNoDotEntries) {
  for (const std::string& name : Search("/*")) {
    EXPECT_NE(name, ".");
    EXPECT_NE(name, "..");
  }
  ASSERT_TRUE(ZkSetDriveFolder('t', (dir.Path() + "/Levels").c_str()));
  EXPECT_EQ(Search("T:\\*.*"),
            (Names{"A.TXT", "a1.txt", "b.txt", "c.dat", "Readme", "Sub", "_x.txt"}));
  EXPECT_EQ(Search("t:\\sub\\*.*"), (Names{".", "..", "config.xml"}));
  EXPECT_EQ(Search("t:*.dat"), (Names{"c.dat"}));
}

TEST_F(FindFilesTest, RelativePatternsSearchTheCurrentFolder) {
  char previous[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA((root + "LEVELS").c_str()));
  const Names found = Search("*.dat");
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(found, (Names{"c.dat"}));
}

}  // namespace
