#pragma once
// The formats of textures: the printed names of Direct3D formats, and the formats that file and
// material textures are created in, chosen from the format the device settings request, the
// format of the image file and the kind of texture.
#include <functional>

#include "d3d9types.h"

// "D3DFMT_DXT5" and the like; "D3DFMT_UNKNOWN" for 0 and A1R5G5B5, "NULL" for an unlisted code.
const char* GetD3DFormatName(D3DFORMAT format);

// A format, or the fatal error that ends the creation (`fatalText` has one %s: the file name).
struct TextureFormatChoice {
  D3DFORMAT format = D3DFMT_UNKNOWN;
  const char* fatalTitle = nullptr;
  const char* fatalText = nullptr;
};

// The image file's own format, read only by the rules that need it.
using FileFormatReader = std::function<D3DFORMAT()>;

// A texture from one image file, by the requested normal-map or decal format. D3DFMT_UNKNOWN
// leaves the choice to the loader.
TextureFormatChoice ChooseSingleFileFormat(UINT normalMap, UINT keepFormat, D3DFORMAT requestedNormalMap,
                                           D3DFORMAT requestedDecal, const FileFormatReader& fileFormat);
// A texture whose alpha comes from a second file: always a format with an alpha channel.
// `hasA16B16G16R16` says whether the device offers textures in A16B16G16R16.
TextureFormatChoice ChooseTwoFileFormat(UINT normalMap, D3DFORMAT requestedNormalMap, D3DFORMAT requestedDecal,
                                        const FileFormatReader& fileFormat, bool hasA16B16G16R16);
// A material texture, by the enumeration's texture format.
D3DFORMAT ChooseMaterialFormat(D3DFORMAT textureFormat);

// True for DXT1 and DXT5, the two compressed formats the rules tell apart.
inline bool IsDxt1Or5(D3DFORMAT format) { return format == D3DFMT_DXT1 || format == D3DFMT_DXT5; }
