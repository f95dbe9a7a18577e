#include "d3d/ShaderCreation.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/ShaderRecord.h"

namespace {

const char kSource[] = ".\\Sources\\D3DShaders9";
constexpr int kInfo = CEngineLog::kLevelInfo;

// The text of a message buffer, which need not end in a zero.
std::string BufferText(ID3DXBuffer* buffer) {
  const char* text = static_cast<const char*>(buffer->GetBufferPointer());
  return text ? std::string(text, strnlen(text, buffer->GetBufferSize())) : std::string();
}

}  // namespace

CShaderCreation::CShaderCreation(CEngineLog* log, const char* shadersDirectory, const ShaderKind& kind)
    : m_pLog(log), m_Directory(shadersDirectory ? shadersDirectory : ""), m_Kind(kind) {}

std::string CShaderCreation::ParameterName(const ShaderParameter& parameter) {
  return std::string(parameter.szParameterName, strnlen(parameter.szParameterName, sizeof parameter.szParameterName));
}

std::string CShaderCreation::BeginRequest(const char* fileName, const ShaderParameter* parameters, UINT count,
                                          bool hlsl) {
  std::string name = fileName ? fileName : "";
  for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  LogTo(m_pLog, kSource, kInfo, "- Creating %s %s Shader With Parameters:\n", name.c_str(), m_Kind.name);
  if (count == 0) LogTo(m_pLog, kSource, kInfo, "  - none\n");
  for (UINT i = 0; i < count; ++i)
    LogTo(m_pLog, kSource, kInfo, "  - %s, Value: %i, Dynamic: %s\n", ParameterName(parameters[i]).c_str(),
          static_cast<int>(parameters[i].dwValue), parameters[i].dwDynamicID == 1 ? "TRUE" : "FALSE");
  if (name.size() >= CShaderRecord::kNameLength) CompileFailed(name, hlsl, D3DERR_INVALIDCALL);
  return name;
}

bool CShaderCreation::Matches(const CShaderRecord& stored, const std::string& name, const ShaderParameter* parameters,
                              UINT count, bool hlsl) const {
  if (name != stored.GetName() || stored.GetNumberOfParameters() != count) return false;
  const ShaderParameter* own = stored.GetParameters();
  for (UINT i = 0; i < count; ++i) {
    const std::string wanted = ParameterName(parameters[i]);
    if (!hlsl) {
      if (ParameterName(own[i]) != wanted) return false;
      if (m_Kind.assemblyComparesValues && own[i].dwValue != parameters[i].dwValue) return false;
      continue;
    }
    bool found = false;
    for (UINT j = 0; j < count && !found; ++j)
      found = ParameterName(own[j]) == wanted && own[j].dwValue == parameters[i].dwValue;
    if (!found) return false;
  }
  return true;
}

void CShaderCreation::LogReuse(const std::string& name, bool hlsl) const {
  if (hlsl)
    LogTo(m_pLog, kSource, kInfo, "  - Loading Shader From Bank ( %s )\n", name.c_str());
  else
    LogTo(m_pLog, kSource, kInfo, "  - Already Exists!\n");
}

void CShaderCreation::LogCount(UINT count) const {
  LogTo(m_pLog, kSource, kInfo, "  - Number Of %s Shaders: %i\n", m_Kind.name, static_cast<int>(count));
}

ID3DXBuffer* CShaderCreation::Compile(const std::string& name, const char* profile, const ShaderParameter* parameters,
                                      UINT count, const ShaderParameter* extra, UINT extraCount) const {
  const bool hlsl = profile != nullptr;
  // The macro list: each parameter's name defined as its value, the extra ones after them, and
  // the closing entry; none at all when there is nothing to define.
  std::vector<std::string> texts;
  std::vector<D3DXMACRO> macros;
  if (hlsl) {
    if (m_Kind.logsMacros) LogTo(m_pLog, kSource, kInfo, "  - Number of parameters: %i\n", static_cast<int>(count));
    auto add = [&](const ShaderParameter& parameter) {
      texts.push_back(ParameterName(parameter));
      texts.push_back(std::to_string(static_cast<int>(parameter.dwValue)));
      if (m_Kind.logsMacros) LogTo(m_pLog, kSource, kInfo, "    %s\n", texts[texts.size() - 2].c_str());
    };
    for (UINT i = 0; i < count; ++i) add(parameters[i]);
    for (UINT i = 0; i < extraCount; ++i) add(extra[i]);
    for (size_t i = 0; i < texts.size(); i += 2) macros.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    if (!macros.empty()) macros.push_back({nullptr, nullptr});
  }
  const D3DXMACRO* defines = macros.empty() ? nullptr : macros.data();

  ID3DXBuffer* code = nullptr;
  ID3DXBuffer* messages = nullptr;
  HRESULT result;
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  if (files && files->LocateShaderFile(name.c_str()) == VFS_SOURCE_ARCHIVE) {
    VFSFile* file = files->OpenShaderFile(name.c_str(), "rb");
    if (!file) FatalErrorWithTitle("Error", "Can't Open: %s", name.c_str());
    const char* text = reinterpret_cast<const char*>(file->GetFileBuffer());
    const UINT length = file->GetFileLength();
    result = hlsl ? D3DXCompileShader(text, length, defines, nullptr, "main", profile, 0, &code, &messages, nullptr)
                  : D3DXAssembleShader(text, length, nullptr, nullptr, 0, &code, &messages);
    file->Close();
  } else {
    const std::string path = m_Directory.empty() ? name : m_Directory + "\\" + name;
    if (path.size() >= CShaderRecord::kNameLength) CompileFailed(name, hlsl, D3DERR_INVALIDCALL);
    result = hlsl ? D3DXCompileShaderFromFileA(path.c_str(), defines, nullptr, "main", profile, 0, &code, &messages,
                                               nullptr)
                  : D3DXAssembleShaderFromFileA(path.c_str(), nullptr, nullptr, 0, &code, &messages);
  }
  if (messages) {
    LogTo(m_pLog, kSource, hlsl ? m_Kind.hlslMessageLevel : m_Kind.assemblyMessageLevel, "%s\n",
          BufferText(messages).c_str());
    messages->Release();
  }
  if (FAILED(result) || !code) {
    if (code) code->Release();
    CompileFailed(name, hlsl, FAILED(result) ? result : E_FAIL);
  }
  return code;
}

void CShaderCreation::CompileFailed(const std::string& name, bool hlsl, HRESULT result) const {
  FatalErrorWithTitle(m_Kind.compileTitle, hlsl ? m_Kind.hlslFailure : m_Kind.assemblyFailure, name.c_str(),
                      D3DResultName(result), D3DResultDescription(result));
}
