#pragma once
// Turns every process exit into an exception while it lives, so that a test can run a fatal path
// to its end and check the exit code, and message boxes into records that never wait.
#include <vector>

#include "zktest/ZkTestKernel.h"

struct ProcessExited {
  UINT code;
};

class ProcessExitCatcher {
 public:
  ProcessExitCatcher() {
    ZkTestSetExitHook([](UINT code) { throw ProcessExited{code}; });
    ZkTestMessageBoxCapture(true);
  }
  ~ProcessExitCatcher() {
    ZkTestSetExitHook(nullptr);
    ZkTestMessageBoxCapture(false);
  }
  ProcessExitCatcher(const ProcessExitCatcher&) = delete;
  ProcessExitCatcher& operator=(const ProcessExitCatcher&) = delete;

  std::vector<ZkTestMessageBox> Boxes() const { return ZkTestMessageBoxes(); }
};
