#pragma once
// SETDEFAULTSTATES: puts the renderer back to the engine's default states each time the pass
// runs. Whatever follows the keyword is not read.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetDefaultStates final : public CShaderCommand {
 public:
  explicit CShaderProgramSetDefaultStates(const ShaderLineArguments& arguments);

  // The renderer's SetDefaultStates; 1.
  UINT Execute() override;
  UINT GetType() override { return 26; }
};
