#pragma once
// The engine's format bits: a set of surface formats is a 32-bit mask with one bit per format
// of one table. The enumeration's format masks, the presets' render-target format words and
// the log's format names all go through these lookups.
#include "d3d9types.h"

// The table's Direct3D format of `bit`; D3DFMT_UNKNOWN for any other value, several bits
// included.
D3DFORMAT FormatBitToD3DFormat(DWORD bit);
// The bit of `format`; 0 for a format outside the table.
DWORD D3DFormatToFormatBit(DWORD format);
// The short name of `bit` ("A8R8G8B8"); "NULL" for any other value.
const char* GetFormatBitName(DWORD bit);
