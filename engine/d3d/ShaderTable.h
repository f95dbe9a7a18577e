#pragma once
// A shader bank's table: 2048 slots filled from the first upward and never emptied, the shared
// find-or-create over it, and the release of every Direct3D shader at shutdown.
#include <memory>
#include <string>

#include "core/FatalError.h"
#include "d3d/ShaderCreation.h"

template <class Shader>
class TShaderTable {
 public:
  static constexpr UINT kCapacity = 2048;

  TShaderTable(CEngineLog* log, const char* shadersDirectory, const ShaderKind& kind)
      : m_Creation(log, shadersDirectory, kind) {}

  // The stored shader that may stand for the request, or a new one that `make` (compiled code,
  // lower-cased name, parameter count, the title and text of an allocation failure) builds from
  // the file, with `extra` macros after the
  // parameters of a high-level compile. Every failure is fatal.
  template <class Make>
  Shader* FindOrCreate(const char* fileName, const char* profile, const ShaderParameter* parameters, UINT count,
                       const ShaderParameter* extra, UINT extraCount, Make make) {
    const bool hlsl = profile != nullptr;
    if (!parameters) count = 0;
    const std::string name = m_Creation.BeginRequest(fileName, parameters, count, hlsl);
    for (UINT i = 0; i < m_dwCount; ++i) {
      if (!m_Creation.Matches(m_Table[i]->GetRecord(), name, parameters, count, hlsl)) continue;
      m_Creation.LogReuse(name, hlsl);
      return m_Table[i].get();
    }
    const ShaderKind& kind = m_Creation.Kind();
    if (m_dwCount == kCapacity) FatalErrorWithTitle(kind.objectTitle, "%s", kind.tableFull);
    ID3DXBuffer* code = m_Creation.Compile(name, profile, parameters, count, extra, hlsl ? extraCount : 0);
    Shader* shader = make(static_cast<const DWORD*>(code->GetBufferPointer()), name.c_str(), count, kind.objectTitle,
                          kind.allocationFailure);
    code->Release();
    m_Table[m_dwCount++].reset(shader);
    m_Creation.LogCount(m_dwCount);
    return shader;
  }

  void ReleaseDeviceObjects() {
    for (UINT i = 0; i < m_dwCount; ++i) m_Table[i]->ReleaseDeviceObject();
  }
  UINT GetCount() const { return m_dwCount; }

 private:
  std::unique_ptr<Shader> m_Table[kCapacity];
  UINT m_dwCount = 0;
  CShaderCreation m_Creation;
};
