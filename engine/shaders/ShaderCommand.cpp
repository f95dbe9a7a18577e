#include "shaders/ShaderCommand.h"

#include <climits>
#include <cstring>

#include "d3d9types.h"
#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "shaders/Shader.h"
#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"

namespace {

CTokenizer* TokenizerOf(CShaderPass* pass) { return pass->GetShader()->GetLibrary()->GetTokenizer(); }

}  // namespace

CShaderCommand::CShaderCommand(const ShaderLineArguments& arguments)
    : m_pRenderer(arguments.pRenderer), m_pLog(arguments.pLog), m_pPass(arguments.pPass) {
  *arguments.pSuccess = 1;
}

CShaderCommand::CShaderCommand(const ShaderLineArguments& arguments, const char* trace)
    : CShaderCommand(arguments) {
  TokenizerOf(m_pPass)->Tokenize(arguments.szLine, CTokenizer::kCaseUpper);
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, trace, arguments.szLine);
}

size_t CShaderCommand::MatchedLength(const char* word, const char* keyword) {
  return CShaderFileLines::BeginsWith(word, keyword) ? std::strlen(keyword) : 0;
}

UINT CShaderCommand::Number(const char* word) {
  unsigned long long value = 0;
  for (const char* c = word; *c >= '0' && *c <= '9'; ++c) {
    value = value * 10 + static_cast<unsigned>(*c - '0');
    if (value > UINT_MAX) return UINT_MAX;
  }
  return static_cast<UINT>(value);
}

const char* CShaderCommand::Word(int index) const { return TokenizerOf(m_pPass)->GetToken(index); }

int CShaderCommand::NumberOfWords() const { return TokenizerOf(m_pPass)->GetNumberOfTokens(); }

bool CShaderCommand::CompileStage(UINT* stage, bool vertexSamplers) const {
  if (Word(1)[0] == '\0') return false;
  *stage = Number(Word(1));
  if (*stage < kShaderStages) return true;
  return vertexSamplers && *stage >= D3DVERTEXTEXTURESAMPLER0 && *stage <= D3DVERTEXTEXTURESAMPLER3;
}

void CShaderCommand::Refuse(const ShaderLineArguments& arguments, const char* sender) {
  m_pPass->ReportError(27, sender);
  *arguments.pSuccess = 0;
}

CShaderVariableNode* CShaderCommand::Reference(const char* word, std::initializer_list<UINT> types) {
  return m_pPass->ReferenceVariable(word, types.begin(), static_cast<UINT>(types.size()));
}

D3DMATERIAL9 CShaderCommand::MaterialRecord(const float* floats) {
  static_assert(sizeof(D3DMATERIAL9) == ShaderVariableValue::kMaterialFloats * sizeof(float));
  D3DMATERIAL9 record;
  std::memcpy(&record, floats, sizeof record);
  return record;
}

bool CShaderCommand::IsDeviceLight(CLightInterface* light) {
  const WORD type = light->GetType();
  return type == LIGHT_DISTANT || type == LIGHT_POINT || type == LIGHT_SPOT;
}

CScene* CShaderCommand::TargetScene() { return m_pPass->GetShader()->GetTargetScene(); }
