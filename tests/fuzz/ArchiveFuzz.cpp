// Archives mounted as the engine mounts its virtual disks: the input is written as an archive
// of the kind ZK_FUZZ_ARCHIVE names ("zkz", "zka" or "zkr", each a target of its own), mounted
// through the virtual file system, and every member opened, read and closed through it. Every
// block a disk takes from the engine's allocator must be given back once, by the time the
// disk is unmounted.
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFileBench.h"
#include "FuzzHarness.h"

#ifndef ZK_FUZZ_ARCHIVE
#error "ZK_FUZZ_ARCHIVE names the archive kind"
#endif

namespace {

constexpr char kArchive[] = "fuzz." ZK_FUZZ_ARCHIVE;
// Enough members to reach every path; more only repeat them.
constexpr UINT kMostMembers = 32;

void ReadMember(VFSFile* file) {
  std::vector<uint8_t> bytes(file->GetFileLength());
  file->Read(bytes.data(), 1, static_cast<UINT>(bytes.size()));
  file->Seek(0, 0);
  char line[64];
  while (file->Gets(line, sizeof line) != nullptr) {
  }
  file->Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile(kArchive, data, size);
  harness.Run([] {
    FuzzFileBench bench;
    CVirtualFileSystem& vfs = bench.vfs;
    const UINT slot = vfs.AddVirtualDisk(kArchive, VFS_DISK_DATA, 0, 0, "password");
    if (slot == VFS_NOT_FOUND) return;
    CVirtualDiskInterface* disk = vfs.GetDisk(slot);
    const UINT members = disk->GetNumberOfFiles();
    for (UINT i = 0; i < members && i < kMostMembers; ++i) {
      const char* name = disk->GetFileName(i);
      if (name == nullptr) continue;
      if (VFSFile* file = vfs.OpenNormalFile(std::string(name).c_str(), "rb")) ReadMember(file);
    }
    if (vfs.CloseVirtualDisk(kArchive) != 1 || !bench.allocator.outstanding.empty() ||
        bench.allocator.badFrees != 0)
      std::abort();
  });
  return 0;
}
