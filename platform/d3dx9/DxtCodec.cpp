#include "DxtCodec.h"

#include <stb_dxt.h>

#include <algorithm>
#include <cstdint>

namespace {

BYTE ToByte(float f) { return (BYTE)(std::clamp(f, 0.0f, 1.0f) * 255.0f + 0.5f); }

struct Rgb {
  int r, g, b;
};

Rgb Expand565(WORD c) {
  int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
  return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

// The colour half of every DXT block: two 5:6:5 end points and 2-bit indices. Only DXT1 has the
// three-colour mode with transparent black, chosen by the end points' order.
void DecodeColour(const BYTE* block, bool allowThreeColour, D3DXCOLOR texels[16]) {
  WORD c0 = (WORD)(block[0] | block[1] << 8), c1 = (WORD)(block[2] | block[3] << 8);
  Rgb a = Expand565(c0), b = Expand565(c1);
  Rgb palette[4] = {a, b};
  bool fourColour = c0 > c1 || !allowThreeColour;
  if (fourColour) {
    palette[2] = {(2 * a.r + b.r + 1) / 3, (2 * a.g + b.g + 1) / 3, (2 * a.b + b.b + 1) / 3};
    palette[3] = {(a.r + 2 * b.r + 1) / 3, (a.g + 2 * b.g + 1) / 3, (a.b + 2 * b.b + 1) / 3};
  } else {
    palette[2] = {(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2};
    palette[3] = {0, 0, 0};
  }
  uint32_t indices = (uint32_t)block[4] | (uint32_t)block[5] << 8 | (uint32_t)block[6] << 16 | (uint32_t)block[7] << 24;
  for (int i = 0; i < 16; ++i) {
    int index = (indices >> (2 * i)) & 3;
    const Rgb& c = palette[index];
    texels[i] = D3DXCOLOR(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, (!fourColour && index == 3) ? 0.0f : 1.0f);
  }
}

void DecodeExplicitAlpha(const BYTE* block, D3DXCOLOR texels[16]) {
  for (int i = 0; i < 16; ++i) {
    int nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
    texels[i].a = nibble / 15.0f;
  }
}

void DecodeInterpolatedAlpha(const BYTE* block, D3DXCOLOR texels[16]) {
  int a0 = block[0], a1 = block[1];
  int palette[8] = {a0, a1};
  if (a0 > a1) {
    for (int i = 1; i < 7; ++i) palette[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
  } else {
    for (int i = 1; i < 5; ++i) palette[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
    palette[6] = 0;
    palette[7] = 255;
  }
  uint64_t indices = 0;
  for (int i = 0; i < 6; ++i) indices |= (uint64_t)block[2 + i] << (8 * i);
  for (int i = 0; i < 16; ++i) texels[i].a = palette[(indices >> (3 * i)) & 7] / 255.0f;
}

// DXT1 with transparent texels: the three-colour mode (first end point not above the second),
// index 3 for texels whose alpha is below one half, the nearest of the other three for the rest.
void EncodeDxt1WithAlpha(const BYTE rgba[64], BYTE* block) {
  BYTE opaque[64];
  int firstOpaque = -1;
  for (int i = 0; i < 16; ++i)
    if (rgba[4 * i + 3] >= 128) {
      firstOpaque = i;
      break;
    }
  if (firstOpaque < 0) {
    std::fill_n(block, 4, 0);
    std::fill_n(block + 4, 4, 0xff);
    return;
  }
  // Fit the end points to the opaque texels only.
  for (int i = 0; i < 16; ++i) {
    int from = rgba[4 * i + 3] >= 128 ? i : firstOpaque;
    std::copy_n(rgba + 4 * from, 4, opaque + 4 * i);
  }
  stb_compress_dxt_block(block, opaque, 0, STB_DXT_HIGHQUAL);
  WORD high = (WORD)(block[0] | block[1] << 8), low = (WORD)(block[2] | block[3] << 8);
  block[0] = (BYTE)low;
  block[1] = (BYTE)(low >> 8);
  block[2] = (BYTE)high;
  block[3] = (BYTE)(high >> 8);
  Rgb a = Expand565(low), b = Expand565(high);
  Rgb palette[3] = {a, b, {(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2}};
  uint32_t indices = 0;
  for (int i = 0; i < 16; ++i) {
    uint32_t index = 3;
    if (rgba[4 * i + 3] >= 128) {
      int best = INT32_MAX;
      for (uint32_t k = 0; k < 3; ++k) {
        int dr = palette[k].r - rgba[4 * i], dg = palette[k].g - rgba[4 * i + 1], db = palette[k].b - rgba[4 * i + 2];
        int distance = dr * dr + dg * dg + db * db;
        if (distance < best) {
          best = distance;
          index = k;
        }
      }
    }
    indices |= index << (2 * i);
  }
  for (int i = 0; i < 4; ++i) block[4 + i] = (BYTE)(indices >> (8 * i));
}

}  // namespace

bool CDxtCodec::IsDxt(D3DFORMAT format) {
  return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
         format == D3DFMT_DXT5;
}

void CDxtCodec::DecodeBlock(D3DFORMAT format, const BYTE* block, D3DXCOLOR texels[16]) {
  if (format == D3DFMT_DXT1) {
    DecodeColour(block, true, texels);
    return;
  }
  DecodeColour(block + 8, false, texels);
  if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3)
    DecodeExplicitAlpha(block, texels);
  else
    DecodeInterpolatedAlpha(block, texels);
}

void CDxtCodec::EncodeBlock(D3DFORMAT format, const D3DXCOLOR texels[16], BYTE* block) {
  BYTE rgba[64];
  for (int i = 0; i < 16; ++i) {
    rgba[4 * i] = ToByte(texels[i].r);
    rgba[4 * i + 1] = ToByte(texels[i].g);
    rgba[4 * i + 2] = ToByte(texels[i].b);
    rgba[4 * i + 3] = ToByte(texels[i].a);
  }
  if (format == D3DFMT_DXT1) {
    bool transparent = false;
    for (int i = 0; i < 16; ++i) transparent = transparent || rgba[4 * i + 3] < 128;
    if (transparent)
      EncodeDxt1WithAlpha(rgba, block);
    else
      stb_compress_dxt_block(block, rgba, 0, STB_DXT_HIGHQUAL);
  } else if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
    for (int i = 0; i < 8; ++i) {
      int low = (rgba[4 * (2 * i) + 3] * 15 + 127) / 255, high = (rgba[4 * (2 * i + 1) + 3] * 15 + 127) / 255;
      block[i] = (BYTE)(low | high << 4);
    }
    stb_compress_dxt_block(block + 8, rgba, 0, STB_DXT_HIGHQUAL);
  } else {
    stb_compress_dxt_block(block, rgba, 1, STB_DXT_HIGHQUAL);
  }
}
