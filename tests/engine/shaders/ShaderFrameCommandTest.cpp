// SETTRANSFORM, SETLIGHTENABLE, SETLIGHT, SETMATERIAL, CLEAR, SETDEFAULTSTATES, SETSCISSORRECT
// and LOG on the recording renderer: what each compiles from its statement, what it hands the
// renderer when it runs, the scene it works on, and what it writes to the log.
#include <array>
#include <cstring>
#include <typeinfo>

#include "FakeEngineTexture.h"
#include "FakeSurfaceBanks.h"
#include "ShaderCommandFixture.h"
#include "shaders/ShaderProgramClear.h"
#include "shaders/ShaderProgramLightEnable.h"
#include "shaders/ShaderProgramLog.h"
#include "shaders/ShaderProgramSetDefaultStates.h"
#include "shaders/ShaderProgramSetLight.h"
#include "shaders/ShaderProgramSetMaterial.h"
#include "shaders/ShaderProgramSetRenderState.h"
#include "shaders/ShaderProgramSetSamplerState.h"
#include "shaders/ShaderProgramSetScissorRect.h"
#include "shaders/ShaderProgramSetTexture.h"
#include "shaders/ShaderProgramSetTextureStageState.h"
#include "shaders/ShaderProgramSetTransform.h"

namespace {

class ShaderFrameCommandTest : public ShaderCommandFixture {
 protected:
  // Which of the statements compile, each refusal reported by `sender`.
  template <class Command>
  void ExpectCompiles(const std::vector<std::pair<const char*, bool>>& statements,
                      const char* sender) {
    for (const auto& [statement, compiles] : statements) Expect<Command>(statement, compiles, sender);
  }
  // Lights of these types, their records told apart by their range (the index).
  std::vector<CLight*> AddLights(const std::vector<WORD>& types) {
    std::vector<CLight*> lights;
    for (WORD type : types) {
      lights.push_back(AddLight(type));
      lights.back()->GetD3DLightProperties()->Range = static_cast<float>(lights.size() - 1);
    }
    return lights;
  }
  std::vector<std::pair<UINT, float>> LightsSet() const {
    std::vector<std::pair<UINT, float>> set;
    for (const auto& [index, light] : renderer.lights) set.emplace_back(index, light.Range);
    return set;
  }
};

TEST_F(ShaderFrameCommandTest, EachKeywordMakesItsCommand) {
  CShaderPass* pass = CompilePass(
      "DWORD D = <1>\nMATRIX M = MESH.MTXIDLOOKUP\nMATERIAL MAT = SURFACE.MATERIAL\n"
      "SETRENDERSTATE ZENABLE TRUE\nSETTEXTURE 0 NULL\nSETTEXTURESTAGESTATE 0 COLOROP DISABLE\n"
      "SETSAMPLERSTATE 0 ADDRESSU WRAP\nSETTRANSFORM WORLD M\nSETLIGHTENABLE ALL TRUE\n"
      "SETLIGHT ALL\nSETMATERIAL MAT TRUE\nCLEAR DEPTH\nSETDEFAULTSTATES\n"
      "SETSCISSORRECT DEFAULT\nLOG D\n");
  ASSERT_NE(pass, nullptr) << Errors();
  const struct {
    const std::type_info& type;
    UINT id;
  } expected[] = {
      {typeid(CShaderProgramSetRenderState), 5},  {typeid(CShaderProgramSetTexture), 14},
      {typeid(CShaderProgramSetTextureStageState), 15},
      {typeid(CShaderProgramSetSamplerState), 27}, {typeid(CShaderProgramSetTransform), 7},
      {typeid(CShaderProgramLightEnable), 8},     {typeid(CShaderProgramSetLight), 9},
      {typeid(CShaderProgramSetMaterial), 23},    {typeid(CShaderProgramClear), 17},
      {typeid(CShaderProgramSetDefaultStates), 26}, {typeid(CShaderProgramSetScissorRect), 38},
      {typeid(CShaderProgramLog), 39},
  };
  ASSERT_EQ(pass->GetNumberOfLines(), 3 + std::size(expected));
  for (UINT i = 0; i < std::size(expected); ++i) {
    CShaderLine* line = pass->GetLine(3 + i);
    EXPECT_EQ(typeid(*line), expected[i].type) << i;
    EXPECT_EQ(line->GetType(), expected[i].id) << i;
    EXPECT_EQ(line->GetKind(), static_cast<UINT>(SHADER_LINE_COMMAND)) << i;
  }
}

TEST_F(ShaderFrameCommandTest, SetTransformSetsTheMatrixOfTheMoment) {
  ExpectCompiles<CShaderProgramSetTransform>(
      {{"SETTRANSFORM WORLD M", true}, {"SETTRANSFORM VIEW R", true},
       {"SETTRANSFORM WORLD V", false}, {"SETTRANSFORM WORLD", false},
       {"SETTRANSFORM SCREEN M", false}, {"SETTRANSFORM", false}},
      "CShaderProgramSetTransform::CShaderProgramSetTransform");
  const struct {
    const char* statement;
    UINT state;
  } cases[] = {{"SETTRANSFORM WORLD M", 256},      {"SETTRANSFORM VIEW R", 2},
               {"SETTRANSFORM PROJECTION M", 3},   {"SETTRANSFORM TEXTURE0 R", 16},
               {"SETTRANSFORM TEXTURE7 M", 23}};
  for (const auto& c : cases) EXPECT_EQ(Compiled<CShaderProgramSetTransform>(c.statement)->GetTransform(), c.state);

  auto world = Compiled<CShaderProgramSetTransform>("SETTRANSFORM WORLD M");
  for (float x : {2.0f, -7.0f}) {
    CMatrix matrix = CMatrix::Identity();
    matrix._41 = x;
    std::memcpy(&Value("M").mtxValue, &matrix, sizeof matrix);
    EXPECT_EQ(world->Execute(), 1u);
    EXPECT_EQ(renderer.frameCalls.back(), "SetTransform(256)");
    EXPECT_EQ(renderer.transforms.back()._41, x);
  }
}

TEST_F(ShaderFrameCommandTest, SetLightEnableSwitchesTheSceneLightsTheDeviceKeeps) {
  ExpectCompiles<CShaderProgramLightEnable>(
      {{"SETLIGHTENABLE ALL TRUE", true}, {"SETLIGHTENABLE D FALSE", true},
       {"SETLIGHTENABLE ALL", false}, {"SETLIGHTENABLE ALL MAYBE", false},
       {"SETLIGHTENABLE F TRUE", false}, {"SETLIGHTENABLE", false}},
      "CShaderProgramLightEnable::CShaderProgramLightEnable");
  // Nine lights, one of a type the fixed pipeline does not know.
  AddLights({0, 1, 2, 1, 3, 0, 2, 1, 1});
  auto all = Compiled<CShaderProgramLightEnable>("SETLIGHTENABLE ALL FALSE");
  for (int run = 0; run < 2; ++run) EXPECT_EQ(all->Execute(), 1u);
  const std::vector<std::pair<UINT, UINT>> once = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {5, 0},
                                                   {6, 0}, {7, 0}};
  std::vector<std::pair<UINT, UINT>> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(renderer.lightEnables, twice);
  // The ninth light lies past the renderer's eight enable states: skipped, logged once.
  EXPECT_EQ(Errors(),
            "WARNING!!! - LightEnable::Execute, The Device Keeps 8 Lights, Light 8 Is Skipped\n");

