#include "shaders/ShaderProgramLog.h"

#include <cstdarg>

#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramLog::CShaderProgramLog";

// The exponent the engine scales a material's specular alpha by.
constexpr float kExponentScale = 120.0f;

}  // namespace

CShaderProgramLog::CShaderProgramLog(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling Log: %s") {
  // Every type may be logged; those without a layout write nothing.
  if (Word(1)[0] != '\0')
    m_pVariable = Reference(
        Word(1), {SHADER_VALUE_MATRIX, SHADER_VALUE_VECTOR, SHADER_VALUE_DWORD, SHADER_VALUE_FLOAT,
                  SHADER_VALUE_MATERIAL_VALUE, SHADER_VALUE_TEXTURE, SHADER_VALUE_DECLARATION,
                  SHADER_VALUE_MATRIX_REFERENCE, SHADER_VALUE_MATERIAL,
                  SHADER_VALUE_SQUARE_RENDER_TEXTURE, SHADER_VALUE_CUBE_RENDER_TEXTURE,
                  SHADER_VALUE_TABLE});
  if (m_pVariable == nullptr) Refuse(arguments, kSender);
}

void CShaderProgramLog::Write(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogToV(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, format, args);
  va_end(args);
}

UINT CShaderProgramLog::Execute() {
  if (m_pVariable == nullptr) {
    m_pPass->ReportError(256, "CShaderProgramCall::Execute");
    return 0;
  }
  const char* name = m_pVariable->GetName();
  switch (m_pVariable->GetType()) {
    case SHADER_VALUE_MATRIX:
    case SHADER_VALUE_MATRIX_REFERENCE:
      Write("A Shader Value (Matrix): %s:\n", name);
      WriteMatrix(reinterpret_cast<const float*>(m_pVariable->GetMatrix()));
      break;
    case SHADER_VALUE_VECTOR: {
      const D3DXVECTOR4& v = *m_pVariable->GetVector();
      Write("A Shader Value (Vector): %s:\n", name);
      Write("%f, %f, %f, %f\n", v.x, v.y, v.z, v.w);
      break;
    }
    case SHADER_VALUE_FLOAT:
      Write("A Shader Value (Float): %s:\n", name);
      Write("%f\n", *m_pVariable->GetFloat());
      break;
    case SHADER_VALUE_DWORD:
      Write("A Shader Value (Dword): %s:\n", name);
      Write("%i\n", static_cast<int>(*m_pVariable->GetDword()));
      break;
    case SHADER_VALUE_MATERIAL:
      Write("A Shader Value (Material): %s:\n", name);
      WriteMaterial(m_pVariable->GetMaterial());
      break;
    case SHADER_VALUE_MATERIAL_VALUE: {
      // A record held by value has no additional vectors to show.
      D3DMATERIAL9 record;
      static_assert(sizeof record == ShaderVariableValue::kMaterialFloats * sizeof(float));
      std::memcpy(&record, m_pVariable->GetMaterialValue(), sizeof record);
      Write("A Shader Value (Material): %s:\n", name);
      WriteMaterialRecord(record);
      break;
    }
    case SHADER_VALUE_TEXTURE:
      Write("A Shader Value (Texture): %s:\n", name);
      WriteTexture(m_pVariable->GetTexture());
      break;
    default: break;
  }
  return 1;
}

void CShaderProgramLog::WriteMatrix(const float* elements) {
  for (int i = 0; i < 16; ++i) {
    Write("%f,", elements[i]);
    if (i % 4 == 3) Write("\n");
  }
}

void CShaderProgramLog::WriteMaterialRecord(const D3DMATERIAL9& material) {
  Write("Diffuse: %f, %f, %f\n", material.Diffuse.r, material.Diffuse.g, material.Diffuse.b);
  Write("Transparency: %f\n", material.Diffuse.a);
  Write("Specular: %f, %f, %f\n", material.Specular.r, material.Specular.g, material.Specular.b);
  Write("Exponent: %f\n", material.Specular.a * kExponentScale);
  Write("Luminosity: %f, %f, %f\n", material.Emissive.r, material.Emissive.g, material.Emissive.b);
}

void CShaderProgramLog::WriteMaterial(CMaterialInterface* material) {
  if (material == nullptr) return;  // a source that found no material
  WriteMaterialRecord(*material->GetD3DMaterial());
  const CVector4& first = *material->GetAdditionalMaterial1();
  Write("Additional Material Vector 1:\n");
  Write("Diffuse: %f, Specular: %f, Exponent: %f, Reflection: %f\n", first.x, first.y, first.z,
        first.w);
  const CVector4& second = *material->GetAdditionalMaterial2();
  Write("Additional Material Vector 2:\n");
  Write("Translucency: %f, Fresnel Exp: %f, Refraction: %f, Luminosity: %f\n", second.x, second.y,
        second.z, second.w);
}

void CShaderProgramLog::WriteTexture(CTextureInterface* texture) {
  if (texture == nullptr) return;  // a variable that holds no texture
  const char* textureName = texture->GetName();
  Write("Name %s:\n", textureName != nullptr ? textureName : "");
  Write("Width: %i, Height: %i, Format: %i, Alpha Channel: %s\n",
        static_cast<int>(texture->GetWidth()), static_cast<int>(texture->GetHeight()),
        static_cast<int>(texture->GetFormat()), texture->HasAlphaChannel() ? "TRUE" : "FALSE");
}
