#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "core/FileNames.h"

TEST(FileNames, TheExtensionIsCutToThreeCharactersInsideTheTextOnly) {
  struct Case {
    const char* name;
    const char* extension;
    const char* nameAfter;
  };
  const Case cases[] = {
      {"model.lwo", "lwo", "model.lwo"}, {"a.jpeg", "jpe", "a.jpe"}, {"a.b", "b", "a.b"},
      {".hidden", ".hidden", ".hidden"}, {"readme", "readme", "readme"}, {"", "", ""},
      {"scene.v2.zks", "v2.", "scene.v2."},
  };
  for (const Case& c : cases) {
    // Room after the terminator shows a write past the text's end.
    char buffer[32];
    std::fill(std::begin(buffer), std::end(buffer), 'X');
    std::snprintf(buffer, sizeof buffer, "%s", c.name);
    const size_t length = std::strlen(c.name);
    EXPECT_STREQ(GetFileExtension(buffer), c.extension) << c.name;
    EXPECT_STREQ(buffer, c.nameAfter) << c.name;
    for (size_t i = length + 1; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'X') << c.name << " at " << i;
  }
}

TEST(FileNames, TheWholeNameIsWholeAfterTheLastSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"maps\\sky.jpeg", "sky.jpeg"}, {"a/b\\c.tga", "c.tga"}, {"s:wall.png", "wall.png"},
      {"plain.tga", "plain.tga"},     {"folder\\", ""},        {"..\\maps\\rock.tga", "rock.tga"},
  };
  for (const auto& [path, base] : cases) EXPECT_EQ(GetWholeFileName(path), base) << path;
  EXPECT_EQ(GetWholeFileName(nullptr), "");
}

TEST(FileNames, TheBaseNameIsCutAfterItsExtensionAndStartsAfterTheNearestSeparator) {
  struct Case {
    const char* path;
    const char* base;
    const char* pathAfter;
  };
  const Case cases[] = {
      {"Scenes/Level1.lws.bak", "Level1.lws", "Scenes/Level1.lws"},
      {"./Objects/Box.lwo", "Box.lwo", "./Objects/Box.lwo"},
      {"a b.lwo", "b.lwo", "a b.lwo"},
      {"Objects/My Box.lwo", "Box.lwo", "Objects/My Box.lwo"},
      {"c:\\x\\y.jpeg", "y.jpe", "c:\\x\\y.jpe"},
      {"box.lwo", "box.lwo", "box.lwo"},            // no folder: the whole name
      {"Objects/readme", "readme", "Objects/readme"},  // no '.': back from the end
      {"readme", "readme", "readme"},
      {".hidden", ".hidden", ".hidden"},
      {"dir/", "", "dir/"},
      {"", "", ""},
      {"x(1).lws", ".lws", "x(1).lws"},             // ')' is a separator
      {"\x80n.lws", "n.lws", "\x80n.lws"},        // so is every byte from 128 up
      {"a\x7f" "b.lws", "b.lws", "a\x7f" "b.lws"},
      {"Lev-el.lwsx", "Lev-el.lws", "Lev-el.lws"},  // '-' (45) is not
  };
  for (const Case& c : cases) {
    char buffer[48];
    std::fill(std::begin(buffer), std::end(buffer), 'X');
    std::snprintf(buffer, sizeof buffer, "%s", c.path);
    const size_t length = std::strlen(c.path);
    const char* base = GetBaseFileName(buffer);
    EXPECT_STREQ(base, c.base) << c.path;
    EXPECT_STREQ(buffer, c.pathAfter) << c.path;
    EXPECT_TRUE(base >= buffer && base <= buffer + length) << c.path;
    for (size_t i = length + 1; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'X') << c.path << " at " << i;
  }
  EXPECT_EQ(GetBaseFileName(nullptr), nullptr);
}