  auto numbered = Compiled<CShaderProgramLightEnable>("SETLIGHTENABLE D TRUE");
  renderer.lightEnables.clear();
  for (DWORD index : {3u, 0x10002u, 8u, 300u}) {
    Value("D").scalar.dwValue = index;
    EXPECT_EQ(numbered->Execute(), 1u);
  }
  EXPECT_EQ(renderer.lightEnables, (std::vector<std::pair<UINT, UINT>>{{3, 1}, {2, 1}}));
}

TEST_F(ShaderFrameCommandTest, SetLightHandsOverTheRecordsOfTheSceneLights) {
  ExpectCompiles<CShaderProgramSetLight>(
      {{"SETLIGHT ALL", true}, {"SETLIGHT CURRENT", true}, {"SETLIGHT D", true},
       {"SETLIGHT F", false}, {"SETLIGHT", false}},
      "CShaderProgramSetEnable::CShaderProgramSetEnable");
  std::vector<CLight*> lights = AddLights({3, 0, 1, 2});
  Compiled<CShaderProgramSetLight>("SETLIGHT ALL")->Execute();
  EXPECT_EQ(LightsSet(), (std::vector<std::pair<UINT, float>>{{1, 1.0f}, {2, 2.0f}, {3, 3.0f}}));

  // The current light goes under its own number, whatever its type.
  auto current = Compiled<CShaderProgramSetLight>("SETLIGHT CURRENT");
  renderer.lights.clear();
  EXPECT_EQ(current->Execute(), 0u);
  EXPECT_EQ(Errors(), "WARNING!!! - Active Light Is Null!!!\n");
  lights[0]->SetNumber(5);
  scene->SetCurrentLight(lights[0]);
  EXPECT_EQ(current->Execute(), 1u);
  EXPECT_EQ(LightsSet(), (std::vector<std::pair<UINT, float>>{{5, 0.0f}}));

  // A number past the scene's lights sets nothing and is logged once.
  auto numbered = Compiled<CShaderProgramSetLight>("SETLIGHT D");
  renderer.lights.clear();
  log.entries.clear();
  for (DWORD index : {2u, 4u, 4u, 0xFFFFFFFFu}) {
    Value("D").scalar.dwValue = index;
    EXPECT_EQ(numbered->Execute(), 1u);
  }
  EXPECT_EQ(LightsSet(), (std::vector<std::pair<UINT, float>>{{2, 2.0f}}));
  EXPECT_EQ(Errors(), "WARNING!!! - SetLight::Execute, The Scene Has No Light 4\n");
}

