#pragma once
// LOG variable: writes a variable's current value to the engine log each time the pass runs, in
// a layout by its type (matrices, vectors, floats, words, materials and textures).
#include "d3d9types.h"
#include "shaders/ShaderCommand.h"

class CMaterialInterface;
class CTextureInterface;

class CShaderProgramLog final : public CShaderCommand {
 public:
  explicit CShaderProgramLog(const ShaderLineArguments& arguments);

  // 1; a type without a layout writes nothing.
  UINT Execute() override;
  UINT GetType() override { return 39; }

 private:
  void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void WriteMatrix(const float* elements);
  // The Direct3D part of a material.
  void WriteMaterialRecord(const D3DMATERIAL9& material);
  void WriteMaterial(CMaterialInterface* material);
  void WriteTexture(CTextureInterface* texture);

  CShaderVariableNode* m_pVariable = nullptr;
};
