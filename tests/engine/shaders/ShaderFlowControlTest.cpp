// Conditions, loops and calls of shader passes: IF on whole numbers and floats, FOREACH over a
// scene's lights, meshes and a mesh's surfaces, CALL of scene, mesh and built-in passes, and the
// blocks the compiler refuses.
#include <functional>
#include <limits>

#include "ProcessExitCatcher.h"
#include "RendererTestBench.h"
#include "ShaderSceneFixture.h"
#include "scene/Camera.h"
#include "shaders/PerPixelPass.h"

namespace {

using ShaderFlowControlTest = ShaderSceneFixture;

TEST_F(ShaderFlowControlTest, ConditionsCompareWholeNumbersAndFloatsAsWritten) {
  struct Case {
    const char* declaration;
    const char* condition;
    bool holds;
  };
  const Case cases[] = {
      {"DWORD X = <1>", "IF X == TRUE", true},     {"DWORD X = <2>", "IF X == TRUE", false},
      {"DWORD X = <0>", "IF X == FALSE", true},    {"DWORD X = <2>", "IF X != FALSE", true},
      {"DWORD X = <1>", "if x != true", false},    {"FLOAT F = <0.0>", "IF F != 0", false},
      {"FLOAT F = <0.5>", "IF F != 0", true},      {"FLOAT F = <1.5>", "IF F == 1.5", true},
      {"FLOAT F = <1>", "IF F == 1.5", false},     {"FLOAT F = <-2>", "IF F == -2", true},
      {"FLOAT F = <2>", "IF F == -2", false},      {"FLOAT F = <250>", "IF F == 2.5E2", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.declaration) + " / " + c.condition);
    Reset();
    CShader* shader = CompileTechnique(Pass("P", std::string(c.declaration) + "\n" + c.condition +
                                                      "\nRENDER INSIDE\nENDIF\nRENDER AFTER\n"));
    ASSERT_NE(shader, nullptr) << Errors();
    RecordingShaderCommand::Runs().clear();
    ASSERT_EQ(shader->GetPass(0)->Execute(), 1u);
    const std::string seen = " - - -";
    const Texts expected =
        c.holds ? Texts{"INSIDE" + seen, "AFTER" + seen} : Texts{"AFTER" + seen};
    EXPECT_EQ(Runs(), expected);
    EXPECT_TRUE(Errors().empty()) << Errors();
  }
}

TEST_F(ShaderFlowControlTest, AnUnorderedFloatIsUnequalToEveryValue) {
  CShader* shader = CompileTechnique(
      Pass("P", "FLOAT F = <0>\nIF F == 0\nENDIF\nIF F != 0\nRENDER X\nENDIF\n"));
  ASSERT_NE(shader, nullptr) << Errors();
  CShaderPass* pass = shader->GetPass(0);
  ShaderVariableValue nan = *pass->FindVariable("F")->GetValue();
  nan.scalar.fValue = std::numeric_limits<float>::quiet_NaN();
  pass->FindVariable("F")->SetValue(nan);
  auto* equal = dynamic_cast<CShaderProgramIf*>(pass->GetLine(1));
  auto* unequal = dynamic_cast<CShaderProgramIf*>(pass->GetLine(3));
  ASSERT_TRUE(equal && unequal);
  ASSERT_EQ(equal->Execute(), 1u);
  EXPECT_EQ(equal->GetSkip(), 1);  // past its ENDIF
  ASSERT_EQ(unequal->Execute(), 1u);
  EXPECT_EQ(unequal->GetSkip(), 0);
}

