// The device on the null back end: states, the call log, scenes, loss and reset, references.
#include <gtest/gtest.h>

#include <cstring>

#include "D3DTestDevice.h"

namespace {

class DeviceStateTest : public ::testing::Test {
 protected:
  DeviceStateTest() : device(ZK_D3D_BACKEND_NULL) {}
  void SetUp() override { ASSERT_TRUE(device.ok()) << std::hex << device.result(); }
  CD3DTestDevice device;
};

TEST_F(DeviceStateTest, StartsWithDirect3DsDefaults) {
  struct {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } renderStates[] = {
      {D3DRS_ZENABLE, D3DZB_TRUE},          {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},      {D3DRS_LIGHTING, TRUE},
      {D3DRS_SRCBLEND, D3DBLEND_ONE},       {D3DRS_DESTBLEND, D3DBLEND_ZERO},
      {D3DRS_COLORWRITEENABLE, 0xF},        {D3DRS_STENCILMASK, 0xFFFFFFFF},
      {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
      {D3DRS_FOGEND, 0x3F800000},           {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
  };
  for (const auto& c : renderStates) {
    DWORD value = 0;
    ASSERT_EQ(D3D_OK, device->GetRenderState(c.state, &value));
    EXPECT_EQ(c.value, value) << "render state " << c.state;
  }
  DWORD value = 0;
  device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
  EXPECT_EQ(static_cast<DWORD>(D3DTOP_MODULATE), value);
  device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
  EXPECT_EQ(static_cast<DWORD>(D3DTOP_DISABLE), value);
  device->GetTextureStageState(3, D3DTSS_TEXCOORDINDEX, &value);
  EXPECT_EQ(3u, value);
  device->GetSamplerState(D3DVERTEXTEXTURESAMPLER0, D3DSAMP_ADDRESSU, &value);
  EXPECT_EQ(static_cast<DWORD>(D3DTADDRESS_WRAP), value);
  D3DVIEWPORT9 viewport;
  device->GetViewport(&viewport);
  EXPECT_EQ(CD3DTestDevice::kWidth, viewport.Width);
  EXPECT_EQ(1.f, viewport.MaxZ);
}

TEST_F(DeviceStateTest, StatesAreKeptAndBadIndicesRefused) {
  EXPECT_EQ(D3D_OK, device->SetRenderState(D3DRS_ALPHAREF, 0x42));
  EXPECT_EQ(D3D_OK, device->SetTextureStageState(7, D3DTSS_COLOROP, D3DTOP_LERP));
  EXPECT_EQ(D3D_OK, device->SetSamplerState(15, D3DSAMP_MAXANISOTROPY, 8));
  EXPECT_EQ(D3D_OK, device->SetSamplerState(D3DVERTEXTEXTURESAMPLER3, D3DSAMP_MINFILTER, D3DTEXF_POINT));
  DWORD value = 0;
  device->GetRenderState(D3DRS_ALPHAREF, &value);
  EXPECT_EQ(0x42u, value);
  device->GetSamplerState(15, D3DSAMP_MAXANISOTROPY, &value);
  EXPECT_EQ(8u, value);

  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(D3D_MAX_RENDERSTATES), 0));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetSamplerState(16, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetSamplerState(D3DVERTEXTEXTURESAMPLER3 + 1, D3DSAMP_ADDRESSU, 1));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetTexture(16, nullptr));
  EXPECT_EQ(D3D_OK, device->SetTexture(D3DVERTEXTEXTURESAMPLER0, nullptr));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(1), nullptr));

  D3DMATRIX matrix = {};
  matrix._11 = 2.f;
  EXPECT_EQ(D3D_OK, device->SetTransform(D3DTS_TEXTURE7, &matrix));
  D3DMATRIX read;
  device->GetTransform(D3DTS_TEXTURE7, &read);
  EXPECT_EQ(2.f, read._11);

  // Viewports must fit the render target.
  D3DVIEWPORT9 viewport = {0, 0, CD3DTestDevice::kWidth + 1, 8, 0.f, 1.f};
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetViewport(&viewport));
  viewport = {8, 8, CD3DTestDevice::kWidth - 8, 8, 0.f, 1.f};
  EXPECT_EQ(D3D_OK, device->SetViewport(&viewport));

  float constants[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(D3D_OK, device->SetVertexShaderConstantF(254, constants, 2));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetVertexShaderConstantF(255, constants, 2));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetPixelShaderConstantF(223, constants, 2));
  float back[8];
  EXPECT_EQ(D3D_OK, device->GetVertexShaderConstantF(254, back, 2));
  EXPECT_EQ(0, memcmp(constants, back, sizeof back));
}

