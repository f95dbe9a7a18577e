#include <gtest/gtest.h>

#include <string>

#include "ProbeProcess.h"
#include "TempDir.h"
#include "windows.h"
#include "zkplatform/ZkPaths.h"
#include "zktest/ZkTestKernel.h"

namespace {

// The probe program beside this test, started as a second process.
class Probe : public ProbeProcess {
 public:
  Probe(const std::string& lockFolder, const char* name, const char* mode)
      : ProbeProcess(ZkProgramFolder() + "/zk_single_instance_probe", {lockFolder, name, mode}) {}
};

constexpr int kCreated = 0;
constexpr int kExisted = 3;

TEST(SingleInstanceTest, SecondProcessFindsTheNameTakenUntilTheFirstLetsGo) {
  TempDir locks;
  ZkTestSetLockFolder(locks.Path().c_str());
  HANDLE mine = CreateMutexA(nullptr, TRUE, "ZeKorb_mutex");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

  EXPECT_EQ(Probe(locks.Path(), "ZeKorb_mutex", "probe").Finish(), kExisted);
  EXPECT_EQ(Probe(locks.Path(), "Other_mutex", "probe").Finish(), kCreated);

  ASSERT_TRUE(CloseHandle(mine));
  EXPECT_EQ(Probe(locks.Path(), "ZeKorb_mutex", "probe").Finish(), kCreated);
}

TEST(SingleInstanceTest, FirstProcessHoldsTheNameUntilItEnds) {
  TempDir locks;
  ZkTestSetLockFolder(locks.Path().c_str());
  Probe first(locks.Path(), "ZeKorb_mutex", "hold");
  ASSERT_EQ(first.ReadLine(), "created");

  HANDLE second = CreateMutexA(nullptr, TRUE, "ZeKorb_mutex");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(second);

  EXPECT_EQ(first.Finish(), kCreated);  // the lock goes with the process
  HANDLE third = CreateMutexA(nullptr, TRUE, "ZeKorb_mutex");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(third);
}

TEST(SingleInstanceTest, SameNameInOneProcessIsTheSameMutex) {
  TempDir locks;
  ZkTestSetLockFolder(locks.Path().c_str());
  HANDLE first = CreateMutexA(nullptr, TRUE, "Global\\Shared");
  HANDLE second = CreateMutexA(nullptr, FALSE, "Global\\Shared");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  // One object: the creating thread owns it through either handle.
  EXPECT_TRUE(ReleaseMutex(second));
  EXPECT_FALSE(ReleaseMutex(first));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  CloseHandle(first);
  CloseHandle(second);
}

}  // namespace
