#pragma once
// D3DX 9 meshes, the subset the engine's import uses: a system-memory mesh with 16-bit indices
// that can be filled through its buffers and compacted in place, handing back which old vertex
// each new one is.
#include "d3d9.h"
#include "d3dx9core.h"

// Creation options.
#define D3DXMESH_32BIT 0x001
#define D3DXMESH_VB_SYSTEMMEM 0x010
#define D3DXMESH_IB_SYSTEMMEM 0x100
#define D3DXMESH_SYSTEMMEM (D3DXMESH_VB_SYSTEMMEM | D3DXMESH_IB_SYSTEMMEM)

// Optimisation flags.
#define D3DXMESHOPT_DEVICEINDEPENDENT 0x00400000
#define D3DXMESHOPT_COMPACT 0x01000000
#define D3DXMESHOPT_ATTRSORT 0x02000000
#define D3DXMESHOPT_VERTEXCACHE 0x04000000
#define D3DXMESHOPT_STRIPREORDER 0x08000000
#define D3DXMESHOPT_IGNOREVERTS 0x10000000
#define D3DXMESHOPT_DONOTSPLIT 0x20000000

#define MAX_FVF_DECL_SIZE (MAXD3DDECLLENGTH + 1)

struct ID3DXMesh : public IUnknown {
  virtual DWORD GetNumFaces() = 0;
  virtual DWORD GetNumVertices() = 0;
  virtual DWORD GetOptions() = 0;
  virtual HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* buffer) = 0;
  virtual HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* buffer) = 0;
  // Compacts the vertices to those the faces use, in the order the faces first use them; the
  // faces keep their order. `vertexRemap` (optional) receives one DWORD per vertex left: the
  // old index of each. Only D3DXMESHOPT_COMPACT, optionally with D3DXMESHOPT_DEVICEINDEPENDENT,
  // and no adjacency or face remap are taken.
  virtual HRESULT OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut,
                                  DWORD* faceRemap, LPD3DXBUFFER* vertexRemap) = 0;
};
typedef ID3DXMesh* LPD3DXMESH;

// A mesh of `numFaces` triangles and `numVertices` vertices laid out by `declaration` (stream 0
// only, up to its end marker). Only system-memory meshes with 16-bit indices are made
// (D3DXMESH_SYSTEMMEM), and for them the device may be null.
ZKAPI HRESULT D3DXCreateMesh(DWORD numFaces, DWORD numVertices, DWORD options,
                             const D3DVERTEXELEMENT9* declaration, LPDIRECT3DDEVICE9 device,
                             LPD3DXMESH* mesh);
