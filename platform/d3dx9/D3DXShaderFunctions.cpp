// The D3DX shader calls: assembling, compiling and the input registers of the result.
#include <mojoshader/mojoshader.h>

#include <cstring>
#include <string>
#include <vector>

#include "../d3d9/ShaderBytecode.h"
#include "CompiledShaderBlob.h"
#include "D3DXBuffer.h"
#include "ShaderAssembler.h"
#include "ShaderCompiler.h"
#include "ShaderSourceFile.h"
#include "d3dx9shader.h"

namespace {

// Hands out the messages when the caller asked for them; a failed allocation loses only them.
void GiveMessages(const std::string& messages, LPD3DXBUFFER* errors) {
  if (!errors || messages.empty()) return;
  std::vector<BYTE> bytes(messages.begin(), messages.end());
  bytes.push_back(0);
  CD3DXBuffer::Create(std::move(bytes), errors);
}

HRESULT Assemble(const char* source, size_t length, const char* fileName, const D3DXMACRO* defines,
                 LPD3DXBUFFER* shader, LPD3DXBUFFER* errors) {
  std::vector<BYTE> bytecode;
  std::string messages;
  if (!CShaderAssembler::Assemble(source, length, fileName, defines, &bytecode, &messages)) {
    GiveMessages(messages, errors);
    return D3DXERR_INVALIDDATA;
  }
  return CD3DXBuffer::Create(std::move(bytecode), shader);
}

HRESULT Compile(const char* source, size_t length, const char* fileName, const D3DXMACRO* defines, const char* entry,
                const char* profile, LPD3DXBUFFER* shader, LPD3DXBUFFER* errors) {
  CCompiledShaderBlob blob;
  std::string messages;
  if (!CShaderCompiler::Compile(source, length, fileName, defines, entry, profile, &blob, &messages)) {
    GiveMessages(messages, errors);
    return D3DXERR_INVALIDDATA;
  }
  GiveMessages(messages, errors);  // warnings
  const std::vector<DWORD> words = blob.Serialize();
  std::vector<BYTE> bytes(words.size() * sizeof(DWORD));
  memcpy(bytes.data(), words.data(), bytes.size());
  return CD3DXBuffer::Create(std::move(bytes), shader);
}

}  // namespace

ZKAPI HRESULT D3DXAssembleShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines, LPD3DXINCLUDE,
                                 DWORD, LPD3DXBUFFER* ppShader, LPD3DXBUFFER* ppErrorMsgs) {
  if (ppErrorMsgs) *ppErrorMsgs = nullptr;
  if (!pSrcData || !ppShader) return D3DERR_INVALIDCALL;
  *ppShader = nullptr;
  return Assemble(pSrcData, SrcDataLen, nullptr, pDefines, ppShader, ppErrorMsgs);
}

ZKAPI HRESULT D3DXAssembleShaderFromFileA(LPCSTR pSrcFile, const D3DXMACRO* pDefines, LPD3DXINCLUDE, DWORD,
                                          LPD3DXBUFFER* ppShader, LPD3DXBUFFER* ppErrorMsgs) {
  if (ppErrorMsgs) *ppErrorMsgs = nullptr;
  if (!pSrcFile || !ppShader) return D3DERR_INVALIDCALL;
  *ppShader = nullptr;
  std::string source;
  if (!CShaderSourceFile::Read(pSrcFile, &source)) {
    GiveMessages(std::string(pSrcFile) + ": error: cannot open file\n", ppErrorMsgs);
    return D3DXERR_INVALIDDATA;
  }
  return Assemble(source.data(), source.size(), pSrcFile, pDefines, ppShader, ppErrorMsgs);
}

ZKAPI HRESULT D3DXCompileShader(LPCSTR pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines, LPD3DXINCLUDE,
                                LPCSTR pFunctionName, LPCSTR pProfile, DWORD, LPD3DXBUFFER* ppShader,
                                LPD3DXBUFFER* ppErrorMsgs, LPD3DXCONSTANTTABLE* ppConstantTable) {
  if (ppErrorMsgs) *ppErrorMsgs = nullptr;
  if (ppConstantTable) *ppConstantTable = nullptr;
  if (!pSrcData || !ppShader) return D3DERR_INVALIDCALL;
  *ppShader = nullptr;
  return Compile(pSrcData, SrcDataLen, nullptr, pDefines, pFunctionName, pProfile, ppShader, ppErrorMsgs);
}

ZKAPI HRESULT D3DXCompileShaderFromFileA(LPCSTR pSrcFile, const D3DXMACRO* pDefines, LPD3DXINCLUDE,
                                         LPCSTR pFunctionName, LPCSTR pProfile, DWORD, LPD3DXBUFFER* ppShader,
                                         LPD3DXBUFFER* ppErrorMsgs, LPD3DXCONSTANTTABLE* ppConstantTable) {
  if (ppErrorMsgs) *ppErrorMsgs = nullptr;
  if (ppConstantTable) *ppConstantTable = nullptr;
  if (!pSrcFile || !ppShader) return D3DERR_INVALIDCALL;
  *ppShader = nullptr;
  std::string source;
  if (!CShaderSourceFile::Read(pSrcFile, &source)) {
    GiveMessages(std::string(pSrcFile) + ": error: cannot open file\n", ppErrorMsgs);
    return D3DXERR_INVALIDDATA;
  }
  return Compile(source.data(), source.size(), pSrcFile, pDefines, pFunctionName, pProfile, ppShader, ppErrorMsgs);
}

ZKAPI HRESULT D3DXGetShaderInputSemantics(const DWORD* pFunction, D3DXSEMANTIC* pSemantics, UINT* pCount) {
  if (!pFunction || !pCount) return D3DERR_INVALIDCALL;
  if (CCompiledShaderBlob::IsBlob(pFunction)) {
    CCompiledShaderBlob blob;
    if (!blob.Parse(pFunction)) return D3DXERR_INVALIDDATA;
    if (pSemantics)
      for (size_t i = 0; i < blob.inputs.size(); ++i) pSemantics[i] = {blob.inputs[i].usage, blob.inputs[i].usageIndex};
    *pCount = static_cast<UINT>(blob.inputs.size());
    return D3D_OK;
  }
  const size_t length = CShaderBytecode::Length(pFunction);
  if (length == 0) return D3DXERR_INVALIDDATA;
  const MOJOSHADER_parseData* data =
      MOJOSHADER_parse(MOJOSHADER_PROFILE_BYTECODE, nullptr, reinterpret_cast<const unsigned char*>(pFunction),
                       static_cast<unsigned>(length * sizeof(DWORD)), nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr);
  HRESULT result = D3D_OK;
  if (data->error_count > 0) {
    result = D3DXERR_INVALIDDATA;
  } else {
    if (pSemantics)
      for (int i = 0; i < data->attribute_count; ++i)
        pSemantics[i] = {static_cast<UINT>(data->attributes[i].usage), static_cast<UINT>(data->attributes[i].index)};
    *pCount = static_cast<UINT>(data->attribute_count);
  }
  MOJOSHADER_freeParseData(data);
  return result;
}
