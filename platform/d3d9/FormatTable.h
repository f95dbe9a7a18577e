#pragma once
// What the device knows about each surface format: its memory layout and how GL holds it.
#include "d3d9types.h"

struct SFormatInfo {
  D3DFORMAT format;
  const char* name;
  UINT blockBytes;   // bytes per pixel, or per 4x4 block for compressed formats
  UINT blockSize;    // 1 for plain formats, 4 for DXT
  bool isDepth;
  bool hasStencil;
  // GL upload description (0 when GL cannot hold the format).
  unsigned glInternal;
  unsigned glFormat;
  unsigned glType;
  // Swizzle for formats GL has no direct match for (luminance, alpha-only, missing channels);
  // all 0 means identity.
  int swizzle[4];
};

class CFormatTable {
 public:
  // Null for a format the device does not support at all.
  static const SFormatInfo* Find(D3DFORMAT format);
  static bool IsCompressed(D3DFORMAT format);
  // Row pitch and row count (in blocks for compressed formats) of a width x height level.
  static UINT Pitch(const SFormatInfo& info, UINT width);
  static UINT Rows(const SFormatInfo& info, UINT height);
  static size_t LevelBytes(const SFormatInfo& info, UINT width, UINT height);
};
