#pragma once
// The Direct3D object and one capability record per adapter, tested against the rendering
// schemes the engine core hands in. The renderer keeps one for the life of its Direct3D object
// and answers the engine's enumeration questions through it.
#include <vector>

#include "d3d/D3D9EnumerationOwner.h"
#include "d3d/RenderingSchemes.h"
#include "d3d9.h"

class CD3D9Enumeration;
class CEngineLog;

class CD3D9Adapters final : public CD3D9EnumerationOwner {
 public:
  explicit CD3D9Adapters(CEngineLog* log) : m_pLog(log) {}
  ~CD3D9Adapters();
  CD3D9Adapters(const CD3D9Adapters&) = delete;
  CD3D9Adapters& operator=(const CD3D9Adapters&) = delete;

  // Keeps a copy of the records (at most the list's room) for the enumeration.
  void SetSchemes(const RenderingScheme* records, DWORD count) { m_Schemes.Set(records, count); }
  DWORD GetNumberOfSchemes() override { return m_Schemes.GetNumberOfSchemes(); }
  const RenderingScheme* GetScheme(DWORD index) override { return m_Schemes.GetScheme(index); }

  // Creates the Direct3D object and enumerates every adapter; 1 when at least one adapter
  // satisfies a rendering scheme. Running it again starts over.
  UINT Enumerate();

  DWORD GetAdapterCount() const { return static_cast<DWORD>(m_Enumerations.size()); }
  // Adapter i's record, or null past the count.
  CD3D9Enumeration* GetAdapterEnumeration(DWORD adapter) const {
    return adapter < m_Enumerations.size() ? m_Enumerations[adapter] : nullptr;
  }
  // The adapter the device settings name, or adapter 0 before there are any.
  CD3D9Enumeration* GetEnumeration() const;
  IDirect3D9* GetDirect3D() const { return m_pD3D; }

  // Kept by pointer; the engine core owns the record.
  void SetDeviceSettings(const DeviceSettings* settings) { m_pSettings = settings; }
  const DeviceSettings* GetDeviceSettings() override { return m_pSettings; }

  // Gives up the enumerations and the Direct3D object; Enumerate starts again.
  void Release();

 private:
  CEngineLog* m_pLog;
  IDirect3D9* m_pD3D = nullptr;
  std::vector<CD3D9Enumeration*> m_Enumerations;
  CRenderingSchemes m_Schemes;
  const DeviceSettings* m_pSettings = nullptr;
};
