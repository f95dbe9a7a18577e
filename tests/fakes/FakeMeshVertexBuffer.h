#pragma once
// A vertex-buffer bank that records what meshes ask it for and hands out buffers that count
// their references and keep the vertices they were given.
#include <memory>
#include <string>
#include <vector>

#include "scene/MeshVertexBuffer.h"

class FakeMeshVertexBuffer final : public CMeshVertexBuffer {
 public:
  FakeMeshVertexBuffer(std::string bufferName, Vertex* data, UINT count)
      : name(std::move(bufferName)), vertices(data, data + (data ? count : 0)) {}

  UINT CreateCompatibleWith(D3DVERTEXELEMENT9*) override { return 1; }
  void SetStreams() override {}
  const char* GetName() override { return name.c_str(); }
  UINT GetNumberOfVertices() override { return static_cast<UINT>(vertices.size()); }
  IDirect3DVertexBuffer9* GetDirect3DVertexBuffer() override { return nullptr; }
  void SetVertices(Vertex* data, UINT count) override {
    vertices.assign(data, data + count);
    ++refills;
  }
  void AddReference() override { ++references; }
  void Release() override { --references; }

  std::string name;
  std::vector<Vertex> vertices;
  int references = 1;
  int refills = 0;
};

class FakeVertexBufferStorage final : public CVertexBufferStorageInterface {
 public:
  struct CreateCall {
    std::string name;
    Vertex* vertices;
    Vertex* secondVertices;
    UINT count;
    UINT kind;
    UINT dynamic;
  };

  CVertexBufferInterface* CreateVertexBuffer(Vertex* data, Vertex* secondVertices, UINT count,
                                             const char* name, UINT kind, UINT dynamic) override {
    createCalls.push_back({name ? name : "", data, secondVertices, count, kind, dynamic});
    if (failCreation) return nullptr;
    buffers.push_back(std::make_unique<FakeMeshVertexBuffer>(name ? name : "", data, count));
    return buffers.back().get();
  }
  IDirect3DVertexBuffer9* GetDynamicVertexBuffer() override { return nullptr; }
  void SetStreamSource(IDirect3DVertexBuffer9*, UINT, UINT) override {}

  bool failCreation = false;
  std::vector<CreateCall> createCalls;
  std::vector<std::unique_ptr<FakeMeshVertexBuffer>> buffers;
};
