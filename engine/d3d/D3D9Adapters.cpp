#include "d3d/D3D9Adapters.h"

#include <new>

#include "core/EngineLog.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/DeviceSettings.h"

namespace {

const char kSource[] = "D3DInitialization9";

}  // namespace

CD3D9Adapters::~CD3D9Adapters() { Release(); }

void CD3D9Adapters::Release() {
  for (CD3D9Enumeration* enumeration : m_Enumerations) delete enumeration;
  m_Enumerations.clear();
  if (m_pD3D) m_pD3D->Release();
  m_pD3D = nullptr;
}

UINT CD3D9Adapters::Enumerate() {
  Release();
  if (m_pLog) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- Begin D3D9 Enumeration\n");
  m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
  if (!m_pD3D) return 0;
  const UINT count = m_pD3D->GetAdapterCount();
  if (count == 0) return 0;
  if (m_pLog) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "  - %i Device(s)\n", static_cast<int>(count));
  UINT usable = 0;
  for (UINT adapter = 0; adapter < count; ++adapter) {
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "  - Enumerating %i Device\n",
                  static_cast<int>(adapter));
    CD3D9Enumeration* enumeration = new (std::nothrow) CD3D9Enumeration(m_pLog, m_pD3D, adapter, this);
    if (!enumeration) return 0;
    m_Enumerations.push_back(enumeration);
    if (enumeration->IsUsable()) usable = 1;
  }
  return usable;
}

CD3D9Enumeration* CD3D9Adapters::GetEnumeration() const {
  CD3D9Enumeration* selected = m_pSettings ? GetAdapterEnumeration(m_pSettings->dwAdapter) : nullptr;
  return selected ? selected : GetAdapterEnumeration(0);
}
