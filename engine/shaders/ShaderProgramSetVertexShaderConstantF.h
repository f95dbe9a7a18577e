#pragma once
// SETVERTEXSHADERCONSTANTF: loads a variable's value into float vertex-shader constant
// registers. Besides vectors and matrices it loads two tables: a mesh's bone palette (three
// registers a bone after an identity) and the lights the active camera sees (five registers a
// light, distant lights first, then point, then spot lights).
#include "shaders/ShaderProgramSetConstant.h"

class CMesh;

class CShaderProgramSetVertexShaderConstantF final : public CShaderProgramSetConstant {
 public:
  explicit CShaderProgramSetVertexShaderConstantF(const ShaderLineArguments& arguments);

 private:
  UINT LoadTable() override;
  void LoadBonePalette(CMesh* mesh);
  UINT LoadVisibleLights();
};

CShaderLine* MakeSetVertexShaderConstantF(const ShaderLineArguments& arguments);
