#pragma once
// What every archive back end shares: the disk's name and kind, the engine log and the member
// table of ArchiveEntry records with its lookup. A back end fills the table when it mounts and
// says how a member's data is given out and taken back.
#include <vector>

#include "ZKDXInterface.h"
#include "vfs/ArchiveEntry.h"
#include "vfs/VFSNames.h"

class CEngineLog;

class CArchiveDisk : public CVirtualDiskInterface {
 public:
  UINT GetNumberOfFiles() override;
  // The first member whose stored name equals `name` lowered; -1 when none does.
  int FindFile(const char* name) override;
  // Null, 0 or 0 for an index past the table.
  const char* GetFileName(UINT index) override;
  UINT GetFileLength(UINT index) override;
  UINT GetPackedSize(UINT index) override;
  UINT IsAvailable() override;
  UINT GetDiskKind() override;
  const char* GetDiskName() override;

 protected:
  // `name` is kept as given (the file system hands it over lowered), cut to the name buffer.
  CArchiveDisk(CEngineLog* log, const char* name, UINT diskKind);

  // For back ends that unpack every member at mount time into blocks of the C heap: frees
  // each record's data and empties the table.
  void FreeMemberData();

  // The record at `index`, or null past the table.
  ArchiveEntry* Entry(UINT index);

  CEngineLog* m_log;
  char m_name[kVFSNameSize];
  UINT m_diskKind;
  std::vector<ArchiveEntry> m_entries;
};
