#pragma once
// SETRENDERTARGET slot SQUARE index TRUE|FALSE, SETRENDERTARGET slot CUBE face index TRUE|FALSE:
// makes the parked target (one face of a cube) device render target `index`; SETRENDERTARGET
// DEFAULT goes back to the target before it. PHYSICAL targets are not offered.
#include "shaders/ShaderRenderTargetLine.h"

class CShaderProgramSetRenderTarget final : public CShaderRenderTargetLine {
 public:
  static constexpr int kDefaultSlot = 65535;

  explicit CShaderProgramSetRenderTarget(const ShaderLineArguments& arguments);

  UINT Execute() override;
  UINT GetType() override { return 31; }

  // SQUARE: index, lock-depth flag; CUBE: face, index, lock-depth flag; PHYSICAL: the number.
  UINT GetValue(int i) const { return m_dwValues[i]; }

 private:
  // Word `index` as TRUE (1) or FALSE (0) into `out`; false for neither.
  bool ReadFlag(int index, UINT* out);

  UINT m_dwValues[3] = {};
};

CShaderLine* MakeShaderProgramSetRenderTarget(const ShaderLineArguments& arguments);
