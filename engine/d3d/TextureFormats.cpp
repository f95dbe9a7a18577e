#include "d3d/TextureFormats.h"

namespace {

struct FormatName {
  D3DFORMAT format;
  const char* name;
};

#define ZK_FORMAT(name) {D3DFMT_##name, "D3DFMT_" #name}
const FormatName kFormatNames[] = {
    {D3DFMT_UNKNOWN, "D3DFMT_UNKNOWN"},
    // A1R5G5B5 has always printed as unknown; reports keep that.
    {D3DFMT_A1R5G5B5, "D3DFMT_UNKNOWN"},
    ZK_FORMAT(R8G8B8), ZK_FORMAT(A8R8G8B8), ZK_FORMAT(X8R8G8B8), ZK_FORMAT(R5G6B5),
    ZK_FORMAT(X1R5G5B5), ZK_FORMAT(A4R4G4B4), ZK_FORMAT(R3G3B2), ZK_FORMAT(A8),
    ZK_FORMAT(A8R3G3B2), ZK_FORMAT(X4R4G4B4), ZK_FORMAT(A2B10G10R10), ZK_FORMAT(A8B8G8R8),
    ZK_FORMAT(X8B8G8R8), ZK_FORMAT(G16R16), ZK_FORMAT(A2R10G10B10), ZK_FORMAT(A16B16G16R16),
    ZK_FORMAT(A8P8), ZK_FORMAT(P8), ZK_FORMAT(L8), ZK_FORMAT(A8L8),
    ZK_FORMAT(A4L4), ZK_FORMAT(V8U8), ZK_FORMAT(L6V5U5), ZK_FORMAT(X8L8V8U8),
    ZK_FORMAT(Q8W8V8U8), ZK_FORMAT(V16U16), ZK_FORMAT(A2W10V10U10), ZK_FORMAT(D16_LOCKABLE),
    ZK_FORMAT(D32), ZK_FORMAT(D15S1), ZK_FORMAT(D24S8), ZK_FORMAT(D24X8),
    ZK_FORMAT(D24X4S4), ZK_FORMAT(D16), ZK_FORMAT(L16), ZK_FORMAT(D32F_LOCKABLE),
    ZK_FORMAT(D24FS8), ZK_FORMAT(VERTEXDATA), ZK_FORMAT(INDEX16), ZK_FORMAT(INDEX32),
    ZK_FORMAT(Q16W16V16U16), ZK_FORMAT(R16F), ZK_FORMAT(G16R16F), ZK_FORMAT(A16B16G16R16F),
    ZK_FORMAT(R32F), ZK_FORMAT(G32R32F), ZK_FORMAT(A32B32G32R32F), ZK_FORMAT(CxV8U8),
    ZK_FORMAT(UYVY), ZK_FORMAT(R8G8_B8G8), ZK_FORMAT(YUY2), ZK_FORMAT(G8R8_G8B8),
    ZK_FORMAT(DXT1), ZK_FORMAT(DXT2), ZK_FORMAT(DXT3), ZK_FORMAT(DXT4),
    ZK_FORMAT(DXT5), ZK_FORMAT(MULTI2_ARGB8),
};
#undef ZK_FORMAT

const char kFormatTitle[] = "Error When Loading Texture";
const char kUnknownNormalMap[] = "UnKnown NormalMap Requested Format: %s";

TextureFormatChoice Use(D3DFORMAT format) { return {format, nullptr, nullptr}; }
TextureFormatChoice Fatal(const char* text) { return {D3DFMT_UNKNOWN, kFormatTitle, text}; }

bool Is16Bit(D3DFORMAT format) { return format == D3DFMT_R5G6B5 || format == D3DFMT_A4R4G4B4; }

TextureFormatChoice SingleFileNormalMap(D3DFORMAT requested, D3DFORMAT file) {
  switch (requested) {
    case D3DFMT_X8R8G8B8:
      if (IsDxt1Or5(file)) return Use(D3DFMT_DXT1);
      return Use(Is16Bit(file) ? D3DFMT_R5G6B5 : D3DFMT_UNKNOWN);
    case D3DFMT_R5G6B5: return Use(D3DFMT_R5G6B5);
    case D3DFMT_DXT1: return Use(D3DFMT_DXT1);
    case D3DFMT_V8U8: return Use(D3DFMT_V8U8);
    case D3DFMT_G16R16:
      if (IsDxt1Or5(file)) return Use(D3DFMT_DXT1);
      if (Is16Bit(file)) return Use(D3DFMT_R5G6B5);
      return Use(file == D3DFMT_V8U8 ? D3DFMT_V8U8 : D3DFMT_G16R16);
    case D3DFMT_A16B16G16R16:
      if (IsDxt1Or5(file)) return Use(D3DFMT_DXT1);
      if (file == D3DFMT_A8R8G8B8 || file == D3DFMT_X8R8G8B8) return Use(D3DFMT_X8R8G8B8);
      if (Is16Bit(file)) return Use(D3DFMT_R5G6B5);
      if (file == D3DFMT_V8U8 || file == D3DFMT_G16R16) return Use(file);
      return Use(D3DFMT_A16B16G16R16);
    case D3DFMT_R16F: return Use(D3DFMT_R16F);
    default: return Fatal(kUnknownNormalMap);
  }
}

TextureFormatChoice SingleFileDecal(D3DFORMAT requested, D3DFORMAT file) {
  switch (requested) {
    case D3DFMT_X8R8G8B8:
      if (IsDxt1Or5(file)) return Use(D3DFMT_DXT1);
      return Use(Is16Bit(file) ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8);
    case D3DFMT_DXT1:
    case D3DFMT_R5G6B5:
    case D3DFMT_R16F: return Use(requested);
    default: return Use(D3DFMT_UNKNOWN);
  }
}

TextureFormatChoice TwoFileNormalMap(D3DFORMAT requested, D3DFORMAT file, bool hasA16B16G16R16) {
  if (file == D3DFMT_G16R16 || file == D3DFMT_V8U8)
    return Fatal("Only NormaMap in RGB Format May Be Merged With HeightMap: %s");
  switch (requested) {
    case D3DFMT_X8R8G8B8:
      if (IsDxt1Or5(file)) return Use(D3DFMT_DXT5);
      return Use(file == D3DFMT_A4R4G4B4 ? D3DFMT_A4R4G4B4 : D3DFMT_A8R8G8B8);
    case D3DFMT_R5G6B5: return Use(D3DFMT_A4R4G4B4);
    case D3DFMT_DXT1: return Use(D3DFMT_DXT5);
    case D3DFMT_V8U8: return Use(D3DFMT_A8R8G8B8);
    case D3DFMT_G16R16:
      if (file == D3DFMT_A8R8G8B8 || file == D3DFMT_X8R8G8B8 || file == D3DFMT_R5G6B5)
        return Use(D3DFMT_A8R8G8B8);
      if (IsDxt1Or5(file)) return Use(D3DFMT_DXT5);
      if (file == D3DFMT_A4R4G4B4) return Use(D3DFMT_A4R4G4B4);
      return Use(hasA16B16G16R16 ? D3DFMT_A16B16G16R16 : D3DFMT_A8R8G8B8);
    case D3DFMT_R16F: return Use(D3DFMT_R16F);
    default: return Fatal(kUnknownNormalMap);
  }
}

TextureFormatChoice TwoFileDecal(D3DFORMAT requested, const FileFormatReader& fileFormat) {
  switch (requested) {
    case D3DFMT_X8R8G8B8: {
      const D3DFORMAT file = fileFormat();
      if (IsDxt1Or5(file)) return Use(D3DFMT_DXT5);
      return Use(file == D3DFMT_A4R4G4B4 ? D3DFMT_A4R4G4B4 : D3DFMT_A8R8G8B8);
    }
    case D3DFMT_DXT1: return Use(D3DFMT_DXT5);
    case D3DFMT_R5G6B5: return Use(D3DFMT_A4R4G4B4);
    case D3DFMT_R16F: return Use(D3DFMT_R16F);
    default: return Fatal("UnKnown Decal Texture Requested Format: %s");
  }
}

}  // namespace

