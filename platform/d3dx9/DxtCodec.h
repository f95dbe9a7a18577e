#pragma once
// DXT1 to DXT5 (BC1 to BC3) blocks: 4x4 texels in 8 (DXT1) or 16 bytes. DXT2 and DXT4 hold
// premultiplied colour and are decoded as stored, like DXT3 and DXT5.
#include "d3d9.h"
#include "d3dx9math.h"

class CDxtCodec {
 public:
  static bool IsDxt(D3DFORMAT format);
  static UINT BlockBytes(D3DFORMAT format) { return format == D3DFMT_DXT1 ? 8 : 16; }
  // `texels` are the block's 16 texels, row by row.
  static void DecodeBlock(D3DFORMAT format, const BYTE* block, D3DXCOLOR texels[16]);
  static void EncodeBlock(D3DFORMAT format, const D3DXCOLOR texels[16], BYTE* block);
};
