#include "FuzzHarness.h"

#include "D3DTestDevice.h"
#include "zktest/ZkTestD3D.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

  // In memory where the machine has it: every input is written to a file and read back.
  const char* tmp = std::getenv("TMPDIR");
  const char* parent = tmp != nullptr && *tmp != '\0'          ? tmp
                       : std::filesystem::is_directory("/dev/shm") ? "/dev/shm"
                                                                 : "/tmp";
  std::string pattern = std::string(parent) + "/zkfuzz.XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("zkfuzz: working folder");
    std::abort();
  }
  m_folder = pattern;
  m_home = std::filesystem::current_path().string();
  // The platform's registry, shell folders and lock files stay inside the working folder too.
  setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
  setenv("XDG_DATA_HOME", m_folder.c_str(), 1);
  ZkTestSetLockFolder(m_folder.c_str());
  ZkTestSetExitHook(ThrowExit);
}

FuzzHarness::~FuzzHarness() {
  for (const auto& [path, file] : m_files) close(file.descriptor);
  std::error_code ignored;
  std::filesystem::remove_all(m_folder, ignored);
}

void FuzzHarness::WriteFile(const std::string& relative, const uint8_t* data, size_t size) {
  const std::string path = m_folder + "/" + relative;
  auto found = m_files.find(relative);
  // A reader that saves by renaming a new file over the old one leaves the kept descriptor on
  // a file no longer in the folder.
  struct stat named {};
  if (found != m_files.end() && (stat(path.c_str(), &named) != 0 || named.st_ino != found->second.inode)) {
    close(found->second.descriptor);
    m_files.erase(found);
    found = m_files.end();
  }
  if (found == m_files.end()) {
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT, 0644);
    if (descriptor < 0 || fstat(descriptor, &named) != 0) {
      std::perror(relative.c_str());
      std::abort();
    }
    found = m_files.emplace(relative, OpenFile{descriptor, named.st_ino}).first;
  }
  const int descriptor = found->second.descriptor;
  size_t written = 0;
  while (written < size) {
    const ssize_t count = pwrite(descriptor, data + written, size - written, off_t(written));
    if (count <= 0) break;
    written += size_t(count);
  }
  if (written != size || ftruncate(descriptor, off_t(size)) != 0) {
    std::perror(relative.c_str());
    std::abort();
  }
}

void FuzzHarness::EnterFolder() const {
  if (chdir(m_folder.c_str()) != 0) {
    std::perror("zkfuzz: working folder");
    std::abort();
  }
}

void FuzzHarness::LeaveFolder() const {
  if (chdir(m_home.c_str()) != 0) {
    std::perror("zkfuzz: the caller's folder");
    std::abort();
  }
}

void FuzzHarness::ForgetRecords() {
  ZkTestMessageBoxCapture(true);
  ZkTestD3DClearCalls();
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
