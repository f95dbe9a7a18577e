#pragma once
// What libarchive does not tell of an archive's members: their packed sizes and checksums. Read
// from the archive's own headers (RAR 4 blocks, RAR 5 blocks, the ZIP central directory), in the
// order libarchive lists the members. An archive whose headers cannot be walked gives an empty
// index; the members then report a packed size of 0 and their data is checked by libarchive only.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CArchiveIndex {
 public:
  struct Entry {
    uint64_t packedSize = 0;
    uint64_t unpackedSize = 0;
    bool hasCrc = false;
    uint32_t crc = 0;
  };

  // Reads the index of the archive at `path` (a file-system path).
  explicit CArchiveIndex(const std::string& path);

  // The entry of the `index`-th member, or null when the index does not know it.
  const Entry* Find(size_t index) const {
    return index < m_entries.size() ? &m_entries[index] : nullptr;
  }

 private:
  bool ReadRar4(FILE* file, uint64_t fileSize);
  bool ReadRar5(FILE* file, uint64_t fileSize);
  bool ReadZip(FILE* file, uint64_t fileSize);

  std::vector<Entry> m_entries;
};
