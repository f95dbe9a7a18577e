// The Direct3D object: what the adapter reports, test profiles, and device creation.
#include <gtest/gtest.h>

#include <cstring>

#include "D3DTestDevice.h"

namespace {

class AdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZkTestD3DResetControl();
    ZkTestD3DSetBackend(ZK_D3D_BACKEND_NULL);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
  }
  void TearDown() override {
    if (d3d) d3d->Release();
    ZkTestD3DResetControl();
  }
  D3DPRESENT_PARAMETERS Windowed() {
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = 32;
    p.BackBufferHeight = 32;
    p.BackBufferFormat = D3DFMT_UNKNOWN;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    return p;
  }
  IDirect3D9* d3d = nullptr;
};

TEST_F(AdapterTest, RefusesAnotherSdkVersion) { EXPECT_EQ(nullptr, Direct3DCreate9(31)); }

TEST_F(AdapterTest, ReportsOneAdapterWithModesAndAShaderModel3Card) {
  EXPECT_EQ(1u, d3d->GetAdapterCount());
  D3DADAPTER_IDENTIFIER9 id;
  ASSERT_EQ(D3D_OK, d3d->GetAdapterIdentifier(0, 0, &id));
  EXPECT_GT(strlen(id.Description), 0u);
  EXPECT_EQ(D3DERR_INVALIDCALL, d3d->GetAdapterIdentifier(1, 0, &id));

  const UINT modes = d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8);
  ASSERT_GT(modes, 0u);
  D3DDISPLAYMODE mode;
  ASSERT_EQ(D3D_OK, d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, modes - 1, &mode));
  EXPECT_EQ(D3DFMT_X8R8G8B8, mode.Format);
  EXPECT_EQ(D3DERR_INVALIDCALL, d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, modes, &mode));
  EXPECT_EQ(0u, d3d->GetAdapterModeCount(0, D3DFMT_A8R8G8B8));

  D3DCAPS9 caps;
  ASSERT_EQ(D3D_OK, d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps));
  EXPECT_EQ(D3DVS_VERSION(3, 0), caps.VertexShaderVersion);
  EXPECT_EQ(D3DPS_VERSION(3, 0), caps.PixelShaderVersion);
  EXPECT_EQ(8u, caps.MaxActiveLights);
  EXPECT_TRUE(caps.StencilCaps & D3DSTENCILCAPS_TWOSIDED);
  EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP);
  EXPECT_GE(caps.NumSimultaneousRTs, 2u);
  ASSERT_EQ(D3D_OK, d3d->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps));
  EXPECT_EQ(D3DDEVTYPE_REF, caps.DeviceType);
  EXPECT_EQ(D3DERR_INVALIDCALL, d3d->GetDeviceCaps(0, D3DDEVTYPE_SW, &caps));
}

TEST_F(AdapterTest, CheckDeviceFormatAnswersPerUse) {
  struct {
    DWORD usage;
    D3DRESOURCETYPE type;
    D3DFORMAT format;
    HRESULT expected;
  } cases[] = {
      {0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3D_OK},
      {0, D3DRTYPE_CUBETEXTURE, D3DFMT_DXT5, D3D_OK},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_A16B16G16R16F, D3D_OK},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3DERR_NOTAVAILABLE},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8, D3D_OK},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8, D3DERR_NOTAVAILABLE},
      {D3DUSAGE_QUERY_VERTEXTEXTURE, D3DRTYPE_TEXTURE, D3DFMT_R32F, D3D_OK},
      {D3DUSAGE_QUERY_VERTEXTEXTURE, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, D3DERR_NOTAVAILABLE},
      {D3DUSAGE_AUTOGENMIPMAP, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, D3D_OK},
      {D3DUSAGE_AUTOGENMIPMAP, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3DOK_NOAUTOGEN},
      // Vendor FOURCC queries: instancing and 3Dc are not offered.
      {0, D3DRTYPE_SURFACE, static_cast<D3DFORMAT>(MAKEFOURCC('I', 'N', 'S', 'T')), D3DERR_NOTAVAILABLE},
      {0, D3DRTYPE_TEXTURE, static_cast<D3DFORMAT>(MAKEFOURCC('A', 'T', 'I', '2')), D3DERR_NOTAVAILABLE},
      {0, D3DRTYPE_TEXTURE, static_cast<D3DFORMAT>(MAKEFOURCC('4', 'x', '3', '2')), D3DERR_NOTAVAILABLE},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, c.usage, c.type, c.format))
        << "format " << c.format << " usage " << std::hex << c.usage;
  EXPECT_EQ(D3DERR_NOTAVAILABLE,
            d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8));
  EXPECT_EQ(D3D_OK, d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, TRUE));
  EXPECT_EQ(D3D_OK, d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_D24S8));
  EXPECT_EQ(D3DERR_NOTAVAILABLE,
            d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_DXT1));
}

