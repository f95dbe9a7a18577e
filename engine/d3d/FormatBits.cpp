#include "d3d/FormatBits.h"

namespace {

struct FormatBitEntry {
  DWORD bit;
  D3DFORMAT format;
  const char* name;
};

// V8U8 has a bit of its own too: the enumeration records it and the preset's second extra
// surface format asks for it.
const FormatBitEntry kFormatBits[] = {
    {0x1, D3DFMT_A8R8G8B8, "A8R8G8B8"},
    {0x2, D3DFMT_X8R8G8B8, "X8R8G8B8"},
    {0x4, D3DFMT_R5G6B5, "R5G6B5"},
    {0x8, D3DFMT_A4R4G4B4, "A4R4G4B4"},
    {0x10, D3DFMT_DXT1, "DXT1"},
    {0x20, D3DFMT_DXT2, "DXT2"},
    {0x40, D3DFMT_DXT3, "DXT3"},
    {0x80, D3DFMT_DXT4, "DXT4"},
    {0x100, D3DFMT_DXT5, "DXT5"},
    {0x200, D3DFMT_A2R10G10B10, "A2R10G10B10"},
    {0x400, D3DFMT_R32F, "R32F"},
    {0x800, D3DFMT_R16F, "R16F"},
    {0x1000, D3DFMT_G16R16F, "G16R16F"},
    {0x2000, D3DFMT_A32B32G32R32F, "A32B32G32R32F"},
    {0x4000, D3DFMT_L8, "L8"},
    {0x8000, D3DFMT_A16B16G16R16F, "A16B16G16R16F"},
    {0x10000, D3DFMT_G16R16, "G16R16"},
    {0x20000, D3DFMT_A16B16G16R16, "A16B16G16R16"},
    {0x40000, D3DFMT_A2B10G10R10, "A2B10G10R10"},
    {0x80000, D3DFMT_V8U8, "V8U8"},
    {0x2000000, D3DFMT_D24S8, "D24S8"},
    {0x4000000, D3DFMT_D24X8, "D24X8"},
    {0x8000000, D3DFMT_D16, "D16"},
};

const FormatBitEntry* EntryOfBit(DWORD bit) {
  for (const FormatBitEntry& entry : kFormatBits)
    if (entry.bit == bit) return &entry;
  return nullptr;
}

}  // namespace

D3DFORMAT FormatBitToD3DFormat(DWORD bit) {
  const FormatBitEntry* entry = EntryOfBit(bit);
  return entry ? entry->format : D3DFMT_UNKNOWN;
}

DWORD D3DFormatToFormatBit(DWORD format) {
  for (const FormatBitEntry& entry : kFormatBits)
    if (static_cast<DWORD>(entry.format) == format) return entry.bit;
  return 0;
}

const char* GetFormatBitName(DWORD bit) {
  const FormatBitEntry* entry = EntryOfBit(bit);
  return entry ? entry->name : "NULL";
}
