#include "vfs/VFSFile.h"

#include <algorithm>
#include <cstring>

#include "core/EngineLog.h"
#include "core/FatalError.h"

namespace {

const char kSource[] = "AFile";

}  // namespace

CVFSFile::CVFSFile(CEngineLog* log) : m_log(log) { memset(m_name, 0, sizeof m_name); }

CVFSFile::~CVFSFile() { Close(); }

void CVFSFile::Reset() {
  memset(m_name, 0, sizeof m_name);
  m_data = nullptr;
  m_disk = nullptr;
  m_length = 0;
  m_position = 0;
  m_source = VFS_SOURCE_CLOSED;
  m_open = 0;
}

UINT CVFSFile::Open(CVirtualDiskInterface* disk, UINT index, int source, const char* name,
                    const char* mode) {
  if (m_open) return 0;
  if (source != VFS_SOURCE_ARCHIVE && source != VFS_SOURCE_LOOSE_FILE)
    FatalErrorWithTitle("Error While Loading File", "There's No Such File: %s", name ? name : "");
  Reset();
  if (!CopyLoweredName(m_name, sizeof m_name, name)) return 0;
  if (source == VFS_SOURCE_ARCHIVE) {
    if (!disk) {
      Reset();
      return 0;
    }
    BYTE* data = disk->GetFileData(index);
    UINT length = disk->GetFileLength(index);
    if (!data || !length) {
      // A zlib disk inflated the member into a block of its own; give it back.
      if (data) disk->ReleaseFileData(data);
      Reset();
      return 0;
    }
    m_disk = disk;
    m_data = data;
    m_length = length;
  } else {
    if (!m_looseFile.Open(m_name, mode)) {
      Reset();
      return 0;
    }
    m_length = m_looseFile.Length();
  }
  m_source = source;
  m_open = 1;
  return 1;
}

int CVFSFile::GetFileSource() { return m_source; }

UINT CVFSFile::GetFileLength() { return m_length; }

BYTE* CVFSFile::GetFileBuffer() { return m_data; }

const char* CVFSFile::GetFileName() { return m_name; }

UINT CVFSFile::Read(void* buffer, UINT size, UINT count) {
  if (m_source == VFS_SOURCE_LOOSE_FILE) return m_looseFile.Read(buffer, size, count);
  if (m_source != VFS_SOURCE_ARCHIVE || !buffer || size == 0) return 0;
  uint64_t wanted = uint64_t(size) * count;
  uint64_t bytes = std::min<uint64_t>(wanted, m_length - m_position);
  memcpy(buffer, m_data + m_position, bytes);
  m_position += UINT(bytes);
  return UINT(bytes / size);
}

UINT CVFSFile::Write(const void* buffer, UINT size, UINT count) {
  if (m_source == VFS_SOURCE_LOOSE_FILE) return m_looseFile.Write(buffer, size, count);
  if (m_source == VFS_SOURCE_ARCHIVE)
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR!!! - You Can't Save When Using Archive Files\n");
  return 0;
}

int CVFSFile::Getc() {
  if (m_source == VFS_SOURCE_LOOSE_FILE) return m_looseFile.Getc();
  if (m_source != VFS_SOURCE_ARCHIVE || m_position >= m_length) return -1;
  return m_data[m_position++];
}

int CVFSFile::PeekByte() {
  if (m_source == VFS_SOURCE_LOOSE_FILE) return m_looseFile.Peek();
  if (m_source != VFS_SOURCE_ARCHIVE || m_position >= m_length) return -1;
  return m_data[m_position];
}

char* CVFSFile::Gets(char* buffer, int count) {
  if (!m_open || !buffer || count < 1) return nullptr;
  int stored = 0;
  int c = 0;
  while (stored < count - 1 && (c = Getc()) != -1) {
    // A carriage return followed by a line feed is read as the line feed alone.
    if (c == '\r' && PeekByte() == '\n') c = Getc();
    buffer[stored++] = char(c);
    if (c == '\n') break;
  }
  if (stored == 0 && count > 1) return nullptr;
  buffer[stored] = 0;
  return buffer;
}

BYTE CVFSFile::Seek(LONG offset, int origin) {
  if (m_source == VFS_SOURCE_LOOSE_FILE) return BYTE(m_looseFile.Seek(offset, origin));
  if (m_source != VFS_SOURCE_ARCHIVE) return kSeekFailed;
  int64_t base;
  switch (origin) {
    case SEEK_SET:
      base = 0;
      break;
    case SEEK_CUR:
      base = m_position;
      break;
    case SEEK_END:
      base = m_length;
      break;
    default:
      return kSeekFailed;
  }
  int64_t target = base + offset;
  m_position = UINT(std::clamp<int64_t>(target, 0, m_length));
  return target == int64_t(m_position) ? 0 : kSeekFailed;
}

LONG CVFSFile::Tell() {
  if (m_source == VFS_SOURCE_LOOSE_FILE) return m_looseFile.Tell();
  if (m_source == VFS_SOURCE_ARCHIVE) return LONG(m_position);
  return -1;
}

int CVFSFile::Close() {
  int result;
  if (m_source == VFS_SOURCE_ARCHIVE) {
    if (m_disk && m_data) m_disk->ReleaseFileData(m_data);
    result = 1;
  } else if (m_source == VFS_SOURCE_LOOSE_FILE) {
    result = m_looseFile.Close();
  } else {
    return 0;
  }
  Reset();
  return result;
}
