#include "spatial/MeshShadowVolume.h"

#include <utility>

#include "spatial/ShadowVolumeGeometry.h"
#include "scene/CountedIndexBuffer.h"
#include "core/EngineLog.h"
#include "d3d/MeshVertexBuffer.h"

namespace {

constexpr const char* kSource = "sv";

template <class Buffer>
void Drop(Buffer*& buffer) {
  if (buffer != nullptr) buffer->Release();
  buffer = nullptr;
}

template <class Buffer>
Buffer* Share(Buffer* buffer) {
  if (buffer != nullptr) buffer->AddReference();
  return buffer;
}

template <class T>
void Free(std::vector<T>& items) {
  std::vector<T>().swap(items);
}

}  // namespace

CMeshShadowVolume::CMeshShadowVolume(CMesh* owner, CEngineLog* log)
    : m_pOwner(owner), m_pLog(log) {
  for (LightEntry& entry : m_Lights) entry.mtxLight = CMatrix::Identity();
}

// Release is the logged path; whatever is still held when the object goes is dropped quietly.
CMeshShadowVolume::~CMeshShadowVolume() {
  Drop(m_pDynamicIndexBuffer);
  Drop(m_pDynamicVertexBuffer);
  Drop(m_pStaticVertexBuffer);
  for (LightEntry& entry : m_Lights) Drop(entry.pIndexBuffer);
}

void CMeshShadowVolume::Release() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Dynamic SV Index Buffer\n");
  Drop(m_pDynamicIndexBuffer);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Dynamic SV Indices\n");
  Free(m_DynamicIndices);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Dynamic SV Vertex Buffer\n");
  Drop(m_pDynamicVertexBuffer);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Dynamic SV Vertices\n");
  Free(m_DynamicVertices);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Static SV Index Buffers\n");
  for (LightEntry& entry : m_Lights) {
    Free(entry.Indices);
    Drop(entry.pIndexBuffer);
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Static SV Vertex Buffer\n");
  Drop(m_pStaticVertexBuffer);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Static SV Vertices\n");
  Free(m_StaticVertices);
}

void CMeshShadowVolume::ResetLightFlags() {
  for (LightEntry& entry : m_Lights) {
    if (entry.dwFlagA != 0)
      entry.dwFlagA = 0;
    else
      entry.dwFlagB = 0;
  }
}

UINT CMeshShadowVolume::Copy(CMeshShadowVolume* target) const {
  if (target == nullptr || target == this) return 1;
  // References are taken before the target drops its own, so a buffer both hold survives.
  CMeshVertexBuffer* dynamicBuffer = Share(m_pDynamicVertexBuffer);
  CCountedIndexBuffer* indexBuffer = Share(m_pDynamicIndexBuffer);
  CMeshVertexBuffer* staticBuffer = Share(m_pStaticVertexBuffer);
  CCountedIndexBuffer* lightBuffers[kLights];
  for (UINT i = 0; i < kLights; ++i) lightBuffers[i] = Share(m_Lights[i].pIndexBuffer);

  Drop(target->m_pDynamicVertexBuffer);
  Drop(target->m_pDynamicIndexBuffer);
  Drop(target->m_pStaticVertexBuffer);
  target->m_pDynamicVertexBuffer = dynamicBuffer;
  target->m_pDynamicIndexBuffer = indexBuffer;
  target->m_pStaticVertexBuffer = staticBuffer;
  target->m_DynamicVertices = m_DynamicVertices;
  target->m_DynamicIndices = m_DynamicIndices;
  target->m_StaticVertices = m_StaticVertices;
  for (UINT i = 0; i < kLights; ++i) {
    LightEntry& copy = target->m_Lights[i];
    Drop(copy.pIndexBuffer);
    copy = m_Lights[i];
    copy.pIndexBuffer = lightBuffers[i];
  }
  return 1;
}

void CMeshShadowVolume::SetGeometry(CShadowVolumeGeometry& geometry,
                                    CCountedIndexBuffer* indexBuffer) {
  Drop(m_pDynamicIndexBuffer);
  m_pDynamicIndexBuffer = indexBuffer;
  m_DynamicVertices = std::move(geometry.m_DynamicVertices);
  m_DynamicIndices = std::move(geometry.m_Indices);
  m_StaticVertices = std::move(geometry.m_StaticVertices);
}

void CMeshShadowVolume::SetVertexBuffers(CMeshVertexBuffer* dynamicBuffer,
                                         CMeshVertexBuffer* staticBuffer) {
  // Shared first, so giving back a buffer already held keeps it alive.
  dynamicBuffer = Share(dynamicBuffer);
  staticBuffer = Share(staticBuffer);
  Drop(m_pDynamicVertexBuffer);
  Drop(m_pStaticVertexBuffer);
  m_pDynamicVertexBuffer = dynamicBuffer;
  m_pStaticVertexBuffer = staticBuffer;
}
