#pragma once
// The code D3DXCompileShader hands out: HLSL compiled to GLSL, with the program's inputs by
// semantic, where each float constant register lands, and the stage each sampler reads. Like
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

// A uniform of the program fed from `registerCount` float registers from `firstRegister`: a
// vector of `rows` components, or a matrix of `columns` such vectors (one register each), in
// `elements` array elements.
struct SBlobConstant {
  UINT firstRegister;
  UINT registerCount;
  UINT columns;
  UINT rows;
  UINT elements;
  std::string name;
};

struct SBlobSampler {
  UINT stage;
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
