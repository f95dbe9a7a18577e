// RENDER at the scene, mesh and surface levels and RENDEROUTLINE, on the recording renderer.
#include <string>
#include <vector>

#include "FakeDevice.h"
#include "FakeSurfaceBanks.h"
#include "ShaderProgramCommandFixture.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"
#include "shaders/ShaderProgramRender.h"
#include "shaders/ShaderProgramRenderOutline.h"

namespace {

class ShaderDrawingCommandTest : public ShaderProgramCommandFixture {
 protected:
  ShaderDrawingCommandTest() {
    renderer.indexBufferStorage = &indexBuffers;
  }
  ~ShaderDrawingCommandTest() override {
    if (surface != nullptr) surface->Release();
  }
  // A surface of the mesh with `count` indices (none for 0), and the surface shader "RENDER".
  CShaderPass* SurfaceRender(UINT count) {
    if (surface != nullptr) surface->Release();
    surface = new CSurface(&renderer, &log, mesh);
    std::vector<WORD> indices(count, 0);
    if (count > 0) surface->SetIndices(count, indices.data());
    target = surface;
    targetKind = SHADER_TARGET_SURFACE;
    return CompileLine("RENDER");
  }
  std::vector<std::string> Run(CShaderPass* pass) {
    renderer.sequence.clear();
    EXPECT_NE(pass, nullptr) << Errors();
    if (pass != nullptr) {
      EXPECT_EQ(pass->GetLine(0)->Execute(), 1u) << Errors();
    }
    return renderer.sequence;
  }

