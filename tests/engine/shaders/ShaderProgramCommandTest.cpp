// The vertex and pixel program commands as they compile: which file, profile and parameters
// they ask the shader banks for, and which lines they refuse; then what they set when they run.
#include <string>
#include <vector>

#include "FakeEnumerationOwner.h"
#include "RecordingProgramBanks.h"
#include "ShaderFixture.h"
#include "TestScene.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d9.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "shaders/ShaderProgramSetPixelShader.h"
#include "shaders/ShaderProgramSetVertexShader.h"

namespace {

std::string Describe(const std::vector<ShaderParameter>& parameters) {
  std::string text;
  for (const ShaderParameter& p : parameters) {
    if (!text.empty()) text += " ";
    text += std::string(p.szParameterName, strnlen(p.szParameterName, 56)) + "=" +
            std::to_string(p.dwValue);
    if (p.dwDynamicID != 0) text += "/" + std::to_string(p.dwDynamicID);
  }
  return text;
}

class ShaderProgramCommandTest : public ShaderFixture {
 protected:
  ShaderProgramCommandTest() {
    lines = CShaderLineTable();
    renderer.vertexShaderStorage = &vertexBank;
    renderer.pixelShaderStorage = &pixelBank;
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    enumeration = std::make_unique<CD3D9Enumeration>(nullptr, d3d, 0, &owner);
    renderer.enumeration = enumeration.get();
    mesh = new CMesh(&renderer, &log, scene, 0);
    scene->AppendWorldObject(mesh);
    // Two distant lights and a point light: three in all, one of them a point light.
    for (WORD type : {0, 0, 1}) {
      auto* light = new CLight(&renderer, &log, scene);
      scene->AppendWorldObject(light);
      light->SetType(type);
    }
  }
  ~ShaderProgramCommandTest() override {
    scene->Release();
    enumeration.reset();
    d3d->Release();
  }

