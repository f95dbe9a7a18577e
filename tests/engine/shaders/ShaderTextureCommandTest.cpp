// SETTEXTURE, SETTEXTURESTAGESTATE and SETSAMPLERSTATE on the recording renderer: stage
// numbers, the state tables with their value forms, variables read at every run against
// copies taken when the line compiles, and the DEFAULT filters of each filtering level.
#include "FakeEngineTexture.h"
#include "RecordingPassRenderer.h"
#include "ShaderCommandFixture.h"
#include "d3d/DeviceSettings.h"
#include "shaders/ShaderProgramSetSamplerState.h"
#include "shaders/ShaderProgramSetTexture.h"
#include "shaders/ShaderProgramSetTextureStageState.h"

namespace {

constexpr UINT kRefused = ~0u;

class ShaderTextureCommandTest : public ShaderCommandFixture {};

TEST_F(ShaderTextureCommandTest, StageStatesCompileToTheirStatesAndValues) {
  struct Case {
    const char* statement;
    UINT stage;  // kRefused when the statement does not compile
    UINT state;
    UINT value;
  };
  const Case cases[] = {
      {"SETTEXTURESTAGESTATE 0 COLOROP MODULATE2X", 0, 1, 5},
      {"SETTEXTURESTAGESTATE 0 COLOROP MODULATE", 0, 1, 4},
      {"SETTEXTURESTAGESTATE 0 COLOROP ADDSIGNED2X", 0, 1, 9},
      {"SETTEXTURESTAGESTATE 3 ALPHAOP BLENDTEXTUREALPHAPM", 3, 4, 15},
      {"SETTEXTURESTAGESTATE 1 ALPHAOP MODULATEINVCOLOR_ADDALPHA", 1, 4, 21},
      {"SETTEXTURESTAGESTATE 2 COLOROP BUMPENVMAPLUMINANCE", 2, 1, 23},
      {"SETTEXTURESTAGESTATE 0 COLORARG1 TEXTURE ALPHAREPLICATE", 0, 2, 0x22},
      {"SETTEXTURESTAGESTATE 0 COLORARG2 DIFFUSE COMPLEMENT", 0, 3, 0x10},
      {"SETTEXTURESTAGESTATE 0 COLORARG0 SELECTMASK", 0, 26, 15},
      {"SETTEXTURESTAGESTATE 0 ALPHAARG0 TFACTOR", 0, 27, 3},
      {"SETTEXTURESTAGESTATE 0 RESULTARG TEMP", 0, 28, 5},
      {"SETTEXTURESTAGESTATE 15 ALPHAARG2 SPECULAR", 15, 6, 4},
      // The bar is a word of its own, and only one modifier is read.
      {"SETTEXTURESTAGESTATE 0 COLORARG1 TEXTURE | ALPHAREPLICATE", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE 0 COLORARG1 TEXTURE ALPHAREPLICATE COMPLEMENT", 0, 2, 0x22},
      {"SETTEXTURESTAGESTATE 0 COLORARG1 NOTHING", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE 0 TEXTURETRANSFORMFLAGS COUNT2 PROJECTED", 0, 24, 0x102},
      {"SETTEXTURESTAGESTATE 0 TEXTURETRANSFORMFLAGS DISABLE", 0, 24, 0},
      {"SETTEXTURESTAGESTATE 0 TEXTURETRANSFORMFLAGS COUNT3 SIDEWAYS", 0, 24, 3},
      {"SETTEXTURESTAGESTATE 0 TEXCOORDINDEX 1 CAMERASPACEPOSITION", 0, 11, 0x20001},
      {"SETTEXTURESTAGESTATE 0 TEXCOORDINDEX CAMERASPACEREFLECTIONVECTOR 2", 0, 11, 0x30002},
      {"SETTEXTURESTAGESTATE 0 TEXCOORDINDEX PASSTHRU", 0, 11, 0},
      // A word that is not a number counts as 0.
      {"SETTEXTURESTAGESTATE X COLOROP DISABLE", 0, 1, 1},
      {"SETTEXTURESTAGESTATE 0 BUMPENVMAT00 X", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE 0 BUMPENVLOFFSET X", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE 0 CONSTANT X", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE 0 COLOROP", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE 0", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE", kRefused, 0, 0},
      // The renderer caches 16 stages.
      {"SETTEXTURESTAGESTATE 16 COLOROP DISABLE", kRefused, 0, 0},
      {"SETTEXTURESTAGESTATE 4294967296 COLOROP DISABLE", kRefused, 0, 0},
      // An operation that is no keyword names a DWORD variable.
      {"SETTEXTURESTAGESTATE 0 COLOROP F", kRefused, 0, 0},
  };
  for (const Case& c : cases) {
    auto command = Expect<CShaderProgramSetTextureStageState>(
        c.statement, c.stage != kRefused,
        "CShaderProgramSetTextureStageState::CShaderProgramSetTextureStageState");
    if (command == nullptr) continue;
    renderer.stageStates.clear();
    EXPECT_EQ(command->Execute(), 1u);
    const std::vector<std::array<UINT, 3>> expected = {{c.stage, c.state, c.value}};
    EXPECT_EQ(renderer.stageStates, expected) << c.statement;
  }
}

TEST_F(ShaderTextureCommandTest, AnOperationVariableIsReadAtEveryRunASamplerVariableOnce) {
  auto operation = Compiled<CShaderProgramSetTextureStageState>("SETTEXTURESTAGESTATE 2 COLOROP D");
  auto anisotropy = Compiled<CShaderProgramSetSamplerState>("SETSAMPLERSTATE 1 MAXANISOTROPY D");
  auto bias = Compiled<CShaderProgramSetSamplerState>("SETSAMPLERSTATE 1 MIPMAPLODBIAS F");
  // What the declarations say the variables hold, though their lines have not run yet.
  EXPECT_EQ(anisotropy->GetValue(), 5u);
  EXPECT_EQ(bias->GetValue(), 0x3F000000u);  // 0.5
  for (DWORD value : {7u, 12u}) {
    Value("D").scalar.dwValue = value;
    Value("F").scalar.fValue = 2.0f;
    renderer.stageStates.clear();
    renderer.samplerStates.clear();
    operation->Execute();
    anisotropy->Execute();
    bias->Execute();
    EXPECT_EQ(renderer.stageStates, (std::vector<std::array<UINT, 3>>{{2, 1, value}}));
    EXPECT_EQ(renderer.samplerStates,
              (std::vector<std::array<UINT, 3>>{{1, 10, 5}, {1, 8, 0x3F000000u}}));
  }
}

TEST_F(ShaderTextureCommandTest, SamplerStatesCompileToTheirStatesAndValues) {
  struct Case {
    const char* statement;
    UINT sampler;  // kRefused when the statement does not compile
    UINT state;
    UINT value;
  };
  const Case cases[] = {
      {"SETSAMPLERSTATE 0 ADDRESSU MIRRORONCE", 0, 1, 5},
      {"SETSAMPLERSTATE 0 ADDRESSV MIRROR", 0, 2, 2},
      {"SETSAMPLERSTATE 7 ADDRESSW BORDER", 7, 3, 4},
      {"SETSAMPLERSTATE 0 ADDRESSU SPIRAL", kRefused, 0, 0},
      {"SETSAMPLERSTATE 0 MIPFILTER LINEAR", 0, 7, 2},
      {"SETSAMPLERSTATE 0 MINFILTER GAUSSIANQUAD", 0, 6, 7},
      {"SETSAMPLERSTATE 0 MAGFILTER PYRAMIDALQUAD", 0, 5, 6},
      {"SETSAMPLERSTATE 0 MAGFILTER NONE", 0, 5, 0},
      // DEFAULT is the device's filter for minifying and magnifying, else a variable's name.
      {"SETSAMPLERSTATE 0 MINFILTER DEFAULT", 0, 6, CShaderProgramSetSamplerState::kDefaultFilter},
      {"SETSAMPLERSTATE 0 MIPFILTER DEFAULT", 0, 7, 7},
      {"SETSAMPLERSTATE 0 MIPFILTER D", 0, 7, 5},
      {"SETSAMPLERSTATE 0 MIPFILTER F", kRefused, 0, 0},
      {"SETSAMPLERSTATE 0 BORDERCOLOR D", 0, 4, 5},
      {"SETSAMPLERSTATE 2 MAXMIPLEVEL D", 2, 9, 5},
      {"SETSAMPLERSTATE 0 SRGBTEXTURE D", 0, 11, 5},
      {"SETSAMPLERSTATE 0 ELEMENTINDEX D", 0, 12, 5},
      {"SETSAMPLERSTATE 0 DMAPOFFSET D", 0, 13, 5},
      {"SETSAMPLERSTATE 0 BORDERCOLOR F", kRefused, 0, 0},
      {"SETSAMPLERSTATE 0 MIPMAPLODBIAS D", kRefused, 0, 0},
      {"SETSAMPLERSTATE 0 MAXANISOTROPY 4", kRefused, 0, 0},
      {"SETSAMPLERSTATE 0 SHARPNESS D", kRefused, 0, 0},
      {"SETSAMPLERSTATE 0 ADDRESSU", kRefused, 0, 0},
      {"SETSAMPLERSTATE 16 ADDRESSU WRAP", kRefused, 0, 0},
      {"SETSAMPLERSTATE", kRefused, 0, 0},
  };
  for (const Case& c : cases) {
    auto command = Expect<CShaderProgramSetSamplerState>(
        c.statement, c.sampler != kRefused,
        "CShaderProgramSetSamplerState::CShaderProgramSetSamplerState");
    if (command == nullptr) continue;
    EXPECT_EQ(command->GetSampler(), c.sampler) << c.statement;
    EXPECT_EQ(command->GetState(), c.state) << c.statement;
    EXPECT_EQ(command->GetValue(), c.value) << c.statement;
  }
}

TEST_F(ShaderTextureCommandTest, DefaultFiltersFollowTheFilteringLevelOfTheMoment) {
  auto minify = Compiled<CShaderProgramSetSamplerState>("SETSAMPLERSTATE 3 MINFILTER DEFAULT");
  auto magnify = Compiled<CShaderProgramSetSamplerState>("SETSAMPLERSTATE 3 MAGFILTER DEFAULT");
  DeviceSettings settings{};
  renderer.settings = &settings;
  struct Case {
    WORD level;
    UINT filter;
  };
  for (const Case& c : {Case{0, 1}, Case{1, 2}, Case{2, 2}, Case{3, 3}, Case{4, 1}}) {
    settings.wTextureFilter = c.level;
    renderer.samplerStates.clear();
    EXPECT_EQ(minify->Execute(), 1u);
    EXPECT_EQ(magnify->Execute(), 1u);
    EXPECT_EQ(renderer.samplerStates,
              (std::vector<std::array<UINT, 3>>{{3, 6, c.filter}, {3, 5, c.filter}}))
        << c.level;
  }
  // Without a device the settings are not there yet: point filtering.
  renderer.settings = nullptr;
  renderer.samplerStates.clear();
  minify->Execute();
  EXPECT_EQ(renderer.samplerStates, (std::vector<std::array<UINT, 3>>{{3, 6, 1}}));
}

TEST_F(ShaderTextureCommandTest, SetTextureTakesTexturesRenderTargetsOrNull) {
  struct Case {
    const char* statement;
    bool compiles;
    UINT stage;
  };
  const Case cases[] = {
      {"SETTEXTURE 0 NULL", true, 0},
      {"SETTEXTURE 1 T", true, 1},
      {"SETTEXTURE 15 Q", true, 15},
      {"SETTEXTURE 2 C", true, 2},
      // The four vertex-texture samplers are not cached, so they may be named.
      {"SETTEXTURE 257 T", true, 257},
      {"SETTEXTURE 260 NULL", true, 260},
      {"SETTEXTURE 16 T", false, 0},
      {"SETTEXTURE 256 T", false, 0},
      {"SETTEXTURE 261 T", false, 0},
      {"SETTEXTURE 0 MAT", false, 0},
      {"SETTEXTURE 0 D", false, 0},
      {"SETTEXTURE 0 NOSUCH", false, 0},
      {"SETTEXTURE 0", false, 0},
      {"SETTEXTURE", false, 0},
  };
  for (const Case& c : cases) {
    auto command = Expect<CShaderProgramSetTexture>(
        c.statement, c.compiles, "CShaderProgramSetTexture::CShaderProgramSetTexture");
    if (command != nullptr) {
      EXPECT_EQ(command->GetStage(), c.stage) << c.statement;
    }
  }
}

TEST_F(ShaderTextureCommandTest, SetTextureBindsByTheVariablesTypeOfTheMoment) {
  RecordingPassRenderer bank;
  renderer.textureStorage = &bank;
  FakeEngineTexture texture;
  auto cleared = Compiled<CShaderProgramSetTexture>("SETTEXTURE 0 NULL");
  auto bound = Compiled<CShaderProgramSetTexture>("SETTEXTURE 1 T");
  auto square = Compiled<CShaderProgramSetTexture>("SETTEXTURE 2 Q");

  cleared->Execute();
  Value("T").pValue = static_cast<CTextureInterface*>(&texture);
  bound->Execute();
  // No texture in the value, or a target that is none of the bank's colour targets: nothing.
  Value("T").pValue = nullptr;
  bound->Execute();
  square->Execute();
  EXPECT_EQ(bank.calls, (std::vector<std::string>{"no texture 0", "no texture 1", "no texture 2"}));
  EXPECT_EQ(texture.stagesSet, (std::vector<WORD>{1}));

  // A value that became another type is logged and sets nothing.
  Value("T").dwType = SHADER_VALUE_DWORD;
  bank.calls.clear();
  EXPECT_EQ(bound->Execute(), 1u);
  EXPECT_TRUE(bank.calls.empty());
  EXPECT_EQ(Errors(), "WARNING!!! - Resource Aint A Texture (T)\n");
}

}  // namespace
