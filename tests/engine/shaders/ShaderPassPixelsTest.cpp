// Shader passes drawn by the GL back end offscreen on the renderer's own banks, read back: a
// mesh shader's declaration, assembly programs and colour constant, and a scene shader that
// renders a mesh into a texture target and shows that target on a quad.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeMeshSpatial.h"
#include "PassesTestScene.h"
#include "RecordingAllocator.h"
#include "RenderTargetTestBench.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "core/EngineContext.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "vfs/VirtualFileSystem.h"

namespace {

// One square texture target of half the screen's size, for REFLECTION targets.
void HalfScreenTarget(RenderTargetTestBench& b, DeviceSettings& s) {
  b.Add(s, RenderTargetTestBench::kRectangle, 1, 0x1, 32, 32);
}

// Positions straight through as clip coordinates, with or without texture coordinates.
const char kFlatVertexProgram[] = "vs_1_1\ndcl_position v0\nmov oPos, v0\n";
const char kTexturedVertexProgram[] =
    "vs_1_1\ndcl_position v0\ndcl_texcoord0 v1\nmov oPos, v0\nmov oT0, v1\n";
const char kConstantPixelProgram[] = "ps_1_1\nmov r0, c0\n";
const char kTexturePixelProgram[] = "ps_1_1\ntex t0\nmov r0, t0\n";

const char kPositions[] = "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0>\n";
const char kPositionsAndUVs[] =
    "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0> \\\n  <0, 12, FLOAT2, DEFAULT, TEXCOORD, 0>\n";

constexpr D3DCOLOR kBackground = 0x0000FF;

struct Corner {
  float x, y, u, v;
};

class ShaderPassPixelsTest : public testing::Test {
 protected:
  ShaderPassPixelsTest() {
    CEngineContext& context = *GetEngineContext();
    context.pVirtualFileSystem = &vfs;
    context.ports.surfaceFactory.Set(&surfaces);
    context.ports.meshSpatial.Set(&spatial);
    library = std::make_unique<CShaderLibrary>(b.Renderer(), &b.bench.log, ZK_SCHEME_GEFORCEFX, 0,
                                               folder.Path().c_str());
    context.ports.meshShaders.Set(library.get());
    context.ports.surfaceShaders.Set(library.get());
    context.ports.sceneShaders.Set(library.get());
    scene = new PassesTestScene(b.bench.renderer.get(), &b.bench.log);
    scene->SetBackgroundColor(kBackground);
    context.pActiveScene = scene;
    // The programs are read from the working folder, as the game's data folder is.
    folder.Write("vsh/FLAT.VSH", kFlatVertexProgram);
    folder.Write("vsh/TEXTURED.VSH", kTexturedVertexProgram);
    folder.Write("psh/CONSTANT.PSH", kConstantPixelProgram);
    folder.Write("psh/TEXTURE.PSH", kTexturePixelProgram);
    folder.Write("surface.ssh", Technique("SURFACEPASS", "RENDER\n"));
  }
  ~ShaderPassPixelsTest() override {
    GetEngineContext()->pActiveScene = nullptr;
    scene->Release();
    library.reset();
  }

  static std::string Technique(const std::string& pass, const std::string& body) {
    return "BEGINTECHNIQUE TARGET GEFORCEFX\nBEGINPASS " + pass + "\n" + body +
           "ENDPASS\nENDTECHNIQUE\n";
  }

  // A mesh of one surface drawn from `corners` as a fan, whose shader file `file` holds `pass`
  // with `body`; the surface's shader draws it with its pass SURFACEPASS.
  CMesh* AddMesh(const char* name, const std::vector<Corner>& corners, const std::string& file,
                 const std::string& pass, const std::string& body) {
    folder.Write(file, Technique(pass, body));
    auto* mesh = new CMesh(b.bench.renderer.get(), &b.bench.log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    std::vector<Vertex> vertices;
    for (const Corner& corner : corners) {
      Vertex vertex = {};
      vertex.vecPosition = CVector3(corner.x, corner.y, 0.5f);
      vertex.fTU[0] = corner.u;
      vertex.fTV[0] = corner.v;
      for (WORD& bone : vertex.wBonesIndices) bone = 0xFFFF;
      vertices.push_back(vertex);
    }
    mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1);
    std::vector<WORD> indices;
    for (WORD i = 2; i < corners.size(); ++i) indices.insert(indices.end(), {0, WORD(i - 1), i});
    auto* surface = dynamic_cast<CSurface*>(mesh->CreateSurface());
    surface->SetName("skin");
    surface->SetIndices(static_cast<UINT>(indices.size()), indices.data());
    EXPECT_EQ(surface->CreateShader("surface.ssh", nullptr, 0, 1), 1u) << b.Errors();
    EXPECT_EQ(mesh->CreateShader(file.c_str(), nullptr, 0, 1), 1u) << b.Errors();
    return mesh;
  }

  // Clears the screen to the scene's colour, runs `draw` inside the frame and reads the screen
  // back.
  template <class Draw>
  std::vector<D3DCOLOR> Frame(Draw draw) {
    CD3D9Renderer& renderer = *b.bench.renderer;
    renderer.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL | ZK_CLEAR_NO_FRAME_LIMIT, 0);
    renderer.BeginRendering();
    draw();
    renderer.EndRendering();
    return b.bench.device.ReadBackBuffer();
  }