  // Compiles `line` as the one line of a mesh shader "PerVertex\test.ssh" whose technique is
  // written for `technique` on a device of `device` (both scheme bits), the shader made with
  // parameters of these names (values 0). The pass, or null when the line was refused.
  CShaderPass* CompileLine(const std::string& line, DWORD technique = ZK_SCHEME_GEFORCEFX,
                           DWORD device = ZK_SCHEME_GEFORCEFX,
                           const std::vector<std::string>& names = {}) {
    static const std::pair<DWORD, const char*> kTargets[] = {
        {ZK_SCHEME_GEFORCE2, "GEFORCE2"},     {ZK_SCHEME_GEFORCE4, "GEFORCE4"},
        {ZK_SCHEME_RADEON9700, "RADEON9700"}, {ZK_SCHEME_GEFORCEFX, "GEFORCEFX"},
        {ZK_SCHEME_RADEONX800, "RADEONX800"},
    };
    const char* target = "";
    for (const auto& [scheme, word] : kTargets)
      if (scheme == technique) target = word;
    Library(technique, 0x1FE);
    enumeration->SetSelectedScheme(device);
    log.entries.clear();
    folder.Write("PerVertex/test.ssh", Technique(Pass("MAIN", line + "\n"), target));
    std::vector<ShaderParameter> parameters(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      std::snprintf(parameters[i].szParameterName, 56, "%s", names[i].c_str());
    CShader* shader = library->CreateShader("PerVertex\\test.ssh", mesh, SHADER_TARGET_MESH,
                                            parameters.empty() ? nullptr : parameters.data(),
                                            static_cast<UINT>(parameters.size()));
    return shader != nullptr ? shader->GetPass(0) : nullptr;
  }

  std::vector<std::string> calls;
  RecordingVertexProgramBank vertexBank{calls, "vertex"};
  RecordingPixelProgramBank pixelBank{calls, "pixel"};
  FakeEnumerationOwner owner;
  IDirect3D9* d3d = nullptr;
  std::unique_ptr<CD3D9Enumeration> enumeration;
  TestScene* scene = new TestScene(&renderer, &log);
  CMesh* mesh = nullptr;
};

const char kVertexSender[] = "CShaderProgramSetVertexShader::CShaderProgramSetVertexShader";
const char kPixelSender[] = "CShaderProgramSetPixelShader::CShaderProgramSetPixelShader";

TEST_F(ShaderProgramCommandTest, CompiledLinesAskTheBanksForFileProfileAndParameters) {
  struct Case {
    const char* line;
    DWORD technique, device;
    std::vector<std::string> shaderParameters;
    const char* path;  // null: no program asked for
    const char* profile;
    const char* parameters;
  };
  const DWORD FX = ZK_SCHEME_GEFORCEFX, R97 = ZK_SCHEME_RADEON9700, GF4 = ZK_SCHEME_GEFORCE4;
  const std::vector<std::string> own = {"FRESNEL", "BUMP", "MATERIALTXT"};
  const Case cases[] = {
      // Only HLSL files have a profile word: AUTO is a parameter here.
      {"SETVERTEXSHADER surface.vsh AUTO", FX, FX, {}, "PerVertex\\vsh\\SURFACE.VSH", "", "AUTO=1"},
      {"SETVERTEXSHADER surface.vhl vs_2_0", FX, FX, {}, "PerVertex\\vsh\\SURFACE.VHL", "vs_2_0", ""},
      {"SETVERTEXSHADER SURFACE.VHL AUTO", R97, FX, {}, "PerVertex\\vsh\\SURFACE.VHL", "vs_2_0", ""},
      {"SETVERTEXSHADER SURFACE.VHL AUTO", GF4, FX, {}, "PerVertex\\vsh\\SURFACE.VHL", "vs_1_1", ""},
      {"SETVERTEXSHADER SURFACE.VHL AUTO", FX, FX, {}, "PerVertex\\vsh\\SURFACE.VHL", "vs_2_a", ""},
      // The pixel profile follows the device, whatever the technique.
      {"SETPIXELSHADER SURFACE.PHL AUTO", R97, GF4, {}, "PerVertex\\psh\\SURFACE.PHL", "ps_1_3", ""},
      {"SETPIXELSHADER SURFACE.PHL PS_2_0 BUMP", FX, FX, {}, "PerVertex\\psh\\SURFACE.PHL", "ps_2_0", "BUMP=0"},
      {"SETVERTEXSHADER SURFACE.VHL VS_2_0 BUMP", FX, FX, {}, "PerVertex\\vsh\\SURFACE.VHL", "vs_2_0", "BUMP=1"},
      // Light counts compare over the keyword's length and take the scene's counts.
      {"SETVERTEXSHADER A.VSH NUM_LIGHTSX NUM_POINT NUM_SPOT NUM_DIRECTIONAL", FX, FX, {},
       "PerVertex\\vsh\\A.VSH", "", "NUM_LIGHTSX=3/4 NUM_POINT=1/2 NUM_SPOT=0/1 NUM_DIRECTIONAL=2/3"},
      {"SETPIXELSHADER A.PSH NUM_LIGHTS", FX, FX, {}, "PerVertex\\psh\\A.PSH", "", "NUM_LIGHTS=3/4"},
      // DEFAULT (and DEFAULTS) stands for the shader's own parameters; the vertex command drops
      // FRESNEL and MATERIALTXT above RADEON8500, the pixel command never does.
      {"SETVERTEXSHADER A.VSH X DEFAULTS Y", GF4, FX, own, "PerVertex\\vsh\\A.VSH", "",
       "X=1 Y=1 FRESNEL=0 BUMP=0 MATERIALTXT=0"},
      {"SETVERTEXSHADER A.VSH X DEFAULT Y", R97, FX, own, "PerVertex\\vsh\\A.VSH", "", "X=1 Y=1 BUMP=0"},
      {"SETPIXELSHADER A.PSH X DEFAULT", R97, FX, own, "PerVertex\\psh\\A.PSH", "",
       "X=0 FRESNEL=0 BUMP=0 MATERIALTXT=0"},
      {"SETVERTEXSHADER A.VSH DEFAULT", FX, FX, {}, "PerVertex\\vsh\\A.VSH", "", ""},
      // The longest name the field holds; NULL asks for nothing.
      {"SETVERTEXSHADER A.VSH N234567890123456789012345678901234567890123456789012345", FX, FX, {},
       "PerVertex\\vsh\\A.VSH", "", "N234567890123456789012345678901234567890123456789012345=1"},
      {"SETVERTEXSHADER NULL", FX, FX, {}, nullptr, "", ""},
      {"SETPIXELSHADER NULLIFIED.PSH", FX, FX, {}, nullptr, "", ""},
  };
  for (const Case& c : cases) {
    vertexBank.requests.clear();
    pixelBank.requests.clear();
    CShaderPass* pass = CompileLine(c.line, c.technique, c.device, c.shaderParameters);
    ASSERT_NE(pass, nullptr) << c.line << Errors();
    std::vector<ProgramRequest>& requests =
        std::string(c.line).find("SETPIXEL") == 0 ? pixelBank.requests : vertexBank.requests;
    if (c.path == nullptr) {
      EXPECT_TRUE(vertexBank.requests.empty() && pixelBank.requests.empty()) << c.line;
      auto* program = dynamic_cast<CShaderProgramFileLine*>(pass->GetLine(0));
      ASSERT_NE(program, nullptr);
      EXPECT_STREQ(program->GetProgramFileName(), "NULL") << c.line;
      continue;
    }
    ASSERT_EQ(requests.size(), 1u) << c.line;
    EXPECT_EQ(requests[0].path, c.path) << c.line;
    EXPECT_EQ(requests[0].profile, c.profile) << c.line;
    EXPECT_EQ(Describe(requests[0].parameters), c.parameters) << c.line;
  }
}

TEST_F(ShaderProgramCommandTest, RefusedLinesReportTheirErrorAndFailThePass) {
  struct Case {
    const char* line;
    DWORD technique, device;
    UINT code;
    std::string sender;
  };
  const DWORD FX = ZK_SCHEME_GEFORCEFX;
  const std::string longName(253, 'N');  // with ".VSH" one past the field
  std::string seventeen = "SETVERTEXSHADER A.VSH";
  for (int i = 0; i < 17; ++i) seventeen += " P" + std::to_string(i);
  const Case cases[] = {
      {"SETVERTEXSHADER", FX, FX, 27, kVertexSender},
      {"SETPIXELSHADER", FX, FX, 27, kPixelSender},
      {"SETVERTEXSHADER SURFACE.VHL VS20", FX, FX, 27, std::string(kVertexSender) + " (2)"},
      {"SETPIXELSHADER SURFACE.PHL PS20", FX, FX, 27, kPixelSender},
      {"SETVERTEXSHADER SURFACE.VHL AUTO", ZK_SCHEME_RADEONX800, FX, 36, kVertexSender},
      {"SETPIXELSHADER SURFACE.PHL AUTO", FX, ZK_SCHEME_GEFORCE2, 36, kPixelSender},
      {"SETVERTEXSHADER SURFACE.TXT", FX, FX, 30, kVertexSender},
      {"SETPIXELSHADER SURFACE.VSH", FX, FX, 28, kPixelSender},
      // The fixed fields: 16 parameters, names of 55 characters, file names of 255.
      {seventeen.c_str(), FX, FX, 27, kVertexSender},
      {"SETPIXELSHADER A.PSH N2345678901234567890123456789012345678901234567890123456", FX, FX,
       27, kPixelSender},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompileLine(c.line, c.technique, c.device), nullptr) << c.line;
    EXPECT_NE(Errors().find(Reported(c.code, c.sender.c_str())), std::string::npos)
        << c.line << "\n" << Errors();
  }
  EXPECT_EQ(CompileLine("SETVERTEXSHADER " + longName + ".VSH"), nullptr);
  EXPECT_NE(Errors().find(Reported(27, kVertexSender)), std::string::npos) << Errors();

