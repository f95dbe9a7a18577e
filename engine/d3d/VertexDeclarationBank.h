#pragma once
// Every vertex declaration the engine makes, shared by equal layouts, and the one declaration or
// fixed-function format set on the device, so that setting it again costs nothing. Made with the
// device; its declarations live as long as it does.
#include <memory>

#include "d3d/VertexDeclarationBankInterface.h"

class CEngineLog;
class CEngineRenderer;

class CVertexDeclarationBank final : public CVertexDeclarationBankInterface {
 public:
  static constexpr UINT kMaxDeclarations = 2048;

  CVertexDeclarationBank(CEngineRenderer* renderer, CEngineLog* log);
  ~CVertexDeclarationBank();
  CVertexDeclarationBank(const CVertexDeclarationBank&) = delete;
  CVertexDeclarationBank& operator=(const CVertexDeclarationBank&) = delete;

  // The first equal declaration, or a new one; every failure is fatal.
  CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9* elements) override;
  void SetFVF(DWORD fvf) override;
  CVertexDeclaration* GetCurrentDeclaration() override { return m_pCurrentDeclaration; }
  UINT CurrentDeclarationHasUsages(const D3DXSEMANTIC* pairs, UINT count) override;
  UINT OnDeviceLost() override;
  void ReleaseDeviceObjects() override;

  // Makes `declaration` the device's; the FVF is forgotten either way.
  void Set(CVertexDeclaration* declaration);
  UINT GetNumberOfDeclarations() const { return m_dwCount; }

 private:
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  std::unique_ptr<CVertexDeclaration> m_Entries[kMaxDeclarations];
  UINT m_dwCount = 0;
  CVertexDeclaration* m_pCurrentDeclaration = nullptr;
  DWORD m_dwCurrentFVF = 0;
};