TEST_F(ShaderFrameCommandTest, LightCommandsWorkOnTheScenesOfTheirTargets) {
  AddLights({0, 1});
  // A scene shader's own scene.
  CShaderPass* pass = CompilePass("SETLIGHTENABLE ALL TRUE\nSETLIGHT ALL\n", scene,
                                  SHADER_TARGET_SCENE);
  ASSERT_NE(pass, nullptr) << Errors();
  EXPECT_EQ(pass->Execute(), 1u);
  EXPECT_EQ(renderer.lightEnables, (std::vector<std::pair<UINT, UINT>>{{0, 1}, {1, 1}}));
  EXPECT_EQ(LightsSet(), (std::vector<std::pair<UINT, float>>{{0, 0.0f}, {1, 1.0f}}));

  // A target of no known kind has no scene: an implementation error and a failed line.
  pass = CompilePass("SETLIGHTENABLE ALL TRUE\nSETLIGHT ALL\nSETSCISSORRECT CURRENT_LIGHT\n",
                     mesh, 4);
  ASSERT_NE(pass, nullptr) << Errors();
  const char* senders[] = {"CShaderProgramLightEnable::Execute", "CShaderProgramSetLight::Execute",
                           "CShaderProgramSetScissorRect::Execute"};
  for (UINT i = 0; i < 3; ++i) {
    log.entries.clear();
    EXPECT_EQ(pass->GetLine(i)->Execute(), 0u);
    EXPECT_EQ(Errors(), Reported(256, senders[i]));
  }
}