const char* GetD3DFormatName(D3DFORMAT format) {
  for (const FormatName& entry : kFormatNames)
    if (entry.format == format) return entry.name;
  return "NULL";
}

TextureFormatChoice ChooseSingleFileFormat(UINT normalMap, UINT keepFormat, D3DFORMAT requestedNormalMap,
                                           D3DFORMAT requestedDecal, const FileFormatReader& fileFormat) {
  const D3DFORMAT file = fileFormat();
  if (keepFormat != 0) return Use(file);
  return normalMap == 1 ? SingleFileNormalMap(requestedNormalMap, file) : SingleFileDecal(requestedDecal, file);
}

TextureFormatChoice ChooseTwoFileFormat(UINT normalMap, D3DFORMAT requestedNormalMap, D3DFORMAT requestedDecal,
                                        const FileFormatReader& fileFormat, bool hasA16B16G16R16) {
  if (normalMap == 1) return TwoFileNormalMap(requestedNormalMap, fileFormat(), hasA16B16G16R16);
  return TwoFileDecal(requestedDecal, fileFormat);
}

D3DFORMAT ChooseMaterialFormat(D3DFORMAT textureFormat) {
  switch (textureFormat) {
    case D3DFMT_X8R8G8B8: return D3DFMT_A8R8G8B8;
    case D3DFMT_R5G6B5: return D3DFMT_A4R4G4B4;
    default: return D3DFMT_DXT5;
  }
}
