#pragma once
// ID3DXMesh in system memory with 16-bit indices: the faces and vertices live in two buffers
// of the mesh's own, and OptimizeInplace compacts the vertices to those the faces use.
#include <atomic>

#include "MeshBuffer.h"
#include "d3dx9mesh.h"

class CD3DXMesh final : public ID3DXMesh {
 public:
  // The mesh's buffers are made here; null when memory runs out.
  static CD3DXMesh* Create(DWORD numFaces, DWORD numVertices, DWORD options, UINT vertexSize,
                           IDirect3DDevice9* device);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  DWORD GetNumFaces() override { return m_faces; }
  DWORD GetNumVertices() override { return m_vertices; }
  DWORD GetOptions() override { return m_options; }
  HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* buffer) override;
  HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* buffer) override;
  HRESULT OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut,
                          DWORD* faceRemap, LPD3DXBUFFER* vertexRemap) override;

 private:
  CD3DXMesh(DWORD numFaces, DWORD numVertices, DWORD options, UINT vertexSize)
      : m_faces(numFaces), m_vertices(numVertices), m_options(options), m_vertexSize(vertexSize) {}
  ~CD3DXMesh();

  std::atomic<ULONG> m_references{1};
  DWORD m_faces;
  DWORD m_vertices;
  DWORD m_options;
  UINT m_vertexSize;
  CMeshVertexBuffer* m_vertexBuffer = nullptr;
  CMeshIndexBuffer* m_indexBuffer = nullptr;
};
