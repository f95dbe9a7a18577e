#include "vfs/AceHuffmanTable.h"

#include <algorithm>
#include <utility>

#include "vfs/AceBitReader.h"

namespace {

// The widths of a width table are themselves coded with these.
constexpr unsigned kPreTableMaxWidth = 7;
constexpr unsigned kPreTableSymbols = 16;

}  // namespace

CAceHuffmanTable::CAceHuffmanTable(unsigned maxWidth, unsigned symbolCount)
    : m_maxWidth(std::min(maxWidth, kMaxWidth)), m_symbolCount(std::min(symbolCount, kMaxSymbols)) {}

bool CAceHuffmanTable::ReadWidths(CAceBitReader& reader) {
  m_widths.fill(0);
  m_table.fill(0);
  m_filled = 0;

  // The count is 9 bits wide and may name more symbols than the table has.
  const unsigned lastSymbol = std::min<unsigned>(reader.ReadBits(9), m_symbolCount - 1);
  const unsigned lower = reader.ReadBits(4);
  const unsigned upper = reader.ReadBits(4);

  uint8_t preWidths[kPreTableSymbols];
  for (unsigned i = 0; i <= upper; ++i) preWidths[i] = static_cast<uint8_t>(reader.ReadBits(3));
  CAceHuffmanTable preTable(kPreTableMaxWidth, kPreTableSymbols);
  if (!preTable.BuildFromWidths(preWidths, upper + 1)) return false;

  // Pre-symbols below `upper` are widths; `upper` itself starts a run of zeros.
  unsigned symbol = 0;
  while (symbol <= lastSymbol) {
    const int preSymbol = preTable.Decode(reader);
    if (preSymbol < 0 || reader.IsOverrun()) return false;
    if (static_cast<unsigned>(preSymbol) < upper) {
      m_widths[symbol++] = static_cast<uint8_t>(preSymbol);
    } else {
      const unsigned run = reader.ReadBits(4) + 4;
      symbol = std::min(symbol + run, lastSymbol + 1);  // the widths are already zero
    }
  }

  if (upper != 0 && lastSymbol != 0)
    for (unsigned i = 1; i <= lastSymbol; ++i)
      m_widths[i] = static_cast<uint8_t>((m_widths[i - 1] + m_widths[i]) % upper);
  for (unsigned i = 0; i <= lastSymbol; ++i)
    if (m_widths[i] != 0) m_widths[i] = static_cast<uint8_t>(m_widths[i] + lower);

  return !reader.IsOverrun() && Build(lastSymbol);
}

bool CAceHuffmanTable::BuildFromWidths(const uint8_t* widths, unsigned count) {
  m_widths.fill(0);
  m_table.fill(0);
  m_filled = 0;
  if (count == 0 || count > m_symbolCount) return false;
  std::copy(widths, widths + count, m_widths.begin());
  return Build(count - 1);
}

// Largest width first. The order this gives equal widths decides which codes they get, so the
// procedure is kept exactly: a writer of the format sorts the same way.
void CAceHuffmanTable::SortByWidth(Pair* pairs, int left, int right) {
  const uint8_t pivot = pairs[right].width;
  int i = left;
  int j = right;
  do {
    while (i < right && pairs[i].width > pivot) ++i;
    while (j > left && pairs[j].width < pivot) --j;
    if (i <= j) {
      std::swap(pairs[i], pairs[j]);
      ++i;
      --j;
    }
  } while (i < j);

  if (j - left + 1 > 2)
    SortByWidth(pairs, left, j);
  else if (j - left + 1 == 2 && pairs[left].width < pairs[j].width)
    std::swap(pairs[left], pairs[j]);
  if (right - i + 1 > 2)
    SortByWidth(pairs, i, right);
  else if (right - i + 1 == 2 && pairs[i].width < pairs[right].width)
    std::swap(pairs[i], pairs[right]);
}

bool CAceHuffmanTable::Build(unsigned lastSymbol) {
  Pair pairs[kMaxSymbols];
  for (unsigned symbol = 0; symbol <= lastSymbol; ++symbol) {
    // A width the table cannot hold is damage, not a code.
    if (m_widths[symbol] > m_maxWidth) return false;
    pairs[symbol] = {m_widths[symbol], static_cast<uint16_t>(symbol)};
  }
  if (lastSymbol > 0) SortByWidth(pairs, 0, static_cast<int>(lastSymbol));

  unsigned used = 0;
  while (used <= lastSymbol && pairs[used].width != 0) ++used;
  if (used < 2) {
    // One symbol (or none) needs no bits to tell apart, but still takes one: code 0. The
    // table is filled with the same width that decoding consumes.
    m_widths[pairs[0].symbol] = 1;
    pairs[0].width = 1;
    used = 1;
  }

  const size_t size = size_t{1} << m_maxWidth;
  size_t position = 0;
  for (unsigned k = used; k-- > 0;) {
    const size_t span = size_t{1} << (m_maxWidth - pairs[k].width);
    if (position + span > size) return false;
    std::fill(m_table.begin() + position, m_table.begin() + position + span, pairs[k].symbol);
    position += span;
    if (position == size) break;
  }
  m_filled = position;
  return true;
}

int CAceHuffmanTable::Decode(CAceBitReader& reader) const {
  const size_t index = reader.Code() >> (32 - m_maxWidth);
  if (index >= m_filled) return -1;
  const uint16_t symbol = m_table[index];
  reader.Consume(m_widths[symbol]);
  return symbol;
}
