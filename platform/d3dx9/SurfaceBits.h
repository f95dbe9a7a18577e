#pragma once
// The texels of one surface as bytes in their own format: a decoded image file's level, a copy
// of a locked surface, or a level on its way into a DDS file.
#include <vector>

#include "Image.h"
#include "d3d9.h"

class CSurfaceBits {
 public:
  CSurfaceBits() = default;
  // Zero-filled bytes for width x height texels of a format CPixelFormat knows, rows packed.
  CSurfaceBits(D3DFORMAT format, UINT width, UINT height);

  D3DFORMAT Format() const { return m_format; }
  UINT Width() const { return m_width; }
  UINT Height() const { return m_height; }
  size_t Pitch() const { return m_pitch; }
  BYTE* Bytes() { return m_bytes.data(); }
  const BYTE* Bytes() const { return m_bytes.data(); }
  size_t Size() const { return m_bytes.size(); }

  // The texels as float colours.
  CImage Decode() const;

 private:
  D3DFORMAT m_format = D3DFMT_UNKNOWN;
  UINT m_width = 0;
  UINT m_height = 0;
  size_t m_pitch = 0;
  std::vector<BYTE> m_bytes;
};
