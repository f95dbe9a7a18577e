#include "ShaderTranslation.h"

#include <mojoshader/mojoshader.h>

#include <atomic>

#include "DeviceState.h"
#include "FixedFunctionProgram.h"
#include "PixelShaderLowering.h"
#include "RelativeConstantTable.h"
#include "ShaderBytecode.h"

namespace {

std::atomic<uint64_t> g_nextId{1};

// Fills a register file from MojoShader's uniforms of one type: each takes one element of the
// type's array, or `array_count` for a range read with relative addressing, in list order.
void CollectRegisters(const MOJOSHADER_parseData& data, MOJOSHADER_uniformType type, const char* arrayName,
                      SRegisterFile* file) {
  UINT slot = 0;
  for (int i = 0; i < data.uniform_count; ++i) {
    const MOJOSHADER_uniform& u = data.uniforms[i];
    if (u.type != type || u.index < 0) continue;
    const UINT count = u.array_count > 0 ? static_cast<UINT>(u.array_count) : 1;
    // A constant array is filled by the program's own definitions, not from the registers.
    if (!u.constant) file->ranges.push_back({static_cast<UINT>(u.index), count, slot});
    slot += count;
  }
  if (slot > 0) {
    file->arrayName = arrayName;
    file->arraySize = slot;
  }
}

// The device's sampler slot (and GL texture unit) of sampler register sN of a program; false for
// a register the kind of program does not have.
bool SamplerSlot(EShaderKind kind, UINT sampler, UINT* slot) {
  if (kind == SHADER_VERTEX) {
    if (sampler > D3DVERTEXTEXTURESAMPLER3 - D3DVERTEXTEXTURESAMPLER0) return false;
    *slot = kFirstVertexSamplerSlot + sampler;
  } else {
    if (sampler >= kFirstVertexSamplerSlot) return false;
    *slot = sampler;
  }
  return true;
}

}  // namespace

std::shared_ptr<const CShaderTranslation> CShaderTranslation::Translate(const DWORD* function, EShaderKind kind,
                                                                        std::string* error) {
  std::shared_ptr<CShaderTranslation> translation =
      CCompiledShaderBlob::IsBlob(function) ? FromBlob(function, kind, error) : FromBytecode(function, kind, error);
  if (!translation) return nullptr;
  translation->m_kind = kind;
  translation->m_id = g_nextId++;
  if (kind == SHADER_VERTEX && !translation->AddVertexEpilogue()) {
    *error = "translated vertex program has no main function";
    return nullptr;
  }
  return translation;
}

std::shared_ptr<CShaderTranslation> CShaderTranslation::FromBlob(const DWORD* function, EShaderKind kind,
                                                                 std::string* error) {
  CCompiledShaderBlob blob;
  if (!blob.Parse(function)) {
    *error = "damaged compiled shader";
    return nullptr;
  }
  if (blob.isVertex != (kind == SHADER_VERTEX)) {
    *error = blob.isVertex ? "vertex shader code given for a pixel shader" : "pixel shader code given for a vertex shader";
    return nullptr;
  }
  std::shared_ptr<CShaderTranslation> translation(new CShaderTranslation());
  translation->m_function.assign(function, function + CCompiledShaderBlob::Length(function));
  translation->m_source = std::move(blob.source);
  for (const SBlobInput& input : blob.inputs)
    if (input.usage <= MAXD3DDECLUSAGE && input.usageIndex <= 255)
      translation->m_inputs.push_back({static_cast<BYTE>(input.usage), static_cast<BYTE>(input.usageIndex), input.name});
  for (const SBlobSampler& sampler : blob.samplers) {
    UINT slot;
    if (!SamplerSlot(kind, sampler.stage, &slot)) {
      *error = "sampler register s" + std::to_string(sampler.stage) + " out of range";
      return nullptr;
    }
    translation->m_samplers.push_back({slot, sampler.name});
  }
  translation->m_namedConstants = std::move(blob.constants);
  return translation;
}

