// D3DX image information and surface loading from files, memory, resources and surfaces.
#include <algorithm>
#include <vector>

#include "ImageFile.h"
#include "OutOfMemoryGuard.h"
#include "PixelFormat.h"
#include "SurfaceAccess.h"

namespace {

HRESULT InfoFromMemory(const void* data, size_t size, D3DXIMAGE_INFO* info) {
  if (!data || !info) return D3DERR_INVALIDCALL;
  CImageFile file;
  HRESULT hr = file.Parse(data, size, true);
  if (SUCCEEDED(hr)) *info = file.Info();
  return hr;
}

// Loads the top level of the first face of an image file into the surface.
HRESULT LoadFromMemory(IDirect3DSurface9* dest, const RECT* destRect, const void* data, size_t size,
                       const RECT* srcRect, DWORD filter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo) {
  if (!dest || !data || size == 0) return D3DERR_INVALIDCALL;
  CImageFile file;
  HRESULT hr = file.Parse(data, size, false);
  if (FAILED(hr)) return hr;
  hr = CSurfaceAccess::Write(dest, destRect, file.Surface(0, 0), srcRect, filter, colorKey);
  if (SUCCEEDED(hr) && srcInfo) *srcInfo = file.Info();
  return hr;
}

}  // namespace

ZKAPI HRESULT D3DXGetImageInfoFromFileInMemory(LPCVOID srcData, UINT srcDataSize, D3DXIMAGE_INFO* srcInfo) {
  return ReturnOutOfMemory([&]() -> HRESULT { return InfoFromMemory(srcData, srcDataSize, srcInfo); });
}

ZKAPI HRESULT D3DXGetImageInfoFromFileA(LPCSTR srcFile, D3DXIMAGE_INFO* srcInfo) {
  return ReturnOutOfMemory([&]() -> HRESULT {
    if (!srcFile || !srcInfo) return D3DERR_INVALIDCALL;
    std::vector<BYTE> bytes;
    HRESULT hr = CImageFile::ReadFile(srcFile, &bytes);
    return FAILED(hr) ? hr : InfoFromMemory(bytes.data(), bytes.size(), srcInfo);
  });
}

ZKAPI HRESULT D3DXGetImageInfoFromResourceA(HMODULE module, LPCSTR resource, D3DXIMAGE_INFO* srcInfo) {
  return ReturnOutOfMemory([&]() -> HRESULT {
    if (!srcInfo) return D3DERR_INVALIDCALL;
    const void* data;
    size_t size;
    HRESULT hr = CImageFile::FindResource(module, resource, &data, &size);
    return FAILED(hr) ? hr : InfoFromMemory(data, size, srcInfo);
  });
}

ZKAPI HRESULT D3DXLoadSurfaceFromFileInMemory(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY*, const RECT* destRect,
                                              LPCVOID srcData, UINT srcDataSize, const RECT* srcRect, DWORD filter,
                                              D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo) {
  return ReturnOutOfMemory([&]() -> HRESULT {
    return LoadFromMemory(destSurface, destRect, srcData, srcDataSize, srcRect, filter, colorKey, srcInfo);
  });
}

ZKAPI HRESULT D3DXLoadSurfaceFromFileA(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY*, const RECT* destRect,
                                       LPCSTR srcFile, const RECT* srcRect, DWORD filter, D3DCOLOR colorKey,
                                       D3DXIMAGE_INFO* srcInfo) {
  return ReturnOutOfMemory([&]() -> HRESULT {
    if (!destSurface || !srcFile) return D3DERR_INVALIDCALL;
    std::vector<BYTE> bytes;
    HRESULT hr = CImageFile::ReadFile(srcFile, &bytes);
    return FAILED(hr)
               ? hr
               : LoadFromMemory(destSurface, destRect, bytes.data(), bytes.size(), srcRect, filter, colorKey, srcInfo);
  });
}

ZKAPI HRESULT D3DXLoadSurfaceFromResourceA(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY*, const RECT* destRect,
                                           HMODULE srcModule, LPCSTR srcResource, const RECT* srcRect, DWORD filter,
                                           D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo) {
  return ReturnOutOfMemory([&]() -> HRESULT {
    if (!destSurface) return D3DERR_INVALIDCALL;
    const void* data;
    size_t size;
    HRESULT hr = CImageFile::FindResource(srcModule, srcResource, &data, &size);
    return FAILED(hr) ? hr : LoadFromMemory(destSurface, destRect, data, size, srcRect, filter, colorKey, srcInfo);
  });
}

ZKAPI HRESULT D3DXLoadSurfaceFromSurface(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY*, const RECT* destRect,
                                         LPDIRECT3DSURFACE9 srcSurface, const PALETTEENTRY*, const RECT* srcRect,
                                         DWORD filter, D3DCOLOR colorKey) {
  return ReturnOutOfMemory([&]() -> HRESULT {
    if (!destSurface || !srcSurface) return D3DERR_INVALIDCALL;
    // The whole source is copied out first, so source and destination may be the same surface.
    CSurfaceBits source;
    HRESULT hr = CSurfaceAccess::Read(srcSurface, &source);
    return FAILED(hr) ? hr : CSurfaceAccess::Write(destSurface, destRect, source, srcRect, filter, colorKey);
  });
}

ZKAPI HRESULT D3DXLoadSurfaceFromMemory(LPDIRECT3DSURFACE9 destSurface, const PALETTEENTRY*, const RECT* destRect,
                                        LPCVOID srcMemory, D3DFORMAT srcFormat, UINT srcPitch, const PALETTEENTRY*,
                                        const RECT* srcRect, DWORD filter, D3DCOLOR colorKey) {
  return ReturnOutOfMemory([&]() -> HRESULT {
    const CPixelFormat* format = CPixelFormat::Find(srcFormat);
    if (!destSurface || !srcMemory || !srcRect) return D3DERR_INVALIDCALL;
    if (!format) return E_NOTIMPL;
    // The rectangle says where the texels lie in the caller's memory; the copy starts at its
    // top-left texel (its block, when compressed).
    if (srcRect->left < 0 || srcRect->top < 0 || srcRect->right <= srcRect->left || srcRect->bottom <= srcRect->top ||
        format->RowPitch((UINT)srcRect->right) > srcPitch)
      return D3DERR_INVALIDCALL;
    UINT width = srcRect->right - srcRect->left, height = srcRect->bottom - srcRect->top;
    if (format->IsCompressed() && (srcRect->left % 4 || srcRect->top % 4)) return D3DERR_INVALIDCALL;
    CSurfaceBits source(srcFormat, width, height);
    const BYTE* from = static_cast<const BYTE*>(srcMemory);
    size_t firstRow = format->IsCompressed() ? srcRect->top / 4 : srcRect->top;
    size_t firstColumn = (format->IsCompressed() ? srcRect->left / 4 : srcRect->left) * format->ElementBytes();
    for (UINT row = 0; row < format->RowCount(height); ++row)
      std::copy_n(from + (firstRow + row) * srcPitch + firstColumn, source.Pitch(),
                  source.Bytes() + row * source.Pitch());
    return CSurfaceAccess::Write(destSurface, destRect, source, nullptr, filter, colorKey);
  });
}
