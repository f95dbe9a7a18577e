#include "scene/Mesh.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/CopyName.h"
#include "core/EngineSampleScope.h"
#include "scene/Camera.h"
#include "scene/MeshShaderLibrary.h"
#include "scene/MeshRayTest.h"
#include "scene/MeshSpatial.h"
#include "scene/MeshSurface.h"
#include "d3d/MeshVertexBuffer.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "scene/UpdateInputs.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/GenericPassInterface.h"
#include "core/MessagePump.h"
#include "d3d/RenderingProfileInterface.h"
#include "scene/LWOImportBuffer.h"
#include "scene/LightWaveLoader.h"
#include "scene/MeshBoneWeights.h"
#include "scene/MeshFileReader.h"
#include "scene/MeshSurfaceFactory.h"
#include "spatial/Collider.h"
#include "spatial/CollisionManager.h"
#include "spatial/MeshShadowVolume.h"
#include "scene/CountedIndexBuffer.h"
#include "winuser.h"

namespace {

constexpr const char* kSource = "ZK3DMeshProcessing";
// Filling a mesh from imported data logs as its construction.
constexpr const char* kConstructionSource = "CMesh_cons";
// The bone number of a vertex influence without a bone.
constexpr WORD kNoBone = 0xFFFF;
constexpr const char* kNoShaderFile = "none";
// Kind of a vertex buffer in the bank: a mesh's own vertices, or its shadow-volume blocks.
constexpr UINT kBufferKindMesh = 0;
constexpr UINT kBufferKindShadowVolume = 1;

EnginePorts& Ports() { return GetEngineContext()->ports; }
CMeshSpatial* Spatial() { return Ports().meshSpatial.Get(); }
CMeshShaderLibrary* ShaderLibrary() { return Ports().meshShaders.Get(); }
// Meshes are numbered in the order they are made, for the lifetime of the engine.
UINT g_dwMeshCounter = 0;

float Channel(CMotion& motion, UINT index) { return motion.GetChannel(index)->GetValue(); }

// The rotation of a unit quaternion (x, y, z, w) as a row-vector matrix.
CMatrix QuaternionMatrix(const float* q) {
  const float x = q[0], y = q[1], z = q[2], w = q[3];
  return {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
          2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
          2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
          0,                       0,                       0,                       1};
}

// The same matrix without its translation row, as rotations and normals need it.
CMatrix WithoutTranslation(CMatrix matrix) {
  matrix._41 = matrix._42 = matrix._43 = 0.0f;
  return matrix;
}

// Parent kinds answer their rotation through their own interfaces.
bool ParentRotation(CWorldObject* parent, CVector3* out) {
  CWorldObjectInterface* object = parent->GetInterface();
  switch (parent->GetWorldObjectType()) {
    case WORLD_OBJECT_CAMERA:
      if (auto* camera = dynamic_cast<CCameraInterface*>(object)) {
        camera->GetRotation(out, 0);
        return true;
      }
      break;
    case WORLD_OBJECT_LIGHT:
      if (auto* light = dynamic_cast<CLightInterface*>(object)) {
        light->GetRotation(out, 0);
        return true;
      }
      break;
    case WORLD_OBJECT_MESH:
      if (auto* mesh = dynamic_cast<CMeshInterface*>(object)) {
        mesh->GetRotation(out, 0);
        return true;
      }
      break;
    case WORLD_OBJECT_NULL:
      if (auto* null = dynamic_cast<CNullInterface*>(object)) {
        null->GetRotation(out, 0);
        return true;
      }
      break;
  }
  return false;
}

}  // namespace

CMesh::CMesh(void* rendererContext, CEngineLog* log, CScene* scene, UINT dynamicBuffers)
    : TWorldObject(scene, rendererContext, log, WORLD_OBJECT_MESH, GUARD_MESH),
      m_pDissolve(std::make_unique<CEnvelope>()),
      m_OctreeEntries(kInitialOctreeEntries, OctreeEntry{nullptr, 0}),
      m_dwMeshNumber(g_dwMeshCounter++),
      m_dwDynamicBuffers(dynamicBuffers) {
  m_pShadowVolume = Spatial()->CreateShadowVolume(rendererContext, this);
}

// The reference count reached zero and the mesh has left its scene's list.
CMesh::~CMesh() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- (CMesh) Releasing %s Of %s\n", m_szName,
        m_pScene != nullptr ? m_pScene->GetName() : "");
  // A mesh freed while its scene lives must not stay listed in the scene's octree. (A mesh
  // that outlived its scene forgot its cells when it was detached.)
  LeaveOctree();
  DeleteOwnCamera(m_pCamera);
  if (!m_Surfaces.empty()) {
    for (CMeshSurface*& surface : m_Surfaces) {
      if (surface == nullptr) continue;
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Releasing Surface: %s\n",
            surface->GetName());
      surface->Release();
      surface = nullptr;
    }
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Deleting Surfaces\n");
    m_Surfaces.clear();
  }
  if (m_pVertexBuffer != nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - vertex Buffer\n");
    m_pVertexBuffer->Release();
    m_pVertexBuffer = nullptr;
  }
  if (m_pShadowVolume != nullptr || m_pShadowVolumeBuffers[0] != nullptr ||
      m_pShadowVolumeBuffers[1] != nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Shadow Volume Manager\n");
    for (CMeshVertexBuffer*& buffer : m_pShadowVolumeBuffers)
      if (buffer != nullptr) {
        buffer->Release();
        buffer = nullptr;
      }
    if (m_pShadowVolume != nullptr) Spatial()->ReleaseShadowVolume(m_pShadowVolume);
    m_pShadowVolume = nullptr;
  }
  if (!m_Vertices.empty()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Deleting Vertices\n");
    m_Vertices.clear();
  }
  if (m_pBones != nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Deleting Bones\n");
    m_pBones.reset();
  }
  if (!m_Faces.empty()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Deleting Faces\n");
    m_Faces.clear();
  }
  if (!m_Edges.empty()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Deleting Edges\n");
    m_Edges.clear();
  }
  if (m_pCollider != nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Deleting Collider\n");
    ReleaseCollider();
  }
  if (m_pBoundVolume != nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "   - Deleting Bound\n");
    Spatial()->ReleaseBoundVolume(m_pBoundVolume);
    m_pBoundVolume = nullptr;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Mesh Released\n");
}

// --- lookups ---

CSurfaceInterface* CMesh::GetSurface(UINT index) {
  return index < m_Surfaces.size() ? m_Surfaces[index] : nullptr;
}

CSurfaceInterface* CMesh::GetSurfaceByName(const char* name) {
  if (name == nullptr) return nullptr;
  for (CMeshSurface* surface : m_Surfaces) {
    const char* surfaceName = surface != nullptr ? surface->GetName() : nullptr;
    if (surfaceName != nullptr && std::strcmp(surfaceName, name) == 0) return surface;
  }
  return nullptr;
}

Vertex* CMesh::GetVertex(UINT index) {
  return index < m_Vertices.size() ? &m_Vertices[index] : nullptr;
}

Vertex* CMesh::GetVertices() { return m_Vertices.empty() ? nullptr : m_Vertices.data(); }

CMeshInterface* CMesh::GetMorphedTo(UINT /*ignored*/) { return m_pMorphTarget; }

CSceneInterface* CMesh::GetScene(UINT /*ignored*/) { return m_pScene; }

CSceneInterface* CMesh::GetOwnerScene() { return m_pScene; }

CBone* CMesh::GetBone(UINT index) {
  return index < m_dwNumberOfBones ? &m_pBones[index] : nullptr;
}

Face* CMesh::GetFace(UINT index) { return index < m_Faces.size() ? &m_Faces[index] : nullptr; }

Edge* CMesh::GetEdge(UINT index) { return index < m_Edges.size() ? &m_Edges[index] : nullptr; }

CSurfaceInterface* CMesh::GetCurrentSurface() { return m_pCurrentSurface; }

CVertexBufferInterface* CMesh::GetVertexBuffer(UINT /*ignored*/) { return m_pVertexBuffer; }

CWorldObjectInterface* CMesh::GetTopmostParent() {
  CWorldObject* topmost = this;
  // Parent links never loop (SetParent refuses that), so the walk ends.
  while (topmost->GetParent() != nullptr &&
         CWorldObject::IsKnownType(topmost->GetParent()->GetWorldObjectType()))
    topmost = topmost->GetParent();
  return topmost->GetInterface();
}

// --- flags and plain values ---

UINT CMesh::SetUseBones(UINT useBones) {
  m_dwUseBones = useBones != 0 && m_dwNumberOfBones > 0 ? 1 : 0;
  return 0;
}

UINT CMesh::SetIsMorph(UINT isMorph) {
  m_dwIsMorph = isMorph != 0 && m_pMorphTarget != nullptr ? 1 : 0;
  return m_dwIsMorph;
}

UINT CMesh::GetCanCastShadowVolume() {
  return m_dwCanCastShadowVolume == 1 && (m_wFlags & kFlagCastsShadow) != 0 &&
                 m_pShadowVolume != nullptr && Spatial()->HasShadowGeometry(m_pShadowVolume) != 0
             ? 1
             : 0;
}

void CMesh::SetMorphTarget(CMesh* target) {
  if (target == this) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Morph %s To Itself\n",
          m_szName);
    return;
  }
  if (target != nullptr && target->GetNumberOfVertices() < GetNumberOfVertices()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Morph %s To A Mesh With Fewer Vertices\n", m_szName);
    return;
  }
  m_pMorphTarget = target;
  if (target == nullptr) m_dwIsMorph = 0;
}

