// Variable lines that take their values from the engine: the names each source knows and the
// types they need when the line compiles, and what the scene, camera, light, mesh and surface
// yield each time the pass runs.
#include <cmath>

#include "FakeSurfaceBanks.h"
#include "ProcessExitCatcher.h"
#include "ShaderFixture.h"
#include "TestScene.h"
#include "TextureTestBench.h"
#include "core/Timer.h"
#include "d3d/Material.h"
#include "d3d/MaterialBank.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Surface.h"
#include "zktest/ZkTestClock.h"

namespace {

class ShaderValueSourceTest : public ShaderFixture {
 protected:
  ShaderValueSourceTest() {
    Library();
    mesh = new CMesh(&renderer, &log, scene, 0);
    scene->AppendWorldObject(mesh);
    target = mesh;
    renderer.materialStorage = &materials;
  }
  ~ShaderValueSourceTest() override {
    context->pEngineTimer = nullptr;
    if (surface != nullptr) surface->Release();
    scene->Release();
  }

  CCamera* AddCamera() {
    auto* camera = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(camera);
    scene->RebuildCameraArray();
    scene->SetActiveCamera(0);
    return camera;
  }
  // The mesh's world (and rotation) matrix as the hierarchy pass would leave it.
  void PlaceMesh(const CMatrix& world) {
    *static_cast<CWorldObject*>(mesh)->GetMatrixPointer() = world;
    *static_cast<CWorldObject*>(mesh)->GetRotationMatrixPointer() = world;
  }
  CLight* AddLight(WORD type) {
    auto* light = new CLight(&renderer, &log, scene);
    scene->AppendWorldObject(light);
    light->SetType(type);
    return light;
  }

  // The one pass of a shader of the mesh made of `body`; null (failing) when it does not compile.
  CShaderPass* CompileBody(const std::string& body) {
    // A fresh library each time: it would hand out the shader it compiled from the same file.
    Library(scheme);
    log.entries.clear();
    folder.Write("test.ssh", Technique(Pass("MAIN", body), technique));
    CShader* shader = library->CreateShader("test.ssh", surface != nullptr ? surface : target,
                                            surface != nullptr ? SHADER_TARGET_SURFACE : kind,
                                            nullptr, 0);
    return shader != nullptr ? shader->GetPass(0) : nullptr;
  }
  CShaderPass* Run(const std::string& body) {
    CShaderPass* pass = CompileBody(body);
    EXPECT_NE(pass, nullptr) << body << Errors();
    if (pass != nullptr) {
      EXPECT_EQ(pass->Execute(), 1u) << Errors();
    }
    return pass;
  }
  static ShaderVariableValue& Value(CShaderPass* pass, const char* name) {
    return *pass->FindVariable(name)->GetValue();
  }
  static CVector4 Vector(CShaderPass* pass, const char* name) {
    const D3DXVECTOR4& v = Value(pass, name).vecValue;
    return {v.x, v.y, v.z, v.w};
  }
  static CMatrix Matrix(CShaderPass* pass, const char* name) {
    const auto* elements = reinterpret_cast<const float*>(pass->FindVariable(name)->GetMatrix());
    CMatrix matrix;
    for (int i = 0; i < 16; ++i) matrix.m[i / 4][i % 4] = elements[i];
    return matrix;
  }

  const char* technique = "GEFORCEFX";
  DWORD scheme = ZK_SCHEME_GEFORCEFX;
  FakeMaterialStorage materials;
  // The shader's object: the mesh unless a test makes a surface or names another.
  void* target = nullptr;
  UINT kind = SHADER_TARGET_MESH;
  CSurface* surface = nullptr;
  TestScene* scene = new TestScene(&renderer, &log);
  CMesh* mesh = nullptr;
};

void ExpectNear(const CVector4& actual, const CVector4& expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4f) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-4f) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-4f) << what;
  EXPECT_NEAR(actual.w, expected.w, 1e-4f) << what;
}

void ExpectNear(const CMatrix& actual, const CMatrix& expected, const char* what) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(actual.m[i / 4][i % 4], expected.m[i / 4][i % 4], 1e-4f) << what << " " << i;
}

