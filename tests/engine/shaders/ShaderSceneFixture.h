#pragma once
// Suites of the shading language's commands that run passes on a scene: a scene of the scene
// graph with meshes, surfaces and lights, shaders compiled with the engine's flow, camera and
// render-target commands, and recording lines that show what a pass sees and draws ("RENDER
// tag" notes the current objects, "RENDEROUTLINE pass" draws every mesh no CALL is running,
// "SETLIGHTENABLE" raises the alpha reference).
#include <string>
#include <vector>

#include "FakeMeshVertexBuffer.h"
#include "PassesTestScene.h"
#include "ShaderFixture.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"
#include "shaders/ShaderProgramCall.h"
#include "shaders/ShaderProgramEndFor.h"
#include "shaders/ShaderProgramEndIf.h"
#include "shaders/ShaderProgramForEach.h"
#include "shaders/ShaderProgramGetRenderTarget.h"
#include "shaders/ShaderProgramIf.h"
#include "shaders/ShaderProgramReleaseRenderTarget.h"
#include "shaders/ShaderProgramSetCamera.h"
#include "shaders/ShaderProgramSetRenderTarget.h"
#include "shaders/ShaderProgramSetRenderTargetAsTexture.h"
#include "shaders/ShaderProgramSubRoutine.h"

using Texts = std::vector<std::string>;

inline std::string NameOf(CWorldObject* object) {
  return object != nullptr ? object->GetWorldObjectName() : "-";
}

// "RENDER tag": records the tag with the objects the line sees: the scene's current light, the
// mesh the shader runs for (a scene shader's current mesh) and that mesh's current surface.
class CurrentObjectsLine final : public RecordingShaderCommand {
 public:
  explicit CurrentObjectsLine(const ShaderLineArguments& arguments)
      : RecordingShaderCommand(arguments, 1), tag(Word(arguments.pPass, 1)) {}
  UINT Execute() override {
    // A loop that never ends fails its line instead of hanging the suite.
    if (Runs().size() >= 1000) return 0;
    CShader* shader = pass->GetShader();
    CScene* scene = shader->GetTargetScene();  // none for a pass run without a target
    CWorldObject* mesh = shader->GetTargetKind() != SHADER_TARGET_SCENE
                             ? static_cast<CWorldObject*>(shader->GetTargetMesh())
                             : scene != nullptr ? scene->GetCurrentMesh() : nullptr;
    CWorldObject* light = scene != nullptr ? scene->GetCurrentLight() : nullptr;
    CSurfaceInterface* surface =
        mesh != nullptr ? static_cast<CMesh*>(mesh)->GetCurrentSurface() : nullptr;
    Runs().push_back(tag + " " + NameOf(light) + " " + NameOf(mesh) + " " +
                     (surface != nullptr ? surface->GetName() : "-"));
    return 1;
  }
  std::string tag;
};

// "RENDEROUTLINE pass": draws that pass of every mesh of the scene that no CALL is running
// already, as the built-in passes' mesh walks do.
class MeshWalkLine final : public RecordingShaderCommand {
 public:
  explicit MeshWalkLine(const ShaderLineArguments& arguments)
      : RecordingShaderCommand(arguments, 25), passName(Word(arguments.pPass, 1)) {}
  UINT Execute() override {
    CShader* shader = pass->GetShader();
    CScene* scene = shader->GetTargetScene();
    for (UINT i = 0; i < scene->GetNumberOfMeshes(); ++i) {
      auto* mesh = static_cast<CMesh*>(scene->GetMeshObject(i));
      if (shader->GetLibrary()->IsNestedMesh(mesh) == 0) mesh->Render(passName.c_str());
    }
    return 1;
  }
  std::string passName;
};

// "SETLIGHTENABLE": raises the renderer's alpha reference by one and records the new value.
class AlphaRaiseLine final : public RecordingShaderCommand {
 public:
  explicit AlphaRaiseLine(const ShaderLineArguments& arguments)
      : RecordingShaderCommand(arguments, 8) {}
  UINT Execute() override {
    CEngineRenderer* renderer = pass->GetRenderer();
    const DWORD raised = renderer->GetRenderState(D3DRS_ALPHAREF) + 1;
    renderer->SetRenderState(D3DRS_ALPHAREF, raised);
    Runs().push_back("RAISE " + std::to_string(raised));
    return 1;
  }
};

