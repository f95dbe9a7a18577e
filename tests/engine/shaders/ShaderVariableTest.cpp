// Variable lines of compiled passes: declarations with immediate values, assignments with
// modifiers, expressions chained to the right, vertex-element lists, the references commands
// hold, and what each line leaves in its variable when the pass runs.
#include <array>
#include <cstring>

#include "ProcessExitCatcher.h"
#include "ShaderFixture.h"

namespace {

using Floats = std::array<float, 4>;

// "SETLIGHTENABLE NAME": a command that holds a reference to a FLOAT variable and notes the
// value it sees each time it runs.
class FloatReader final : public RecordingShaderCommand {
 public:
  explicit FloatReader(const ShaderLineArguments& arguments) : RecordingShaderCommand(arguments, 8) {
    static constexpr UINT kTypes[] = {SHADER_VALUE_FLOAT};
    node = arguments.pPass->ReferenceVariable(Word(arguments.pPass, 1).c_str(), kTypes, 1);
    if (node == nullptr) {
      arguments.pPass->ReportError(27, "FloatReader");
      *arguments.pSuccess = 0;
    }
  }
  UINT Execute() override {
    Seen().push_back(*node->GetFloat());
    return 1;
  }
  static std::vector<float>& Seen() {
    static std::vector<float> seen;
    return seen;
  }
  CShaderVariableNode* node;
};

CShaderLine* MakeFloatReader(const ShaderLineArguments& arguments) {
  return new FloatReader(arguments);
}

class ShaderVariableTest : public ShaderFixture {
 protected:
  ShaderVariableTest() {
    lines.SetFactory("SETLIGHTENABLE", MakeFloatReader);
    FloatReader::Seen().clear();
  }

