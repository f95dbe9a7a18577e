#pragma once
// Unpacks one member of an ACE archive, a step at a time: stored members are copied, LZ77
// members are decoded through their prefix-code tables into the dictionary (the sliding
// window) and copied out from there. The dictionary outlives the member, so the members of a
// solid archive may refer back into the ones before them.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "vfs/AceBitReader.h"
#include "vfs/AceHuffmanTable.h"

class CAceMemberDecoder {
 public:
  static constexpr unsigned kMethodStored = 0;
  static constexpr unsigned kMethodLz77 = 1;
  // One step produces at most this many bytes.
  static constexpr size_t kStepSize = 2048;
  static constexpr unsigned kLargestDictionaryBits = 20;
  static constexpr unsigned kSmallestDictionaryBits = 10;
  // 256 literals, 4 recent distances and 22 classes of new distances.
  static constexpr unsigned kMainSymbols = 282;
  // Match lengths above the base that the distance gives.
  static constexpr unsigned kLengthSymbols = 255;

  // Takes a dictionary of 2^maxDictionaryBits bytes, or the largest smaller one memory allows.
  explicit CAceMemberDecoder(unsigned maxDictionaryBits = kLargestDictionaryBits);

  // Bits of the dictionary that was allocated; 0 when none could be.
  unsigned GetDictionaryBits() const { return m_dictionaryBits; }

  // Starts a member of `method` (stored or LZ77) whose packed bytes are read in place.
  // `continueDictionary` keeps the dictionary position of the member before (solid archives).
  void Prepare(const uint8_t* packed, size_t packedSize, unsigned method, uint32_t originalSize,
               bool continueDictionary);
  // Writes the next bytes of the member (at most kStepSize) to `out` and returns how many;
  // 0 once the member is complete or its data turned out damaged.
  size_t Step(uint8_t* out);
  // True when the packed data ran out or did not decode.
  bool IsDamaged() const { return m_damaged; }

 private:
  size_t StepStored(uint8_t* out);
  size_t StepLz77(uint8_t* out);
  // Decodes symbols into the dictionary until at least `target` bytes came out; returns how
  // many did (a match may overshoot the target).
  size_t DecodeSymbols(size_t target);
  bool ReadBlockTables();
  void Copy(uint32_t distance, unsigned length);

  std::unique_ptr<uint8_t[]> m_dictionary;
  unsigned m_dictionaryBits = 0;
  uint32_t m_dictionaryMask = 0;
  uint32_t m_dictionaryPosition = 0;

  unsigned m_method = kMethodStored;
  const uint8_t* m_packed = nullptr;
  size_t m_packedSize = 0;
  size_t m_packedPosition = 0;
  uint32_t m_remaining = 0;
  bool m_damaged = false;

  CAceBitReader m_reader;
  CAceHuffmanTable m_mainTable{CAceHuffmanTable::kMaxWidth, kMainSymbols};
  CAceHuffmanTable m_lengthTable{CAceHuffmanTable::kMaxWidth, kLengthSymbols};
  uint32_t m_symbolsLeft = 0;
  uint32_t m_recentDistances[4] = {};
  unsigned m_newest = 0;
};
