#include "Image.h"

#include <algorithm>
#include <cmath>

#include "d3dx9tex.h"

namespace {

// The source texels that make up one destination texel along one axis, with their weights.
struct Tap {
  UINT source;
  float weight;
};
using Taps = std::vector<std::vector<Tap>>;

Taps PointTaps(UINT from, UINT to) {
  Taps taps(to);
  for (UINT i = 0; i < to; ++i)
    taps[i] = {{std::min((UINT)(((uint64_t)i * 2 + 1) * from / (2 * (uint64_t)to)), from - 1), 1.0f}};
  return taps;
}

Taps LinearTaps(UINT from, UINT to) {
  Taps taps(to);
  double scale = (double)from / to;
  for (UINT i = 0; i < to; ++i) {
    double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, (double)(from - 1));
    UINT low = (UINT)centre;
    UINT high = std::min(low + 1, from - 1);
    float t = (float)(centre - low);
    taps[i] = {{low, 1.0f - t}};
    if (t > 0.0f) taps[i].push_back({high, t});
  }
  return taps;
}

// Each destination texel averages the source span it covers, weighted by coverage; enlarging
// degenerates to the nearest texel, shrinking by two to the mean of each pair.
Taps AreaTaps(UINT from, UINT to) {
  Taps taps(to);
  double scale = (double)from / to;
  for (UINT i = 0; i < to; ++i) {
    double begin = i * scale, end = (i + 1) * scale;
    for (UINT s = (UINT)begin; s < from && s < end; ++s) {
      double covered = std::min(end, s + 1.0) - std::max(begin, (double)s);
      if (covered > 0.0) taps[i].push_back({s, (float)(covered / scale)});
    }
  }
  return taps;
}

Taps BuildTaps(UINT from, UINT to, DWORD filter) {
  switch (filter & 0xff) {
    case D3DX_FILTER_POINT:
      return PointTaps(from, to);
    case D3DX_FILTER_LINEAR:
      return LinearTaps(from, to);
    default:
      return AreaTaps(from, to);
  }
}

}  // namespace

CImage CImage::Crop(UINT left, UINT top, UINT right, UINT bottom) const {
  CImage part(right - left, bottom - top);
  for (UINT y = top; y < bottom; ++y) std::copy_n(&At(left, y), right - left, &part.At(0, y - top));
  return part;
}

void CImage::ApplyColourKey(D3DCOLOR key) {
  for (D3DXCOLOR& texel : m_texels)
    if ((D3DCOLOR)texel == key) texel = D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f);
}

CImage CImage::Resample(UINT width, UINT height, DWORD filter) const {
  if (width == m_width && height == m_height) return *this;
  CImage out(width, height);  // starts transparent black
  if ((filter & 0xff) == D3DX_FILTER_NONE) {
    for (UINT y = 0; y < std::min(height, m_height); ++y)
      std::copy_n(&At(0, y), std::min(width, m_width), &out.At(0, y));
    return out;
  }
  // Separable: rows first into an intermediate image, then columns.
  Taps across = BuildTaps(m_width, width, filter), down = BuildTaps(m_height, height, filter);
  CImage rows(width, m_height);
  for (UINT y = 0; y < m_height; ++y)
    for (UINT x = 0; x < width; ++x) {
      D3DXCOLOR sum(0.0f, 0.0f, 0.0f, 0.0f);
      for (const Tap& tap : across[x]) sum += At(tap.source, y) * tap.weight;
      rows.At(x, y) = sum;
    }
  for (UINT y = 0; y < height; ++y)
    for (UINT x = 0; x < width; ++x) {
      D3DXCOLOR sum(0.0f, 0.0f, 0.0f, 0.0f);
      for (const Tap& tap : down[y]) sum += rows.At(x, tap.source) * tap.weight;
      out.At(x, y) = sum;
    }
  return out;
}
