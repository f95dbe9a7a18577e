#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AceWriter.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "vfs/AceDisk.h"
#include "vfs/AceMemberTable.h"

namespace {

struct Mounted {
  Mounted(const std::string& path, UINT offset = 0, UINT length = 0, UINT kind = VFS_DISK_DATA)
      : disk(&log, path.c_str(), kind, offset, length, &mounted) {}
  std::string Member(UINT index) {
    return std::string(reinterpret_cast<const char*>(disk.GetFileData(index)),
                       disk.GetFileLength(index));
  }

  CRecordingEngineLog log;
  UINT mounted = 99;
  CAceDisk disk;
};

}  // namespace

TEST(AceDiskTest, ServesMembersUnderLoweredNames) {
  TempDir folder;
  folder.Write("data.zka", AceWriter()
                               .AddCompressed("Scenes\\Level1.ZKS", "scene bytes")
                               .AddStored("readme.txt", "hello")
                               .Build());
  Mounted m(folder / "data.zka", 0, 0, VFS_DISK_SHADER);
  ASSERT_EQ(m.mounted, 1u);
  EXPECT_EQ(m.disk.GetNumberOfFiles(), 2u);
  EXPECT_EQ(m.disk.FindFile("scenes\\level1.zks"), 0);
  EXPECT_STREQ(m.disk.GetFileName(0), "scenes\\level1.zks");
  EXPECT_EQ(m.disk.FindFile("readme.txt"), 1);
  EXPECT_EQ(m.disk.FindFile("missing.txt"), -1);
  EXPECT_EQ(m.Member(0), "scene bytes");
  EXPECT_EQ(m.Member(1), "hello");

  BYTE* data = m.disk.GetFileData(1);
  EXPECT_EQ(m.disk.ReleaseFileData(data), 1u);
  EXPECT_EQ(m.disk.GetFileData(1), data);  // the data lives as long as the disk
  EXPECT_EQ(m.disk.GetFileName(2), nullptr);
  EXPECT_EQ(m.disk.GetFileData(2), nullptr);
  EXPECT_EQ(m.disk.GetFileLength(2), 0u);
  EXPECT_EQ(m.disk.GetPackedSize(0), 0u);
  EXPECT_EQ(m.disk.IsAvailable(), 1u);
  EXPECT_EQ(m.disk.GetArchiveType(), VFS_ARCHIVE_ACE);
  EXPECT_EQ(m.disk.GetDiskKind(), VFS_DISK_SHADER);
  EXPECT_EQ(m.disk.GetDiskName(), folder / "data.zka");
  EXPECT_TRUE(m.log.entries.empty());
}

TEST(AceDiskTest, MountsAnArchiveInsideALargerFile) {
  const std::string archive = AceWriter().AddCompressed("inner.txt", "found at 1000").Build();
  TempDir folder;
  folder.Write("packed.bin", std::string(1000, 'j') + archive + "trailing bytes");

  // To the end of the file, the trailing bytes read as a damaged header after the member.
  Mounted toEnd(folder / "packed.bin", 1000);
  ASSERT_EQ(toEnd.mounted, 1u);
  EXPECT_EQ(toEnd.Member(0), "found at 1000");
  EXPECT_EQ(toEnd.log.TextAt(CEngineLog::kLevelError),
            "ERROR! - Damaged Header In ACE Archive: " + (folder / "packed.bin") + "\n");

  Mounted exact(folder / "packed.bin", 1000, static_cast<UINT>(archive.size()));
  ASSERT_EQ(exact.mounted, 1u);
  EXPECT_EQ(exact.Member(0), "found at 1000");
  EXPECT_TRUE(exact.log.entries.empty());

  // From the start of the file there is no main header.
  Mounted fromStart(folder / "packed.bin");
  EXPECT_EQ(fromStart.mounted, 0u);
  EXPECT_EQ(fromStart.disk.GetNumberOfFiles(), 0u);
  EXPECT_EQ(fromStart.disk.FindFile("inner.txt"), -1);

  Mounted pastTheEnd(folder / "packed.bin", 1u << 20);
  EXPECT_EQ(pastTheEnd.mounted, 0u);
}

TEST(AceDiskTest, UnreadableArchivesFailWithTheirLogLine) {
  TempDir folder;
  folder.Write("empty.zka", AceWriter().Build());
  struct Case {
    std::string path;
  } cases[] = {{folder / "missing.zka"}, {folder / "empty.zka"}};
  for (const Case& c : cases) {
    Mounted m(c.path);
    EXPECT_EQ(m.mounted, 0u) << c.path;
    EXPECT_EQ(m.log.TextAt(CEngineLog::kLevelError), "ERROR! - Can't Open ACE Archive: " + c.path + "\n");
  }
}

TEST(AceDiskTest, EachDiskKeepsItsOwnMembers) {
  TempDir folder;
  folder.Write("a.zka", AceWriter().AddStored("a.txt", "from a").Build());
  folder.Write("b.zka", AceWriter().AddStored("b.txt", "from b").Build());
  auto first = std::make_unique<Mounted>(folder / "a.zka");
  {
    Mounted second(folder / "b.zka");
    EXPECT_EQ(second.disk.FindFile("a.txt"), -1);
    EXPECT_EQ(first->disk.FindFile("b.txt"), -1);
  }
  // Closing the second disk leaves the first one whole.
  ASSERT_EQ(first->disk.GetNumberOfFiles(), 1u);
  EXPECT_EQ(first->Member(0), "from a");
}

TEST(AceDiskTest, MembersBeyondTheTableAreRefused) {
  AceWriter writer;
  for (size_t i = 0; i <= CAceMemberTable::kMaxEntries; ++i)
    writer.AddStored("f" + std::to_string(i), "x");
  TempDir folder;
  folder.Write("many.zka", writer.Build());
  Mounted m(folder / "many.zka");
  EXPECT_EQ(m.mounted, 1u);
  EXPECT_EQ(m.disk.GetNumberOfFiles(), CAceMemberTable::kMaxEntries);
  EXPECT_EQ(m.disk.FindFile("f2047"), 2047);
  EXPECT_EQ(m.disk.FindFile("f2048"), -1);
  EXPECT_EQ(m.log.TextAt(CEngineLog::kLevelError),
            "ERROR! - Too Many Files In ACE Archive: " + (folder / "many.zka") + "\n");
}