template <class Line>
CShaderLine* MakeLine(const ShaderLineArguments& arguments) {
  return new Line(arguments);
}

class ShaderSceneFixture : public ShaderFixture {
 protected:
  ShaderSceneFixture() {
    lines.SetFactory("IF", MakeShaderProgramIf);
    lines.SetFactory("ENDIF", MakeShaderProgramEndIf);
    lines.SetFactory("FOREACH", MakeShaderProgramForEach);
    lines.SetFactory("ENDFOR", MakeShaderProgramEndFor);
    lines.SetFactory("CALL", MakeShaderProgramCall);
    lines.SetFactory("SUBROUTINE", MakeShaderProgramSubRoutine);
    lines.SetFactory("SETCAMERA", MakeShaderProgramSetCamera);
    lines.SetFactory("GETRENDERTARGET", MakeShaderProgramGetRenderTarget);
    lines.SetFactory("RELEASERENDERTARGET", MakeShaderProgramReleaseRenderTarget);
    lines.SetFactory("SETRENDERTARGET", MakeShaderProgramSetRenderTarget);
    lines.SetFactory("SETRENDERTARGETASTEXTURE", MakeShaderProgramSetRenderTargetAsTexture);
    lines.SetFactory("RENDER", MakeLine<CurrentObjectsLine>);
    lines.SetFactory("RENDEROUTLINE", MakeLine<MeshWalkLine>);
    lines.SetFactory("SETLIGHTENABLE", MakeLine<AlphaRaiseLine>);
    context->ports.surfaceFactory.Set(&surfaces);
    renderer.vertexBufferStorage = &buffers;
    context->pConfig = &config;
    config.wWidth = 640;
    config.wHeight = 480;
    Reset();
  }
  // A library with an empty bank, serving the scene graph's hooks.
  void Reset() {
    Library();
    context->ports.meshShaders.Set(library.get());
    context->ports.surfaceShaders.Set(library.get());
    context->ports.sceneShaders.Set(library.get());
    log.entries.clear();
    RecordingShaderCommand::Runs().clear();
  }
  ~ShaderSceneFixture() override {
    if (scene != nullptr) scene->Release();
  }

  CMesh* AddMesh(const char* name, UINT surfaceCount = 0) {
    auto* mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    for (UINT i = 0; i < surfaceCount; ++i)
      mesh->CreateSurface()->SetName((std::string(name) + "." + std::to_string(i + 1)).c_str());
    return mesh;
  }
  CLight* AddLight(const char* name, WORD type) {
    auto* light = new CLight(&renderer, &log, scene);
    light->SetName(name);
    light->SetStoredType(type);
    scene->AppendWorldObject(light);
    return light;
  }
  // Gives the scene the shader file `file` holding `passes`.
  void SceneShader(const std::string& passes, const std::string& file = "scene.ssh") {
    folder.Write(file, "# TYPE SCENE\n" + Technique(passes));
    ASSERT_EQ(scene->CreateShader(file.c_str(), nullptr, 0, 1), 1u) << Errors();
  }
  // Gives the mesh the shader file `file` holding `passes` (compiled once, shared after).
  void MeshShader(CMesh* mesh, const std::string& passes, const char* file = "mesh.ssh") {
    folder.Write(file, Technique(passes));
    ASSERT_EQ(mesh->CreateShader(file, nullptr, 0, 1), 1u) << Errors();
  }
  // Runs the scene shader's passes.
  void RunScene() { scene->GetShader()->ExecuteScenePasses(scene, 0.0f); }
  static Texts Runs() { return RecordingShaderCommand::Runs(); }

  ZeKorbConfig config = {};
  FakeVertexBufferStorage buffers;
  PassesTestScene* scene = new PassesTestScene(&renderer, &log);
  CSurfaceFactory surfaces;
};
