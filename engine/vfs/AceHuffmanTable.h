#pragma once
// A decoding table of the ACE compressor's prefix codes. A symbol's code width is all that is
// stored; the codes follow from sorting the symbols by width, and the table is indexed by the
// next `maxWidth` bits of the stream, each symbol filling 2^(maxWidth - width) entries.
#include <array>
#include <cstddef>
#include <cstdint>

class CAceBitReader;

class CAceHuffmanTable {
 public:
  static constexpr unsigned kMaxSymbols = 282;
  static constexpr unsigned kMaxWidth = 11;

  // maxWidth at most kMaxWidth, symbolCount at most kMaxSymbols.
  CAceHuffmanTable(unsigned maxWidth, unsigned symbolCount);

  // Reads a width table from the stream (delta-coded widths, themselves coded through a
  // small pre-table) and builds the decoding table. False when the table is damaged.
  bool ReadWidths(CAceBitReader& reader);
  // Builds the decoding table from the widths of symbols 0 to count - 1.
  bool BuildFromWidths(const uint8_t* widths, unsigned count);

  // The next symbol of the stream, consumed; -1 when the code has no symbol.
  int Decode(CAceBitReader& reader) const;
  // The code width of `symbol` as decoding uses it.
  unsigned Width(unsigned symbol) const { return symbol < m_symbolCount ? m_widths[symbol] : 0; }

 private:
  struct Pair {
    uint8_t width;
    uint16_t symbol;
  };

  bool Build(unsigned lastSymbol);
  static void SortByWidth(Pair* pairs, int left, int right);

  unsigned m_maxWidth;
  unsigned m_symbolCount;
  std::array<uint8_t, kMaxSymbols> m_widths{};
  std::array<uint16_t, 1u << kMaxWidth> m_table{};
  // Entries from here on belong to no symbol (a table may be left incomplete).
  size_t m_filled = 0;
};