UINT CMesh::SetName(const char* name) { return static_cast<UINT>(CopyName(m_szName, name)); }

UINT CMesh::SetShaderFile(const char* fileName, UINT manualShader) {
  const UINT length = static_cast<UINT>(CopyName(m_szShaderFileName, fileName));
  m_dwManualShader = manualShader;
  return length;
}

void CMesh::SetVisibility(UINT byCameras, UINT byRays, UINT byCollisions) {
  m_dwVisibleByCameras = byCameras;
  m_dwVisibleByRays = byRays;
  m_dwVisibleByCollisions = byCollisions;
}

void CMesh::SetPivot(const CVector3& pivot) {
  if (pivot != m_vecPivot) GetGuard()->Force();
  m_vecPivot = pivot;
}

CMotion* CMesh::GetMotion(float frame) {
  if (m_Motion.GetLastFrame() != frame) m_Motion.Evaluate(frame);
  return &m_Motion;
}

CBone* CMesh::CreateBones(UINT count) {
  if (count == 0 || count > MAX_BONES) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CMesh::CreateBones, (%s) Can't Make %u Bones\n", m_szName, count);
    return nullptr;
  }
  m_pBones = std::make_unique<CBone[]>(count);
  m_dwNumberOfBones = count;
  return m_pBones.get();
}

void CMesh::CalculateBonesRestMatrices() {
  // Evaluated once at frame 0 so that the rest pose holds before the first matrix pass.
  for (UINT i = 0; i < m_dwNumberOfBones; ++i) m_pBones[i].Evaluate(0.0f);
  for (UINT i = 0; i < m_dwNumberOfBones; ++i) m_pBones[i].BuildMatrices(0.0f);
}

UINT CMesh::CalculateBonesWeights(const LWOImportBuffer& object) {
  return CMeshBoneWeights(m_pBones.get(), m_dwNumberOfBones, m_Vertices, m_szName, m_pLog)
      .CalculateBonesWeights(object);
}

UINT CMesh::SetBoneParent(UINT index, UINT parentItemType, UINT parent) {
  if (parentItemType != BONE_PARENT_ITEM_BONE) {
    if (index >= m_dwNumberOfBones) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - CMesh::SetBoneParent, (%s) Bone Number Out Of Range: %u Of %u\n", m_szName,
            index, m_dwNumberOfBones);
      return 0;
    }
    m_pBones[index].SetParent(parentItemType, nullptr);
    m_pBones[index].SetParentLink(parent, parentItemType);
    return 1;
  }
  if (index >= m_dwNumberOfBones || parent >= m_dwNumberOfBones) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CMesh::SetBoneParent, (%s) Bone Number Out Of Range: %u, %u Of %u\n",
          m_szName, index, parent, m_dwNumberOfBones);
    return 0;
  }
  // The bone matrices are built through the parent links: a loop would never end.
  UINT steps = 0;
  for (const CBone* ancestor = &m_pBones[parent]; ancestor != nullptr && steps <= m_dwNumberOfBones;
       ancestor = ancestor->GetParent(), ++steps)
    if (ancestor == &m_pBones[index]) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - CMesh::SetBoneParent, (%s) Bone %u Can't Be Parented To Bone %u, It Would "
            "Close A Loop\n",
            m_szName, index, parent);
      return 0;
    }
  m_pBones[index].SetParent(parentItemType, &m_pBones[parent]);
  // Kept as the scene file stores it.
  m_pBones[index].SetParentLink(parent, parentItemType);
  return 1;
}

void CMesh::GetUpdateInputs(CUpdateInputs* inputs) {
  inputs->pParent = GetParent();
  inputs->pMotion = &m_Motion;
  inputs->AddEnvelope(m_pDissolve.get());
  inputs->dwAlwaysChanged = m_pMorphTarget != nullptr || m_dwUseBones == 1 ? 1 : 0;
}

// --- frames and matrices ---

void CMesh::SetFrame(float frame, UINT recurse) {
  const UINT follows = frame == -1.0f ? 1 : 0;
  if (follows != m_dwFollowsFrame) GetGuard()->Force();
  m_dwFollowsFrame = follows;
  m_fFrameSet = frame;
  if (recurse != 1 || m_pScene == nullptr) return;
  for (CWorldObject* object = m_pScene->GetFirstWorldObject(); object != nullptr;
       object = object->GetNext())
    if (object->GetParent() == this && CWorldObject::IsKnownType(object->GetWorldObjectType()))
      object->SetFrame(frame, 1);
}

void CMesh::RemoveAdditionalTransformation() {
  ClearExplicitValues(true, true, true, true);
  m_dwFollowsFrame = 0;
}

void CMesh::BuildLocalMatrices(CMatrix* matrix, CMatrix* rotation) {
  matrix->SetMove(-m_vecPivot.x, -m_vecPivot.y, -m_vecPivot.z);

  if (HasExplicitScale()) {
    const CVector3& scale = GetExplicitScale();
    matrix->Scale(scale.x, scale.y, scale.z);
  } else if (m_Motion.GetNumberOfChannels() > MOTION_SCALE_X) {
    matrix->Scale(Channel(m_Motion, MOTION_SCALE_X), Channel(m_Motion, MOTION_SCALE_Y),
                  Channel(m_Motion, MOTION_SCALE_Z));
  }

  CVector3 angles(Channel(m_Motion, MOTION_HEADING), Channel(m_Motion, MOTION_PITCH),
                  Channel(m_Motion, MOTION_BANK));
  if (HasExplicitRotation() && HasExplicitQuaternion()) {
    *rotation = QuaternionMatrix(GetExplicitQuaternion());
  } else {
    if (HasExplicitRotation()) angles = GetExplicitRotation();
    // Order 0 banks, pitches, then heads; order 1 the reverse. Motion channels always use 0.
    if (HasExplicitRotation() && m_dwRotationOrder == 1) {
      rotation->SetRotateY(angles.x);
      rotation->RotateX(angles.y);
      rotation->RotateZ(angles.z);
    } else {
      rotation->SetRotateZ(angles.z);
      rotation->RotateX(angles.y);
      rotation->RotateY(angles.x);
    }
  }
  *matrix = *matrix * *rotation;

  if (HasExplicitPosition()) {
    const CVector3& position = GetExplicitPosition();
    matrix->Move(position.x, position.y, position.z);
  } else {
    matrix->Move(Channel(m_Motion, MOTION_POSITION_X), Channel(m_Motion, MOTION_POSITION_Y),
                 Channel(m_Motion, MOTION_POSITION_Z));
  }
}

void CMesh::PrepareMatrices(float frame) {
  CEngineSampleScope sample(SAMPLE_PREPARE_MATRICES);
  const float f = ChooseFrame(frame);
  m_dwChanged = GetGuard()->Update(f);
  if (m_dwChanged == 1) {
    if (m_dwIsMorph != 0) m_MorphMotion.Evaluate(f);
    m_Motion.Evaluate(f);
    BuildLocalMatrices(&m_mtxMatrix, &m_mtxRotationMatrix);
    if (m_dwUseBones == 1)
      for (UINT i = 0; i < m_dwNumberOfBones; ++i) m_pBones[i].Evaluate(f);
    if (m_pDissolve->GetIsEnvelope() != 0) m_pDissolve->CalcStep(f);
  }
  for (CMeshSurface* surface : m_Surfaces)
    if (surface != nullptr) surface->UpdateMaterial(f);
  if (m_dwFollowsFrame == 0) m_fMatrixFrame = m_fFrameSet;
  m_fFramePrepared = f;
  m_fHierarchyFrame = -1.0f;
}

void CMesh::UpdateHierarchy(float frame) {
  if (m_fHierarchyFrame != -1.0f) return;
  const float f = ChooseFrame(frame);
  if (f == -1.0f) return;
  CEngineSampleScope sample(SAMPLE_UPDATE_HIERARCHY);
  if (m_dwChanged == 1) {
    if (CWorldObject* parent = GetParent()) {
      if (parent->GetFramePrepared() == f) {
        m_mtxMatrix = m_mtxMatrix * *parent->GetMatrix(f);
        m_mtxRotationMatrix = m_mtxRotationMatrix * *parent->GetRotationMatrix(f);
      } else {
        CMatrix parentMatrix;
        parent->MotionToMatrix(&parentMatrix, f);
        m_mtxMatrix = m_mtxMatrix * parentMatrix;
        m_mtxRotationMatrix = m_mtxRotationMatrix * WithoutTranslation(parentMatrix);
      }
    }
    if (m_dwUseBones == 1)
      for (UINT i = 0; i < m_dwNumberOfBones; ++i) m_pBones[i].BuildMatrices(f);
    m_mtxInverse = MatrixInverse(m_mtxMatrix);
    m_mtxInverseRotation = MatrixInverse(m_mtxRotationMatrix);

    // Without an active camera the distance of the last measurement stands.
    CCameraInterface* camera = m_pScene != nullptr ? m_pScene->GetActiveCamera() : nullptr;
    if (camera != nullptr) {
      CVector3 cameraPosition;
      camera->GetPosition(&cameraPosition, 0);
      m_fCameraDistance = (CVector3() * m_mtxMatrix - cameraPosition).Length();
    }
    if (m_pShadowVolume != nullptr) Spatial()->ResetShadowVolume(m_pShadowVolume);
    RefileInOctree();
  }
  m_fHierarchyFrame = f;
  if (m_dwFollowsFrame == 1) m_fMatrixFrame = f;
}

