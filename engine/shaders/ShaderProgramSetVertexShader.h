#pragma once
// SETVERTEXSHADER: sets a vertex program compiled by the vertex shader bank from a file beside
// the shader file, with a profile (HLSL files) and named parameters; or, written NULL, sets
// none. A vertex declaration must be current when it runs.
#include "shaders/ShaderLine.h"
#include "shaders/ShaderProgramFileLine.h"
#include "shaders/ShaderProgramSetup.h"

class CEngineLog;
class CEngineRenderer;
class CShaderPass;
class CVertexShaderInterface;
struct ShaderLineArguments;

class CShaderProgramSetVertexShader final : public CShaderLine, public CShaderProgramFileLine {
 public:
  explicit CShaderProgramSetVertexShader(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override;
  UINT GetType() override { return SHADER_COMMAND_SET_VERTEX_SHADER; }
  int GetSkip() override { return 0; }
  const char* GetProgramFileName() override { return m_Setup.GetFileName(); }

  // The program in use; null for NULL.
  CVertexShaderInterface* GetShader() const { return m_pShader; }
  const CShaderProgramSetup& GetSetup() const { return m_Setup; }

 private:
  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CShaderProgramSetup m_Setup;
  CVertexShaderInterface* m_pShader = nullptr;  // the bank's
};

CShaderLine* MakeSetVertexShader(const ShaderLineArguments& arguments);
