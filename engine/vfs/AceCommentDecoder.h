#pragma once
// Unpacks the comment of an ACE archive or member. Comments have their own small scheme: one
// prefix-code table of literals and copies, where a copy repeats the text that followed the
// last place where the two bytes before it added up to the same sum.
#include <cstddef>
#include <cstdint>

class CAceCommentDecoder {
 public:
  // The most packed comment bytes that are read.
  static constexpr size_t kMaxPackedSize = 4096;

  // Unpacks `packed` into `text`, which holds `capacity` bytes and is always terminated (an
  // empty text when capacity is 1). Returns the text's length; damaged data ends it early.
  static size_t Decode(const uint8_t* packed, size_t packedSize, char* text, size_t capacity);
};
