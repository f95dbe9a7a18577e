#pragma once
// SETSCISSORRECT DEFAULT|CURRENT_LIGHT: the scissor rectangle back to the whole viewport, or
// around the screen area of the current light's bounding volume, so that a light's pass only
// touches the pixels it can reach. The scissor test itself is a render state.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetScissorRect final : public CShaderCommand {
 public:
  enum : UINT {
    kDefault = 1,
    kCurrentLight = 2,
  };

  explicit CShaderProgramSetScissorRect(const ShaderLineArguments& arguments);

  // 0 (reported) for a mode it does not know or a target without a scene; else 1. Without a
  // current point or spot light with a volume, or without an active camera, the rectangle
  // stays as it was (logged).
  UINT Execute() override;
  UINT GetType() override { return 38; }

  UINT GetMode() const { return m_dwMode; }

 private:
  UINT ScissorCurrentLight();

  UINT m_dwMode = 0;
};
