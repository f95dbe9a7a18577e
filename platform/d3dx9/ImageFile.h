#pragma once
// An image file in memory, as D3DX reads it: DDS through CDdsFile, PNG, JPEG, TGA and BMP
// through stb_image. Holds the file's information and its levels as surfaces.
#include <vector>

#include "SurfaceBits.h"
#include "d3dx9tex.h"

class CImageFile {
 public:
  // Reads the information and, unless `infoOnly`, the texels. D3DXERR_INVALIDDATA for data
  // that is not a complete image of a supported kind.
  HRESULT Parse(const void* data, size_t size, bool infoOnly);

  const D3DXIMAGE_INFO& Info() const { return m_info; }
  // Level `level` of face `face` (0 unless a cube); a file other than DDS has one A8R8G8B8 level.
  const CSurfaceBits& Surface(UINT face, UINT level) const { return m_surfaces[face * LevelsHeld() + level]; }
  UINT LevelsHeld() const { return m_info.ResourceType == D3DRTYPE_VOLUMETEXTURE ? 1 : m_info.MipLevels; }

  // The bytes of a file (through ZkMapPath), or of a resource of a module; D3DXERR_INVALIDDATA
  // when there is none or it cannot be read.
  static HRESULT ReadFile(const char* path, std::vector<BYTE>* bytes);
  static HRESULT FindResource(HMODULE module, const char* name, const void** data, size_t* size);

 private:
  HRESULT ParseWithStb(const BYTE* data, size_t size, bool infoOnly);

  D3DXIMAGE_INFO m_info{};
  std::vector<CSurfaceBits> m_surfaces;
};
