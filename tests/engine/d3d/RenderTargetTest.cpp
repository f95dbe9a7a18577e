// The four kinds of render target: activation with a depth buffer of their size, the locks that
// freeing undoes, what creation accepts, and pixels drawn into a texture and a cube face on GL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RenderTargetTestBench.h"
#include "d3d/BackBufferRenderTarget.h"

namespace {

using Bench = RenderTargetTestBench;

D3DVIEWPORT9 DeviceViewport(Bench& b) {
  D3DVIEWPORT9 viewport = {};
  b.bench.device->GetViewport(&viewport);
  return viewport;
}

// Rectangles of the screen's size and of half of it, and a 32 cube.
void ScreenAndHalf(Bench& b, DeviceSettings& s) {
  b.Add(s, Bench::kRectangle, 1, 0x1, 64, 64);
  b.Add(s, Bench::kRectangle, 1, 0x1, 32, 32);
  b.Add(s, Bench::kCube, 1, 0x1, 32);
}

CTextureRenderTarget* Plain(Bench& b, UINT index) {
  return b.bank->GetPlainPoolEntry(CRenderTargetBank::kPlainPool, index);
}

TEST(RenderTarget, ActivationTakesTheFreeDepthBufferOfTheTargetsSize) {
  struct Case {
    UINT target;
    UINT depthBuffer;  // 0 is the screen's own
    UINT edge;
  };
  for (const Case& c : {Case{0, 0, 64}, Case{1, 1, 32}}) {
    SCOPED_TRACE(c.edge);
    Bench b(ScreenAndHalf);
    b.bench.renderer->BeginRendering();
    b.bench.ForgetCalls();
    CTextureRenderTarget* target = Plain(b, c.target);
    ASSERT_EQ(target->SetAsRenderTarget(0, 0), 1u);
    CDepthBufferRenderTarget* depth = b.bank->GetDepthBuffer(c.depthBuffer);
    EXPECT_EQ(target->GetAssignedDepthBuffer(), depth);
    EXPECT_EQ(target->GetLockCount(), 1u);
    EXPECT_EQ(depth->GetLockCount(), 1u);
    EXPECT_EQ(b.bank->GetCurrentRenderTarget(), target);
    EXPECT_EQ(b.bank->IsRenderingToTexture(), 1u);
    const D3DVIEWPORT9 viewport = DeviceViewport(b);
    EXPECT_EQ(viewport.Width, c.edge);
    EXPECT_EQ(viewport.Height, c.edge);
    RECT scissor = {};
    b.bench.renderer->GetScissorTest(&scissor);
    EXPECT_EQ(scissor.right, LONG(c.edge));
    EXPECT_EQ(scissor.bottom, LONG(c.edge));
    // The stages were emptied before the target was bound.
    const std::vector<std::string> calls = RendererTestBench::Calls({"SetTexture", "SetRenderTarget"});
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind("SetRenderTarget(0, ", 0), 0u);

    // Restoring frees the target and its depth buffer and binds the back buffer again.
    EXPECT_EQ(b.bank->RestoreRenderTarget(), 1u);
    EXPECT_EQ(target->GetLockCount(), 0u);
    EXPECT_EQ(depth->GetLockCount(), 0u);
    EXPECT_EQ(target->GetAssignedDepthBuffer(), nullptr);
    EXPECT_EQ(b.bank->IsRenderingToTexture(), 0u);
    EXPECT_EQ(DeviceViewport(b).Width, CD3DTestDevice::kWidth);
    b.bench.renderer->GetScissorTest(&scissor);
    EXPECT_EQ(scissor.right, LONG(CD3DTestDevice::kWidth));
    EXPECT_EQ(b.Errors(), "");
  }
}

