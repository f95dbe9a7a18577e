#pragma once
// A virtual disk over an ACE archive (extension "zka"). The whole archive is unpacked into the
// disk's own member table when it is mounted; members are then served from memory and live as
// long as the disk does.
#include "ZKDXInterface.h"
#include "vfs/AceMemberTable.h"

class CEngineLog;

class CAceDisk : public CVirtualDiskInterface {
 public:
  static constexpr size_t kNameSize = 256;

  // Mounts the archive found `length` bytes from `offset` on in the file `name` (length 0: to
  // the end of the file). `*mounted` becomes 1 when it held members, else 0.
  CAceDisk(CEngineLog* log, const char* name, UINT diskKind, UINT offset, UINT length,
           UINT* mounted);

  UINT GetNumberOfFiles() override;
  int FindFile(const char* name) override;
  const char* GetFileName(UINT index) override;
  UINT GetFileLength(UINT index) override;
  UINT GetPackedSize(UINT index) override;
  BYTE* GetFileData(UINT index) override;
  UINT ReleaseFileData(BYTE* data) override;
  UINT IsAvailable() override;
  UINT GetArchiveType() override;
  UINT GetDiskKind() override;
  const char* GetDiskName() override;

 private:
  char m_name[kNameSize] = {};
  CEngineLog* m_log;
  UINT m_diskKind;
  CAceMemberTable m_table;
};
