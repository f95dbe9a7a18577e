#include "vfs/AceDisk.h"

#include <cstring>

#include "core/EngineLog.h"

namespace {
const char kSource[] = "Ace";
}

CAceDisk::CAceDisk(CEngineLog* log, const char* name, UINT diskKind, UINT offset, UINT length,
                   UINT* mounted)
    : m_log(log), m_diskKind(diskKind) {
  if (name) strncpy(m_name, name, kNameSize - 1);
  const unsigned count = m_table.Build(log, m_name, offset, length);
  if (count == 0 && m_log)
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Can't Open ACE Archive: %s\n",
               m_name);
  if (mounted) *mounted = count != 0 ? 1 : 0;
}

UINT CAceDisk::GetNumberOfFiles() { return m_table.GetCount(); }

int CAceDisk::FindFile(const char* name) { return m_table.Find(name); }

const char* CAceDisk::GetFileName(UINT index) { return m_table.GetName(index); }

UINT CAceDisk::GetFileLength(UINT index) { return m_table.GetSize(index); }

// Members are unpacked at the mount; no packed size is kept.
UINT CAceDisk::GetPackedSize(UINT) { return 0; }

BYTE* CAceDisk::GetFileData(UINT index) { return m_table.GetData(index); }

// The data belongs to the disk until it is closed.
UINT CAceDisk::ReleaseFileData(BYTE*) { return 1; }

UINT CAceDisk::IsAvailable() { return 1; }

UINT CAceDisk::GetArchiveType() { return VFS_ARCHIVE_ACE; }

UINT CAceDisk::GetDiskKind() { return m_diskKind; }

const char* CAceDisk::GetDiskName() { return m_name; }