  // The one pass of a mesh shader made of `body`; null when it does not compile.
  CShaderPass* CompileBody(const std::string& body) {
    Library();
    log.entries.clear();
    CShader* shader = CompileTechnique(Pass("MAIN", body));
    return shader != nullptr ? shader->GetPass(0) : nullptr;
  }
  // Compiles and runs `body` once; the pass, or null (failing the test) when it did not compile.
  CShaderPass* Run(const std::string& body) {
    CShaderPass* pass = CompileBody(body);
    EXPECT_NE(pass, nullptr) << body << Errors();
    if (pass != nullptr) pass->Execute();
    return pass;
  }
  // The reports of a variable line that does not compile: its own, then the line's (10 for a
  // declaration, 11 for an assignment), the pass's, the shader's and the library's.
  static std::string Refused(const std::string& own, UINT lineCode) {
    return own + Reported(lineCode, "CShaderVariable") + Reported(9, "CShaderPass") +
           Reported(5, "CShader") + Reported(6, "CreateShader");
  }
  static Floats VectorOf(CShaderVariableNode* node) {
    const D3DXVECTOR4* vector = node->GetVector();
    return vector != nullptr ? Floats{vector->x, vector->y, vector->z, vector->w} : Floats{};
  }
  CShaderVariable* Line(CShaderPass* pass, UINT index) {
    return dynamic_cast<CShaderVariable*>(pass->GetLine(index));
  }
};

constexpr char kDeclare[] = "CShaderVariable::InitializeVariable";
constexpr char kExpression[] = "CShaderVariable::CompileExpression";
constexpr char kModifier[] = "CShaderVariable::CompileModifier";
constexpr char kExecute[] = "CShaderVariable::Execute";

TEST_F(ShaderVariableTest, ImmediateValuesAreReadAsWritten) {
  struct Case {
    const char* line;
    Floats vector;
  };
  const Case vectors[] = {
      {"VECTOR V = <1, 2, 3>", {1, 2, 3, 0}},
      {"VECTOR V = <4>", {4, 4, 4, 0}},
      {"VECTOR V = <4, 5>", {4, 5, 5, 0}},
      {"VECTOR V = <0.5, 1, 0>", {0.5f, 1, 0, 0}},
      {"VECTOR V = <-1.5e2, +2, .25, 7>", {-150, 2, 0.25f, 7}},
      {"vector v = < 1E-1 ,\t2 , 3 >", {0.1f, 2, 3, 0}},
  };
  for (const Case& c : vectors) {
    CShaderPass* pass = CompileBody(std::string(c.line) + "\n");
    ASSERT_NE(pass, nullptr) << c.line << Errors();
    CShaderVariableNode* node = pass->FindVariable("V");
    EXPECT_EQ(VectorOf(node), Floats{}) << c.line;  // written when the line runs
    pass->Execute();
    EXPECT_EQ(VectorOf(node), c.vector) << c.line;
  }

  struct Scalar {
    const char* line;
    float fValue;
    DWORD dwValue;
  };
  const Scalar scalars[] = {
      {"FLOAT F = <-1>", -1.0f, 0},        {"FLOAT F = <2.5E-1>", 0.25f, 0},
      {"float f = <2>", 2.0f, 0},          {"DWORD D = <42>", 0, 42},
      {"DWORD D = <-1>", 0, 0xFFFFFFFFu},  {"DWORD D = <0x1F>", 0, 31},
      {"DWORD D = <0xffffffff>", 0, 0xFFFFFFFFu},
  };
  for (const Scalar& c : scalars) {
    CShaderPass* pass = Run(std::string(c.line) + "\n");
    ASSERT_NE(pass, nullptr);
    if (CShaderVariableNode* f = pass->FindVariable("F")) {
      ASSERT_NE(f->GetFloat(), nullptr) << c.line;
      EXPECT_EQ(*f->GetFloat(), c.fValue) << c.line;
      EXPECT_EQ(f->GetDword(), nullptr) << c.line;
    } else {
      ASSERT_NE(pass->FindVariable("D")->GetDword(), nullptr) << c.line;
      EXPECT_EQ(*pass->FindVariable("D")->GetDword(), c.dwValue) << c.line;
    }
  }
}

TEST_F(ShaderVariableTest, EachAccessorAnswersOnlyForItsType) {
  CShaderVariableNode node(&log, nullptr, "N", SHADER_VALUE_FLOAT);
  int referenced = 0;
  ShaderVariableValue value = {};
  value.pValue = &referenced;
  node.SetValue(value);
  // What each accessor gives, as a word per accessor: '-' none, 'v' the record's own field,
  // 'r' the referenced object.
  auto answers = [&]() {
    const auto* record = node.GetValue();
    auto mark = [&](const void* got, const void* own) {
      return got == nullptr ? '-' : got == own ? 'v' : got == &referenced ? 'r' : '?';
    };
    return std::string{mark(node.GetMatrix(), &record->mtxValue),
                       mark(node.GetVector(), &record->vecValue),
                       mark(node.GetDword(), &record->scalar),
                       mark(node.GetFloat(), &record->scalar),
                       mark(node.GetTable(), &record->scalar),
                       mark(node.GetMaterialValue(), record->fMaterial),
                       mark(node.GetTexture(), nullptr),
                       mark(node.GetDeclaration(), nullptr),
                       mark(node.GetMaterial(), nullptr),
                       mark(node.GetSquareRenderTexture(), nullptr),
                       mark(node.GetCubeRenderTexture(), nullptr)};
  };
  struct Case {
    UINT type;
    const char* answers;
  };
  const Case cases[] = {
      {SHADER_VALUE_MATRIX, "v----------"},          {SHADER_VALUE_VECTOR, "-v---------"},
      {SHADER_VALUE_DWORD, "--v--------"},           {SHADER_VALUE_FLOAT, "---v-------"},
      {SHADER_VALUE_TABLE, "----v------"},           {SHADER_VALUE_MATERIAL_VALUE, "-----v-----"},
      {SHADER_VALUE_TEXTURE, "------r----"},         {SHADER_VALUE_DECLARATION, "-------r---"},
      {SHADER_VALUE_MATERIAL, "--------r--"},        {SHADER_VALUE_SQUARE_RENDER_TEXTURE, "---------r-"},
      // Matrices an object hands out do not outlive the call, so references hold a copy too.
      {SHADER_VALUE_CUBE_RENDER_TEXTURE, "----------r"}, {SHADER_VALUE_MATRIX_REFERENCE, "v----------"},
      {6, "-----------"},
  };
  for (const Case& c : cases) {
    node.GetValue()->dwType = c.type;
    EXPECT_EQ(answers(), c.answers) << c.type;
  }
}

TEST_F(ShaderVariableTest, ACompiledDeclarationLogsItsNameAndValue) {
  ASSERT_NE(CompileBody("VECTOR V = <1, 2.5, 3>\n"), nullptr) << Errors();
  std::vector<std::string> variableLines;
  for (const auto& entry : log.entries)
    if (entry.source == "ShaderVariable") variableLines.push_back(entry.text);
  EXPECT_EQ(variableLines,
            (std::vector<std::string>{
                "    - Parsing Variable: VECTOR V = <1, 2.5, 3>\n", "      - Variable Name: V...\n",
                "      - Compiled Immediate Value: 1.000000, 2.500000, 3.000000, 0.000000\n"}));
}

TEST_F(ShaderVariableTest, DeclarationsThatCannotBeCompiled) {
  struct Case {
    const char* body;
    std::string errors;
  };
  const Case cases[] = {
      {"VECTOR V = <1, 2, 3, 4, 5>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <1, 2>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <1", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <ONE>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <1.2.3>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <INF>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <1 2>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = <+-1>", Refused(Reported(14, kDeclare), 10)},
      {"DWORD D = <1.5>", Refused(Reported(14, kDeclare), 10)},
      {"DWORD D = <0x1FFFFFFFF>", Refused(Reported(14, kDeclare), 10)},
      {"DWORD D = <0xG>", Refused(Reported(14, kDeclare), 10)},
      {"FLOAT F = 1", Refused(Reported(14, kDeclare), 10)},
      {"TEXTURE T = <1>", Refused(Reported(14, kDeclare), 10)},
      {"TEXTUREX T = <1>", Refused(Reported(14, kDeclare), 10)},  // a type keyword is a prefix
      {"TABLE T = <1>", Refused(Reported(14, kDeclare), 10)},
      {"TEXTURE T", Refused(Reported(13, kDeclare), 10)},
      {"FLOAT F <1>", Refused(Reported(13, kDeclare), 10)},
      {"FLOAT", Refused(Reported(12, kDeclare), 10)},
      {"FLOAT = <1>", Refused(Reported(12, kDeclare), 10)},
      {"FLOAT 5 = <1>", Refused(Reported(12, kDeclare), 10)},
      {"FLOAT F = <1>\nFLOAT F = <2>", Refused(Reported(24, kDeclare), 10)},
      {"MATERIAL M = <1>", Refused("", 10)},
      // An unknown value of a source is refused by the line alone.
      {"FLOAT F = MESH.NOPE", Refused("", 10)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompileBody(std::string(c.body) + "\n"), nullptr) << c.body;
    EXPECT_EQ(Errors(), c.errors) << c.body;
  }

  // Tables are per pass: a name may come again in the next one.
  Library();
  EXPECT_NE(CompileTechnique(Pass("ONE", "FLOAT F = <1>\n") + Pass("TWO", "FLOAT F = <2>\n")),
            nullptr)
      << Errors();
}

TEST_F(ShaderVariableTest, AMatrixImmediateEndsTheProcess) {
  // The line is made on its own in a compiled pass: ending the process in the middle of a
  // shader's compile would leave the half-made shader behind once the exit is caught.
  CShaderPass* pass = CompileBody("FLOAT F = <1>\n");
  ASSERT_NE(pass, nullptr);
  char line[] = "MATRIX M = <1, 0, 0, 1>\n";
  ProcessExitCatcher exits;
  try {
    UINT success = 0;
    CShaderVariable variable(pass, &renderer, &log, nullptr, line, &success);
    ADD_FAILURE() << "a matrix immediate was compiled";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "");
  EXPECT_EQ(exits.Boxes()[0].text, "CShaderVariable::CompileMATRIXValues\n");
}

TEST_F(ShaderVariableTest, ModifiersChooseTheComponentsAFloatIsAssignedTo) {
  const std::string declarations = "VECTOR V = <1, 2, 3, 4>\nVECTOR W = <5, 6, 7, 8>\nFLOAT F = <9>\n";
  struct Case {
    const char* assignment;
    WORD mask;
    Floats result;
  };
  const Case cases[] = {
      {"V.X = F", 0x1, {9, 2, 3, 4}},
      {"V.XY = F", 0x3, {9, 9, 3, 4}},
      {"V.WZ = F", 0xC, {1, 2, 9, 9}},
      {"V.X = W", 0x1, {5, 6, 7, 8}},  // same types copy whole
  };
  for (const Case& c : cases) {
    CShaderPass* pass = Run(declarations + c.assignment + "\n");
    ASSERT_NE(pass, nullptr);
    EXPECT_EQ(Line(pass, 3)->GetTargetModifier(), c.mask) << c.assignment;
    EXPECT_EQ(VectorOf(pass->FindVariable("V")), c.result) << c.assignment;
  }

  struct Bad {
    const char* assignment;
    std::string errors;
  };
  const Bad bad[] = {
      {"V.Q = F", Reported(35, kModifier) + Reported(35, kExpression)},
      {"V.XQ = F", Reported(35, kModifier) + Reported(35, kExpression)},
      {"F.X = F", Reported(35, kExpression)},  // floats have no components
      {"V. = F", Reported(35, kModifier) + Reported(35, kExpression)},
  };
  for (const Bad& c : bad) {
    EXPECT_EQ(CompileBody(declarations + c.assignment + "\n"), nullptr) << c.assignment;
    EXPECT_EQ(Errors(), Refused(c.errors, 11)) << c.assignment;
  }

  // Matrix masks name elements three characters at a time; a short tail is ignored.
  CShaderPass* pass = CompileBody(declarations);
  ASSERT_NE(pass, nullptr);
  CShaderVariable* line = Line(pass, 0);
  struct Mask {
    const char* text;
    WORD mask;
  };
  const Mask masks[] = {{"_11", 0x0001}, {"_11_22", 0x0021}, {"_33_44", 0x8400},
                        {"_14_41X", 0x1008}, {"_1", 0}, {"_55", 0}};
  for (const Mask& m : masks) {
    WORD mask = 0xFFFF;
    EXPECT_EQ(line->CompileModifier(m.text, SHADER_VALUE_MATRIX_REFERENCE, &mask),
              m.mask != 0 ? 1u : 0u)
        << m.text;
    EXPECT_EQ(mask, m.mask) << m.text;
  }
  log.entries.clear();
  WORD mask = 0xFFFF;
  EXPECT_EQ(line->CompileModifier("X", SHADER_VALUE_FLOAT, &mask), 0u);
  EXPECT_EQ(mask, 0);
  EXPECT_EQ(Errors(), "");
}

TEST_F(ShaderVariableTest, ExpressionsChainToTheRight) {
  CShaderPass* pass =
      Run("FLOAT A = <0>\nFLOAT B = <2>\nFLOAT E = <3>\nFLOAT G = <4>\nA = B * E + G\n");
  ASSERT_NE(pass, nullptr);
  CShaderVariable* line = Line(pass, 4);
  ASSERT_NE(line->GetRightExpression(), nullptr);
  CShaderVariable* product = line->GetRightExpression();
  EXPECT_EQ(product->GetTarget(), pass->FindVariable("B"));
  EXPECT_EQ(product->GetOperation(), UINT{SHADER_OPERATION_MULTIPLY});
  ASSERT_NE(product->GetRightExpression(), nullptr);
  CShaderVariable* sum = product->GetRightExpression();
  EXPECT_EQ(sum->GetTarget(), pass->FindVariable("E"));
  EXPECT_EQ(sum->GetOperation(), UINT{SHADER_OPERATION_ADD});
  EXPECT_EQ(sum->GetRightVariable(), pass->FindVariable("G"));
  EXPECT_EQ(*pass->FindVariable("A")->GetFloat(), 14.0f);  // 2 * (3 + 4)
  EXPECT_EQ(*pass->FindVariable("B")->GetFloat(), 2.0f);   // operands stay as they were

  struct Case {
    const char* body;
    Floats vector;
    DWORD dword;
  };
  const Case cases[] = {
      {"VECTOR A = <0>\nVECTOR B = <1, 2, 3, 4>\nVECTOR E = <2, 3, 4, 5>\nA = B * E\n",
       {2, 6, 12, 20}, 0},
      {"VECTOR A = <0>\nVECTOR B = <1, 2, 3, 4>\nVECTOR E = <2, 3, 4, 5>\nA = B + E\n",
       {3, 5, 7, 9}, 0},
      {"DWORD A = <0>\nDWORD B = <0x10000>\nDWORD E = <0x10001>\nA = B * E\n", {}, 0x10000},
      {"DWORD A = <0>\nDWORD B = <-1>\nDWORD E = <2>\nA = B + E\n", {}, 1},
  };
  for (const Case& c : cases) {
    CShaderPass* run = Run(c.body);
    ASSERT_NE(run, nullptr);
    CShaderVariableNode* a = run->FindVariable("A");
    if (a->GetDword() != nullptr)
      EXPECT_EQ(*a->GetDword(), c.dword) << c.body;
    else
      EXPECT_EQ(VectorOf(a), c.vector) << c.body;
  }
}

TEST_F(ShaderVariableTest, MatrixValuesMultiplyButDoNotAdd) {
  // Value sources give matrices by value; here the test sets them into vector variables.
  CShaderPass* pass =
      CompileBody("VECTOR A = <0>\nVECTOR B = <0>\nVECTOR E = <0>\nA = B * E\nA = B + E\n");
  ASSERT_NE(pass, nullptr) << Errors();
  ShaderVariableValue b = {}, e = {};
  b.dwType = e.dwType = SHADER_VALUE_MATRIX;
  D3DXMatrixScaling(&b.mtxValue, 2, 3, 4);
  D3DXMatrixTranslation(&e.mtxValue, 1, 1, 1);
  pass->FindVariable("B")->SetValue(b);
  pass->FindVariable("E")->SetValue(e);
  CShaderVariableNode* a = pass->FindVariable("A");
  log.entries.clear();
  EXPECT_EQ(Line(pass, 3)->Execute(), 1u);
  ASSERT_NE(a->GetMatrix(), nullptr);
  D3DXMATRIX expected = b.mtxValue * e.mtxValue;
  EXPECT_EQ(std::memcmp(a->GetMatrix(), &expected, sizeof expected), 0);
  EXPECT_EQ(Line(pass, 4)->Execute(), 0u);
  EXPECT_EQ(Errors(), Reported(10, kExecute));
  EXPECT_EQ(std::memcmp(a->GetMatrix(), &expected, sizeof expected), 0);
}

TEST_F(ShaderVariableTest, LinesThatComputeNothingLeaveTheirTargetAlone) {
  const std::string declarations =
      "FLOAT A = <1>\nFLOAT E = <2>\nVECTOR B = <3>\nVECTOR V = <4>\n"
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0>\n"
      "DECLARATION P = <0, 0, FLOAT2, DEFAULT, TEXCOORD, 0>\n";
  struct Case {
    const char* line;
    std::string errors;
  };
  const Case cases[] = {
      {"A = B * E", Reported(17, kExecute)},  // mixed types
      {"A = E - A", Reported(17, kExecute)},
      {"A = E / A", Reported(17, kExecute)},
      {"A = E * <2>", Reported(16, kExecute)},  // no variable to the right
      {"V = A", ""},                            // a float into a whole vector
      {"V = D", ""},
  };
  for (const Case& c : cases) {
    CShaderPass* pass = CompileBody(declarations + c.line + "\n");
    ASSERT_NE(pass, nullptr) << Errors();
    for (UINT i = 0; i < 6; ++i) ASSERT_EQ(pass->GetLine(i)->Execute(), 1u);
    log.entries.clear();
    EXPECT_EQ(Line(pass, 6)->Execute(), 0u) << c.line;
    EXPECT_EQ(Errors(), c.errors) << c.line;
    EXPECT_EQ(*pass->FindVariable("A")->GetFloat(), 1.0f) << c.line;
    EXPECT_EQ(VectorOf(pass->FindVariable("V")), (Floats{4, 4, 4, 0})) << c.line;
  }

  // A product of element lists computes nothing: the target keeps its own list.
  CShaderPass* pass = Run(declarations + "D = D * P\n");
  ASSERT_NE(pass, nullptr);
  const D3DVERTEXELEMENT9* list = pass->FindVariable("D")->GetDeclaration();
  EXPECT_EQ(Line(pass, 6)->Execute(), 1u);
  EXPECT_EQ(pass->FindVariable("D")->GetDeclaration(), list);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list[0].Usage, D3DDECLUSAGE_POSITION);

  // In a running pass the failing line ends the process.
  pass = CompileBody(declarations + "A = E - A\n");
  ASSERT_NE(pass, nullptr);
  ProcessExitCatcher exits;
  EXPECT_THROW(pass->Execute(), ProcessExited);
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].text, "Can't Execute Shader Line: 0\n");
}

