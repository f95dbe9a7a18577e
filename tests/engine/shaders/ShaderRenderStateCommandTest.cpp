// SETRENDERSTATE: the state names with the longest match winning, the refused names, every
// value form, keywords or variables, and the values the renderer is given each run.
#include <cstring>

#include "ShaderCommandFixture.h"
#include "shaders/ShaderProgramSetRenderState.h"

namespace {

constexpr char kSender[] = "CShaderProgramSetRenderState::CShaderProgramSetRenderState";
constexpr UINT kRefused = ~0u;

class ShaderRenderStateCommandTest : public ShaderCommandFixture {};

TEST_F(ShaderRenderStateCommandTest, NamesAndValuesCompileToTheirStates) {
  struct Case {
    const char* statement;
    UINT state;  // kRefused when the statement does not compile
    UINT value;
  };
  const Case cases[] = {
      {"SETRENDERSTATE ZENABLE TRUE", 7, 1},
      {"setrenderstate zenable true", 7, 1},
      {"SETRENDERSTATE ZENABLE TRUEST", 7, 1},
      {"SETRENDERSTATE ZENABLE MAYBE", kRefused, 0},
      // The longest name or keyword a word begins with wins.
      {"SETRENDERSTATE SRCBLENDALPHA ONE", 207, 2},
      {"SETRENDERSTATE SRCBLEND SRCALPHASAT", 19, 11},
      {"SETRENDERSTATE SRCBLEND INVDESTCOLOR", 19, 10},
      {"SETRENDERSTATE DESTBLENDALPHA BLENDFACTOR", 208, 14},
      {"SETRENDERSTATE AMBIENTMATERIALSOURCE COLOR2", 147, 2},
      {"SETRENDERSTATE FOGTABLEMODE EXP2", 35, 2},
      {"SETRENDERSTATE FOGTABLEMODE EXP", 35, 1},
      {"SETRENDERSTATE FOGVERTEXMODE LINEAR", 140, 3},
      {"SETRENDERSTATE CLIPPING FALSE", 136, 0},
      {"SETRENDERSTATE FILLMODE WIREFRAME", 8, 2},
      {"SETRENDERSTATE SHADEMODE FLAT", 9, 1},
      {"SETRENDERSTATE CULLMODE CCW", 22, 3},
      {"SETRENDERSTATE CULLMODE CW", 22, 2},
      {"SETRENDERSTATE BLENDOP REVSUBTRACT", 171, 3},
      {"SETRENDERSTATE BLENDOPALPHA MAX", 209, 5},
      {"SETRENDERSTATE ZFUNC LESSEQUAL", 23, 4},
      {"SETRENDERSTATE CCW_STENCILFUNC GREATEREQUAL", 189, 7},
      {"SETRENDERSTATE STENCILPASS INCRSAT", 55, 4},
      {"SETRENDERSTATE STENCILZFAIL DECR", 54, 8},
      {"SETRENDERSTATE CCW_STENCILFAIL REPLACE", 186, 3},
      {"SETRENDERSTATE SEPARATEALPHABLENDENABLE TRUE", 206, 1},
      {"SETRENDERSTATE SCISSORTESTENABLE TRUE", 174, 1},
      {"SETRENDERSTATE VERTEXBLEND TWEENING", 151, 255},
      {"SETRENDERSTATE VERTEXBLEND DISABLE", 151, 0},
      {"SETRENDERSTATE VERTEXBLEND 1WEIGHTS", kRefused, 0},
      // Extra words after the value are not read.
      {"SETRENDERSTATE LIGHTING TRUE FALSE", 137, 1},
      // Colour write masks: every word after the name, unknown ones passed over.
      {"SETRENDERSTATE COLORWRITEENABLE RED GREEN BLUE", 168, 7},
      {"SETRENDERSTATE COLORWRITEENABLE ALPHA RED", 168, 9},
      {"SETRENDERSTATE COLORWRITEENABLE BLUE PURPLE ALPHA", 168, 12},
      {"SETRENDERSTATE COLORWRITEENABLE NULL", 168, 0},
      {"SETRENDERSTATE COLORWRITEENABLE", kRefused, 0},
      // Known names the command refuses, and unknown ones.
      {"SETRENDERSTATE WRAP0 TRUE", kRefused, 0},
      {"SETRENDERSTATE LINEPATTERN TRUE", kRefused, 0},
      {"SETRENDERSTATE POINTSIZE_MAX D", kRefused, 0},
      {"SETRENDERSTATE NORMALORDER D", kRefused, 0},
      {"SETRENDERSTATE SPARKLE TRUE", kRefused, 0},
      {"SETRENDERSTATE ZENABLE", kRefused, 0},
      {"SETRENDERSTATE", kRefused, 0},
      // Immediate numbers are no values: only keywords and variables.
      {"SETRENDERSTATE ALPHAREF 128", kRefused, 0},
      // Blend sources take keywords only; destinations a DWORD variable too.
      {"SETRENDERSTATE SRCBLEND D", kRefused, 0},
      {"SETRENDERSTATE FILLMODE D", kRefused, 0},
      {"SETRENDERSTATE FOGSTART D", kRefused, 0},
      {"SETRENDERSTATE ALPHAREF F", kRefused, 0},
      {"SETRENDERSTATE DESTBLEND F", kRefused, 0},
      {"SETRENDERSTATE STENCILREF NOSUCH", kRefused, 0},
  };
  for (const Case& c : cases) {
    auto command = Expect<CShaderProgramSetRenderState>(c.statement, c.state != kRefused, kSender);
    if (command == nullptr) continue;
    EXPECT_EQ(command->GetState(), c.state) << c.statement;
    EXPECT_EQ(command->GetValue(), c.value) << c.statement;
    EXPECT_EQ(command->GetVariable(), nullptr) << c.statement;
  }
}

TEST_F(ShaderRenderStateCommandTest, VariablesOfTheAskedTypeAreHeldAndReadAtEveryRun) {
  struct Case {
    const char* statement;
    UINT state;
    const char* variable;
  };
  const Case cases[] = {
      {"SETRENDERSTATE ALPHAREF D", 24, "D"},
      {"SETRENDERSTATE DESTBLEND D", 20, "D"},
      {"SETRENDERSTATE DESTBLENDALPHA D", 208, "D"},
      {"SETRENDERSTATE SHADEMODE D", 9, "D"},
      {"SETRENDERSTATE CULLMODE D", 22, "D"},
      {"SETRENDERSTATE FOGSTART F", 36, "F"},
      {"SETRENDERSTATE TWEENFACTOR F", 170, "F"},
  };
  for (const Case& c : cases) {
    auto command = Compiled<CShaderProgramSetRenderState>(c.statement);
    EXPECT_EQ(command->GetState(), c.state) << c.statement;
    EXPECT_EQ(command->GetVariable(), Variables()->FindVariable(c.variable)) << c.statement;
  }

  // One line, the variable changed between runs: each run passes the value of the moment, a
  // float as its bits.
  auto alphaRef = Compiled<CShaderProgramSetRenderState>("SETRENDERSTATE ALPHAREF D");
  auto fogStart = Compiled<CShaderProgramSetRenderState>("SETRENDERSTATE FOGSTART F");
  renderer.renderStates.clear();
  for (UINT value : {128u, 0xFFFFFFFFu}) {
    Value("D").scalar.dwValue = value;
    Value("F").scalar.fValue = static_cast<float>(value) / 256.0f;
    EXPECT_EQ(alphaRef->Execute(), 1u);
    EXPECT_EQ(fogStart->Execute(), 1u);
  }
  const auto bits = [](float f) {
    UINT word;
    std::memcpy(&word, &f, sizeof word);
    return word;
  };
  const std::vector<std::pair<UINT, UINT>> expected = {
      {24, 128}, {36, bits(0.5f)}, {24, 0xFFFFFFFFu}, {36, bits(0xFFFFFFFFu / 256.0f)}};
  EXPECT_EQ(renderer.renderStates, expected);
}

TEST_F(ShaderRenderStateCommandTest, APassSetsItsStatesInOrderFromTheValuesOfTheMoment) {
  CShaderPass* pass = CompilePass(
      "DWORD S = <1>\n"
      "SETRENDERSTATE ALPHAREF S\n"
      "S = <200>\n"
      "SETRENDERSTATE ALPHAREF S\n"
      "SETRENDERSTATE ZENABLE FALSE\n");
  ASSERT_NE(pass, nullptr) << Errors();
  EXPECT_EQ(pass->GetLine(1)->GetType(), 5u);
  EXPECT_EQ(pass->GetLine(1)->GetKind(), static_cast<UINT>(SHADER_LINE_COMMAND));
  EXPECT_EQ(pass->GetLine(1)->GetSkip(), 0);
  for (int run = 0; run < 2; ++run) {
    renderer.renderStates.clear();
    EXPECT_EQ(pass->Execute(), 1u);
    const std::vector<std::pair<UINT, UINT>> expected = {{24, 1}, {24, 200}, {7, 0}};
    EXPECT_EQ(renderer.renderStates, expected) << run;
  }
  // The compile trace names the statement and each value form.
  EXPECT_NE(Infos().find("    - Compile SetRenderState Line: SETRENDERSTATE ZENABLE FALSE\n"
                         "      - Compiling TRUE/FALSE...\n"),
            std::string::npos)
      << Infos();
}

}  // namespace
