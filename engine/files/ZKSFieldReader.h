#pragma once
// Readers of the small fixed-size sub-chunks that scene files hold by the dozen: one u32, one
// f32 or one link. Each is called after its tag, reads the chunk and hands the value on.
#include <cstdint>
#include <functional>

#include "chunks/ChunkReader.h"

class CZKSFieldReader {
 public:
  using Read = std::function<bool(CChunkReader&)>;

  // A size other than 4 logs `incorrectSize`.
  static Read U32(const ChunkReport& report, const char* incorrectSize,
                  std::function<void(uint32_t)> store);
  static Read F32(const ChunkReport& report, const char* incorrectSize,
                  std::function<void(float)> store);
  // The 8-byte link, handed on as (kind, number); a size other than 8 logs `incorrectSize`.
  static Read Link(const ChunkReport& report, const char* incorrectSize,
                   std::function<void(UINT kind, UINT number)> store);
};
