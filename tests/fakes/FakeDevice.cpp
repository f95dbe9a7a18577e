#include "FakeDevice.h"

HRESULT CFakeDevice::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IUnknown || riid == IID_IDirect3DDevice9) {
    AddRef();
    *object = this;
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT CFakeDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                   IDirect3DTexture9** texture, HANDLE*) {
  m_textureRequests.push_back({width, height, levels, usage, format, pool});
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (m_nextCreateResult != D3D_OK) {
    HRESULT result = m_nextCreateResult;
    m_nextCreateResult = D3D_OK;
    return result;
  }
  if (width == 0 || height == 0 || CFakeSurface::RowBytes(format, 1) == 0) return D3DERR_INVALIDCALL;
  // Automatically generated levels are the device's business: such a texture shows one level.
  *texture = new CFakeTexture(format, width, height, (usage & D3DUSAGE_AUTOGENMIPMAP) ? 1 : levels, usage, pool, this);
  return D3D_OK;
}

HRESULT CFakeDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD, D3DFORMAT format, D3DPOOL pool,
                                       IDirect3DCubeTexture9** texture, HANDLE*) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (edge == 0 || CFakeSurface::RowBytes(format, 1) == 0) return D3DERR_INVALIDCALL;
  *texture = new CFakeCubeTexture(format, edge, levels, pool);
  return D3D_OK;
}

HRESULT CFakeDevice::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) {
  ++m_updateCalls;
  auto* from = dynamic_cast<CFakeTexture*>(source);
  auto* to = dynamic_cast<CFakeTexture*>(destination);
  if (!from || !to || from->Pool() != D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
  for (UINT level = 0; level < from->GetLevelCount() && level < to->GetLevelCount(); ++level)
    to->Level(level).SetPackedBytes(from->Level(level).PackedBytes());
  return D3D_OK;
}

HRESULT CFakeDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                 IDirect3DSurface9** surface, HANDLE*) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (width == 0 || height == 0 || CFakeSurface::RowBytes(format, 1) == 0) return D3DERR_INVALIDCALL;
  *surface = CFakeSurface::CreateStandalone(format, width, height, pool, this);
  return D3D_OK;
}

HRESULT CFakeDevice::UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* destination,
                                   const POINT* destPoint) {
  ++m_updateSurfaceCalls;
  auto* from = dynamic_cast<CFakeSurface*>(source);
  auto* to = dynamic_cast<CFakeSurface*>(destination);
  D3DSURFACE_DESC fromDesc, toDesc;
  if (!from || !to || sourceRect) return D3DERR_INVALIDCALL;
  from->GetDesc(&fromDesc);
  to->GetDesc(&toDesc);
  if (fromDesc.Pool != D3DPOOL_SYSTEMMEM || toDesc.Pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
  return to->CopyFrom(*from, destPoint ? *destPoint : POINT{0, 0}) ? D3D_OK : D3DERR_INVALIDCALL;
}
