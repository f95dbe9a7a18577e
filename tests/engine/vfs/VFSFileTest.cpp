// VFSFile over an archive member in memory and over a loose file: the readers see the same
// lines, bytes and positions from both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeVirtualDisk.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "vfs/VFSFile.h"

namespace {

enum class Source { kMember, kLooseFile };

// Opens `contents` as a member of a fake disk or as a loose file written to a temporary folder.
class VFSFileOverSource : public ::testing::TestWithParam<Source> {
 protected:
  CVFSFile& OpenWith(const std::string& contents) {
    if (GetParam() == Source::kMember) {
      disk.Add("text.txt", contents);
      EXPECT_EQ(file.Open(&disk, 0, VFS_SOURCE_ARCHIVE, "TEXT.TXT", nullptr), 1u);
    } else {
      folder.Write("text.txt", contents);
      EXPECT_EQ(file.Open(nullptr, 0, VFS_SOURCE_LOOSE_FILE, (folder / "TEXT.TXT").c_str(), "rb"),
                1u);
    }
    return file;
  }

  // Every line Gets gives with a buffer of `count` bytes, until it gives null.
  std::vector<std::string> Lines(int count) {
    std::vector<std::string> lines;
    std::vector<char> buffer(count + 1, '#');
    while (char* line = file.Gets(buffer.data(), count)) {
      EXPECT_EQ(line, buffer.data());
      EXPECT_EQ(buffer[count], '#') << "written past the buffer";
      lines.push_back(line);
    }
    return lines;
  }

  TempDir folder;
  CRecordingEngineLog log;
  CFakeVirtualDisk disk;
  CVFSFile file{&log};
};

INSTANTIATE_TEST_SUITE_P(Sources, VFSFileOverSource,
                         ::testing::Values(Source::kMember, Source::kLooseFile),
                         [](const auto& info) {
                           return info.param == Source::kMember ? "Member" : "LooseFile";
                         });

TEST_P(VFSFileOverSource, GetsReadsLinesAsTextModeFgets) {
  struct Case {
    const char* contents;
    int count;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"one\r\ntwo\r\n", 64, {"one\n", "two\n"}},
      {"one\ntwo", 64, {"one\n", "two"}},         // LF only, unterminated last line
      {"\n\r\nx", 64, {"\n", "\n", "x"}},         // empty lines
      {"abcdefgh\n", 4, {"abc", "def", "gh\n"}},  // count - 1 bytes at most
      {"ab\r\ncd", 3, {"ab", "\n", "cd"}},        // CR LF split by the buffer
      {"a\rb\n", 64, {"a\rb\n"}},                 // a lone CR stays
      {"x", 2, {"x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.contents)));
    OpenWith(c.contents);
    EXPECT_EQ(Lines(c.count), c.lines);
    file.Close();
    disk.members.clear();
  }
}

TEST_P(VFSFileOverSource, ReadAndGetcStopAtTheEnd) {
  OpenWith("0123456789");
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 4, 2), 2u);
  EXPECT_EQ(std::string(buffer, 8), "01234567");
  EXPECT_EQ(file.Read(buffer, 4, 2), 0u);  // two bytes left: no whole item
  EXPECT_EQ(file.Tell(), 10);
  EXPECT_EQ(file.Getc(), -1);
  EXPECT_EQ(file.Seek(8, 0), 0);
  EXPECT_EQ(file.Read(buffer, 1, 16), 2u);
  EXPECT_EQ(std::string(buffer, 2), "89");
  EXPECT_EQ(file.Seek(-1, 2), 0);
  EXPECT_EQ(file.Getc(), '9');
  EXPECT_EQ(file.Getc(), -1);
  EXPECT_EQ(file.GetFileLength(), 10u);
}

TEST_P(VFSFileOverSource, SeekMovesFromEachOriginAndRefusesAnUnknownOne) {
  OpenWith("0123456789");
  EXPECT_EQ(file.Seek(3, 0), 0);
  EXPECT_EQ(file.Seek(2, 1), 0);
  EXPECT_EQ(file.Tell(), 5);
  EXPECT_EQ(file.Seek(-4, 2), 0);
  EXPECT_EQ(file.Tell(), 6);
  EXPECT_EQ(file.Seek(-7, 1), 255);  // before the start
  EXPECT_EQ(file.Seek(0, 3), 255);
}

