#include "TestZeKorbInterface.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>

#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "zktest/ZkTestClock.h"

namespace {

TEST(TestZeKorbInterface, ServesTheEnginesFileSystemAndTimers) {
  CTestZeKorbInterface top;
  TempDir folder;
  WorkingFolderScope scope(folder.Path());
  folder.Write("Data/Text.txt", "hello");
  VFSFile* file = top.GetVFSInterface()->OpenNormalFile("data\\text.txt", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetFileLength(), 5u);
  file->Close();

  ZkTestClockSetManual(1000000);
  std::unique_ptr<CTimerInterface> timer(top.CreateTimer());
  ZkTestClockAdvance(1500000);
  EXPECT_FLOAT_EQ(timer->GetTime(), 1.5f);
  ZkTestClockSetReal();
  EXPECT_EQ(top.calls, (std::vector<std::string>{"GetVFSInterface", "CreateTimer"}));
}

TEST(TestZeKorbInterface, AnUnservedSlotFailsTheTest) {
  CTestZeKorbInterface top;
  EXPECT_NONFATAL_FAILURE(top.GetActiveScene(), "GetActiveScene");
  EXPECT_NONFATAL_FAILURE(top.ErrorMessage("Title", "code %d", 7), "ErrorMessage");
  EXPECT_EQ(top.errors, std::vector<std::string>{"Title: code 7"});
  EXPECT_EQ(top.calls, (std::vector<std::string>{"GetActiveScene", "ErrorMessage"}));
}

}  // namespace
