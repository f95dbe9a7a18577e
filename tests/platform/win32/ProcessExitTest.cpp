#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "windows.h"
#include "zktest/ZkTestKernel.h"

namespace {

struct ExitCalled {
  UINT code;
};

void ThrowExit(UINT code) { throw ExitCalled{code}; }

// A fatal path of the engine: it shows its box, then leaves.
int FatalPath() {
  MessageBoxA(nullptr, "Can't Init Console", "Error While Initializing", MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

TEST(ProcessExitTest, HookTurnsTheExitIntoAnExceptionTheTestCatches) {
  ZkTestMessageBoxCapture(true);
  ZkTestSetExitHook(ThrowExit);
  try {
    FatalPath();
    FAIL() << "ExitProcess returned";
  } catch (const ExitCalled& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
  ASSERT_EQ(ZkTestMessageBoxes().size(), 1u);
  EXPECT_EQ(ZkTestMessageBoxes()[0].text, "Can't Init Console");
  ZkTestSetExitHook(nullptr);
  ZkTestMessageBoxCapture(false);
}

TEST(ProcessExitTest, RealExitFlushesOutputAndEndsWithTheCode) {
  int output[2];
  ASSERT_EQ(pipe(output), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(output[1], STDOUT_FILENO);
    std::printf("buffered, no line end");  // still in stdio's buffer at the exit
    ExitProcess(3);
  }
  close(output[1]);
  std::string written;
  char buffer[64];
  ssize_t got;
  while ((got = read(output[0], buffer, sizeof(buffer))) > 0) written.append(buffer, got);
  close(output[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(written, "buffered, no line end");
}

}  // namespace
