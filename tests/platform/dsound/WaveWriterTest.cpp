// The wave writer that sound tests build their files with: its fields must sit where readers
// of the format look for them.
#include <gtest/gtest.h>

#include <cstring>

#include "WaveWriter.h"

namespace {
uint32_t Read32(const std::string& bytes, size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Read16(const std::string& bytes, size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
}  // namespace

TEST(WaveWriterTest, FieldsSitAtTheirOffsetsAndExtraChunksComeBeforeTheData) {
  const std::string plain = WaveWriter(2, 44100, 16).Samples({1, -2, 3, -4}).Bytes();
  ASSERT_EQ(plain.size(), 44u + 8);
  EXPECT_EQ(plain.substr(0, 4), "RIFF");
  EXPECT_EQ(Read32(plain, 4), plain.size() - 8);
  EXPECT_EQ(plain.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Read32(plain, 16), 16u);
  EXPECT_EQ(Read16(plain, 20), 1);
  EXPECT_EQ(Read16(plain, 22), 2);
  EXPECT_EQ(Read32(plain, 24), 44100u);
  EXPECT_EQ(Read32(plain, 28), 176400u);
  EXPECT_EQ(Read16(plain, 32), 4);
  EXPECT_EQ(Read16(plain, 34), 16);
  EXPECT_EQ(plain.substr(36, 4), "data");
  EXPECT_EQ(Read32(plain, 40), 8u);
  EXPECT_EQ(static_cast<int16_t>(Read16(plain, 46)), -2);

  const std::string odd =
      WaveWriter(1, 22050, 8).FormatExtra(2).ChunkBeforeData("fact", "abc").Data("xyz").Bytes();
  EXPECT_EQ(Read32(odd, 16), 20u);
  EXPECT_EQ(odd.substr(40, 4), "fact");
  EXPECT_EQ(Read32(odd, 44), 3u);
  EXPECT_EQ(odd.substr(52, 4), "data") << "the odd chunk is padded to an even length";
  EXPECT_EQ(odd.substr(60, 3), "xyz");
  EXPECT_EQ(Read32(odd, 4), odd.size() - 8);
}
