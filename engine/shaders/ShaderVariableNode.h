#pragma once
// One declared variable of a pass: its name and its value record. Commands find it by name when
// they compile and read its value through the typed accessors when they run, so they see what
// the latest variable line before them wrote.
#include "d3d9types.h"
#include "shaders/ShaderVariableValue.h"

class CEngineLog;
class CShaderVariable;
class CTextureInterface;
class CMaterialInterface;

class CShaderVariableNode {
 public:
  static constexpr UINT kNameSize = 256;

  // A variable of `type` named `name` (at most 255 characters), declared by `owner`.
  CShaderVariableNode(CEngineLog* log, CShaderVariable* owner, const char* name, UINT type);

  const char* GetName() const { return m_szName; }
  CShaderVariable* GetOwner() { return m_pOwner; }
  UINT GetType() const { return m_Value.dwType; }
  ShaderVariableValue* GetValue() { return &m_Value; }
  void SetValue(const ShaderVariableValue& value) { m_Value = value; }

  // Each accessor answers null when the record holds another type.
  D3DXMATRIX* GetMatrix();
  D3DXVECTOR4* GetVector();
  DWORD* GetDword();
  float* GetFloat();
  DWORD* GetTable();
  float* GetMaterialValue();
  CTextureInterface* GetTexture();
  D3DVERTEXELEMENT9* GetDeclaration();
  CMaterialInterface* GetMaterial();
  void* GetSquareRenderTexture();
  void* GetCubeRenderTexture();

 private:
  void* PointerOf(UINT type) { return m_Value.dwType == type ? m_Value.pValue : nullptr; }

  CEngineLog* m_pLog;
  CShaderVariable* m_pOwner;
  char m_szName[kNameSize] = {};
  ShaderVariableValue m_Value = {};
};
