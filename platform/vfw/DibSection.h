#pragma once
// A DIB section: a 24- or 32-bit BI_RGB bitmap in memory, its pixels zeroed at creation.
#include <cstdint>
#include <memory>
#include <vector>

#include "wingdi.h"

class CMemoryDC;

class CDibSection {
 public:
  // Null when the header asks for anything but BI_RGB at 24 or 32 bits, or for a size that is
  // empty or larger than kMaxSide.
  static std::unique_ptr<CDibSection> Create(const BITMAPINFOHEADER& header);
  static constexpr int kMaxSide = 16384;

  // Whether `header` describes a bitmap this platform draws from and into.
  static bool IsSupported(const BITMAPINFOHEADER& header);
  // Bytes per row of such a bitmap, padded to 4 bytes.
  static size_t Stride(const BITMAPINFOHEADER& header);

  const BITMAPINFOHEADER& Header() const { return m_header; }
  uint8_t* Bits() { return m_bits.data(); }
  CMemoryDC* SelectedInto() const { return m_selectedInto; }
  void SetSelectedInto(CMemoryDC* dc) { m_selectedInto = dc; }

 private:
  explicit CDibSection(const BITMAPINFOHEADER& header);

  BITMAPINFOHEADER m_header;
  std::vector<uint8_t> m_bits;
  CMemoryDC* m_selectedInto = nullptr;
};
