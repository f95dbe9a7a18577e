#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "d3dx9.h"

namespace {

const D3DVERTEXELEMENT9 kPosition[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
constexpr DWORD kCompact = D3DXMESHOPT_COMPACT | D3DXMESHOPT_DEVICEINDEPENDENT;

// A system-memory mesh on no device, its indices and vertex values (x = y = z) written in.
LPD3DXMESH MakeMesh(const std::vector<WORD>& indices, const std::vector<float>& values) {
  LPD3DXMESH mesh = nullptr;
  EXPECT_EQ(D3DXCreateMesh(DWORD(indices.size() / 3), DWORD(values.size()), D3DXMESH_SYSTEMMEM,
                           kPosition, nullptr, &mesh),
            D3D_OK);
  if (mesh == nullptr) return nullptr;
  LPDIRECT3DINDEXBUFFER9 ib = nullptr;
  LPDIRECT3DVERTEXBUFFER9 vb = nullptr;
  void* data = nullptr;
  EXPECT_EQ(mesh->GetIndexBuffer(&ib), D3D_OK);
  EXPECT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
  std::memcpy(data, indices.data(), indices.size() * sizeof(WORD));
  EXPECT_EQ(ib->Unlock(), D3D_OK);
  EXPECT_EQ(mesh->GetVertexBuffer(&vb), D3D_OK);
  EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
  for (size_t i = 0; i < values.size(); ++i)
    for (int c = 0; c < 3; ++c) static_cast<float*>(data)[i * 3 + c] = values[i];
  EXPECT_EQ(vb->Unlock(), D3D_OK);
  ib->Release();
  vb->Release();
  return mesh;
}

// The first `count` values of a vertex or index buffer.
template <class T, class Buffer>
std::vector<T> Contents(Buffer* buffer, UINT count) {
  std::vector<T> out(count);
  void* data = nullptr;
  EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
  if (data != nullptr) std::memcpy(out.data(), data, count * sizeof(T));
  buffer->Unlock();
  return out;
}

TEST(D3DXMeshTest, OptimizingKeepsTheFacesAndRemapsEveryUsedVertex) {
  // Vertex 2 is used by no face; vertex 4 is first used before vertex 0.
  const std::vector<WORD> indices = {4, 0, 1, 1, 3, 4, 3, 0, 4};
  const std::vector<float> values = {10, 11, 12, 13, 14};
  LPD3DXMESH mesh = MakeMesh(indices, values);
  ASSERT_NE(mesh, nullptr);
  LPD3DXBUFFER remap = nullptr;
  ASSERT_EQ(mesh->OptimizeInplace(kCompact, nullptr, nullptr, nullptr, &remap), D3D_OK);
  ASSERT_NE(remap, nullptr);
  EXPECT_EQ(mesh->GetNumFaces(), 3u);
  ASSERT_EQ(mesh->GetNumVertices(), 4u);
  ASSERT_EQ(remap->GetBufferSize(), 4 * sizeof(DWORD));
  const DWORD* oldOfNew = static_cast<const DWORD*>(remap->GetBufferPointer());

  LPDIRECT3DINDEXBUFFER9 ib = nullptr;
  LPDIRECT3DVERTEXBUFFER9 vb = nullptr;
  mesh->GetIndexBuffer(&ib);
  mesh->GetVertexBuffer(&vb);
  const std::vector<WORD> now = Contents<WORD>(ib, 9);
  const std::vector<float> vertices = Contents<float>(vb, 4 * 3);
  std::vector<bool> covered(values.size(), false);
  for (size_t i = 0; i < now.size(); ++i) {
    ASSERT_LT(now[i], 4);
    // The face names the same old vertex through the remap, and its data moved with it.
    EXPECT_EQ(oldOfNew[now[i]], indices[i]);
    EXPECT_EQ(vertices[now[i] * 3 + 1], values[indices[i]]);
    covered[indices[i]] = true;
  }
  for (DWORD v = 0; v < 4; ++v) EXPECT_TRUE(covered[oldOfNew[v]]);
  EXPECT_FALSE(covered[2]);
  ib->Release();
  vb->Release();
  remap->Release();
  EXPECT_EQ(mesh->Release(), 0u);
}

TEST(D3DXMeshTest, CreationTakesOnlySystemMemoryMeshesOfKnownLayouts) {
  const D3DVERTEXELEMENT9 secondStream[] = {
      {1, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
  const D3DVERTEXELEMENT9 unknownType[] = {
      {0, 0, D3DDECLTYPE_FLOAT16_2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
  const D3DVERTEXELEMENT9 empty[] = {D3DDECL_END()};
  struct Case {
    const char* name;
    DWORD faces, vertices, options;
    const D3DVERTEXELEMENT9* layout;
    HRESULT result;
  };
  const Case cases[] = {
      {"system memory", 2, 4, D3DXMESH_SYSTEMMEM, kPosition, D3D_OK},
      {"65535 vertices", 1, 65535, D3DXMESH_SYSTEMMEM, kPosition, D3D_OK},
      {"65536 vertices", 1, 65536, D3DXMESH_SYSTEMMEM, kPosition, D3DERR_INVALIDCALL},
      {"managed", 2, 4, 0, kPosition, D3DERR_INVALIDCALL},
      {"32-bit indices", 2, 4, D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT, kPosition, D3DERR_INVALIDCALL},
      {"no faces", 0, 4, D3DXMESH_SYSTEMMEM, kPosition, D3DERR_INVALIDCALL},
      {"no vertices", 2, 0, D3DXMESH_SYSTEMMEM, kPosition, D3DERR_INVALIDCALL},
      {"second stream", 2, 4, D3DXMESH_SYSTEMMEM, secondStream, D3DERR_INVALIDCALL},
      {"unknown type", 2, 4, D3DXMESH_SYSTEMMEM, unknownType, D3DERR_INVALIDCALL},
      {"empty layout", 2, 4, D3DXMESH_SYSTEMMEM, empty, D3DERR_INVALIDCALL},
      {"no layout", 2, 4, D3DXMESH_SYSTEMMEM, nullptr, D3DERR_INVALIDCALL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LPD3DXMESH mesh = reinterpret_cast<LPD3DXMESH>(1);
    EXPECT_EQ(D3DXCreateMesh(c.faces, c.vertices, c.options, c.layout, nullptr, &mesh), c.result);
    EXPECT_EQ(mesh != nullptr, c.result == D3D_OK);
    if (mesh == nullptr) continue;
    EXPECT_EQ(mesh->GetNumVertices(), c.vertices);
    LPDIRECT3DVERTEXBUFFER9 vb = nullptr;
    D3DVERTEXBUFFER_DESC desc;
    ASSERT_EQ(mesh->GetVertexBuffer(&vb), D3D_OK);
    ASSERT_EQ(vb->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, c.vertices * 12);
    EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(vb->GetDevice(&device), D3DERR_INVALIDCALL) << "made without a device";
    vb->Release();
    mesh->Release();
  }
}

TEST(D3DXMeshTest, OptimizingRefusesWhatItDoesNotDoAndChangesNothing) {
  LPD3DXMESH mesh = MakeMesh({0, 1, 2}, {5, 6, 7, 8});
  ASSERT_NE(mesh, nullptr);
  DWORD adjacency[3] = {};
  struct Case {
    const char* name;
    DWORD flags;
    const DWORD* adjacencyIn;
    DWORD* faceRemap;
  };
  const Case cases[] = {{"no compaction", D3DXMESHOPT_DEVICEINDEPENDENT, nullptr, nullptr},
                        {"attribute sort", kCompact | D3DXMESHOPT_ATTRSORT, nullptr, nullptr},
                        {"vertex cache", kCompact | D3DXMESHOPT_VERTEXCACHE, nullptr, nullptr},
                        {"adjacency", kCompact, adjacency, nullptr},
                        {"face remap", kCompact, nullptr, adjacency}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LPD3DXBUFFER remap = reinterpret_cast<LPD3DXBUFFER>(1);
    EXPECT_EQ(mesh->OptimizeInplace(c.flags, c.adjacencyIn, nullptr, c.faceRemap, &remap),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(remap, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 4u);
  }
  // A locked buffer, then an index past the vertices.
  LPDIRECT3DINDEXBUFFER9 ib = nullptr;
  void* data = nullptr;
  mesh->GetIndexBuffer(&ib);
  ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
  EXPECT_EQ(mesh->OptimizeInplace(kCompact, nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
  static_cast<WORD*>(data)[2] = 4;
  ib->Unlock();
  EXPECT_EQ(ib->Unlock(), D3DERR_INVALIDCALL) << "not locked";
  EXPECT_EQ(ib->Lock(4, 4, &data, 0), D3DERR_INVALIDCALL) << "past the end";
  EXPECT_EQ(mesh->OptimizeInplace(kCompact, nullptr, nullptr, nullptr, nullptr), D3DXERR_INVALIDDATA);
  EXPECT_EQ(mesh->GetNumVertices(), 4u);
  EXPECT_EQ(Contents<WORD>(ib, 3), (std::vector<WORD>{0, 1, 4}));
  // The buffer handed out outlives its mesh.
  EXPECT_EQ(mesh->Release(), 0u);
  EXPECT_EQ(Contents<WORD>(ib, 3)[1], 1);
  EXPECT_EQ(ib->Release(), 0u);
}

}  // namespace
