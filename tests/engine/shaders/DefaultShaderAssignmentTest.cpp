// The library's default shaders applied to engine scenes and meshes: the profile a scene gets,
// the default file a mesh compiles, and the failure of a morphing mesh.
#include <gtest/gtest.h>

#include "FakeMeshBoundVolume.h"
#include "FakeMeshSpatial.h"
#include "FakeMeshVertexBuffer.h"
#include "FakeSceneFileReader.h"
#include "PassesTestScene.h"
#include "ShaderFixture.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "scene/Camera.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"
#include "shaders/PerPixelPass.h"
#include "startup/EngineScenePasses.h"
#include "startup/ZeKorbD3D.h"

namespace {

class DefaultShaderAssignmentTest : public ShaderFixture {
 protected:
  DefaultShaderAssignmentTest() {
    context->pSettings = &settings;
    context->pLog = &log;
    scene = new PassesTestScene(&renderer, &log);
    scene->SetName("room");
    mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName("box");
    scene->AppendWorldObject(mesh);
    Library();
    context->ports.meshShaders.Set(library.get());
    context->ports.surfaceShaders.Set(library.get());
    context->ports.sceneShaders.Set(library.get());
  }
  ~DefaultShaderAssignmentTest() override { scene->Release(); }

  CSettings settings;
  PassesTestScene* scene;
  CMesh* mesh;
};

TEST_F(DefaultShaderAssignmentTest, ASceneWithoutCastersGetsTheUnshadowedProfileOfItsModel) {
  settings.AddSetting("shadows")->SetInt(2);
  const UINT expected[][2] = {{1, 1}, {2, 10}, {3, 13}};
  for (const auto& [model, profile] : expected) {
    scene->SetLightingModel(model);
    EXPECT_EQ(library->ApplyDefaultShaderForScene(scene), 1u);
    EXPECT_EQ(scene->GetShadowMode(), profile) << model;
    EXPECT_STREQ(scene->GetShaderFileName(), "none");
  }
  scene->SetLightingModel(7);
  EXPECT_EQ(library->ApplyDefaultShaderForScene(scene), 0u);
  EXPECT_EQ(scene->GetShadowMode(), 13u);
  EXPECT_NE(Infos().find("- Applying Default Shader For Scene: room\n"), std::string::npos);
}

// A new surface of a shadow-volume scene compiles the untextured surface file; its material at
// zero reads as refracting (index not 1) and transparent (opacity below 1).
TEST_F(DefaultShaderAssignmentTest, ABareSurfaceCompilesItsModelsDefaultFile) {
  scene->SetLightingModel(2);
  folder.Write("ShadowVolume/NoNormalMap/surface_nouv.ssh",
               Technique(Pass("AMBIENTPASS", "#IFDEF TRANSPARENT\nSETRENDERSTATE\n#ENDIF\n")));
  CSurface* surface = new CSurface(&renderer, &log, mesh);
  surface->SetName("paint");
  EXPECT_EQ(library->ApplyDefaultShaderForSurface(surface), 1u) << Errors();
  EXPECT_NE(surface->GetShader(), nullptr);
  EXPECT_STREQ(surface->GetShaderFileName(), "ShadowVolume\\NoNormalMap\\surface_nouv.ssh");
  const std::vector<ShaderParameter>& parameters = surface->GetShaderParameters();
  std::vector<std::string> names;
  for (const ShaderParameter& parameter : parameters) {
    names.emplace_back(parameter.szParameterName);
    EXPECT_EQ(parameter.dwValue, 1u);
    EXPECT_EQ(parameter.dwDynamicID, 0u);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ADDMAT", "REFRACTIONS", "TRANSPARENT"}));
  EXPECT_NE(Infos().find("- Default Shader Applied: ShadowVolume\\NoNormalMap\\surface_nouv.ssh\n"),
            std::string::npos);
  surface->Release();
}

TEST_F(DefaultShaderAssignmentTest, AMorphingMeshGetsNoShaderAndFails) {
  CMesh* target = new CMesh(&renderer, &log, scene, 0);
  scene->AppendWorldObject(target);
  mesh->SetMorphTarget(target);
  ASSERT_EQ(mesh->SetIsMorph(1), 1u);
  for (UINT model : {1u, 2u, 3u}) {
    scene->SetLightingModel(model);
    EXPECT_EQ(library->ApplyDefaultShaderForMesh(mesh), 0u);
    EXPECT_EQ(mesh->GetShader(), nullptr);
    EXPECT_NE(Errors().find("Can't Apply Default Shader For box\nFAILED\n"), std::string::npos);
  }
}

// A scene file loaded with shader mode 1 in the per-pixel shadow-volume model: the scene gets
// its profile, its mesh and surface their default files, and the scene draws through the
// per-pixel passes, which run the mesh's passes of those files.
TEST_F(DefaultShaderAssignmentTest, ASceneLoadedWithShadersIsDrawnByThePerPixelPasses) {
  FakeVertexBufferStorage buffers;
  renderer.vertexBufferStorage = &buffers;
  CSurfaceFactory surfaceFactory;
  context->ports.surfaceFactory.Set(&surfaceFactory);
  FakeMeshBoundVolume volume;
  FakeMeshSpatial spatial;
  spatial.boundVolume = &volume;
  context->ports.meshSpatial.Set(&spatial);
  FakeSceneFileReader files;
  context->ports.sceneFiles.Set(&files);
  context->pRenderingProfile = nullptr;
  folder.Write("ShadowVolume/NoNormalMap/mesh_nobones_nomorph.ssh",
               Technique(Pass("LAYINGZDOWNPASS", "SETTEXTURE\n") +
                         Pass("AMBIENTPASS", "SETRENDERSTATE\n")));
  folder.Write("ShadowVolume/NoNormalMap/surface_nouv.ssh", Technique(Pass("AMBIENTPASS", "RENDER\n")));

  // What the reader fills in: the lighting model, a camera and a mesh of one bare surface.
  files.onLoad = [&](CScene* loaded) {
    loaded->SetLightingModel(2);
    auto* camera = new CCamera(&renderer, &log, loaded);
    loaded->AppendWorldObject(camera);
    CVector3 eye(0, 0, -5), target(0, 0, 0);
    camera->LookAt(&eye, &target, 0.0f);
    auto* crate = new CMesh(&renderer, &log, loaded, 0);
    crate->SetName("crate");
    loaded->AppendWorldObject(crate);
    crate->CreateSurface()->SetName("lid");
    crate->RebuildBoundVolume();  // the fake volume, which every camera sees
  };
  auto* loaded = new PassesTestScene(&renderer, &log);
  CSceneInterface* handle = loaded;
  CZeKorbD3D::Instance()->LoadScene(&handle, "room.zks", 1, 0, nullptr, nullptr, nullptr);
  ASSERT_EQ(handle, loaded);
  EXPECT_EQ(files.paths, std::vector<std::string>{"room.zks"});
  EXPECT_EQ(loaded->GetShadowMode(), 10u);
  auto* crate = dynamic_cast<CMesh*>(loaded->GetMeshObject(0));
  ASSERT_NE(crate, nullptr);
  EXPECT_STREQ(crate->GetShaderFileName(), "ShadowVolume\\NoNormalMap\\mesh_nobones_nomorph.ssh");
  auto* lid = dynamic_cast<CSurface*>(crate->GetSurface(0));
  ASSERT_NE(lid, nullptr);
  EXPECT_STREQ(lid->GetShaderFileName(), "ShadowVolume\\NoNormalMap\\surface_nouv.ssh");
  ASSERT_NE(crate->GetShader(), nullptr) << Errors();

  CPerPixelPass perPixel(&renderer, library.get(), &log);
  context->pPerPixelPass = &perPixel;
  CEngineScenePasses passes;
  passes.Attach(GetEngineContext(), &renderer);
  context->ports.scenePasses.Set(&passes);
  ASSERT_EQ(loaded->SetActiveCamera(0), 1u);
  RecordingShaderCommand::Runs().clear();
  renderer.sequence.clear();
  loaded->Render();
  // The lay-depth pass's colour mask around the mesh's own pass, then its ambient pass.
  EXPECT_EQ(RecordingShaderCommand::Runs(),
            (std::vector<std::string>{"SETTEXTURE", "SETRENDERSTATE"}));
  ASSERT_FALSE(renderer.sequence.empty());
  EXPECT_EQ(renderer.sequence.front(), "defaults");
  EXPECT_NE(std::find(renderer.sequence.begin(), renderer.sequence.end(), "state 168=0"),
            renderer.sequence.end());

  context->pPerPixelPass = nullptr;
  context->ports.scenePasses.Reset();
  loaded->Release();
  context->ports.meshSpatial.Reset();
  context->ports.surfaceFactory.Reset();
  context->ports.sceneFiles.Reset();
}

}  // namespace