void CMesh::RefileInOctree() {
  CMeshSpatial* spatial = Spatial();
  // The transformed box follows the mesh with or without an octree: visibility and collision
  // code read it too.
  if (m_pBoundVolume != nullptr) spatial->TransformBoundVolume(m_pBoundVolume, m_mtxMatrix);
  COctree* octree = m_pScene != nullptr ? spatial->GetSceneOctree(m_pScene) : nullptr;
  if (octree == nullptr) return;
  LeaveOctree();
  spatial->InsertMeshIntoOctree(octree, this);
}

void CMesh::LeaveOctree() {
  if (m_pScene != nullptr) m_pScene->OctreeFilingChanged();
  for (OctreeEntry& entry : m_OctreeEntries) {
    if (entry.pCell != nullptr) Spatial()->RemoveMeshFromOctree(entry.pCell, entry.dwEntry, this);
    entry = OctreeEntry{nullptr, 0};
  }
}

void CMesh::DetachFromScene() {
  if (m_pScene != nullptr) m_pScene->OctreeFilingChanged();
  for (OctreeEntry& entry : m_OctreeEntries) entry = OctreeEntry{nullptr, 0};
  CWorldObject::DetachFromScene();
}

void CMesh::PlaceInOctree(COctree* cell, UINT entry) {
  if (m_pScene != nullptr) m_pScene->OctreeFilingChanged();
  for (OctreeEntry& slot : m_OctreeEntries)
    if (slot.pCell == nullptr) {
      slot = OctreeEntry{cell, entry};
      return;
    }
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "ERROR!!! - There's Not Enuff Octree Box Entries For Dynamic Meshes, Need To Allocate "
        "Memory For It, Should Be: %i - (%s) \n",
        m_wOctreeEntryCapacity + 1, m_szName);
  m_OctreeEntries.push_back(OctreeEntry{cell, entry});
  ++m_wOctreeEntryCapacity;
}

void CMesh::MotionToMatrix(CMatrix* out, float frame) {
  m_Motion.Evaluate(frame);
  CMatrix matrix, rotation;
  BuildLocalMatrices(&matrix, &rotation);
  if (CWorldObject* parent = GetParent()) {
    if (parent->GetFrame() == frame) {
      matrix = matrix * *parent->GetMatrixPointer();
    } else {
      CMatrix parentMatrix;
      parent->MotionToMatrix(&parentMatrix, frame);
      matrix = matrix * parentMatrix;
    }
  }
  *out = matrix;
}

CMatrix* CMesh::GetMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxMatrix;
}

CMatrix* CMesh::GetRotationMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxRotationMatrix;
}

CMatrix* CMesh::GetInverseMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxInverse;
}

CMatrix* CMesh::GetInverseRotationMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxInverseRotation;
}

void CMesh::GetPosition(CVector3* out, UINT flag) {
  if (out == nullptr) return;
  if (flag == 0) {
    *out = CVector3() * m_mtxMatrix;
  } else if (flag == 1) {
    if (HasExplicitPosition()) {
      *out = GetExplicitPosition();
    } else {
      *out = CVector3(Channel(m_Motion, MOTION_POSITION_X), Channel(m_Motion, MOTION_POSITION_Y),
                      Channel(m_Motion, MOTION_POSITION_Z)) -
             m_vecPivot;
    }
  } else {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Unknown FLAG For CMesh::GetPosition\n");
  }
}

void CMesh::GetRotation(CVector3* out, UINT flag) {
  if (out == nullptr) return;
  if (flag > 1) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Unknown FLAG For CMesh::GetRotation\n");
    return;
  }
  *out = HasExplicitRotation() ? GetExplicitRotation()
                               : CVector3(Channel(m_Motion, MOTION_HEADING),
                                          Channel(m_Motion, MOTION_PITCH),
                                          Channel(m_Motion, MOTION_BANK));
  if (flag == 1 || GetParent() == nullptr) return;
  CVector3 parentRotation;
  if (ParentRotation(GetParent(), &parentRotation))
    *out = *out + parentRotation;
  else
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - CMesh Parent's Type Unknown\n");
}

bool CMesh::IsUniformScale() {
  const CVector3 scale = ScaleFrom(m_Motion);
  return scale.x == scale.y && scale.y == scale.z;
}

// --- geometry ---

bool CMesh::FaceInRange(const Face& face) const {
  const size_t count = m_Vertices.size();
  return face.wIndex1 < count && face.wIndex2 < count && face.wIndex3 < count;
}

UINT CMesh::SetVertices(UINT count, Vertex* vertices, UINT rebuildBoundVolume) {
  if (!AcceptsVertices(vertices != nullptr ? count : 0)) return 0;
  KeepColliderBeforeVerticesChange(rebuildBoundVolume);
  m_Vertices.assign(vertices, vertices + count);
  return VerticesChanged(rebuildBoundVolume);
}

UINT CMesh::TakeVertices(std::vector<Vertex>&& vertices, UINT rebuildBoundVolume) {
  if (!AcceptsVertices(vertices.size() <= kMaxElements ? static_cast<UINT>(vertices.size())
                                                       : kMaxElements + 1))
    return 0;
  KeepColliderBeforeVerticesChange(rebuildBoundVolume);
  m_Vertices = std::move(vertices);
  return VerticesChanged(rebuildBoundVolume);
}

bool CMesh::AcceptsVertices(UINT count) {
  if (count == 0) {
    LogTo(
        m_pLog, kSource, CEngineLog::kLevelError,
        "WARNING!!! - CMesh::SetVertices, (%s) Can't Add Vertices (NULL Pointer Or No Vertices)\n",
        m_szName);
    return false;
  }
  // Faces and edges keep numbering vertices: the new array must still hold all they use.
  WORD highest = 0;
  for (const Face& face : m_Faces)
    highest = std::max({highest, face.wIndex1, face.wIndex2, face.wIndex3});
  for (const Edge& edge : m_Edges) highest = std::max({highest, edge.wIndex1, edge.wIndex2});
  const bool numbered = !m_Faces.empty() || !m_Edges.empty();
  if (count > kMaxElements) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CMesh::SetVertices, (%s) Too Many Vertices: %u\n", m_szName, count);
    return false;
  }
  if (numbered && highest >= count) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CMesh::SetVertices, (%s) Can't Set %u Vertices, Faces Or Edges Use Vertex "
          "%u\n",
          m_szName, count, static_cast<UINT>(highest));
    return false;
  }
  return true;
}

UINT CMesh::VerticesChanged(UINT rebuildBoundVolume) {
  // The flag asks for the spatial data to follow the new positions: the box and the collider.
  if (rebuildBoundVolume == 1) {
    RebuildBoundVolume();
    if (!m_Faces.empty()) CreateCollider();
  }
  const UINT count = static_cast<UINT>(m_Vertices.size());
  if (m_pVertexBuffer != nullptr) m_pVertexBuffer->SetVertices(m_Vertices.data(), count);
  return count;
}

UINT CMesh::SetFaces(UINT count, Face* faces) {
  if (!AcceptsFaces(faces, faces != nullptr ? count : 0)) return 0;
  m_Faces.assign(faces, faces + count);
  // A collider over the old faces would name triangles the mesh no longer has.
  CreateCollider();
  return count * static_cast<UINT>(sizeof(Face));
}

UINT CMesh::TakeFaces(std::vector<Face>&& faces) {
  const UINT count = faces.size() <= kMaxElements ? static_cast<UINT>(faces.size()) : kMaxElements + 1;
  if (!AcceptsFaces(faces.data(), count)) return 0;
  m_Faces = std::move(faces);
  CreateCollider();
  return count * static_cast<UINT>(sizeof(Face));
}

bool CMesh::AcceptsFaces(const Face* faces, UINT count) {
  if (count == 0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - CMesh::SetFaces, (%s) Can't Add Faces (NULL Pointer Or No Faces)\n",
          m_szName);
    return false;
  }
  if (count > kMaxElements) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CMesh::SetFaces, (%s) Too Many Faces: %u\n", m_szName, count);
    return false;
  }
  // Ray tests, normals, projections and merging index the vertices with these numbers.
  for (UINT i = 0; i < count; ++i)
    if (!FaceInRange(faces[i])) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - CMesh::SetFaces, (%s) Face %u Uses A Vertex Out Of Range (%u, %u, %u Of "
            "%u)\n",
            m_szName, i, faces[i].wIndex1, faces[i].wIndex2, faces[i].wIndex3,
            GetNumberOfVertices());
      return false;
    }
  return true;
}

UINT CMesh::SetEdges(UINT count, Edge* edges) {
  if (edges == nullptr || count == 0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - CMesh::SetEdges, (%s) Can't Add Edges (NULL Pointer Or No Edges)\n",
          m_szName);
    return 0;
  }
  if (count > kMaxElements) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CMesh::SetEdges, (%s) Too Many Edges: %u\n", m_szName, count);
    return 0;
  }
  const size_t vertexCount = m_Vertices.size(), faceCount = m_Faces.size();
  for (UINT i = 0; i < count; ++i) {
    const Edge& edge = edges[i];
    // The second face counts only when the edge has a second owner.
    const bool inRange = edge.wIndex1 < vertexCount && edge.wIndex2 < vertexCount &&
                         edge.wFace1 < faceCount &&
                         (edge.pOwner2 == nullptr || edge.wFace2 < faceCount);
    if (!inRange) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - CMesh::SetEdges, (%s) Edge %u Uses A Vertex Or Face Out Of Range\n",
            m_szName, i);
      return 0;
    }
  }
  m_Edges.assign(edges, edges + count);
  return count * static_cast<UINT>(sizeof(Edge));
}

