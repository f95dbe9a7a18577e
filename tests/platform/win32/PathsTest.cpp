#include <gtest/gtest.h>

#include <cstdio>

#include "TempDir.h"
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
      {"Data/Scenes/Level1.zks", "Data/Scenes/Level1.zks"},     // exact
      {"Data\\Scenes\\Level1.zks", "Data/Scenes/Level1.zks"},   // backslashes
      {"data\\scenes\\LEVEL1.ZKS", "Data/Scenes/Level1.zks"},   // case in folders and file
      {"DATA/README.txt", "Data/readme.TXT"},                    //
      {"data\\Missing\\New.txt", "Data/Missing/New.txt"},       // missing folder keeps its case
      {"data\\scenes\\New.zks", "Data/Scenes/New.zks"},         // missing file keeps its case
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
