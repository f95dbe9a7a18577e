#include "SurfaceAccess.h"

#include <cstring>

#include "PixelFormat.h"

namespace {

// `rect` (whole when null) checked against a width x height surface.
bool ResolveRect(const RECT* rect, UINT width, UINT height, RECT* out) {
  *out = rect ? *rect : RECT{0, 0, (LONG)width, (LONG)height};
  return out->left >= 0 && out->top >= 0 && out->left < out->right && out->top < out->bottom &&
         (UINT)out->right <= width && (UINT)out->bottom <= height;
}

// Compressed texels are reached a block at a time: a rectangle must start on a block and end
// on one or at the surface's edge.
bool OnBlocks(const CPixelFormat& format, const RECT& r, UINT width, UINT height) {
  if (!format.IsCompressed()) return true;
  return r.left % 4 == 0 && r.top % 4 == 0 && (r.right % 4 == 0 || (UINT)r.right == width) &&
         (r.bottom % 4 == 0 || (UINT)r.bottom == height);
}

size_t Offset(const CPixelFormat& format, const RECT& r, size_t pitch) {
  return format.IsCompressed() ? (size_t)(r.top / 4) * pitch + (size_t)(r.left / 4) * format.ElementBytes()
                               : (size_t)r.top * pitch + (size_t)r.left * format.ElementBytes();
}

}  // namespace

bool CSurfaceAccess::IsValidFilter(DWORD filter) {
  DWORD kind = filter & 0xff;
  return filter == D3DX_DEFAULT || (kind >= D3DX_FILTER_NONE && kind <= D3DX_FILTER_BOX);
}

HRESULT CSurfaceAccess::Read(IDirect3DSurface9* surface, CSurfaceBits* bits) {
  if (!surface) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC desc;
  HRESULT hr = surface->GetDesc(&desc);
  if (FAILED(hr)) return hr;
  const CPixelFormat* format = CPixelFormat::Find(desc.Format);
  if (!format) return E_NOTIMPL;
  if (desc.Pool == D3DPOOL_DEFAULT && (desc.Usage & D3DUSAGE_RENDERTARGET))
    return ReadRenderTarget(surface, desc, bits);
  D3DLOCKED_RECT locked;
  hr = surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
  if (FAILED(hr)) return hr;
  *bits = CSurfaceBits(desc.Format, desc.Width, desc.Height);
  const BYTE* from = static_cast<const BYTE*>(locked.pBits);
  for (UINT row = 0; row < format->RowCount(desc.Height); ++row)
    std::memcpy(bits->Bytes() + row * bits->Pitch(), from + (size_t)row * locked.Pitch, bits->Pitch());
  surface->UnlockRect();
  return D3D_OK;
}

HRESULT CSurfaceAccess::ReadRenderTarget(IDirect3DSurface9* target, const D3DSURFACE_DESC& desc, CSurfaceBits* bits) {
  // What the device drew lives in its memory: copy it to system memory first.
  IDirect3DDevice9* device = nullptr;
  HRESULT hr = target->GetDevice(&device);
  if (FAILED(hr)) return hr;
  IDirect3DSurface9* staging = nullptr;
  hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &staging, nullptr);
  if (SUCCEEDED(hr)) {
    hr = device->GetRenderTargetData(target, staging);
    if (SUCCEEDED(hr)) hr = Read(staging, bits);
    staging->Release();
  }
  device->Release();
  return hr;
}