TEST_F(ShaderFrameCommandTest, SetMaterialSetsBankMaterialsAndRecordsHeldByValue) {
  ExpectCompiles<CShaderProgramSetMaterial>(
      {{"SETMATERIAL MAT TRUE", true}, {"SETMATERIAL MAT FALSE", true},
       {"SETMATERIAL MAT", false}, {"SETMATERIAL MAT SOMETIMES", false},
       {"SETMATERIAL D TRUE", false}, {"SETMATERIAL", false}},
      "CShaderProgramSetMaterial::CShaderProgramSetMaterial");
  FakeMaterial material;
  FakeMaterialStorage bank;
  renderer.materialStorage = &bank;
  auto loading = Compiled<CShaderProgramSetMaterial>("SETMATERIAL MAT TRUE");
  EXPECT_EQ(loading->GetFlag(), 1u);
  Value("MAT").pValue = static_cast<CMaterialInterface*>(&material);
  EXPECT_EQ(loading->Execute(), 1u);
  EXPECT_EQ(Compiled<CShaderProgramSetMaterial>("SETMATERIAL MAT FALSE")->Execute(), 1u);
  EXPECT_EQ(material.flagsSet, (std::vector<UINT>{1, 0}));
  EXPECT_TRUE(bank.recordsSet.empty());

  // A material record held by the variable goes to the bank as it stands.
  ShaderVariableValue& value = Value("MAT");
  value.dwType = SHADER_VALUE_MATERIAL_VALUE;
  for (int i = 0; i < ShaderVariableValue::kMaterialFloats; ++i) value.fMaterial[i] = 0.5f * i;
  auto held = Compiled<CShaderProgramSetMaterial>("SETMATERIAL MAT TRUE");
  EXPECT_EQ(held->Execute(), 1u);
  ASSERT_EQ(bank.recordsSet.size(), 1u);
  EXPECT_EQ(bank.recordsSet[0].first.Ambient.g, 2.5f);
  EXPECT_EQ(bank.recordsSet[0].first.Power, 8.0f);
  EXPECT_EQ(bank.recordsSet[0].second, 1u);

  // A value that became something else is an implementation error.
  value.dwType = SHADER_VALUE_DWORD;
  EXPECT_EQ(held->Execute(), 0u);
  EXPECT_EQ(Errors(), Reported(256, "CShaderProgramSetMaterial::Execute"));
}

TEST_F(ShaderFrameCommandTest, ClearAndDefaultStates) {
  ExpectCompiles<CShaderProgramClear>(
      {{"CLEAR COLOR", true}, {"CLEAR", false}, {"CLEAR DEPTH ZBUFFER", false}},
      "CShaderProgramClear::CShaderProgramClear");
  const struct {
    const char* statement;
    UINT flags;
  } cases[] = {{"CLEAR DEPTH STENCIL", 6}, {"CLEAR COLOR", 1}, {"CLEAR STENCIL COLOR DEPTH", 7},
               {"CLEAR DEPTH DEPTH", 2}};
  for (const auto& c : cases) {
    renderer.clears.clear();
    EXPECT_EQ(Compiled<CShaderProgramClear>(c.statement)->Execute(), 1u);
    EXPECT_EQ(renderer.clears, (std::vector<std::pair<UINT, UINT>>{{c.flags, 0}})) << c.statement;
  }

  // Whatever follows the keyword is not read.
  auto defaults = Compiled<CShaderProgramSetDefaultStates>("SETDEFAULTSTATES ANYTHING");
  EXPECT_EQ(Infos(), "    - Compiling SetDefaultStates: SETDEFAULTSTATES ANYTHING\n");
  EXPECT_EQ(defaults->Execute(), 1u);
  EXPECT_EQ(renderer.defaultStateRequests, 1);
}

class ShaderScissorTest : public ShaderFrameCommandTest {
 protected:
  ShaderScissorTest() {
    renderer.viewport = &viewport;
    // The camera at the origin looking along z, projecting (x, y, z) to (x / z, y / z).
    camera = AddCamera();
    *camera->GetWorld2CameraMatrix(camera->GetFrame()) = CMatrix::Identity();
    CMatrix projection = CMatrix::Identity();
    projection._34 = 1.0f;
    projection._44 = 0.0f;
    *camera->GetProjectionMatrix() = projection;
  }
  // A point light at `at` whose bounding volume is the cube of half edge 2 around it.
  CLight* PointLight(float x, float y, float z) {
    CLight* light = AddLight(LIGHT_POINT);
    light->FinishLoaded();
    FakeLightBoundVolume& volume = *spatial.volumes.back();
    for (int i = 0; i < 8; ++i)
      volume.points[i] = {i & 1 ? 2.0f : -2.0f, i & 2 ? 2.0f : -2.0f, i & 4 ? 2.0f : -2.0f, 1.0f};
    volume.hasPoints = true;
    CMatrix world = CMatrix::Identity();
    world._41 = x;
    world._42 = y;
    world._43 = z;
    *light->GetMatrix(light->GetFrame()) = world;
    scene->SetCurrentLight(light);
    return light;
  }
  using Rect = std::array<LONG, 4>;
  std::vector<Rect> Rects() const {
    std::vector<Rect> rects;
    for (const RECT& r : renderer.scissorRects) rects.push_back({r.left, r.top, r.right, r.bottom});
    return rects;
  }

