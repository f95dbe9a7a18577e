#pragma once
// A pixel shader of the pixel-shader bank: the Direct3D shader made from compiled code, with its
// name and parameter records.
#include "ZeKorbD3DHeader.h"
#include "d3d/ShaderRecord.h"

class CEngineLog;
class CEngineRenderer;
class CPixelShaderBank;

class CPixelShader final : public CPixelShaderInterface {
 public:
  // Creates the Direct3D shader; a refusal is fatal.
  CPixelShader(CPixelShaderBank* bank, CEngineRenderer* renderer, CEngineLog* log, const DWORD* code,
               const char* name, const ShaderParameter* parameters, UINT count);
  ~CPixelShader();
  CPixelShader(const CPixelShader&) = delete;
  CPixelShader& operator=(const CPixelShader&) = delete;

  void SetShader() override;
  IDirect3DPixelShader9* GetDirect3DShader() override { return m_pShader; }
  const char* GetShaderName() override { return m_Record.GetName(); }
  ShaderParameter* GetShaderParameter(UINT index) override;
  UINT GetNumberOfShaderParameters() override { return m_Record.GetNumberOfParameters(); }

  const CShaderRecord& GetRecord() const { return m_Record; }
  void ReleaseDeviceObject();

 private:
  IDirect3DPixelShader9* m_pShader = nullptr;
  CShaderRecord m_Record;
  CEngineLog* m_pLog;
  CPixelShaderBank* m_pBank;
};
