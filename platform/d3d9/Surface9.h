#pragma once
// A surface: a level (and face) of a texture, or a stand-alone surface (back buffer, render
// target, depth-stencil buffer, offscreen plain surface). Its memory is real and has the pitch
// the format needs; colour targets are read back from the back end when locked or copied.
#include <vector>

#include "FormatTable.h"
#include "RenderBackend.h"
#include "Resource9.h"

class CBaseTexture;

enum ESurfaceKind : int {
  SURFACE_TEXTURE_LEVEL,
  SURFACE_RENDER_TARGET,  // back buffer or CreateRenderTarget
  SURFACE_DEPTH_STENCIL,
  SURFACE_OFFSCREEN_PLAIN,
};

class CSurface9 : public TResource9<IDirect3DSurface9> {
 public:
  // A stand-alone surface. Implicit ones (the device's back buffer and depth buffer) hold no
  // reference on the device, which owns them.
  CSurface9(CDirect3DDevice9* device, ESurfaceKind kind, const SFormatInfo& format, UINT width, UINT height,
            DWORD usage, D3DPOOL pool, bool lockable, bool implicit);
  // A level of a texture; it shares the texture's reference count.
  CSurface9(CDirect3DDevice9* device, CBaseTexture* container, UINT face, UINT level, const SFormatInfo& format,
            UINT width, UINT height, DWORD usage, D3DPOOL pool);
  ~CSurface9() override;

  ULONG AddRef() override;
  ULONG Release() override;
  void Bind() override;
  void Unbind() override;
  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT GetContainer(REFIID riid, void** container) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;
  HRESULT GetDC(HDC* dc) override;
  HRESULT ReleaseDC(HDC dc) override;

  void ReleaseBackendObjects() override;
  bool IsImplicit() const override { return m_implicit; }
  // A new size and format for the device's own surfaces on Reset; the contents are lost.
  void Reshape(const SFormatInfo& format, UINT width, UINT height, bool lockable);

  ESurfaceKind Kind() const { return m_kind; }
  const SFormatInfo& Format() const { return *m_format; }
  UINT Width() const { return m_width; }
  UINT Height() const { return m_height; }
  UINT Pitch() const { return m_pitch; }
  DWORD Usage() const { return m_usage; }
  BYTE* Memory() { return m_memory.data(); }
  const BYTE* Memory() const { return m_memory.data(); }
  bool IsLocked() const { return m_locked || m_dcOut; }
  bool IsColorTarget() const { return (m_usage & D3DUSAGE_RENDERTARGET) != 0; }
  bool IsDepthStencil() const { return m_kind == SURFACE_DEPTH_STENCIL; }
  CBaseTexture* Container() const { return m_container; }
  // The back end's object, created on first use (levels use their texture's).
  STargetRef TargetRef();
  // Memory changed by the caller must reach the back end before the surface is next used.
  bool IsDirty() const { return m_dirty; }
  void ClearDirty() { m_dirty = false; }
  void MarkDirty();
  // Brings the memory up to date with what the back end rendered.
  bool ReadBack();

 private:
  HRESULT CheckLockRect(const RECT* rect) const;

  ESurfaceKind m_kind;
  const SFormatInfo* m_format;
  UINT m_width;
  UINT m_height;
  UINT m_pitch;
  DWORD m_usage;
  bool m_lockable;
  bool m_implicit;
  CBaseTexture* m_container = nullptr;
  UINT m_face = 0;
  UINT m_level = 0;
  std::vector<BYTE> m_memory;
  bool m_locked = false;
  bool m_dcOut = false;
  bool m_dirty = false;
  ZkSurfaceDC m_dc{};
  uintptr_t m_handle = 0;  // stand-alone surfaces only
};
