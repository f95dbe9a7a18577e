#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AceWriter.h"
#include "RecordingEngineLog.h"
#include "vfs/AceCommentDecoder.h"
#include "vfs/AceDecompressor.h"
#include "vfs/AceMemberDecoder.h"
#include "vfs/AceMemberTable.h"

namespace {

// One walk over an archive in memory, with what it left behind.
struct Walked {
  explicit Walked(const std::string& archive, unsigned dictionaryBits = 20)
      : decompressor(&log, dictionaryBits) {
    added = decompressor.Walk(reinterpret_cast<const uint8_t*>(archive.data()), archive.size(),
                              "test.zka", table);
  }
  std::string Data(unsigned index) {
    return std::string(reinterpret_cast<const char*>(table.GetData(index)), table.GetSize(index));
  }

  CRecordingEngineLog log;
  CAceDecompressor decompressor;
  CAceMemberTable table;
  unsigned added = 0;
};

// Bytes that look like data, not like a pattern: a linear congruential sequence.
std::string NoiseOf(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// Recomputes the CRC of the header at `offset` after a test changed its bytes.
void Reseal(std::string& archive, size_t offset) {
  const size_t size = static_cast<uint8_t>(archive[offset + 2]) |
                      static_cast<uint8_t>(archive[offset + 3]) << 8;
  const uint32_t crc = AceWriter::Crc(archive.substr(offset + 4, size));
  archive[offset] = static_cast<char>(crc & 0xFF);
  archive[offset + 1] = static_cast<char>((crc >> 8) & 0xFF);
}

// The two streams below were worked out by hand from the format, bit by bit, so that the
// writer and the reader cannot share a mistake unnoticed.
//
// "A": the main table holds symbol 65 alone. Widths 0 to 65 go as delta values 0 x65, 1 with
// lower 0 and upper 2; the 65 zeros are runs of 19, 19, 19 and 8 (pre-symbol 2 plus 4 bits),
// the 1 is pre-symbol 1. Pre-widths 0 1 1 give pre-symbol 1 the code 0 and 2 the code 1.
// The length table is empty: one run through a one-symbol pre-table. One symbol, code 0.
const char kStreamOfA[] =
    "001000001 0000 0010 000 001 001  1 1111 1 1111 1 1111 1 0100  0"
    "000000000 0000 0000 001  0 0000"
    "000000000000001"
    "0";
// "aaaaa": a literal, then a copy of 4 bytes at distance 1, which is the cleared recent
// distance, so symbol 256 with length symbol 2. Main widths (97 and 256 of width 1) as
// deltas: 97 zeros (runs of 19 x5, then 0 0), 1, 1, 157 zeros (runs of 19 x8, then 5), 1.
// Pre-symbols 0 x4, 1 x3, 2 x14 get widths 2 2 1 and the codes 11, 10, 0. Symbol 97 has the
// code 0 and 256 the code 1. Length table: widths 0 0 1 as deltas 0 0 1, pre-codes 0 = 1,
// 1 = 0. Then the count 2 and the symbols 0, 1 with length code 0.
const char kStreamOfFiveAs[] =
    "100000000 0000 0010 010 010 001"
    "  01111 01111 01111 01111 01111  11 11  10 10"
    "  01111 01111 01111 01111 01111 01111 01111 01111  00001  10"
    "000000010 0000 0010 001 001 000  1 1 0"
    "000000000000010"
    "0 1 0";

// "abcdabeeebe", made by hand alone (the writer never sees it): literals, a new distance of
// 3 with one extra bit (symbol 262), then the recent distance one place back twice (symbol
// 257): the first takes the cleared distance 0, the second the 3 that the first moved back.
// Main widths 1 to 7 for a b c d e 257 262 (distinct, so the codes are 0, 10, 110, ...) as
// deltas with lower 0 and upper 8; pre-symbols 8 0 1 2 3 6 7 get widths 1 to 7 likewise.
const char kStreamOfRecentDistances[] =
    "100000110 0000 1000 010 011 100 101 000 000 110 111 001"
    "  01111 01111 01111 01111 01111  10 10  110 110 110 110 110  11110"
    "  01111 01111 01111 01111 01111 01111 01111 01111  10 10  111110  1110  10 10 10  1111110"
    "000000000 0000 0010 000 001 000  0"
    "000000000001000"
    "0 10 110 1110  1111110 1 0  11110  111110 0  111110 0";

}  // namespace

TEST(AceDecompressorTest, HandMadeStreamDecodesNewAndRecentDistances) {
  AceWriter::Member member;
  member.name = "m";
  member.data = "abcdabeeebe";
  member.packed = AceWriter::Bits(kStreamOfRecentDistances);
  Walked walked(AceWriter().Add(member).Build());
  ASSERT_EQ(walked.added, 1u);
  EXPECT_EQ(walked.Data(0), "abcdabeeebe");
}

TEST(AceDecompressorTest, WriterStreamsMatchHandComputedBits) {
  struct Case {
    std::string data;
    const char* bits;
  } cases[] = {{"A", kStreamOfA}, {"aaaaa", kStreamOfFiveAs}};
  for (const Case& c : cases) {
    EXPECT_EQ(AceWriter::Compress(c.data), AceWriter::Bits(c.bits)) << c.data;

    AceWriter::Member member;
    member.name = "m";
    member.data = c.data;
    member.packed = AceWriter::Bits(c.bits);
    Walked walked(AceWriter().Add(member).Build());
    ASSERT_EQ(walked.added, 1u) << c.data;
    EXPECT_EQ(walked.Data(0), c.data);
  }
}

TEST(AceDecompressorTest, CommentCopiesFollowTheLastPlaceOfTheSameByteSum) {
  // "abcab", then a copy of 2: before position 5 the bytes b + a were last seen before
  // position 2, so "ca" is copied from there. Widths 2 for a, b, c and the copy symbol 256
  // (lower 1, upper 2), whose codes come out a 11, b 10, c 01, copy 00.
  const std::string packed = AceWriter::Bits(
      "000000000000111"
      "100000000 0001 0010 010 010 001"
      "  01111 01111 01111 01111 01111  11 11  10  11 11  10"
      "  01111 01111 01111 01111 01111 01111 01111 01111  11 11 11  10"
      "11 10 01 11 10 00");
  char text[64];
  const size_t length = CAceCommentDecoder::Decode(reinterpret_cast<const uint8_t*>(packed.data()),
                                                   packed.size(), text, sizeof text);
  EXPECT_EQ(length, 7u);
  EXPECT_STREQ(text, "abcabca");

  // The text never passes its buffer and is always terminated.
  char small[4];
  EXPECT_EQ(CAceCommentDecoder::Decode(reinterpret_cast<const uint8_t*>(packed.data()),
                                       packed.size(), small, sizeof small),
            3u);
  EXPECT_STREQ(small, "abc");
}

TEST(AceDecompressorTest, StoredMemberComesOutInStepsOfAtMost2048Bytes) {
  const std::string data = NoiseOf(5000, 7);
  CAceMemberDecoder decoder;
  decoder.Prepare(reinterpret_cast<const uint8_t*>(data.data()), data.size(),
                  CAceMemberDecoder::kMethodStored, 5000, false);
  std::string out;
  std::vector<size_t> steps;
  uint8_t buffer[CAceMemberDecoder::kStepSize];
  while (const size_t produced = decoder.Step(buffer)) {
    steps.push_back(produced);
    out.append(reinterpret_cast<const char*>(buffer), produced);
  }
  EXPECT_EQ(steps, (std::vector<size_t>{2048, 2048, 904}));
  EXPECT_EQ(out, data);
  EXPECT_FALSE(decoder.IsDamaged());

  Walked walked(AceWriter().AddStored("big.bin", data).Build());
  ASSERT_EQ(walked.added, 1u);
  EXPECT_EQ(walked.Data(0), data);
}

TEST(AceDecompressorTest, CompressedMembersRoundTrip) {
  std::string text;
  for (int line = 0; line < 400; ++line)
    text += "vertex " + std::to_string(line % 37) + " " + std::to_string(line * 7 % 101) + "\r\n";
  // Far repeats need the longer distance codes (over 255 and over 8191 bytes back).
  const std::string noise = NoiseOf(20000, 3);
  const std::string farRepeats = noise + noise.substr(100, 600) + noise.substr(19000, 300);
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"empty", ""},
      {"one byte", "x"},
      {"text", text},
      {"long runs", std::string(3000, 'z') + std::string(700, '\0')},
      {"far repeats", farRepeats},
      {"several blocks", NoiseOf(70000, 11)},
  };
  AceWriter writer;
  for (const Case& c : cases) writer.AddCompressed(c.what, c.data);
  Walked walked(writer.Build());
  ASSERT_EQ(walked.added, std::size(cases));
  for (unsigned i = 0; i < std::size(cases); ++i) {
    EXPECT_STREQ(walked.table.GetName(i), cases[i].what);
    EXPECT_EQ(walked.Data(i), cases[i].data) << cases[i].what;
  }
  EXPECT_FALSE(walked.decompressor.HadCrcError());
  EXPECT_TRUE(walked.log.entries.empty());
}