void CMesh::ComputeNormals() {
  std::vector<float> uses(m_Vertices.size(), 0.0f);
  std::vector<CVector3> sums(m_Vertices.size());
  for (Face& face : m_Faces) {
    // A face changed through GetFace may number vertices the mesh does not have.
    if (!FaceInRange(face)) continue;
    const CVector3& p1 = m_Vertices[face.wIndex1].vecPosition;
    const CVector3& p2 = m_Vertices[face.wIndex2].vecPosition;
    const CVector3& p3 = m_Vertices[face.wIndex3].vecPosition;
    face.vecNormal = cross(p1 - p2, p1 - p3);
    face.vecNormal.Normalize();
    for (WORD index : {face.wIndex1, face.wIndex2, face.wIndex3}) {
      sums[index] = sums[index] + face.vecNormal;
      uses[index] += 1.0f;
    }
  }
  // A vertex no face uses keeps the normal it had.
  for (size_t i = 0; i < m_Vertices.size(); ++i) {
    if (uses[i] == 0.0f) continue;
    CVector3 normal = sums[i] * (1.0f / uses[i]);
    normal.Normalize();
    m_Vertices[i].vecNormal = normal;
  }
}

void CMesh::RebuildBoundVolume() {
  if (m_pScene != nullptr) m_pScene->OctreeFilingChanged();
  if (m_pBoundVolume != nullptr) Spatial()->ReleaseBoundVolume(m_pBoundVolume);
  m_pBoundVolume = Spatial()->CreateBoundVolume(this);
}

bool CMesh::SetBoundVolume(CMeshBoundVolumeInterface* volume) {
  if (Ports().meshSpatial.IsDefault()) return false;
  if (m_pBoundVolume != nullptr && m_pBoundVolume != volume)
    Spatial()->ReleaseBoundVolume(m_pBoundVolume);
  m_pBoundVolume = volume;
  if (m_pScene != nullptr) m_pScene->OctreeFilingChanged();
  return true;
}

void CMesh::DrawBoundVolume() {
  if (m_pBoundVolume != nullptr)
    Spatial()->DrawBoundVolume(m_pBoundVolume, m_pRendererContext, m_mtxMatrix);
}

// --- surfaces ---

CSurfaceInterface* CMesh::CreateSurface() {
  CMeshSurface* surface = Ports().surfaceFactory->CreateSurface(m_pRendererContext, m_pLog, this);
  if (surface == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Create Surface (%s)\n",
          m_szName);
    return nullptr;
  }
  m_Surfaces.push_back(surface);
  surface->SetName("a new surface");
  return surface;
}

UINT CMesh::UpdateSurfaceState() {
  UINT qualifying = 0;
  for (CMeshSurface* surface : m_Surfaces) {
    if (surface == nullptr) continue;
    bool qualifies = (surface->GetFlags() & SURFACE_FLAG_TRANSPARENT) != 0;
    if (!qualifies) {
      SurfaceTexture* material = surface->GetMaterialTexture2();
      CTextureInterface* texture = material != nullptr ? material->pTextureImage : nullptr;
      const char* alphaName = texture != nullptr ? texture->GetAlphaFileName() : nullptr;
      qualifies = alphaName != nullptr && alphaName[0] != '\0';
    }
    if (qualifies) ++qualifying;
  }
  if (qualifying == 0)
    m_dwSurfaceState = 0;
  else
    m_dwSurfaceState = qualifying == m_Surfaces.size() ? 1 : 2;
  return m_dwSurfaceState;
}

UINT CMesh::ReleaseTextures() {
  for (CMeshSurface* surface : m_Surfaces)
    if (surface != nullptr) surface->ReleaseTextures();
  return 1;
}

UINT CMesh::SaveTextures() {
  for (CMeshSurface* surface : m_Surfaces)
    if (auto* engineSurface = dynamic_cast<CSurface*>(surface)) engineSurface->SaveTexturesAsDDS();
  return 1;
}

// --- shaders and buffers ---

void CMesh::Render(const char* passName, UINT passKind) {
  if (m_dwVisibleByCameras == 0) return;
  if (m_pScene != nullptr) m_pScene->SetCurrentMesh(this);
  if (CRenderingProfileInterface* profile = GetEngineContext()->pRenderingProfile) {
    profile->RenderMesh(this);
    return;
  }
  if (m_pShader != nullptr) {
    ShaderLibrary()->ExecuteMeshPass(m_pShader, passName, this, GetFrame(), passKind);
    return;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "ERROR!!! - (CMesh::Render) Rendering Profile and Shader Are NULL\n");
}

UINT CMesh::CreateShader(const char* fileName, ShaderParameter* parameters,
                         UINT numberOfParameters, UINT manualShader) {
  m_pShader = nullptr;
  CopyName(m_szShaderFileName, fileName);
  if (fileName != nullptr)
    m_pShader = ShaderLibrary()->CreateShaderForMesh(fileName, this, parameters, numberOfParameters);
  if (m_pShader == nullptr) {
    ShowMessageBox(GetForegroundWindow(), MB_ICONERROR, "Error While Creating Shader",
                   "Can't Create Shader: %s", fileName ? fileName : "");
    CopyName(m_szShaderFileName, kNoShaderFile);
    return 0;
  }
  if (parameters != nullptr)
    m_ShaderParameters.assign(parameters, parameters + numberOfParameters);
  else
    m_ShaderParameters.clear();
  CreateVertexBuffers();
  m_dwManualShader = manualShader;
  return 1;
}

const ShaderParameter* CMesh::GetShaderParameters(UINT* count) const {
  if (count != nullptr) *count = static_cast<UINT>(m_ShaderParameters.size());
  return m_ShaderParameters.empty() ? nullptr : m_ShaderParameters.data();
}

UINT CMesh::ApplyDefaultShader(MeshShaderChooser meshChooser,
                               SurfaceShaderChooser surfaceChooser) {
  if (m_szShaderFileName[0] == '\0' || m_dwManualShader != 1) {
    UINT chosen = 0;
    if (meshChooser != nullptr)
      chosen = meshChooser(this);
    else
      chosen = ShaderLibrary()->ApplyDefaultShaderForMesh(this);
    if (chosen != 1) {
      m_dwUseShader = 0;
      return 0;
    }
  }
  UINT everySurface = 1;
  for (CMeshSurface* surface : m_Surfaces)
    if (surface != nullptr && surface->AssignShader(surfaceChooser) != 1) everySurface = 0;
  m_dwUseShader = everySurface;
  return everySurface;
}

CMeshVertexBuffer* CMesh::CreateBuffer(Vertex* vertices, Vertex* secondVertices, UINT count,
                                       const char* name, UINT kind) {
  auto* renderer = static_cast<CD3D9RendererInterface*>(m_pRendererContext);
  CVertexBufferStorageInterface* storage =
      renderer != nullptr ? renderer->GetVertexBufferStorageInterface() : nullptr;
  CVertexBufferInterface* buffer =
      storage != nullptr ? storage->CreateVertexBuffer(vertices, secondVertices, count, name, kind,
                                                       m_dwDynamicBuffers)
                         : nullptr;
  auto* meshBuffer = dynamic_cast<CMeshVertexBuffer*>(buffer);
  if (meshBuffer == nullptr) FatalErrorWithTitle("Error While Creating VB", "Can't Create");
  return meshBuffer;
}

void CMesh::ReleaseVertexBuffers() {
  if (m_pVertexBuffer != nullptr) m_pVertexBuffer->Release();
  m_pVertexBuffer = nullptr;
  for (CMeshVertexBuffer*& buffer : m_pShadowVolumeBuffers)
    if (buffer != nullptr) {
      buffer->Release();
      buffer = nullptr;
    }
}

void CMesh::CreateVertexBuffers() {
  // A second call replaces the buffers; the old ones are dropped, not leaked.
  ReleaseVertexBuffers();
  // The bank reads as many morph-target vertices as the mesh has; a target that has fewer
  // by now (its vertices were replaced) is left out.
  Vertex* morphVertices = nullptr;
  if (m_dwIsMorph != 0 && m_pMorphTarget != nullptr) {
    if (m_pMorphTarget->GetNumberOfVertices() >= GetNumberOfVertices())
      morphVertices = m_pMorphTarget->GetVertices();
    else
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Morph %s To A Mesh With Fewer Vertices\n", m_szName);
  }
  m_pVertexBuffer =
      CreateBuffer(GetVertices(), morphVertices, GetNumberOfVertices(), m_szName, kBufferKindMesh);

  if (m_dwHasShadowVolumeGeometry == 1 && m_dwCanCastShadowVolume == 1 &&
      m_pShadowVolume != nullptr) {
    static const char* const kShadowNames[2] = {"%s_shadow_volume_1", "%s_shadow_volume_2"};
    for (UINT block = 0; block < 2; ++block) {
      UINT count = 0;
      Vertex* data = Spatial()->GetShadowVolumeBlock(m_pShadowVolume, block, &count);
      if (data == nullptr) continue;
      char name[kNameLength + 32];
      std::snprintf(name, sizeof name, kShadowNames[block], m_szName);
      m_pShadowVolumeBuffers[block] =
          CreateBuffer(data, nullptr, count, name, kBufferKindShadowVolume);
    }
  }

  if (m_pShader == nullptr) {
    m_pVertexBuffer->Release();
    m_pVertexBuffer = nullptr;
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Create Vertex Buffer For %s, Probably Implementation Error\n",
          m_szName);
    return;
  }
  BindStreams(m_pShadowVolumeBuffers[0], m_pShadowVolumeBuffers[1]);
}