TEST_F(ShaderVariableTest, AssignmentsThatCannotBeCompiled) {
  const std::string declarations = "FLOAT A = <1>\nFLOAT B = <2>\n";
  struct Case {
    const char* line;
    std::string errors;
  };
  const Case cases[] = {
      {"X = A", Reported(10, kExpression)},
      {"A B", Reported(13, kExpression)},
      {"A", Reported(13, kExpression)},
      {"A =", Reported(25, kExpression)},
      {"A = X", Reported(14, kExpression)},
      {"A = B * X", Reported(14, kExpression) + Reported(11, "CShaderVariable") +
                        Reported(25, kExpression)},
      {"A = B * MESH.NOPE", Reported(11, "CShaderVariable") + Reported(25, kExpression)},
      // An operand with a mask is read as the start of an expression.
      {"A = B.X", Reported(35, kExpression) + Reported(11, "CShaderVariable") +
                      Reported(25, kExpression)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompileBody(declarations + c.line + "\n"), nullptr) << c.line;
    EXPECT_EQ(Errors(), Refused(c.errors, 11)) << c.line;
  }
}

TEST_F(ShaderVariableTest, CommandsReadTheValueTheLatestLineWrote) {
  CShaderPass* pass = Run("FLOAT F = <2>\nSETLIGHTENABLE F\nF = <3>\nSETLIGHTENABLE F\n");
  ASSERT_NE(pass, nullptr);
  pass->Execute();
  EXPECT_EQ(FloatReader::Seen(), (std::vector<float>{2, 3, 2, 3}));
  EXPECT_EQ(dynamic_cast<FloatReader*>(pass->GetLine(1))->node, pass->FindVariable("F"));

  // A reference is resolved when the command compiles: to an earlier variable of its type.
  for (const char* body : {"SETLIGHTENABLE F\nFLOAT F = <2>\n",
                           "VECTOR F = <2>\nSETLIGHTENABLE F\n", "SETLIGHTENABLE\n"}) {
    EXPECT_EQ(CompileBody(body), nullptr) << body;
    EXPECT_EQ(Errors().rfind(Reported(27, "FloatReader"), 0), 0u) << body << Errors();
  }
}

