// The GUI renderer on the engine's renderer: batching into the one dynamic buffer, the per-frame
// states, device loss and reset, and the GUI textures in the engine's texture bank.
#include <gtest/gtest.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/Quaternion.h>
#include <CEGUI/RenderTarget.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "GuiRendererBench.h"

namespace {

size_t Count(const std::vector<std::string>& calls, const std::string& call) {
  return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
}

const BYTE kWhite[4] = {255, 255, 255, 255};

// The GUI vertices the device got, from the start of the buffer.
std::vector<GUIVertex> WrittenVertices(CGUIRenderer& gui, size_t count) {
  std::vector<GUIVertex> out(count);
  void* data = nullptr;
  if (SUCCEEDED(gui.GetVertexBuffer()->Lock(0, 0, &data, D3DLOCK_READONLY))) {
    std::memcpy(out.data(), data, count * sizeof(GUIVertex));
    gui.GetVertexBuffer()->Unlock();
  }
  return out;
}

TEST(GUIRendererTest, SetsTheFixedFunctionStatesOnceAFrameAndSwitchesScissoringOffAtTheEnd) {
  GuiRendererBench bench;
  CGUITexture& texture = bench.SolidTexture("white", 8, kWhite);
  CGUIGeometryBuffer& first = bench.Buffer(&texture, GuiRendererBench::Triangles(2));
  CGUIGeometryBuffer& second = bench.Buffer(&texture, GuiRendererBench::Triangles(1));
  bench.bench.ForgetCalls();
  bench.gui->beginRendering();
  bench.gui->getDefaultRenderTarget().draw(first);
  bench.gui->getDefaultRenderTarget().draw(second);
  bench.gui->endRendering();
  const auto calls = RendererTestBench::Calls();
  EXPECT_EQ(Count(calls, "SetFVF(0x144)"), 1u);
  EXPECT_EQ(Count(calls, "SetRenderState(27, 1)"), 1u);   // alpha blending
  // States equal to the engine's defaults are kept back by the renderer's caches; none twice.
  for (const std::string& call : RendererTestBench::Calls({"SetRenderState", "SetSamplerState", "SetTextureStageState"}))
    EXPECT_EQ(Count(calls, call), 1u) << call;
  EXPECT_EQ(Count(calls, "SetRenderState(174, 1)"), 1u);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "SetRenderState(174, 0)");
  EXPECT_EQ(RendererTestBench::Calls({"DrawPrimitive"}), (std::vector<std::string>{"DrawPrimitive(4, 0, 3)"}));

  // An empty frame sets its states and draws nothing.
  bench.bench.ForgetCalls();
  bench.gui->beginRendering();
  bench.gui->endRendering();
  EXPECT_TRUE(RendererTestBench::Calls({"DrawPrimitive"}).empty());
}

TEST(GUIRendererTest, FlushesWhenTheBufferCannotTakeAnotherQuad) {
  GuiRendererBench bench;
  CGUITexture& texture = bench.SolidTexture("white", 8, kWhite);
  CGUIGeometryBuffer& buffer = bench.Buffer(&texture, GuiRendererBench::Triangles(1366));
  bench.bench.ForgetCalls();
  bench.gui->beginRendering();
  buffer.draw();
  bench.gui->endRendering();
  EXPECT_EQ(RendererTestBench::Calls({"DrawPrimitive"}),
            (std::vector<std::string>{"DrawPrimitive(4, 0, 1364)", "DrawPrimitive(4, 0, 2)"}));
}

