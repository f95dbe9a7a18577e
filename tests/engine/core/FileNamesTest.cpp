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

TEST(FileNames, TheBaseNameIsWholeAfterTheLastSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"maps\\sky.jpeg", "sky.jpeg"}, {"a/b\\c.tga", "c.tga"}, {"s:wall.png", "wall.png"},
      {"plain.tga", "plain.tga"},     {"folder\\", ""},        {"..\\maps\\rock.tga", "rock.tga"},
  };
  for (const auto& [path, base] : cases) EXPECT_EQ(GetBaseFileName(path), base) << path;
  EXPECT_EQ(GetBaseFileName(nullptr), "");
}