  FakeIndexBufferStorage indexBuffers;
  CSurface* surface = nullptr;
};

TEST_F(ShaderDrawingCommandTest, ASurfaceDrawsAThirdOfItsIndicesAsTriangles) {
  for (UINT count : {30u, 31u}) {
    CShaderPass* pass = SurfaceRender(count);
    EXPECT_EQ(Run(pass), std::vector<std::string>{"draw 10"}) << count;
    EXPECT_EQ(indexBuffers.made.back()->sets, 1) << count;
  }
}

TEST_F(ShaderDrawingCommandTest, ASurfaceWithoutItsGeometryDrawsNothingAndSaysWhy) {
  // No indices: no buffer to draw from, said once.
  CShaderPass* pass = SurfaceRender(0);
  EXPECT_TRUE(Run(pass).empty());
  EXPECT_TRUE(Run(pass).empty());
  const std::string noIndices = "WARNING!!! - Surface Has No Index Buffer: ";
  EXPECT_NE(Errors().find(noIndices), std::string::npos) << Errors();
  EXPECT_EQ(Errors().find(noIndices), Errors().rfind(noIndices));

  mesh->SetName("box");
  pass = SurfaceRender(30);
  mesh->SetVertexDeclarationType(1);  // the shadow volume's geometry, which the mesh lacks
  EXPECT_TRUE(Run(pass).empty());
  EXPECT_NE(Errors().find("WARNING!!! - Shadow Index Buffer Is Null (box)\n"), std::string::npos);
  surface->SetName("lid");
  mesh->SetVertexDeclarationType(2);
  EXPECT_TRUE(Run(pass).empty());
  EXPECT_NE(Errors().find("WARNING!!! - Unknown CurrentVertexBuffer Number When Rendering "
                          "Surface: lid - box\n"),
            std::string::npos)
      << Errors();
}

TEST_F(ShaderDrawingCommandTest, RenderLinesCompileByTheShadersKind) {
  struct Case {
    UINT kind;
    const char* line;
    UINT code;  // 0: compiles
    UINT set;
  };
  const Case cases[] = {
      {SHADER_TARGET_SCENE, "RENDER AMBIENTPASS", 0, RENDER_SET_VISIBLE_AT_CAMERA},
      {SHADER_TARGET_SCENE, "RENDER LIT USE VISIBLEATLIGHT", 0, RENDER_SET_VISIBLE_AT_LIGHT},
      {SHADER_TARGET_SCENE, "RENDER LIT USE VISIBLEATSCENE", 0, RENDER_SET_VISIBLE_AT_SCENE},
      {SHADER_TARGET_SCENE, "RENDER LIT USE VISIBLELIGHTSHADOWVOLUMES", 0,
       RENDER_SET_VISIBLE_LIGHT_SHADOW_VOLUMES},
      {SHADER_TARGET_SCENE, "RENDER X USE SOMETHING", 0, RENDER_SET_VISIBLE_AT_CAMERA},
      {SHADER_TARGET_SCENE, "RENDER", 26, 0},
      {SHADER_TARGET_MESH, "RENDER", 26, 0},
      {SHADER_TARGET_MESH, "RENDER LIT USE VISIBLEATSCENE", 27, 0},
      {SHADER_TARGET_SURFACE, "RENDER X USE VISIBLEATSCENE", 27, 0},
  };
  for (const Case& c : cases) {
    target = c.kind == SHADER_TARGET_SCENE ? static_cast<void*>(scene) : mesh;
    targetKind = c.kind;
    CShaderPass* pass = CompileLine(c.line);
    if (c.code != 0) {
      EXPECT_EQ(pass, nullptr) << c.line;
      EXPECT_NE(Errors().find(Reported(c.code, "CShaderProgramRender::CShaderProgramRender")),
                std::string::npos)
          << c.line << Errors();
      continue;
    }
    ASSERT_NE(pass, nullptr) << c.line << Errors();
    auto* render = dynamic_cast<CShaderProgramRender*>(pass->GetLine(0));
    ASSERT_NE(render, nullptr);
    EXPECT_EQ(render->GetMeshSet(), c.set) << c.line;
  }
}

TEST_F(ShaderDrawingCommandTest, ASceneRendersItsMeshesButTheOneRunningACall) {
  // Three meshes, each drawn by a pass LIT that sets a pixel program named after it.
  std::vector<CMesh*> meshes = {mesh};
  for (int i = 0; i < 2; ++i) {
    meshes.push_back(new CMesh(&renderer, &log, scene, 0));
    scene->AppendWorldObject(meshes.back());
  }
  target = scene;
  targetKind = SHADER_TARGET_SCENE;
  CShaderPass* all = CompileLine("RENDER LIT USE VISIBLEATSCENE");
  ASSERT_NE(all, nullptr) << Errors();
  for (size_t i = 0; i < meshes.size(); ++i) {
    const std::string file = "mesh" + std::to_string(i) + ".ssh";
    folder.Write(file, Technique(Pass("LIT", "SETPIXELSHADER M" + std::to_string(i) + ".PSH\n")));
    CShader* shader = library->CreateShader(file.c_str(), meshes[i], SHADER_TARGET_MESH, nullptr, 0);
    ASSERT_NE(shader, nullptr) << Errors();
    meshes[i]->SetShader(shader);
  }
  context->ports.meshShaders.Set(library.get());
  calls.clear();
  ASSERT_EQ(all->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(calls, (std::vector<std::string>{"pixel psh\\M0.PSH", "pixel psh\\M1.PSH",
                                             "pixel psh\\M2.PSH"}));

  ASSERT_GE(library->PushNestedMesh(meshes[1]), 0);
  calls.clear();
  ASSERT_EQ(all->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(calls, (std::vector<std::string>{"pixel psh\\M0.PSH", "pixel psh\\M2.PSH"}));
  library->PopNestedMesh(meshes[1]);
  context->ports.meshShaders.Reset();

  // No current light and no camera: the light sets and the camera's set are empty.
  for (const char* line : {"RENDER LIT USE VISIBLEATLIGHT", "RENDER LIT USE VISIBLELIGHTSHADOWVOLUMES",
                           "RENDER LIT"}) {
    CShaderPass* pass = CompileLine(line);
    ASSERT_NE(pass, nullptr) << line;
    calls.clear();
    EXPECT_EQ(pass->GetLine(0)->Execute(), 1u) << line;
    EXPECT_TRUE(calls.empty()) << line;
  }
}

TEST_F(ShaderDrawingCommandTest, AMeshRendersEachSurfaceWithThePassOfItsOwnShader) {
  CShaderPass* render = CompileLine("RENDER LIT");
  ASSERT_NE(render, nullptr) << Errors();
  CSurfaceFactory factory;
  context->ports.surfaceFactory.Set(&factory);
  context->ports.surfaceShaders.Set(library.get());
  // Two surfaces with a pass LIT, in the mesh's order, and one whose shader has none.
  const std::string bodies[] = {Pass("OTHER", "SETPIXELSHADER X.PSH\n") +
                                    Pass("LIT", "SETPIXELSHADER S0.PSH\n"),
                                Pass("LIT", "SETPIXELSHADER S1.PSH\n"),
                                Pass("OTHER", "SETPIXELSHADER X.PSH\n")};
  std::vector<CSurface*> surfaces;
  for (int i = 0; i < 3; ++i) {
    surfaces.push_back(dynamic_cast<CSurface*>(mesh->CreateSurface()));
    const std::string file = "surface" + std::to_string(i) + ".ssh";
    folder.Write(file, Technique(bodies[i]));
    CShader* shader =
        library->CreateShader(file.c_str(), surfaces[i], SHADER_TARGET_SURFACE, nullptr, 0);
    ASSERT_NE(shader, nullptr) << Errors();
    surfaces[i]->SetShader(shader);
  }
  calls.clear();
  EXPECT_EQ(render->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(calls, (std::vector<std::string>{"pixel psh\\S0.PSH", "pixel psh\\S1.PSH"}));
  EXPECT_EQ(mesh->GetCurrentSurface(), surfaces[2]);
  context->ports.surfaceShaders.Reset();
  context->ports.surfaceFactory.Reset();
}

// A device that keeps the vertices of every DrawPrimitiveUP.
class OutlineDevice final : public CFakeDevice {
 public:
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* data, UINT stride) override {
    EXPECT_EQ(type, D3DPT_TRIANGLEFAN);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(stride, 32u);
    const auto* vertices = static_cast<const CShaderProgramRenderOutline::OutlineVertex*>(data);
    quads.emplace_back(vertices, vertices + 4);
    return 0;
  }
  std::vector<std::vector<CShaderProgramRenderOutline::OutlineVertex>> quads;
};

class RecordingFVF final : public CVertexDeclarationStorageInterface {
 public:
  CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9*) override { return nullptr; }
  void SetFVF(DWORD fvf) override { fvfs.push_back(fvf); }
  std::vector<DWORD> fvfs;
};

TEST_F(ShaderDrawingCommandTest, TheOutlineFramesThePlainRenderTarget) {
  OutlineDevice device;
  RecordingFVF declarations;
  renderer.device = &device;
  renderer.vertexDeclarationStorage = &declarations;
  renderer.renderTargetDescriptions[0x10000] = {512, 256, 0, 0};
  CShaderPass* pass = CompileLine("RENDEROUTLINE");
  ASSERT_NE(pass, nullptr) << Errors();
  EXPECT_NE(Infos().find("    - Compiling RenderOutline: RENDEROUTLINE"), std::string::npos);
  EXPECT_EQ(pass->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(calls, std::vector<std::string>{"vertex null"});
  EXPECT_EQ(declarations.fvfs, std::vector<DWORD>{0x1c4});
  const float corners[4][4][2] = {
      {{0, 0}, {512, 0}, {512, 1}, {0, 1}},
      {{0, 0}, {1, 0}, {1, 256}, {0, 256}},
      {{510, 0}, {512, 0}, {512, 256}, {510, 256}},
      {{0, 254}, {512, 254}, {512, 256}, {0, 256}},
  };
  ASSERT_EQ(device.quads.size(), 4u);
  for (int q = 0; q < 4; ++q)
    for (int v = 0; v < 4; ++v) {
      const auto& vertex = device.quads[q][v];
      EXPECT_EQ(vertex.x, corners[q][v][0]) << q << " " << v;
      EXPECT_EQ(vertex.y, corners[q][v][1]) << q << " " << v;
      EXPECT_EQ(vertex.z, 0.0f);
      EXPECT_EQ(vertex.rhw, 0.5f);
      EXPECT_EQ(vertex.dwDiffuse | vertex.dwSpecular, 0u);
    }
  renderer.device = nullptr;
}

}  // namespace
