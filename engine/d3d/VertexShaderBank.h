#pragma once
// Every vertex shader the engine makes, shared by file name and parameters, and the one set on
// the device: setting it again costs no device call, but its inputs are checked against the
// current vertex declaration every time. Made with the device; its shaders live until the end.
#include "d3d/ShaderTable.h"
#include "d3d/VertexShader.h"
#include "d3d/VertexShaderBankInterface.h"

class CEngineLog;
class CEngineRenderer;
class CVertexInputSource;

class CVertexShaderBank final : public CVertexShaderBankInterface {
 public:
  // `shadersDirectory` may be null.
  CVertexShaderBank(CVertexInputSource* declarations, CEngineRenderer* renderer, CEngineLog* log,
                    const char* shadersDirectory);
  ~CVertexShaderBank();
  CVertexShaderBank(const CVertexShaderBank&) = delete;
  CVertexShaderBank& operator=(const CVertexShaderBank&) = delete;

  CVertexShaderInterface* CreateShader(const char* fileName, const char* profile, ShaderParameter* parameters,
                                       UINT count) override;
  CVertexShaderInterface* CreateShader(const char* fileName, ShaderParameter* parameters, UINT count) override;
  // A shader whose inputs the current declaration lacks is logged and set as none.
  void SetShader(CVertexShaderInterface* shader) override;
  UINT ClearCurrentShader() override;
  void ReleaseDeviceObjects() override;

  UINT GetNumberOfShaders() const { return m_Table.GetCount(); }

 private:
  CVertexShader* Create(const char* fileName, const char* profile, const ShaderParameter* parameters, UINT count);
  bool SuppliesInputs(CVertexShader* shader);

  TShaderTable<CVertexShader> m_Table;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CVertexShader* m_pCurrentShader = nullptr;
  CVertexInputSource* m_pDeclarations;
};
