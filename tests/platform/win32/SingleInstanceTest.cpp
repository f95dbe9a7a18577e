#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "TempDir.h"
#include "windows.h"
#include "zkplatform/ZkPaths.h"
#include "zktest/ZkTestKernel.h"

extern char** environ;

namespace {

// The probe program beside this test, started as a second process.
class Probe {
 public:
  Probe(const std::string& lockFolder, const char* name, const char* mode) {
    int toChild[2];
    int fromChild[2];
    // Close-on-exec, so that the probe holds only the ends it was given.
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
      throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    const std::string program = ZkProgramFolder() + "/zk_single_instance_probe";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(lockFolder.c_str()),
                    const_cast<char*>(name), const_cast<char*>(mode), nullptr};
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
      throw std::runtime_error("cannot start " + program);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    m_input = toChild[1];
    m_output = fromChild[0];
  }
  ~Probe() {
    if (m_pid > 0) Finish();
  }

  std::string ReadLine() {
    std::string line;
    char c;
    while (read(m_output, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  // Closes its input and returns its exit code.
  int Finish() {
    close(m_input);
    close(m_output);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t m_pid = -1;
  int m_input = -1;
  int m_output = -1;
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