TEST_F(ShaderFlowControlTest, BlocksCompileLinkedAndLogTheirLines) {
  CShader* shader = CompileTechnique(
      Pass("P", "DWORD X = <1>\nFOREACH MESHES\nIF X == TRUE\nENDIF\n; note\nENDFOR\n"
                "SUBROUTINE HELPER\nCALL SCENE.AMBIENTPASS\n"),
      SHADER_TARGET_MESH);
  ASSERT_NE(shader, nullptr) << Errors();
  CShaderPass* pass = shader->GetPass(0);
  ASSERT_EQ(pass->GetNumberOfLines(), 7u);
  auto* loop = dynamic_cast<CShaderProgramForEach*>(pass->GetLine(1));
  auto* condition = dynamic_cast<CShaderProgramIf*>(pass->GetLine(2));
  auto* endFor = dynamic_cast<CShaderProgramEndFor*>(pass->GetLine(4));
  auto* routine = dynamic_cast<CShaderProgramSubRoutine*>(pass->GetLine(5));
  auto* call = dynamic_cast<CShaderProgramCall*>(pass->GetLine(6));
  ASSERT_TRUE(loop && condition && endFor && routine && call);
  EXPECT_EQ(loop->GetObjectKind(), CShaderProgramForEach::kMesh);
  EXPECT_TRUE(loop->IsBlockClosed());
  EXPECT_TRUE(condition->IsBlockClosed());
  EXPECT_EQ(condition->GetComparisonKind(), CShaderProgramIf::kCompareWhole);
  EXPECT_EQ(condition->GetWholeValue(), 1u);
  EXPECT_EQ(endFor->GetSkip(), 1 - 4 - 1);  // lands on the FOREACH again
  EXPECT_STREQ(routine->GetRoutineName(), "HELPER");
  EXPECT_EQ(call->GetCallKind(), CShaderProgramCall::kCallScene);
  EXPECT_STREQ(call->GetPassName(), "AMBIENTPASS");
  EXPECT_EQ(routine->Execute(), 0u);  // reaching it fails the pass
  for (const char* line :
       {"    - Compile ForEach Line: FOREACH MESHES\n", "    - Compile If Line: IF X == TRUE\n",
        "    - Compile EndIf Line: ENDIF\n", "    - Compile EndFor Line: ENDFOR\n",
        "    - Compile SubRoutine Line: SUBROUTINE HELPER\n",
        "    - Compile Call Line: CALL SCENE.AMBIENTPASS\n"})
    EXPECT_NE(Infos().find(line), std::string::npos) << line;
}

