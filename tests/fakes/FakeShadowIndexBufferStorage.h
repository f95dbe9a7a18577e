#pragma once
// A shadow-volume index-buffer bank that records what it is asked for and hands out buffers
// that count their references and keep a copy of their indices. (Surface tests use the bank of
// FakeSurfaceBanks.h; the names differ so both can live in one test program.)
#include <memory>
#include <string>
#include <vector>

#include "scene/CountedIndexBuffer.h"

class FakeShadowIndexBuffer final : public CCountedIndexBuffer {
 public:
  FakeShadowIndexBuffer(std::string bufferName, const WORD* data, UINT count)
      : name(std::move(bufferName)), indices(data, data + (data ? count : 0)) {}

  WORD* SetIndicesSource(WORD* data, UINT count) override {
    indices.assign(data, data + count);
    return indices.data();
  }
  UINT GetIsUnique() override { return 0; }
  UINT Set() override { return 1; }
  UINT Compare(WORD*, UINT, UINT) override { return 0; }
  const char* GetMeshOwner() override { return name.c_str(); }
  const char* GetSurfaceOwner() override { return name.c_str(); }
  WORD* GetIndicesPointer() override { return indices.data(); }
  UINT GetNumberOfIndices() override { return static_cast<UINT>(indices.size()); }
  void AddReference() override { ++references; }
  void Release() override { --references; }

  std::string name;
  std::vector<WORD> indices;
  int references = 1;
};

class FakeShadowIndexBufferStorage final : public CIndexBufferStorageInterface {
 public:
  struct CreateCall {
    std::string meshOwner;
    std::string surfaceOwner;
    UINT count;
    UINT unique;
    UINT dynamic;
  };

  CIndexBufferInterface* CreateIndexBuffer(const char* meshOwner, const char* surfaceOwner,
                                           WORD* indices, UINT count, UINT unique,
                                           UINT dynamic) override {
    createCalls.push_back({meshOwner ? meshOwner : "", surfaceOwner ? surfaceOwner : "", count,
                           unique, dynamic});
    if (failCreation) return nullptr;
    buffers.push_back(std::make_unique<FakeShadowIndexBuffer>(meshOwner ? meshOwner : "", indices, count));
    return buffers.back().get();
  }
  UINT GetNumberOfIndexBuffers() override { return static_cast<UINT>(buffers.size()); }
  CIndexBufferInterface* GetIndexBuffer(UINT index) override {
    return index < buffers.size() ? buffers[index].get() : nullptr;
  }

  bool failCreation = false;
  std::vector<CreateCall> createCalls;
  std::vector<std::unique_ptr<FakeShadowIndexBuffer>> buffers;
};
