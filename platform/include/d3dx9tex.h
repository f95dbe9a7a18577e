#pragma once
// D3DX 9 image files and textures: image information, loading surfaces with scaling and format
// conversion, creating textures from files and saving them as DDS.
#include "d3d9.h"
#include "d3dx9core.h"

// Filters. The low byte picks the filter; the high bits add options.
#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)
#define D3DX_FILTER_MIRROR_U (1 << 16)
#define D3DX_FILTER_MIRROR_V (2 << 16)
#define D3DX_FILTER_MIRROR_W (4 << 16)
#define D3DX_FILTER_MIRROR (7 << 16)
#define D3DX_FILTER_DITHER (1 << 19)
#define D3DX_FILTER_DITHER_DIFFUSION (2 << 19)
#define D3DX_FILTER_SRGB_IN (1 << 21)
#define D3DX_FILTER_SRGB_OUT (2 << 21)
#define D3DX_FILTER_SRGB (3 << 21)
#define D3DX_SKIP_DDS_MIP_LEVELS_MASK 0x1F
#define D3DX_SKIP_DDS_MIP_LEVELS_SHIFT 26

#ifndef ZK_PALETTEENTRY_DEFINED
#define ZK_PALETTEENTRY_DEFINED
typedef struct tagPALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
} PALETTEENTRY, *LPPALETTEENTRY;
#endif

typedef enum _D3DXIMAGE_FILEFORMAT {
  D3DXIFF_BMP = 0,
  D3DXIFF_JPG = 1,
  D3DXIFF_TGA = 2,
  D3DXIFF_PNG = 3,
  D3DXIFF_DDS = 4,
  D3DXIFF_PPM = 5,
  D3DXIFF_DIB = 6,
  D3DXIFF_HDR = 7,
  D3DXIFF_PFM = 8,
  D3DXIFF_FORCE_DWORD = 0x7fffffff
} D3DXIMAGE_FILEFORMAT;

typedef struct _D3DXIMAGE_INFO {
  UINT Width;
  UINT Height;
  UINT Depth;
  UINT MipLevels;
  D3DFORMAT Format;
  D3DRESOURCETYPE ResourceType;
  D3DXIMAGE_FILEFORMAT ImageFileFormat;
} D3DXIMAGE_INFO;

// Image information of a DDS, PNG, JPEG, TGA or BMP file. D3DXERR_INVALIDDATA for anything
// that cannot be read as one.
ZKAPI HRESULT D3DXGetImageInfoFromFileA(LPCSTR srcFile, D3DXIMAGE_INFO* srcInfo);
ZKAPI HRESULT D3DXGetImageInfoFromFileInMemory(LPCVOID srcData, UINT srcDataSize, D3DXIMAGE_INFO* srcInfo);
// `module` null means the program's own images (see zkplatform/ZkResources.h).
ZKAPI HRESULT D3DXGetImageInfoFromResourceA(HMODULE module, LPCSTR resource, D3DXIMAGE_INFO* srcInfo);

// Each load decodes the source (the top level of a DDS), scales its source rectangle (whole when
// null) into the destination rectangle (whole when null) with the filter and converts it to the
// surface's format. A colour key (when not 0) makes matching texels transparent black.
ZKAPI HRESULT D3DXLoadSurfaceFromFileA(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY* destPalette,
                                       const RECT* destRect, LPCSTR srcFile, const RECT* srcRect, DWORD filter,
                                       D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo);
ZKAPI HRESULT D3DXLoadSurfaceFromFileInMemory(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY* destPalette,
                                              const RECT* destRect, LPCVOID srcData, UINT srcDataSize,
                                              const RECT* srcRect, DWORD filter, D3DCOLOR colorKey,
                                              D3DXIMAGE_INFO* srcInfo);
ZKAPI HRESULT D3DXLoadSurfaceFromResourceA(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY* destPalette,
                                           const RECT* destRect, HMODULE srcModule, LPCSTR srcResource,
                                           const RECT* srcRect, DWORD filter, D3DCOLOR colorKey,
                                           D3DXIMAGE_INFO* srcInfo);
ZKAPI HRESULT D3DXLoadSurfaceFromSurface(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY* destPalette,
                                         const RECT* destRect, LPDIRECT3DSURFACE9 srcSurface,
                                         const PALETTEENTRY* srcPalette, const RECT* srcRect, DWORD filter,
                                         D3DCOLOR colorKey);
ZKAPI HRESULT D3DXLoadSurfaceFromMemory(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY* destPalette,
                                        const RECT* destRect, LPCVOID srcMemory, D3DFORMAT srcFormat,
                                        UINT srcPitch, const PALETTEENTRY* srcPalette, const RECT* srcRect,
                                        DWORD filter, D3DCOLOR colorKey);

// Width, height and mip levels of D3DX_DEFAULT (or 0) come from the file; D3DFMT_UNKNOWN takes
// the file's format. A DDS keeps its own mip levels; other levels are filtered with mipFilter.
ZKAPI HRESULT D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 device, LPCSTR srcFile, UINT width, UINT height,
                                           UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                           D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                           LPDIRECT3DTEXTURE9* texture);
ZKAPI HRESULT D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 device, LPCVOID srcData, UINT srcDataSize,
                                                  UINT width, UINT height, UINT mipLevels, DWORD usage,
                                                  D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                  D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                                  PALETTEENTRY* palette, LPDIRECT3DTEXTURE9* texture);

// D3DXIFF_DDS writes every level (and every face of a cube texture) as they are, so the file
// loads back bit for bit; PNG, BMP (DIB), TGA and JPG hold the top level as 8-bit colour.
// Other file formats: E_NOTIMPL.
ZKAPI HRESULT D3DXSaveTextureToFileA(LPCSTR destFile, D3DXIMAGE_FILEFORMAT destFormat,
                                     LPDIRECT3DBASETEXTURE9 srcTexture, const PALETTEENTRY* srcPalette);
ZKAPI HRESULT D3DXSaveTextureToFileInMemory(LPD3DXBUFFER* destBuffer, D3DXIMAGE_FILEFORMAT destFormat,
                                            LPDIRECT3DBASETEXTURE9 srcTexture, const PALETTEENTRY* srcPalette);