TEST_F(DeviceStateTest, LightsAndMaterial) {
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_SPOT;
  light.Range = 10.f;
  light.Theta = 0.5f;
  light.Phi = 1.f;
  EXPECT_EQ(D3D_OK, device->SetLight(3, &light));
  D3DLIGHT9 read;
  ASSERT_EQ(D3D_OK, device->GetLight(3, &read));
  EXPECT_EQ(0, memcmp(&light, &read, sizeof light));
  light.Phi = 0.25f;  // outer cone inside the inner one
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetLight(3, &light));
  light.Type = static_cast<D3DLIGHTTYPE>(4);
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetLight(3, &light));

  // Eight lights may be on at once.
  for (DWORD i = 0; i < 8; ++i) EXPECT_EQ(D3D_OK, device->LightEnable(i, TRUE));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->LightEnable(20, TRUE));
  EXPECT_EQ(D3D_OK, device->LightEnable(2, FALSE));
  EXPECT_EQ(D3D_OK, device->LightEnable(20, TRUE));
  BOOL enabled = FALSE;
  device->GetLightEnable(20, &enabled);
  EXPECT_TRUE(enabled);

  D3DMATERIAL9 material = {};
  material.Power = 12.f;
  EXPECT_EQ(D3D_OK, device->SetMaterial(&material));
  D3DMATERIAL9 readMaterial;
  device->GetMaterial(&readMaterial);
  EXPECT_EQ(12.f, readMaterial.Power);
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetMaterial(nullptr));
}

TEST_F(DeviceStateTest, CallLogRecordsWhatReachesTheDevice) {
  ZkTestD3DClearCalls();
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetTexture(0, nullptr);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF112233, 1.f, 0);
  ASSERT_EQ(4u, ZkTestD3DCallCount());
  EXPECT_STREQ("SetRenderState(7, 0)", ZkTestD3DCall(0));
  EXPECT_STREQ("SetRenderState(22, 1)", ZkTestD3DCall(1));
  EXPECT_STREQ("Clear(0, 0x1, 0xff112233, 1, 0)", ZkTestD3DCall(3));
  EXPECT_EQ(2u, ZkTestD3DCountCalls("SetRenderState"));
  EXPECT_EQ(0u, ZkTestD3DCountCalls("SetRender"));
  EXPECT_EQ(nullptr, ZkTestD3DCall(4));
}

// A game never asks for the log, so it must not pay for it; resetting the control records again.
TEST_F(DeviceStateTest, CallLogRecordsOnlyWhileTurnedOn) {
  ZkTestD3DClearCalls();
  ZkTestD3DLogCalls(false);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  EXPECT_EQ(0u, ZkTestD3DCallCount());
  ZkTestD3DLogCalls(true);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  EXPECT_EQ(1u, ZkTestD3DCallCount());
  ZkTestD3DLogCalls(false);
  ZkTestD3DResetControl();
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  EXPECT_EQ(1u, ZkTestD3DCallCount());
}

TEST_F(DeviceStateTest, ScenesPairAndDrawsNeedOne) {
  const float triangle[3][4] = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
  device->SetFVF(D3DFVF_XYZRHW);
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 16));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->EndScene());
  ASSERT_EQ(D3D_OK, device->BeginScene());
  EXPECT_EQ(D3DERR_INVALIDCALL, device->BeginScene());
  EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 16));
  // A stride shorter than the vertex would read past the last one.
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 8));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 16));
  // Counts whose byte sizes overflow are refused, not wrapped.
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 0x60000000, triangle, 16));
  const WORD indices[3] = {0, 1, 2};
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0xFFFFFFF0, 0x20, 1, indices,
                                                               D3DFMT_INDEX16, triangle, 16));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(7), 1, triangle, 16));
  EXPECT_EQ(D3D_OK, device->EndScene());
}

TEST_F(DeviceStateTest, DrawsStayInsideTheirBuffers) {
  IDirect3DVertexBuffer9* vertices = nullptr;
  IDirect3DIndexBuffer9* indices = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(4 * 16, 0, D3DFVF_XYZRHW, D3DPOOL_MANAGED, &vertices, nullptr));
  ASSERT_EQ(D3D_OK, device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr));
  WORD* index = nullptr;
  ASSERT_EQ(D3D_OK, indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0));
  const WORD values[6] = {0, 1, 2, 2, 1, 4};  // 4 is past the four vertices
  memcpy(index, values, sizeof values);
  indices->Unlock();
  device->SetFVF(D3DFVF_XYZRHW);
  device->SetStreamSource(0, vertices, 0, 16);
  device->SetIndices(indices);
  device->BeginScene();
  EXPECT_EQ(D3D_OK, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2));
  EXPECT_EQ(D3D_OK, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 5, 0, 2));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 4, 1));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 0, 3, 0, 1));
  // With no stream bound the draw is refused, not read from nowhere.
  device->SetStreamSource(0, nullptr, 0, 0);
  EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
  device->EndScene();
  device->SetIndices(nullptr);
  indices->Release();
  vertices->Release();
}

