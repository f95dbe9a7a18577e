#include "vfs/ArchiveDisk.h"

#include <cstdlib>
#include <cstring>

CArchiveDisk::CArchiveDisk(CEngineLog* log, const char* name, UINT diskKind)
    : m_log(log), m_diskKind(diskKind) {
  memset(m_name, 0, sizeof m_name);
  if (name) strncpy(m_name, name, sizeof m_name - 1);
}

ArchiveEntry* CArchiveDisk::Entry(UINT index) {
  return index < m_entries.size() ? &m_entries[index] : nullptr;
}

void CArchiveDisk::FreeMemberData() {
  for (ArchiveEntry& entry : m_entries) free(entry.data);
  m_entries.clear();
}

UINT CArchiveDisk::GetNumberOfFiles() { return UINT(m_entries.size()); }

int CArchiveDisk::FindFile(const char* name) {
  char lowered[ArchiveEntry::kNameSize];
  if (!CopyLoweredName(lowered, sizeof lowered, name)) return -1;
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (strcmp(m_entries[i].name, lowered) == 0) return int(i);
  return -1;
}

const char* CArchiveDisk::GetFileName(UINT index) {
  ArchiveEntry* entry = Entry(index);
  return entry ? entry->name : nullptr;
}

UINT CArchiveDisk::GetFileLength(UINT index) {
  ArchiveEntry* entry = Entry(index);
  return entry ? entry->uncompressedSize : 0;
}

UINT CArchiveDisk::GetPackedSize(UINT index) {
  ArchiveEntry* entry = Entry(index);
  return entry ? entry->compressedSize : 0;
}

UINT CArchiveDisk::IsAvailable() { return 1; }

UINT CArchiveDisk::GetDiskKind() { return m_diskKind; }

const char* CArchiveDisk::GetDiskName() { return m_name; }
