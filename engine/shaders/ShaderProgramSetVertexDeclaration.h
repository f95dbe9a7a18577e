#pragma once
// SETVERTEXDECLARATION: sets the vertex declaration found (or made) in the declaration bank when
// the line compiled, and, in a mesh shader, the mesh's vertex buffer that fits it: its own
// geometry (0) or its shadow-volume geometry (1).
#include "shaders/ShaderDeclarationLine.h"
#include "shaders/ShaderLine.h"

class CEngineLog;
class CEngineRenderer;
class CShaderPass;
class CShaderVariableNode;
class CVertexDeclarationInterface;
struct ShaderLineArguments;

class CShaderProgramSetVertexDeclaration final : public CShaderLine,
                                                 public CShaderDeclarationLine {
 public:
  explicit CShaderProgramSetVertexDeclaration(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override;
  UINT GetType() override { return SHADER_COMMAND_SET_VERTEX_DECLARATION; }
  int GetSkip() override { return 0; }

  // The DECLARATION variable's current element list.
  const D3DVERTEXELEMENT9* GetDeclarationElements() override;
  UINT GetGeometry() override { return m_dwGeometry; }
  CVertexDeclarationInterface* GetDeclaration() const { return m_pDeclaration; }

 private:
  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CVertexDeclarationInterface* m_pDeclaration = nullptr;  // the bank's
  CShaderVariableNode* m_pVariable = nullptr;             // the pass's
  UINT m_dwGeometry = 0;
};

CShaderLine* MakeSetVertexDeclaration(const ShaderLineArguments& arguments);