TEST_F(ShaderValueSourceTest, NamesAndTypesAreCheckedWhenTheLineCompiles) {
  struct Case {
    const char* line;
    UINT type;  // the record's type after compiling; 0 when the line is refused
    WORD source;
    WORD id;
    std::string errors;
  };
  const Case cases[] = {
      {"FLOAT F = SYSTEM.FTIMER", SHADER_VALUE_FLOAT, SHADER_SOURCE_SYSTEM, 20, ""},
      {"TEXTURE T = SYSTEM.TSHADOWMASK", SHADER_VALUE_TEXTURE, SHADER_SOURCE_SYSTEM, 2, ""},
      {"DWORD C = SCENE.FOGCOLOR", SHADER_VALUE_DWORD, SHADER_SOURCE_SCENE, 4, ""},
      {"TABLE T = CAMERA.VISIBLELIGHTS", SHADER_VALUE_TABLE, SHADER_SOURCE_CAMERA, 100, ""},
      // Matrices taken from objects are tagged by reference or by value, as the value says.
      {"MATRIX M = CAMERA.MTXPROJECTION", SHADER_VALUE_MATRIX_REFERENCE, SHADER_SOURCE_CAMERA, 7,
       ""},
      {"MATRIX M = MESH.MTXIDLOOKUP", SHADER_VALUE_MATRIX, SHADER_SOURCE_MESH, 5, ""},
      {"TEXTURE T = LIGHT.TSQUARERENDERTEXTURE1", SHADER_VALUE_SQUARE_RENDER_TEXTURE,
       SHADER_SOURCE_LIGHT, 21, ""},
      {"TEXTURE T = MESH.TCUBERENDERTEXTURE2", SHADER_VALUE_CUBE_RENDER_TEXTURE,
       SHADER_SOURCE_MESH, 32, ""},
      // Later names that begin like earlier ones are still found in table order.
      {"MATRIX M = MESH.MTXOBJECT2ATTENUATION", SHADER_VALUE_MATRIX, SHADER_SOURCE_MESH, 12, ""},
      {"MATERIAL M = SURFACE.MATERIAL", SHADER_VALUE_MATERIAL, SHADER_SOURCE_SURFACE, 2, ""},
      {"DWORD G = SCENE.FFOGSTART", 0, 0, 0,
       Reported(15, "CShaderVariable::CompileSceneValues") + Reported(10, "CShaderVariable")},
      {"VECTOR V = MESH.MTXBONES", 0, 0, 0,
       Reported(15, "CShaderVariable::CompileMeshValues") + Reported(10, "CShaderVariable")},
      {"FLOAT F = CAMERA.FZOOM", 0, 0, 0,
       Reported(256, "CShaderVariable::CompileCameraValues") + Reported(10, "CShaderVariable")},
      {"DWORD D = LIGHT.INTENSITY", 0, 0, 0, Reported(10, "CShaderVariable")},
      {"VECTOR V = SCENE FOGCOLOR", 0, 0, 0,
       Reported(27, "CShaderVariable::CompileSceneValues") + Reported(10, "CShaderVariable")},
      // A source word must match whole.
      {"FLOAT F = SYSTEMS.FTIMER", 0, 0, 0,
       Reported(14, "CShaderVariable::InitializeVariable") + Reported(10, "CShaderVariable")},
  };
  for (const Case& c : cases) {
    CShaderPass* pass = CompileBody(std::string(c.line) + "\n");
    if (c.type == 0) {
      EXPECT_EQ(pass, nullptr) << c.line;
      EXPECT_EQ(Errors().substr(0, c.errors.size()), c.errors) << c.line;
      continue;
    }
    ASSERT_NE(pass, nullptr) << c.line << Errors();
    const std::string line = c.line;
    const ShaderVariableValue& value = Value(pass, line.substr(line.find(' ') + 1, 1).c_str());
    EXPECT_EQ(value.dwType, c.type) << c.line;
    EXPECT_EQ(value.wSource, c.source) << c.line;
    EXPECT_EQ(value.wValueID, c.id) << c.line;
  }
}

TEST_F(ShaderValueSourceTest, TheCompileTraceNamesTheValue) {
  ASSERT_NE(CompileBody("TEXTURE T = LIGHT.TSQUARERENDERTEXTURE1\n"), nullptr) << Errors();
  EXPECT_NE(Infos().find("      - Light Value: TEXTURE T = LIGHT.TSQUARERENDERTEXTURE1"),
            std::string::npos)
      << Infos();
  // The light source reports with the camera's line.
  EXPECT_NE(Infos().find("      - Compiled Camera Value: 21\n"), std::string::npos) << Infos();

  // A render target in the variable is no plain texture for the commands that want one.
  CShaderVariableNode* node = CompileBody("TEXTURE T = LIGHT.TSQUARERENDERTEXTURE1\n")
                                  ->FindVariable("T");
  EXPECT_EQ(node->GetTexture(), nullptr);
}

