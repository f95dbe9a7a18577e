#include "PixelFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "DxtCodec.h"

namespace {

using Encoding = CPixelFormat::Encoding;
constexpr CPixelFormat::Channel kNone{0, 0};

const CPixelFormat kFormats[] = {
    {D3DFMT_A8R8G8B8, 4, Encoding::Unorm, {16, 8}, {8, 8}, {0, 8}, {24, 8}},
    {D3DFMT_X8R8G8B8, 4, Encoding::Unorm, {16, 8}, {8, 8}, {0, 8}, kNone, {24, 8}},
    {D3DFMT_R8G8B8, 3, Encoding::Unorm, {16, 8}, {8, 8}, {0, 8}, kNone},
    {D3DFMT_A8B8G8R8, 4, Encoding::Unorm, {0, 8}, {8, 8}, {16, 8}, {24, 8}},
    {D3DFMT_X8B8G8R8, 4, Encoding::Unorm, {0, 8}, {8, 8}, {16, 8}, kNone, {24, 8}},
    {D3DFMT_R5G6B5, 2, Encoding::Unorm, {11, 5}, {5, 6}, {0, 5}, kNone},
    {D3DFMT_X1R5G5B5, 2, Encoding::Unorm, {10, 5}, {5, 5}, {0, 5}, kNone, {15, 1}},
    {D3DFMT_A1R5G5B5, 2, Encoding::Unorm, {10, 5}, {5, 5}, {0, 5}, {15, 1}},
    {D3DFMT_A4R4G4B4, 2, Encoding::Unorm, {8, 4}, {4, 4}, {0, 4}, {12, 4}},
    {D3DFMT_X4R4G4B4, 2, Encoding::Unorm, {8, 4}, {4, 4}, {0, 4}, kNone, {12, 4}},
    {D3DFMT_A2R10G10B10, 4, Encoding::Unorm, {20, 10}, {10, 10}, {0, 10}, {30, 2}},
    {D3DFMT_A2B10G10R10, 4, Encoding::Unorm, {0, 10}, {10, 10}, {20, 10}, {30, 2}},
    {D3DFMT_G16R16, 4, Encoding::Unorm, {0, 16}, {16, 16}, kNone, kNone},
    {D3DFMT_A16B16G16R16, 8, Encoding::Unorm, {0, 16}, {16, 16}, {32, 16}, {48, 16}},
    {D3DFMT_A8, 1, Encoding::Unorm, kNone, kNone, kNone, {0, 8}},
    {D3DFMT_L8, 1, Encoding::Unorm, {0, 8}, kNone, kNone, kNone, kNone, true},
    {D3DFMT_A8L8, 2, Encoding::Unorm, {0, 8}, kNone, kNone, {8, 8}, kNone, true},
    {D3DFMT_L16, 2, Encoding::Unorm, {0, 16}, kNone, kNone, kNone, kNone, true},
    {D3DFMT_V8U8, 2, Encoding::Snorm, {0, 8}, {8, 8}, kNone, kNone},
    {D3DFMT_R16F, 2, Encoding::Float, {0, 16}, kNone, kNone, kNone},
    {D3DFMT_G16R16F, 4, Encoding::Float, {0, 16}, {16, 16}, kNone, kNone},
    {D3DFMT_A16B16G16R16F, 8, Encoding::Float, {0, 16}, {16, 16}, {32, 16}, {48, 16}},
    {D3DFMT_R32F, 4, Encoding::Float, {0, 32}, kNone, kNone, kNone},
    {D3DFMT_G32R32F, 8, Encoding::Float, {0, 32}, {32, 32}, kNone, kNone},
    {D3DFMT_A32B32G32R32F, 16, Encoding::Float, {0, 32}, {32, 32}, {64, 32}, {96, 32}},
    {D3DFMT_DXT1, 8, Encoding::Block, kNone, kNone, kNone, kNone},
    {D3DFMT_DXT2, 16, Encoding::Block, kNone, kNone, kNone, kNone},
    {D3DFMT_DXT3, 16, Encoding::Block, kNone, kNone, kNone, kNone},
    {D3DFMT_DXT4, 16, Encoding::Block, kNone, kNone, kNone, kNone},
    {D3DFMT_DXT5, 16, Encoding::Block, kNone, kNone, kNone, kNone},
};

// Rec. 709 weights, as D3DX uses for luminance.
float Luminance(const D3DXCOLOR& c) { return 0.2125f * c.r + 0.7154f * c.g + 0.0721f * c.b; }

// Up to 64 bits starting at `shift`, little-endian; a channel never straddles more than 8 bytes.
uint64_t ReadBits(const BYTE* texel, UINT shift, UINT bits) {
  uint64_t word = 0;
  UINT first = shift / 8, count = (shift % 8 + bits + 7) / 8;
  for (UINT i = 0; i < count; ++i) word |= (uint64_t)texel[first + i] << (8 * i);
  word >>= shift % 8;
  return bits >= 64 ? word : word & ((1ull << bits) - 1);
}

void WriteBits(BYTE* texel, UINT shift, UINT bits, uint64_t value) {
  UINT first = shift / 8, count = (shift % 8 + bits + 7) / 8;
  uint64_t mask = ((bits >= 64 ? ~0ull : (1ull << bits) - 1)) << (shift % 8);
  value = (value << (shift % 8)) & mask;
  for (UINT i = 0; i < count; ++i) {
    BYTE byteMask = (BYTE)(mask >> (8 * i));
    texel[first + i] = (BYTE)((texel[first + i] & ~byteMask) | (BYTE)(value >> (8 * i)));
  }
}

}  // namespace