TEST(RenderTarget, WithoutAFreeDepthBufferDrawingGoesOnIntoThePreviousTarget) {
  Bench b(ScreenAndHalf);
  b.bench.renderer->BeginRendering();
  CTextureRenderTarget* first = Plain(b, 1);
  ASSERT_EQ(first->SetAsRenderTarget(0, 0), 1u);
  // The only 32 x 32 depth buffer is taken by the first target.
  b.bank->CreatePlainRenderTargets(1, 32, 32, 0x1, 0);
  CTextureRenderTarget* second = Plain(b, 2);
  ASSERT_NE(second, nullptr);

  struct Case {
    UINT index;
    const char* error;
    size_t rebinds;  // of the previous target
  };
  const Case cases[] = {
      {0, "ERROR! - Can't Find Proper Additional Depth Buffer, Setting Back To Rendering To Back Buffer\n", 1},
      {1, "ERROR! - Can't Find Proper Additional Depth Buffer\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    b.bench.ForgetCalls();
    EXPECT_EQ(second->SetAsRenderTarget(c.index, 0), 0u);
    EXPECT_EQ(b.Errors(), c.error);
    EXPECT_EQ(second->GetLockCount(), 0u);
    EXPECT_EQ(b.bank->GetCurrentRenderTarget(), first);
    EXPECT_EQ(first->GetLockCount(), 1u);
    EXPECT_EQ(RendererTestBench::Calls({"SetDepthStencilSurface"}).size(), c.rebinds);
  }
}

TEST(RenderTarget, OutsideAFrameNothingIsActivated) {
  Bench b(ScreenAndHalf);
  b.bench.ForgetCalls();
  EXPECT_EQ(Plain(b, 0)->SetAsRenderTarget(0, 0), 0u);
  CCubeRenderTarget* cube = b.bank->GetCubePoolEntry(CRenderTargetBank::kCubePool, 0);
  EXPECT_EQ(cube->SetAsRenderTarget(0, D3DCUBEMAP_FACE_NEGATIVE_Y, 0), 0u);
  EXPECT_TRUE(RendererTestBench::Calls().empty());
  EXPECT_EQ(Plain(b, 0)->GetLockCount() + cube->GetLockCount(), 0u);
  EXPECT_EQ(b.bank->GetCurrentRenderTarget(), b.bank->GetBackBuffer());
}

TEST(RenderTarget, LockingTheDepthBufferIsOnlyNoted) {
  Bench b(ScreenAndHalf);
  b.bench.renderer->BeginRendering();
  EXPECT_EQ(Plain(b, 1)->SetAsRenderTarget(0, 1), 1u);
  EXPECT_EQ(b.Errors(), "ERROR! - Locking ZBuffer Not Implemented Yet!!!\n");
}

// The next face of a cube takes the place of the previous one on the stack.
TEST(RenderTarget, ACubeDrawsFaceAfterFaceInOneStackEntry) {
  Bench b(ScreenAndHalf);
  b.bench.renderer->BeginRendering();
  CCubeRenderTarget* cube = b.bank->GetCubePoolEntry(CRenderTargetBank::kCubePool, 0);
  for (UINT face = 0; face < 6; ++face) {
    ASSERT_EQ(cube->SetAsRenderTarget(0, face, 0), 1u) << face;
    EXPECT_EQ(cube->GetFace(), face);
    EXPECT_EQ(cube->GetLockCount(), 1u);
    EXPECT_EQ(cube->GetAssignedDepthBuffer()->GetLockCount(), 1u);
  }
  EXPECT_EQ(b.bank->PopRenderTarget(cube), 1u);
  EXPECT_EQ(b.bank->GetCurrentRenderTarget(), b.bank->GetBackBuffer());
  EXPECT_EQ(cube->GetLockCount(), 0u);
  EXPECT_EQ(b.Errors(), "");
}

TEST(RenderTarget, FreeingWhatIsNotLockedWarnsOnceAndStillLetsTheDepthBufferGo) {
  struct Case {
    const char* name;
    bool cube;
    const char* warning;
  };
  const Case cases[] = {
      {"Texture", false, "WARNING!!! - Can't Unlock RenderTarget Which Was Not Previously Locked\n"},
      {"Cube", true, "WARNING!!! - Can't Unlock CubeRenderTarget Which Was Not Previously Locked\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench b(ScreenAndHalf);
    b.bench.renderer->BeginRendering();
    CCubeRenderTarget* cube = b.bank->GetCubePoolEntry(CRenderTargetBank::kCubePool, 0);
    CColourRenderTarget* target = c.cube ? static_cast<CColourRenderTarget*>(cube) : Plain(b, 1);
    ASSERT_EQ(c.cube ? cube->SetAsRenderTarget(0, 0, 0) : Plain(b, 1)->SetAsRenderTarget(0, 0), 1u);
    CDepthBufferRenderTarget* depth = target->GetAssignedDepthBuffer();
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(target->Unlock(), 0u);
    EXPECT_EQ(b.Errors(), "");
    EXPECT_EQ(target->Free(), 1u);
    EXPECT_EQ(b.Errors(), c.warning);
    EXPECT_EQ(target->GetLockCount(), 0u);
    EXPECT_EQ(depth->GetLockCount(), 0u);
    EXPECT_EQ(target->GetAssignedDepthBuffer(), nullptr);
  }
}

TEST(RenderTarget, TheBackBufferIsNeverFreedAndADepthBufferAloneCannotBeBound) {
  Bench b(ScreenAndHalf);
  EXPECT_EQ(b.bank->GetBackBuffer()->Free(), 1u);
  EXPECT_EQ(b.Errors(), "ERROR! - You're trying to free up the back buffer!!!!!\n");
  b.bench.log.entries.clear();
  CDepthBufferRenderTarget* depth = b.bank->GetDepthBuffer(1);
  EXPECT_EQ(depth->Activate(), 0u);
  EXPECT_EQ(depth->Free(), 1u);
  EXPECT_EQ(depth->GetLockCount(), 0u);
  EXPECT_EQ(b.Errors(), "ERROR! - Assigned Dummy Render Target Is NULL\n"
                        "WARNING!!! - Can't Unlock DepthBuffer (RenderTarget) Which Was Not Previously Locked\n");
}

TEST(RenderTarget, OnlySidesThatAreNoMultipleOfEachOtherAreNoted) {
  struct Case {
    WORD width, height;
    const char* note;
  };
  const Case cases[] = {{512, 256, ""},
                        {640, 480, "- Creating A-Non-Power-Of-2 Render Texture: 640 - 480\n"},
                        {96, 32, ""},
                        {32, 96, ""}};
  Bench b([](Bench&, DeviceSettings&) {});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    b.bench.ForgetCalls();
    b.bank->CreatePlainRenderTargets(1, c.width, c.height, 0x1, 0);
    const std::string infos = b.Infos();
    EXPECT_EQ(infos.substr(0, infos.find("  - Creating Texture (12)")), c.note);
  }
}

TEST(RenderTarget, CubeEdgesArePowersOfTwoFrom32To1024) {
  struct Case {
    WORD edge;
    bool accepted;
  };
  for (const Case& c : {Case{32, true}, Case{1024, true}, Case{2048, false}, Case{16, false}, Case{100, false}}) {
    SCOPED_TRACE(c.edge);
    Bench b([](Bench&, DeviceSettings&) {});
    ProcessExitCatcher exits;
    try {
      b.bank->CreateCubeRenderTargets(1, c.edge, 0x1, 0);
      EXPECT_TRUE(c.accepted);
      EXPECT_EQ(b.bank->GetCubePoolEntry(CRenderTargetBank::kCubePool, 0)->GetEdgeLength(), c.edge);
    } catch (const ProcessExited&) {
      EXPECT_FALSE(c.accepted);
      ASSERT_EQ(exits.Boxes().size(), 1u);
      EXPECT_EQ(exits.Boxes()[0].caption, "Error While Creating Cube Render Target");
      EXPECT_EQ(exits.Boxes()[0].text, "Incorrect Render Target Size (" + std::to_string(c.edge) + ")");
    }
  }
}

// On GL: a texture target drawn with its depth buffer reads the same way up when sampled, and a
// cube face keeps what was drawn into it.
struct ScreenVertex {
  float x, y, z, rhw;
  D3DCOLOR colour;
};
struct TexturedVertex {
  float x, y, z, rhw;
  float u, v;
};

void DrawRectangle(Bench& b, float left, float top, float right, float bottom, float z, D3DCOLOR colour) {
  const ScreenVertex quad[] = {{left, top, z, 1, colour},
                               {right, top, z, 1, colour},
                               {left, bottom, z, 1, colour},
                               {right, bottom, z, 1, colour}};
  b.bench.device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  b.bench.device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}

TEST(RenderTarget, OnGLATextureTargetIsDrawnWithItsDepthAndSampledTheSameWayUp) {
  Bench b(ScreenAndHalf, ZK_D3D_BACKEND_GL);
  IDirect3DDevice9* device = b.bench.device.get();
  b.bench.renderer->BeginRendering();
  CTextureRenderTarget* target = Plain(b, 1);
  ASSERT_EQ(target->SetAsRenderTarget(0, 0), 1u);
  device->SetTexture(0, nullptr);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  // Red near in the top half; blue farther over everything shows only below it.
  DrawRectangle(b, 0, 0, 32, 16, 0.25f, 0xFFFF0000);
  DrawRectangle(b, 0, 0, 32, 32, 0.75f, 0xFF0000FF);
  EXPECT_EQ(b.bank->RestoreRenderTarget(), 1u);

  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0);
  EXPECT_EQ(target->SetAsTexture(0), 1u);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  const float w = CD3DTestDevice::kWidth, h = CD3DTestDevice::kHeight;
  const TexturedVertex screen[] = {{0, 0, 0.5f, 1, 0, 0}, {w, 0, 0.5f, 1, 1, 0}, {0, h, 0.5f, 1, 0, 1}, {w, h, 0.5f, 1, 1, 1}};
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, screen, sizeof(TexturedVertex));
  b.bench.renderer->EndRendering();
  EXPECT_EQ(b.Errors(), "");

  const std::vector<D3DCOLOR> pixels = b.bench.device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 32, 10), 0xFF0000)) << std::hex << CD3DTestDevice::At(pixels, 32, 10);
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 32, 50), 0x0000FF)) << std::hex << CD3DTestDevice::At(pixels, 32, 50);
}