TEST_F(ShaderValueSourceTest, SceneValues) {
  scene->SetFogColor(0xFF808080);
  scene->SetFogMinDistance(5.0f);
  scene->SetFogMaxDistnace(50.0f);
  scene->SetAmbientColor(100 | 200 << 8 | 50 << 16);
  ASSERT_NE(scene->GetAmbLightIntensityEnvelope(), nullptr);
  scene->GetAmbLightIntensityEnvelope()->SetValue(0.5f);
  CShaderPass* pass = Run(
      "VECTOR K = SCENE.FOGCOLOR\nDWORD C = SCENE.FOGCOLOR\nVECTOR D = <7, 8, 9, 6>\n"
      "D = SCENE.FOGDATA\nFLOAT S = SCENE.FFOGSTART\nFLOAT E = SCENE.FFOGEND\n"
      "VECTOR A = SCENE.AMBIENT\nDWORD P = SCENE.AMBIENT\n");
  ASSERT_NE(pass, nullptr);
  const float half = 128.0f / 255.0f;
  ExpectNear(Vector(pass, "K"), {half, half, half, 1.0f}, "FOGCOLOR");
  EXPECT_NEAR(Vector(pass, "K").x, 0.502f, 1e-3f);
  EXPECT_EQ(Value(pass, "C").scalar.dwValue, 0xFF808080u);
  // Fog data writes x and y of the line's own record, whose z and w stay as they were.
  ExpectNear(Vector(pass, "D"), {5.0f, 50.0f, 0.0f, 0.0f}, "FOGDATA");
  EXPECT_EQ(Value(pass, "S").scalar.fValue, 5.0f);
  EXPECT_EQ(Value(pass, "E").scalar.fValue, 50.0f);
  ExpectNear(Vector(pass, "A"), {50 / 255.0f, 100 / 255.0f, 25 / 255.0f, 1.0f}, "AMBIENT");
  EXPECT_EQ(Value(pass, "P").scalar.dwValue, 0xFF326419u);
}

TEST_F(ShaderValueSourceTest, TheTimerIsReadOnEveryRun) {
  ZkTestClockSetManual(1'000'000);
  CTimer timer;
  timer.Reset();
  context->pEngineTimer = &timer;
  CShaderPass* pass = Run("FLOAT F = SYSTEM.FTIMER\n");
  ASSERT_NE(pass, nullptr);
  const float first = Value(pass, "F").scalar.fValue;
  ZkTestClockAdvance(2'500'000);
  EXPECT_EQ(pass->Execute(), 1u);
  EXPECT_NEAR(Value(pass, "F").scalar.fValue - first, 2.5f, 1e-3f);
  ZkTestClockSetReal();
}

