#pragma once
// One member of a zlib or RAR archive. In the zlib archive's file the record is 2072 bytes,
// read field by field; in memory it also carries the member's data on the RAR back end (and on
// any back end that unpacks every member at mount time).
#include <cstdint>

#include "windef.h"

struct ArchiveEntry {
  // Size of the record in the zlib archive's member table.
  static constexpr uint32_t kFileSize = 2072;
  static constexpr uint32_t kNameSize = 2048;
  // Offsets of the fields inside the stored record.
  static constexpr uint32_t kNameOffset = 4;
  static constexpr uint32_t kDataOffsetOffset = 2052;
  static constexpr uint32_t kUncompressedSizeOffset = 2056;
  static constexpr uint32_t kCompressedSizeOffset = 2060;

  // The member's whole unpacked data when the back end keeps it; null otherwise.
  BYTE* data = nullptr;
  // Lowered path under which the member is looked up, always terminated.
  char name[kNameSize] = {};
  // Absolute file offset of the member's compressed stream (zlib archive).
  uint32_t dataOffset = 0;
  uint32_t uncompressedSize = 0;
  uint32_t compressedSize = 0;
};