void CMesh::BindStreams(CMeshVertexBuffer* dynamicShadow, CMeshVertexBuffer* staticShadow) {
  CMeshShaderLibrary* library = ShaderLibrary();
  const UINT passes = library->GetNumberOfPasses(m_pShader);
  for (UINT pass = 0; pass < passes; ++pass) {
    UINT count = 0;
    ShaderStreamBinding* bindings = library->GetStreamBindings(m_pShader, pass, &count);
    if (bindings == nullptr) continue;
    if (count > MAX_SHADER_STREAM_BINDINGS) count = MAX_SHADER_STREAM_BINDINGS;
    for (UINT i = 0; i < count; ++i) {
      switch (bindings[i].dwStream) {
        case SHADER_STREAM_MESH:
          bindings[i].pVertexBuffer = m_pVertexBuffer;
          break;
        case SHADER_STREAM_DYNAMIC_SHADOW_VOLUME:
          if (dynamicShadow == nullptr)
            FatalErrorWithTitle("Loading Mesh", "Dynamic Shadow Volume Vertex Buffer Is Null: %s\n",
                                m_szName);
          bindings[i].pVertexBuffer = dynamicShadow;
          break;
        case SHADER_STREAM_STATIC_SHADOW_VOLUME:
          if (staticShadow == nullptr)
            FatalErrorWithTitle("Loading Mesh", "Static Shadow Volume Vertex Buffer Is Null: %s\n",
                                m_szName);
          bindings[i].pVertexBuffer = staticShadow;
          break;
        default:
          FatalErrorWithTitle("Loading Mesh", "Unknown Vertex Buffer Number: %s\n", m_szName);
      }
      // The buffer lays out a stream set for the pass's declaration, which it picks when the
      // declaration is set; it only reads the element list.
      if (bindings[i].pElements != nullptr)
        bindings[i].pVertexBuffer->CreateCompatibleWith(
            const_cast<D3DVERTEXELEMENT9*>(bindings[i].pElements));
    }
  }
}

CVertexBufferInterface* CMesh::GetShadowVolumeVertexBuffer() const {
  return m_pShadowVolume != nullptr ? m_pShadowVolumeBuffers[0] : nullptr;
}

CIndexBufferInterface* CMesh::GetShadowVolumeIndexBuffer(UINT* count) const {
  CCountedIndexBuffer* buffer =
      m_pShadowVolume != nullptr ? m_pShadowVolume->GetDynamicIndexBuffer() : nullptr;
  *count = buffer != nullptr ? m_pShadowVolume->GetNumberOfDynamicIndices() : 0;
  return buffer;
}

void CMesh::SetGenericPathData(CMeshVertexBuffer* vertexBuffer) {
  if (vertexBuffer == m_pVertexBuffer) return;
  if (m_pVertexBuffer != nullptr) m_pVertexBuffer->Release();
  m_pVertexBuffer = vertexBuffer;
}

// --- shadow volume ---

void CMesh::PrepareShadowVolume(const Edge* edges, UINT count) {
  if ((edges == nullptr && count != 0) || count > kMaxElements) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - The Object %s Can Cast Shadow Because It's Not Closed\n", m_szName);
    m_dwCanCastShadowVolume = 0;
    return;
  }
  const UINT faceCount = GetNumberOfFaces();
  // A face number the mesh does not have counts as a missing face.
  auto owner = [&](WORD face) { return face < faceCount ? &m_Faces[face] : nullptr; };
  m_Edges.assign(count, Edge{});
  bool overshared = false, open = false;
  for (UINT i = 0; i < count; ++i) {
    Edge& edge = m_Edges[i];
    edge.wIndex1 = edges[i].wIndex1;
    edge.wIndex2 = edges[i].wIndex2;
    edge.wFace1 = edges[i].wFace1;
    edge.wFace2 = edges[i].wFace2;
    edge.dwOvershared = edges[i].dwOvershared != 0 ? 1 : 0;
    edge.pOwner1 = owner(edge.wFace1);
    edge.pOwner2 = owner(edge.wFace2);
    OrientEdge(edge, static_cast<WORD>(i));
    overshared = overshared || edge.dwOvershared == 1;
    open = open || edge.pOwner1 == nullptr || edge.pOwner2 == nullptr;
  }
  if (overshared) m_dwHasShadowVolumeGeometry = 0;
  if (open) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - The Object %s Can Cast Shadow Because It's Not Closed\n", m_szName);
    m_dwCanCastShadowVolume = 0;
    return;
  }
  m_dwCanCastShadowVolume = 1;
  if (m_dwHasShadowVolumeGeometry != 0) CreateShadowVolumeGeometry();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s has %i edges\n", m_szName,
        static_cast<int>(count));
}

// The quads of the shadow volume need each edge to run the way its first face winds.
void CMesh::OrientEdge(Edge& edge, WORD index) {
  auto slotOf = [index](const Face* face) -> int {
    if (face == nullptr) return -1;
    const WORD slots[3] = {face->wEdge1, face->wEdge2, face->wEdge3};
    for (int k = 0; k < 3; ++k)
      if (slots[k] == index) return k;
    return -1;
  };
  const Face* face = edge.pOwner1;
  int k = slotOf(edge.pOwner1);
  if (edge.pOwner1 != nullptr && edge.pOwner2 != nullptr && slotOf(edge.pOwner2) < 0) k = -1;
  if (edge.pOwner1 == nullptr) {
    face = edge.pOwner2;
    k = slotOf(edge.pOwner2);
  }
  if (k < 0) return;
  const WORD corners[3] = {face->wIndex1, face->wIndex2, face->wIndex3};
  edge.wIndex1 = corners[k];
  edge.wIndex2 = corners[(k + 1) % 3];
}

void CMesh::CreateShadowVolumeGeometry() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Creating Shadow Volume Geometry For: %s\n",
        m_szName);
  if (m_pShadowVolume == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Allocate Memory For Shadow Volume Manager\n");
    m_dwCanCastShadowVolume = 0;
    return;
  }
  const bool boned = m_dwUseBones == 1;
  const ShadowGeometrySource source = {m_szName,           m_pLog,
                                       m_Faces.data(),     GetNumberOfFaces(),
                                       m_Edges.data(),     GetNumberOfEdges(),
                                       m_Vertices.data(),  GetNumberOfVertices(),
                                       boned,              !boned && m_dwIsMorph == 0};
  UINT indexCount = 0, vertexCount = 0;
  const ShadowGeometryBuild built = Spatial()->BuildShadowVolumeGeometry(
      m_pShadowVolume, this, source, &indexCount, &vertexCount);
  if (built != ShadowGeometryBuild::kBuilt) {
    if (built == ShadowGeometryBuild::kNoIndexBuffer)
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR! - Can't Create Index Buffer For Shadow Volume Geometry For: %s\n", m_szName);
    m_dwCanCastShadowVolume = 0;
    return;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Done (%i Indices, %i Vertices)\n",
        static_cast<int>(indexCount), static_cast<int>(vertexCount));
}

CCountedIndexBuffer* CMesh::CreateShadowVolumeIndexBuffer(WORD* indices, UINT count,
                                                          const char* ownerSuffix) {
  auto* renderer = static_cast<CD3D9RendererInterface*>(m_pRendererContext);
  CIndexBufferStorageInterface* storage =
      renderer != nullptr ? renderer->GetIndexBufferStorageInterface() : nullptr;
  if (storage == nullptr) return nullptr;
  char name[kNameLength + 32];
  std::snprintf(name, sizeof name, "%s%s", m_szName, ownerSuffix != nullptr ? ownerSuffix : "");
  // Only a counted buffer can be shared with clones and released with the mesh.
  return dynamic_cast<CCountedIndexBuffer*>(
      storage->CreateIndexBuffer(name, name, indices, count, 0, m_dwDynamicBuffers));
}

// --- ray tests ---

UINT CMesh::CheckIntersectionWith(CRay& ray, float* distance, UINT flags, CVector3* normal) {
  float scratch = 0.0f;
  if (distance == nullptr) distance = &scratch;
  // Also on a miss, so a caller never reads a distance left from an earlier test.
  *distance = std::numeric_limits<float>::max();
  if (m_dwVisibleByRays == 0 || m_pBoundVolume == nullptr) return 0;
  CRay tested = ray;
  const bool worldSpace = RayTestSpace(&tested);
  // Picking with a normal always asks the faces, whatever the flags choose.
  return RayTestFaces(tested, distance, flags, worldSpace, normal);
}

UINT CMesh::CheckIntersectionWith(CRay& ray, float* distance, UINT flags) {
  float scratch = 0.0f;
  if (distance == nullptr) distance = &scratch;
  *distance = std::numeric_limits<float>::max();
  if (m_dwVisibleByRays == 0 || m_pBoundVolume == nullptr || m_pVertexBuffer == nullptr ||
      m_Vertices.empty() || m_Faces.empty())
    return 0;
  CRay tested = ray;
  const bool worldSpace = RayTestSpace(&tested);
  const UINT space = worldSpace ? 1 : 0;
  // The first test the flags choose decides.
  if ((flags & RAY_TEST_ALIGNED_BOX) != 0)
    return m_pBoundVolume->CheckAAIntersection(tested, distance, space);
  if ((flags & RAY_TEST_ORIENTED_BOX) != 0)
    return m_pBoundVolume->CheckOOIntersection(tested, distance, flags, space);
  if ((flags & RAY_TEST_FACES) != 0)
    return RayTestFaces(tested, distance, flags, worldSpace, nullptr);
  return 0;
}