TEST_F(ShaderFlowControlTest, MalformedLinesAndBrokenBlocksFailTheirPass) {
  struct Case {
    const char* body;
    UINT targetKind;
    UINT error;
    const char* sender;
  };
  const char* kIf = "CShaderProgramIf::CShaderProgramIf";
  const char* kForEach = "CShaderProgramForEach::CShaderProgramForEach";
  const char* kCall = "CShaderProgramCall::CShaderProgramCall";
  const Case cases[] = {
      {"IF\nENDIF\n", SHADER_TARGET_MESH, 27, kIf},
      {"IF Y == TRUE\nENDIF\n", SHADER_TARGET_MESH, 27, kIf},
      {"DWORD X = <1>\nIF X = TRUE\nENDIF\n", SHADER_TARGET_MESH, 27, kIf},
      {"DWORD X = <1>\nIF X <> TRUE\nENDIF\n", SHADER_TARGET_MESH, 27, kIf},
      {"DWORD X = <1>\nIF X ==\nENDIF\n", SHADER_TARGET_MESH, 27, kIf},
      {"FLOAT F = <1>\nIF F == ONE\nENDIF\n", SHADER_TARGET_MESH, 27, kIf},
      {"FLOAT F = <1>\nIF F == TRUE\nENDIF\n", SHADER_TARGET_MESH, 15, kIf},
      {"DWORD X = <1>\nIF X == 1\nENDIF\n", SHADER_TARGET_MESH, 15, kIf},
      {"FOREACH\nENDFOR\n", SHADER_TARGET_SCENE, 27, kForEach},
      {"FOREACH CAMERA\nENDFOR\n", SHADER_TARGET_SCENE, 27, kForEach},
      {"CALL SCENE AMBIENTPASS\n", SHADER_TARGET_MESH, 25, kCall},
      {"CALL CAMERA.AMBIENTPASS\n", SHADER_TARGET_MESH, 25, kCall},
      {"CALL SCENES.AMBIENTPASS\n", SHADER_TARGET_MESH, 25, kCall},
      {"CALL SCENE.\n", SHADER_TARGET_MESH, 26, kCall},
      {"CALL MESH.DRAW\n", SHADER_TARGET_SCENE, 25, kCall},
      {"CALL SURFACE.DRAW\n", SHADER_TARGET_MESH, 25, kCall},
      {"SUBROUTINE\n", SHADER_TARGET_MESH, 26, kCall},
      {"ENDFOR\nFOREACH LIGHT\n", SHADER_TARGET_SCENE, 256, "CShaderPass"},
      {"ENDIF\n", SHADER_TARGET_SCENE, 256, "CShaderPass"},
      {"FOREACH LIGHT\nRENDER A\n", SHADER_TARGET_SCENE, 256, "CShaderPass"},
      {"DWORD X = <1>\nIF X == TRUE\n", SHADER_TARGET_SCENE, 256, "CShaderPass"},
      {"DWORD X = <1>\nFOREACH LIGHT\nIF X == TRUE\nENDFOR\nENDIF\n", SHADER_TARGET_SCENE, 256,
       "CShaderPass"},
      {"DWORD X = <1>\nIF X == TRUE\nFOREACH LIGHT\nENDIF\nENDFOR\n", SHADER_TARGET_SCENE, 256,
       "CShaderPass"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    Reset();
    EXPECT_EQ(CompileTechnique(Pass("P", c.body), c.targetKind), nullptr);
    const std::string errors = Errors();
    EXPECT_EQ(errors.rfind(Reported(c.error, c.sender), 0), 0u) << errors;
    EXPECT_NE(errors.find(Reported(5, "CShader")), std::string::npos) << errors;
  }
}

TEST_F(ShaderFlowControlTest, NestedLoopsVisitEveryPairAndLeaveTheLastCurrent) {
  AddLight("sun", LIGHT_DISTANT);
  AddLight("lamp", LIGHT_POINT);
  AddMesh("box");
  AddMesh("ball");
  SceneShader(Pass("P", "FOREACH LIGHT\nFOREACH MESH\nRENDER PAIR\nENDFOR\nENDFOR\nRENDER END\n"));
  RunScene();
  EXPECT_EQ(Runs(), (Texts{"PAIR sun box -", "PAIR sun ball -", "PAIR lamp box -",
                           "PAIR lamp ball -", "END lamp ball -"}));
  // The loops start afresh on the next run.
  RecordingShaderCommand::Runs().clear();
  RunScene();
  EXPECT_EQ(Runs().size(), 5u);
}

TEST_F(ShaderFlowControlTest, TypedLoopsVisitOnlyTheirKind) {
  AddLight("sun", LIGHT_DISTANT);
  AddLight("lamp", LIGHT_POINT);
  AddLight("moon", LIGHT_DISTANT);
  AddLight("bulb", LIGHT_POINT);
  AddMesh("opaque");
  AddMesh("glass")->SetSurfaceState(1);
  AddMesh("stone");
  AddMesh("window")->SetSurfaceState(2);
  struct Case {
    const char* kind;
    Texts runs;
  };
  const Case cases[] = {
      {"POINTLIGHT", {"X lamp - -", "X bulb - -", "END bulb - -"}},
      {"DISTANTLIGHTS", {"X sun - -", "X moon - -", "END moon - -"}},
      // No spot light: the body never runs and the current light stays unset.
      {"SPOTLIGHT", {"END - - -"}},
      {"TRANSPARENTMESH", {"X - glass -", "X - window -", "END - window -"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    SceneShader(Pass("P", std::string("FOREACH ") + c.kind + "\nRENDER X\nENDFOR\nRENDER END\n"),
                std::string(c.kind) + ".ssh");
    RecordingShaderCommand::Runs().clear();
    RunScene();
    EXPECT_EQ(Runs(), c.runs);
  }
}

TEST_F(ShaderFlowControlTest, SurfaceLoopsWalkTheMeshsSurfaces) {
  CMesh* crate = AddMesh("crate", 3);
  CMesh* bare = AddMesh("bare");
  const std::string pass = Pass("DRAW", "FOREACH SURFACE\nRENDER S\nENDFOR\nRENDER END\n");
  MeshShader(crate, pass);
  MeshShader(bare, pass);
  crate->Render("DRAW");
  bare->Render("DRAW");
  EXPECT_EQ(Runs(), (Texts{"S - crate crate.1", "S - crate crate.2", "S - crate crate.3",
                           "END - crate crate.3", "END - bare -"}));
}

TEST_F(ShaderFlowControlTest, LoopsOverTheWrongOwnerEndTheProcess) {
  CMesh* mesh = AddMesh("crate", 1);
  MeshShader(mesh, Pass("DRAW", "FOREACH MESH\nENDFOR\n"));
  SceneShader(Pass("P", "FOREACH SURFACE\nENDFOR\n"));
  ProcessExitCatcher exits;
  for (const auto& run : std::vector<std::function<void()>>{[&] { mesh->Render("DRAW"); },
                                                            [&] { RunScene(); }}) {
    try {
      run();
      ADD_FAILURE() << "the loop did not end the process";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
  }
  ASSERT_EQ(exits.Boxes().size(), 2u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Executing Shader");
  EXPECT_EQ(exits.Boxes()[0].text, "ForEach MESH has to have a scene parent");
  EXPECT_EQ(exits.Boxes()[1].text, "ForEach SURFACE has to have a mesh parent");
}

TEST_F(ShaderFlowControlTest, SceneCallsRunTheirPassBetweenSavedStatesAndRestoreTheCurrentObjects) {
  AddLight("sun", LIGHT_DISTANT);
  AddLight("lamp", LIGHT_POINT);
  AddMesh("box");
  SceneShader(Pass("MAIN", "FOREACH LIGHT\nCALL SCENE.LIT\nCALL SCENE.NOSUCHPASS\nRENDER BACK\n"
                           "ENDFOR\n") +
              Pass("LIT ONLYCALLABLE", "RENDER CALLED\nFOREACH MESH\nENDFOR\nRENDER LIT\n"));
  RunScene();
  EXPECT_EQ(Runs(), (Texts{"CALLED - - -", "LIT - box -", "BACK sun - -", "CALLED - - -",
                           "LIT - box -", "BACK lamp - -"}));
  EXPECT_EQ(renderer.saves, 2);  // the unknown name saves nothing
  EXPECT_EQ(renderer.loads, 2);
}

TEST_F(ShaderFlowControlTest, MeshCallsPushTheMeshAndReachTheScenesPassOrBuiltInPass) {
  CMesh* crate = AddMesh("crate", 2);
  AddLight("sun", LIGHT_DISTANT);
  MeshShader(crate, Pass("DRAW", "FOREACH SURFACE\nCALL SCENE.AMBIENTPASS\nRENDER BACK\n"
                                 "ENDFOR\nCALL MESH.EXTRA\n") +
                        Pass("EXTRA", "RENDER EXTRA\n"));
  // Profile 0: the scene's shader; the walk there sees the crate as nested and skips it.
  SceneShader(Pass("AMBIENTPASS ONLYCALLABLE", "FOREACH LIGHT\nRENDER SCENE\nENDFOR\n"
                                                "RENDEROUTLINE DRAW\n"));
  crate->Render("DRAW");
  EXPECT_EQ(Runs(), (Texts{"SCENE sun - -", "BACK - crate crate.1", "SCENE sun - -",
                           "BACK - crate crate.2", "EXTRA - crate crate.2"}));
  EXPECT_EQ(renderer.saves, 3);
  EXPECT_EQ(renderer.loads, 3);
  EXPECT_EQ(library->IsNestedMesh(crate), 0u);
  EXPECT_EQ(scene->GetCurrentLight(), nullptr);  // the caller's, put back

  // Profile 10: the per-pixel object's ambient pass, with the device states saved around it.
  auto* camera = new CCamera(&renderer, &log, scene);
  scene->AppendWorldObject(camera);
  ASSERT_EQ(scene->SetActiveCamera(0), 1u);
  CPerPixelPass perPixel(&renderer, library.get(), &log);
  context->pPerPixelPass = &perPixel;
  scene->SetShadowMode(10);
  renderer.sequence.clear();
  renderer.saves = renderer.loads = 0;
  RecordingShaderCommand::Runs().clear();
  crate->Render("DRAW");
  EXPECT_EQ(Runs(), (Texts{"BACK - crate crate.1", "BACK - crate crate.2", "EXTRA - crate crate.2"}));
  EXPECT_EQ(renderer.saves, 3);
  EXPECT_EQ(renderer.loads, 3);
  const Texts ambient = {"state 14=0", "state 23=3"};  // no depth writes, depth EQUAL
  ASSERT_GE(renderer.sequence.size(), 2u);
  EXPECT_EQ(Texts(renderer.sequence.begin(), renderer.sequence.begin() + 2), ambient);
  EXPECT_EQ(library->IsNestedMesh(crate), 0u);

  // Profiles that draw no passes, and profile 0 without a scene shader, fail the line.
  ProcessExitCatcher exits;
  for (UINT profile : {3u, 0u}) {
    if (profile == 0) scene->ClearShader();
    scene->SetShadowMode(profile);
    try {
      crate->Render("DRAW");
      ADD_FAILURE() << "profile " << profile << " did not fail the CALL";
    } catch (const ProcessExited&) {
    }
    EXPECT_EQ(library->IsNestedMesh(crate), 0u);
  }
  EXPECT_EQ(exits.Boxes().back().text, "Can't Execute Shader Line: 36\n");
}

TEST_F(ShaderFlowControlTest, ACallThatDrawsMeshesSharingTheCallersShaderLeavesTheCallersLoopAlone) {
  CMesh* crate = AddMesh("crate", 2);
  CMesh* barrel = AddMesh("barrel", 3);
  const std::string pass =
      Pass("DRAW", "FOREACH SURFACE\nRENDER S\nCALL SCENE.OTHERS\nRENDER BACK\nENDFOR\n");
  MeshShader(crate, pass);
  MeshShader(barrel, pass);
  ASSERT_EQ(crate->GetShader(), barrel->GetShader());
  SceneShader(Pass("OTHERS ONLYCALLABLE", "RENDEROUTLINE DRAW\n"));
  crate->Render("DRAW");
  const Texts barrelRun = {"S - barrel barrel.1", "BACK - barrel barrel.1",
                           "S - barrel barrel.2", "BACK - barrel barrel.2",
                           "S - barrel barrel.3", "BACK - barrel barrel.3"};
  Texts expected = {"S - crate crate.1"};
  expected.insert(expected.end(), barrelRun.begin(), barrelRun.end());
  expected.push_back("BACK - crate crate.1");
  expected.push_back("S - crate crate.2");
  expected.insert(expected.end(), barrelRun.begin(), barrelRun.end());
  expected.push_back("BACK - crate crate.2");
  EXPECT_EQ(Runs(), expected);
  EXPECT_EQ(crate->GetShader()->GetTarget(), crate);
  EXPECT_EQ(scene->GetCurrentMesh(), static_cast<CWorldObject*>(crate));
}

TEST_F(ShaderFlowControlTest, SurfaceCallsReachTheirOwnTheMeshsAndTheScenesPasses) {
  CMesh* crate = AddMesh("crate", 1);
  MeshShader(crate, Pass("DRAW", "RENDER MESHDRAW\n") + Pass("TINT", "RENDER MESHTINT\n"));
  SceneShader(Pass("GLOW ONLYCALLABLE", "RENDER SCENEGLOW\n"));
  auto* surface = dynamic_cast<CSurface*>(crate->GetSurface(0));
  ASSERT_NE(surface, nullptr);
  folder.Write("surface.ssh",
               "# TYPE SURFACE\n" +
                   Technique(Pass("DRAW", "CALL MESH.TINT\nCALL SURFACE.OWN\nCALL SCENE.GLOW\n") +
                             Pass("OWN", "RENDER SURFACEOWN\n")));
  ASSERT_EQ(surface->CreateShader("surface.ssh", nullptr, 0, 1), 1u) << Errors();
  crate->GetShader()->SetTarget(nullptr);  // as when another mesh ran the shared shader last
  scene->SetCurrentMesh(crate);
  surface->Render("DRAW");
  // A scene pass starts without a current mesh.
  EXPECT_EQ(Runs(), (Texts{"MESHTINT - crate crate.1", "SURFACEOWN - crate crate.1",
                           "SCENEGLOW - - -"}));
  EXPECT_EQ(crate->GetShader()->GetTarget(), nullptr);  // put back as it was
}

TEST_F(ShaderFlowControlTest, ACallerThatIsNotTheCurrentMeshFailsTheLine) {
  CMesh* crate = AddMesh("crate");
  MeshShader(crate, Pass("DRAW", "CALL MESH.OTHER\n") + Pass("OTHER", "RENDER OTHER\n"));
  CShaderPass* pass = crate->GetShader()->GetPass(0);
  crate->GetShader()->SetTarget(crate);
  scene->SetCurrentMesh(nullptr);
  EXPECT_EQ(pass->GetLine(0)->Execute(), 0u);
  EXPECT_EQ(Errors(), Reported(256, "CShaderProgramCall::Execute"));
  EXPECT_TRUE(Runs().empty());
}

TEST_F(ShaderFlowControlTest, APassCallingItselfStopsWhenTheStatesRunOutAndTheCallerGetsItsStatesBack) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CShaderLibrary real(bench.renderer.get(), &log, ZK_SCHEME_GEFORCEFX, kEverySchemeBelowFX,
                      folder.Path().c_str(), lines);
  context->ports.sceneShaders.Set(&real);
  SceneShader(Pass("MAIN", "CALL SCENE.LOOP\n") +
              Pass("LOOP ONLYCALLABLE", "SETLIGHTENABLE\nCALL SCENE.LOOP\n"));
  bench.renderer->SetRenderState(D3DRS_ALPHAREF, 0);
  bench.ForgetCalls();
  RunScene();
  EXPECT_EQ(Runs(), (Texts{"RAISE 1", "RAISE 2", "RAISE 3", "RAISE 4"}));
  EXPECT_EQ(Errors(), "ERROR!!! - Can't Save States, Pass Not Called: LOOP\n");
  EXPECT_NE(bench.Errors().find("ERROR!!! - Not Enough Entries To Save RenderState State\n"),
            std::string::npos);
  EXPECT_EQ(bench.renderer->GetRenderState(D3DRS_ALPHAREF), 0u);
  const Texts calls = RendererTestBench::Calls({"SetRenderState"});
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "SetRenderState(24, 0)");
  // Every level was given back: the stacks take four saves again.
  for (int level = 0; level < 4; ++level) EXPECT_EQ(bench.renderer->SaveStates(), 1u);
  for (int level = 0; level < 4; ++level) bench.renderer->LoadStates();
}

}  // namespace
