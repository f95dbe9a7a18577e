#pragma once
// The DDS file: a 128-byte header ("DDS " and a 124-byte description) followed by the levels of
// a 2D texture, of each of a cube's six faces in turn, or of a volume, largest first.
#include <vector>

#include "SurfaceBits.h"
#include "d3dx9tex.h"

class CDdsFile {
 public:
  static bool HasSignature(const BYTE* data, size_t size);

  // Reads the header and the levels. `surfaces` receives face after face, each face's levels
  // largest first; of a volume only the first slice of the top level. D3DXERR_INVALIDDATA when
  // the header is malformed, the format unknown or the file shorter than its levels.
  static HRESULT Read(const BYTE* data, size_t size, D3DXIMAGE_INFO* info, std::vector<CSurfaceBits>* surfaces);

  // Writes a 2D texture (one face) or a cube texture (six faces) of `levels` levels, the
  // surfaces ordered as Read returns them.
  static HRESULT Write(D3DRESOURCETYPE type, UINT levels, const std::vector<CSurfaceBits>& surfaces,
                       std::vector<BYTE>* file);
};
