#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LWOBuilder.h"
#include "lightwave/LWOReader.h"
#include "lightwave/LWOStream.h"

namespace {

LWOStream StreamOf(std::vector<BYTE> bytes) {
  LWOStream stream;
  stream.Assign(std::move(bytes));
  return stream;
}

TEST(LWOStreamTest, VariableIndicesTakeTwoOrFourBytes) {
  LWOStream stream = StreamOf({0xFF, 0x01, 0x02, 0x03, 0x00, 0x05, 0xFF, 0x00});
  UINT index = 0;
  ASSERT_TRUE(stream.ReadVX(index));
  EXPECT_EQ(index, 0x10203u);
  EXPECT_EQ(stream.Tell(), 4u);
  ASSERT_TRUE(stream.ReadVX(index));
  EXPECT_EQ(index, 5u);
  EXPECT_EQ(stream.Tell(), 6u);
  // A long index with only two of its bytes left fails and consumes nothing.
  EXPECT_FALSE(stream.ReadVX(index));
  EXPECT_EQ(stream.Tell(), 6u);

  CLWOBuilder written;
  written.VX(0xFEFF).VX(0xFF00).VX4(7);
  LWOStream builderStream = StreamOf(written.Bytes());
  for (UINT expected : {0xFEFFu, 0xFF00u, 7u}) {
    ASSERT_TRUE(builderStream.ReadVX(index));
    EXPECT_EQ(index, expected);
  }
  EXPECT_EQ(builderStream.Tell(), 2u + 4u + 4u);
}

TEST(LWOStreamTest, StringsArePaddedToAnEvenLengthInsideTheirRegion) {
  CLWOBuilder written;
  written.S0("ab").S0("abc").S0("");
  EXPECT_EQ(written.Bytes().size(), 4u + 4u + 2u);
  LWOStream stream = StreamOf(written.Bytes());
  std::string_view text;
  for (const char* expected : {"ab", "abc", ""}) {
    ASSERT_TRUE(stream.ReadS0(text));
    EXPECT_EQ(text, expected);
  }

  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
  };
  const Case refused[] = {{"no zero byte", {'a', 'b'}},
                          {"pad byte missing", {'a', 'b', 0}},
                          {"nothing left", {}}};
  for (const Case& c : refused) {
    SCOPED_TRACE(c.name);
    LWOStream cut = StreamOf(c.bytes);
    EXPECT_FALSE(cut.ReadS0(text));
    EXPECT_EQ(cut.Tell(), 0u);
  }
}

TEST(LWOStreamTest, RegionsBoundEveryReadAndLeavingSkipsTheRest) {
  LWOStream stream = StreamOf({0, 0, 0, 9, 'x', 0, 1, 2, 3, 4});
  WORD word = 0;
  LWOStream::Region outer, inner;
  ASSERT_TRUE(stream.Enter(6, outer));
  EXPECT_FALSE(stream.Enter(7, inner)) << "longer than the region around it";
  ASSERT_TRUE(stream.Enter(5, inner));
  UINT value = 0;
  ASSERT_TRUE(stream.ReadU4(value));
  EXPECT_EQ(value, 9u);
  EXPECT_FALSE(stream.ReadU2(word)) << "crosses the end of the inner region";
  std::string_view text;
  EXPECT_FALSE(stream.ReadS0(text)) << "the zero byte lies outside the region";
  stream.Leave(inner);
  EXPECT_EQ(stream.Left(), 1u);
  stream.Leave(outer);
  EXPECT_EQ(stream.Tell(), 6u);
  EXPECT_EQ(stream.Left(), 4u);
  EXPECT_FALSE(stream.SkipChunk()) << "a length of 0x01020304 is not left";
  EXPECT_TRUE(stream.Seek(8));
  EXPECT_TRUE(stream.ReadU2(word));
  EXPECT_EQ(word, 0x0304);
  EXPECT_FALSE(stream.Seek(11));
}

TEST(LWOStreamTest, FileNamesKeepTheirWholeExtension) {
  struct Case {
    const char* path;
    const char* name;
  };
  const Case cases[] = {{"Images/Wood.JPEG", "Wood.JPEG"},
                        {"C:\\Textures\\stone.tga", "stone.tga"},
                        {"wall.png", "wall.png"},
                        {"my pics,old/a b.dds", "b.dds"},  // the blank and ',' separate
                        {"archive.v2/name.tar.gz", "name.tar.gz"},
                        {"folder/", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_STREQ(GetFileNameWithExtension(c.path), c.name);
  }
}

}  // namespace
