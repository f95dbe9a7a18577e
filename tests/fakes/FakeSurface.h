#pragma once
// An in-memory IDirect3DSurface9 for tests of code that locks surfaces (D3DX loading and
// saving): real bytes with padded rows, so a caller that ignores the pitch shows up, and a
// count of locks. As on the real device, a default-pool surface that is not dynamic cannot be
// locked; it is filled from system memory with the device's UpdateSurface.
#include <memory>
#include <vector>

#include "d3d9.h"

class CFakeSurface : public IDirect3DSurface9 {
 public:
  // Padding added to every row, so that pitch and row width differ.
  static constexpr UINT kRowPadding = 12;

  CFakeSurface(D3DFORMAT format, UINT width, UINT height, D3DPOOL pool, IUnknown* container, DWORD usage = 0,
               IDirect3DDevice9* device = nullptr);
  // A surface of its own (no container) that deletes itself on its last Release.
  static CFakeSurface* CreateStandalone(D3DFORMAT format, UINT width, UINT height, D3DPOOL pool,
                                        IDirect3DDevice9* device);

  // Bytes of one row of texels (of 4x4 blocks for DXT formats); 0 for a format unknown here.
  static UINT RowBytes(D3DFORMAT format, UINT width);
  static UINT RowCount(D3DFORMAT format, UINT height);
  // The surfaces of a mip chain, halving down to 1 x 1 when `levels` is 0.
  static std::vector<std::unique_ptr<CFakeSurface>> MakeChain(D3DFORMAT format, UINT width, UINT height, UINT levels,
                                                              D3DPOOL pool, IUnknown* container, DWORD usage = 0,
                                                              IDirect3DDevice9* device = nullptr);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override;  // a container deletes its own surfaces

  HRESULT GetDevice(IDirect3DDevice9** device) override;
  DWORD SetPriority(DWORD) override { return 0; }
  DWORD GetPriority() override { return 0; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }

  HRESULT GetContainer(REFIID riid, void** container) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;
  HRESULT GetDC(HDC*) override { return E_NOTIMPL; }
  HRESULT ReleaseDC(HDC) override { return E_NOTIMPL; }

  // The texels without the row padding.
  std::vector<BYTE> PackedBytes() const;
  void SetPackedBytes(const std::vector<BYTE>& packed);
  // Copies all of `source` (same format) with its top-left texel at `at`, as UpdateSurface does.
  bool CopyFrom(const CFakeSurface& source, POINT at);
  UINT Pitch() const { return m_pitch; }
  int LockCount() const { return m_lockCount; }
  bool IsLocked() const { return m_locked; }
  ULONG References() const { return m_references; }

 private:
  D3DSURFACE_DESC m_desc{};
  UINT m_pitch;
  std::vector<BYTE> m_bytes;
  IUnknown* m_container;
  IDirect3DDevice9* m_device;
  bool m_deleteOnRelease = false;
  ULONG m_references = 1;
  bool m_locked = false;
  int m_lockCount = 0;
};
