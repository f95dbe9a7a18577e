#include "framework/FileExists.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "LogFolder.h"
#include "RecordingCorePort.h"
#include "TestZeKorbInterface.h"
#include "ZkzWriter.h"
#include "framework/EngineGlobals.h"

namespace {

class FileExistsTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    g_pZeKorb = &m_top;
    m_folder.Write("Data/Levels/Config.XML", "<Level/>");
    std::filesystem::create_directories(m_folder / "Data/Empty");
    ZkzWriter().Add("packed.xml", "<Packed/>").Write(m_folder / "test.zkz");
    ASSERT_NE(m_top.GetVFSInterface()->AddVirtualDisk("test.zkz", VFS_DISK_DATA, 0, 0, nullptr),
              VFS_NOT_FOUND);
  }
  void TearDown() override {
    // The engine's file system outlives the test; the archive must not.
    m_top.GetVFSInterface()->CloseVirtualDisk("test.zkz");
    g_pZeKorb = nullptr;
    LogFolder::TearDown();
  }

  CTestZeKorbInterface m_top;
};

}  // namespace

TEST_F(FileExistsTest, LooseFilesAndArchiveMembers) {
  CRecordingCorePort core;
  struct Case {
    const char* path;
    bool exists;
  };
  const Case cases[] = {
      {"Data/Levels/Config.XML", true},
      {"data\\levels\\config.xml", true},  // as the game writes paths
      {"DATA\\LEVELS\\CONFIG.XML", true},
      {"packed.xml", true},  // inside the mounted archive
      {"data\\levels\\missing.xml", false},
      {"", false},
      {nullptr, false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << (c.path ? c.path : "null");
}

TEST_F(FileExistsTest, TheEngineIsAskedOnlyOnceTheCoreAndTheEngineExist) {
  EXPECT_TRUE(FileExists("data\\levels\\config.xml"));
  EXPECT_FALSE(FileExists("data\\empty"));  // a folder is not a file
  EXPECT_FALSE(FileExists("packed.xml"));   // no core yet
  {
    CRecordingCorePort core;
    g_pZeKorb = nullptr;
    EXPECT_FALSE(FileExists("packed.xml"));  // no engine yet
    g_pZeKorb = &m_top;
    EXPECT_TRUE(FileExists("packed.xml"));
  }
}
