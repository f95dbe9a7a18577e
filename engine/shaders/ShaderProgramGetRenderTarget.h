#pragma once
// GETRENDERTARGET slot SQUARE|CUBE SHADOW|REFLECTION: takes a free target of that shape and
// purpose from the render-target bank and parks it in the slot. Shadow maps come from the
// floating-point pools, reflections from the plain ones.
#include "shaders/ShaderRenderTargetLine.h"

class CShaderProgramGetRenderTarget final : public CShaderRenderTargetLine {
 public:
  static constexpr UINT kShadow = 0;
  static constexpr UINT kReflection = 1;

  explicit CShaderProgramGetRenderTarget(const ShaderLineArguments& arguments);

  // 0 when there is no owner or the bank has no target to give.
  UINT Execute() override;
  UINT GetType() override { return 29; }

  UINT GetPurpose() const { return m_dwPurpose; }

 private:
  UINT m_dwPurpose = 0;
};

CShaderLine* MakeShaderProgramGetRenderTarget(const ShaderLineArguments& arguments);
