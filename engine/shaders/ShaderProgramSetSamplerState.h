#pragma once
// SETSAMPLERSTATE sampler state value: one sampler state. Everything is resolved when the pass
// compiles: a value naming a variable copies what the variable holds then, and later changes do
// not reach the line. DEFAULT minifying and magnifying filters follow the device settings'
// texture-filtering level each time the line runs.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetSamplerState final : public CShaderCommand {
 public:
  // The stored filter that stands for the device settings' choice.
  static constexpr UINT kDefaultFilter = 512;

  explicit CShaderProgramSetSamplerState(const ShaderLineArguments& arguments);

  // Sets the state through the renderer's cache; 1.
  UINT Execute() override;
  UINT GetType() override { return 27; }

  UINT GetSampler() const { return m_dwSampler; }
  UINT GetState() const { return m_dwState; }
  UINT GetValue() const { return m_dwValue; }

 private:
  bool Compile();
  // Token 3 as a filter keyword, else a DWORD variable's current value.
  bool CompileFilter();
  bool CopyVariable(UINT type);
  // The filter the device settings ask for.
  UINT DefaultFilter();

  UINT m_dwSampler = 0;
  UINT m_dwState = 0;
  UINT m_dwValue = 0;
};
