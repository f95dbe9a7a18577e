#pragma once
// Everything a mesh needs to cast shadow volumes: the dynamic geometry (a vertex per face
// corner and the index buffer of faces and edge quads), the static geometry of rigid meshes
// (each mesh vertex twice, the second copy to be extruded) and eight per-light entries that the
// shading passes fill and read. It owns its arrays and holds one reference on every buffer.
#include <vector>

#include "ZKDXInterface.h"
#include "ZKDXRecords.h"

class CCountedIndexBuffer;
class CEngineLog;
class CMesh;
class CMeshVertexBuffer;
class CShadowVolumeGeometry;

class CMeshShadowVolume {
 public:
  static constexpr UINT kLights = 8;

  // One light slot; what the two words, the matrix and the flags mean is the shading passes'
  // business. The flags age: A is cleared in the first reset after it was set, B in the next.
  struct LightEntry {
    DWORD dwFirstWord = 0;
    CCountedIndexBuffer* pIndexBuffer = nullptr;  // one reference held
    std::vector<WORD> Indices;
    CMatrix mtxLight;
    DWORD dwSecondWord = 0;
    DWORD dwFlagA = 0;
    DWORD dwFlagB = 0;
  };

  // `log` receives the release steps (the renderer's log).
  CMeshShadowVolume(CMesh* owner, CEngineLog* log);
  ~CMeshShadowVolume();
  CMeshShadowVolume(const CMeshShadowVolume&) = delete;
  CMeshShadowVolume& operator=(const CMeshShadowVolume&) = delete;

  // Frees the arrays and releases the buffers, logging each step.
  void Release();
  // The per-frame ageing of the per-light flags.
  void ResetLightFlags();
  // Makes `target` a copy: arrays are copied, buffers shared with a reference added, so each
  // object later releases exactly what it holds. Whatever the target held is released first.
  UINT Copy(CMeshShadowVolume* target) const;

  // Takes over the built arrays and the index buffer's reference; the old dynamic and static
  // geometry is released.
  void SetGeometry(CShadowVolumeGeometry& geometry, CCountedIndexBuffer* indexBuffer);
  // Holds a reference of its own on each buffer given (either may be null).
  void SetVertexBuffers(CMeshVertexBuffer* dynamicBuffer, CMeshVertexBuffer* staticBuffer);

  // Null when the light number is not below kLights.
  LightEntry* GetLightEntry(UINT light) { return light < kLights ? &m_Lights[light] : nullptr; }
  CMesh* GetOwner() const { return m_pOwner; }
  bool HasGeometry() const { return !m_DynamicVertices.empty(); }
  CMeshVertexBuffer* GetDynamicVertexBuffer() const { return m_pDynamicVertexBuffer; }
  CMeshVertexBuffer* GetStaticVertexBuffer() const { return m_pStaticVertexBuffer; }
  CCountedIndexBuffer* GetDynamicIndexBuffer() const { return m_pDynamicIndexBuffer; }
  Vertex* GetDynamicVertices() { return Data(m_DynamicVertices); }
  WORD* GetDynamicIndices() { return m_DynamicIndices.empty() ? nullptr : m_DynamicIndices.data(); }
  Vertex* GetStaticVertices() { return Data(m_StaticVertices); }
  UINT GetNumberOfDynamicVertices() const { return Count(m_DynamicVertices); }
  UINT GetNumberOfDynamicIndices() const { return Count(m_DynamicIndices); }
  UINT GetNumberOfStaticVertices() const { return Count(m_StaticVertices); }

 private:
  template <class T>
  static UINT Count(const std::vector<T>& items) {
    return static_cast<UINT>(items.size());
  }
  static Vertex* Data(std::vector<Vertex>& items) { return items.empty() ? nullptr : items.data(); }

  CMesh* m_pOwner;
  CEngineLog* m_pLog;
  CMeshVertexBuffer* m_pDynamicVertexBuffer = nullptr;
  std::vector<Vertex> m_DynamicVertices;
  std::vector<WORD> m_DynamicIndices;
  CCountedIndexBuffer* m_pDynamicIndexBuffer = nullptr;
  LightEntry m_Lights[kLights];
  CMeshVertexBuffer* m_pStaticVertexBuffer = nullptr;
  std::vector<Vertex> m_StaticVertices;
};
