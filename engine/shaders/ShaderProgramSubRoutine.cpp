#include "shaders/ShaderProgramSubRoutine.h"

#include <cstring>
#include <new>

#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"

CShaderLine* MakeShaderProgramSubRoutine(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramSubRoutine(arguments);
}

CShaderProgramSubRoutine::CShaderProgramSubRoutine(const ShaderLineArguments& arguments) {
  CTokenizer* tokenizer = arguments.pPass->GetShader()->GetLibrary()->GetTokenizer();
  tokenizer->Tokenize(arguments.szLine, CTokenizer::kCaseUpper);
  LogTo(arguments.pLog, "ShaderProgramSubRoutine", CEngineLog::kLevelInfo,
        "    - Compile SubRoutine Line: %s", arguments.szLine);
  const char* name = tokenizer->GetToken(1);
  if (name[0] == '\0') {
    arguments.pPass->ReportError(26, "CShaderProgramCall::CShaderProgramCall");
    *arguments.pSuccess = 0;
    return;
  }
  std::strcpy(m_szName, name);  // a token is at most 255 characters
  *arguments.pSuccess = 1;
}