TEST_P(VFSFileOverSource, CloseFreesTheObject) {
  OpenWith("data");
  EXPECT_EQ(file.Close(), GetParam() == Source::kMember ? 1 : 0);
  EXPECT_EQ(file.GetFileSource(), VFS_SOURCE_CLOSED);
  EXPECT_EQ(file.Tell(), -1);
  EXPECT_STREQ(file.GetFileName(), "");
  EXPECT_FALSE(file.IsOpen());
  char buffer[8];
  EXPECT_EQ(file.Gets(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(file.Read(buffer, 1, 1), 0u);
  EXPECT_EQ(file.Getc(), -1);
  EXPECT_EQ(file.Seek(0, 0), 255);
  EXPECT_EQ(file.Close(), 0);  // a second close changes nothing
  EXPECT_TRUE(disk.outstanding.empty());
}

TEST(VFSFileMember, SeekClampsTargetsOutsideTheMemberAndReportsThem) {
  CRecordingEngineLog log;
  CFakeVirtualDisk disk;
  disk.Add("m", "0123456789");
  CVFSFile file(&log);
  ASSERT_EQ(file.Open(&disk, 0, VFS_SOURCE_ARCHIVE, "m", nullptr), 1u);
  struct Case {
    LONG offset;
    int origin;
    BYTE result;
    LONG position;
  };
  const Case cases[] = {{5, 2, 255, 10}, {-11, 2, 255, 0}, {20, 0, 255, 10}, {-3, 0, 255, 0},
                        {4, 0, 0, 4},    {7, 1, 255, 10},  {0, 2, 0, 10},    {-10, 1, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(file.Seek(c.offset, c.origin), c.result) << c.offset << " from " << c.origin;
    EXPECT_EQ(file.Tell(), c.position) << c.offset << " from " << c.origin;
  }
}

TEST(VFSFileMember, GivesTheDiskDataAndRefusesWriting) {
  CRecordingEngineLog log;
  CFakeVirtualDisk disk;
  disk.Add("m", "bytes").Add("empty", "");
  CVFSFile file(&log);
  // An empty member cannot be opened, and the block it was given goes back.
  EXPECT_EQ(file.Open(&disk, 1, VFS_SOURCE_ARCHIVE, "empty", nullptr), 0u);
  EXPECT_EQ(file.Open(&disk, 7, VFS_SOURCE_ARCHIVE, "none", nullptr), 0u);
  EXPECT_TRUE(disk.outstanding.empty());
  EXPECT_EQ(file.GetFileSource(), VFS_SOURCE_CLOSED);

  ASSERT_EQ(file.Open(&disk, 0, VFS_SOURCE_ARCHIVE, "M", nullptr), 1u);
  EXPECT_STREQ(file.GetFileName(), "m");
  BYTE* data = file.GetFileBuffer();
  ASSERT_EQ(disk.outstanding.count(data), 1u);
  EXPECT_EQ(file.GetFileSource(), VFS_SOURCE_ARCHIVE);
  EXPECT_EQ(file.Write("x", 1, 1), 0u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - You Can't Save When Using Archive Files\n");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 5), "bytes");
  // An open object is not opened again over itself.
  EXPECT_EQ(file.Open(&disk, 0, VFS_SOURCE_ARCHIVE, "m", nullptr), 0u);
  EXPECT_EQ(file.Close(), 1);
  ASSERT_EQ(disk.released.size(), 2u);  // the empty member's block, then this one
  EXPECT_EQ(disk.released.back(), data);
  EXPECT_TRUE(disk.outstanding.empty());
}

TEST(VFSFileLoose, WritesAndReadsBackThroughThePathMapping) {
  TempDir folder;
  CRecordingEngineLog log;
  CVFSFile file(&log);
  std::string windowsName = folder.Path() + "\\Sub\\OUT.BIN";
  folder.Write("sub/placeholder", "");
  ASSERT_EQ(file.Open(nullptr, 0, VFS_SOURCE_LOOSE_FILE, windowsName.c_str(), "wb"), 1u);
  EXPECT_EQ(file.Write("abc", 1, 3), 3u);
  EXPECT_EQ(file.GetFileBuffer(), nullptr);
  EXPECT_EQ(file.Close(), 0);

  ASSERT_EQ(file.Open(nullptr, 0, VFS_SOURCE_LOOSE_FILE, windowsName.c_str(), "rb"), 1u);
  EXPECT_EQ(file.GetFileLength(), 3u);
  char buffer[8] = {};
  EXPECT_STREQ(file.Gets(buffer, sizeof buffer), "abc");
  file.Close();

  // A missing file leaves the object free with an empty name.
  EXPECT_EQ(file.Open(nullptr, 0, VFS_SOURCE_LOOSE_FILE, (folder / "none").c_str(), "rb"), 0u);
  EXPECT_STREQ(file.GetFileName(), "");
  EXPECT_EQ(file.GetFileSource(), VFS_SOURCE_CLOSED);
  EXPECT_EQ(file.Open(nullptr, 0, VFS_SOURCE_LOOSE_FILE, windowsName.c_str(), nullptr), 0u);
}

TEST(VFSFileOpen, AnUnknownSourceIsFatal) {
  ProcessExitCatcher exits;
  CRecordingEngineLog log;
  CVFSFile file(&log);
  try {
    file.Open(nullptr, 0, 2, "level.zks", "rb");
    FAIL() << "the open returned";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Loading File");
  EXPECT_EQ(exits.Boxes()[0].text, "There's No Such File: level.zks");
}

}  // namespace
