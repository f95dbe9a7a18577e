// Running compiled passes: which passes the run operations choose, the current objects a pass
// sets for its lines, the skips lines ask for, a failing line, and the render entries of
// meshes and surfaces with and without a rendering profile.
#include "FakeMeshVertexBuffer.h"
#include "FakeSprite.h"
#include "PassesTestScene.h"
#include "ProcessExitCatcher.h"
#include "RecordingRenderingProfile.h"
#include "ShaderFixture.h"
#include "SurfaceTestBench.h"
#include "scene/Camera.h"
#include "startup/EngineScenePasses.h"

namespace {

using Texts = std::vector<std::string>;

// "CLEAR": notes in the runs how often the watched sprite has been drawn by then.
FakeSprite* g_pWatchedSprite = nullptr;

class SpriteWatcher final : public RecordingShaderCommand {
 public:
  explicit SpriteWatcher(const ShaderLineArguments& arguments)
      : RecordingShaderCommand(arguments, 17) {}
  UINT Execute() override {
    Runs().push_back(text + " after " + std::to_string(g_pWatchedSprite->drawFrames.size()) +
                     " sprite draws");
    return 1;
  }
};

CShaderLine* MakeSpriteWatcher(const ShaderLineArguments& arguments) {
  return new SpriteWatcher(arguments);
}

class ShaderExecutionTest : public ShaderFixture {
 protected:
  ShaderExecutionTest() {
    lines.SetFactory("CLEAR", MakeSpriteWatcher);
    Library();
    bench.renderer.vertexBufferStorage = &buffers;
    bench.context->ports.meshShaders.Set(library.get());
    bench.context->ports.surfaceShaders.Set(library.get());
    bench.context->ports.sceneShaders.Set(library.get());
    RecordingShaderCommand::Runs().clear();
  }

  // A mesh of the bench whose shader file holds `passes`.
  CMesh* MeshWithShader(const char* name, const std::string& passes) {
    folder.Write(std::string(name) + ".ssh", Technique(passes));
    CMesh* mesh = bench.AddMesh(name);
    EXPECT_EQ(mesh->CreateShader((std::string(name) + ".ssh").c_str(), nullptr, 0, 1), 1u)
        << Errors();
    return mesh;
  }
  static Texts Runs() { return RecordingShaderCommand::Runs(); }

  FakeVertexBufferStorage buffers;
  SurfaceTestBench bench;
};

TEST_F(ShaderExecutionTest, TheSceneRunSkipsOnlyCallablePassesAndAmbientPassesInTheDark) {
  folder.Write("scene.ssh", Technique(Pass("NORMAL", "RENDER NORMAL\n") +
                                      Pass("CALLED ONLYCALLABLE", "RENDER CALLED\n") +
                                      Pass("AMBIENT IMPLEMENTS AMBIENTPASS", "RENDER AMBIENT\n")));
  ASSERT_EQ(bench.scene->CreateShader("scene.ssh", nullptr, 0, 1), 1u) << Errors();
  CShader* shader = bench.scene->GetShader();
  bench.scene->GetAmbLightIntensityEnvelope()->SetValue(1.0f);
  CEngineScenePasses passes;
  struct Case {
    ColorByte colour;
    Texts runs;
  };
  const Case cases[] = {{{10, 10, 10, 0}, {"RENDER NORMAL", "RENDER AMBIENT"}},
                        {{255, 0, 0, 0}, {"RENDER NORMAL"}}};
  for (const Case& c : cases) {
    *bench.scene->GetColor() = c.colour;
    bench.scene->SetCurrentMesh(bench.AddMesh("left over"));
    RecordingShaderCommand::Runs().clear();
    passes.RenderSceneShader(shader, bench.scene, 12.0f);
    EXPECT_EQ(Runs(), c.runs);
    EXPECT_EQ(bench.scene->GetCurrentMesh(), nullptr);
    EXPECT_EQ(shader->GetRunValue(), 12.0f);
  }
  EXPECT_EQ(shader->ExecuteMeshPass("NORMAL", nullptr, 1.0f), 0u);  // not a mesh shader
  EXPECT_EQ(shader->GetRunValue(), 1.0f);
}

TEST_F(ShaderExecutionTest, ASceneDrawnInTheShaderProfileRunsItsPassesThenItsSprites) {
  ZeKorbConfig config = {};
  config.wWidth = 640;
  config.wHeight = 480;
  bench.context->pConfig = &config;
  CEngineScenePasses passes;
  bench.context->ports.scenePasses.Set(&passes);
  auto* scene = new PassesTestScene(&bench.renderer, &bench.log);
  scene->AppendWorldObject(new CCamera(&bench.renderer, &bench.log, scene));
  FakeSprite sprite("sprite");
  g_pWatchedSprite = &sprite;
  scene->AddSprite(&sprite);

  folder.Write("scene.ssh", "# TYPE SCENE\n" +
                                Technique(Pass("MAIN", "CLEAR MAIN\n") +
                                          Pass("LIT IMPLEMENTS AMBIENTPASS", "CLEAR AMBIENT\n")));
  ASSERT_EQ(scene->CreateShader("scene.ssh", nullptr, 0, 1), 1u) << Errors();
  ASSERT_EQ(scene->GetShadowMode(), 0u);
  ASSERT_EQ(scene->SetActiveCamera(0), 1u);
  *scene->GetColor() = {10, 10, 10, 0};
  scene->GetAmbLightIntensityEnvelope()->SetValue(1.0f);
  scene->Render();
  EXPECT_EQ(Runs(), (Texts{"CLEAR MAIN after 0 sprite draws", "CLEAR AMBIENT after 0 sprite draws"}));
  EXPECT_EQ(sprite.drawFrames, std::vector<float>{-1.0f});
  EXPECT_EQ(scene->GetShader()->GetTarget(), static_cast<CScene*>(scene));
  scene->Release();
}

TEST_F(ShaderExecutionTest, MeshPassesAreChosenByNameAndByTheMeshsDynamics) {
  CMesh* mesh = MeshWithShader("mesh", Pass("DRAW IMPLEMENTS STATICSHADOWVOLUME", "RENDER STATIC\n") +
                                           Pass("DRAW IMPLEMENTS DYNAMICSHADOWVOLUME",
                                                "RENDER DYNAMIC\n") +
                                           Pass("DRAW IMPLEMENTS AMBIENTPASS", "RENDER AMBIENT\n"));
  CShader* shader = mesh->GetShader();
  mesh->PrepareMatrices(0.0f);
  ASSERT_EQ(mesh->GetIsDynamic(), 1u);
  mesh->Render("DRAW");
  EXPECT_EQ(Runs(), (Texts{"RENDER DYNAMIC"}));
  EXPECT_EQ(bench.scene->GetCurrentMesh(), static_cast<CWorldObject*>(mesh));
  mesh->PrepareMatrices(1.0f);  // nothing moved since: static
  ASSERT_EQ(mesh->GetIsDynamic(), 0u);
  RecordingShaderCommand::Runs().clear();
  mesh->Render("DRAW");
  EXPECT_EQ(Runs(), (Texts{"RENDER STATIC"}));

  // The kind form takes only a pass of that kind, the ambient one included.
  RecordingShaderCommand::Runs().clear();
  mesh->Render("DRAW", SHADER_PASS_AMBIENT);
  EXPECT_EQ(shader->ExecuteMeshPassOfKind("DRAW", mesh, 3.0f, SHADER_PASS_NORMAL), 0u);
  EXPECT_EQ(Runs(), (Texts{"RENDER AMBIENT"}));

  // An unknown pass draws nothing and says nothing.
  log.entries.clear();
  RecordingShaderCommand::Runs().clear();
  mesh->Render("MISSING");
  EXPECT_EQ(shader->ExecuteMeshPass("MISSING", mesh, 0.0f), 0u);
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(Errors(), "");
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError), "");

  // A mesh hidden from cameras is not drawn, nor made the current mesh.
  bench.scene->SetCurrentMesh(nullptr);
  mesh->SetVisibility(0, 1, 1);
  mesh->Render("DRAW");
  mesh->Render("DRAW", SHADER_PASS_AMBIENT);
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(bench.scene->GetCurrentMesh(), nullptr);
}

