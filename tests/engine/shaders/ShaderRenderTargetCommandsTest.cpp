// The render-target commands: what their lines compile to, the slots of the light or mesh they
// fill from the bank's pools, activation of a target or a cube face and the way back, binding as
// a texture, releasing, and targets given back when their object goes.
#include <memory>

#include "ProcessExitCatcher.h"
#include "RecordingRenderTargetStorage.h"
#include "RenderTargetTestBench.h"
#include "ShaderSceneFixture.h"
#include "d3d/BackBufferRenderTarget.h"
#include "scene/Camera.h"

namespace {

// Descriptions like the game's presets: a 128 rectangle and a 64 cube of each pool, shadow maps
// in floating-point formats.
void GameLikeTargets(RenderTargetTestBench& b, DeviceSettings& s) {
  b.Add(s, RenderTargetTestBench::kFloatRectangle, 1, 0x06000401, 128, 128);
  b.Add(s, RenderTargetTestBench::kFloatCube, 1, 0x401, 64);
  b.Add(s, RenderTargetTestBench::kRectangle, 1, 0x1, 128, 128);
  b.Add(s, RenderTargetTestBench::kCube, 1, 0x1, 64);
}

class ShaderRenderTargetCommandsTest : public ShaderSceneFixture {
 protected:
  // A real renderer and render-target bank on the null back end, and a library compiling for
  // that renderer behind the scene graph's hooks.
  void UseRealBank() {
    targets = std::make_unique<RenderTargetTestBench>(GameLikeTargets);
    real = std::make_unique<CShaderLibrary>(targets->Renderer(), &log, ZK_SCHEME_GEFORCEFX,
                                            kEverySchemeBelowFX, folder.Path().c_str(), lines);
    context->ports.meshShaders.Set(real.get());
    context->ports.sceneShaders.Set(real.get());
    context->pRenderer = targets->Renderer();
  }
  CRenderTargetBank& Bank() { return *targets->bank; }
  CTextureRenderTarget* Plain(CRenderTargetBank::Pool pool) { return Bank().GetPlainPoolEntry(pool, 0); }
  CCubeRenderTarget* Cube(CRenderTargetBank::Pool pool) { return Bank().GetCubePoolEntry(pool, 0); }
  // Runs the scene shader's pass of that name.
  void RunPass(const char* name) {
    CShaderPass* pass = scene->GetShader()->FindPass(name);
    ASSERT_NE(pass, nullptr) << name;
    pass->Execute();
  }
  // The scene goes before the bank it took targets from.
  void ReleaseScene() {
    scene->Release();
    scene = nullptr;
  }
  ~ShaderRenderTargetCommandsTest() override {
    if (scene != nullptr) ReleaseScene();
  }

