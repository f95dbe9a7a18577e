#pragma once
// Line classes that stand in for the shading language's commands while a pass is compiled: each
// keeps the upper-cased text it was made from, its index and its type, so that a test sees which
// class the compiler chose for each line. RecordingLineTable() gives a keyword table whose
// commands are all recording ones (the keywords the language reserves stay reserved; variable
// lines stay the engine's). A recording declaration reads continuation lines (ending in "\")
// itself, as a multi-line declaration does. Commands record their runs; a test sets the result
// and the skip a command answers.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shaders/ShaderBlockEnd.h"
#include "shaders/ShaderDeclarationLine.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderProgramFileLine.h"
#include "shaders/Shader.h"
#include "core/Tokenizer.h"

class RecordingShaderCommand : public CShaderLine {
 public:
  RecordingShaderCommand(const ShaderLineArguments& arguments, UINT type)
      : text(arguments.szLine), index(arguments.dwIndex), type(type), pass(arguments.pPass) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  }
  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  // Records the line's text in Runs() and answers `result`.
  UINT Execute() override {
    Runs().push_back(text);
    return result;
  }
  UINT GetType() override { return type; }
  int GetSkip() override { return skip; }

  // The texts of the recording commands run so far, in order; a test clears it.
  static std::vector<std::string>& Runs() {
    static std::vector<std::string> runs;
    return runs;
  }

  // Word `i` of the line as the library's tokenizer splits it now.
  static std::string Word(CShaderPass* pass, int i) {
    return pass->GetShader()->GetLibrary()->GetTokenizer()->GetToken(i);
  }

  std::string text;
  UINT result = 1;
  int skip = 0;
  UINT index;
  UINT type;
  CShaderPass* pass;
};

class RecordingBlockEnd final : public RecordingShaderCommand, public CShaderBlockEnd {
 public:
  using RecordingShaderCommand::RecordingShaderCommand;
  void LinkBlockStart(CShaderLine* start) override { partner = start; }
  CShaderLine* partner = nullptr;
};

// SETVERTEXSHADER and SETPIXELSHADER: the program file is the second word.
class RecordingProgramFileLine final : public RecordingShaderCommand,
                                       public CShaderProgramFileLine {
 public:
  RecordingProgramFileLine(const ShaderLineArguments& arguments, UINT type)
      : RecordingShaderCommand(arguments, type), file(Word(arguments.pPass, 1)) {}
  const char* GetProgramFileName() override { return file.c_str(); }
  std::string file;
};

// SETVERTEXDECLARATION <name> <geometry> [\], continued on the lines that follow.
class RecordingDeclarationLine final : public RecordingShaderCommand,
                                       public CShaderDeclarationLine {
 public:
  explicit RecordingDeclarationLine(const ShaderLineArguments& arguments)
      : RecordingShaderCommand(arguments, SHADER_COMMAND_SET_VERTEX_DECLARATION),
        geometry(static_cast<UINT>(std::atoi(Word(arguments.pPass, 2).c_str()))) {
    char line[256];
    std::string last = text;
    while (!last.empty() && last.find('\\') != std::string::npos &&
           arguments.pFile->Gets(line, sizeof line) != nullptr) {
      last = line;
      ++continuations;
    }
  }
  const D3DVERTEXELEMENT9* GetDeclarationElements() override { return elements; }
  UINT GetGeometry() override { return geometry; }
  D3DVERTEXELEMENT9 elements[1] = {D3DDECL_END()};
  UINT geometry;
  int continuations = 0;
};

// A command whose constructor fails with error 27, as a command with bad operands does.
class RecordingFailingLine final : public RecordingShaderCommand {
 public:
  explicit RecordingFailingLine(const ShaderLineArguments& arguments)
      : RecordingShaderCommand(arguments, 0) {
    arguments.pPass->ReportError(27, "CRecordingFailingLine::CRecordingFailingLine");
    *arguments.pSuccess = 0;
  }
};

