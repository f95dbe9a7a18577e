#pragma once
// A shader program as GLSL for the GL back end: Direct3D 9 bytecode translated by MojoShader,
// or HLSL compiled by D3DXCompileShader, with what the back end needs to feed it — the GLSL names of its vertex inputs by usage and
// index, where each constant register lands in the program's uniform arrays, and which texture
// stage each sampler reads.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../d3dx9/CompiledShaderBlob.h"
#include "d3d9.h"

enum EShaderKind { SHADER_VERTEX, SHADER_PIXEL };

struct SShaderInput {
  BYTE usage;  // D3DDECLUSAGE_*
  BYTE usageIndex;
  std::string name;
};

// `count` registers from `firstRegister` of one register file, stored in the program's array
// for that file from element `slot` on.
struct SRegisterRange {
  UINT firstRegister;
  UINT count;
  UINT slot;
};

struct SRegisterFile {
  std::string arrayName;  // empty when the program reads no register of this file
  UINT arraySize = 0;
  std::vector<SRegisterRange> ranges;
};

// The texture type a sampler is read as.
enum ESamplerType : uint8_t { SAMPLER_TYPE_2D, SAMPLER_TYPE_CUBE, SAMPLER_TYPE_VOLUME };

struct SShaderSampler {
  UINT slot;  // the device's sampler slot, which is also the GL texture unit
  std::string name;
  ESamplerType type = SAMPLER_TYPE_2D;
  // Pixel shader model 1 names no type: Direct3D reads whatever is bound, the translation reads
  // the type it assumed (2D, a cube for the texm3x3 family) and nothing else.
  bool typeAssumed = false;
};

class CShaderTranslation {
 public:
  static constexpr size_t kMaxInputs = 16;  // the attributes every GL implementation has

  // The translation of `function` (bytecode or compiled HLSL of the given kind); null with a
  // message when the code is not valid code of that kind or cannot be translated.
  static std::shared_ptr<const CShaderTranslation> Translate(const DWORD* function, EShaderKind kind,
                                                             std::string* error);

  // Where declarations may go in GLSL: after the leading directives (#version, #extension).
  static size_t AfterDirectives(const std::string& source);

  EShaderKind Kind() const { return m_kind; }
  // Unique for the process's lifetime, so compiled GL objects can be cached by it.
  uint64_t Id() const { return m_id; }
  const std::vector<DWORD>& Function() const { return m_function; }
  const std::string& Source() const { return m_source; }
  const std::vector<SShaderInput>& Inputs() const { return m_inputs; }
  // The attribute location of the input with this usage and index: its place in Inputs(), so
  // any usage the declaration has finds a place; ATTRIBUTE_NONE (-1) when the program has no such input.
  int InputLocation(BYTE usage, BYTE usageIndex) const;
  const SRegisterFile& FloatRegisters() const { return m_floats; }
  const SRegisterFile& IntegerRegisters() const { return m_integers; }
  const SRegisterFile& BooleanRegisters() const { return m_booleans; }
  const std::vector<SShaderSampler>& Samplers() const { return m_samplers; }
  // Uniforms of compiled HLSL, each fed from a run of float registers.
  const std::vector<SBlobConstant>& NamedConstants() const { return m_namedConstants; }
  // False, with the reason, when a sampler whose type the translation assumed has a texture of
  // another type bound; `cubeBound` and `bound` tell each sampler slot's texture.
  bool ReadsBoundTextures(const bool* bound, const bool* cubeBound, std::string* reason) const;
  // True the first time only, so a refused draw is reported once per program.
  bool FirstRefusal() const { return !m_refusalReported.exchange(true); }

 private:
  CShaderTranslation() = default;
  static std::shared_ptr<CShaderTranslation> FromBytecode(const DWORD* function, EShaderKind kind, std::string* error);
  static std::shared_ptr<CShaderTranslation> FromBlob(const DWORD* function, EShaderKind kind, std::string* error);
  // Renames the translated main and adds one that applies the device's position fix-ups.
  bool AddVertexEpilogue();

  EShaderKind m_kind = SHADER_VERTEX;
  uint64_t m_id = 0;
  std::vector<DWORD> m_function;
  std::string m_source;
  std::vector<SShaderInput> m_inputs;
  SRegisterFile m_floats, m_integers, m_booleans;
  std::vector<SShaderSampler> m_samplers;
  std::vector<SBlobConstant> m_namedConstants;
  mutable std::atomic<bool> m_refusalReported{false};
};