  D3DVIEWPORT9 viewport = {10, 20, 640, 480, 0.0f, 1.0f};
  CCamera* camera = nullptr;
};

TEST_F(ShaderScissorTest, CurrentLightScissorsItsScreenArea) {
  ExpectCompiles<CShaderProgramSetScissorRect>(
      {{"SETSCISSORRECT DEFAULT", true}, {"SETSCISSORRECT CURRENT_LIGHT", true},
       {"SETSCISSORRECT", false}, {"SETSCISSORRECT EVERYWHERE", false}},
      "CShaderProgramSetScissorTest::CShaderProgramSetScissorTest");
  auto scissor = Compiled<CShaderProgramSetScissorRect>("SETSCISSORRECT CURRENT_LIGHT");
  EXPECT_EQ(scissor->GetMode(), static_cast<UINT>(CShaderProgramSetScissorRect::kCurrentLight));
  const struct {
    float x, y, z;
    Rect rect;
  } cases[] = {
      // Corners from (-1, -1.5, 8) to (3, 2.5, 12): x / z from -1/8 to 3/8, y / z from -1.5/8
      // to 2.5/8, mapped onto the viewport at (10, 20).
      {1, 0.5f, 10, {290, 185, 450, 305}},
      // Off the left edge: not clipped here, truncated toward zero.
      {-20, 0, 10, {-550, 200, -150, 320}},
      // The camera inside the light's range: corners behind the camera would flip the
      // rectangle, so the whole viewport is lit.
      {0, 0, 1, {10, 20, 650, 500}},
      {0, 0, 2, {10, 20, 650, 500}},
  };
  for (const auto& c : cases) {
    PointLight(c.x, c.y, c.z);
    renderer.scissorRects.clear();
    EXPECT_EQ(scissor->Execute(), 1u);
    EXPECT_EQ(Rects(), std::vector<Rect>{c.rect}) << c.x << " " << c.z;
  }
  EXPECT_EQ(Errors(), "");

  renderer.scissorRects.clear();
  EXPECT_EQ(Compiled<CShaderProgramSetScissorRect>("SETSCISSORRECT DEFAULT")->Execute(), 1u);
  EXPECT_EQ(renderer.scissorResets, 1);
  EXPECT_TRUE(renderer.scissorRects.empty());
}

TEST_F(ShaderScissorTest, WithoutALitAreaTheRectangleStays) {
  auto scissor = Compiled<CShaderProgramSetScissorRect>("SETSCISSORRECT CURRENT_LIGHT");
  const std::string warning =
      "WARNING!!! - SetScissorTest::Execute, there's no active light or active light is a "
      "distant light\n";
  // No current light; a distant light; a point light without a volume; no active camera.
  EXPECT_EQ(scissor->Execute(), 1u);
  CLight* distant = AddLight(LIGHT_DISTANT);
  scene->SetCurrentLight(distant);
  EXPECT_EQ(scissor->Execute(), 1u);
  scene->SetCurrentLight(AddLight(LIGHT_POINT));
  EXPECT_EQ(scissor->Execute(), 1u);
  PointLight(0, 0, 10);
  scene->UnlinkWorldObject(camera);
  camera->Release();
  EXPECT_EQ(scissor->Execute(), 1u);
  EXPECT_TRUE(renderer.scissorRects.empty());
  EXPECT_EQ(Errors(), warning + warning + warning + warning);
}