std::shared_ptr<CShaderTranslation> CShaderTranslation::FromBytecode(const DWORD* function, EShaderKind kind,
                                                                     std::string* error) {
  const size_t length = CShaderBytecode::Length(function);
  if (length == 0) {
    *error = "not Direct3D 9 shader bytecode";
    return nullptr;
  }
  const bool isVertex = CShaderBytecode::IsVertexVersion(function[0]);
  if (isVertex != (kind == SHADER_VERTEX)) {
    *error = isVertex ? "vertex shader code given for a pixel shader" : "pixel shader code given for a vertex shader";
    return nullptr;
  }
  // MojoShader translates the lowered code; the shader keeps the code it was created from.
  CPixelShaderLowering lowering;
  if (!lowering.Rewrite(function, length, error)) return nullptr;
  std::vector<DWORD> code = lowering.Tokens();
  CRelativeConstantTable::AddWhereNeeded(&code);
  const MOJOSHADER_parseData* data =
      MOJOSHADER_parse(MOJOSHADER_PROFILE_GLSL120, "main", reinterpret_cast<const unsigned char*>(code.data()),
                       static_cast<unsigned>(code.size() * sizeof(DWORD)), nullptr, 0, nullptr, 0, nullptr, nullptr,
                       nullptr);
  if (data->error_count > 0 || !data->output) {
    *error = data->error_count > 0 && data->errors[0].error ? data->errors[0].error : "translation failed";
    MOJOSHADER_freeParseData(data);
    return nullptr;
  }
  std::shared_ptr<CShaderTranslation> translation(new CShaderTranslation());
  translation->m_function.assign(function, function + length);
  translation->m_source.assign(data->output, static_cast<size_t>(data->output_len));
  if (lowering.Lowered() && !lowering.Complete(&translation->m_source, error)) {
    MOJOSHADER_freeParseData(data);
    return nullptr;
  }
  for (int i = 0; i < data->attribute_count; ++i) {
    const MOJOSHADER_attribute& a = data->attributes[i];
    if (a.usage < 0 || a.usage >= MOJOSHADER_USAGE_TOTAL || a.index < 0 || a.index > 255 || !a.name) continue;
    // MojoShader numbers usages as D3DDECLUSAGE does.
    translation->m_inputs.push_back({static_cast<BYTE>(a.usage), static_cast<BYTE>(a.index), a.name});
  }
  const char* prefix = kind == SHADER_VERTEX ? "vs" : "ps";
  const bool typesAssumed = kind == SHADER_PIXEL && CShaderBytecode::MajorVersion(function[0]) == 1;
  CollectRegisters(*data, MOJOSHADER_UNIFORM_FLOAT, (std::string(prefix) + "_uniforms_vec4").c_str(),
                   &translation->m_floats);
  CollectRegisters(*data, MOJOSHADER_UNIFORM_INT, (std::string(prefix) + "_uniforms_ivec4").c_str(),
                   &translation->m_integers);
  CollectRegisters(*data, MOJOSHADER_UNIFORM_BOOL, (std::string(prefix) + "_uniforms_bool").c_str(),
                   &translation->m_booleans);
  for (int i = 0; i < data->sampler_count; ++i) {
    const MOJOSHADER_sampler& s = data->samplers[i];
    UINT slot;
    if (!s.name || s.index < 0 || !SamplerSlot(kind, static_cast<UINT>(s.index), &slot)) {
      *error = "sampler register s" + std::to_string(s.index) + " out of range";
      MOJOSHADER_freeParseData(data);
      return nullptr;
    }
    const ESamplerType type = s.type == MOJOSHADER_SAMPLER_CUBE     ? SAMPLER_TYPE_CUBE
                              : s.type == MOJOSHADER_SAMPLER_VOLUME ? SAMPLER_TYPE_VOLUME
                                                                    : SAMPLER_TYPE_2D;
    translation->m_samplers.push_back({slot, s.name, type, typesAssumed});
  }
  MOJOSHADER_freeParseData(data);
  for (UINT sampler : lowering.Samplers()) {
    UINT slot;
    if (!SamplerSlot(kind, sampler, &slot)) {
      *error = "sampler register s" + std::to_string(sampler) + " out of range";
      return nullptr;
    }
    translation->m_samplers.push_back({slot, "ps_s" + std::to_string(sampler), SAMPLER_TYPE_2D, true});
  }
  return translation;
}

bool CShaderTranslation::ReadsBoundTextures(const bool* bound, const bool* cubeBound, std::string* reason) const {
  static const char* const kTypes[] = {"a 2D texture", "a cube texture", "a volume texture"};
  for (const SShaderSampler& sampler : m_samplers) {
    if (!sampler.typeAssumed || !bound[sampler.slot]) continue;
    const ESamplerType boundType = cubeBound[sampler.slot] ? SAMPLER_TYPE_CUBE : SAMPLER_TYPE_2D;
    if (boundType == sampler.type) continue;
    *reason = "shader model 1 pixel program reads sampler s" + std::to_string(sampler.slot) + " as " +
              kTypes[sampler.type] + ", but " + kTypes[boundType] + " is bound";
    return false;
  }
  return true;
}

bool CShaderTranslation::AddVertexEpilogue() {
  static const char kMain[] = "void main()";
  const size_t main = m_source.find(kMain);
  if (main == std::string::npos) return false;
  m_source.replace(main, sizeof kMain - 1, "void shader_main()");
  // Depth laid by one kind of vertex processing is tested EQUAL against the other's.
  // After the leading directives (#version, #extension), before any use of the position.
  m_source.insert(AfterDirectives(m_source), "invariant gl_Position;\n");
  m_source += "uniform vec4 u_viewport;\n";
  m_source += CFixedFunctionProgram::ClipPositionFunction();
  m_source += "void main() {\n  shader_main();\n  gl_Position = DeviceClipPosition(gl_Position);\n}\n";
  return true;
}

size_t CShaderTranslation::AfterDirectives(const std::string& source) {
  size_t lineStart = 0;
  while (lineStart < source.size() && source[lineStart] == '#') {
    const size_t end = source.find('\n', lineStart);
    lineStart = end == std::string::npos ? source.size() : end + 1;
  }
  return lineStart;
}

int CShaderTranslation::InputLocation(BYTE usage, BYTE usageIndex) const {
  for (size_t i = 0; i < m_inputs.size() && i < kMaxInputs; ++i)
    if (m_inputs[i].usage == usage && m_inputs[i].usageIndex == usageIndex) return static_cast<int>(i);
  return -1;
}
