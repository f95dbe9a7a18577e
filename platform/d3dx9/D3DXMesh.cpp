#include "D3DXMesh.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "D3DXBuffer.h"

namespace {

constexpr DWORD kNoVertex = 0xFFFFFFFF;
constexpr DWORD kMaxVertices16 = 0xFFFF;
// Neither buffer may pass this many bytes.
constexpr uint64_t kMaxBufferSize = 0x7FFFFFFF;

// Bytes of a declaration element of this type; 0 for a type the mesh does not lay out.
UINT ElementSize(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1: return 4;
    case D3DDECLTYPE_FLOAT2: return 8;
    case D3DDECLTYPE_FLOAT3: return 12;
    case D3DDECLTYPE_FLOAT4: return 16;
    case D3DDECLTYPE_D3DCOLOR:
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_SHORT2: return 4;
    case D3DDECLTYPE_SHORT4: return 8;
    default: return 0;
  }
}

// The vertex size of a stream-0 declaration; 0 when it has no element, uses another stream, an
// unknown type or no end marker within the longest declaration.
UINT VertexSize(const D3DVERTEXELEMENT9* declaration) {
  UINT size = 0;
  for (UINT i = 0; i < MAX_FVF_DECL_SIZE; ++i) {
    const D3DVERTEXELEMENT9& element = declaration[i];
    if (element.Stream == 0xFF) return size;
    const UINT bytes = ElementSize(element.Type);
    if (element.Stream != 0 || bytes == 0) return 0;
    if (element.Offset + bytes > size) size = element.Offset + bytes;
  }
  return 0;
}

}  // namespace

CD3DXMesh* CD3DXMesh::Create(DWORD numFaces, DWORD numVertices, DWORD options, UINT vertexSize,
                             IDirect3DDevice9* device) {
  CD3DXMesh* mesh = new (std::nothrow) CD3DXMesh(numFaces, numVertices, options, vertexSize);
  if (!mesh) return nullptr;
  try {
    mesh->m_vertexBuffer = new CMeshVertexBuffer(device, D3DFMT_VERTEXDATA, numVertices * vertexSize);
    mesh->m_indexBuffer = new CMeshIndexBuffer(device, D3DFMT_INDEX16, numFaces * 3 * sizeof(WORD));
  } catch (const std::bad_alloc&) {
    mesh->Release();
    return nullptr;
  }
  return mesh;
}

CD3DXMesh::~CD3DXMesh() {
  if (m_vertexBuffer) m_vertexBuffer->Release();
  if (m_indexBuffer) m_indexBuffer->Release();
}

HRESULT CD3DXMesh::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid != IID_IUnknown) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IUnknown*>(this);
  return S_OK;
}

ULONG CD3DXMesh::AddRef() { return ++m_references; }

ULONG CD3DXMesh::Release() {
  const ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

HRESULT CD3DXMesh::GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  m_vertexBuffer->AddRef();
  *buffer = m_vertexBuffer;
  return D3D_OK;
}

HRESULT CD3DXMesh::GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  m_indexBuffer->AddRef();
  *buffer = m_indexBuffer;
  return D3D_OK;
}

HRESULT CD3DXMesh::OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut,
                                   DWORD* faceRemap, LPD3DXBUFFER* vertexRemap) {
  if (vertexRemap) *vertexRemap = nullptr;
  const DWORD accepted = D3DXMESHOPT_COMPACT | D3DXMESHOPT_DEVICEINDEPENDENT;
  if ((flags & D3DXMESHOPT_COMPACT) == 0 || (flags & ~accepted) != 0 || adjacencyIn ||
      adjacencyOut || faceRemap)
    return D3DERR_INVALIDCALL;
  if (m_vertexBuffer->IsLocked() || m_indexBuffer->IsLocked()) return D3DERR_INVALIDCALL;

  WORD* indices = reinterpret_cast<WORD*>(m_indexBuffer->Bytes().data());
  const DWORD count = m_faces * 3;
  for (DWORD i = 0; i < count; ++i)
    if (indices[i] >= m_vertices) return D3DXERR_INVALIDDATA;
  try {
    // New vertices in the order the faces first use them.
    std::vector<DWORD> newOfOld(m_vertices, kNoVertex);
    std::vector<DWORD> oldOfNew;
    oldOfNew.reserve(m_vertices);
    for (DWORD i = 0; i < count; ++i) {
      DWORD& renumbered = newOfOld[indices[i]];
      if (renumbered == kNoVertex) {
        renumbered = static_cast<DWORD>(oldOfNew.size());
        oldOfNew.push_back(indices[i]);
      }
    }
    std::vector<BYTE> remapBytes(oldOfNew.size() * sizeof(DWORD));
    if (!remapBytes.empty()) std::memcpy(remapBytes.data(), oldOfNew.data(), remapBytes.size());
    std::vector<BYTE>& vertices = m_vertexBuffer->Bytes();
    std::vector<BYTE> compacted(oldOfNew.size() * m_vertexSize);
    for (size_t v = 0; v < oldOfNew.size(); ++v)
      std::memcpy(&compacted[v * m_vertexSize], &vertices[oldOfNew[v] * m_vertexSize], m_vertexSize);
    LPD3DXBUFFER remap = nullptr;
    if (vertexRemap) {
      const HRESULT made = CD3DXBuffer::Create(std::move(remapBytes), &remap);
      if (FAILED(made)) return made;
    }
    // Nothing can fail from here on: the mesh changes only now.
    for (DWORD i = 0; i < count; ++i) indices[i] = static_cast<WORD>(newOfOld[indices[i]]);
    vertices.swap(compacted);
    m_vertices = static_cast<DWORD>(oldOfNew.size());
    if (vertexRemap) *vertexRemap = remap;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

ZKAPI HRESULT D3DXCreateMesh(DWORD numFaces, DWORD numVertices, DWORD options,
                             const D3DVERTEXELEMENT9* declaration, LPDIRECT3DDEVICE9 device,
                             LPD3DXMESH* mesh) {
  if (!mesh) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  // Only system memory is served, which is also why no device is needed.
  if (!declaration || options != D3DXMESH_SYSTEMMEM || numFaces == 0 || numVertices == 0 ||
      numVertices > kMaxVertices16)
    return D3DERR_INVALIDCALL;
  const UINT vertexSize = VertexSize(declaration);
  if (vertexSize == 0 || uint64_t{numVertices} * vertexSize > kMaxBufferSize ||
      uint64_t{numFaces} * 3 * sizeof(WORD) > kMaxBufferSize)
    return D3DERR_INVALIDCALL;
  CD3DXMesh* created = CD3DXMesh::Create(numFaces, numVertices, options, vertexSize, device);
  if (!created) return E_OUTOFMEMORY;
  *mesh = created;
  return D3D_OK;
}