UINT CMesh::CheckIntersectionWithFace(CRay& ray, float* distance, UINT flags, UINT face) {
  if (m_dwVisibleByRays == 0) return 0;
  float scratch = 0.0f;
  if (distance == nullptr) distance = &scratch;
  *distance = std::numeric_limits<float>::max();
  if (face >= m_Faces.size()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CMesh::CheckIntersectionWithFace, (%s) Face Number Out Of Range: %u Of %u\n",
          m_szName, face, GetNumberOfFaces());
    return 0;
  }
  // The ray is taken as it comes, in the mesh's own space.
  const CMeshRayTest test(m_Vertices.data(), GetNumberOfVertices(), m_mtxRotationMatrix, nullptr);
  float hit = 0.0f, u = 0.0f, v = 0.0f;
  if (test.HitFace(m_Faces[face], ray, flags, &hit, &u, &v) == 0) return 0;
  *distance = hit;
  return 1;
}

void CMesh::FileInOctree(COctree* octree) {
  LeaveOctree();
  if (octree != nullptr) Spatial()->InsertMeshIntoOctree(octree, this);
}

bool CMesh::RayTestSpace(CRay* ray) {
  if (IsUniformScale()) {
    const CVector3 origin = ray->vecOrigin * m_mtxInverse;
    ray->Transform(m_mtxInverseRotation);
    ray->vecOrigin = origin;
    return false;
  }
  // The box and the faces are not scaled alike along the axes: test in world space instead.
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "WARNING!!! - Non Uniform Scaling Ray Test In: %s From %s\n", m_szName,
        m_pScene != nullptr ? m_pScene->GetName() : "");
  return true;
}

UINT CMesh::RayTestFaces(const CRay& ray, float* distance, UINT flags, bool worldSpace,
                         CVector3* normal) {
  CRay probe = ray;
  float boxDistance = 0.0f;
  // Every side of the box counts, so a ray that starts inside the mesh still reaches its faces.
  if (m_pBoundVolume->CheckOOIntersection(probe, &boxDistance, RAY_TEST_BACK_FACES,
                                          worldSpace ? 1 : 0) == 0)
    return 0;
  const CMeshRayTest test(m_Vertices.data(), GetNumberOfVertices(), m_mtxRotationMatrix,
                          worldSpace ? &m_mtxMatrix : nullptr);
  return test.Nearest(m_Faces.data(), GetNumberOfFaces(), ray, flags, distance, normal);
}

// --- collider ---

void CMesh::CreateCollider() {
  ReleaseCollider();
  m_bColliderDue = true;
}

CCollider* CMesh::GetCollider() {
  BuildDueCollider();
  return m_pCollider;
}

void CMesh::BuildDueCollider() {
  if (!m_bColliderDue) return;
  // Cleared first: a failed build is logged once, not at every use.
  m_bColliderDue = false;
  if (!Spatial()->CreateCollider(this, m_pRendererContext, m_pLog, &m_pCollider)) return;
  if (m_pCollider == nullptr)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Create Collider Interface For Mesh: %s\n", m_szName);
}

void CMesh::KeepColliderBeforeVerticesChange(UINT rebuildBoundVolume) {
  if (rebuildBoundVolume != 1 || m_Faces.empty()) BuildDueCollider();
}

void CMesh::ShareColliderWith(CMesh* clone) {
  if (clone == nullptr || clone == this) return;
  // The clone shares one collider, not the promise of one each.
  BuildDueCollider();
  // Referenced first, so a clone that already shares it does not free it on the way.
  if (m_pCollider != nullptr) m_pCollider->AddRef();
  clone->ReleaseCollider();
  clone->m_pCollider = m_pCollider;
}

void CMesh::ReleaseCollider() {
  m_bColliderDue = false;
  if (m_pCollider == nullptr) return;
  // A shared collider may still point at a clone released before this mesh.
  m_pCollider->SetMesh(this);
  Spatial()->ReleaseCollider(m_pCollider);
  m_pCollider = nullptr;
}

UINT CMesh::CheckCollisionWith(CMeshInterface* other, UINT kind, UINT* numberOfPairs,
                               TrianglePair** pairs) {
  switch (kind) {
    case 1:
    case 2: {
      // Box against box, in this mesh's space.
      CMeshBoundVolumeInterface* otherVolume =
          other != nullptr ? other->GetBoundingBox(1) : nullptr;
      if (m_pBoundVolume == nullptr || otherVolume == nullptr) return 0;
      CMatrix* otherMatrix = other->GetMatrix(other->GetFrame());
      return otherMatrix != nullptr ? m_pBoundVolume->CheckAACollision(otherVolume, *otherMatrix)
                                    : 0;
    }
    case 3: {
      auto* otherMesh = dynamic_cast<CMesh*>(other);
      if (GetCollider() == nullptr || otherMesh == nullptr) return 0;
      CCollider* otherCollider = otherMesh->GetCollider();
      if (otherCollider == nullptr) return 0;
      // Each side answers for the mesh asking, whichever of its sharers built it.
      m_pCollider->SetMesh(this);
      if (otherCollider != m_pCollider) otherCollider->SetMesh(otherMesh);
      return m_pCollider->CheckCollisionWith(other, otherCollider, COLLISION_QUERY_PAIRS,
                                             numberOfPairs, pairs);
    }
    default:
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Incorrect Flag When Looking For A Collision: %s\n", m_szName);
      return 0;
  }
}

CMesh::CMesh(void* rendererContext, CEngineLog* log, CScene* scene, LWOImportBuffer& object,
             UINT dynamicBuffers)
    : CMesh(rendererContext, log, scene, dynamicBuffers) {
  UpdateFromImportedData(object);
}

