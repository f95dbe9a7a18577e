#pragma once
// Places the globals of an HLSL program in Direct3D 9 constant registers: where the source
// says (`float4 Tint : register(c4)`), else in the lowest free registers of the global's
// register set, in declaration order.
#include <map>
#include <string>
#include <vector>

#include "CompiledShaderBlob.h"

class CShaderRegisterAllocator {
 public:
  static constexpr UINT kSetCount = 4;

  // Reads the explicit placements of the source's globals; `limits` is the number of registers
  // of each set (EBlobRegisterSet order).
  CShaderRegisterAllocator(const char* source, size_t length, const UINT (&limits)[kSetCount]);

  // The explicit placement of global `name`: false when the source gives none or gives one in
  // a set other than c, i, b and s.
  bool Explicit(const std::string& name, EBlobRegisterSet* set, UINT* first) const;
  // Marks `count` registers from `first` as taken; false when they run past the set.
  bool Reserve(EBlobRegisterSet set, UINT first, UINT count);
  // The lowest run of `count` free registers of the set, then taken; false when none is left.
  bool Allocate(EBlobRegisterSet set, UINT count, UINT* first);

 private:
  struct SPlacement {
    char letter;
    UINT number;
  };
  std::map<std::string, SPlacement> m_explicit;
  std::vector<bool> m_taken[kSetCount];
};