TEST(GUIRendererTest, DrawsOncePerRunOfTextureAndClipRectangle) {
  GuiRendererBench bench;
  CGUITexture& a = bench.SolidTexture("a", 8, kWhite);
  CGUITexture& b = bench.SolidTexture("b", 8, kWhite);
  // Runs go across buffers: a, a | b | a, and then a clipped a.
  CGUIGeometryBuffer& first = bench.Buffer(&a, GuiRendererBench::Triangles(2));
  CGUIGeometryBuffer& second = bench.Buffer(&a, GuiRendererBench::Triangles(1));
  CGUIGeometryBuffer& third = bench.Buffer(&b, GuiRendererBench::Triangles(3));
  CGUIGeometryBuffer& fourth = bench.Buffer(&a, GuiRendererBench::Triangles(1));
  auto& clipped = static_cast<CGUIGeometryBuffer&>(bench.gui->createGeometryBuffer());
  clipped.setActiveTexture(&a);
  clipped.setClippingRegion(CEGUI::Rectf(2, 3, 20, 30));
  const auto vertices = GuiRendererBench::Triangles(4);
  clipped.appendGeometry(vertices.data(), static_cast<CEGUI::uint>(vertices.size()));
  bench.bench.ForgetCalls();
  bench.gui->beginRendering();
  for (CGUIGeometryBuffer* buffer : {&first, &second, &third, &fourth, &clipped}) buffer->draw();
  bench.gui->endRendering();
  EXPECT_EQ(RendererTestBench::Calls({"DrawPrimitive"}),
            (std::vector<std::string>{"DrawPrimitive(4, 0, 3)", "DrawPrimitive(4, 0, 3)", "DrawPrimitive(4, 0, 1)",
                                      "DrawPrimitive(4, 0, 4)"}));
  // The screen is the renderer's scissor rectangle already; only the clipped run changes it.
  EXPECT_EQ(RendererTestBench::Calls({"SetScissorRect"}), (std::vector<std::string>{"SetScissorRect(2, 3, 20, 30)"}));
  EXPECT_EQ(RendererTestBench::Calls({"SetTexture"}).size(), 3u);
}

TEST(GUIRendererTest, WritesTransformedVerticesHalfAPixelUpAndLeft) {
  GuiRendererBench bench;
  CEGUI::Vertex corner;
  corner.position = CEGUI::Vector3f(10, 0, 0);
  corner.tex_coords = CEGUI::Vector2f(0.25f, 0.75f);
  corner.colour_val = CEGUI::Colour(0x80FF4020);
  // A quarter turn about the z axis through the pivot (0, 0), then a translation.
  auto& buffer = static_cast<CGUIGeometryBuffer&>(bench.gui->createGeometryBuffer());
  buffer.setRotation(CEGUI::Quaternion::eulerAnglesDegrees(0, 0, 90));
  buffer.setTranslation(CEGUI::Vector3f(5, 7, 0));
  const GUIVertex turned = buffer.Transform(corner);
  EXPECT_NEAR(turned.x, 5 - 0.5f, 1e-4);
  EXPECT_NEAR(turned.y, 7 + 10 - 0.5f, 1e-4);
  EXPECT_EQ(turned.rhw, 1.0f);
  EXPECT_EQ(turned.diffuse, 0x80FF4020u);
  EXPECT_EQ(turned.tu, 0.25f);
  EXPECT_EQ(turned.tv, 0.75f);
  // The pivot is where the rotation turns about.
  buffer.setPivot(CEGUI::Vector3f(10, 0, 0));
  EXPECT_NEAR(buffer.Transform(corner).x, 10 + 5 - 0.5f, 1e-4);

  // What draw writes into the device's buffer.
  CGUIGeometryBuffer& plain = bench.Buffer(nullptr, GuiRendererBench::Triangles(1, 4, 6, 0xFF00FF00));
  plain.setTranslation(CEGUI::Vector3f(1, 2, 0));
  bench.gui->beginRendering();
  plain.draw();
  bench.gui->endRendering();
  const auto written = WrittenVertices(*bench.gui, 3);
  EXPECT_EQ(written[1].x, 4 + 8 + 1 - 0.5f);
  EXPECT_EQ(written[1].y, 6 + 2 - 0.5f);
  EXPECT_EQ(written[1].diffuse, 0xFF00FF00u);
  EXPECT_EQ(written[1].tu, 1.0f);
}

