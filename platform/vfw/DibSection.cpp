#include "DibSection.h"

#include <cstdlib>

bool CDibSection::IsSupported(const BITMAPINFOHEADER& header) {
  return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biCompression == BI_RGB &&
         (header.biBitCount == 24 || header.biBitCount == 32) && header.biWidth > 0 &&
         header.biWidth <= kMaxSide && header.biHeight != 0 && header.biHeight >= -kMaxSide &&
         header.biHeight <= kMaxSide;
}

size_t CDibSection::Stride(const BITMAPINFOHEADER& header) {
  return (static_cast<size_t>(header.biWidth) * header.biBitCount / 8 + 3) & ~size_t{3};
}

std::unique_ptr<CDibSection> CDibSection::Create(const BITMAPINFOHEADER& header) {
  if (!IsSupported(header)) return nullptr;
  return std::unique_ptr<CDibSection>(new CDibSection(header));
}

CDibSection::CDibSection(const BITMAPINFOHEADER& header)
    : m_header(header), m_bits(Stride(header) * static_cast<size_t>(std::abs(header.biHeight))) {
  m_header.biSize = sizeof(BITMAPINFOHEADER);
  m_header.biSizeImage = static_cast<DWORD>(m_bits.size());
}
