#include "FuzzHarness.h"

#include "D3DTestDevice.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// The exit hook must not return: a returning hook lets the process exit for real.
[[noreturn]] void ThrowExit(UINT code) { throw ProcessExited{code}; }

}  // namespace

FuzzHarness& FuzzHarness::Instance() {
  static FuzzHarness harness;
  return harness;
}

FuzzHarness::FuzzHarness() {
  // The same headless set-up as the test programs; a variable set by the caller wins.
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("ALSOFT_DRIVERS", "null", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  setenv("LP_NUM_THREADS", "1", 0);

  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zkfuzz.XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("zkfuzz: working folder");
    std::abort();
  }
  m_folder = pattern;
  // The platform's registry, shell folders and lock files stay inside the working folder too.
  setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
  setenv("XDG_DATA_HOME", m_folder.c_str(), 1);
  ZkTestSetLockFolder(m_folder.c_str());
  ZkTestSetExitHook(ThrowExit);
}

FuzzHarness::~FuzzHarness() {
  std::error_code ignored;
  std::filesystem::remove_all(m_folder, ignored);
}

void FuzzHarness::WriteFile(const std::string& relative, const uint8_t* data, size_t size) const {
  FILE* file = std::fopen((m_folder + "/" + relative).c_str(), "wb");
  if (file == nullptr) {
    std::perror(relative.c_str());
    std::abort();
  }
  const bool written = size == 0 || std::fwrite(data, size, 1, file) == 1;
  if (std::fclose(file) != 0 || !written) {
    std::perror(relative.c_str());
    std::abort();
  }
}

IDirect3DDevice9* FuzzHarness::NullDevice() {
  if (m_device == nullptr) {
    // Kept for the process: a device per input would cost more than most inputs.
    static CD3DTestDevice device(ZK_D3D_BACKEND_NULL);
    if (!device.ok()) {
      std::fprintf(stderr, "zkfuzz: no null device (0x%08X)\n", unsigned(device.result()));
      std::abort();
    }
    m_device = device.get();
  }
  return m_device;
}
