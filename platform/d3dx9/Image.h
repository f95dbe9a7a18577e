#pragma once
// An image of float colours, the common ground between pixel formats, with the filters that
// scale it.
#include <vector>

#include "d3dx9math.h"

class CImage {
 public:
  CImage() = default;
  // Transparent black.
  CImage(UINT width, UINT height) : m_width(width), m_height(height), m_texels((size_t)width * height) {}

  UINT Width() const { return m_width; }
  UINT Height() const { return m_height; }
  D3DXCOLOR* Texels() { return m_texels.data(); }
  const D3DXCOLOR* Texels() const { return m_texels.data(); }
  D3DXCOLOR& At(UINT x, UINT y) { return m_texels[(size_t)y * m_width + x]; }
  const D3DXCOLOR& At(UINT x, UINT y) const { return m_texels[(size_t)y * m_width + x]; }

  // The part of the image inside [left, right) x [top, bottom), which must lie within it.
  CImage Crop(UINT left, UINT top, UINT right, UINT bottom) const;

  // Texels equal to the key (compared as 8-bit A8R8G8B8) become transparent black.
  void ApplyColourKey(D3DCOLOR key);

  // The image scaled to width x height with a D3DX_FILTER_ value (its low byte): NONE copies
  // without scaling and leaves the rest black, POINT takes the nearest texel, LINEAR
  // interpolates bilinearly, TRIANGLE and BOX average the covered area.
  CImage Resample(UINT width, UINT height, DWORD filter) const;

 private:
  UINT m_width = 0;
  UINT m_height = 0;
  std::vector<D3DXCOLOR> m_texels;
};
