// The vertex and pixel program commands as they compile: which file, profile and parameters
// they ask the shader banks for, and which lines they refuse; then what they set when they run.
#include <string>
#include <vector>

#include "RealBanksBench.h"
#include "ShaderProgramCommandFixture.h"
#include "d3d/VertexDeclarationBankInterface.h"
#include "d3d/VertexShaderBank.h"
#include "core/Tokenizer.h"
#include "shaders/ShaderProgramSetPixelShader.h"
#include "shaders/ShaderProgramSetVertexShader.h"

namespace {

class ShaderProgramCommandTest : public ShaderProgramCommandFixture {
 protected:
  // Two distant lights and a point light: three in all, one of them a point light.
  ShaderProgramCommandTest() {
    for (WORD type : {0, 0, 1}) AddLight(type);
  }
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
  // A shader file's lines are too short for such a name; a line given straight to the
  // command is not.
  CShaderPass* pass = CompileLine("SETVERTEXSHADER NULL");
  ASSERT_NE(pass, nullptr);
  std::string text = "SETVERTEXSHADER " + longName + ".VSH";
  library->GetTokenizer()->Tokenize(text.data(), CTokenizer::kCaseUpper);
  UINT success = 1;
  const ShaderLineArguments arguments = {pass, &renderer, &log, nullptr, text.data(), 1, &success};
  CShaderProgramSetVertexShader refused(arguments);
  EXPECT_EQ(success, 0u);
  EXPECT_NE(Errors().find(Reported(27, kVertexSender)), std::string::npos) << Errors();
  EXPECT_TRUE(vertexBank.requests.empty());

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
  AddCamera();
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

namespace {

// The light counts against the real vertex-shader bank on the null back end: a program is
// compiled once for each combination of counts, and a combination seen before is reused.
TEST_F(ShaderProgramCommandTest, LightCountsThatComeBackReuseTheBanksProgram) {
  RealBanksBench banks(ZK_D3D_BACKEND_NULL);
  auto* declarations = dynamic_cast<CVertexDeclarationBankInterface*>(
      banks.Renderer().GetVertexDeclarationStorageInterface());
  ASSERT_NE(declarations, nullptr);
  CVertexShaderBank programs(declarations, &banks.Renderer(), &log, folder.Path().c_str());
  renderer.vertexShaderStorage = &programs;
  renderer.vertexDeclarationStorage = declarations;
  folder.Write("PerVertex/vsh/A.VSH", "vs_1_1\ndcl_position v0\nmov oPos, v0\n");

  const size_t before = ZkTestD3DCountCalls("CreateVertexShader");
  CShaderPass* pass = CompileLine(
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0>\nSETVERTEXDECLARATION D\n"
      "SETVERTEXSHADER A.VSH NUM_LIGHTS");
  ASSERT_NE(pass, nullptr) << Errors();
  auto* command = dynamic_cast<CShaderProgramSetVertexShader*>(pass->GetLine(2));
  ASSERT_NE(command, nullptr);
  CVertexShaderInterface* compiledForTheScene = command->GetShader();
  EXPECT_EQ(compiledForTheScene->GetShaderParameter(0)->dwValue, 3u);

  // The camera sees the two distant lights, not the point light: a second program.
  CCamera* camera = AddCamera();
  ASSERT_EQ(camera->GetNumberOfVisibleLights(), 2u);
  EXPECT_EQ(pass->Execute(), 1u) << Errors();
  CVertexShaderInterface* compiledForTwo = command->GetShader();
  EXPECT_NE(compiledForTwo, compiledForTheScene);
  EXPECT_EQ(compiledForTwo->GetShaderParameter(0)->dwValue, 2u);

  // Three visible again: the first program back from the bank, nothing compiled.
  for (UINT i = 0; i < scene->GetNumberOfLights(); ++i)
    dynamic_cast<CLight*>(scene->GetLightObject(i))->SetType(0);
  camera->ClearVisibleLights();
  camera->CollectVisibleLights(0.0f);
  EXPECT_EQ(pass->Execute(), 1u) << Errors();
  EXPECT_EQ(command->GetShader(), compiledForTheScene);
  EXPECT_EQ(ZkTestD3DCountCalls("CreateVertexShader") - before, 2u);
  renderer.vertexShaderStorage = &vertexBank;
  renderer.vertexDeclarationStorage = nullptr;
  library.reset();
}

}  // namespace
