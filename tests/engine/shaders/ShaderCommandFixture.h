#pragma once
// What the suites of the command lines share: the engine's own keyword table over a recording
// renderer, a scene with a mesh whose shader holds the variables the commands name, and
// commands made from a statement on that pass, as the pass compiler makes them.
#include <memory>
#include <string>
#include <vector>

#include "FakeLightSpatial.h"
#include "ShaderFixture.h"
#include "TestScene.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "shaders/ShaderCommand.h"

class ShaderCommandFixture : public ShaderFixture {
 protected:
  // One variable of each kind the commands take. The values sources would give are the test's
  // to store (the declarations are compiled, never run).
  static constexpr char kDeclarations[] =
      "DWORD D = <5>\n"
      "DWORD DEFAULT = <7>\n"
      "FLOAT F = <0.5>\n"
      "VECTOR V = <1, 2, 3, 4>\n"
      "MATRIX M = MESH.MTXIDLOOKUP\n"
      "MATRIX R = CAMERA.MTXPROJECTION\n"
      "TEXTURE T = SYSTEM.TSHADOWMASK\n"
      "TEXTURE Q = LIGHT.TSQUARERENDERTEXTURE1\n"
      "TEXTURE C = MESH.TCUBERENDERTEXTURE2\n"
      "MATERIAL MAT = SURFACE.MATERIAL\n"
      "TABLE L = CAMERA.VISIBLELIGHTS\n"
      "DECLARATION X = <0, 0, FLOAT3, DEFAULT, POSITION, 0>\n";

  ShaderCommandFixture() {
    lines = CShaderLineTable();
    context->ports.lightSpatial.Set(&spatial);
    mesh = new CMesh(&renderer, &log, scene, 0);
    scene->AppendWorldObject(mesh);
  }
  ~ShaderCommandFixture() override { scene->Release(); }

  // Compiles `body` as the one pass of a shader of `target`; null when it does not compile.
  CShaderPass* CompilePass(const std::string& body, void* target = nullptr,
                           UINT kind = SHADER_TARGET_MESH) {
    Library();  // a fresh library: it would hand out the shader it compiled from the same file
    variables = nullptr;
    log.entries.clear();
    folder.Write("test.ssh", Technique(Pass("MAIN", body)));
    CShader* shader = library->CreateShader("test.ssh", target != nullptr ? target : mesh, kind,
                                            nullptr, 0);
    return shader != nullptr ? shader->GetPass(0) : nullptr;
  }
  // The pass of the fixture's variables, compiled once.
  CShaderPass* Variables() {
    if (variables == nullptr) {
      variables = CompilePass(kDeclarations);
      EXPECT_NE(variables, nullptr) << Errors();
      log.entries.clear();  // the compile trace of the declarations
    }
    return variables;
  }
  // A command of class `Command` made from `statement` on the variables' pass, on a cleared log;
  // *compiled is the success flag it set.
  template <class Command>
  std::unique_ptr<Command> Make(const std::string& statement, UINT* compiled) {
    std::string text = statement + "\n";
    CShaderPass* pass = Variables();
    log.entries.clear();  // what the command logs is all the log holds
    *compiled = 1;
    const ShaderLineArguments arguments = {pass, &renderer, &log, nullptr, text.data(), 0, compiled};
    return std::make_unique<Command>(arguments);
  }
  // The same, expected to compile.
  template <class Command>
  std::unique_ptr<Command> Compiled(const std::string& statement) {
    UINT compiled = 0;
    auto command = Make<Command>(statement, &compiled);
    EXPECT_EQ(compiled, 1u) << statement << Errors();
    return command;
  }
  // Makes `statement` and checks that it compiles as `compiles` says, a refusal reported as
  // error 27 by `sender` and nothing else; the command, or null when it did not compile.
  template <class Command>
  std::unique_ptr<Command> Expect(const char* statement, bool compiles, const char* sender) {
    UINT compiled = 0;
    auto command = Make<Command>(statement, &compiled);
    EXPECT_EQ(compiled, compiles ? 1u : 0u) << statement;
    EXPECT_EQ(Errors(), compiles ? std::string() : Reported(27, sender)) << statement;
    if (compiled == 0) command.reset();
    return command;
  }
  // The variable's record, for a test to store the value a source would.
  ShaderVariableValue& Value(const char* name) {
    return *Variables()->FindVariable(name)->GetValue();
  }

  CLight* AddLight(WORD type) { return scene->AddTypedLight(type); }
  CCamera* AddCamera() { return scene->AddActiveCamera(); }

  FakeLightSpatial spatial;
  TestScene* scene = new TestScene(&renderer, &log);
  CMesh* mesh = nullptr;
  CShaderPass* variables = nullptr;
};
