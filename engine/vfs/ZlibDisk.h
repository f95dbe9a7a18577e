#pragma once
// The engine's own archive ("zkz"): the signature "ZK3D", a header block that is skipped, the
// member count and a zlib-compressed table of 2072-byte ArchiveEntry records; each member is a
// zlib stream of its own, inflated into a block of the engine's page allocator every time it
// is opened and given back when its file is closed.
#include <cstdint>
#include <cstdio>

#include "vfs/ArchiveDisk.h"

class CZlibDisk final : public CArchiveDisk {
 public:
  static constexpr char kSignature[5] = "ZK3D";
  // Room behind a member's recorded size, so that a stream that inflates to more is noticed.
  static constexpr uint32_t kInflateSlack = 16384;

  CZlibDisk(CEngineLog* log, ZKAllocatorInterface* allocator, const char* name, UINT diskKind);
  ~CZlibDisk() override;
  CZlibDisk(const CZlibDisk&) = delete;
  CZlibDisk& operator=(const CZlibDisk&) = delete;

  // Opens the archive named at construction and reads its member table; false (logged) when
  // the archive cannot be used.
  bool Mount();

  // A block from the allocator holding the member inflated, or null (logged).
  BYTE* GetFileData(UINT index) override;
  UINT ReleaseFileData(BYTE* data) override;
  UINT GetArchiveType() override;

 private:
  bool ReadMemberTable();
  // Reads `size` bytes at `offset` into `buffer`; false when the file is shorter.
  bool ReadAt(uint64_t offset, void* buffer, uint64_t size);

  ZKAllocatorInterface* m_allocator;
  FILE* m_stream = nullptr;
  uint64_t m_fileLength = 0;
};
