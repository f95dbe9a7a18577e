#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "TempDir.h"
#include "windows.h"
#include "zkplatform/ZkPaths.h"

namespace {

struct PathCase {
  const char* given;     // relative to the fixture folder, Windows style
  const char* expected;  // relative to the fixture folder
};

TEST(PathsTest, MapsSeparatorsAndLetterCase) {
  TempDir dir;
  dir.Write("Data/Scenes/Level1.zks", "x");
  dir.Write("Data/readme.TXT", "x");
  const std::string root = dir.Path() + "/";
  const PathCase cases[] = {
      {"Data/Scenes/Level1.zks", "Data/Scenes/Level1.zks"},      // exact
      {"Data\\Scenes\\Level1.zks", "Data/Scenes/Level1.zks"},    // backslashes
      {"data\\scenes\\LEVEL1.ZKS", "Data/Scenes/Level1.zks"},    // case in folders and file
      {"DATA/README.txt", "Data/readme.TXT"},                    //
      {"data\\Missing\\New.txt", "Data/Missing/New.txt"},        // missing folder keeps its case
      {"data\\scenes\\New.zks", "Data/Scenes/New.zks"},          // missing file keeps its case
      {"data\\\\scenes\\level1.zks", "Data/Scenes/Level1.zks"},  // doubled separator
      {"data\\scenes\\..\\README.TXT", "Data/Scenes/../readme.TXT"},
  };
  for (const PathCase& c : cases)
    EXPECT_EQ(ZkMapPath((root + c.given).c_str()), root + c.expected) << c.given;
}

TEST(PathsTest, CreatedFileKeepsItsCaseAndIsFoundAgain) {
  TempDir dir;
  dir.Write("Saves/keep.txt", "x");
  const std::string root = dir.Path() + "/";
  FILE* f = ZkFileOpen((root + "SAVES\\Profile.XML").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_EQ(ZkMapPath((root + "saves\\profile.xml").c_str()), root + "Saves/Profile.XML");
}

TEST(PathsTest, EmptyAndNullPaths) {
  EXPECT_EQ(ZkMapPath(nullptr), "");
  EXPECT_EQ(ZkMapPath(""), "");
}

}  // namespace

namespace {

TEST(PathsTest, DriveLettersMapToTheirFoldersAndNeverToTheRoot) {
  TempDir dir;
  dir.Write("Shaders/PerVertex/surface.ssh", "x");
  ASSERT_TRUE(ZkSetDriveFolder('S', (dir.Path() + "/Shaders").c_str()));
  EXPECT_EQ(ZkMapPath("s:\\pervertex\\SURFACE.SSH"), dir.Path() + "/Shaders/PerVertex/surface.ssh");
  EXPECT_EQ(ZkMapPath("S:PerVertex"), dir.Path() + "/Shaders/PerVertex");
  // A folder is no file: opened as one its length would read as 4 GiB.
  for (const char* folder : {"s:PerVertex", "s:\\pervertex\\", "s:."}) {
    errno = 0;
    EXPECT_EQ(ZkFileOpen(folder, "rb"), nullptr) << folder;
    EXPECT_EQ(errno, EACCES) << folder;
  }
  EXPECT_EQ(GetLogicalDrives() & (1u << ('S' - 'A')), 1u << ('S' - 'A'));

  // A letter without a folder maps where nothing exists and nothing can be created.
  const std::string unnamed = ZkMapPath("q:\\Windows\\win.ini");
  EXPECT_EQ(unnamed.rfind("/dev/null/", 0), 0u) << unnamed;
  EXPECT_EQ(ZkFileOpen("q:\\new.txt", "w"), nullptr);
  EXPECT_FALSE(CreateDirectoryA("q:\\Saves", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetLogicalDrives() & (1u << ('Q' - 'A')), 0u);

  ASSERT_TRUE(ZkSetDriveFolder('s', nullptr));
  EXPECT_EQ(ZkGetDriveFolder('S'), "");
  EXPECT_FALSE(ZkSetDriveFolder('1', "x"));
}

TEST(PathsTest, RelativeDriveFolderLiesBesideTheProgram) {
  ASSERT_TRUE(ZkSetDriveFolder('s', "runtime\\shaders\\"));
  EXPECT_EQ(ZkGetDriveFolder('s'), ZkProgramFolder() + "/runtime/shaders");
  ZkSetDriveFolder('s', "");
}

}  // namespace
