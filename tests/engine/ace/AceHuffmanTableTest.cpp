#include <gtest/gtest.h>

#include <string>

#include "AceWriter.h"
#include "vfs/AceBitReader.h"
#include "vfs/AceHuffmanTable.h"

namespace {

// A bit reader over a stream written as a text of '0' and '1'.
struct BitStream {
  explicit BitStream(const std::string& bits) : bytes(AceWriter::Bits(bits)) {
    reader.Reset(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  BitStream(const BitStream&) = delete;
  BitStream& operator=(const BitStream&) = delete;

  std::string bytes;
  CAceBitReader reader;
};

}  // namespace

TEST(AceBitReaderTest, TakesWordsLittleEndianAndBitsFromTheTop) {
  const uint8_t bytes[] = {0x78, 0x56, 0x34, 0x12, 0xF0, 0xDE, 0xBC, 0x9A};
  CAceBitReader reader;
  reader.Reset(bytes, sizeof bytes);
  EXPECT_EQ(reader.Code(), 0x12345678u);
  EXPECT_EQ(reader.ReadBits(4), 0x1u);
  EXPECT_EQ(reader.Code(), 0x23456789u);  // joined with the top of the next word
  EXPECT_EQ(reader.ReadBits(24), 0x234567u);
  EXPECT_EQ(reader.ReadBits(8), 0x89u);
  EXPECT_FALSE(reader.IsOverrun());
  EXPECT_EQ(reader.ReadBits(24), 0xABCDEFu);
  EXPECT_EQ(reader.ReadBits(4), 0x0u);
  EXPECT_FALSE(reader.IsOverrun());     // every bit of the stretch read, none beyond
  EXPECT_EQ(reader.ReadBits(3), 0x0u);  // zeros past the end ...
  EXPECT_TRUE(reader.IsOverrun());      // ... and the reader knows
}

TEST(AceHuffmanTableTest, SingleUsedSymbolDecodesWithAOneBitCode) {
  // Symbol 7 alone, stored with width 5: it still takes exactly one bit, code 0.
  uint8_t widths[10] = {0, 0, 0, 0, 0, 0, 0, 5, 0, 0};
  CAceHuffmanTable table(11, 282);
  ASSERT_TRUE(table.BuildFromWidths(widths, 10));
  EXPECT_EQ(table.Width(7), 1u);

  BitStream stream("0 0 1011");
  EXPECT_EQ(table.Decode(stream.reader), 7);
  EXPECT_EQ(table.Decode(stream.reader), 7);
  EXPECT_EQ(stream.reader.ReadBits(4), 0xBu);  // two bits consumed, no more
  // Code 1 belongs to no symbol.
  BitStream other("1");
  EXPECT_EQ(table.Decode(other.reader), -1);
}

TEST(AceHuffmanTableTest, EqualWidthsTakeCodesInTheSortedOrder) {
  // Widths of symbols 0 to 4: 2 1 3 0 3. Worked by hand through the sort, the pairs come out
  // 4 2 0 1 3 (largest first); filling the table from the end of that list gives 1 the code
  // 0, then 0 = 10, 2 = 110 and 4 = 111. A stable sort would swap the codes of 2 and 4.
  const uint8_t widths[] = {2, 1, 3, 0, 3};
  CAceHuffmanTable table(11, 282);
  ASSERT_TRUE(table.BuildFromWidths(widths, 5));
  struct Case {
    const char* bits;
    int symbol;
  } cases[] = {{"0", 1}, {"10", 0}, {"110", 2}, {"111", 4}};
  for (const Case& c : cases) {
    BitStream stream(std::string(c.bits) + "1");
    EXPECT_EQ(table.Decode(stream.reader), c.symbol) << c.bits;
    EXPECT_EQ(stream.reader.ReadBits(1), 1u) << c.bits;  // exactly the code's bits were consumed
  }
}

TEST(AceHuffmanTableTest, WidthsWiderThanTheTableAreRefused) {
  CAceHuffmanTable table(11, 282);
  const uint8_t tooWide[] = {1, 12};
  EXPECT_FALSE(table.BuildFromWidths(tooWide, 2));
  // A table filled before its widths run out stops there: the third code never comes up.
  const uint8_t overfull[] = {1, 1, 1};
  ASSERT_TRUE(table.BuildFromWidths(overfull, 3));
  for (const char* bits : {"0", "1"}) {
    BitStream stream(bits);
    EXPECT_NE(table.Decode(stream.reader), 2) << bits;
  }
}
