#pragma once
// A mesh's (or a script's) vertices, kept as a copy, and the vertex layouts made of them: up to
// four stream sets whose stream records hold the Direct3D data. Shared between owners with equal
// vertices through a reference count; the bank owns it.
#include <memory>
#include <vector>

#include "d3d/MeshVertexBuffer.h"

class CEngineLog;
class CVertexBufferBank;
class CVertexDeclarationBankInterface;
struct CVertexStream;
struct CVertexStreamSet;

class CVertexBuffer final : public CMeshVertexBuffer {
 public:
  static constexpr UINT kMaxStreamSets = 4;
  static constexpr UINT kNameLength = 256;

  // `name` is stored lower-cased; `second` is kept by reference. The caller has checked that
  // `count` vertices can be read from `vertices`.
  CVertexBuffer(CVertexDeclarationBankInterface* declarations, CVertexBufferBank* bank,
                CEngineLog* log, const Vertex* vertices, Vertex* second, UINT count,
                const char* name, UINT kind, UINT dynamic);
  ~CVertexBuffer();
  CVertexBuffer(const CVertexBuffer&) = delete;
  CVertexBuffer& operator=(const CVertexBuffer&) = delete;

  UINT CreateCompatibleWith(D3DVERTEXELEMENT9* elements) override;
  void SetStreams() override;
  const char* GetName() override { return m_szName; }
  UINT GetNumberOfVertices() override { return m_dwVertexCount; }
  IDirect3DVertexBuffer9* GetDirect3DVertexBuffer() override;
  void SetVertices(Vertex* vertices, UINT count) override;
  void AddReference() override { ++m_dwReferences; }
  void Release() override;

  UINT CreateCompatibleWithDeclaration(CVertexDeclarationInterface* declaration);
  // Same name, kind, count and every vertex field equal.
  bool IsIdentical(const char* loweredName, UINT kind, const Vertex* vertices, UINT count) const;
  UINT GetReferenceCount() const { return m_dwReferences; }
  UINT IsDynamic() const { return m_dwDynamic; }
  const Vertex* GetVertices() const { return m_Vertices.data(); }
  Vertex* GetSecondVertices() const { return m_pSecond; }
  UINT GetSecondVertexCount() const { return m_dwSecondCount; }
  CVertexStreamSet* GetStreamSet(UINT index) const {
    return index < kMaxStreamSets ? m_pSets[index].get() : nullptr;
  }
  // The bank went first (shutdown): the buffer lives on until its last release, setting nothing.
  void Detach() { m_pBank = nullptr; }

 private:
  // A record of another set with the same elements but for their stream, or a new one.
  CVertexStream* FindOrCreateStream(const std::vector<D3DVERTEXELEMENT9>& elements);
  bool CheckLayout(const D3DVERTEXELEMENT9* elements, UINT count) const;

  std::unique_ptr<CVertexStreamSet> m_pSets[kMaxStreamSets];
  CEngineLog* m_pLog;
  CVertexBufferBank* m_pBank;
  std::vector<Vertex> m_Vertices;
  Vertex* m_pSecond;
  UINT m_dwSecondCount;
  CVertexDeclarationBankInterface* m_pDeclarations;
  UINT m_dwVertexCount;
  UINT m_dwReferences = 0;
  char m_szName[kNameLength] = {};
  UINT m_dwKind;
  UINT m_dwDynamic;
};
