// SETCAMERA: the light's and the mesh's own cameras, made once and kept, placed and sized for the
// current render target, made the scene's active camera, and the scene's camera again with
// DEFAULT.
#include <cmath>

#include "ShaderSceneFixture.h"
#include "scene/Camera.h"

namespace {

class ShaderSetCameraTest : public ShaderSceneFixture {
 protected:
  ShaderSetCameraTest() {
    sceneCamera = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(sceneCamera);
    EXPECT_EQ(scene->SetActiveCamera(0), 1u);
  }
  static CCamera* CameraOf(CLight* light) { return dynamic_cast<CCamera*>(light->GetCamera()); }

  CCamera* sceneCamera;
};

TEST_F(ShaderSetCameraTest, ModeWordsCompileByPrefixInTheirOrder) {
  struct Case {
    const char* word;
    UINT mode;
  };
  const Case cases[] = {
      {"DEFAULT", 1},
      {"DEFAULTS", 1},
      {"CURRENT_LIGHT", 2},
      {"CURRENT_LIGHTS", 2},
      {"CURRENT_LIGHT_CUBE_POSITIVE_X", 3},
      {"CURRENT_LIGHT_CUBE_NEGATIVE_Z", 8},
      {"CURRENT_MESH_CUBE_POSITIVE_X", 10},
      {"CURRENT_MESH_CUBE_NEGATIVE_Y", 14},
      {"CURRENT_MESH_CUBE_NEGATIVE_Z", 15},
      {"CURRENT_LIGHT_CUBE", 2},  // no face: the plain light mode
      {"CURRENT_MESH", 0},
      {"CAMERA", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    Reset();
    CShader* shader = CompileTechnique(Pass("P", std::string("SETCAMERA ") + c.word + "\n"));
    if (c.mode == 0) {
      EXPECT_EQ(shader, nullptr);
      EXPECT_EQ(Errors().rfind(Reported(27, "CShaderProgramSetMaterial::CShaderProgramSetMaterial"), 0),
                0u)
          << Errors();
      continue;
    }
    ASSERT_NE(shader, nullptr) << Errors();
    auto* line = dynamic_cast<CShaderProgramSetCamera*>(shader->GetPass(0)->GetLine(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetMode(), c.mode);
    EXPECT_NE(Infos().find(std::string("    - Compiling SetCamera: SETCAMERA ") + c.word + "\n"),
              std::string::npos);
  }
}

TEST_F(ShaderSetCameraTest, ALightCameraLooksAlongTheLightWithItsConeAsZoom) {
  struct Case {
    float coneDegrees;
    float zoom;
  };
  for (const Case& c : {Case{45.0f, 1.0f}, Case{30.0f, 1.7320508f}}) {
    SCOPED_TRACE(c.coneDegrees);
    CLight* spot = AddLight("spot", LIGHT_SPOT);
    spot->GetConeAngleEnvelope(0)->SetValue(c.coneDegrees);
    SceneShader(Pass("P", "FOREACH SPOTLIGHT\nSETCAMERA CURRENT_LIGHT\nENDFOR\n"),
                "spot" + std::to_string(int(c.coneDegrees)) + ".ssh");
    RunScene();
    CCamera* camera = CameraOf(spot);
    ASSERT_NE(camera, nullptr);
    EXPECT_NEAR(camera->GetZoomEnvelope(0)->GetValue(), c.zoom, 1e-5f);
    // No render target: a 512 x 512 screen.
    EXPECT_EQ(camera->GetXScreenCoordinate(), 512.0f);
    EXPECT_EQ(camera->GetYScreenCoordinate(), 512.0f);
    EXPECT_EQ(scene->GetActiveCameraObject(), camera);
    EXPECT_EQ(scene->GetActiveCameraNumber(), 0u);
    spot->ReleaseReference();
  }
}

TEST_F(ShaderSetCameraTest, CubeFacesReuseOneCameraPerLightAndDefaultBringsTheSceneCameraBack) {
  CLight* first = AddLight("first", LIGHT_POINT);
  CLight* second = AddLight("second", LIGHT_POINT);
  AddLight("sun", LIGHT_DISTANT);
  std::string faces;
  for (const char* face : {"POSITIVE_X", "POSITIVE_Y", "POSITIVE_Z", "NEGATIVE_X", "NEGATIVE_Y",
                           "NEGATIVE_Z"})
    faces += std::string("SETCAMERA CURRENT_LIGHT_CUBE_") + face + "\nRENDER FACE\n";
  SceneShader(Pass("P", "FOREACH POINTLIGHT\n" + faces + "ENDFOR\n") +
              Pass("BACK", "SETCAMERA DEFAULT\n"));
  CCamera* cameras[2] = {};
  RunScene();
  cameras[0] = CameraOf(first);
  cameras[1] = CameraOf(second);
  ASSERT_TRUE(cameras[0] && cameras[1]);
  EXPECT_NE(cameras[0], cameras[1]);
  EXPECT_EQ(Runs().size(), 12u);
  EXPECT_EQ(CameraOf(dynamic_cast<CLight*>(scene->GetLightObject(2))), nullptr);  // the sun
  for (CCamera* camera : cameras) EXPECT_EQ(camera->GetZoomEnvelope(0)->GetValue(), 1.0f);
  // The BACK pass ran last: the scene's own camera is active again.
  EXPECT_EQ(scene->GetActiveCameraObject(), sceneCamera);

  // A second frame places the same cameras again.
  RunScene();
  EXPECT_EQ(CameraOf(first), cameras[0]);
  EXPECT_EQ(CameraOf(second), cameras[1]);
}

TEST_F(ShaderSetCameraTest, AMeshCameraLooksFromTheMeshAlongTheCubeAxis) {
  CMesh* mesh = AddMesh("ball");
  SceneShader(Pass("P", "FOREACH MESH\nSETCAMERA CURRENT_MESH_CUBE_NEGATIVE_Y\nENDFOR\n"));
  RunScene();
  CCamera* camera = mesh->GetCamera();
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(scene->GetActiveCameraObject(), camera);
  EXPECT_EQ(camera->GetZoomEnvelope(0)->GetValue(), 1.0f);
}

TEST_F(ShaderSetCameraTest, ALightModeWithoutALightAndAMeshModeWithoutAMeshDoNothing) {
  SceneShader(Pass("P", "SETCAMERA CURRENT_LIGHT\nSETCAMERA CURRENT_MESH_CUBE_POSITIVE_Z\n"
                        "RENDER AFTER\n"));
  RunScene();
  EXPECT_EQ(Runs(), (Texts{"AFTER - - -"}));
  EXPECT_EQ(Errors(),
            "WARNING! - SetCamera Without Current Light Does Nothing\n"
            "WARNING! - SetCamera Without Current Mesh Does Nothing\n");
  EXPECT_EQ(scene->GetActiveCameraObject(), sceneCamera);
}

TEST_F(ShaderSetCameraTest, TheCamerasGoWithTheirLightOrMesh) {
  CLight* lamp = AddLight("lamp", LIGHT_POINT);
  AddLight("bulb", LIGHT_POINT);
  AddMesh("ball");
  SceneShader(Pass("P", "FOREACH POINTLIGHT\nSETCAMERA CURRENT_LIGHT_CUBE_POSITIVE_X\nENDFOR\n"
                        "FOREACH MESH\nSETCAMERA CURRENT_MESH_CUBE_POSITIVE_X\nENDFOR\n"
                        "FOREACH POINTLIGHT\nSETCAMERA CURRENT_LIGHT_CUBE_POSITIVE_X\nENDFOR\n"));
  RunScene();
  // The last camera placed is the bulb's, the active one; releasing the lamp leaves it.
  CCamera* bulbCamera = scene->GetActiveCameraObject();
  ASSERT_NE(bulbCamera, nullptr);
  log.entries.clear();
  lamp->ReleaseReference();
  EXPECT_EQ(scene->GetActiveCameraObject(), bulbCamera);
  EXPECT_NE(Infos().find("- (CCamera) Releasing\n"), std::string::npos);

  // Releasing the active camera's light leaves the scene without an active camera, not with a
  // freed one.
  scene->GetLightObject(0)->ReleaseReference();
  EXPECT_EQ(scene->GetActiveCameraObject(), nullptr);

  log.entries.clear();
  scene->Release();
  scene = nullptr;
  size_t released = 0;
  for (size_t at = Infos().find("- (CCamera) Releasing\n"); at != std::string::npos;
       at = Infos().find("- (CCamera) Releasing\n", at + 1))
    ++released;
  EXPECT_EQ(released, 2u);  // the scene's own and the mesh's
}

}  // namespace
