#pragma once
// A vertex shader of the vertex-shader bank: the Direct3D shader made from compiled code, its
// name and parameter records, and the vertex inputs the code reads.
#include <vector>

#include "ZeKorbD3DHeader.h"
#include "d3d/ShaderRecord.h"
#include "d3dx9shader.h"

class CEngineLog;
class CEngineRenderer;
class CVertexShaderBank;

class CVertexShader final : public CVertexShaderInterface {
 public:
  // Creates the Direct3D shader and learns its inputs; every failure is fatal.
  CVertexShader(CVertexShaderBank* bank, CEngineRenderer* renderer, CEngineLog* log, const DWORD* code,
                const char* name, const ShaderParameter* parameters, UINT count);
  ~CVertexShader();
  CVertexShader(const CVertexShader&) = delete;
  CVertexShader& operator=(const CVertexShader&) = delete;

  void Set() override;
  const char* GetShaderName() override { return m_Record.GetName(); }
  ShaderInputRegister* GetInputRegisters() override { return m_InputRegisters.data(); }
  UINT GetNumberOfInputRegisters() override { return static_cast<UINT>(m_InputRegisters.size()); }
  ShaderParameter* GetShaderParameter(UINT index) override;
  UINT GetNumberOfShaderParameters() override { return m_Record.GetNumberOfParameters(); }

  const CShaderRecord& GetRecord() const { return m_Record; }
  IDirect3DVertexShader9* GetD3DShader() const { return m_pShader; }
  const D3DXSEMANTIC* GetSemantics() const { return m_Semantics.data(); }
  void ReleaseDeviceObject();

 private:
  void LogInputRegisters();

  IDirect3DVertexShader9* m_pShader = nullptr;
  std::vector<ShaderInputRegister> m_InputRegisters;
  std::vector<D3DXSEMANTIC> m_Semantics;  // the same pairs, as the declarations take them
  CShaderRecord m_Record;
  CEngineLog* m_pLog;
  CVertexShaderBank* m_pBank;
};
