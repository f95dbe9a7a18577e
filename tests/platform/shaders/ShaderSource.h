#pragma once
// Assembles test shaders; a failure shows the assembler's messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "d3dx9.h"

inline std::vector<DWORD> AssembleOrFail(const std::string& source) {
  LPD3DXBUFFER code = nullptr;
  LPD3DXBUFFER errors = nullptr;
  const HRESULT result = D3DXAssembleShader(source.c_str(), static_cast<UINT>(source.size()), nullptr, nullptr, 0,
                                            &code, &errors);
  EXPECT_EQ(D3D_OK, result) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "") << source;
  std::vector<DWORD> tokens;
  if (code) {
    const DWORD* begin = static_cast<const DWORD*>(code->GetBufferPointer());
    tokens.assign(begin, begin + code->GetBufferSize() / sizeof(DWORD));
    code->Release();
  }
  if (errors) errors->Release();
  return tokens;
}