TEST(RenderTarget, OnGLOneCubeFaceKeepsWhatWasDrawnIntoIt) {
  Bench b(ScreenAndHalf, ZK_D3D_BACKEND_GL);
  IDirect3DDevice9* device = b.bench.device.get();
  CCubeRenderTarget* cube = b.bank->GetCubePoolEntry(CRenderTargetBank::kCubePool, 0);
  b.bench.renderer->BeginRendering();
  for (UINT face : {D3DCUBEMAP_FACE_POSITIVE_X, D3DCUBEMAP_FACE_NEGATIVE_Y}) {
    ASSERT_EQ(cube->SetAsRenderTarget(0, face, 0), 1u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    if (face == D3DCUBEMAP_FACE_NEGATIVE_Y) DrawRectangle(b, 0, 0, 32, 32, 0.5f, 0xFF00FF00);
  }
  EXPECT_EQ(b.bank->RestoreRenderTarget(), 1u);
  b.bench.renderer->EndRendering();
  EXPECT_EQ(b.Errors(), "");

  for (UINT face : {D3DCUBEMAP_FACE_POSITIVE_X, D3DCUBEMAP_FACE_NEGATIVE_Y}) {
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(cube->GetD3DCubeTexture()->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), 0, &surface), D3D_OK);
    const std::vector<D3DCOLOR> pixels = b.bench.device.ReadPixels(surface);
    surface->Release();
    ASSERT_EQ(pixels.size(), 32u * 32u);
    const D3DCOLOR expected = face == D3DCUBEMAP_FACE_NEGATIVE_Y ? 0x00FF00 : 0x000000;
    EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 16, 16, 32), expected)) << face;
  }
}

}  // namespace