CPixelFormat::CPixelFormat(D3DFORMAT format, UINT elementBytes, Encoding encoding, Channel red, Channel green,
                           Channel blue, Channel alpha, Channel padding, bool luminance)
    : m_format(format),
      m_elementBytes(elementBytes),
      m_encoding(encoding),
      m_red(red),
      m_green(green),
      m_blue(blue),
      m_alpha(alpha),
      m_padding(padding),
      m_luminance(luminance) {}

const CPixelFormat* CPixelFormat::Find(D3DFORMAT format) {
  for (const CPixelFormat& f : kFormats)
    if (f.m_format == format) return &f;
  return nullptr;
}

size_t CPixelFormat::RowPitch(UINT width) const {
  return IsCompressed() ? (size_t)((width + 3) / 4) * m_elementBytes : (size_t)width * m_elementBytes;
}

UINT CPixelFormat::RowCount(UINT height) const { return IsCompressed() ? (height + 3) / 4 : height; }

float CPixelFormat::ReadChannel(const BYTE* texel, const Channel& channel, float missing) const {
  if (channel.bits == 0) return missing;
  uint64_t raw = ReadBits(texel, channel.shift, channel.bits);
  switch (m_encoding) {
    case Encoding::Unorm:
      return (float)((double)raw / (double)((1ull << channel.bits) - 1));
    case Encoding::Snorm: {
      int64_t value = (int64_t)raw - ((raw >> (channel.bits - 1)) ? (1ll << channel.bits) : 0);
      return std::max(-1.0f, (float)value / (float)((1ll << (channel.bits - 1)) - 1));
    }
    case Encoding::Float: {
      if (channel.bits == 16) {
        D3DXFLOAT16 half{(WORD)raw};
        float f;
        D3DXFloat16To32Array(&f, &half, 1);
        return f;
      }
      uint32_t bits = (uint32_t)raw;
      float f;
      std::memcpy(&f, &bits, sizeof f);
      return f;
    }
    case Encoding::Block:
      break;
  }
  return missing;
}

