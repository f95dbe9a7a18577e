#pragma once
// One vertex layout with its Direct3D declaration, made and kept by the declaration bank for the
// life of the bank (there is no reference count).
#include <vector>

#include "ZeKorbD3DHeader.h"
#include "d3dx9shader.h"

class CEngineLog;
class CEngineRenderer;
class CVertexDeclarationBank;

class CVertexDeclaration final : public CVertexDeclarationInterface {
 public:
  // Copies and logs the elements and creates the Direct3D declaration; every failure is fatal.
  CVertexDeclaration(CVertexDeclarationBank* bank, CEngineRenderer* renderer, CEngineLog* log,
                     const D3DVERTEXELEMENT9* elements);
  ~CVertexDeclaration();
  CVertexDeclaration(const CVertexDeclaration&) = delete;
  CVertexDeclaration& operator=(const CVertexDeclaration&) = delete;

  IDirect3DVertexDeclaration9* GetD3DDeclaration() override { return m_pDeclaration; }
  D3DVERTEXELEMENT9* GetVertexElement() override { return m_Elements.data(); }
  void Set() override;

  // Same number of elements, each equal in order (another order is another layout).
  bool IsEqual(const D3DVERTEXELEMENT9* elements, UINT count) const;
  // 1 when every (usage, usage index) pair is matched by an element; 1 for no pairs.
  UINT HasUsages(const D3DXSEMANTIC* pairs, UINT count) const;
  // The sum of the element sizes; unsized types add 0 and are logged.
  UINT GetVertexSize() const;
  UINT GetElementCount() const { return m_dwElementCount; }
  // Lets the Direct3D declaration go (shutdown).
  void ReleaseDeviceObject();

 private:
  void LogElement(const D3DVERTEXELEMENT9& element) const;

  IDirect3DVertexDeclaration9* m_pDeclaration = nullptr;
  std::vector<D3DVERTEXELEMENT9> m_Elements;  // end marker included
  UINT m_dwElementCount = 0;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CVertexDeclarationBank* m_pBank;
};
