#include "FormatTable.h"

#include <epoxy/gl.h>

namespace {

#define NOSWZ {0, 0, 0, 0}
#define LUM {GL_RED, GL_RED, GL_RED, GL_ONE}
#define ALPHA {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}
#define LUMALPHA {GL_RED, GL_RED, GL_RED, GL_GREEN}
// Direct3D 9 reads 1 for the channels a format does not have.
#define RED_ONLY {GL_RED, GL_ONE, GL_ONE, GL_ONE}
#define RED_GREEN {GL_RED, GL_GREEN, GL_ONE, GL_ONE}

const SFormatInfo kFormats[] = {
    {D3DFMT_A8R8G8B8, "D3DFMT_A8R8G8B8", 4, 1, false, false, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, NOSWZ},
    {D3DFMT_X8R8G8B8, "D3DFMT_X8R8G8B8", 4, 1, false, false, GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, NOSWZ},
    {D3DFMT_R8G8B8, "D3DFMT_R8G8B8", 3, 1, false, false, GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, NOSWZ},
    {D3DFMT_R5G6B5, "D3DFMT_R5G6B5", 2, 1, false, false, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, NOSWZ},
    {D3DFMT_X1R5G5B5, "D3DFMT_X1R5G5B5", 2, 1, false, false, GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV,
     NOSWZ},
    {D3DFMT_A1R5G5B5, "D3DFMT_A1R5G5B5", 2, 1, false, false, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV,
     NOSWZ},
    {D3DFMT_A4R4G4B4, "D3DFMT_A4R4G4B4", 2, 1, false, false, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV,
     NOSWZ},
    {D3DFMT_X4R4G4B4, "D3DFMT_X4R4G4B4", 2, 1, false, false, GL_RGB4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV,
     NOSWZ},
    {D3DFMT_A8B8G8R8, "D3DFMT_A8B8G8R8", 4, 1, false, false, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, NOSWZ},
    {D3DFMT_X8B8G8R8, "D3DFMT_X8B8G8R8", 4, 1, false, false, GL_RGB8, GL_RGBA, GL_UNSIGNED_BYTE, NOSWZ},
    {D3DFMT_A2R10G10B10, "D3DFMT_A2R10G10B10", 4, 1, false, false, GL_RGB10_A2, GL_BGRA,
     GL_UNSIGNED_INT_2_10_10_10_REV, NOSWZ},
    {D3DFMT_A2B10G10R10, "D3DFMT_A2B10G10R10", 4, 1, false, false, GL_RGB10_A2, GL_RGBA,
     GL_UNSIGNED_INT_2_10_10_10_REV, NOSWZ},
    {D3DFMT_G16R16, "D3DFMT_G16R16", 4, 1, false, false, GL_RG16, GL_RG, GL_UNSIGNED_SHORT, RED_GREEN},
    {D3DFMT_A16B16G16R16, "D3DFMT_A16B16G16R16", 8, 1, false, false, GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, NOSWZ},
    {D3DFMT_A8, "D3DFMT_A8", 1, 1, false, false, GL_R8, GL_RED, GL_UNSIGNED_BYTE, ALPHA},
    {D3DFMT_L8, "D3DFMT_L8", 1, 1, false, false, GL_R8, GL_RED, GL_UNSIGNED_BYTE, LUM},
    {D3DFMT_A8L8, "D3DFMT_A8L8", 2, 1, false, false, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, LUMALPHA},
    {D3DFMT_L16, "D3DFMT_L16", 2, 1, false, false, GL_R16, GL_RED, GL_UNSIGNED_SHORT, LUM},
    {D3DFMT_V8U8, "D3DFMT_V8U8", 2, 1, false, false, GL_RG8_SNORM, GL_RG, GL_BYTE, RED_GREEN},
    {D3DFMT_V16U16, "D3DFMT_V16U16", 4, 1, false, false, GL_RG16_SNORM, GL_RG, GL_SHORT, RED_GREEN},
    {D3DFMT_Q8W8V8U8, "D3DFMT_Q8W8V8U8", 4, 1, false, false, GL_RGBA8_SNORM, GL_RGBA, GL_BYTE, NOSWZ},
    {D3DFMT_R16F, "D3DFMT_R16F", 2, 1, false, false, GL_R16F, GL_RED, GL_HALF_FLOAT, RED_ONLY},
    {D3DFMT_G16R16F, "D3DFMT_G16R16F", 4, 1, false, false, GL_RG16F, GL_RG, GL_HALF_FLOAT, RED_GREEN},
    {D3DFMT_A16B16G16R16F, "D3DFMT_A16B16G16R16F", 8, 1, false, false, GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, NOSWZ},
    {D3DFMT_R32F, "D3DFMT_R32F", 4, 1, false, false, GL_R32F, GL_RED, GL_FLOAT, RED_ONLY},
    {D3DFMT_G32R32F, "D3DFMT_G32R32F", 8, 1, false, false, GL_RG32F, GL_RG, GL_FLOAT, RED_GREEN},
    {D3DFMT_A32B32G32R32F, "D3DFMT_A32B32G32R32F", 16, 1, false, false, GL_RGBA32F, GL_RGBA, GL_FLOAT, NOSWZ},
    {D3DFMT_DXT1, "D3DFMT_DXT1", 8, 4, false, false, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, NOSWZ},
    {D3DFMT_DXT2, "D3DFMT_DXT2", 16, 4, false, false, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, NOSWZ},
    {D3DFMT_DXT3, "D3DFMT_DXT3", 16, 4, false, false, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, NOSWZ},
    {D3DFMT_DXT4, "D3DFMT_DXT4", 16, 4, false, false, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, NOSWZ},
    {D3DFMT_DXT5, "D3DFMT_DXT5", 16, 4, false, false, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, NOSWZ},
    {D3DFMT_D16, "D3DFMT_D16", 2, 1, true, false, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
     NOSWZ},
    {D3DFMT_D16_LOCKABLE, "D3DFMT_D16_LOCKABLE", 2, 1, true, false, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT,
     GL_UNSIGNED_SHORT, NOSWZ},
    {D3DFMT_D32, "D3DFMT_D32", 4, 1, true, false, GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, NOSWZ},
    {D3DFMT_D24X8, "D3DFMT_D24X8", 4, 1, true, false, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL,
     GL_UNSIGNED_INT_24_8, NOSWZ},
    {D3DFMT_D24S8, "D3DFMT_D24S8", 4, 1, true, true, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8,
     NOSWZ},
    {D3DFMT_D24FS8, "D3DFMT_D24FS8", 4, 1, true, true, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL,
     GL_UNSIGNED_INT_24_8, NOSWZ},
};

}  // namespace

const SFormatInfo* CFormatTable::Find(D3DFORMAT format) {
  for (const SFormatInfo& info : kFormats)
    if (info.format == format) return &info;
  return nullptr;
}

bool CFormatTable::IsCompressed(D3DFORMAT format) {
  const SFormatInfo* info = Find(format);
  return info && info->blockSize > 1;
}

UINT CFormatTable::Pitch(const SFormatInfo& info, UINT width) {
  UINT blocks = (width + info.blockSize - 1) / info.blockSize;
  if (blocks == 0) blocks = 1;
  return blocks * info.blockBytes;
}

UINT CFormatTable::Rows(const SFormatInfo& info, UINT height) {
  UINT rows = (height + info.blockSize - 1) / info.blockSize;
  return rows == 0 ? 1 : rows;
}

size_t CFormatTable::LevelBytes(const SFormatInfo& info, UINT width, UINT height) {
  return static_cast<size_t>(Pitch(info, width)) * Rows(info, height);
}
