#include "vfs/RarDisk.h"

#include <algorithm>
#include <cstdint>
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

// A member's buffer starts at most this large and grows as its data arrives: the size a header
// claims is only a claim, and a few bytes of archive may claim gigabytes.
constexpr uint64_t kFirstBlock = 64 * 1024;

// What the callback works on during one pass of one mount. Each mount passes its own, so no
// state is shared between disks.
struct UnpackTarget {
  UINT pass;
  const char* password;
  BYTE* buffer = nullptr;
  uint64_t capacity = 0;
  // The member's recorded size: bytes beyond it are counted, never kept.
  uint64_t expected = 0;
  // Every byte the library delivered, including those beyond the recorded size, so that a
  // member that unpacks to more shows up as a size mismatch.
  uint64_t written = 0;
  bool outOfMemory = false;
};

// Makes room for `needed` bytes, at least doubling and never past the recorded size. A failure
// keeps the old buffer and stops the keeping of data.
void GrowBuffer(UnpackTarget& target, uint64_t needed) {
  const uint64_t capacity = std::min(target.expected, std::max(needed, target.capacity * 2));
  void* grown = capacity <= SIZE_MAX ? realloc(target.buffer, size_t(capacity)) : nullptr;
  if (grown == nullptr) {
    target.outOfMemory = true;
    return;
  }
  target.buffer = static_cast<BYTE*>(grown);
  target.capacity = capacity;
}

int CALLBACK UnpackCallback(UINT message, LPARAM userData, LPARAM first, LPARAM second) {
  UnpackTarget* target = reinterpret_cast<UnpackTarget*>(userData);
  if (!target) return 0;
  if (message == UCM_PROCESSDATA && target->pass == kPassUnpack) {
    uint64_t count = second > 0 ? uint64_t(second) : 0;
    const uint64_t kept = std::min(target->expected, target->written + count);
    if (kept > target->capacity && !target->outOfMemory) GrowBuffer(*target, kept);
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
    const uint64_t first = std::clamp<uint64_t>(header.UnpSize, 1, kFirstBlock);
    entry.data = static_cast<BYTE*>(malloc(size_t(first)));
    auto noMemory = [&] {
      m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
                 "ERROR! - Can't Allocate Memory For File: %s - %s\n", m_name, entry.name);
      RARCloseArchive(archive);
      return false;
    };
    if (!entry.data) return noMemory();
    ++unpacked;
    target.buffer = entry.data;
    target.capacity = first;
    target.expected = header.UnpSize;
    target.written = 0;
    target.outOfMemory = false;
    int processed = RARProcessFile(archive, RAR_TEST, nullptr, nullptr);
    // Growing may have moved the block; the entry frees whichever it holds last.
    entry.data = target.buffer;
    if (target.outOfMemory) return noMemory();
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