TEST(AceDecompressorTest, SolidMembersReferBackIntoTheMembersBefore) {
  const std::string first = NoiseOf(3000, 5);
  const std::string second = first.substr(500, 2000) + "tail";
  const std::string archive = AceWriter()
                                  .SetSolid(true)
                                  .AddCompressed("first", first)
                                  .AddStored("stored", "0123456789")
                                  .AddCompressed("second", second)
                                  .Build();
  // The second member is packed as back-references into the first: far smaller than itself.
  EXPECT_LT(AceWriter::Compress(second, first + "0123456789").size(), 100u);

  Walked walked(archive);
  EXPECT_TRUE(walked.decompressor.IsSolid());
  ASSERT_EQ(walked.added, 3u);
  EXPECT_EQ(walked.Data(0), first);
  EXPECT_EQ(walked.Data(1), "0123456789");
  EXPECT_EQ(walked.Data(2), second);

  // The same packed member in an archive that is not solid has nothing to refer to.
  AceWriter::Member alone;
  alone.name = "second";
  alone.data = second;
  alone.packed = AceWriter::Compress(second, first + "0123456789");
  Walked notSolid(AceWriter().Add(alone).Build());
  EXPECT_EQ(notSolid.added, 0u);
  EXPECT_TRUE(notSolid.decompressor.HadCrcError());
}