  std::unique_ptr<RenderTargetTestBench> targets;
  std::unique_ptr<CShaderLibrary> real;
};

TEST_F(ShaderRenderTargetCommandsTest, LinesCompileTheirSlotShapeAndValuesOrAreRefused) {
  const char* kGet = "CShaderProgramGetRenderTarget::CShaderProgramGetRenderTarget";
  const char* kRelease = "CShaderProgramReleaseRenderTarget::CShaderProgramReleaseRenderTarget";
  const char* kSet = "CShaderProgramSetRenderTarget::CShaderProgramSetRenderTarget";
  const char* kTexture =
      "CShaderProgramSetRenderTargetAsTexture::CShaderProgramSetRenderTargetAsTexture";
  struct Case {
    const char* line;
    const char* refusedBy;  // null: compiles
    int slot;
    UINT shape;
    std::vector<UINT> values;  // purpose, SET's values or the stage
  };
  const Case cases[] = {
      {"GETRENDERTARGET 1 SQUARE SHADOW", nullptr, 1, 2, {0}},
      {"GETRENDERTARGET 3 CUBES REFLECTIONS", nullptr, 3, 3, {1}},
      {"GETRENDERTARGET 4 SQUARE SHADOW", kGet, 0, 0, {}},
      {"GETRENDERTARGET -1 SQUARE SHADOW", kGet, 0, 0, {}},
      {"GETRENDERTARGET ONE SQUARE SHADOW", kGet, 0, 0, {}},
      {"GETRENDERTARGET 1 SQUARE", kGet, 0, 0, {}},
      {"GETRENDERTARGET 1 PHYSICAL SHADOW", kGet, 0, 0, {}},
      {"RELEASERENDERTARGET 0 CUBE", nullptr, 0, 3, {}},
      {"RELEASERENDERTARGET 0", kRelease, 0, 0, {}},
      {"SETRENDERTARGET DEFAULTS", nullptr, 65535, 0, {0, 0, 0}},
      {"SETRENDERTARGET", kSet, 0, 0, {}},
      {"SETRENDERTARGET 2 CUBE NEGATIVEY 0 FALSE", nullptr, 2, 3, {3, 0, 0}},
      {"SETRENDERTARGET 2 CUBE NEGATIVEYY 1 TRUE", nullptr, 2, 3, {3, 1, 1}},
      {"SETRENDERTARGET 2 CUBE POSITIVEZ 0 FALSE", nullptr, 2, 3, {4, 0, 0}},
      {"SETRENDERTARGET 2 CUBE NEGATIVE 0 FALSE", kSet, 0, 0, {}},
      {"SETRENDERTARGET 2 CUBE NEGATIVEY 0", kSet, 0, 0, {}},
      {"SETRENDERTARGET 0 SQUARE 1 TRUE", nullptr, 0, 2, {1, 1, 0}},
      {"SETRENDERTARGET 0 SQUARE 0 MAYBE", kSet, 0, 0, {}},
      {"SETRENDERTARGET 0 PHYSICAL 3", nullptr, 0, 4, {3, 0, 0}},
      {"SETRENDERTARGET 0 PHYSICAL", kSet, 0, 0, {}},
      {"SETRENDERTARGET 9 SQUARE 0 FALSE", kSet, 0, 0, {}},
      {"SETRENDERTARGETASTEXTURE 1 SQUARE 2", nullptr, 1, 2, {2}},
      {"SETRENDERTARGETASTEXTURE 1", "CShaderProgramSetRenderTargeAsTexturet::"
                                     "CShaderProgramSetRenderTargetAsTexture",
       0, 0, {}},
      {"SETRENDERTARGETASTEXTURE 1 CUBE", kTexture, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Reset();
    CShader* shader = CompileTechnique(Pass("P", std::string(c.line) + "\n"));
    if (c.refusedBy != nullptr) {
      EXPECT_EQ(shader, nullptr);
      EXPECT_EQ(Errors().rfind(Reported(27, c.refusedBy), 0), 0u) << Errors();
      continue;
    }
    ASSERT_NE(shader, nullptr) << Errors();
    auto* line = dynamic_cast<CShaderRenderTargetLine*>(shader->GetPass(0)->GetLine(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetSlot(), c.slot);
    EXPECT_EQ(line->GetShape(), c.shape);
    std::vector<UINT> values;
    if (auto* get = dynamic_cast<CShaderProgramGetRenderTarget*>(line))
      values = {get->GetPurpose()};
    if (auto* set = dynamic_cast<CShaderProgramSetRenderTarget*>(line))
      values = {set->GetValue(0), set->GetValue(1), set->GetValue(2)};
    if (auto* texture = dynamic_cast<CShaderProgramSetRenderTargetAsTexture*>(line))
      values = {UINT(texture->GetStage())};
    EXPECT_EQ(values, c.values);
    EXPECT_NE(Infos().find(std::string(" Line: ") + c.line + "\n"), std::string::npos);
  }
}

TEST_F(ShaderRenderTargetCommandsTest, TargetsComeFromThePoolOfTheirShapeAndPurpose) {
  UseRealBank();
  CMesh* mesh = AddMesh("mirror");
  MeshShader(mesh, Pass("DRAW", "GETRENDERTARGET 0 SQUARE SHADOW\nGETRENDERTARGET 1 SQUARE REFLECTION\n"
                                "GETRENDERTARGET 2 CUBE SHADOW\nGETRENDERTARGET 3 CUBE REFLECTION\n"));
  mesh->Render("DRAW");
  EXPECT_EQ(mesh->GetRenderTarget(0), Plain(CRenderTargetBank::kFloatPlainPool));
  EXPECT_EQ(mesh->GetRenderTarget(1), Plain(CRenderTargetBank::kPlainPool));
  EXPECT_EQ(mesh->GetCubeRenderTarget(2), Cube(CRenderTargetBank::kFloatCubePool));
  EXPECT_EQ(mesh->GetCubeRenderTarget(3), Cube(CRenderTargetBank::kCubePool));
  for (CRenderTargetInterface* taken :
       {mesh->GetRenderTarget(0), mesh->GetRenderTarget(1), mesh->GetCubeRenderTarget(2),
        mesh->GetCubeRenderTarget(3)})
    EXPECT_NE(taken, nullptr);
  EXPECT_EQ(Errors(), "");
}

TEST_F(ShaderRenderTargetCommandsTest, EveryPointLightGetsItsCubeAndDrawsIntoAFaceOfIt) {
  UseRealBank();
  CLight* lamps[2] = {AddLight("lamp", LIGHT_POINT), AddLight("bulb", LIGHT_POINT)};
  CLight* sun = AddLight("sun", LIGHT_DISTANT);
  SceneShader(Pass("TAKE ONLYCALLABLE", "FOREACH POINTLIGHT\nGETRENDERTARGET 1 CUBE REFLECTION\n"
                                        "ENDFOR\n") +
              Pass("FACE ONLYCALLABLE", "FOREACH POINTLIGHT\nENDFOR\n"
                                        "SETRENDERTARGET 1 CUBE NEGATIVEY 0 FALSE\n"
                                        "SETCAMERA CURRENT_LIGHT_CUBE_NEGATIVE_Y\n") +
              Pass("SQUARE ONLYCALLABLE", "FOREACH POINTLIGHT\nENDFOR\n"
                                          "GETRENDERTARGET 0 SQUARE REFLECTION\n"
                                          "SETRENDERTARGET 0 SQUARE 0 FALSE\n"
                                          "SETCAMERA CURRENT_LIGHT\n") +
              Pass("BACK ONLYCALLABLE", "FOREACH POINTLIGHT\nENDFOR\nSETRENDERTARGET DEFAULT\n"
                                        "SETCAMERA CURRENT_LIGHT\n"));
  RunPass("TAKE");
  CCubeRenderTarget* cube = Cube(CRenderTargetBank::kCubePool);
  for (CLight* lamp : lamps) EXPECT_EQ(lamp->GetCubeRenderTarget(1), cube);
  EXPECT_EQ(sun->GetCubeRenderTarget(1), nullptr);

  targets->Renderer()->BeginRendering();
  RunPass("FACE");  // the loop leaves the bulb current
  EXPECT_EQ(Bank().GetCurrentRenderTarget(), cube);
  EXPECT_EQ(cube->GetFace(), D3DCUBEMAP_FACE_NEGATIVE_Y);
  EXPECT_EQ(cube->GetLockCount(), 1u);
  auto* camera = dynamic_cast<CCamera*>(lamps[1]->GetCamera());
  ASSERT_NE(camera, nullptr);
  // The camera renders to the cube's face.
  EXPECT_EQ(camera->GetXScreenCoordinate(), 64.0f);
  EXPECT_EQ(camera->GetYScreenCoordinate(), 64.0f);

  RunPass("SQUARE");
  EXPECT_EQ(Bank().GetCurrentRenderTarget(), Plain(CRenderTargetBank::kPlainPool));
  EXPECT_EQ(camera->GetXScreenCoordinate(), 128.0f);

  RunPass("BACK");  // back to the cube
  RunPass("BACK");  // and to the back buffer, whose size the camera takes
  EXPECT_EQ(Bank().GetCurrentRenderTarget(), static_cast<CRenderTargetInterface*>(Bank().GetBackBuffer()));
  EXPECT_EQ(cube->GetLockCount(), 0u);
  EXPECT_EQ(camera->GetXScreenCoordinate(), float(CD3DTestDevice::kWidth));
  EXPECT_EQ(camera->GetYScreenCoordinate(), float(CD3DTestDevice::kHeight));
  targets->Renderer()->EndRendering();
}

TEST_F(ShaderRenderTargetCommandsTest, ATargetBindsAsATextureOnItsStage) {
  UseRealBank();
  CMesh* mesh = AddMesh("mirror");
  MeshShader(mesh, Pass("DRAW", "GETRENDERTARGET 2 SQUARE REFLECTION\nSETRENDERTARGETASTEXTURE 2 SQUARE 3\n"));
  targets->bench.ForgetCalls();
  mesh->Render("DRAW");
  const Texts calls = RendererTestBench::Calls({"SetTexture"});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].rfind("SetTexture(3, ", 0), 0u) << calls[0];
  EXPECT_EQ(calls[0].find("SetTexture(3, 0)"), std::string::npos) << calls[0];
}

TEST_F(ShaderRenderTargetCommandsTest, ReleasingUnlocksALockedTargetAndEmptySlotsDoNothing) {
  UseRealBank();
  CMesh* mesh = AddMesh("mirror");
  MeshShader(mesh, Pass("TAKE", "GETRENDERTARGET 0 SQUARE REFLECTION\n") +
                       Pass("GIVE", "RELEASERENDERTARGET 0 SQUARE\n") +
                       Pass("EMPTY", "RELEASERENDERTARGET 1 CUBE\nSETRENDERTARGET 1 CUBE POSITIVEX 0 "
                                     "FALSE\nSETRENDERTARGETASTEXTURE 1 CUBE 0\n"
                                     "SETRENDERTARGET 1 PHYSICAL 7\n"));
  mesh->Render("TAKE");
  CTextureRenderTarget* target = Plain(CRenderTargetBank::kPlainPool);
  target->Lock();
  target->Lock();
  mesh->Render("GIVE");
  EXPECT_EQ(target->GetLockCount(), 0u);
  EXPECT_EQ(mesh->GetRenderTarget(0), nullptr);
  EXPECT_EQ(Errors(), "WARNING!!! - ShaderLib: Releasing Render Target Which Is Already Locked\n");

  log.entries.clear();
  mesh->Render("EMPTY");
  EXPECT_EQ(Errors(),
            "WARNING! - CShaderProgramReleaseRenderTarget::Execute, Render Target Slot 1 Is Empty\n"
            "WARNING! - CShaderProgramSetRenderTarget::Execute, Render Target Slot 1 Is Empty\n"
            "WARNING! - CShaderProgramSetRenderTargetAsTexture::Execute, Render Target Slot 1 Is "
            "Empty\n"
            "ERROR!!! - Can't Get Physical Render Target No: 7\n");
  EXPECT_EQ(Bank().GetCurrentRenderTarget(), static_cast<CRenderTargetInterface*>(Bank().GetBackBuffer()));
}

TEST_F(ShaderRenderTargetCommandsTest, WithoutACurrentLightOnlyDefaultRuns) {
  RecordingRenderTargetStorage storage;
  renderer.renderTargetStorage = &storage;
  SceneShader(Pass("P", "SETRENDERTARGET DEFAULT\n") +
              Pass("GET ONLYCALLABLE", "GETRENDERTARGET 0 SQUARE SHADOW\n"));
  RunScene();
  EXPECT_EQ(storage.restores, 1);
  EXPECT_EQ(Errors(), "");

  // A command that needs the light's slots fails its line.
  CShaderLine* get = scene->GetShader()->FindPass("GET")->GetLine(0);
  EXPECT_EQ(get->Execute(), 0u);
  EXPECT_EQ(Errors(), Reported(256, "CShaderProgramGetRenderTarget::Execute"));

  // A light with no target to give fails it too.
  log.entries.clear();
  scene->SetCurrentLight(AddLight("lamp", LIGHT_POINT));
  EXPECT_EQ(get->Execute(), 0u);
  EXPECT_EQ(Errors(),
            "WARNING! - CShaderProgramGetRenderTarget::Execute, Received Render Target Is Null\n");
}

TEST_F(ShaderRenderTargetCommandsTest, AReleasedSceneGivesItsTargetsBackToTheBank) {
  UseRealBank();
  AddLight("lamp", LIGHT_POINT);
  CMesh* mesh = AddMesh("mirror");
  SceneShader(Pass("P", "FOREACH POINTLIGHT\nGETRENDERTARGET 0 CUBE SHADOW\n"
                        "SETCAMERA CURRENT_LIGHT_CUBE_POSITIVE_X\nENDFOR\n"));
  MeshShader(mesh, Pass("DRAW", "GETRENDERTARGET 0 SQUARE SHADOW\n"));
  RunScene();
  mesh->Render("DRAW");
  CTextureRenderTarget* square = Plain(CRenderTargetBank::kFloatPlainPool);
  CCubeRenderTarget* cube = Cube(CRenderTargetBank::kFloatCubePool);
  ASSERT_EQ(mesh->GetRenderTarget(0), square);
  // Locks that nothing will undo, as a pass that activated without going back leaves them.
  square->Lock();
  cube->Lock();
  cube->Lock();
  log.entries.clear();
  ReleaseScene();
  EXPECT_EQ(square->GetLockCount(), 0u);
  EXPECT_EQ(cube->GetLockCount(), 0u);
  EXPECT_NE(Infos().find("- (CCamera) Releasing\n"), std::string::npos);
  // Both can be taken again.
  CTextureRenderTarget* again = nullptr;
  EXPECT_EQ(Bank().GetFloatPlainRenderTarget(&again, 0x10000), 1u);
  EXPECT_EQ(again, square);
  EXPECT_EQ(Errors(), "");
}

}  // namespace