// Runs `body` expecting the engine to stop; the message of its box.
std::string StopMessage(ShaderValueSourceTest* test, CShaderPass* pass) {
  (void)test;
  ProcessExitCatcher exits;
  try {
    pass->Execute();
    ADD_FAILURE() << "the pass ran to its end";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  if (exits.Boxes().size() != 1) return "";
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Executing Shader");
  return exits.Boxes()[0].text;
}

TEST_F(ShaderValueSourceTest, MissingCameraOrLightStopsTheEngine) {
  CShaderPass* camera = CompileBody("FLOAT F = CAMERA.FASPECT\n");
  ASSERT_NE(camera, nullptr) << Errors();
  EXPECT_EQ(StopMessage(this, camera), "No Active Camera");

  AddCamera();
  // A light value outside a light loop: the pass sets no current light.
  CShaderPass* light = CompileBody("VECTOR V = LIGHT.VECPOSITION\n");
  ASSERT_NE(light, nullptr) << Errors();
  EXPECT_EQ(StopMessage(this, light), "No Active Light");
}

TEST_F(ShaderValueSourceTest, LightValues) {
  AddCamera();
  CLight* light = AddLight(2);
  scene->SetCurrentLight(light);
  D3DLIGHT9& d3d = *light->GetD3DLightProperties();
  d3d.Direction = {0, 0, 1};
  d3d.Position = {1, 2, 3};
  d3d.Diffuse = {0.25f, 0.5f, 0.75f, 1.0f};
  d3d.Specular = {0.1f, 0.2f, 0.3f, 0.4f};
  d3d.Attenuation0 = 1;
  d3d.Attenuation1 = 2;
  d3d.Attenuation2 = 3;
  d3d.Range = 40;
  d3d.Phi = 2.0f;
  d3d.Theta = 1.0f;
  d3d.Falloff = 0.5f;
  CShaderPass* pass = Run(
      "VECTOR A = LIGHT.VECDIRECTION\nVECTOR B = LIGHT.VECPOSITION\nVECTOR C = LIGHT.VECDIFFUSE\n"
      "VECTOR D = LIGHT.VECSPECULAR\nVECTOR E = LIGHT.VECATTENUATIONRANGE\n"
      "VECTOR F = LIGHT.VECSPOTLIGHTANGLES\nDWORD G = LIGHT.TYPE\nDWORD H = LIGHT.COLOR\n"
      "TEXTURE T = LIGHT.TSQUARERENDERTEXTURE1\n");
  ASSERT_NE(pass, nullptr);
  ExpectNear(Vector(pass, "A"), {0, 0, 1, 0}, "direction");
  ExpectNear(Vector(pass, "B"), {1, 2, 3, 0}, "position");
  ExpectNear(Vector(pass, "C"), {0.25f, 0.5f, 0.75f, 1.0f}, "diffuse");
  ExpectNear(Vector(pass, "D"), {0.1f, 0.2f, 0.3f, 0.4f}, "specular");
  ExpectNear(Vector(pass, "E"), {1, 2, 3, 40}, "attenuation");
  const float outer = std::cos(1.0f), inner = std::cos(0.5f);
  ExpectNear(Vector(pass, "F"), {outer, inner, 0.5f, 1.0f / (inner - outer)}, "spot");
  EXPECT_EQ(Value(pass, "G").scalar.dwValue, 2u);
  EXPECT_EQ(Value(pass, "H").scalar.dwValue, light->GetColor());
  EXPECT_EQ(pass->FindVariable("T")->GetSquareRenderTexture(), nullptr);
}

TEST_F(ShaderValueSourceTest, AttenuationMatricesMapTheRangeOntoTheTexture) {
  AddCamera();
  CLight* light = AddLight(1);
  scene->SetCurrentLight(light);
  light->SetPosition(CVector3(4, 5, 6));
  ASSERT_EQ(light->GetRangeEnvelope(1)->SetValue(10.0f), 1u);
  CMatrix world = CMatrix::Identity();
  world.RotateZ(0.5f);
  world.Move(-2, 1, 7);
  PlaceMesh(world);
  CShaderPass* pass = Run(
      "MATRIX XY = MESH.MTXOBJECT2ATTENUATIONXY\nMATRIX Z = MESH.MTXOBJECT2ATTENUATIONZ\n"
      "MATRIX A = MESH.MTXOBJECT2ATTENUATION\nMATRIX CXY = CAMERA.MTXCAMERA2ATTENUATIONXY\n"
      "MATRIX CZ = CAMERA.MTXCAMERA2ATTENUATIONZ\nMATRIX LZ = LIGHT.MTXCAMERA2ATTENUATIONZ\n");
  ASSERT_NE(pass, nullptr);
  CVector3 at;
  light->GetPosition(&at, 0);
  CMatrix toObject;
  ASSERT_TRUE(world.Inverse(&toObject));
  // Points in object space: the light itself and points at its range along x and z.
  const auto object = [&](float dx, float dy, float dz) {
    const CVector3 p = CVector3(at.x + dx, at.y + dy, at.z + dz) * toObject;
    return CVector4{p.x, p.y, p.z, 1.0f};
  };
  ExpectNear(object(0, 0, 0) * Matrix(pass, "XY"), {0.5f, 0.5f, 0, 1}, "centre XY");
  const CVector4 edge = object(10, 0, 0) * Matrix(pass, "XY");
  EXPECT_NEAR(edge.x, 1.0f, 1e-4f);
  EXPECT_NEAR(edge.y, 0.5f, 1e-4f);
  EXPECT_NEAR((object(0, 0, 0) * Matrix(pass, "Z")).x, 0.5f, 1e-4f);
  EXPECT_NEAR((object(0, 0, 10) * Matrix(pass, "Z")).x, 1.0f, 1e-4f);
  EXPECT_NEAR((object(0, 0, -10) * Matrix(pass, "Z")).x, 0.0f, 1e-4f);
  ExpectNear(object(0, 10, 0) * Matrix(pass, "A"), {0, 1, 0, 1}, "attenuation");

  // From camera space: the camera's world matrix comes first.
  CCamera* camera = scene->GetActiveCameraObject();
  CMatrix toCamera;
  ASSERT_TRUE(camera->GetMatrix(camera->GetFrame())->Inverse(&toCamera));
  const CVector3 lightInCamera = at * toCamera;
  const CVector4 centre{lightInCamera.x, lightInCamera.y, lightInCamera.z, 1};
  EXPECT_NEAR((centre * Matrix(pass, "CXY")).x, 0.5f, 1e-4f);
  EXPECT_NEAR((centre * Matrix(pass, "CXY")).y, 0.5f, 1e-4f);
  EXPECT_NEAR((centre * Matrix(pass, "CZ")).x, 0.5f, 1e-4f);
  ExpectNear(Matrix(pass, "LZ"), Matrix(pass, "CZ"), "the light's and the camera's");
}

TEST_F(ShaderValueSourceTest, ShadowMapBiasFollowsTheDescribedSize) {
  AddCamera();
  CLight* light = AddLight(2);
  scene->SetCurrentLight(light);
  *light->GetViewMatrix() = CMatrix::Identity();
  *light->GetProjectionMatrix() = CMatrix::Identity();
  CCamera* camera = scene->GetActiveCameraObject();
  const CMatrix cameraToWorld = *camera->GetMatrix(camera->GetFrame());
  const auto bias = [](float dx, float dy) {
    CMatrix matrix = CMatrix::Identity();
    matrix._11 = 0.5f;
    matrix._22 = -0.5f;
    matrix._41 = 0.5f + dx;
    matrix._42 = 0.5f + dy;
    return matrix;
  };
  // Without a description the half-texel terms are left out.
  CShaderPass* pass = Run("MATRIX S = LIGHT.MTXCAMERA2SHADOWMAP\n");
  ASSERT_NE(pass, nullptr);
  ExpectNear(Matrix(pass, "S"), cameraToWorld * bias(0, 0), "no description");

  renderer.renderTargetDescriptions[0x10000] = {512, 256, 0, 0};
  ASSERT_EQ(pass->Execute(), 1u);
  ExpectNear(Matrix(pass, "S"), cameraToWorld * bias(0.5f / 512, 0.5f / 256), "described");

  // The object's map is sized by the light's own target; without one the bias has no offset.
  CShaderPass* object = Run("MATRIX O = MESH.MTXOBJECT2LIGHTSHADOWMAP\n");
  ASSERT_NE(object, nullptr);
  CMatrix noOffset = bias(0, 0);
  noOffset._41 = 0;
  noOffset._42 = 0;
  ExpectNear(Matrix(object, "O"), *mesh->GetMatrix(0.0f) * noOffset, "no target");
  EXPECT_NE(Errors().find("WARNING!!! - Executing ::Object2LightShadowMap, Square Render Target "
                          "#0 Is NULL\n"),
            std::string::npos);
}

TEST_F(ShaderValueSourceTest, MeshValues) {
  AddCamera();
  CMatrix placed = CMatrix::Identity();
  placed.SetMove(1, 2, 3);
  PlaceMesh(placed);
  CShaderPass* pass = Run(
      "MATRIX W = MESH.MTXOBJECT2WORLD\nMATRIX I = MESH.MTXWORLD2OBJECT\nDWORD D = MESH.DWID\n"
      "MATRIX L = MESH.MTXIDLOOKUP\nVECTOR E = MESH.VECEYEPOS2OBJECT\nTABLE T = MESH.MTXBONES\n"
      "FLOAT F = MESH.FMORPH\n");
  ASSERT_NE(pass, nullptr);
  const CMatrix world = *mesh->GetMatrix(0.0f);
  EXPECT_NEAR(world._41, 1.0f, 1e-4f);
  // A matrix held by reference is a copy that outlives the getter's.
  ExpectNear(Matrix(pass, "W"), world, "object to world");
  EXPECT_EQ(pass->FindVariable("W")->GetType(), SHADER_VALUE_MATRIX_REFERENCE);
  ExpectNear(Matrix(pass, "W") * Matrix(pass, "I"), CMatrix::Identity(), "world to object");
  EXPECT_EQ(Value(pass, "D").scalar.dwValue, mesh->GetID());
  CMatrix lookup;
  lookup._31 = (static_cast<float>(mesh->GetID()) + 0.5f) / 255.0f;
  ExpectNear(Matrix(pass, "L"), lookup, "id lookup");
  const CVector3 eye = *scene->GetActiveCameraObject()->GetPositionVector() -
                       CVector3(1, 2, 3);
  ExpectNear(Vector(pass, "E"), {eye.x, eye.y, eye.z, 0}, "eye");
  EXPECT_EQ(Value(pass, "T").scalar.dwValue, 100u);

  // A mesh scaled to nothing has no inverse: the value is kept and the fault logged once.
  PlaceMesh(CMatrix());
  log.entries.clear();
  const CMatrix before = Matrix(pass, "I");
  ASSERT_EQ(pass->Execute(), 1u);
  ASSERT_EQ(pass->Execute(), 1u);
  ExpectNear(Matrix(pass, "I"), before, "kept");
  // Two lines invert the world matrix; each says so once over the two runs.
  const std::string errors = Errors();
  const std::string line = "WARNING!!! - Executing ::MatrixInverse, Singular Matrix, Value Kept\n";
  size_t count = 0;
  for (size_t at = errors.find(line); at != std::string::npos; at = errors.find(line, at + 1))
    ++count;
  EXPECT_EQ(count, 2u) << errors;
}

TEST_F(ShaderValueSourceTest, SurfaceValues) {
  surface = new CSurface(&renderer, &log, mesh);
  D3DCOLORVALUE diffuse{0.5f, 0.25f, 1.0f, 0.5f}, specular{0.2f, 0.4f, 0.6f, 0.5f},
      emissive{0.1f, 0.1f, 0.1f, 1.0f};
  CVector4 extra1, extra2;
  ASSERT_EQ(surface->CreateMaterial(&diffuse, &specular, &emissive, &extra1, &extra2, 1), 1u);
  const std::string body =
      "DWORD C = SURFACE.DWCULL\nDWORD B = SURFACE.DWBLENDINGMODE\n"
      "VECTOR S = SURFACE.VECSPECULAR\nDWORD P = SURFACE.VECDIFFUSE\n"
      "DWORD O = SURFACE.DWTXT0OPACITY\nTEXTURE T = SURFACE.TCOLORTEXTURE0\n"
      "MATERIAL M = SURFACE.MATERIAL\n";
  struct Case {
    WORD flags;
    const char* technique;
    DWORD cull, blending;
    float specularW;
  };
  const Case cases[] = {
      {0x0, "GEFORCEFX", 3, 6, 0.5f},
      {0x4, "GEFORCEFX", 1, 6, 0.5f},
      {0x2, "GEFORCEFX", 3, 2, 0.5f},
      {0x6, "RADEON9700", 1, 2, 60.0f},
  };
  for (const Case& c : cases) {
    surface->SetFlags(c.flags);
    technique = c.technique;
    scheme = c.technique[0] == 'R' ? ZK_SCHEME_RADEON9700 : ZK_SCHEME_GEFORCEFX;
    CShaderPass* pass = Run(body);
    ASSERT_NE(pass, nullptr);
    EXPECT_EQ(Value(pass, "C").scalar.dwValue, c.cull) << c.flags;
    EXPECT_EQ(Value(pass, "B").scalar.dwValue, c.blending) << c.flags;
    ExpectNear(Vector(pass, "S"), {0.2f, 0.4f, 0.6f, c.specularW}, c.technique);
    // Packed colours truncate each channel: 0.25 * 255 is 63.75.
    EXPECT_EQ(Value(pass, "P").scalar.dwValue, 0x7F7F3FFFu);
    EXPECT_EQ(Value(pass, "O").scalar.dwValue, 1u);  // no colour texture 0
    EXPECT_EQ(Value(pass, "T").pValue, nullptr);
    EXPECT_EQ(pass->FindVariable("M")->GetMaterial(), surface->GetMaterial(1));
  }

  // The texture matrix of a missing colour texture fails the line.
  technique = "GEFORCEFX";
  scheme = ZK_SCHEME_GEFORCEFX;
  CShaderPass* pass = CompileBody("MATRIX M = SURFACE.MTXCOLORTEXTURE0\n");
  ASSERT_NE(pass, nullptr) << Errors();
  EXPECT_EQ(pass->GetLine(0)->Execute(), 0u);
  EXPECT_NE(Errors().find(Reported(18, "CShaderVariable::Execute")), std::string::npos);
}

TEST_F(ShaderValueSourceTest, CameraValuesAndTheMeshSeenFromIt) {
  CCamera* camera = AddCamera();
  camera->SetAspect(1.5f);
  camera->SetScreenSize(640.0f, 480.0f);
  camera->SetNearClipPlane(0.25f);
  camera->SetFarClipPlane(900.0f);
  CMatrix rotation = CMatrix::Identity();
  rotation.SetRotateY(0.5f);
  CMatrix world = rotation;
  world.Move(4, 0, -2);
  PlaceMesh(world);
  *static_cast<CWorldObject*>(mesh)->GetRotationMatrixPointer() = rotation;
  CLight* light = AddLight(2);
  scene->SetCurrentLight(light);
  D3DLIGHT9& properties = *light->GetD3DLightProperties();
  properties.Direction = {0.0f, 0.0f, 2.0f};
  properties.Position = {4.0f, 3.0f, -2.0f};
  // A frame places the camera before any pass runs; its position and direction come from that.
  camera->GetWorld2CameraMatrix(0.0f);
  CShaderPass* pass = Run(
      "FLOAT A = CAMERA.FASPECT\nFLOAT X = CAMERA.FSCRX\nFLOAT Y = CAMERA.FSCRY\n"
      "FLOAT N = CAMERA.FNEARPLANE\nFLOAT F = CAMERA.FFARPLANE\nVECTOR P = CAMERA.VECPOSITION\n"
      "VECTOR D = CAMERA.VECDIRECTION\nMATRIX V = CAMERA.MTXWORLD2CAMERA\n"
      "MATRIX R = CAMERA.MTXPROJECTION\nMATRIX O = MESH.MTXOBJECT2PROJECTION\n"
      "MATRIX C = MESH.MTXOBJECT2CAMERA\nVECTOR L = MESH.VECLIGHTDIR2OBJECT\n"
      "VECTOR Q = MESH.VECLIGHTPOS2OBJECT\n");
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(Value(pass, "A").scalar.fValue, 1.5f);
  EXPECT_EQ(Value(pass, "X").scalar.fValue, 640.0f);
  EXPECT_EQ(Value(pass, "Y").scalar.fValue, 480.0f);
  EXPECT_EQ(Value(pass, "N").scalar.fValue, 0.25f);
  EXPECT_EQ(Value(pass, "F").scalar.fValue, 900.0f);
  const CVector3& position = *camera->GetPositionVector();
  const CVector3& direction = *camera->GetDirectionVector();
  ExpectNear(Vector(pass, "P"), {position.x, position.y, position.z, 0}, "camera position");
  ExpectNear(Vector(pass, "D"), {direction.x, direction.y, direction.z, 0}, "camera direction");
  EXPECT_NEAR(direction.z, 1.0f, 1e-4f);  // an unturned camera looks along its z axis
  const CMatrix& view = *camera->GetWorld2CameraMatrix(camera->GetFrame());
  const CMatrix& projection = *camera->GetProjectionMatrix();
  ExpectNear(Matrix(pass, "V"), view, "world to camera");
  ExpectNear(Matrix(pass, "R"), projection, "projection");
  ExpectNear(Matrix(pass, "O"), world * view * projection, "object to projection");
  ExpectNear(Matrix(pass, "C"), world * view, "object to camera");
  // The light's direction turned into the mesh's frame by its rotation alone, made unit length:
  // +z seen from a mesh turned by 0.5 about y.
  ExpectNear(Vector(pass, "L"), {-std::sin(0.5f), 0, std::cos(0.5f), 0}, "light direction");
  // Its position through the whole world matrix: 3 above the mesh's origin.
  ExpectNear(Vector(pass, "Q"), {0, 3, 0, 0}, "light position");
}

TEST_F(ShaderValueSourceTest, ColourTextureValuesComeFromTheTextureRecord) {
  FakeTextureStorage textures;
  renderer.textureStorage = &textures;
  surface = new CSurface(&renderer, &log, mesh);
  ASSERT_EQ(surface->SetTexture(1, "colour.png"), 1u);
  SurfaceTexture* slot = surface->GetColor0Texture();
  ASSERT_NE(slot, nullptr);
  slot->wOpacity = 7;
  slot->mtxMatrix = CMatrix::Identity();
  slot->mtxMatrix._31 = 0.25f;
  CShaderPass* pass = Run(
      "DWORD O = SURFACE.DWTXT0OPACITY\nDWORD P = SURFACE.DWTXT1OPACITY\n"
      "MATRIX M = SURFACE.MTXCOLORTEXTURE0\nTEXTURE T = SURFACE.TCOLORTEXTURE0\n");
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(Value(pass, "O").scalar.dwValue, 7u);
  EXPECT_EQ(Value(pass, "P").scalar.dwValue, 1u);  // no colour texture 1
  ExpectNear(Matrix(pass, "M"), slot->mtxMatrix, "texture matrix");
  EXPECT_EQ(Value(pass, "T").pValue, slot->pTextureImage);
  EXPECT_NE(slot->pTextureImage, nullptr);
  surface->Release();
  surface = nullptr;
  renderer.textureStorage = nullptr;
}

TEST_F(ShaderValueSourceTest, SystemTexturesComeFromTheRealBankByIndex) {
  TextureTestBench textures;
  context->pVirtualFileSystem = &vfs;  // the shader files stay where the fixture wrote them
  renderer.textureStorage = textures.bank;
  const std::string body =
      "TEXTURE L = SYSTEM.TSHADOWLOOKUP\nTEXTURE K = SYSTEM.TSHADOWMASK\n"
      "TEXTURE X = SYSTEM.TATTENUATIONXY\nTEXTURE Z = SYSTEM.TATTENUATIONZ\n"
      "TEXTURE C = SYSTEM.TCUBENORMALIZER\nTEXTURE N = SYSTEM.TNDOTHPOWKLOOKUP\n"
      "TEXTURE S = SYSTEM.TSPOTMASK\nTEXTURE F = SYSTEM.TFRESNELTERMLOOKUP\n";
  struct Case {
    const char* technique;
    DWORD scheme;
    UINT shadowLookup;  // the 256 or the 2048 table
  };
  for (const Case& c : {Case{"GEFORCEFX", ZK_SCHEME_GEFORCEFX, 3}, Case{"GEFORCE3", ZK_SCHEME_GEFORCE3, 2},
                        Case{"GEFORCE4", ZK_SCHEME_GEFORCE4, 2}}) {
    technique = c.technique;
    scheme = c.scheme;
    CShaderPass* pass = Run(body);
    ASSERT_NE(pass, nullptr) << c.technique;
    const auto system = [&](UINT index) {
      return static_cast<void*>(static_cast<CTextureInterface*>(textures.bank->GetSystemTexture(index)));
    };
    EXPECT_EQ(Value(pass, "L").pValue, system(c.shadowLookup)) << c.technique;
    const std::pair<const char*, UINT> fixed[] = {{"K", 1}, {"X", 4}, {"Z", 5}, {"C", 0},
                                                  {"N", 6}, {"S", 7}, {"F", 8}};
    for (const auto& [name, index] : fixed) {
      ASSERT_NE(system(index), nullptr) << name;
      EXPECT_EQ(Value(pass, name).pValue, system(index)) << name;
    }
  }
  renderer.textureStorage = nullptr;
}

TEST_F(ShaderValueSourceTest, ADissolvingMeshDrawsThroughTheDynamicMaterial) {
  CMaterialBank bank(&renderer, &log);
  renderer.materialStorage = &bank;
  surface = new CSurface(&renderer, &log, mesh);
  D3DCOLORVALUE diffuse{0.5f, 0.5f, 0.5f, 0.8f}, specular{0.2f, 0.2f, 0.2f, 1.0f},
      emissive{0, 0, 0, 1};
  CVector4 extra1, extra2;
  ASSERT_EQ(surface->CreateMaterial(&diffuse, &specular, &emissive, &extra1, &extra2, 1), 1u);
  const std::string body = "MATERIAL M = SURFACE.MATERIAL\nVECTOR A = SURFACE.VECAMBIENT\n";

  // Not dissolving: the surface's own material.
  CShaderPass* pass = Run(body);
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(pass->FindVariable("M")->GetMaterial(), surface->GetMaterial(1));

  ASSERT_EQ(mesh->GetEnvDissolve()->SetValue(0.25f), 1u);
  pass = Run(body);
  ASSERT_NE(pass, nullptr);
  CMaterialInterface* dynamic = bank.GetDynamicMaterial();
  ASSERT_EQ(pass->FindVariable("M")->GetMaterial(), dynamic);
  const D3DMATERIAL9& faded = *dynamic->GetD3DMaterial();
  const D3DMATERIAL9& own = *surface->GetMaterial(1)->GetD3DMaterial();
  EXPECT_NEAR(faded.Diffuse.a, own.Diffuse.a * 0.75f, 1e-5f);
  EXPECT_NEAR(faded.Ambient.a, own.Ambient.a * 0.75f, 1e-5f);
  EXPECT_EQ(faded.Diffuse.r, own.Diffuse.r);
  EXPECT_EQ(own.Diffuse.a, 0.8f);  // the shared material is left alone
  EXPECT_NEAR(Vector(pass, "A").w, own.Ambient.a * 0.75f, 1e-5f);
}

TEST_F(ShaderValueSourceTest, LightSpaceProductsComposeInDrawingOrder) {
  AddCamera();
  CLight* light = AddLight(2);
  scene->SetCurrentLight(light);
  CMatrix view = CMatrix::Identity(), projection = CMatrix::Identity(), world = CMatrix::Identity();
  view.SetRotateY(0.3f);
  view.Move(0, 0, 4);
  projection._11 = 2.0f;
  projection._34 = 1.0f;
  projection._44 = 0.0f;
  world.SetMove(3, -1, 2);
  *light->GetViewMatrix() = view;
  *light->GetProjectionMatrix() = projection;
  PlaceMesh(world);
  CShaderPass* pass = Run(
      "MATRIX P = MESH.MTXOBJECT2LIGHTPROJECTION\nMATRIX S = MESH.MTXOBJECT2LIGHTSPACE\n"
      "MATRIX K = LIGHT.MTXCAMERA2SHADOWMASK\nMATRIX M = MESH.MTXOBJECT2LIGHTSPOTMASK\n");
  ASSERT_NE(pass, nullptr);
  ExpectNear(Matrix(pass, "P"), world * view * projection, "object to light projection");
  ExpectNear(Matrix(pass, "S"), world * view, "object to light space");
  CCamera* camera = scene->GetActiveCameraObject();
  CMatrix depth = CMatrix::Identity();
  depth._11 = depth._22 = 0;
  depth._31 = 1;
  ExpectNear(Matrix(pass, "K"), *camera->GetMatrix(camera->GetFrame()) * view * projection * depth,
             "shadow mask");
  // A point on the light's axis lands on the middle of the spot mask.
  CMatrix toObject;
  ASSERT_TRUE((world * view).Inverse(&toObject));
  const CVector3 onAxis = CVector3(0, 0, 5) * toObject;
  const CVector4 mapped = CVector4{onAxis.x, onAxis.y, onAxis.z, 1} * Matrix(pass, "M");
  EXPECT_NEAR(mapped.x / mapped.w, 0.5f, 1e-4f);
  EXPECT_NEAR(mapped.y / mapped.w, 0.5f, 1e-4f);

  // A point light's map is looked up around the light: nothing but the move to it.
  light->SetType(1);
  CMotion* motion = light->GetMotion(5.0f);
  motion->SetNumberOfChannels(3);
  const float keyed[3] = {1, 2, 3};
  for (UINT i = 0; i < 3; ++i)
    motion->GetChannel(i)->AddKeyData(keyed[i], 0, 0, 0, 0, 0, 0, 0, 0, 0);
  CShaderPass* point = Run("MATRIX O = MESH.MTXOBJECT2LIGHTSHADOWMAP\n");
  ASSERT_NE(point, nullptr);
  const CVector3 at = CVector3(1, 2, 3);
  CMatrix toLight = CMatrix::Identity();
  toLight.SetMove(-at.x, -at.y, -at.z);
  ExpectNear(Matrix(point, "O"), world * toLight, "point light");
}

}  // namespace
