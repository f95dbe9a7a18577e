// ACE archives mounted through the virtual file system and read through its file objects.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "AceWriter.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "vfs/VirtualFileSystem.h"

namespace {

class AceVirtualDiskTest : public ::testing::Test {
 protected:
  // Mount names are relative to the working folder, as the game's are.
  void SetUp() override {
    char* cwd = getcwd(nullptr, 0);
    m_previousFolder = cwd;
    free(cwd);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(m_previousFolder.c_str()), 0); }

  TempDir folder;
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};

 private:
  std::string m_previousFolder;
};

}  // namespace

TEST_F(AceVirtualDiskTest, StoredMemberReadsOutThroughAFileInSteps) {
  std::string data(5000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + i / 7);
  const std::string archive =
      AceWriter().AddStored("Models\\Big.BIN", data).AddCompressed("notes.txt", "line\r\n").Build();
  folder.Write("zka/pack.zka", std::string(1000, '#') + archive);
  ASSERT_EQ(vfs.AddVirtualDisk("ZKA\\Pack.ZKA", VFS_DISK_DATA, 1000, 0, nullptr), 0u);
  EXPECT_EQ(vfs.LocateNormalFile("MODELS\\big.bin"), UINT(VFS_SOURCE_ARCHIVE));

  VFSFile* file = vfs.OpenNormalFile("models\\big.bin", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetFileLength(), 5000u);
  std::string read;
  for (UINT step : {2048u, 2048u, 904u}) {
    std::string chunk(step, '\0');
    EXPECT_EQ(file->Read(chunk.data(), 1, step), step);
    read += chunk;
  }
  EXPECT_EQ(read, data);
  EXPECT_EQ(file->Close(), 1);

  ASSERT_EQ(vfs.CloseVirtualDisk("zka\\pack.zka"), 1u);
  EXPECT_EQ(vfs.LocateNormalFile("models\\big.bin"), VFS_NOT_FOUND);
}

TEST_F(AceVirtualDiskTest, TwoAceDisksStayMountedSideBySide) {
  folder.Write("a.zka", AceWriter().AddCompressed("a.txt", "from a").Build());
  folder.Write("b.zka", AceWriter().AddCompressed("b.txt", "from b").Build());
  ASSERT_EQ(vfs.AddVirtualDisk("a.zka", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  ASSERT_EQ(vfs.AddVirtualDisk("b.zka", VFS_DISK_DATA, 0, 0, nullptr), 1u);
  ASSERT_EQ(vfs.CloseVirtualDisk("b.zka"), 1u);

  VFSFile* file = vfs.OpenNormalFile("a.txt", "rb");
  ASSERT_NE(file, nullptr);
  char text[16] = {};
  EXPECT_EQ(file->Read(text, 1, 6), 6u);
  EXPECT_STREQ(text, "from a");
  file->Close();
}

TEST_F(AceVirtualDiskTest, ADamagedArchiveFailsWithBothLogLines) {
  std::string archive = AceWriter().AddStored("a.txt", "a").Build();
  archive[20] ^= 0x10;  // inside the main header
  folder.Write("bad.zka", archive);
  EXPECT_EQ(vfs.AddVirtualDisk("bad.zka", VFS_DISK_DATA, 0, 0, nullptr), VFS_NOT_FOUND);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR! - Damaged Header In ACE Archive: bad.zka\n"
            "ERROR! - Can't Open ACE Archive: bad.zka\n"
            "ERROR! - Can't Open Data Archive: bad.zka At 0\n");
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 0u);
}
