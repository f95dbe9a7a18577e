#include "vfs/AceMemberDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr unsigned kLiteralCount = 256;
constexpr unsigned kFirstRecentDistance = 256;
constexpr unsigned kFirstNewDistance = 260;
constexpr unsigned kBlockCountBits = 15;
// A match copies at most 254 + 4 bytes, so a step aims this far below its buffer's end.
constexpr size_t kLongestMatch = 259;

}  // namespace

CAceMemberDecoder::CAceMemberDecoder(unsigned maxDictionaryBits) {
  for (unsigned bits = std::min(maxDictionaryBits, kLargestDictionaryBits);
       bits >= kSmallestDictionaryBits; --bits) {
    m_dictionary.reset(new (std::nothrow) uint8_t[size_t{1} << bits]());
    if (m_dictionary) {
      m_dictionaryBits = bits;
      m_dictionaryMask = (uint32_t{1} << bits) - 1;
      break;
    }
  }
}

void CAceMemberDecoder::Prepare(const uint8_t* packed, size_t packedSize, unsigned method,
                                uint32_t originalSize, bool continueDictionary) {
  m_method = method;
  m_packed = packed;
  m_packedSize = packed ? packedSize : 0;
  m_packedPosition = 0;
  m_remaining = originalSize;
  m_damaged = (method != kMethodStored && method != kMethodLz77) ||
              (method == kMethodLz77 && !m_dictionary);
  m_reader.Reset(m_packed, m_packedSize);
  m_symbolsLeft = 0;
  std::fill(std::begin(m_recentDistances), std::end(m_recentDistances), 0);
  m_newest = 0;
  if (!continueDictionary) m_dictionaryPosition = 0;
}

size_t CAceMemberDecoder::Step(uint8_t* out) {
  if (m_damaged || m_remaining == 0) return 0;
  return m_method == kMethodStored ? StepStored(out) : StepLz77(out);
}

size_t CAceMemberDecoder::StepStored(uint8_t* out) {
  const size_t wanted = std::min<size_t>(kStepSize, m_remaining);
  const size_t count = std::min(wanted, m_packedSize - m_packedPosition);
  if (count < wanted) m_damaged = true;
  std::memcpy(out, m_packed + m_packedPosition, count);
  m_packedPosition += count;
  m_remaining -= static_cast<uint32_t>(count);
  // A later LZ77 member of a solid archive may refer back into stored data.
  if (m_dictionary)
    for (size_t i = 0; i < count; ++i) {
      m_dictionary[m_dictionaryPosition] = out[i];
      m_dictionaryPosition = (m_dictionaryPosition + 1) & m_dictionaryMask;
    }
  return count;
}

size_t CAceMemberDecoder::StepLz77(uint8_t* out) {
  const uint32_t start = m_dictionaryPosition;
  const size_t target = std::min<size_t>(kStepSize - kLongestMatch, m_remaining);
  // Damaged data may decode past the member's end; only its own bytes come out.
  const size_t produced = std::min<size_t>(DecodeSymbols(target), m_remaining);
  for (size_t i = 0; i < produced; ++i) out[i] = m_dictionary[(start + i) & m_dictionaryMask];
  m_remaining -= static_cast<uint32_t>(produced);
  return produced;
}

bool CAceMemberDecoder::ReadBlockTables() {
  if (!m_mainTable.ReadWidths(m_reader) || !m_lengthTable.ReadWidths(m_reader)) return false;
  m_symbolsLeft = m_reader.ReadBits(kBlockCountBits);
  return m_symbolsLeft != 0 && !m_reader.IsOverrun();
}

size_t CAceMemberDecoder::DecodeSymbols(size_t target) {
  size_t produced = 0;
  while (produced < target) {
    if (m_symbolsLeft == 0 && !ReadBlockTables()) break;
    --m_symbolsLeft;

    const int symbol = m_mainTable.Decode(m_reader);
    if (symbol < 0) break;
    if (static_cast<unsigned>(symbol) < kLiteralCount) {
      m_dictionary[m_dictionaryPosition] = static_cast<uint8_t>(symbol);
      m_dictionaryPosition = (m_dictionaryPosition + 1) & m_dictionaryMask;
      ++produced;
    } else {
      uint32_t distance;
      unsigned base;
      if (static_cast<unsigned>(symbol) >= kFirstNewDistance) {
        const unsigned bits = symbol - kFirstNewDistance;
        distance = bits <= 1 ? bits : m_reader.ReadBits(bits - 1) + (uint32_t{1} << (bits - 1));
        m_newest = (m_newest + 1) & 3;
        m_recentDistances[m_newest] = distance;
        base = distance > 8191 ? 4 : distance > 255 ? 3 : 2;
      } else {
        // The distance used `age` places back becomes the newest again.
        const unsigned age = symbol - kFirstRecentDistance;
        distance = m_recentDistances[(m_newest - age) & 3];
        for (unsigned k = age; k > 0; --k)
          m_recentDistances[(m_newest - k) & 3] = m_recentDistances[(m_newest - k + 1) & 3];
        m_recentDistances[m_newest] = distance;
        base = age > 1 ? 3 : 2;
      }
      const int lengthSymbol = m_lengthTable.Decode(m_reader);
      if (lengthSymbol < 0) break;
      const unsigned length = static_cast<unsigned>(lengthSymbol) + base;
      Copy(distance, length);
      produced += length;
    }
    if (m_reader.IsOverrun()) break;
  }
  if (produced < target || m_reader.IsOverrun()) m_damaged = true;
  return produced;
}

void CAceMemberDecoder::Copy(uint32_t distance, unsigned length) {
  uint32_t from = (m_dictionaryPosition - distance - 1) & m_dictionaryMask;
  for (unsigned i = 0; i < length; ++i) {
    m_dictionary[m_dictionaryPosition] = m_dictionary[from];
    m_dictionaryPosition = (m_dictionaryPosition + 1) & m_dictionaryMask;
    from = (from + 1) & m_dictionaryMask;
  }
}