HRESULT CSurfaceAccess::Write(IDirect3DSurface9* dest, const RECT* destRect, const CSurfaceBits& source,
                              const RECT* srcRect, DWORD filter, D3DCOLOR colorKey) {
  if (!dest || !IsValidFilter(filter)) return D3DERR_INVALIDCALL;
  const CPixelFormat* sourceFormat = CPixelFormat::Find(source.Format());
  if (!sourceFormat) return E_NOTIMPL;
  RECT s;
  if (!ResolveRect(srcRect, source.Width(), source.Height(), &s)) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC desc;
  HRESULT hr = dest->GetDesc(&desc);
  if (FAILED(hr)) return hr;
  RECT d;
  if (!ResolveRect(destRect, desc.Width, desc.Height, &d)) return D3DERR_INVALIDCALL;

  bool wholeSource = s.left == 0 && s.top == 0 && (UINT)s.right == source.Width() && (UINT)s.bottom == source.Height();
  if (desc.Format == source.Format() && colorKey == 0 && wholeSource && d.right - d.left == s.right &&
      d.bottom - d.top == s.bottom)
    return Store(dest, &d, &source, nullptr, filter);

  CImage image = source.Decode();
  if (!wholeSource) image = image.Crop(s.left, s.top, s.right, s.bottom);
  if (colorKey) image.ApplyColourKey(colorKey);
  return Store(dest, &d, nullptr, &image, filter);
}

HRESULT CSurfaceAccess::WriteImage(IDirect3DSurface9* dest, const RECT* destRect, const CImage& image, DWORD filter) {
  if (!dest || !IsValidFilter(filter)) return D3DERR_INVALIDCALL;
  D3DSURFACE_DESC desc;
  HRESULT hr = dest->GetDesc(&desc);
  if (FAILED(hr)) return hr;
  RECT d;
  if (!ResolveRect(destRect, desc.Width, desc.Height, &d)) return D3DERR_INVALIDCALL;
  return Store(dest, &d, nullptr, &image, filter);
}

HRESULT CSurfaceAccess::Store(IDirect3DSurface9* dest, const RECT* d, const CSurfaceBits* raw, const CImage* image,
                              DWORD filter) {
  D3DSURFACE_DESC desc;
  HRESULT hr = dest->GetDesc(&desc);
  if (FAILED(hr)) return hr;
  const CPixelFormat* format = CPixelFormat::Find(desc.Format);
  if (!format) return E_NOTIMPL;
  if (!OnBlocks(*format, *d, desc.Width, desc.Height)) return D3DERR_INVALIDCALL;
  UINT width = d->right - d->left, height = d->bottom - d->top;
  CImage scaled;
  if (image) scaled = image->Resample(width, height, filter);  // before locking: the slow part
  const CImage* texels = image ? &scaled : nullptr;

  if (desc.Pool != D3DPOOL_DEFAULT || (desc.Usage & D3DUSAGE_DYNAMIC)) return Fill(dest, *d, *format, raw, texels);

  // Default-pool memory is the device's: stage the rectangle in system memory and upload it.
  IDirect3DDevice9* device = nullptr;
  if (FAILED(hr = dest->GetDevice(&device))) return hr;
  IDirect3DSurface9* staging = nullptr;
  hr = device->CreateOffscreenPlainSurface(width, height, desc.Format, D3DPOOL_SYSTEMMEM, &staging, nullptr);
  if (SUCCEEDED(hr)) {
    hr = Fill(staging, RECT{0, 0, (LONG)width, (LONG)height}, *format, raw, texels);
    POINT at = {d->left, d->top};
    if (SUCCEEDED(hr)) hr = device->UpdateSurface(staging, nullptr, dest, &at);
    staging->Release();
  }
  device->Release();
  return hr;
}

HRESULT CSurfaceAccess::Fill(IDirect3DSurface9* target, const RECT& rect, const CPixelFormat& format,
                             const CSurfaceBits* raw, const CImage* image) {
  UINT width = rect.right - rect.left, height = rect.bottom - rect.top;
  D3DLOCKED_RECT locked;
  HRESULT hr = target->LockRect(&locked, nullptr, 0);
  if (FAILED(hr)) return hr;
  BYTE* to = static_cast<BYTE*>(locked.pBits) + Offset(format, rect, locked.Pitch);
  if (raw) {
    for (UINT row = 0; row < format.RowCount(height); ++row)
      std::memcpy(to + (size_t)row * locked.Pitch, raw->Bytes() + row * raw->Pitch(), format.RowPitch(width));
  } else {
    format.Encode(image->Texels(), width, height, to, locked.Pitch);
  }
  return target->UnlockRect();
}