TEST_F(ShaderFrameCommandTest, LogWritesTheValueByItsType) {
  ExpectCompiles<CShaderProgramLog>({{"LOG X", true}, {"LOG NOSUCH", false}, {"LOG", false}},
                                    "CShaderProgramLog::CShaderProgramLog");
  FakeMaterial material;
  material.block.Diffuse = {0.5f, 0.25f, 0.125f, 0.75f};
  material.block.Specular = {1.0f, 0.5f, 0.0f, 0.5f};
  material.block.Emissive = {0.1f, 0.2f, 0.3f, 0.0f};
  material.additional1 = {1, 2, 3, 4};
  material.additional2 = {5, 6, 7, 8};
  FakeEngineTexture texture;
  texture.fileName = "BRICKS";
  texture.alphaFileName = "BRICKS_ALPHA";
  texture.width = 64;
  texture.height = 32;
  texture.format = D3DFMT_A8R8G8B8;
  CMatrix matrix = CMatrix::Identity();
  matrix._41 = 2.0f;
  std::memcpy(&Value("M").mtxValue, &matrix, sizeof matrix);
  std::memcpy(&Value("R").mtxValue, &matrix, sizeof matrix);
  Value("D").scalar.dwValue = 0xFFFFFFFF;
  Value("F").scalar.fValue = 0.5f;
  Value("V").vecValue = {1, 2, 3, 4};
  Value("MAT").pValue = static_cast<CMaterialInterface*>(&material);
  Value("T").pValue = static_cast<CTextureInterface*>(&texture);

  const std::string matrixRows =
      "1.000000,0.000000,0.000000,0.000000,\n0.000000,1.000000,0.000000,0.000000,\n"
      "0.000000,0.000000,1.000000,0.000000,\n2.000000,0.000000,0.000000,1.000000,\n";
  const std::string materialRecord =
      "Diffuse: 0.500000, 0.250000, 0.125000\nTransparency: 0.750000\n"
      "Specular: 1.000000, 0.500000, 0.000000\nExponent: 60.000000\n"
      "Luminosity: 0.100000, 0.200000, 0.300000\n";
  const struct {
    const char* statement;
    std::string text;
    size_t entries;
  } cases[] = {
      {"LOG M", "A Shader Value (Matrix): M:\n" + matrixRows, 21},
      {"LOG R", "A Shader Value (Matrix): R:\n" + matrixRows, 21},
      {"LOG V", "A Shader Value (Vector): V:\n1.000000, 2.000000, 3.000000, 4.000000\n", 2},
      {"LOG F", "A Shader Value (Float): F:\n0.500000\n", 2},
      {"LOG D", "A Shader Value (Dword): D:\n-1\n", 2},
      {"LOG MAT",
       "A Shader Value (Material): MAT:\n" + materialRecord +
           "Additional Material Vector 1:\n"
           "Diffuse: 1.000000, Specular: 2.000000, Exponent: 3.000000, Reflection: 4.000000\n"
           "Additional Material Vector 2:\n"
           "Translucency: 5.000000, Fresnel Exp: 6.000000, Refraction: 7.000000, Luminosity: "
           "8.000000\n",
       10},
      {"LOG T",
       "A Shader Value (Texture): T:\nName BRICKS:\n"
       "Width: 64, Height: 32, Format: 21, Alpha Channel: TRUE\n",
       3},
      {"LOG L", "", 0},
      {"LOG X", "", 0},
  };
  for (const auto& c : cases) {
    auto command = Compiled<CShaderProgramLog>(c.statement);
    log.entries.clear();
    EXPECT_EQ(command->Execute(), 1u);
    EXPECT_EQ(Infos(), c.text) << c.statement;
    EXPECT_EQ(log.entries.size(), c.entries) << c.statement;
    for (const auto& entry : log.entries) EXPECT_EQ(entry.source, "ExecuteProgram");
  }

  // A material record held by value has only the Direct3D part to show.
  auto held = Compiled<CShaderProgramLog>("LOG MAT");
  ShaderVariableValue& value = Value("MAT");
  value.dwType = SHADER_VALUE_MATERIAL_VALUE;
  std::memcpy(value.fMaterial, &material.block, sizeof material.block);
  log.entries.clear();
  EXPECT_EQ(held->Execute(), 1u);
  EXPECT_EQ(Infos(), "A Shader Value (Material): MAT:\n" + materialRecord);
}

}  // namespace
