#pragma once
// What an adapter reports: identifier, caps, accepted formats per use, display modes.
// The real profile describes what the GL back end implements; tests may swap in another, and
// add a second adapter.
#include <memory>
#include <vector>

#include "d3d9.h"
#include "zktest/ZkTestD3D.h"

class CAdapterProfile {
 public:
  static const CAdapterProfile& Current();
  static const CAdapterProfile& Real();
  // The adapter's profile; null past the adapters there are.
  static const CAdapterProfile* ForAdapter(UINT adapter);
  static UINT AdapterCount();
  // Adapter 0 back to the real one.
  static void UseReal();
  static void UseTestProfile(const ZkTestD3DAdapterProfile& profile);
  // Null takes the second adapter away.
  static void UseSecondAdapter(const ZkTestD3DAdapterProfile* profile);

  const D3DADAPTER_IDENTIFIER9& Identifier() const { return m_identifier; }
  const D3DCAPS9& Caps() const { return m_caps; }
  const std::vector<D3DDISPLAYMODE>& Modes() const { return m_modes; }
  bool CreateDeviceFails() const { return m_createDeviceFails; }
  // D3D_OK, D3DOK_NOAUTOGEN or D3DERR_NOTAVAILABLE, as CheckDeviceFormat answers.
  HRESULT CheckFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) const;
  bool IsDepthStencilFormat(D3DFORMAT format) const;
  bool IsRenderTargetFormat(D3DFORMAT format) const;
  void Describe(ZkTestD3DAdapterProfile* profile) const;

 private:
  CAdapterProfile() = default;
  static CAdapterProfile BuildReal();
  static std::unique_ptr<CAdapterProfile> FromTest(const ZkTestD3DAdapterProfile& source);
  static bool Contains(const std::vector<D3DFORMAT>& list, D3DFORMAT format);

  D3DADAPTER_IDENTIFIER9 m_identifier{};
  D3DCAPS9 m_caps{};
  std::vector<D3DFORMAT> m_textureFormats;
  std::vector<D3DFORMAT> m_cubeFormats;
  std::vector<D3DFORMAT> m_renderTargetFormats;
  std::vector<D3DFORMAT> m_depthFormats;
  std::vector<D3DFORMAT> m_vertexTextureFormats;
  std::vector<D3DDISPLAYMODE> m_modes;
  bool m_createDeviceFails = false;
};