TEST_F(DeviceStateTest, LostDeviceNeedsResetAfterDefaultResourcesGo) {
  IDirect3DTexture9* managed = nullptr;
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr));
  ASSERT_EQ(D3D_OK, device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                          nullptr));
  D3DLOCKED_RECT locked;
  ASSERT_EQ(D3D_OK, managed->LockRect(0, &locked, nullptr, 0));
  static_cast<DWORD*>(locked.pBits)[5] = 0x12345678;
  managed->UnlockRect(0);

  EXPECT_EQ(D3D_OK, device->TestCooperativeLevel());
  ZkTestD3DHoldDeviceLost(true);
  ZkTestD3DLoseDevice();
  EXPECT_EQ(D3DERR_DEVICELOST, device->Present(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(D3DERR_DEVICELOST, device->TestCooperativeLevel());
  EXPECT_EQ(D3DERR_DEVICELOST, device->Reset(&device.parameters()));
  ZkTestD3DHoldDeviceLost(false);
  EXPECT_EQ(D3DERR_DEVICENOTRESET, device->TestCooperativeLevel());
  // Drawing while lost is accepted and does nothing.
  EXPECT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.f, 0));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->Reset(&device.parameters()));
  target->Release();
  ZkTestD3DFailNextReset(D3DERR_DEVICELOST);
  EXPECT_EQ(D3DERR_DEVICELOST, device->Reset(&device.parameters()));
  EXPECT_EQ(D3DERR_DEVICENOTRESET, device->TestCooperativeLevel());
  ASSERT_EQ(D3D_OK, device->Reset(&device.parameters()));
  EXPECT_EQ(D3D_OK, device->TestCooperativeLevel());
  EXPECT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));

  ASSERT_EQ(D3D_OK, managed->LockRect(0, &locked, nullptr, D3DLOCK_READONLY));
  EXPECT_EQ(0x12345678u, static_cast<DWORD*>(locked.pBits)[5]);
  managed->UnlockRect(0);
  managed->Release();
}

TEST_F(DeviceStateTest, ResetRestoresDefaultStatesAndResizes) {
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  // A back buffer the caller still holds stays a valid object through the reset.
  IDirect3DSurface9* held = nullptr;
  ASSERT_EQ(D3D_OK, device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &held));
  D3DPRESENT_PARAMETERS p = device.parameters();
  p.BackBufferWidth = 32;
  p.BackBufferHeight = 16;
  ASSERT_EQ(D3D_OK, device->Reset(&p));
  DWORD lighting = 0;
  device->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(static_cast<DWORD>(TRUE), lighting);
  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(D3D_OK, device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer));
  D3DSURFACE_DESC desc;
  backBuffer->GetDesc(&desc);
  EXPECT_EQ(32u, desc.Width);
  EXPECT_EQ(16u, desc.Height);
  held->GetDesc(&desc);
  EXPECT_EQ(32u, desc.Width);
  backBuffer->Release();
  held->Release();
  // Without an automatic depth buffer the device has none bound.
  p.EnableAutoDepthStencil = FALSE;
  ASSERT_EQ(D3D_OK, device->Reset(&p));
  IDirect3DSurface9* depth = nullptr;
  EXPECT_EQ(D3DERR_NOTFOUND, device->GetDepthStencilSurface(&depth));
}