TEST_F(ShaderVariableTest, AVertexElementListContinuesOnTheFollowingLines) {
  const char* forms[] = {
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0> \\\n"
      "  <0, 12, FLOAT3, DEFAULT, NORMAL, 0> \\\n"
      "  <1, 0, FLOAT2, DEFAULT, TEXCOORD, 1>\n",
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0>, \\\n"
      "\n"
      "  <0, 12, FLOAT3, DEFAULT, NORMAL, 0>, \\\n"
      "  <1, 0, FLOAT2, DEFAULT, TEXCOORD, 1>\n",
  };
  for (const char* form : forms) {
    CShaderPass* pass = CompileBody(std::string(form) + "RENDER\n");
    ASSERT_NE(pass, nullptr) << form << Errors();
    ASSERT_EQ(pass->GetNumberOfLines(), 2u) << form;
    EXPECT_EQ(LineTexts(pass), (std::vector<std::string>{"<variable D>", "RENDER"}));
    // The list is the variable's as soon as it compiles.
    const D3DVERTEXELEMENT9* list = pass->FindVariable("D")->GetDeclaration();
    ASSERT_NE(list, nullptr);
    const D3DVERTEXELEMENT9 expected[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
        {1, 0, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
        D3DDECL_END()};
    EXPECT_EQ(std::memcmp(list, expected, sizeof expected), 0) << form;
  }

  // Where several keywords begin a word, the longest is meant.
  CShaderPass* pass = CompileBody(
      "DECLARATION D = <0, 0, UBYTE4N, LOOKUPPRESAMPLED, POSITIONT, 0>, \\\n"
      "<0, 4, FLOAT16_2, LOOKUP, POSITION, 0>, \\\n<0, 8, FLOAT1, UV, BLENDINDICES, 3>\n");
  ASSERT_NE(pass, nullptr) << Errors();
  const D3DVERTEXELEMENT9* list = pass->FindVariable("D")->GetDeclaration();
  EXPECT_EQ(list[0].Type, D3DDECLTYPE_UBYTE4N);
  EXPECT_EQ(list[0].Method, D3DDECLMETHOD_LOOKUPPRESAMPLED);
  EXPECT_EQ(list[0].Usage, D3DDECLUSAGE_POSITIONT);
  EXPECT_EQ(list[1].Type, D3DDECLTYPE_FLOAT16_2);
  EXPECT_EQ(list[1].Method, D3DDECLMETHOD_LOOKUP);
  EXPECT_EQ(list[1].Usage, D3DDECLUSAGE_POSITION);
  EXPECT_EQ(list[2].Type, D3DDECLTYPE_FLOAT1);
  EXPECT_EQ(list[2].UsageIndex, 3);

  std::string element = "<0, 0, FLOAT3, DEFAULT, POSITION, 0>";
  std::string thirtyOne = "DECLARATION D = " + element;
  for (int i = 1; i < 31; ++i) thirtyOne += " \\\n" + element;
  EXPECT_NE(CompileBody(thirtyOne + "\n"), nullptr) << Errors();

  const std::string bad[] = {
      thirtyOne + " \\\n" + element,  // a 32nd element
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0> \\\n<0, 12, FLOAT3, DEFAULT, NORMXL, 0>",
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, SPOT, 0>",
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION>",
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0 \\",
      "DECLARATION D = <0, 70000, FLOAT3, DEFAULT, POSITION, 0>",
      "DECLARATION D = <255, 0, FLOAT3, DEFAULT, POSITION, 0>",
      "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0> \\",  // no element follows
  };
  for (const std::string& body : bad) {
    EXPECT_EQ(CompileBody(body + "\n"), nullptr) << body;
    EXPECT_EQ(Errors().rfind(Reported(14, kDeclare), 0), 0u) << body << Errors();
  }
}

}  // namespace