TEST_F(ShaderExecutionTest, SurfacesRunTheirPassesAsTheirMeshsCurrentSurface) {
  folder.Write("surface.ssh", "# TYPE SURFACE\n" + Technique(Pass("DRAW", "RENDER SURFACE\n")));
  CMesh* mesh = bench.AddMesh("crate");
  CSurface* wood = bench.Make("wood", mesh);
  ASSERT_EQ(wood->CreateShader("surface.ssh", nullptr, 0, 1), 1u) << Errors();
  wood->Render("DRAW");
  EXPECT_EQ(Runs(), (Texts{"RENDER SURFACE"}));
  EXPECT_EQ(mesh->GetCurrentSurface(), wood);
  EXPECT_EQ(wood->GetShader()->GetTarget(), wood);
  EXPECT_EQ(wood->GetShader()->ExecuteMeshPass("DRAW", mesh, 0.0f), 0u);  // not a mesh shader

  CSurface* bare = bench.Make("bare", mesh);
  bare->Render("DRAW");
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - (CSurface::Render) Rendering Profile and Shader Are NULL\n");
}

TEST_F(ShaderExecutionTest, ALoadedRenderingProfileTakesOverFromTheShader) {
  CMesh* mesh = MeshWithShader("mesh", Pass("DRAW", "RENDER MESH\n"));
  CSurface* wood = bench.Make("wood", mesh);
  RecordingRenderingProfile profile;
  bench.context->pRenderingProfile = &profile;
  mesh->Render("DRAW");
  wood->Render("DRAW");
  EXPECT_TRUE(Runs().empty());
  EXPECT_EQ(profile.renderedMeshes, (std::vector<CMeshInterface*>{mesh}));
  EXPECT_EQ(profile.renderedSurfaces, (std::vector<CSurfaceInterface*>{wood}));

  bench.context->pRenderingProfile = nullptr;
  CMesh* bare = bench.AddMesh("bare");
  bare->Render("DRAW");
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - (CMesh::Render) Rendering Profile and Shader Are NULL\n");
}

TEST_F(ShaderExecutionTest, LinesSkipAheadAndAFailingLineEndsTheProcess) {
  CMesh* mesh = MeshWithShader("mesh", Pass("DRAW", "RENDER A\nRENDER B\nRENDER C\nRENDER D\n"));
  CShaderPass* pass = mesh->GetShader()->GetPass(0);
  auto line = [&](UINT i) { return dynamic_cast<RecordingShaderCommand*>(pass->GetLine(i)); };
  line(0)->skip = 2;
  mesh->Render("DRAW");
  EXPECT_EQ(Runs(), (Texts{"RENDER A", "RENDER D"}));

  ProcessExitCatcher exits;
  line(0)->skip = 0;
  line(1)->result = 0;
  RecordingShaderCommand::Runs().clear();
  try {
    mesh->Render("DRAW");
    ADD_FAILURE() << "the failing line did not end the process";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  EXPECT_EQ(Runs(), (Texts{"RENDER A", "RENDER B"}));
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "");
  EXPECT_EQ(exits.Boxes()[0].text, "Can't Execute Shader Line: 1\n");
}

}  // namespace
