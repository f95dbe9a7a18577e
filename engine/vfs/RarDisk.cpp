#include "vfs/RarDisk.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/EngineLog.h"
#include "unrar.h"

namespace {

const char kSource[] = "Rar";

static_assert(sizeof CRarDisk::kDefaultPassword == 28, "the default password is 27 characters");

// The callback's user word: 0 while counting, 2 while unpacking, when data is kept.
enum : UINT { kPassCount = 0, kPassUnpack = 2 };

// What the callback works on during one pass of one mount. Each mount passes its own, so no
// state is shared between disks.
struct UnpackTarget {
  UINT pass;
  const char* password;
  BYTE* buffer = nullptr;
  uint64_t capacity = 0;
  // Every byte the library delivered, including those beyond the capacity, so that a member
  // that unpacks to more than its recorded size shows up as a size mismatch.
  uint64_t written = 0;
};

int CALLBACK UnpackCallback(UINT message, LPARAM userData, LPARAM first, LPARAM second) {
  UnpackTarget* target = reinterpret_cast<UnpackTarget*>(userData);
  if (!target) return 0;
  if (message == UCM_PROCESSDATA && target->pass == kPassUnpack) {
    uint64_t count = second > 0 ? uint64_t(second) : 0;
    if (target->written < target->capacity) {
      uint64_t room = target->capacity - target->written;
      memcpy(target->buffer + target->written, reinterpret_cast<const void*>(first),
             count < room ? count : room);
    }
    target->written += count;
  } else if (message == UCM_NEEDPASSWORD && first && second > 0) {
    char* answer = reinterpret_cast<char*>(first);
    snprintf(answer, size_t(second), "%s", target->password ? target->password : "NULL");
  }
  return 0;
}

// Opens the archive in `mode` with the callback on `target`; null when the library refuses.
HANDLE OpenArchive(char* name, UINT mode, UnpackTarget* target) {
  RAROpenArchiveDataEx open = {};
  open.ArcName = name;
  open.OpenMode = mode;
  HANDLE archive = RAROpenArchiveEx(&open);
  if (!archive) return nullptr;
  if (open.OpenResult != ERAR_SUCCESS) {
    RARCloseArchive(archive);
    return nullptr;
  }
  RARSetCallback(archive, UnpackCallback, reinterpret_cast<LPARAM>(target));
  return archive;
}

}  // namespace

CRarDisk::CRarDisk(CEngineLog* log, const char* name, UINT diskKind, const char* password)
    : CArchiveDisk(log, name, diskKind) {
  memset(m_password, 0, sizeof m_password);
  snprintf(m_password, sizeof m_password, "%s", password ? password : kDefaultPassword);
}

CRarDisk::~CRarDisk() { FreeMemberData(); }

UINT CRarDisk::GetArchiveType() { return VFS_ARCHIVE_RAR; }

BYTE* CRarDisk::GetFileData(UINT index) {
  ArchiveEntry* entry = Entry(index);
  return entry ? entry->data : nullptr;
}

UINT CRarDisk::ReleaseFileData(BYTE* /*data*/) { return 1; }

bool CRarDisk::Mount() {
  UINT count = 0;
  if (!CountMembers(&count)) return false;
  if (UnpackMembers(count)) return true;
  FreeMemberData();
  return false;
}

bool CRarDisk::CountMembers(UINT* count) {
  UnpackTarget target{kPassCount, m_password};
  HANDLE archive = OpenArchive(m_name, RAR_OM_LIST, &target);
  if (!archive) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Can't Open Archive: %s\n",
               m_name);
    return false;
  }
  RARHeaderData header = {};
  int result;
  while ((result = RARReadHeader(archive, &header)) == ERAR_SUCCESS) {
    ++*count;
    int processed = RARProcessFile(archive, RAR_SKIP, nullptr, nullptr);
    if (processed != ERAR_SUCCESS) {
      m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
                 "ERROR! - Error When Unpacking: %s  (%i)\n", m_name, processed);
      RARCloseArchive(archive);
      return false;
    }
  }
  RARCloseArchive(archive);
  if (result == ERAR_BAD_DATA) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Error When Unpacking: %s (%i)\n", m_name, result);
    return false;
  }
  return true;
}

bool CRarDisk::UnpackMembers(UINT count) {
  try {
    m_entries.assign(count, ArchiveEntry());
  } catch (const std::bad_alloc&) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Can't Allocate Memory For Archive Structure: %s\n", m_name);
    return false;
  }
  m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "- Archive %s Contains %i Files\n", m_name,
             int(count));

  UnpackTarget target{kPassUnpack, m_password};
  HANDLE archive = OpenArchive(m_name, RAR_OM_EXTRACT, &target);
  if (!archive) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Can't Open Archive: %s\n",
               m_name);
    return false;
  }
  RARHeaderData header = {};
  UINT unpacked = 0;
  int result;
  while ((result = RARReadHeader(archive, &header)) == ERAR_SUCCESS) {
    // The archive changed between the passes: more members than were counted.
    if (unpacked == count) {
      result = ERAR_BAD_DATA;
      break;
    }
    ArchiveEntry& entry = m_entries[unpacked];
    header.FileName[sizeof header.FileName - 1] = 0;
    snprintf(entry.name, sizeof entry.name, "%s", header.FileName);
    LowerAsciiInPlace(entry.name);
    entry.compressedSize = header.PackSize;
    entry.uncompressedSize = header.UnpSize;
    // Directories and empty members unpack to nothing but still get a block of their own.
    entry.data = static_cast<BYTE*>(malloc(header.UnpSize ? header.UnpSize : 1));
    if (!entry.data) {
      m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
                 "ERROR! - Can't Allocate Memory For File: %s - %s\n", m_name, entry.name);
      RARCloseArchive(archive);
      return false;
    }
    ++unpacked;
    target.buffer = entry.data;
    target.capacity = header.UnpSize;
    target.written = 0;
    int processed = RARProcessFile(archive, RAR_TEST, nullptr, nullptr);
    if (target.written != header.UnpSize) {
      m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Size Mismatch: %s - %s\n",
                 m_name, entry.name);
      RARCloseArchive(archive);
      return false;
    }
    if (processed != ERAR_SUCCESS) {
      m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Error When Unpacking: %s\n",
                 m_name);
      RARCloseArchive(archive);
      return false;
    }
  }
  RARCloseArchive(archive);
  if (result == ERAR_BAD_DATA || unpacked != count) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Error When Unpacking: %s\n",
               m_name);
    return false;
  }
  return true;
}