void CPixelFormat::WriteChannel(BYTE* texel, const Channel& channel, float value) const {
  if (channel.bits == 0) return;
  uint64_t raw = 0;
  switch (m_encoding) {
    case Encoding::Unorm: {
      double top = (double)((1ull << channel.bits) - 1);
      double clamped = std::isnan(value) ? 0.0 : std::clamp((double)value, 0.0, 1.0);
      raw = (uint64_t)(clamped * top + 0.5);
      break;
    }
    case Encoding::Snorm: {
      double top = (double)((1ll << (channel.bits - 1)) - 1);
      double clamped = std::isnan(value) ? 0.0 : std::clamp((double)value, -1.0, 1.0);
      raw = (uint64_t)(int64_t)std::lround(clamped * top);
      break;
    }
    case Encoding::Float:
      if (channel.bits == 16) {
        D3DXFLOAT16 half;
        D3DXFloat32To16Array(&half, &value, 1);
        raw = half.value;
      } else {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        raw = bits;
      }
      break;
    case Encoding::Block:
      return;
  }
  WriteBits(texel, channel.shift, channel.bits, raw);
}

D3DXCOLOR CPixelFormat::DecodeTexel(const BYTE* texel) const {
  // Channels a format lacks read as 1, as the device samples them; an alpha-only format has
  // black colour.
  float colourMissing = (m_red.bits || m_green.bits || m_blue.bits) ? 1.0f : 0.0f;
  D3DXCOLOR c(ReadChannel(texel, m_red, colourMissing), ReadChannel(texel, m_green, colourMissing),
              ReadChannel(texel, m_blue, colourMissing), ReadChannel(texel, m_alpha, 1.0f));
  if (m_luminance) c.g = c.b = c.r;
  return c;
}

void CPixelFormat::EncodeTexel(const D3DXCOLOR& colour, BYTE* texel) const {
  WriteChannel(texel, m_red, m_luminance ? Luminance(colour) : colour.r);
  WriteChannel(texel, m_green, colour.g);
  WriteChannel(texel, m_blue, colour.b);
  WriteChannel(texel, m_alpha, colour.a);
  if (m_padding.bits) WriteBits(texel, m_padding.shift, m_padding.bits, ~0ull);
}

void CPixelFormat::Decode(const BYTE* bits, size_t pitch, UINT width, UINT height, D3DXCOLOR* out) const {
  if (!IsCompressed()) {
    for (UINT y = 0; y < height; ++y) {
      const BYTE* row = bits + y * pitch;
      for (UINT x = 0; x < width; ++x) out[(size_t)y * width + x] = DecodeTexel(row + (size_t)x * m_elementBytes);
    }
    return;
  }
  D3DXCOLOR block[16];
  for (UINT by = 0; by < RowCount(height); ++by) {
    const BYTE* row = bits + by * pitch;
    for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
      CDxtCodec::DecodeBlock(m_format, row + (size_t)bx * m_elementBytes, block);
      for (UINT y = 0; y < 4 && by * 4 + y < height; ++y)
        for (UINT x = 0; x < 4 && bx * 4 + x < width; ++x)
          out[(size_t)(by * 4 + y) * width + bx * 4 + x] = block[y * 4 + x];
    }
  }
}

void CPixelFormat::Encode(const D3DXCOLOR* in, UINT width, UINT height, BYTE* bits, size_t pitch) const {
  if (!IsCompressed()) {
    for (UINT y = 0; y < height; ++y) {
      BYTE* row = bits + y * pitch;
      for (UINT x = 0; x < width; ++x) EncodeTexel(in[(size_t)y * width + x], row + (size_t)x * m_elementBytes);
    }
    return;
  }
  // Blocks that stick out past the edge repeat the last row and column.
  D3DXCOLOR block[16];
  for (UINT by = 0; by < RowCount(height); ++by) {
    BYTE* row = bits + by * pitch;
    for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
      for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 4; ++x) {
          UINT sx = std::min(bx * 4 + x, width - 1), sy = std::min(by * 4 + y, height - 1);
          block[y * 4 + x] = in[(size_t)sy * width + sx];
        }
      CDxtCodec::EncodeBlock(m_format, block, row + (size_t)bx * m_elementBytes);
    }
  }
}
