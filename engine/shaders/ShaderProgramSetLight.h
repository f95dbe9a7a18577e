#pragma once
// SETLIGHT lights: hands the device the Direct3D records of the target scene's lights: all of
// them (ALL), the scene's current light under its own number (CURRENT), or the light a DWORD
// variable numbers. A number past the scene's lights sets nothing and is logged once.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetLight final : public CShaderCommand {
 public:
  static constexpr int kAllLights = -1;
  static constexpr int kCurrentLight = -2;

  explicit CShaderProgramSetLight(const ShaderLineArguments& arguments);

  // 0 when the shader's target has no scene (reported) or CURRENT finds no current light
  // (logged); else 1.
  UINT Execute() override;
  UINT GetType() override { return 9; }

  int GetSelector() const { return m_iSelector; }

 private:
  bool Compile();
  void SetNumbered(CScene* scene, UINT index);

  int m_iSelector = 0;
  CShaderVariableNode* m_pIndex = nullptr;
  bool m_bOverrunLogged = false;
};
