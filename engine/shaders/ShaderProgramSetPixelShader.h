#pragma once
// SETPIXELSHADER: sets a pixel program compiled by the pixel shader bank from a file beside the
// shader file, with a profile (HLSL files) and named parameters; or, written NULL, sets none.
#include "shaders/ShaderLine.h"
#include "shaders/ShaderProgramFileLine.h"
#include "shaders/ShaderProgramSetup.h"

class CEngineRenderer;
class CPixelShaderInterface;
struct ShaderLineArguments;

class CShaderProgramSetPixelShader final : public CShaderLine, public CShaderProgramFileLine {
 public:
  explicit CShaderProgramSetPixelShader(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override;
  UINT GetType() override { return SHADER_COMMAND_SET_PIXEL_SHADER; }
  int GetSkip() override { return 0; }
  const char* GetProgramFileName() override { return m_Setup.GetFileName(); }

  // The program in use; null for NULL.
  CPixelShaderInterface* GetShader() const { return m_pShader; }
  const CShaderProgramSetup& GetSetup() const { return m_Setup; }

 private:
  CEngineRenderer* m_pRenderer;
  CShaderProgramSetup m_Setup;
  CPixelShaderInterface* m_pShader = nullptr;  // the bank's
};

CShaderLine* MakeSetPixelShader(const ShaderLineArguments& arguments);