TEST_F(DeviceStateTest, SwapChainPresentCanReportStillDrawing) {
  IDirect3DSwapChain9* swapChain = nullptr;
  ASSERT_EQ(D3D_OK, device->GetSwapChain(0, &swapChain));
  IDirect3DSwapChain9* none = nullptr;
  EXPECT_EQ(D3DERR_INVALIDCALL, device->GetSwapChain(1, &none));
  ZkTestD3DPresentStillDrawing(1);
  // Only a present that asked not to wait hears about it.
  EXPECT_EQ(D3D_OK, swapChain->Present(nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(D3DERR_WASSTILLDRAWING, swapChain->Present(nullptr, nullptr, nullptr, nullptr, D3DPRESENT_DONOTWAIT));
  EXPECT_EQ(D3D_OK, swapChain->Present(nullptr, nullptr, nullptr, nullptr, D3DPRESENT_DONOTWAIT));
  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(D3D_OK, swapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer));
  backBuffer->Release();
  swapChain->Release();
}

TEST_F(DeviceStateTest, VertexProcessingSwitchesOnlyOnAMixedDevice) {
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetSoftwareVertexProcessing(TRUE));
  EXPECT_EQ(D3D_OK, device->SetSoftwareVertexProcessing(FALSE));
  CD3DTestDevice mixed(ZK_D3D_BACKEND_NULL, D3DCREATE_MIXED_VERTEXPROCESSING);
  ASSERT_TRUE(mixed.ok());
  EXPECT_EQ(D3D_OK, mixed->SetSoftwareVertexProcessing(TRUE));
  EXPECT_TRUE(mixed->GetSoftwareVertexProcessing());
}

TEST_F(DeviceStateTest, ObjectsOfAnotherDeviceAreRefused) {
  IDirect3DDevice9* other = nullptr;
  D3DPRESENT_PARAMETERS p = device.parameters();
  ASSERT_EQ(D3D_OK, device.d3d()->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                                               &other));
  IDirect3DTexture9* texture = nullptr;
  IDirect3DVertexBuffer9* buffer = nullptr;
  IDirect3DSurface9* target = nullptr;
  ASSERT_EQ(D3D_OK, other->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
  ASSERT_EQ(D3D_OK, other->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr));
  ASSERT_EQ(D3D_OK, other->GetRenderTarget(0, &target));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetTexture(0, texture));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetStreamSource(0, buffer, 0, 16));
  EXPECT_EQ(D3DERR_INVALIDCALL, device->SetRenderTarget(0, target));
  EXPECT_EQ(D3D_OK, other->SetTexture(0, texture));
  target->Release();
  buffer->Release();
  texture->Release();
  EXPECT_EQ(0u, other->Release());
}

TEST_F(DeviceStateTest, PureDeviceHidesItsState) {
  CD3DTestDevice pure(ZK_D3D_BACKEND_NULL, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE);
  ASSERT_TRUE(pure.ok());
  DWORD value;
  EXPECT_EQ(D3D_OK, pure->SetRenderState(D3DRS_ZENABLE, FALSE));
  EXPECT_EQ(D3DERR_INVALIDCALL, pure->GetRenderState(D3DRS_ZENABLE, &value));
}

TEST(DeviceLifetimeTest, EverythingIsFreedWhenTheLastReferenceGoes) {
  const size_t before = ZkTestD3DLiveObjects();
  {
    CD3DTestDevice device(ZK_D3D_BACKEND_NULL);
    ASSERT_TRUE(device.ok());
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(D3D_OK, texture->GetSurfaceLevel(1, &level));
    device->SetTexture(0, texture);
    // The level keeps its texture alive, and the texture its device.
    texture->Release();
    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(D3D_OK, level->GetDevice(&owner));
    EXPECT_EQ(device.get(), owner);
    owner->Release();
    D3DSURFACE_DESC desc;
    ASSERT_EQ(D3D_OK, level->GetDesc(&desc));
    EXPECT_EQ(4u, desc.Width);
    level->Release();
    // Released by the caller while bound: the binding keeps it, as on Direct3D.
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(D3D_OK, device->GetTexture(0, &bound));
    EXPECT_EQ(static_cast<IDirect3DBaseTexture9*>(texture), bound);
    EXPECT_EQ(D3DRTYPE_TEXTURE, bound->GetType());
    bound->Release();
    IDirect3DVertexDeclaration9* declaration = nullptr;
    const D3DVERTEXELEMENT9 position[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    ASSERT_EQ(D3D_OK, device->CreateVertexDeclaration(position, &declaration));
    device->SetVertexDeclaration(declaration);
    declaration->Release();
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr));
    device->SetStreamSource(0, buffer, 0, 16);
    buffer->Release();
    // Bound objects hold no reference on the device: its last release ends them all.
  }
  EXPECT_EQ(before, ZkTestD3DLiveObjects());
}

TEST(DeviceLifetimeTest, UnbindingTheLastHoldEndsTheObject) {
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL);
  ASSERT_TRUE(device.ok());
  const size_t before = ZkTestD3DLiveObjects();
  IDirect3DIndexBuffer9* indices = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr));
  device->SetIndices(indices);
  EXPECT_EQ(0u, indices->Release());
  EXPECT_EQ(before + 1, ZkTestD3DLiveObjects());
  device->SetIndices(nullptr);
  EXPECT_EQ(before, ZkTestD3DLiveObjects());
}

}  // namespace
