#pragma once
// Every pixel shader the engine makes, shared by file name and parameters, and the one set on the
// device, so that setting it again costs nothing. High-level compiles also get the per-card
// macros the engine settings switch on when the bank is made. Made with the device; its shaders
// live until the end.
#include <vector>

#include "d3d/PixelShader.h"
#include "d3d/PixelShaderBankInterface.h"
#include "d3d/ShaderTable.h"

class CEngineLog;
class CEngineRenderer;
class CSettings;

class CPixelShaderBank final : public CPixelShaderBankInterface {
 public:
  // `shadersDirectory` and `settings` may be null.
  CPixelShaderBank(CEngineRenderer* renderer, CEngineLog* log, const char* shadersDirectory, CSettings* settings);
  ~CPixelShaderBank();
  CPixelShaderBank(const CPixelShaderBank&) = delete;
  CPixelShaderBank& operator=(const CPixelShaderBank&) = delete;

  void SetShader(CPixelShaderInterface* shader) override;
  CPixelShaderInterface* CreateShader(const char* fileName, const char* profile, ShaderParameter* parameters,
                                      UINT count) override;
  CPixelShaderInterface* CreateShader(const char* fileName, ShaderParameter* parameters, UINT count) override;
  UINT ClearCurrentShader() override;
  void ReleaseDeviceObjects() override;

  UINT GetNumberOfShaders() const { return m_Table.GetCount(); }
  const std::vector<ShaderParameter>& GetCardMacros() const { return m_CardMacros; }

 private:
  CPixelShader* Create(const char* fileName, const char* profile, const ShaderParameter* parameters, UINT count);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  TShaderTable<CPixelShader> m_Table;
  CPixelShader* m_pCurrentShader = nullptr;
  std::vector<ShaderParameter> m_CardMacros;
};
