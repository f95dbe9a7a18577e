#include "vfs/AceCommentDecoder.h"

#include <algorithm>

#include "vfs/AceBitReader.h"
#include "vfs/AceHuffmanTable.h"

namespace {

constexpr unsigned kLengthBits = 15;
// Sums of two signed bytes run from -256 to 254.
constexpr int kSumOffset = 256;
constexpr size_t kSumCount = 511;
// Copy symbols start at 256 and copy (symbol - 254) bytes.
constexpr unsigned kCopyBias = 254;

}  // namespace

size_t CAceCommentDecoder::Decode(const uint8_t* packed, size_t packedSize, char* text,
                                  size_t capacity) {
  if (capacity == 0) return 0;
  text[0] = 0;

  CAceBitReader reader;
  reader.Reset(packed, std::min(packedSize, kMaxPackedSize));
  const size_t length = std::min<size_t>(reader.ReadBits(kLengthBits), capacity - 1);
  CAceHuffmanTable table(CAceHuffmanTable::kMaxWidth, CAceHuffmanTable::kMaxSymbols);
  if (!table.ReadWidths(reader)) return 0;

  size_t lastSeen[kSumCount] = {};
  size_t position = 0;
  while (position < length) {
    size_t source = 0;
    if (position >= 2) {
      const int sum = static_cast<int8_t>(text[position - 1]) +
                      static_cast<int8_t>(text[position - 2]) + kSumOffset;
      source = lastSeen[sum];
      lastSeen[sum] = position;
    }
    const int symbol = table.Decode(reader);
    if (symbol < 0 || reader.IsOverrun()) break;
    if (symbol < 256) {
      text[position++] = static_cast<char>(symbol);
    } else {
      // The source lies behind the position, so an overlapping copy repeats what it wrote.
      for (unsigned count = symbol - kCopyBias; count > 0 && position < length; --count)
        text[position++] = text[source++];
    }
  }
  text[position] = 0;
  return position;
}
