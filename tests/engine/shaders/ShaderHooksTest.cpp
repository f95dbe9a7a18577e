// The scene graph reaches the shader library through its three hooks: scenes, meshes and
// surfaces that name shader files get compiled shaders, shared between objects that name the
// same file.
#include "FakeMeshVertexBuffer.h"
#include "ProcessExitCatcher.h"
#include "ShaderFixture.h"
#include "SurfaceTestBench.h"

namespace {

class ShaderHooksTest : public ShaderFixture {
 protected:
  ShaderHooksTest() {
    folder.Write("scene.ssh", "# TYPE SCENE\n" + Technique(Pass("MAIN", "RENDER\n")));
    folder.Write("mesh.ssh", "# TYPE MESH\n" + Technique(Pass("DRAW", "RENDER\n")));
    folder.Write("surface.ssh", "# TYPE SURFACE\n" + Technique(Pass("DRAW", "RENDER\n")));
    Library();
    bench.renderer.vertexBufferStorage = &buffers;
    bench.context->ports.meshShaders.Set(library.get());
    bench.context->ports.surfaceShaders.Set(library.get());
    bench.context->ports.sceneShaders.Set(library.get());
  }

  FakeVertexBufferStorage buffers;  // outlives the bench's meshes, which release their buffers
  SurfaceTestBench bench;
};

TEST_F(ShaderHooksTest, ObjectsNamingShaderFilesGetTheirCompiledSharedShaders) {
  CMesh* crate = bench.AddMesh("crate");
  CMesh* box = bench.AddMesh("box");
  CSurface* wood = bench.Make("wood", crate);

  ASSERT_EQ(bench.scene->CreateShader("scene.ssh", nullptr, 0, 1), 1u) << Errors();
  CShader* sceneShader = bench.scene->GetShader();
  ASSERT_NE(sceneShader, nullptr);
  EXPECT_EQ(sceneShader->GetTargetKind(), UINT(SHADER_TARGET_SCENE));
  EXPECT_EQ(sceneShader->GetTarget(), bench.scene);

  ASSERT_EQ(crate->CreateShader("mesh.ssh", nullptr, 0, 1), 1u) << Errors();
  ASSERT_EQ(box->CreateShader("mesh.ssh", nullptr, 0, 1), 1u) << Errors();
  EXPECT_EQ(crate->GetShader(), box->GetShader());
  EXPECT_EQ(crate->GetShader()->GetTarget(), crate);  // the first creation's
  EXPECT_STREQ(crate->GetShader()->GetPass(0)->GetName(), "DRAW");

  const int resets = renderer.defaultStateRequests;
  ASSERT_EQ(wood->CreateShader("surface.ssh", nullptr, 0, 1), 1u) << Errors();
  EXPECT_EQ(renderer.defaultStateRequests, resets + 1);
  EXPECT_EQ(wood->GetShader()->GetTargetKind(), UINT(SHADER_TARGET_SURFACE));
  EXPECT_EQ(library->GetNumberOfShaders(), 3u);

  const std::string infos = Infos();
  for (const char* line : {"- Creating Shader scene.ssh For Scene: ",
                           "- Creating Shader mesh.ssh For Mesh: crate...\n",
                           "- Creating Shader mesh.ssh For Mesh: box...\n"
                           "  - Loading Shader From Bank ( mesh.ssh )\n",
                           "- Creating Shader surface.ssh For Surface: wood...\n"})
    EXPECT_NE(infos.find(line), std::string::npos) << line << "\n" << infos;
}

TEST_F(ShaderHooksTest, AShaderOfAnotherKindIsRefusedAndNoDefaultIsChosenYet) {
  ProcessExitCatcher boxes;
  CMesh* crate = bench.AddMesh("crate");
  CSurface* wood = bench.Make("wood", crate);
  EXPECT_EQ(wood->CreateShader("mesh.ssh", nullptr, 0, 1), 0u);
  EXPECT_EQ(wood->GetShader(), nullptr);
  EXPECT_EQ(Errors(), Reported(33, "CShader") + Reported(6, "CreateShader"));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Can't Create Shader: mesh.ssh");

  log.entries.clear();
  EXPECT_EQ(library->ApplyDefaultShaderForMesh(crate), 0u);
  EXPECT_EQ(library->ApplyDefaultShaderForSurface(wood), 0u);
  EXPECT_EQ(Errors(), "Can't Apply Default Shader For crate\nFAILED\n"
                      "Can't Apply Default Shader For Surface: wood\nFAILED\n");
}

}  // namespace