TEST(GUIRendererTest, DeviceLossDropsTheBufferAndResetMakesItAgain) {
  GuiRendererBench bench;
  ASSERT_NE(bench.gui->GetVertexBuffer(), nullptr);
  CGUIGeometryBuffer& buffer = bench.Buffer(nullptr, GuiRendererBench::Triangles(2));

  bench.gui->OnDeviceLost();
  EXPECT_EQ(bench.gui->GetVertexBuffer(), nullptr);
  bench.gui->beginRendering();
  buffer.draw();
  bench.gui->endRendering();
  EXPECT_TRUE(RendererTestBench::Calls({"DrawPrimitive", "SetFVF"}).empty()) << "nothing drawn while lost";

  bench.bench.ForgetCalls();
  ASSERT_EQ(bench.bench.renderer->Reset(), 1u);
  EXPECT_NE(bench.gui->GetVertexBuffer(), nullptr);
  EXPECT_EQ(Count(RendererTestBench::Calls({"CreateVertexBuffer"}), "CreateVertexBuffer(114688, 0x208, 0x144, 0)"), 1u);
  bench.gui->beginRendering();
  buffer.draw();
  bench.gui->endRendering();
  EXPECT_EQ(RendererTestBench::Calls({"DrawPrimitive"}), (std::vector<std::string>{"DrawPrimitive(4, 0, 2)"}));
}

TEST(GUIRendererTest, FontTextureBySizeIsABlankBankTexture) {
  GuiRendererBench bench;
  auto& glyphs = static_cast<CGUITexture&>(bench.gui->createTexture("glyphs", CEGUI::Sizef(64, 32)));
  ASSERT_NE(glyphs.GetEngineTexture(), nullptr);
  EXPECT_EQ(glyphs.GetEngineTexture()->GetWidth(), 64u);
  EXPECT_EQ(glyphs.GetEngineTexture()->GetHeight(), 64u);
  EXPECT_EQ(glyphs.getOriginalDataSize(), CEGUI::Sizef(64, 32));
  EXPECT_EQ(glyphs.getTexelScaling(), CEGUI::Vector2f(1 / 64.0f, 1 / 64.0f));
  EXPECT_TRUE(bench.gui->isTextureDefined("glyphs"));
  EXPECT_THROW(bench.gui->createTexture("glyphs"), CEGUI::AlreadyExistsException);
  EXPECT_THROW(bench.gui->createTexture("empty", CEGUI::Sizef(0, 8)), CEGUI::RendererException);
  EXPECT_FALSE(bench.gui->isTextureDefined("empty")) << "a texture that failed is not kept";
}

TEST(GUIRendererTest, MemoryTextureIsSquareNumberedAndCopiedRowByRow) {
  GuiRendererBench bench;
  std::vector<BYTE> pixels(300 * 100 * 4);
  for (size_t i = 0; i < pixels.size(); i += 4) {
    pixels[i] = 1;  // R
    pixels[i + 1] = 2;
    pixels[i + 2] = 3;
    pixels[i + 3] = 4;  // A
  }
  auto& first = static_cast<CGUITexture&>(bench.gui->createTexture("first"));
  first.loadFromMemory(pixels.data(), CEGUI::Sizef(300, 100), CEGUI::Texture::PF_RGBA);
  CTexture* texture = first.GetEngineTexture();
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetWidth(), 300u);
  EXPECT_EQ(texture->GetHeight(), 300u);
  EXPECT_EQ(texture->GetFormat(), D3DFMT_A8R8G8B8);
  const std::string name = texture->GetName();
  ASSERT_EQ(name.rfind("loadedfrommemory", 0), 0u) << name;
  const int number = std::stoi(name.substr(16));

  D3DLOCKED_RECT locked = {};
  ASSERT_TRUE(texture->Lock(0, nullptr, &locked));
  const BYTE* bits = static_cast<const BYTE*>(locked.pBits);
  const BYTE* lastWritten = bits + 99 * locked.Pitch + 299 * 4;
  EXPECT_EQ(std::vector<BYTE>(lastWritten, lastWritten + 4), (std::vector<BYTE>{3, 2, 1, 4}));  // B, G, R, A
  bool untouched = true;
  for (UINT row = 100; row < 300; ++row)
    for (UINT byte = 0; byte < 300 * 4; ++byte) untouched = untouched && bits[row * locked.Pitch + byte] == 0;
  EXPECT_TRUE(untouched) << "rows 100 to 299 are left as made";
  texture->Unlock(0);

  auto& second = static_cast<CGUITexture&>(bench.gui->createTexture("second"));
  const BYTE rgb[3] = {10, 20, 30};
  second.loadFromMemory(rgb, CEGUI::Sizef(1, 1), CEGUI::Texture::PF_RGB);
  EXPECT_EQ(std::string(second.GetEngineTexture()->GetName()), "loadedfrommemory" + std::to_string(number + 1));
  std::vector<BYTE> back(4);
  second.blitToMemory(back.data());
  EXPECT_EQ(back, (std::vector<BYTE>{10, 20, 30, 255}));
  EXPECT_THROW(second.loadFromMemory(rgb, CEGUI::Sizef(1, 1), CEGUI::Texture::PF_RGB_565), CEGUI::RendererException);
}

