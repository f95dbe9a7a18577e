#pragma once
// Moving texels in and out of Direct3D surfaces: the common path of every D3DX load.
#include "Image.h"
#include "SurfaceBits.h"
#include "d3dx9tex.h"

class CPixelFormat;

class CSurfaceAccess {
 public:
  // True for D3DX_DEFAULT and for a D3DX_FILTER_ value whose low byte names a filter.
  static bool IsValidFilter(DWORD filter);

  // Copies the whole surface out, rows packed; a default-pool render target through the
  // device's GetRenderTargetData.
  static HRESULT Read(IDirect3DSurface9* surface, CSurfaceBits* bits);

  // Puts the source rectangle (whole when null) of `source` into the destination rectangle
  // (whole when null): as it is when format and size agree and no colour key is given, else
  // decoded, keyed, scaled with `filter` and encoded in the surface's format. A default-pool
  // surface that cannot be locked is filled through a system-memory copy and UpdateSurface.
  static HRESULT Write(IDirect3DSurface9* dest, const RECT* destRect, const CSurfaceBits& source, const RECT* srcRect,
                       DWORD filter, D3DCOLOR colorKey);

  // Puts `image`, scaled with `filter` to the destination rectangle, into the surface.
  static HRESULT WriteImage(IDirect3DSurface9* dest, const RECT* destRect, const CImage& image, DWORD filter);

 private:
  static HRESULT ReadRenderTarget(IDirect3DSurface9* target, const D3DSURFACE_DESC& desc, CSurfaceBits* bits);
  static HRESULT Store(IDirect3DSurface9* dest, const RECT* destRect, const CSurfaceBits* raw, const CImage* image,
                       DWORD filter);
  // Writes either the raw texels or the image (already at the rectangle's size) into `rect`.
  static HRESULT Fill(IDirect3DSurface9* target, const RECT& rect, const CPixelFormat& format, const CSurfaceBits* raw,
                      const CImage* image);
};