UINT CMesh::UpdateFromImportedData(LWOImportBuffer& object) {
  SetName(object.fileName);
  // Buffers made from the old geometry would draw it.
  ReleaseVertexBuffers();

  // Counts come from the reader's fixed tables; nothing past a table is read.
  const UINT surfaceCount = std::min<UINT>(object.surfaceCount, LWOImportBuffer::kMaxSurfaces);
  const UINT faceCount = std::min<UINT>(object.faceCount, LWOImportBuffer::kMaxFaces);
  const UINT pointCount = object.points != nullptr ? object.pointCount : 0;
  if (surfaceCount != object.surfaceCount || faceCount != object.faceCount ||
      pointCount != object.pointCount)
    LogTo(m_pLog, kConstructionSource, CEngineLog::kLevelError,
          "ERROR!!! - Imported Object %s Counts More Than It Holds\n", m_szName);

  for (CMeshSurface* surface : m_Surfaces)
    if (surface != nullptr) surface->Release();
  m_Surfaces.clear();
  m_pCurrentSurface = nullptr;
  for (UINT i = 0; i < surfaceCount; ++i) {
    CMeshSurface* surface = Ports().surfaceFactory->CreateImportedSurface(
        m_pRendererContext, m_pLog, object.surfaces[i], object, this);
    if (surface == nullptr)
      FatalErrorWithTitle("Error While Updating Mesh", "Can't Allocate Memory For Surface - %s",
                          m_szName);
    m_Surfaces.push_back(surface);
  }
  m_vecPivot = object.pivotPosition;

  m_pDissolve.reset(NewNamedOrFatal<CEnvelope>(
      "Error While Updating Mesh", "Can't Allocate Memory For EnvDissolve: %s\n", m_szName,
      object.dissolve.isEnvelope, &object.dissolve.channel, object.dissolve.value));
  if (m_pDissolve->GetIsEnvelope() == 1)
    LogTo(m_pLog, kConstructionSource, CEngineLog::kLevelInfo, "- Dissolve Enveloped\n");
  else
    LogTo(m_pLog, kConstructionSource, CEngineLog::kLevelInfo, "- Dissolve %f\n",
          static_cast<double>(m_pDissolve->GetValue()));

  m_Faces.assign(faceCount, Face{});
  for (UINT i = 0; i < faceCount; ++i) {
    const LWOFace& imported = object.faces[i];
    Face& face = m_Faces[i];
    face.wIndex1 = imported.v[0];
    face.wIndex2 = imported.v[1];
    face.wIndex3 = imported.v[2];
    face.wEdge1 = imported.edgeIndex[0];
    face.wEdge2 = imported.edgeIndex[1];
    face.wEdge3 = imported.edgeIndex[2];
    face.vecNormal = imported.normal;
    face.wFaceIndex = static_cast<WORD>(i);
    if (face.vecNormal.Length() < 0.0001f)
      LogTo(m_pLog, kConstructionSource, CEngineLog::kLevelError,
            "Mesh Face %i: %f, %f, %f - Wrong Length\n", static_cast<int>(i),
            static_cast<double>(face.vecNormal.x), static_cast<double>(face.vecNormal.y),
            static_cast<double>(face.vecNormal.z));
  }
  m_Edges.clear();
  object.motion.CopyTo(m_Motion);
  object.morphMotion.CopyTo(m_MorphMotion);

  m_dwParentTypeLoaded = object.parentItem[0];
  m_dwParentNumber = object.parentItem[1];
  m_dwNumberOfMorphTargets = static_cast<UINT>(object.morphTarget);
  m_dwIsMorph = object.morphEnabled;
  m_dwSurfaceState = object.transparencyClass;
  m_dwUseBones = object.hasBones;
  m_dwVisibleByCameras = object.seenByCamera;
  m_dwVisibleByRays = object.seenByRays;
  m_wFlags = object.shadowOptions;
  m_mtxMatrix = CMatrix::Identity();

  m_Vertices.assign(pointCount, Vertex{});
  for (UINT i = 0; i < pointCount; ++i) {
    const LWOPoint& point = object.points[i];
    Vertex& vertex = m_Vertices[i];
    vertex.vecPosition = point.position;
    vertex.vecNormal = point.normal;
    vertex.vecTangent = point.tangent;
    vertex.vecBiNormal = point.binormal;
    vertex.fTU[0] = point.uv[0].u;
    vertex.fTU[1] = point.uv[1].u;
    vertex.fTV[0] = point.uv[0].v;
    vertex.fTV[1] = point.uv[1].v;
    for (UINT k = 0; k < 4; ++k) {
      vertex.fWeights[k] = 0.0f;
      vertex.wBonesIndices[k] = kNoBone;
    }
  }
  // A face naming a point the object does not have would be read past the vertices.
  for (UINT i = 0; i < faceCount; ++i)
    if (!FaceInRange(m_Faces[i]))
      FatalErrorWithTitle("Error While Updating Mesh", "Face %u Uses A Missing Vertex - %s", i,
                          m_szName);

  m_pBones.reset();
  m_dwNumberOfBones = 0;
  if (m_dwUseBones == 1) {
    const UINT boneCount = std::min<UINT>(object.boneCount, LWOImportBuffer::kMaxBones);
    if (boneCount > 0 && CreateBones(boneCount) == nullptr)
      FatalErrorWithTitle("Error While Updating Mesh", "Can't Allocate Memory For Bones");
    for (UINT i = 0; i < boneCount; ++i) {
      m_pBones[i].CopyFrom(object.bones[i]);
      // Parent links are rebuilt inside this skeleton by the bone's place in the record.
      const CBone* parent = object.bones[i].GetParent();
      if (parent >= object.bones && parent < object.bones + boneCount)
        SetBoneParent(i, BONE_PARENT_ITEM_BONE, static_cast<UINT>(parent - object.bones));
    }
    Ports().lightWave->AttachBones(this, object);
  }
  for (Vertex& vertex : m_Vertices)
    for (UINT k = 0; k < 4; ++k)
      if (vertex.wBonesIndices[k] == kNoBone) vertex.fWeights[k] = 0.0f;

  RebuildBoundVolume();
  if (m_pShadowVolume == nullptr)
    LogTo(m_pLog, kConstructionSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Allocate Memory For Shadow Volume Manager\n");
  else
    PrepareShadowVolume(object.edges.get(), object.edges != nullptr ? object.edgeCount : 0);
  UpdateSurfaceState();
  CreateCollider();
  LogTo(m_pLog, kConstructionSource, CEngineLog::kLevelInfo, "  - Mesh Updated - %s, %i\n",
        m_szName, static_cast<int>(m_Surfaces.size()));
  return 1;
}

UINT CMesh::LoadMesh(const char* name, UINT flag, UINT readerArgument) {
  char fileName[kNameLength] = {};
  const size_t length = name != nullptr ? std::strlen(name) : 0;
  // The name must fit the buffer with the ending a lookup appends.
  if (length == 0 || length > kNameLength - 5)
    FatalErrorWithTitle("Error While Loading", "Can't Locate File: %s", name != nullptr ? name : "");
  std::memcpy(fileName, name, length);
  m_dwChanged = 1;
  PumpWaitingMessages();

  const auto endsWith = [](const char* text, size_t size, const char* ending) {
    return size >= 3 && std::strcmp(text + size - 3, ending) == 0;
  };
  bool lightWave = endsWith(fileName, length, "lwo");
  if (lightWave) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "Loading Mesh: %s\n", fileName);
  } else if (!endsWith(fileName, length, "zko")) {
    // No extension: the object file when there is one, else the LightWave file.
    CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
    bool located = false;
    for (const char* ending : {".zko", ".lwo"}) {
      std::snprintf(fileName, sizeof fileName, "%s%s", name, ending);
      if (files != nullptr && files->LocateNormalFile(fileName) != static_cast<UINT>(-1)) {
        located = true;
        lightWave = ending[1] == 'l';
        break;
      }
    }
    if (!located) FatalErrorWithTitle("Error While Loading", "Can't Locate File: %s", name);
  }
  if (lightWave) {
    if (Ports().lightWave->LoadMesh(this, fileName) == 0)
      FatalErrorWithTitle("Error While Loading", "Can't Load LWO: %s", fileName);
  } else if (LoadObjectFile(fileName, readerArgument) == 0) {
    FatalErrorWithTitle("Error While Loading", "Can't Load ZKO: %s", fileName);
  }

  CEngineContext* context = GetEngineContext();
  if (context->pRenderingProfile != nullptr) {
    context->pRenderingProfile->PrepareMesh(this);
    return 1;
  }
  if (flag == 1) ApplyDefaultShader(nullptr, nullptr);
  if (flag != 0 && m_dwUseShader != 0) return 1;
  context->ports.genericPass->PrepareMesh(this);
  return 1;
}

UINT CMesh::LoadObjectFile(const char* path, UINT readerArgument) {
  if (path == nullptr) return 0;
  const char* separator = std::strrchr(path, '\\');
  if (const char* slash = std::strrchr(path, '/'); slash != nullptr && slash > separator)
    separator = slash;
  const char* baseName = separator != nullptr ? separator + 1 : path;
  SetName(baseName);
  if (!Ports().meshFiles->LoadObject(this, path, readerArgument)) return 0;
  // The name without its extension and point.
  const size_t length = std::strlen(m_szName);
  if (length >= 4) m_szName[length - 4] = '\0';
  return 1;
}

UINT CMesh::Clone(CMeshInterface** out) {
  auto* clone = new CMesh(m_pRendererContext, m_pLog, m_pScene, m_dwDynamicBuffers);
  if (out != nullptr) *out = clone;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Cloning Mesh: %s\n", m_szName);
  clone->m_pShader = m_pShader;
  if (m_pScene != nullptr) m_pScene->AppendWorldObject(clone);

  clone->m_Vertices = m_Vertices;
  clone->m_pVertexBuffer = m_pVertexBuffer;
  if (m_pVertexBuffer != nullptr) m_pVertexBuffer->AddReference();

  clone->m_pCurrentSurface = nullptr;
  clone->m_Surfaces.reserve(m_Surfaces.size());
  for (CMeshSurface* surface : m_Surfaces) {
    auto* engineSurface = dynamic_cast<CSurface*>(surface);
    CSurface* copy = engineSurface != nullptr ? engineSurface->Clone(clone) : nullptr;
    if (copy == nullptr)
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Clone A Surface Of %s\n",
            m_szName);
    else
      clone->m_Surfaces.push_back(copy);
  }

  clone->m_Faces = m_Faces;
  clone->m_Edges = m_Edges;
  // The copied owners still point into this mesh's faces.
  clone->RelinkEdgeOwners();
  if (m_dwUseBones == 1 && m_pBones != nullptr) {
    clone->CreateBones(m_dwNumberOfBones);
    for (UINT i = 0; i < m_dwNumberOfBones; ++i) {
      clone->m_pBones[i].CopyFrom(m_pBones[i]);
      const CBone* parent = m_pBones[i].GetParent();
      if (m_pBones[i].GetParentItemType() == BONE_PARENT_ITEM_BONE && parent != nullptr)
        clone->SetBoneParent(i, BONE_PARENT_ITEM_BONE,
                             static_cast<UINT>(parent - m_pBones.get()));
    }
  }

  if (GetParent() != nullptr) clone->CWorldObject::SetParent(GetParent()->GetInterface());
  ShareColliderWith(clone);
  clone->RebuildBoundVolume();

  clone->SetName(m_szName);
  std::memcpy(clone->m_szShaderFileName, m_szShaderFileName, sizeof m_szShaderFileName);
  m_pDissolve->CopyChannelTo(*clone->m_pDissolve);
  clone->m_pDissolve->SetIsEnvelope(m_pDissolve->GetIsEnvelope());
  clone->m_pDissolve->SetValue(m_pDissolve->GetValue());
  clone->m_mtxMatrix = m_mtxMatrix;
  clone->m_mtxRotationMatrix = m_mtxRotationMatrix;
  clone->m_mtxInverse = m_mtxInverse;
  clone->m_mtxInverseRotation = m_mtxInverseRotation;
  m_Motion.CopyTo(clone->m_Motion);
  if (m_dwIsMorph != 0) {
    clone->m_pMorphTarget = m_pMorphTarget;
    m_MorphMotion.CopyTo(clone->m_MorphMotion);
  }
  void* userData = nullptr;
  UINT userValue1 = 0, userValue2 = 0;
  CWorldObject::GetUserDefinedData(&userData, &userValue1, &userValue2);
  clone->CWorldObject::SetUserDefinedData(userData, userValue1, userValue2);
  if (HasExplicitPosition()) clone->SetExplicitPosition(GetExplicitPosition());
  if (HasExplicitQuaternion()) {
    const float* q = GetExplicitQuaternion();
    clone->SetExplicitQuaternion(q[0], q[1], q[2], q[3]);
  }
  if (HasExplicitRotation()) clone->SetExplicitRotation(GetExplicitRotation());
  if (HasExplicitScale()) clone->SetExplicitScale(GetExplicitScale());
  clone->m_vecPivot = m_vecPivot;
  clone->m_dwSurfaceState = m_dwSurfaceState;
  clone->m_dwParentNumber = m_dwParentNumber;
  clone->m_dwParentTypeLoaded = m_dwParentTypeLoaded;
  clone->m_dwNumberOfMorphTargets = m_dwNumberOfMorphTargets;
  clone->m_dwVertexDeclarationType = m_dwVertexDeclarationType;
  clone->m_wFlags = m_wFlags;
  clone->m_dwRotationOrder = m_dwRotationOrder;
  clone->m_dwCanCastShadowVolume = m_dwCanCastShadowVolume;
  clone->m_dwIsMorph = m_dwIsMorph;
  clone->m_dwUseBones = m_dwUseBones;
  clone->m_dwFollowsFrame = m_dwFollowsFrame;
  clone->m_dwVisibleByCameras = m_dwVisibleByCameras;
  clone->m_dwVisibleByRays = m_dwVisibleByRays;
  clone->m_dwVisibleByCollisions = m_dwVisibleByCollisions;
  clone->m_dwUseShader = m_dwUseShader;
  clone->m_dwManualShader = m_dwManualShader;
  clone->m_dwChanged = m_dwChanged;
  clone->m_dwHasShadowVolumeGeometry = m_dwHasShadowVolumeGeometry;
  clone->m_dwIsBlended = m_dwIsBlended;
  clone->m_ShaderParameters = m_ShaderParameters;  // the parameters of the shared shader
  clone->m_fCameraDistance = m_fCameraDistance;
  clone->m_fFrameSet = m_fFrameSet;
  clone->m_fFramePrepared = m_fFramePrepared;
  clone->m_fMatrixFrame = m_fMatrixFrame;
  clone->m_fHierarchyFrame = m_fHierarchyFrame;
  // The shadow volume is made anew from the copied geometry, so the clone owns its own.
  if (m_dwCanCastShadowVolume == 1 && m_dwHasShadowVolumeGeometry == 1 &&
      m_pShadowVolume != nullptr && Spatial()->HasShadowGeometry(m_pShadowVolume) != 0)
    clone->CreateShadowVolumeGeometry();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Done\n");
  return 1;
}