TEST_F(AdapterTest, TestProfilesReplaceTheCard) {
  ZkTestD3DAdapterProfile profile;
  ZkTestD3DGetRealAdapterProfile(&profile);
  // An older card: no DXT, shader model 1.1, no two-sided stencil, one mode.
  const D3DFORMAT textures[] = {D3DFMT_A8R8G8B8, D3DFMT_R5G6B5};
  const D3DDISPLAYMODE modes[] = {{800, 600, 75, D3DFMT_X8R8G8B8}};
  profile.textureFormats = textures;
  profile.textureFormatCount = 2;
  profile.modes = modes;
  profile.modeCount = 1;
  profile.caps.VertexShaderVersion = D3DVS_VERSION(1, 1);
  profile.caps.StencilCaps &= ~D3DSTENCILCAPS_TWOSIDED;
  snprintf(profile.identifier.Description, sizeof profile.identifier.Description, "Old Card");
  ZkTestD3DSetAdapterProfile(&profile);

  D3DADAPTER_IDENTIFIER9 id;
  d3d->GetAdapterIdentifier(0, 0, &id);
  EXPECT_STREQ("Old Card", id.Description);
  EXPECT_EQ(D3DERR_NOTAVAILABLE,
            d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1));
  EXPECT_EQ(1u, d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8));
  D3DCAPS9 caps;
  d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps);
  EXPECT_EQ(D3DVS_VERSION(1, 1), caps.VertexShaderVersion);

  // A card whose device creation fails.
  profile.createDeviceFails = TRUE;
  ZkTestD3DSetAdapterProfile(&profile);
  D3DPRESENT_PARAMETERS p = Windowed();
  IDirect3DDevice9* device = nullptr;
  EXPECT_EQ(D3DERR_NOTAVAILABLE,
            d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device));
  EXPECT_EQ(nullptr, device);
  ZkTestD3DSetAdapterProfile(nullptr);
  EXPECT_EQ(D3D_OK, d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1));
}

TEST_F(AdapterTest, CreateDeviceChecksItsArguments) {
  struct {
    D3DDEVTYPE type;
    DWORD behavior;
    HRESULT expected;
  } cases[] = {
      {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3D_OK},
      {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3D_OK},
      {D3DDEVTYPE_HAL, D3DCREATE_MIXED_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, D3D_OK},
      {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, D3D_OK},
      {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3D_OK},
      {D3DDEVTYPE_HAL, 0, D3DERR_INVALIDCALL},
      {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DERR_INVALIDCALL},
      {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, D3DERR_INVALIDCALL},
      {D3DDEVTYPE_SW, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DERR_INVALIDCALL},
  };
  for (const auto& c : cases) {
    D3DPRESENT_PARAMETERS p = Windowed();
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(c.expected, d3d->CreateDevice(0, c.type, nullptr, c.behavior, &p, &device)) << std::hex << c.behavior;
    EXPECT_EQ(c.expected == D3D_OK, device != nullptr);
    if (device) {
      // The caller's parameters get the values chosen for what it left open.
      EXPECT_EQ(D3DFMT_X8R8G8B8, p.BackBufferFormat);
      EXPECT_EQ(1u, p.BackBufferCount);
      device->Release();
    }
  }
  D3DPRESENT_PARAMETERS p = Windowed();
  IDirect3DDevice9* device = nullptr;
  p.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
  EXPECT_EQ(D3DERR_INVALIDCALL,
            d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device));
  p = Windowed();
  p.PresentationInterval = D3DPRESENT_INTERVAL_TWO;  // not offered by the card
  EXPECT_EQ(D3DERR_INVALIDCALL,
            d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device));
  p = Windowed();
  p.BackBufferCount = 4;
  EXPECT_EQ(D3DERR_INVALIDCALL,
            d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device));
  EXPECT_EQ(D3DERR_INVALIDCALL,
            d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, nullptr, &device));
}

TEST_F(AdapterTest, InjectedCreateDeviceFailureHappensOnce) {
  ZkTestD3DFailNextCreateDevice(D3DERR_OUTOFVIDEOMEMORY);
  D3DPRESENT_PARAMETERS p = Windowed();
  IDirect3DDevice9* device = nullptr;
  EXPECT_EQ(D3DERR_OUTOFVIDEOMEMORY,
            d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device));
  ASSERT_EQ(D3D_OK, d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device));
  device->Release();
}

}  // namespace
