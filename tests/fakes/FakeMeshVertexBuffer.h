#pragma once
// A vertex-buffer bank that records what meshes ask it for and hands out buffers that count
// their references and keep the vertices they were given. It also records what the renderer
// asks of it: frame numbers, the dynamic buffer and raw streams (passed on to `device` when
// there is one).
#include <memory>
#include <string>
#include <vector>

#include "FakeDynamicBuffer.h"
#include "d3d/VertexBufferBankInterface.h"
#include "d3d/MeshVertexBuffer.h"

class FakeMeshVertexBuffer final : public CMeshVertexBuffer {
 public:
  FakeMeshVertexBuffer(std::string bufferName, Vertex* data, UINT count)
      : name(std::move(bufferName)), vertices(data, data + (data ? count : 0)) {}

  UINT CreateCompatibleWith(D3DVERTEXELEMENT9* elements) override {
    layouts.push_back(elements);
    return 1;
  }
  void SetStreams() override { ++streamSets; }
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
  std::vector<D3DVERTEXELEMENT9*> layouts;  // the declarations it was laid out for
  int streamSets = 0;
};

class FakeVertexBufferStorage final : public CVertexBufferBankInterface {
 public:
  struct StreamCall {
    IDirect3DVertexBuffer9* buffer;
    UINT stride;
    UINT count;
  };
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
  IDirect3DVertexBuffer9* GetDynamicVertexBuffer() override { return dynamicBuffer; }
  void SetStreamSource(IDirect3DVertexBuffer9* buffer, UINT stride, UINT count) override {
    streams.push_back({buffer, stride, count});
    currentVertices = count;
    if (device) device->SetStreamSource(0, buffer, 0, stride);
  }
  void SetFrameNumber(UINT frame) override { frames.push_back(frame); }
  UINT GetCurrentNumberOfVertices() override { return currentVertices; }
  FakeDynamicBuffer<IDirect3DVertexBuffer9, D3DVERTEXBUFFER_DESC> dynamicEvents;
  void OnDeviceLost() override { dynamicEvents.OnDeviceLost(dynamicBuffer); }
  void OnDeviceReset() override { dynamicEvents.OnDeviceReset(device, dynamicBuffer); }
  void ReleaseDeviceObjects() override { dynamicEvents.ReleaseDeviceObjects(dynamicBuffer); }

  IDirect3DVertexBuffer9* dynamicBuffer = nullptr;
  IDirect3DDevice9* device = nullptr;
  UINT currentVertices = 0;
  std::vector<StreamCall> streams;
  std::vector<UINT> frames;

  bool failCreation = false;
  std::vector<CreateCall> createCalls;
  std::vector<std::unique_ptr<FakeMeshVertexBuffer>> buffers;
};
