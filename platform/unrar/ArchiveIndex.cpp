#include "ArchiveIndex.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

bool ReadAt(FILE* file, uint64_t offset, void* out, size_t size) {
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 &&
         fread(out, 1, size, file) == size;
}

uint32_t Le(const unsigned char* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

// RAR 5's variable-length integer: 7 bits per byte, low bits first. False when it runs past
// `end` or beyond 64 bits.
bool ReadVint(const unsigned char*& p, const unsigned char* end, uint64_t& value) {
  value = 0;
  for (int shift = 0; p < end && shift < 64; shift += 7) {
    const unsigned char byte = *p++;
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if (!(byte & 0x80)) return true;
  }
  return false;
}

}  // namespace

CArchiveIndex::CArchiveIndex(const std::string& path) {
  std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path.c_str(), "rb"), &fclose);
  struct stat st;
  if (!file || fstat(fileno(file.get()), &st) != 0) return;
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  unsigned char signature[8] = {};
  if (!ReadAt(file.get(), 0, signature, sizeof signature)) return;
  bool complete = false;
  if (!memcmp(signature, "Rar!\x1A\x07\x00", 7))
    complete = ReadRar4(file.get(), size);
  else if (!memcmp(signature, "Rar!\x1A\x07\x01\x00", 8))
    complete = ReadRar5(file.get(), size);
  else if (!memcmp(signature, "PK", 2))
    complete = ReadZip(file.get(), size);
  // A walk that stopped early says nothing reliable about the order of the rest.
  if (!complete) m_entries.clear();
}

bool CArchiveIndex::ReadRar4(FILE* file, uint64_t fileSize) {
  constexpr unsigned kFileHead = 0x74, kEndHead = 0x7B, kLongBlock = 0x8000, kLargeFile = 0x0100;
  uint64_t at = 7;
  while (at + 7 <= fileSize) {
    unsigned char head[32 + 8];
    if (!ReadAt(file, at, head, 7)) return false;
    const unsigned type = head[2], flags = Le(head + 3, 2), headSize = Le(head + 5, 2);
    if (headSize < 7 || at + headSize > fileSize) return false;
    uint64_t dataSize = 0;
    if (type == kFileHead) {
      if (headSize < 32 || !ReadAt(file, at, head, std::min<size_t>(headSize, sizeof head)))
        return false;
      Entry entry;
      entry.packedSize = Le(head + 7, 4);
      entry.unpackedSize = Le(head + 11, 4);
      if (flags & kLargeFile) {
        if (headSize < 40) return false;
        entry.packedSize |= static_cast<uint64_t>(Le(head + 32, 4)) << 32;
        entry.unpackedSize |= static_cast<uint64_t>(Le(head + 36, 4)) << 32;
      }
      entry.hasCrc = true;
      entry.crc = Le(head + 16, 4);
      m_entries.push_back(entry);
      dataSize = entry.packedSize;
    } else if (type == kEndHead) {
      return true;
    } else if (flags & kLongBlock) {
      unsigned char add[4];
      if (headSize < 11 || !ReadAt(file, at + 7, add, 4)) return false;
      dataSize = Le(add, 4);
    }
    at += headSize + dataSize;
  }
  return at == fileSize;
}

bool CArchiveIndex::ReadRar5(FILE* file, uint64_t fileSize) {
  constexpr uint64_t kFileHead = 2, kEncryptionHead = 4, kEndHead = 5;
  constexpr uint64_t kHasExtra = 0x1, kHasData = 0x2, kFileHasTime = 0x2, kFileHasCrc = 0x4;
  constexpr uint64_t kMaxHeader = 2 * 1024 * 1024;
  uint64_t at = 8;
  std::string header;
  while (at + 7 <= fileSize) {
    unsigned char start[7];  // CRC and up to three bytes of the header size
    if (!ReadAt(file, at, start, std::min<uint64_t>(sizeof start, fileSize - at))) return false;
    const unsigned char* p = start + 4;
    uint64_t headSize;
    if (!ReadVint(p, start + sizeof start, headSize) || headSize > kMaxHeader) return false;
    const uint64_t bodyAt = at + static_cast<uint64_t>(p - start);
    if (bodyAt + headSize > fileSize) return false;
    header.resize(headSize);
    if (!ReadAt(file, bodyAt, header.data(), headSize)) return false;
    p = reinterpret_cast<const unsigned char*>(header.data());
    const unsigned char* end = p + headSize;
    uint64_t type, flags, extraSize = 0, dataSize = 0;
    if (!ReadVint(p, end, type) || !ReadVint(p, end, flags)) return false;
    if ((flags & kHasExtra) && !ReadVint(p, end, extraSize)) return false;
    if ((flags & kHasData) && !ReadVint(p, end, dataSize)) return false;
    if (type == kEncryptionHead) return false;  // the headers after it are encrypted
    if (type == kEndHead) return true;
    if (type == kFileHead) {
      Entry entry;
      uint64_t fileFlags, attributes;
      if (!ReadVint(p, end, fileFlags) || !ReadVint(p, end, entry.unpackedSize) ||
          !ReadVint(p, end, attributes))
        return false;
      if (fileFlags & kFileHasTime) {
        if (end - p < 4) return false;
        p += 4;
      }
      if (fileFlags & kFileHasCrc) {
        if (end - p < 4) return false;
        entry.hasCrc = true;
        entry.crc = Le(p, 4);
      }
      entry.packedSize = dataSize;
      m_entries.push_back(entry);
    }
    if (dataSize > fileSize) return false;
    at = bodyAt + headSize + dataSize;
  }
  return at == fileSize;
}

bool CArchiveIndex::ReadZip(FILE* file, uint64_t fileSize) {
  // The end record sits in the last 22 bytes plus a comment of up to 65535 bytes.
  const uint64_t tailSize = std::min<uint64_t>(fileSize, 22 + 65535);
  std::string tail(tailSize, '\0');
  if (tailSize < 22 || !ReadAt(file, fileSize - tailSize, tail.data(), tailSize)) return false;
  const size_t endAt = tail.rfind(std::string("PK\x05\x06", 4));
  if (endAt == std::string::npos || endAt + 22 > tail.size()) return false;
  const auto* end = reinterpret_cast<const unsigned char*>(tail.data() + endAt);
  const uint32_t count = Le(end + 10, 2), directorySize = Le(end + 12, 4);
  const uint64_t directoryAt = Le(end + 16, 4);
  if (directoryAt + directorySize > fileSize) return false;  // also a ZIP64 directory
  std::string directory(directorySize, '\0');
  if (!ReadAt(file, directoryAt, directory.data(), directorySize)) return false;
  size_t at = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (at + 46 > directory.size() || directory.compare(at, 4, "PK\x01\x02", 4) != 0) return false;
    const auto* record = reinterpret_cast<const unsigned char*>(directory.data() + at);
    Entry entry;
    entry.hasCrc = true;
    entry.crc = Le(record + 16, 4);
    entry.packedSize = Le(record + 20, 4);
    entry.unpackedSize = Le(record + 24, 4);
    at += 46 + Le(record + 28, 2) + Le(record + 30, 2) + Le(record + 32, 2);
    m_entries.push_back(entry);
  }
  return true;
}
