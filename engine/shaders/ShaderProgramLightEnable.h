#pragma once
// SETLIGHTENABLE lights flag: switches the device lights of the target scene on or off, all of
// them (ALL) or the one a DWORD variable numbers. The renderer keeps eight light-enable states;
// a number past them is skipped and logged once.
#include "shaders/ShaderCommand.h"

class CShaderProgramLightEnable final : public CShaderCommand {
 public:
  // The selector of every light of the scene.
  static constexpr int kAllLights = -1;

  explicit CShaderProgramLightEnable(const ShaderLineArguments& arguments);

  // 0 (reported) when the shader's target has no scene; else 1.
  UINT Execute() override;
  UINT GetType() override { return 8; }

  int GetSelector() const { return m_iSelector; }
  UINT GetEnable() const { return m_dwEnable; }

 private:
  bool Compile();
  void Enable(UINT index);

  int m_iSelector = 0;
  CShaderVariableNode* m_pIndex = nullptr;
  UINT m_dwEnable = 0;
  bool m_bOverrunLogged = false;
};