TEST(GUIRendererTest, DestroyingATextureReleasesItsBankTexture) {
  GuiRendererBench bench;
  const UINT before = bench.Bank().GetNumberOfTextures();
  bench.SolidTexture("gone", 4, kWhite);
  CTexture* texture = static_cast<CGUITexture&>(bench.gui->getTexture("gone")).GetEngineTexture();
  ASSERT_EQ(texture->GetReferenceCount(), 1u);
  bench.gui->destroyTexture("gone");
  EXPECT_FALSE(bench.gui->isTextureDefined("gone"));
  EXPECT_THROW(bench.gui->getTexture("gone"), CEGUI::UnknownObjectException);
  bool found = false;
  for (UINT i = 0; i < bench.Bank().GetNumberOfTextures(); ++i) found = found || bench.Bank().GetTextureByID(i) == texture;
  EXPECT_FALSE(found);
  EXPECT_LE(bench.Bank().GetNumberOfTextures(), before + 1);
}

TEST(GUIRendererTest, AFullBankRaisesTheMemoryTextureText) {
  GuiRendererBench bench;
  for (UINT i = 0; bench.Bank().CreateTexture(("filler" + std::to_string(i)).c_str(), D3DFMT_A8R8G8B8, 1, 1, 1, 0);
       ++i) {
  }
  auto& texture = static_cast<CGUITexture&>(bench.gui->createTexture("late"));
  try {
    texture.loadFromMemory(kWhite, CEGUI::Sizef(1, 1), CEGUI::Texture::PF_RGBA);
    FAIL() << "no exception";
  } catch (const CEGUI::RendererException& error) {
    EXPECT_EQ(std::string(error.getMessage().c_str()),
              "Failed to load texture from memory: D3D Texture creation failed.");
  }
  EXPECT_EQ(texture.GetEngineTexture(), nullptr);

  // A file the bank has no room for names the file as given, without its folder.
  try {
    bench.gui->createTexture("image", "TaharezLook.png", "");
    FAIL() << "no exception";
  } catch (const CEGUI::RendererException& error) {
    EXPECT_EQ(std::string(error.getMessage().c_str()), "Failed to create Texture object from file 'TaharezLook.png");
  }
  EXPECT_FALSE(bench.gui->isTextureDefined("image"));
}