template <UINT Type>
CShaderLine* MakeRecordingCommand(const ShaderLineArguments& arguments) {
  if constexpr (Type == SHADER_COMMAND_ENDFOR || Type == SHADER_COMMAND_ENDIF)
    return new RecordingBlockEnd(arguments, Type);
  else if constexpr (Type == SHADER_COMMAND_SET_VERTEX_SHADER ||
                     Type == SHADER_COMMAND_SET_PIXEL_SHADER)
    return new RecordingProgramFileLine(arguments, Type);
  else if constexpr (Type == SHADER_COMMAND_SET_VERTEX_DECLARATION)
    return new RecordingDeclarationLine(arguments);
  else
    return new RecordingShaderCommand(arguments, Type);
}

inline CShaderLine* MakeRecordingFailingLine(const ShaderLineArguments& arguments) {
  return new RecordingFailingLine(arguments);
}

// Every command of the language recording, CLEAR left without a class and LOG failing.
inline CShaderLineTable RecordingLineTable() {
  CShaderLineTable table;
  table.SetFactory("CLEAR", nullptr);
  table.SetFactory("SUBROUTINE", MakeRecordingCommand<36>);
  table.SetFactory("RENDEROUTLINE", MakeRecordingCommand<25>);
  table.SetFactory("CALL", MakeRecordingCommand<36>);
  table.SetFactory("SETLIGHTENABLE", MakeRecordingCommand<8>);
  table.SetFactory("RENDER", MakeRecordingCommand<1>);
  table.SetFactory("SETCAMERA", MakeRecordingCommand<24>);
  table.SetFactory("SETSCISSORRECT", MakeRecordingCommand<38>);
  table.SetFactory("SETDEFAULTSTATES", MakeRecordingCommand<26>);
  table.SetFactory("SETLIGHT", MakeRecordingCommand<9>);
  table.SetFactory("SETMATERIAL", MakeRecordingCommand<23>);
  table.SetFactory("SETPIXELSHADERCONSTANTF", MakeRecordingCommand<11>);
  table.SetFactory("SETPIXELSHADERCONSTANTI", MakeRecordingCommand<13>);
  table.SetFactory("SETPIXELSHADERCONSTANTB", MakeRecordingCommand<12>);
  table.SetFactory("SETPIXELSHADER", MakeRecordingCommand<10>);
  table.SetFactory("SETRENDERSTATE", MakeRecordingCommand<5>);
  table.SetFactory("SETSAMPLERSTATE", MakeRecordingCommand<27>);
  table.SetFactory("SETTEXTURESTAGESTATE", MakeRecordingCommand<15>);
  table.SetFactory("SETTEXTURE", MakeRecordingCommand<14>);
  table.SetFactory("SETTRANSFORM", MakeRecordingCommand<7>);
  table.SetFactory("SETVERTEXSHADERCONSTANTF", MakeRecordingCommand<21>);
  table.SetFactory("SETVERTEXSHADERCONSTANTB", MakeRecordingCommand<22>);
  table.SetFactory("SETVERTEXSHADERCONSTANTI", MakeRecordingCommand<20>);
  table.SetFactory("SETVERTEXDECLARATION", MakeRecordingCommand<28>);
  table.SetFactory("SETVERTEXSHADER", MakeRecordingCommand<19>);
  table.SetFactory("SETRENDERTARGETASTEXTURE", MakeRecordingCommand<6>);
  table.SetFactory("GETRENDERTARGET", MakeRecordingCommand<29>);
  table.SetFactory("SETRENDERTARGET", MakeRecordingCommand<31>);
  table.SetFactory("RELEASERENDERTARGET", MakeRecordingCommand<30>);
  table.SetFactory("FOREACH", MakeRecordingCommand<32>);
  table.SetFactory("ENDFOR", MakeRecordingCommand<33>);
  table.SetFactory("LOG", MakeRecordingFailingLine);
  table.SetFactory("IF", MakeRecordingCommand<34>);
  table.SetFactory("ENDIF", MakeRecordingCommand<35>);
  return table;
}
