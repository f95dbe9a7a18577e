// Compiling passes: name and flags, the lines that are not compiled, conditional blocks, the
// choice of line class by the first word, block ends, the variable table, and what the shader
// collects from its passes.
#include <cstdio>

#include "ShaderFixture.h"

namespace {

using Texts = std::vector<std::string>;

class ShaderPassTest : public ShaderFixture {};

TEST_F(ShaderPassTest, NameAndFlags) {
  struct Case {
    const char* head;
    UINT targetKind;
    UINT passKind;
    UINT callMode;
  };
  const Case cases[] = {
      {"MAIN IMPLEMENTS AMBIENTPASS CALLABLE", SHADER_TARGET_MESH, 4, 1},
      {"MAIN IMPLEMENTS AMBIENTPASS CALLABLE", SHADER_TARGET_SCENE, 4, 2},
      {"MAIN ONLYCALLABLE", SHADER_TARGET_SCENE, 1, 3},
      {"MAIN ONLYCALLABLE", SHADER_TARGET_SURFACE, 1, 1},
      {"main implements dynamicshadowvolume", SHADER_TARGET_MESH, 5, 1},
      {"MAIN IMPLEMENTS STATICSHADOWVOLUME", SHADER_TARGET_MESH, 6, 1},
      {"MAIN IMPLEMENTS SOMETHING AMBIENTPASS", SHADER_TARGET_MESH, 1, 1},
      {"MAIN CALLABLES AMBIENTPASS", SHADER_TARGET_SCENE, 1, 1},
  };
  for (const Case& c : cases) {
    Library();
    CShader* shader = CompileTechnique(Pass(c.head, "RENDER\n"), c.targetKind);
    ASSERT_NE(shader, nullptr) << c.head;
    CShaderPass* pass = shader->GetPass(0);
    EXPECT_STREQ(pass->GetName(), "MAIN") << c.head;
    EXPECT_EQ(pass->GetPassKind(), c.passKind) << c.head;
    EXPECT_EQ(pass->GetCallMode(), c.callMode) << c.head;
  }
}

TEST_F(ShaderPassTest, APassWithoutANameFailsItsShaderWithTheWholeChainOfReports) {
  EXPECT_EQ(CompileTechnique("BEGINPASS\nRENDER\nENDPASS\n"), nullptr);
  EXPECT_EQ(Errors(), Reported(7, "CShaderPass") + Reported(5, "CShader") +
                          Reported(6, "CreateShader"));
  EXPECT_EQ(library->GetNumberOfShaders(), 0u);
}

TEST_F(ShaderPassTest, CommentsBlankLinesAndRemarkDirectivesAreNotCompiled) {
  CShader* shader = CompileTechnique(Pass("MAIN", "; a remark\n// another\n\\\\ and one more\n"
                                                  "\n   \t\nRENDER A\n# REMARK RENDER B\n"
                                                  "# ENDIF\nRENDER C\n") +
                                     Pass("EMPTY", "; nothing\n\n"));
  ASSERT_NE(shader, nullptr) << Errors();
  EXPECT_EQ(LineTexts(shader->GetPass(0)), (Texts{"RENDER A", "RENDER C"}));
  EXPECT_EQ(shader->GetPass(1)->GetNumberOfLines(), 0u);
  EXPECT_NE(Infos().find("    - Compiling Pass: MAIN\n    - 2 Lines\n"
                         "    - Compiling Pass: EMPTY\n    - 0 Lines\n"),
            std::string::npos)
      << Infos();
}

TEST_F(ShaderPassTest, DirectivesKeepOrDropTheirBlocksByTheShadersParameters) {
  struct Case {
    const char* body;
    Texts kept;
  };
  const Case cases[] = {
      {"# IFDEF LIGHTMAP BUMP\nRENDER IN\n# ENDIF\nRENDER AFTER\n", {"RENDER IN", "RENDER AFTER"}},
      {"# IFDEF LIGHTMAP GLOSS\nRENDER IN\n# ENDIF\nRENDER AFTER\n", {"RENDER AFTER"}},
      {"# IFNDEF GLOSS\nRENDER IN\n# ENDIF\n", {"RENDER IN"}},
      {"# IFNDEF GLOSS BUMP\nRENDER IN\n# ENDIF\n", {}},
      // Parameter names match the words that begin with them.
      {"#IFDEF LIGHTMAPS\nRENDER IN\n#ENDIF\n", {"RENDER IN"}},
      // A dropped block drops what it nests; only the second word counts while skipping.
      {"# IFDEF GLOSS\nRENDER A\n# IFDEF BUMP\nRENDER B\nX IFNDEF Y\n# ENDIF\nRENDER C\n"
       "Z ENDIF\n# ENDIF\nRENDER AFTER\n",
       {"RENDER AFTER"}},
      {"# IFDEF BUMP\n# IFDEF GLOSS\nRENDER B\n# ENDIF\nRENDER A\n# ENDIF\n", {"RENDER A"}},
      // A dropped block hides an ENDPASS inside it.
      {"# IFDEF GLOSS\nENDPASS\n# ENDIF\nRENDER AFTER\n", {"RENDER AFTER"}},
  };
  for (const Case& c : cases) {
    Library();
    CShader* shader =
        CompileTechnique(Pass("MAIN", c.body), SHADER_TARGET_MESH, {"LIGHTMAP", "BUMP"});
    ASSERT_NE(shader, nullptr) << c.body << Errors();
    EXPECT_EQ(LineTexts(shader->GetPass(0)), c.kept) << c.body;
  }
}

TEST_F(ShaderPassTest, AFileThatEndsInsideABlockFails) {
  struct Case {
    const char* name;
    std::string file;
    std::string errors;
  };
  const Case cases[] = {
      {"false directive without ENDIF",
       Technique(Pass("MAIN", "# IFDEF GLOSS\nRENDER\n") + Pass("NEXT", "RENDER\n")),
       Reported(34, "CShaderPass") + Reported(5, "CShader")},
      {"pass without ENDPASS", "BEGINTECHNIQUE TARGET GEFORCEFX\nBEGINPASS MAIN\nRENDER\n",
       Reported(2, "CShader")},
      {"pass whose ENDPASS is missing before the next pass",
       "BEGINTECHNIQUE TARGET GEFORCEFX\nBEGINPASS MAIN\nRENDER\nENDTECHNIQUE\n",
       Reported(2, "CShaderPass") + Reported(5, "CShader")},
      {"technique without ENDTECHNIQUE",
       "BEGINTECHNIQUE TARGET GEFORCEFX\n" + Pass("MAIN", "RENDER\n"), Reported(2, "CShader")},
  };
  for (const Case& c : cases) {
    Library();
    log.entries.clear();
    folder.Write("broken.ssh", c.file);
    EXPECT_EQ(Compile("broken.ssh"), nullptr) << c.name;
    EXPECT_EQ(Errors(), c.errors + Reported(6, "CreateShader")) << c.name;
  }
}

TEST_F(ShaderPassTest, TheFirstWordChoosesTheLineClassLongestKeywordFirst) {
  struct Case {
    const char* line;
    UINT kind;
    UINT type;
  };
  const Case cases[] = {
      {"SETTEXTURESTAGESTATE 0 COLOROP MODULATE", SHADER_LINE_COMMAND, 15},
      {"SETTEXTURE 0 T", SHADER_LINE_COMMAND, 14},
      {"RENDEROUTLINE", SHADER_LINE_COMMAND, 25},
      {"render mesh", SHADER_LINE_COMMAND, 1},
      {"IFFY", SHADER_LINE_COMMAND, 34},
      {"SETVERTEXSHADERCONSTANTB 0 V", SHADER_LINE_COMMAND, 22},
      {"SETPIXELSHADER P.PSH", SHADER_LINE_COMMAND, 10},
      {"SUBROUTINE S", SHADER_LINE_COMMAND, 36},
      {"FLOAT F = <1>", SHADER_LINE_VARIABLE, 0},
  };
  for (const Case& c : cases) {
    Library();
    CShader* shader = CompileTechnique(Pass("MAIN", std::string(c.line) + "\n"));
    ASSERT_NE(shader, nullptr) << c.line << Errors();
    CShaderLine* line = shader->GetPass(0)->GetLine(0);
    ASSERT_NE(line, nullptr) << c.line;
    EXPECT_EQ(line->GetKind(), c.kind) << c.line;
    EXPECT_EQ(line->GetType(), c.type) << c.line;
  }
}

TEST_F(ShaderPassTest, KeywordsWithoutALineFailThePass) {
  struct Case {
    const char* line;
    std::string errors;
  };
  const Case cases[] = {
      {"SETVIEWPORT 0 0 640 480", Reported(17, "CShaderPass::CShaderPass")},
      {"SHOWCURSOR", Reported(17, "CShaderPass::CShaderPass")},
      {"CLEAR TARGET", "ERROR! - No Shader Line Can Be Made Of: CLEAR\n"},
      {"LOG TEXT", Reported(27, "CRecordingFailingLine::CRecordingFailingLine")},
  };
  for (const Case& c : cases) {
    Library();
    log.entries.clear();
    EXPECT_EQ(CompileTechnique(Pass("MAIN", std::string("RENDER\n") + c.line + "\n")), nullptr);
    EXPECT_EQ(Errors(), c.errors + Reported(9, "CShaderPass") + Reported(5, "CShader") +
                            Reported(6, "CreateShader"))
        << c.line;
  }
  // The engine's own table makes RENDER of its own class, which wants a pass name outside a
  // surface shader.
  library = std::make_unique<CShaderLibrary>(&renderer, &log, ZK_SCHEME_GEFORCEFX, 0,
                                             folder.Path().c_str());
  log.entries.clear();
  EXPECT_EQ(CompileTechnique(Pass("MAIN", "FLOAT F = <1>\nRENDER\n")), nullptr);
  EXPECT_EQ(Errors().rfind(Reported(26, "CShaderProgramRender::CShaderProgramRender"), 0), 0u)
      << Errors();
}

TEST_F(ShaderPassTest, BlockEndsLinkToTheirOpeningLinesOverNestedBlocks) {
  CShader* shader = CompileTechnique(
      Pass("MAIN", "FOREACH LIGHT\nFLOAT F = <0>\nFOREACH MESH\nIF F\nENDIF\nENDFOR\nENDFOR\n"));
  ASSERT_NE(shader, nullptr) << Errors();
  CShaderPass* pass = shader->GetPass(0);
  auto end = [&](UINT i) { return dynamic_cast<RecordingBlockEnd*>(pass->GetLine(i)); };
  ASSERT_NE(end(4), nullptr);
  EXPECT_EQ(end(4)->partner, pass->GetLine(3));
  EXPECT_EQ(end(5)->partner, pass->GetLine(2));
  EXPECT_EQ(end(6)->partner, pass->GetLine(0));

  const char* unmatched[] = {"ENDFOR\n", "RENDER\nENDFOR\n", "FOREACH MESH\nENDFOR\nENDFOR\n",
                             "IF F\nENDFOR\n", "FOREACH LIGHT\nENDIF\n"};
  for (const char* body : unmatched) {
    Library();
    log.entries.clear();
    EXPECT_EQ(CompileTechnique(Pass("MAIN", body)), nullptr) << body;
    EXPECT_EQ(Errors().substr(0, Reported(256, "CShaderPass").size()),
              Reported(256, "CShaderPass"))
        << body;
  }
}

TEST_F(ShaderPassTest, TheVariableTableRefusesRepeatedNamesAndA65thVariable) {
  CShader* shader =
      CompileTechnique(Pass("MAIN", "FLOAT A = <1>\nVECTOR B = <2>\nFLOAT AB = <3>\n"));
  ASSERT_NE(shader, nullptr) << Errors();
  CShaderPass* pass = shader->GetPass(0);
  ASSERT_NE(pass->FindVariable("A"), nullptr);
  EXPECT_EQ(pass->FindVariable("A")->GetOwner(), pass->GetLine(0));
  EXPECT_EQ(pass->FindVariable("AB")->GetOwner(), pass->GetLine(2));
  EXPECT_EQ(pass->FindVariable("ABC"), nullptr);

  std::string sixtyFive;
  for (int i = 0; i < 65; ++i) sixtyFive += "FLOAT V" + std::to_string(i) + " = <0>\n";
  for (const std::string& body : {std::string("FLOAT A = <1>\nVECTOR A = <1>\n"), sixtyFive}) {
    Library();
    log.entries.clear();
    EXPECT_EQ(CompileTechnique(Pass("MAIN", body)), nullptr);
    EXPECT_EQ(Errors(), Reported(24, "CShaderVariable::InitializeVariable") +
                            Reported(10, "CShaderVariable") + Reported(9, "CShaderPass") + Reported(5, "CShader") +
                            Reported(6, "CreateShader"));
  }
  Library();
  std::string sixtyFour;
  for (int i = 0; i < 64; ++i) sixtyFour += "FLOAT V" + std::to_string(i) + " = <0>\n";
  EXPECT_NE(CompileTechnique(Pass("MAIN", sixtyFour)), nullptr) << Errors();
}

// A declaration that reads its own continuation lines leaves no empty slot behind: the pass
// holds exactly the lines it compiled, though the first reading counted the continuations.
TEST_F(ShaderPassTest, ALineThatReadsItsContinuationsLeavesNoEmptySlots) {
  CShader* shader = CompileTechnique(
      Pass("MAIN", "SETVERTEXDECLARATION D 1 \\\n  POSITION, \\\n  NORMAL\nRENDER\n"));
  ASSERT_NE(shader, nullptr) << Errors();
  CShaderPass* pass = shader->GetPass(0);
  ASSERT_EQ(pass->GetNumberOfLines(), 2u);
  EXPECT_EQ(dynamic_cast<RecordingDeclarationLine*>(pass->GetLine(0))->continuations, 2);
  EXPECT_EQ(LineTexts(pass)[1], "RENDER");
  EXPECT_EQ(pass->GetLine(2), nullptr);
}

TEST_F(ShaderPassTest, TheShaderCollectsProgramsAndDeclarationsOfAPass) {
  CShader* shader = CompileTechnique(
      Pass("FIRST", "SETVERTEXDECLARATION D 0\nSETVERTEXSHADER A.VSH\nSETPIXELSHADER P.PSH\n"
                    "SETVERTEXSHADER B.VSH\nSETVERTEXDECLARATION E 2\n") +
      Pass("SECOND", "RENDER\n"));
  ASSERT_NE(shader, nullptr) << Errors();
  const char* names[4] = {};
  UINT count = 4;
  EXPECT_EQ(shader->GetVertexShaders(0, &count, names), 1u);
  ASSERT_EQ(count, 2u);
  EXPECT_STREQ(names[0], "A");
  EXPECT_STREQ(names[1], "B");
  count = 1;
  EXPECT_EQ(shader->GetVertexShaders(0, &count, names), 0u);  // filled up
  EXPECT_EQ(count, 1u);
  count = 4;
  EXPECT_EQ(shader->GetPixelShaders(0, &count, names), 1u);
  EXPECT_EQ(count, 1u);
  EXPECT_STREQ(names[0], "P");
  count = 4;
  EXPECT_EQ(shader->GetPixelShaders(1, &count, names), 1u);
  EXPECT_EQ(count, 0u);
  count = 4;
  EXPECT_EQ(shader->GetPixelShaders(2, &count, names), 0u);  // no such pass
  EXPECT_EQ(count, 0u);

  // The mesh's streams follow the geometry of each declaration.
  UINT bindings = 99;
  ShaderStreamBinding* streams = library->GetStreamBindings(shader, 0, &bindings);
  ASSERT_EQ(bindings, 2u);
  EXPECT_EQ(streams[0].dwStream, 0u);
  EXPECT_EQ(streams[1].dwStream, 2u);
  EXPECT_NE(library->GetStreamBindings(shader, 1, &bindings), nullptr);
  EXPECT_EQ(bindings, 0u);
  EXPECT_EQ(library->GetStreamBindings(shader, 2, &bindings), nullptr);
  EXPECT_EQ(bindings, 0u);
  EXPECT_EQ(library->GetNumberOfPasses(shader), 2u);
  EXPECT_EQ(library->GetNumberOfPasses(nullptr), 0u);
}

}  // namespace
