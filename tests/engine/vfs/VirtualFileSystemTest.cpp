// The virtual file system: mounting and closing disks, slot reuse, where a name is found and
// the two pools of open files. Archives are written by the tests into a temporary folder that
// is the working folder while a test runs, as the game's data folder is.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Rar4Writer.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "ZkzWriter.h"
#include "core/PageAllocator.h"
#include "vfs/VirtualFileSystem.h"

namespace {

class VirtualFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char* cwd = getcwd(nullptr, 0);
    m_previousFolder = cwd;
    free(cwd);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(m_previousFolder.c_str()), 0); }

  std::string ReadAll(VFSFile* file) {
    std::string text(file->GetFileLength(), '\0');
    EXPECT_EQ(file->Read(text.data(), 1, UINT(text.size())), text.size());
    return text;
  }
  // The whole file as `open` finds it, closed again; "<null>" when it is not found.
  std::string Contents(VFSFile* file) {
    if (!file) return "<null>";
    std::string text = ReadAll(file);
    file->Close();
    return text;
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }
  std::string Infos() const { return log.TextAt(CEngineLog::kLevelInfo); }

  TempDir folder;
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};

 private:
  std::string m_previousFolder;
};

TEST_F(VirtualFileSystemTest, MountsCloseAndReuseTheirSlots) {
  ZkzWriter().Add("a.txt", "from a").Write(folder / "first.zkz");
  folder.Write("zkr/vge.zkr", Rar4Writer().Add("b.txt", "from b").Bytes());

  EXPECT_EQ(vfs.AddVirtualDisk("First.ZKZ", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  EXPECT_EQ(vfs.AddVirtualDisk("Zkr\\VGE.ZKR", VFS_DISK_DATA, 12, 0, "password"), 1u);
  EXPECT_EQ(Infos(),
            "Adding VD: first.zkz\n- Archive File: first.zkz At 0 Added\n"
            "Adding VD: zkr\\vge.zkr\n- Archive File: zkr\\vge.zkr At 12 Added\n");
  EXPECT_STREQ(vfs.GetDisk(1)->GetDiskName(), "zkr\\vge.zkr");
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 2u);

  EXPECT_EQ(vfs.CloseVirtualDisk("FIRST.zkz"), 1u);
  EXPECT_EQ(vfs.GetDisk(0), nullptr);
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 2u);
  EXPECT_EQ(Contents(vfs.OpenNormalFile("a.txt", "rb")), "<null>");
  EXPECT_EQ(vfs.AddVirtualDisk("first.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 2u);
  EXPECT_EQ(Contents(vfs.OpenNormalFile("A.TXT", "rb")), "from a");

  EXPECT_EQ(vfs.CloseVirtualDisk("ZKR\\vge.zkr"), 1u);
  log.entries.clear();
  EXPECT_EQ(vfs.CloseVirtualDisk("zkr\\vge.zkr"), 0u);
  EXPECT_EQ(Errors(), "WARNING!!! - Can't Close Virtual Disk: zkr\\vge.zkr\n");
}

TEST_F(VirtualFileSystemTest, AFailedMountLeavesNoDiskAndNoCountedSlot) {
  ZkzWriter().Add("a.txt", "a").Write(folder / "good.zkz");
  folder.Write("broken.zkz", "ZK3D and nothing sensible");
  struct Case {
    const char* name;
    std::string reason;
  };
  const Case cases[] = {
      {"notes.txt", "ERROR! - Unknown Archive Type: txt\n"},
      {"noextension", "ERROR! - Unknown Archive Type: noextension\n"},
      {"missing.zka", "ERROR! - Can't Open ACE Archive: missing.zka\n"},
      {"missing.zkz", "ERROR! - Can't Open Archive File: missing.zkz\n"},
      {"broken.zkz", "ERROR! - Incorrect Number Of Files: broken.zkz\n"},
      {"missing.zkr", "ERROR! - Can't Open Archive: missing.zkr\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.entries.clear();
    EXPECT_EQ(vfs.AddVirtualDisk(c.name, VFS_DISK_DATA, 7, 0, nullptr), VFS_NOT_FOUND);
    EXPECT_EQ(Errors(), c.reason + "ERROR! - Can't Open Data Archive: " + c.name + " At 7\n");
    EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 0u);
  }
  // Into an emptied slot as well: the slot stays empty and is taken by the next good mount.
  ASSERT_EQ(vfs.AddVirtualDisk("good.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  ASSERT_EQ(vfs.CloseVirtualDisk("good.zkz"), 1u);
  EXPECT_EQ(vfs.AddVirtualDisk("missing.zkz", VFS_DISK_DATA, 0, 0, nullptr), VFS_NOT_FOUND);
  EXPECT_EQ(vfs.GetDisk(0), nullptr);
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 1u);
  EXPECT_EQ(vfs.AddVirtualDisk("good.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 1u);
}

TEST_F(VirtualFileSystemTest, RefusesASeventeenthDiskAndNamesThatDoNotFit) {
  ZkzWriter().Add("a.txt", "a").Write(folder / "disk.zkz");
  for (UINT i = 0; i < CVirtualFileSystem::kMaxDisks; ++i)
    ASSERT_EQ(vfs.AddVirtualDisk("disk.zkz", VFS_DISK_DATA, 0, 0, nullptr), i);
  log.entries.clear();
  EXPECT_EQ(vfs.AddVirtualDisk("disk.zkz", VFS_DISK_DATA, 0, 0, nullptr), VFS_NOT_FOUND);
  EXPECT_EQ(Errors(),
            "ERROR! - Too Many Virtual Disks: disk.zkz\n"
            "ERROR! - Can't Open Data Archive: disk.zkz At 0\n");
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 16u);

  const std::string longName = std::string(252, 'x') + ".zkz";  // 256 characters
  const std::string refused = "ERROR! - Name Too Long: " + longName.substr(0, 255) + "...\n";
  log.entries.clear();
  EXPECT_EQ(vfs.AddVirtualDisk(longName.c_str(), VFS_DISK_DATA, 0, 0, nullptr), VFS_NOT_FOUND);
  EXPECT_EQ(vfs.CloseVirtualDisk(longName.c_str()), 0u);
  EXPECT_EQ(vfs.LocateNormalFile(longName.c_str()), VFS_NOT_FOUND);
  EXPECT_EQ(Errors(), refused + refused + refused);
  EXPECT_EQ(vfs.GetNumberOfVirtualDisks(), 16u);
  EXPECT_EQ(vfs.AddVirtualDisk(nullptr, VFS_DISK_DATA, 0, 0, nullptr), VFS_NOT_FOUND);
  EXPECT_EQ(vfs.OpenNormalFile(nullptr, "rb"), nullptr);
}

TEST_F(VirtualFileSystemTest, ArchiveMembersComeBeforeLooseFilesAndEarlierDisksFirst) {
  ZkzWriter().Add("scenes\\level1.zks", "first archive").Write(folder / "first.zkz");
  folder.Write("second.zkr", Rar4Writer()
                                 .Add("Scenes\\Level1.zks", "second archive")
                                 .Add("only-in-second.txt", "second")
                                 .Bytes());
  folder.Write("shaders.zkr", Rar4Writer().Add("shader.fx", "from the shader disk").Bytes());
  folder.Write("scenes/level1.zks", "loose");
  folder.Write("loose.txt", "loose only");
  ASSERT_EQ(vfs.AddVirtualDisk("first.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  ASSERT_EQ(vfs.AddVirtualDisk("second.zkr", VFS_DISK_DATA, 0, 0, nullptr), 1u);
  ASSERT_EQ(vfs.AddVirtualDisk("shaders.zkr", VFS_DISK_SHADER, 0, 0, nullptr), 2u);

  EXPECT_EQ(Contents(vfs.OpenNormalFile("Scenes\\Level1.ZKS", "rb")), "first archive");
  EXPECT_EQ(Contents(vfs.OpenNormalFile("only-in-second.txt", "rb")), "second");
  EXPECT_EQ(Contents(vfs.OpenNormalFile("loose.txt", "rb")), "loose only");
  // A loose name goes through the path mapping: "\" separators find the file.
  EXPECT_EQ(Contents(vfs.OpenNormalFile("Scenes\\..\\LOOSE.TXT", "rb")), "loose only");
  EXPECT_EQ(Contents(vfs.OpenNormalFile("shader.fx", "rb")), "<null>");
  EXPECT_EQ(Contents(vfs.OpenShaderFile("shader.fx", "rb")), "from the shader disk");
  EXPECT_EQ(Contents(vfs.OpenShaderFile("scenes\\level1.zks", "rb")), "first archive");

  EXPECT_EQ(vfs.LocateNormalFile("scenes\\level1.zks"), UINT(VFS_SOURCE_ARCHIVE));
  EXPECT_EQ(vfs.LocateNormalFile("loose.txt"), UINT(VFS_SOURCE_LOOSE_FILE));
  EXPECT_EQ(vfs.LocateNormalFile("shader.fx"), VFS_NOT_FOUND);
  EXPECT_EQ(vfs.LocateShaderFile("shader.fx"), UINT(VFS_SOURCE_ARCHIVE));
  // Locating inflates the zlib member once and gives its block back.
  EXPECT_TRUE(allocator.outstanding.empty());
  EXPECT_EQ(allocator.badFrees, 0);
}

TEST_F(VirtualFileSystemTest, TheEleventhNormalOpenFailsAndListsTheOpenFiles) {
  ZkzWriter writer;
  for (int i = 0; i < 11; ++i) writer.Add("file" + std::to_string(i), "data");
  writer.Write(folder / "many.zkz");
  ASSERT_EQ(vfs.AddVirtualDisk("many.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);

  std::vector<VFSFile*> open;
  for (int i = 0; i < 10; ++i)
    open.push_back(vfs.OpenNormalFile(("FILE" + std::to_string(i)).c_str(), "rb"));
  for (VFSFile* file : open) ASSERT_NE(file, nullptr);
  EXPECT_EQ(vfs.OpenNormalFile("file10", "rb"), nullptr);
  std::string expected = "ERROR! - All VFS Are Opened:\n";
  for (int i = 0; i < 10; ++i) expected += "  - file" + std::to_string(i) + "\n";
  EXPECT_EQ(Errors(), expected);

  // The shader pool is a pool of its own.
  VFSFile* shader = vfs.OpenShaderFile("file10", "rb");
  ASSERT_NE(shader, nullptr);
  EXPECT_EQ(ReadAll(shader), "data");

  open[3]->Close();
  EXPECT_EQ(Contents(vfs.OpenNormalFile("file10", "rb")), "data");
  for (VFSFile* file : open) file->Close();
  shader->Close();
  EXPECT_TRUE(allocator.outstanding.empty());
}

TEST_F(VirtualFileSystemTest, ADiskWithOpenFilesIsNotClosed) {
  folder.Write("data.zkr", Rar4Writer().Add("a.txt", "alpha").Add("b.txt", "beta").Bytes());
  ASSERT_EQ(vfs.AddVirtualDisk("data.zkr", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  VFSFile* a = vfs.OpenNormalFile("a.txt", "rb");
  VFSFile* b = vfs.OpenShaderFile("b.txt", "rb");
  ASSERT_TRUE(a && b);
  log.entries.clear();
  EXPECT_EQ(vfs.CloseVirtualDisk("data.zkr"), 0u);
  EXPECT_EQ(Errors(), "WARNING!!! - Can't Close Virtual Disk: data.zkr\n  - a.txt\n  - b.txt\n");
  EXPECT_EQ(ReadAll(a), "alpha");  // still served from the disk
  a->Close();
  b->Close();
  EXPECT_EQ(vfs.CloseVirtualDisk("data.zkr"), 1u);
}

TEST_F(VirtualFileSystemTest, ServesMembersFromTheEnginesPageAllocator) {
  CPageAllocator* pageAllocator = CPageAllocator::Create(&log, 1 << 20, 64, nullptr);
  ASSERT_NE(pageAllocator, nullptr);
  {
    CVirtualFileSystem engineVfs(&log, pageAllocator, nullptr);
    std::string text = "line one\r\nline two\r\n";
    ZkzWriter().Add("text.txt", text).Write(folder / "data.zkz");
    ASSERT_EQ(engineVfs.AddVirtualDisk("data.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);
    for (int round = 0; round < 3; ++round) {
      VFSFile* file = engineVfs.OpenNormalFile("text.txt", "rb");
      ASSERT_NE(file, nullptr);
      char line[32];
      EXPECT_STREQ(file->Gets(line, sizeof line), "line one\n");
      EXPECT_STREQ(file->Gets(line, sizeof line), "line two\n");
      EXPECT_EQ(file->Gets(line, sizeof line), nullptr);
      EXPECT_EQ(file->Close(), 1);
    }
    // Every block went back: the whole page can be taken again.
    void* all = pageAllocator->AllocateMemory((1 << 20) - 16);
    EXPECT_NE(all, nullptr);
    pageAllocator->DeleteMemory(all);
  }
  delete pageAllocator;
  EXPECT_EQ(Errors(), "");
}

TEST(VirtualFileSystemModule, TheCreatorMakesOneFileSystem) {
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystemInterface* vfs = CreateVirtualFileSystem(&log, &allocator, nullptr);
  ASSERT_NE(vfs, nullptr);
  EXPECT_EQ(CreateVirtualFileSystem(&log, &allocator, nullptr), vfs);
  EXPECT_EQ(GetVirtualFileSystem(), vfs);
  EXPECT_EQ(vfs->Deinitialize(), 1u);
}

}  // namespace