  vertexBank.failures = 1;
  EXPECT_EQ(CompileLine("SETVERTEXSHADER A.VSH"), nullptr);
  EXPECT_NE(Errors().find(Reported(31, kVertexSender)), std::string::npos) << Errors();
  pixelBank.failures = 1;
  EXPECT_EQ(CompileLine("SETPIXELSHADER A.PSH"), nullptr);
  EXPECT_NE(Errors().find(Reported(29, kPixelSender)), std::string::npos) << Errors();
}

TEST_F(ShaderProgramCommandTest, RunningWithoutAVertexDeclarationFailsBeforeAnythingIsSet) {
  CShaderPass* pass = CompileLine("SETVERTEXSHADER NULL");
  ASSERT_NE(pass, nullptr) << Errors();
  EXPECT_EQ(pass->GetLine(0)->Execute(), 0u);
  EXPECT_NE(Errors().find("ERROR!!! - Pass: MAIN Does Not Have Vertex Declaration\n"),
            std::string::npos)
      << Errors();
  EXPECT_TRUE(calls.empty());

  // A pixel program needs no declaration.
  pass = CompileLine("SETPIXELSHADER NULL");
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(pass->GetLine(0)->Execute(), 1u);
  pass = CompileLine("SETPIXELSHADER A.PSH");
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(pass->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(calls, (std::vector<std::string>{"pixel null", "pixel PerVertex\\psh\\A.PSH"}));
}

TEST_F(ShaderProgramCommandTest, ThePixelLightCountsFollowTheActiveCameraAndKeepTheProgramWithoutOne) {
  CShaderPass* pass = CompileLine("SETPIXELSHADER A.PSH NUM_POINT");
  ASSERT_NE(pass, nullptr) << Errors();
  // No camera: the program compiled for the scene's counts stays set, logged once.
  EXPECT_EQ(pass->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(pass->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(calls, (std::vector<std::string>{"pixel PerVertex\\psh\\A.PSH",
                                             "pixel PerVertex\\psh\\A.PSH"}));
  const std::string warning =
      "WARNING!!! - Can't Count Visible Lights For A.PSH, Active Camera Is Null\n";
  const std::string errors = Errors();
  EXPECT_NE(errors.find(warning), std::string::npos) << errors;
  EXPECT_EQ(errors.find(warning), errors.rfind(warning));
  EXPECT_EQ(pixelBank.requests.size(), 1u);

  // The camera sees no point light (it has no bound volume): the bank is asked for 0 points,
  // and when it gives none the command reports and behaves as NULL afterwards.
  auto* camera = new CCamera(&renderer, &log, scene);
  scene->AppendWorldObject(camera);
  scene->RebuildCameraArray();
  scene->SetActiveCamera(0);
  camera->CollectVisibleLights(0.0f);
  pixelBank.failures = 1;
  calls.clear();
  EXPECT_EQ(pass->GetLine(0)->Execute(), 0u);
  ASSERT_EQ(pixelBank.requests.size(), 2u);
  EXPECT_EQ(Describe(pixelBank.requests[1].parameters), "NUM_POINT=0/2");
  EXPECT_NE(Errors().find(Reported(29, "CShaderProgramSetPixelShader::Execute")), std::string::npos);
  EXPECT_EQ(pass->GetLine(0)->Execute(), 1u);
  EXPECT_EQ(calls, std::vector<std::string>{"pixel null"});
}

}  // namespace
