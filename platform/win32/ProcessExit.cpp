// The one way out of the process.
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "windows.h"
#include "zktest/ZkTestKernel.h"

namespace {

std::atomic<ZkExitHook> g_exitHook{nullptr};

}  // namespace

void ExitProcess(UINT uExitCode) {
  if (ZkExitHook hook = g_exitHook.load()) hook(uExitCode);
  // Other threads may still be using what static destructors would tear down, so the process
  // ends without running them, as on the original platform; only buffered output is saved.
  std::fflush(nullptr);
  _exit(static_cast<int>(uExitCode));
}

void ZkTestSetExitHook(ZkExitHook hook) { g_exitHook.store(hook); }
