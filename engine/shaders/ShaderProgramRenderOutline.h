#pragma once
// RENDEROUTLINE: draws a thin frame of pre-transformed quads along the border of the rendering
// profile's plain render target, with no vertex shader and whatever else is set.
#include "shaders/ShaderLine.h"

class CEngineRenderer;
struct ShaderLineArguments;

class CShaderProgramRenderOutline final : public CShaderLine {
 public:
  // One corner of a quad: XYZRHW | DIFFUSE | SPECULAR | TEX1.
  struct OutlineVertex {
    float x, y, z, rhw;
    DWORD dwDiffuse, dwSpecular;
    float u, v;
  };
  static constexpr DWORD kOutlineFVF = 0x1c4;

  explicit CShaderProgramRenderOutline(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override;
  UINT GetType() override { return 25; }
  int GetSkip() override { return 0; }

 private:
  CEngineRenderer* m_pRenderer;
};
static_assert(sizeof(CShaderProgramRenderOutline::OutlineVertex) == 32);

CShaderLine* MakeRenderOutline(const ShaderLineArguments& arguments);
