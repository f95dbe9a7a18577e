// The engine's "ZK3D" archive: member table and members written by the test writer, then
// damaged one field at a time.
#include <gtest/gtest.h>

#include <string>

#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "ZkzWriter.h"
#include "vfs/ZlibDisk.h"

namespace {

class ZlibDiskTest : public ::testing::Test {
 protected:
  // Writes `bytes` as the archive and mounts it; the disk's name is its lowered path.
  bool Mount(const std::string& bytes) {
    folder.Write("data.zkz", bytes);
    disk =
        std::make_unique<CZlibDisk>(&log, &allocator, (folder / "data.zkz").c_str(), VFS_DISK_DATA);
    return disk->Mount();
  }
  std::string Member(UINT index) {
    BYTE* data = disk->GetFileData(index);
    if (!data) return "<null>";
    std::string text(reinterpret_cast<char*>(data), disk->GetFileLength(index));
    EXPECT_EQ(disk->ReleaseFileData(data), 1u);
    return text;
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }

  TempDir folder;
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  std::unique_ptr<CZlibDisk> disk;
};

TEST_F(ZlibDiskTest, MountsAndServesMembersFromTheAllocator) {
  std::string big(100000, 'z');
  ASSERT_TRUE(Mount(ZkzWriter()
                        .HeaderBlock("skipped header block")
                        .Add("Scenes\\Level1.ZKS", "level one")
                        .Add("big.bin", big)
                        .Bytes()));
  EXPECT_EQ(Errors(), "");
  EXPECT_EQ(disk->GetArchiveType(), VFS_ARCHIVE_ZLIB);
  EXPECT_EQ(disk->GetNumberOfFiles(), 2u);
  EXPECT_EQ(disk->FindFile("scenes\\level1.zks"), 0);
  EXPECT_EQ(disk->FindFile("SCENES\\LEVEL1.ZKS"), 0);
  EXPECT_EQ(disk->FindFile("scenes/level1.zks"), -1);  // separators are compared as written
  EXPECT_EQ(disk->FindFile("scenes\\level1.zk"), -1);
  EXPECT_STREQ(disk->GetFileName(0), "scenes\\level1.zks");
  EXPECT_EQ(disk->GetFileLength(1), big.size());
  EXPECT_LT(disk->GetPackedSize(1), 1000u);
  EXPECT_EQ(disk->GetFileName(2), nullptr);
  EXPECT_EQ(disk->GetFileData(2), nullptr);
  EXPECT_EQ(Member(0), "level one");
  EXPECT_EQ(Member(1), big);

  // Two opens of one member are two blocks, each given back on its own.
  BYTE* first = disk->GetFileData(0);
  BYTE* second = disk->GetFileData(0);
  EXPECT_NE(first, second);
  EXPECT_EQ(allocator.outstanding.size(), 2u);
  disk->ReleaseFileData(first);
  disk->ReleaseFileData(second);
  EXPECT_TRUE(allocator.outstanding.empty());
  EXPECT_EQ(allocator.badFrees, 0);
}

TEST_F(ZlibDiskTest, AnEmptyArchiveAndAnEmptyHeaderBlockAreValid) {
  ASSERT_TRUE(Mount(ZkzWriter().Bytes()));
  EXPECT_EQ(disk->GetNumberOfFiles(), 0u);
  EXPECT_EQ(disk->FindFile("anything"), -1);
}

TEST_F(ZlibDiskTest, AStoredNameWithoutTerminatorIsCutInsideItsField) {
  std::string longName(3000, 'N');
  ASSERT_TRUE(Mount(ZkzWriter().Add(longName, "x").Bytes()));
  EXPECT_EQ(std::string(disk->GetFileName(0)), std::string(2047, 'n'));
}

TEST_F(ZlibDiskTest, MalformedArchivesAreRefusedWithTheirReason) {
  std::string good = ZkzWriter().Add("a", "alpha").Add("b", "beta").Bytes();
  struct Case {
    const char* what;
    std::string bytes;
    const char* error;
  };
  const Case cases[] = {
      {"bad signature", ZkzWriter().Signature("ZK3E").Add("a", "alpha").Bytes(),
       "ERROR! - Incorrect Signature In: %s\n"},
      {"empty file", "", "ERROR! - Incorrect Signature In: %s\n"},
      {"one record more than counted",
       ZkzWriter().Add("a", "1").Add("b", "2").StoredCount(1).Bytes(),
       "ERROR! - Incorrect Number Of Files: %s\n"},
      {"one record less than counted", ZkzWriter().Add("a", "1").StoredCount(2).Bytes(),
       "ERROR! - Incorrect Number Of Files: %s\n"},
      {"hostile count", ZkzWriter().Add("a", "1").StoredCount(0xFFFFFFF0u).Bytes(),
       "ERROR! - Incorrect Number Of Files: %s\n"},
      {"header block past the end",
       ZkzWriter().HeaderBlock("h").Bytes().replace(4, 4, "\xff\xff\xff\x7f"),
       "ERROR! - Incorrect Number Of Files: %s\n"},
      {"count cut off", good.substr(0, 10), "ERROR! - Incorrect Number Of Files: %s\n"},
      {"table cut short", good.substr(0, 200), "ERROR! - Incorrect Number Of Files: %s\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    log.entries.clear();
    EXPECT_FALSE(Mount(c.bytes));
    char expected[512];
    snprintf(expected, sizeof expected, c.error, (folder / "data.zkz").c_str());
    EXPECT_EQ(Errors(), expected);
    EXPECT_EQ(disk->GetNumberOfFiles(), 0u);
  }
  disk = std::make_unique<CZlibDisk>(&log, &allocator, (folder / "none.zkz").c_str(), 0);
  log.entries.clear();
  EXPECT_FALSE(disk->Mount());
  EXPECT_EQ(Errors(), "ERROR! - Can't Open Archive File: " + (folder / "none.zkz") + "\n");
}

TEST_F(ZlibDiskTest, DamagedMembersGiveNullAndGiveEveryBlockBack) {
  std::string contents = "member contents";
  std::string archive = ZkzWriter()
                            .Add("short", contents)
                            .RecordSizeOfLast(uint32_t(contents.size()) - 1)
                            .Add("long", contents)
                            .RecordSizeOfLast(uint32_t(contents.size()) + 1)
                            .Add("outside", contents)
                            .RecordOffsetOfLast(0x7FFFFFF0u)
                            .Add("fine", contents)
                            .Bytes();
  // The last member's stream loses its final bytes, as in a truncated download.
  ASSERT_TRUE(Mount(archive.substr(0, archive.size() - 3)));
  struct Case {
    UINT index;
    std::string error;
  };
  const Case cases[] = {
      {0, "ERROR! - Incorrect Uncompressed Size: short (15 - 14)\n"},
      {1, "ERROR! - Incorrect Uncompressed Size: long (15 - 16)\n"},
      {2, "ERROR! - Can't Read File: outside (2147483632 - " +
              std::to_string(disk->GetPackedSize(2)) + ")\n"},
      {3, "ERROR! - Can't Read File: fine (" +
              std::to_string(archive.size() - disk->GetPackedSize(3)) + " - " +
              std::to_string(disk->GetPackedSize(3)) + ")\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    log.entries.clear();
    EXPECT_EQ(disk->GetFileData(c.index), nullptr);
    EXPECT_EQ(Errors(), c.error);
    EXPECT_TRUE(allocator.outstanding.empty());
  }
  EXPECT_EQ(allocator.badFrees, 0);
}

TEST_F(ZlibDiskTest, AllocationFailuresAreLoggedWithTheSizeAsked) {
  ASSERT_TRUE(Mount(ZkzWriter().Add("m", std::string(5000, 'm')).Bytes()));
  UINT packed = disk->GetPackedSize(0);
  allocator.refuseFrom = 0;
  EXPECT_EQ(disk->GetFileData(0), nullptr);
  EXPECT_EQ(Errors(),
            "ERROR! - Can't Allocate Enuff Memory For: m (" + std::to_string(packed) + ")\n");
  log.entries.clear();
  allocator.requests.clear();
  allocator.refuseFrom = 1;
  EXPECT_EQ(disk->GetFileData(0), nullptr);
  EXPECT_EQ(Errors(), "ERROR! - Can't Allocate Enuff Memory For: m (21384)\n");
  EXPECT_TRUE(allocator.outstanding.empty());
}

}  // namespace
