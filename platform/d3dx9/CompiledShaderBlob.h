#pragma once
// The code D3DXCompileShader hands out: HLSL compiled to GLSL, with the program's inputs by
// semantic, the constant registers (float, integer, Boolean) each uniform is fed from, and the
// sampler each sampler register names. Like
// Direct3D bytecode it is a run of DWORDs whose first one tells it apart from bytecode (whose
// version token starts 0xFFFE or 0xFFFF) and whose own header gives its length.
#include <string>
#include <vector>

#include "d3d9.h"

struct SBlobInput {
  UINT usage;  // D3DDECLUSAGE_*
  UINT usageIndex;
  std::string name;
};

// The register file a uniform is fed from, and the type of its components in the program.
enum EBlobRegisterSet : UINT {
  BLOB_REGISTERS_FLOAT = 0,
  BLOB_REGISTERS_INTEGER = 1,
  BLOB_REGISTERS_BOOLEAN = 2,
  BLOB_REGISTERS_SAMPLER = 3  // only for placing samplers; no uniform is fed from these
};
enum EBlobValueType : UINT { BLOB_VALUE_FLOAT = 0, BLOB_VALUE_INT = 1, BLOB_VALUE_UINT = 2 };

// A uniform of the program: a vector of `rows` components, or a matrix of `columns` such
// vectors, in `elements` array elements, fed from `registerCount` registers from
// `firstRegister` of its register set. A float register feeds one vector (or matrix column),
// an integer register one vector, a Boolean register one component.
struct SBlobConstant {
  UINT registerSet;  // EBlobRegisterSet
  UINT valueType;    // EBlobValueType
  UINT firstRegister;
  UINT registerCount;
  UINT columns;
  UINT rows;
  UINT elements;
  std::string name;
};

struct SBlobSampler {
  UINT stage;  // the sampler register sN
  std::string name;
};

class CCompiledShaderBlob {
 public:
  static constexpr DWORD kMagic = 0x4C484B5A;  // "ZKHL"
  static constexpr DWORD kMaxDwords = 1 << 22;

  bool isVertex = true;
  std::string source;
  std::vector<SBlobInput> inputs;
  std::vector<SBlobConstant> constants;
  std::vector<SBlobSampler> samplers;

  static bool IsBlob(const DWORD* code) { return code && code[0] == kMagic; }
  std::vector<DWORD> Serialize() const;
  // False for a blob whose lengths or counts run past its size.
  bool Parse(const DWORD* code);
  // DWORDs of the blob at `code` as its header gives them (0 for no blob).
  static size_t Length(const DWORD* code);
};
