#include "vfs/ZlibDisk.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>

#include "core/EngineLog.h"
#include "zkplatform/ZkPaths.h"

namespace {

const char kSource[] = "Zlib";

uint32_t ReadLittleEndian32(const BYTE* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
         uint32_t(bytes[3]) << 24;
}

// Deflate never compresses better than 1032 to 1, so a table cannot inflate to more than this
// from `packedBytes`; a member count that needs more is a damaged or hostile header.
constexpr uint64_t kMaxDeflateRatio = 1032;

}  // namespace

CZlibDisk::CZlibDisk(CEngineLog* log, ZKAllocatorInterface* allocator, const char* name,
                     UINT diskKind)
    : CArchiveDisk(log, name, diskKind), m_allocator(allocator) {}

CZlibDisk::~CZlibDisk() {
  if (m_stream) fclose(m_stream);
}

UINT CZlibDisk::GetArchiveType() { return VFS_ARCHIVE_ZLIB; }

bool CZlibDisk::ReadAt(uint64_t offset, void* buffer, uint64_t size) {
  if (offset > m_fileLength || size > m_fileLength - offset) return false;
  if (fseeko(m_stream, off_t(offset), SEEK_SET) != 0) return false;
  return fread(buffer, 1, size, m_stream) == size;
}

bool CZlibDisk::Mount() {
  m_stream = ZkFileOpen(m_name, "rb");
  if (!m_stream) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Can't Open Archive File: %s\n",
               m_name);
    return false;
  }
  if (fseeko(m_stream, 0, SEEK_END) == 0) {
    off_t end = ftello(m_stream);
    m_fileLength = end > 0 ? uint64_t(end) : 0;
  }
  BYTE signature[4];
  if (!ReadAt(0, signature, sizeof signature) || memcmp(signature, kSignature, 4) != 0) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR! - Incorrect Signature In: %s\n",
               m_name);
    return false;
  }
  if (!ReadMemberTable()) {
    m_entries.clear();
    return false;
  }
  return true;
}

bool CZlibDisk::ReadMemberTable() {
  BYTE word[4];
  uint64_t headerLength = 0;
  uint32_t count = 0;
  bool headerRead = ReadAt(4, word, 4);
  if (headerRead) headerLength = ReadLittleEndian32(word);
  // The count follows the skipped header block; the compressed table runs to the end.
  uint64_t countOffset = 8 + headerLength;
  if (!headerRead || !ReadAt(countOffset, word, 4)) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Incorrect Number Of Files: %s\n", m_name);
    return false;
  }
  count = ReadLittleEndian32(word);
  uint64_t packedOffset = countOffset + 4;
  uint64_t packedLength = m_fileLength - packedOffset;
  uint64_t tableLength = uint64_t(count) * ArchiveEntry::kFileSize;
  if (tableLength > packedLength * kMaxDeflateRatio || packedLength > uLong(-1)) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Incorrect Number Of Files: %s\n", m_name);
    return false;
  }

  // Both sizes are the archive's claims: too large is a bad archive, reported and refused.
  std::unique_ptr<BYTE[]> packed(new (std::nothrow) BYTE[packedLength ? packedLength : 1]);
  // One record of room more than N, so that a table holding more records is noticed.
  uint64_t capacity = tableLength + ArchiveEntry::kFileSize;
  std::unique_ptr<BYTE[]> table(new (std::nothrow) BYTE[capacity]);
  if (!packed || !table) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Can't Allocate Memory For Archive Structure: %s\n", m_name);
    return false;
  }
  if (!ReadAt(packedOffset, packed.get(), packedLength)) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Incorrect Number Of Files: %s\n", m_name);
    return false;
  }
  uLongf inflatedLength = uLongf(capacity);
  int result = uncompress(table.get(), &inflatedLength, packed.get(), uLong(packedLength));
  if (result != Z_OK || inflatedLength != tableLength) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Incorrect Number Of Files: %s\n", m_name);
    return false;
  }

  m_entries.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    const BYTE* record = table.get() + uint64_t(i) * ArchiveEntry::kFileSize;
    ArchiveEntry& entry = m_entries[i];
    memcpy(entry.name, record + ArchiveEntry::kNameOffset, ArchiveEntry::kNameSize);
    // A stored name may fill its field without a terminator.
    entry.name[ArchiveEntry::kNameSize - 1] = 0;
    LowerAsciiInPlace(entry.name);
    entry.dataOffset = ReadLittleEndian32(record + ArchiveEntry::kDataOffsetOffset);
    entry.uncompressedSize = ReadLittleEndian32(record + ArchiveEntry::kUncompressedSizeOffset);
    entry.compressedSize = ReadLittleEndian32(record + ArchiveEntry::kCompressedSizeOffset);
  }
  return true;
}

BYTE* CZlibDisk::GetFileData(UINT index) {
  ArchiveEntry* entry = Entry(index);
  if (!entry || !m_stream || !m_allocator) return nullptr;
  uint64_t blockSize = uint64_t(entry->uncompressedSize) + kInflateSlack;
  if (entry->compressedSize == 0 || blockSize > UINT(-1)) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Incorrect Uncompressed Size: %s (%i - %i)\n", entry->name, 0,
               int(entry->uncompressedSize));
    return nullptr;
  }
  BYTE* packed = static_cast<BYTE*>(m_allocator->AllocateMemory(entry->compressedSize));
  if (!packed) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Can't Allocate Enuff Memory For: %s (%i)\n", entry->name,
               int(entry->compressedSize));
    return nullptr;
  }
  if (!ReadAt(entry->dataOffset, packed, entry->compressedSize)) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Can't Read File: %s (%i - %i)\n", entry->name, int(entry->dataOffset),
               int(entry->compressedSize));
    m_allocator->DeleteMemory(packed);
    return nullptr;
  }
  BYTE* data = static_cast<BYTE*>(m_allocator->AllocateMemory(UINT(blockSize)));
  if (!data) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Can't Allocate Enuff Memory For: %s (%i)\n", entry->name, int(blockSize));
    m_allocator->DeleteMemory(packed);
    return nullptr;
  }
  uLongf inflatedLength = uLongf(blockSize);
  int result = uncompress(data, &inflatedLength, packed, entry->compressedSize);
  m_allocator->DeleteMemory(packed);
  if (result != Z_OK || inflatedLength != entry->uncompressedSize) {
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "ERROR! - Incorrect Uncompressed Size: %s (%i - %i)\n", entry->name,
               int(inflatedLength), int(entry->uncompressedSize));
    m_allocator->DeleteMemory(data);
    return nullptr;
  }
  return data;
}

UINT CZlibDisk::ReleaseFileData(BYTE* data) {
  if (data && m_allocator) m_allocator->DeleteMemory(data);
  return 1;
}