void CMesh::RelinkEdgeOwners() {
  const size_t faceCount = m_Faces.size();
  for (Edge& edge : m_Edges) {
    // An edge without a second face keeps none; every other owner follows its face number.
    edge.pOwner1 = edge.pOwner1 != nullptr && edge.wFace1 < faceCount ? &m_Faces[edge.wFace1]
                                                                      : nullptr;
    edge.pOwner2 = edge.pOwner2 != nullptr && edge.wFace2 < faceCount ? &m_Faces[edge.wFace2]
                                                                      : nullptr;
  }
}

UINT CMesh::Merge(CMeshInterface* otherInterface, UINT flags, const char* newName,
                  CMatrix* matrix) {
  auto* other = dynamic_cast<CMesh*>(otherInterface);
  if (other == nullptr || other == this) {
    // The other mesh is released at the end: merging a mesh into itself would free it.
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Merge %s With %s\n", m_szName,
          other == this ? "Itself" : "A Mesh That Is Not One");
    return 0;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Merging Meshes: %s And %s\n", m_szName,
        other->m_szName);
  const size_t vertexOffset = m_Vertices.size();
  const size_t edgeOffset = m_Edges.size();
  const size_t faceOffset = m_Faces.size();
  static const char* const kLimitMessages[3] = {
      "ERROR!!! - Can't Merge Meshes %s And %s Because The Number Of Vertices Is Too High "
      "(Exceeds 65536)\n",
      "ERROR!!! - Can't Merge Meshes %s And %s Because The Number Of Edges Is Too High (Exceeds "
      "65536)\n",
      "ERROR!!! - Can't Merge Meshes %s And %s Because The Number Of Faces Is Too High (Exceeds "
      "65536)\n"};
  const size_t sums[3] = {vertexOffset + other->m_Vertices.size(),
                          edgeOffset + other->m_Edges.size(), faceOffset + other->m_Faces.size()};
  for (UINT i = 0; i < 3; ++i)
    if (sums[i] > kMaxElements) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, kLimitMessages[i], m_szName, other->m_szName);
      return 0;
    }
  if (other->m_dwNumberOfBones > 0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Can't Merge %s And %s - Meshes With Bones Are Not Supported Yet\n",
          m_szName, other->m_szName);
    return 0;
  }
  if (m_Faces.empty() || other->m_Faces.empty()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Merge %s And %s - The Number Of Faces Is 0\n", m_szName,
          other->m_szName);
    return 0;
  }
  // Renamed only once the merge is sure to happen, so a refusal changes nothing.
  if (newName != nullptr) SetName(newName);

  const auto shift = [](WORD value, size_t offset) { return static_cast<WORD>(value + offset); };
  for (Face face : other->m_Faces) {
    face.wIndex1 = shift(face.wIndex1, vertexOffset);
    face.wIndex2 = shift(face.wIndex2, vertexOffset);
    face.wIndex3 = shift(face.wIndex3, vertexOffset);
    face.wEdge1 = shift(face.wEdge1, edgeOffset);
    face.wEdge2 = shift(face.wEdge2, edgeOffset);
    face.wEdge3 = shift(face.wEdge3, edgeOffset);
    // The shadow-volume geometry numbers its vertex copies by face number: keep them unique.
    face.wFaceIndex = static_cast<WORD>(m_Faces.size());
    m_Faces.push_back(face);
  }
  for (Edge edge : other->m_Edges) {
    edge.wIndex1 = shift(edge.wIndex1, vertexOffset);
    edge.wIndex2 = shift(edge.wIndex2, vertexOffset);
    edge.wFace1 = shift(edge.wFace1, faceOffset);
    // An edge of one face keeps its "no face" number.
    if (edge.pOwner2 != nullptr) edge.wFace2 = shift(edge.wFace2, faceOffset);
    m_Edges.push_back(edge);
  }
  // The face array moved: every owner, old or appended, is found again by its face number.
  RelinkEdgeOwners();

  const CMatrix rotation = matrix != nullptr ? WithoutTranslation(*matrix) : CMatrix::Identity();
  for (Vertex vertex : other->m_Vertices) {
    if (matrix != nullptr) {
      vertex.vecPosition = vertex.vecPosition * *matrix;
      for (CVector3* direction : {&vertex.vecNormal, &vertex.vecTangent, &vertex.vecBiNormal}) {
        *direction = *direction * rotation;
        direction->Normalize();
      }
    }
    m_Vertices.push_back(vertex);
  }

  const bool hadVertexBuffer = m_pVertexBuffer != nullptr;
  ReleaseVertexBuffers();
  RebuildBoundVolume();
  if (m_pShadowVolume != nullptr) Spatial()->ReleaseShadowVolume(m_pShadowVolume);
  m_pShadowVolume = Spatial()->CreateShadowVolume(m_pRendererContext, this);
  if (m_dwCanCastShadowVolume == 1 && m_dwHasShadowVolumeGeometry == 1)
    CreateShadowVolumeGeometry();
  CreateCollider();

  const UINT offset = static_cast<UINT>(vertexOffset);
  const size_t ownSurfaces = m_Surfaces.size();
  for (CMeshSurface* surface : other->m_Surfaces) {
    auto* source = dynamic_cast<CSurface*>(surface);
    if (source == nullptr) continue;
    CSurface* partner = nullptr;
    if ((flags & 1) != 0)
      for (size_t i = 0; i < ownSurfaces && partner == nullptr; ++i)
        if (auto* own = dynamic_cast<CSurface*>(m_Surfaces[i]); own != nullptr && own->IsSimilar(source))
          partner = own;
    if (partner != nullptr) {
      // Merge drops the reference it is given; the other mesh keeps its own until released.
      source->AddRef();
      CSurface* taken = source;
      if (partner->Merge(taken, offset) != 1) {
        LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Merge Surfaces\n");
        if (taken != nullptr) taken->Release();
      }
      continue;
    }
    CSurface* copy = source->Clone(this);
    if (copy == nullptr) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Merge Surfaces\n");
      continue;
    }
    // The copied indices number the other mesh's vertices, which now follow this mesh's.
    if (offset != 0) copy->Remap(offset);
    m_Surfaces.push_back(copy);
  }

  UpdateSurfaceState();
  PrepareBuffersAgain(hadVertexBuffer);
  other->Release();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Done\n");
  return 1;
}

void CMesh::PrepareBuffersAgain(bool hadVertexBuffer) {
  CEngineContext* context = GetEngineContext();
  if (context->pRenderingProfile != nullptr) {
    context->pRenderingProfile->PrepareMesh(this);
  } else if (m_pShader != nullptr) {
    // Also binds the shader's streams to the new buffers instead of the released ones.
    CreateVertexBuffers();
  } else if (hadVertexBuffer) {
    // Drawn without shaders: nothing else would give the coded path a buffer again.
    context->ports.genericPass->PrepareMesh(this);
  }
}

void CMesh::DrawBones() {
  for (UINT i = 0; i < m_dwNumberOfBones; ++i)
    Spatial()->DrawBone(&m_pBones[i], m_pRendererContext, m_fFrameSet, m_mtxMatrix);
}
