#pragma once
// CLEAR COLOR|DEPTH|STENCIL...: clears the named buffers of the render target each time the
// pass runs (colour to 0; the renderer clears depth to 1 and stencil to 128).
#include "shaders/ShaderCommand.h"

class CShaderProgramClear final : public CShaderCommand {
 public:
  explicit CShaderProgramClear(const ShaderLineArguments& arguments);

  // The renderer's ClearBuffers; 1.
  UINT Execute() override;
  UINT GetType() override { return 17; }

  UINT GetFlags() const { return m_dwFlags; }

 private:
  bool Compile();

  UINT m_dwFlags = 0;
};
