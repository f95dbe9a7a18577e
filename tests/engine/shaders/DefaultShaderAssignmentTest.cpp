// The library's default shaders applied to engine scenes and meshes: the profile a scene gets,
// the default file a mesh compiles, and the failure of a morphing mesh.
#include <gtest/gtest.h>

#include "PassesTestScene.h"
#include "ShaderFixture.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"

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

}  // namespace