TEST(GUIRendererTest, EngineTexturesGetOneGuiWrapperThatReleasesThemWhenItGoes) {
  GuiRendererBench bench;
  bench.bench.context->ports.guiTextures.Set(bench.gui.get());
  auto* texture = static_cast<CTexture*>(bench.Bank().CreateTexture("shown", D3DFMT_A8R8G8B8, 16, 8, 1, 0));
  CGUITexture* wrapper = texture->GetGUITexture();
  ASSERT_NE(wrapper, nullptr);
  EXPECT_EQ(wrapper->GetEngineTexture(), texture);
  EXPECT_EQ(wrapper->getSize(), CEGUI::Sizef(16, 8));
  EXPECT_EQ(texture->GetGUITexture(), wrapper) << "made once";
  EXPECT_EQ(texture->GetReferenceCount(), 3u);
  bench.gui->destroyTexture(*wrapper);
  EXPECT_EQ(texture->GetReferenceCount(), 2u);
  CGUITexture* again = texture->GetGUITexture();
  ASSERT_NE(again, nullptr) << "the texture forgot the wrapper that went";
  EXPECT_EQ(again->GetEngineTexture(), texture);
}

TEST(GUIRendererTest, ImagesetTextureLoadsTheSchemePngThroughTheBank) {
  GuiRendererBench bench;
  std::string folder = std::string(ZK_GUI_DATA_FOLDER) + "cegui/imagesets/";
  bench.bench.context->szApplicationFolder = folder.data();
  auto& texture = static_cast<CGUITexture&>(bench.gui->createTexture("taharez", "TaharezLook.png", ""));
  D3DXIMAGE_INFO info = {};
  ASSERT_EQ(D3DXGetImageInfoFromFileA((folder + "TaharezLook.png").c_str(), &info), D3D_OK);
  ASSERT_NE(texture.GetEngineTexture(), nullptr);
  EXPECT_EQ(texture.getSize(), CEGUI::Sizef(float(info.Width), float(info.Height)));
  EXPECT_TRUE(texture.GetEngineTexture()->IsLoaded());
  bench.bench.context->szApplicationFolder = nullptr;
}

// On GL: a yellow texture under cyan vertices is green where drawn, and the clip region cuts it.
TEST(GUIRendererTest, OnGLATexturedColouredQuadReachesItsPixelsInsideItsClipRegion) {
  GuiRendererBench bench(ZK_D3D_BACKEND_GL);
  const BYTE yellow[4] = {255, 255, 0, 255};
  CGUITexture& texture = bench.SolidTexture("yellow", 4, yellow);
  std::vector<CEGUI::Vertex> quad;
  const float corners[6][2] = {{8, 8}, {40, 8}, {8, 40}, {40, 8}, {40, 40}, {8, 40}};
  for (const auto& c : corners) {
    CEGUI::Vertex v;
    v.position = CEGUI::Vector3f(c[0], c[1], 0);
    v.tex_coords = CEGUI::Vector2f(c[0] == 8 ? 0.0f : 1.0f, c[1] == 8 ? 0.0f : 1.0f);
    v.colour_val = CEGUI::Colour(0xFF00FFFF);
    quad.push_back(v);
  }
  auto& buffer = static_cast<CGUIGeometryBuffer&>(bench.gui->createGeometryBuffer());
  buffer.setActiveTexture(&texture);
  buffer.setClippingRegion(CEGUI::Rectf(0, 0, 24, 64));
  buffer.appendGeometry(quad.data(), static_cast<CEGUI::uint>(quad.size()));

  bench.bench.renderer->Clear(7 | ZK_CLEAR_NO_FRAME_LIMIT, 0);
  bench.bench.renderer->BeginRendering();
  bench.gui->beginRendering();
  bench.gui->getDefaultRenderTarget().draw(buffer);
  bench.gui->endRendering();
  bench.bench.renderer->EndRendering();
  EXPECT_EQ(bench.bench.Errors(), "");
  const std::vector<D3DCOLOR> pixels = bench.bench.device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 12, 20), 0x00FF00)) << std::hex << CD3DTestDevice::At(pixels, 12, 20);
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 8, 8), 0x00FF00)) << "the first pixel of the quad";
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 30, 20), 0)) << "cut by the clip region";
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 12, 44), 0)) << "below the quad";
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 7, 20), 0)) << "left of the quad";
}

}  // namespace
