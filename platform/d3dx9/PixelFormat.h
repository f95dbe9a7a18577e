#pragma once
// The one table of pixel formats that D3DX converts between: how many bytes a texel (or a 4x4
// block) takes, where each channel lies and how it is encoded. Every conversion of the library
// goes through Decode (format -> float colours) and Encode (float colours -> format).
#include <cstddef>

#include "d3d9.h"
#include "d3dx9math.h"

class CPixelFormat {
 public:
  enum class Encoding { Unorm, Snorm, Float, Block };
  struct Channel {
    BYTE shift;  // bit position within the texel
    BYTE bits;   // 0: the format has no such channel
  };

  // Null for a format the library cannot convert.
  static const CPixelFormat* Find(D3DFORMAT format);

  D3DFORMAT Format() const { return m_format; }
  bool IsCompressed() const { return m_encoding == Encoding::Block; }
  Encoding GetEncoding() const { return m_encoding; }
  // Bytes of one texel, or of one 4x4 block of a compressed format.
  UINT ElementBytes() const { return m_elementBytes; }
  UINT BitsPerTexel() const { return IsCompressed() ? m_elementBytes / 2 : m_elementBytes * 8; }
  const Channel& Red() const { return m_red; }
  const Channel& Green() const { return m_green; }
  const Channel& Blue() const { return m_blue; }
  const Channel& Alpha() const { return m_alpha; }
  bool IsLuminance() const { return m_luminance; }

  // Bytes of one tightly packed row of texels (a row of blocks when compressed).
  size_t RowPitch(UINT width) const;
  // Rows of texels (or of blocks) that a surface of this height has.
  UINT RowCount(UINT height) const;
  size_t SurfaceSize(UINT width, UINT height) const { return RowPitch(width) * RowCount(height); }

  // Converts width x height texels from `bits` (rows `pitch` bytes apart; rows of blocks for a
  // compressed format) into `out`, row by row.
  void Decode(const BYTE* bits, size_t pitch, UINT width, UINT height, D3DXCOLOR* out) const;
  // The reverse of Decode; values out of a channel's range are clamped.
  void Encode(const D3DXCOLOR* in, UINT width, UINT height, BYTE* bits, size_t pitch) const;

  CPixelFormat(D3DFORMAT format, UINT elementBytes, Encoding encoding, Channel red, Channel green, Channel blue,
               Channel alpha, Channel padding = {0, 0}, bool luminance = false);

 private:
  D3DXCOLOR DecodeTexel(const BYTE* texel) const;
  void EncodeTexel(const D3DXCOLOR& colour, BYTE* texel) const;
  float ReadChannel(const BYTE* texel, const Channel& channel, float missing) const;
  void WriteChannel(BYTE* texel, const Channel& channel, float value) const;

  D3DFORMAT m_format;
  UINT m_elementBytes;
  Encoding m_encoding;
  Channel m_red, m_green, m_blue, m_alpha;
  Channel m_padding;  // unused bits, written as ones
  bool m_luminance;   // the red channel holds luminance
};