  RenderTargetTestBench b{HalfScreenTarget, ZK_D3D_BACKEND_GL, ShaderModel3Card(),
                          RenderTargetTestBench::kRealBanks};
  TempDir folder;
  WorkingFolderScope workingFolder{folder.Path()};
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&b.bench.log, &allocator, nullptr};
  CSurfaceFactory surfaces;
  FakeMeshSpatial spatial;
  std::unique_ptr<CShaderLibrary> library;
  PassesTestScene* scene = nullptr;
};

#define EXPECT_COLOUR(pixels, x, y, expected)                                                \
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, x, y), expected))                         \
      << "pixel (" << (x) << ", " << (y) << ") is " << std::hex << CD3DTestDevice::At(pixels, x, y)

TEST_F(ShaderPassPixelsTest, ATriangleTakesTheColourItsPassLoads) {
  // Clockwise on screen, over the middle of the target.
  CMesh* mesh = AddMesh("triangle", {{-0.5f, -0.5f, 0, 0}, {0, 0.5f, 0, 0}, {0.5f, -0.5f, 0, 0}},
                        "mesh.ssh", "MAIN",
                        std::string(kPositions) +
                            "VECTOR COLOUR = <0, 1, 0, 1>\n"
                            "SETVERTEXDECLARATION D\nSETVERTEXSHADER FLAT.VSH\n"
                            "SETPIXELSHADER CONSTANT.PSH\nSETPIXELSHADERCONSTANTF 0 COLOUR\n"
                            "RENDER SURFACEPASS\n");
  const std::vector<D3DCOLOR> pixels = Frame([&] { mesh->Render("MAIN", 0); });
  EXPECT_EQ(b.Errors(), "");
  ASSERT_EQ(pixels.size(), size_t{CD3DTestDevice::kWidth} * CD3DTestDevice::kHeight);
  EXPECT_COLOUR(pixels, 32, 36, 0x00FF00u);  // inside
  EXPECT_COLOUR(pixels, 4, 4, kBackground);  // the clear colour around it
  EXPECT_COLOUR(pixels, 60, 60, kBackground);
}

TEST_F(ShaderPassPixelsTest, AMeshRenderedIntoATargetShowsTheRightWayUpOnAQuad) {
  // A red band over the top half of the target, then the whole target on the screen's left
  // half, texture coordinates (0, 0) at the top left. Both clears take the scene's blue.
  AddMesh("band", {{-1, 0, 0, 0}, {-1, 1, 0, 0}, {1, 1, 0, 0}, {1, 0, 0, 0}}, "band.ssh",
          "INTOTARGET",
          std::string(kPositions) +
              "VECTOR COLOUR = <1, 0, 0, 1>\n"
              "SETVERTEXDECLARATION D\nSETVERTEXSHADER FLAT.VSH\n"
              "SETPIXELSHADER CONSTANT.PSH\nSETPIXELSHADERCONSTANTF 0 COLOUR\n"
              "RENDER SURFACEPASS\n");
  AddMesh("screen", {{-1, -1, 0, 1}, {-1, 1, 0, 0}, {0, 1, 1, 0}, {0, -1, 1, 1}}, "screen.ssh",
          "SHOWTARGET",
          std::string(kPositionsAndUVs) +
              "SETVERTEXDECLARATION D\nSETVERTEXSHADER TEXTURED.VSH\n"
              "SETPIXELSHADER TEXTURE.PSH\nRENDER SURFACEPASS\n");
  auto* light = new CLight(b.bench.renderer.get(), &b.bench.log, scene);
  light->SetName("lamp");
  scene->AppendWorldObject(light);
  folder.Write("scene.ssh", "# TYPE SCENE\n" +
                                Technique("MAIN",
                                          "FOREACH LIGHT\n"
                                          "GETRENDERTARGET 0 SQUARE REFLECTION\n"
                                          "SETRENDERTARGET 0 SQUARE 0 FALSE\n"
                                          "CLEAR COLOR DEPTH\n"
                                          "RENDER INTOTARGET USE VISIBLEATSCENE\n"
                                          "SETRENDERTARGET DEFAULT\n"
                                          "SETRENDERTARGETASTEXTURE 0 SQUARE 0\n"
                                          "RENDER SHOWTARGET USE VISIBLEATSCENE\n"
                                          "RELEASERENDERTARGET 0 SQUARE\n"
                                          "ENDFOR\n"));
  ASSERT_EQ(scene->CreateShader("scene.ssh", nullptr, 0, 1), 1u) << b.Errors();

  const std::vector<D3DCOLOR> pixels =
      Frame([&] { scene->GetShader()->ExecuteScenePasses(scene, 0.0f); });
  EXPECT_EQ(b.Errors(), "");
  ASSERT_EQ(pixels.size(), size_t{CD3DTestDevice::kWidth} * CD3DTestDevice::kHeight);
  EXPECT_COLOUR(pixels, 16, 12, 0xFF0000u);     // the band, at the top of the quad
  EXPECT_COLOUR(pixels, 16, 52, kBackground);  // the target's clear colour below it
  EXPECT_COLOUR(pixels, 48, 12, kBackground);  // beside the quad: the band was not drawn here
  EXPECT_EQ(light->GetRenderTarget(0), nullptr);  // given back
}

}  // namespace