TEST(AceDecompressorTest, ArchiveAndMemberCommentsAreReadPast) {
  AceWriter::Member member;
  member.name = "notes.txt";
  member.data = "member data";
  member.comment = "a member's comment";
  Walked walked(AceWriter().SetComment("Level data, first release").Add(member).Build());
  EXPECT_EQ(walked.decompressor.GetMainComment(), "Level data, first release");
  ASSERT_EQ(walked.added, 1u);
  EXPECT_EQ(walked.Data(0), "member data");
}

TEST(AceDecompressorTest, DictionaryTooSmallStopsTheWalkCleanly) {
  AceWriter::Member needs4MB;
  needs4MB.name = "huge";
  needs4MB.data = "needs a 4 MB window";
  needs4MB.dictionaryParameter = 12;  // 22 bits
  const std::string archive = AceWriter()
                                  .AddCompressed("before", "kept")
                                  .Add(needs4MB)
                                  .AddCompressed("after", "never reached")
                                  .Build();
  Walked walked(archive);
  EXPECT_EQ(walked.decompressor.GetErrorCode(), CAceDecompressor::kDictionaryTooSmall);
  ASSERT_EQ(walked.added, 1u);
  EXPECT_EQ(walked.Data(0), "kept");
  EXPECT_EQ(walked.log.TextAt(CEngineLog::kLevelError),
            "ERROR! - Dictionary Too Small For ACE Member: test.zka - huge\n");

  // A smaller dictionary than asked for refuses what the default one takes.
  AceWriter::Member needs1MB = needs4MB;
  needs1MB.dictionaryParameter = AceWriter::kDictionary1MB;
  Walked small(AceWriter().Add(needs1MB).Build(), 19);
  EXPECT_EQ(small.added, 0u);
  EXPECT_EQ(small.decompressor.GetErrorCode(), CAceDecompressor::kDictionaryTooSmall);
}

TEST(AceDecompressorTest, UnknownMethodStopsTheWalk) {
  AceWriter::Member member;
  member.name = "odd";
  member.data = "data";
  member.method = 2;
  member.packed = "data";
  Walked walked(AceWriter().AddStored("first", "1").Add(member).Build());
  EXPECT_EQ(walked.decompressor.GetErrorCode(), CAceDecompressor::kUnknownMethod);
  EXPECT_EQ(walked.added, 1u);
  EXPECT_EQ(walked.log.TextAt(CEngineLog::kLevelError),
            "ERROR! - Unknown Compression Method In ACE Archive: test.zka - odd\n");
}

TEST(AceDecompressorTest, DamageIsLoggedAndWhatCameBeforeIsKept) {
  const char kDamaged[] = "ERROR! - Damaged Header In ACE Archive: test.zka\n";
  std::vector<size_t> headers;
  const std::string good =
      AceWriter().AddCompressed("one", "first member").AddStored("two", "second").Build(&headers);
  ASSERT_EQ(headers.size(), 3u);
  const size_t second = headers[2];

  struct Case {
    const char* what;
    std::string archive;
    unsigned members;
    std::string logged;
  };
  std::vector<Case> cases;
  {
    std::string archive = good;
    archive[20] ^= 0x20;  // the main header's creation time
    cases.push_back({"main header CRC", archive, 0, kDamaged});
  }
  {
    std::string archive = good;
    archive[second + 8] ^= 0x01;
    cases.push_back({"member header CRC", archive, 1, kDamaged});
  }
  {
    std::string archive = good;
    archive[second + 3] = 0x7F;  // header size far past the end
    cases.push_back({"header size past the end", archive, 1, kDamaged});
  }
  {
    std::string archive = good;
    archive[second + 4 + 29] = 0x40;  // name size past the header
    Reseal(archive, second);
    cases.push_back({"name size past the header", archive, 1, kDamaged});
  }
  {
    std::string archive = good;
    archive[second + 4] = 2;  // header too short to hold a file header
    archive[second + 2] = 3;
    archive[second + 3] = 0;
    Reseal(archive, second);
    cases.push_back({"short header of another type", archive, 1, kDamaged});
  }
  cases.push_back({"cut inside the second member's data", good.substr(0, good.size() - 3), 1,
                   "ERROR! - CRC Error In ACE Archive: test.zka - two\n"});
  cases.push_back({"cut inside a header", good.substr(0, second + 10), 1, kDamaged});
  cases.push_back({"no signature", "not an archive at all", 0, ""});
  {
    AceWriter::Member wrongCrc;
    wrongCrc.name = "one";
    wrongCrc.data = "first member";
    wrongCrc.crc = 0x12345678;
    cases.push_back({"member data CRC", AceWriter().Add(wrongCrc).AddStored("two", "second").Build(),
                     1, "ERROR! - CRC Error In ACE Archive: test.zka - one\n"});
  }
  {
    AceWriter::Member lies;
    lies.name = "one";
    lies.data = "x";
    lies.method = AceWriter::kStored;
    lies.packed = "x";
    std::string archive = AceWriter().Add(lies).Build(&headers);
    archive[headers[1] + 4 + 10] = 0x40;  // original size: 1 GB from one packed byte
    Reseal(archive, headers[1]);
    cases.push_back({"original size beyond the packed data", archive, 0,
                     "ERROR! - CRC Error In ACE Archive: test.zka - one\n"});
  }

  for (const Case& c : cases) {
    Walked walked(c.archive);
    EXPECT_EQ(walked.added, c.members) << c.what;
    EXPECT_EQ(walked.log.TextAt(CEngineLog::kLevelError), c.logged) << c.what;
    for (unsigned i = 0; i < walked.added; ++i)
      EXPECT_EQ(walked.Data(i), walked.table.GetName(i) == std::string("one") ? "first member"
                                                                               : "second")
          << c.what;
  }
}

TEST(AceDecompressorTest, TruncatedOrFlippedArchivesNeverServeWrongData) {
  AceWriter::Member commented;
  commented.name = "c";
  commented.data = NoiseOf(900, 1) + std::string(900, 'q');
  commented.comment = "member comment";
  const std::string original = AceWriter()
                                   .SetSolid(true)
                                   .SetComment("archive comment")
                                   .AddCompressed("a", NoiseOf(1500, 2) + NoiseOf(1500, 2))
                                   .AddStored("b", "stored bytes")
                                   .Add(commented)
                                   .Build();
  const std::string expected[] = {NoiseOf(1500, 2) + NoiseOf(1500, 2), "stored bytes",
                                  commented.data};
  const auto check = [&expected](const std::string& archive, const std::string& what) {
    Walked walked(archive);
    for (unsigned i = 0; i < walked.added; ++i) {
      const char name = walked.table.GetName(i)[0];
      ASSERT_TRUE(name >= 'a' && name <= 'c') << what;
      EXPECT_EQ(walked.Data(i), expected[name - 'a']) << what;
    }
  };
  for (size_t length = 0; length < original.size(); length += 7)
    check(original.substr(0, length), "cut at " + std::to_string(length));
  for (size_t at = 0; at < original.size(); at += 3) {
    std::string flipped = original;
    flipped[at] ^= static_cast<char>(1 << (at % 8));
    check(flipped, "flipped at " + std::to_string(at));
  }
}
