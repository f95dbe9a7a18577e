#include "spatial/Collider.h"

#include "core/FatalError.h"
#include "core/EngineLog.h"
#include "spatial/BoxTreeBuilder.h"
#include "spatial/CollisionManager.h"

namespace {
const char kNoCollider[] = "Can't Allocate Memory For Collider";
const char kSource[] = "ZK3DCollisions";
// Where a broken face's corners point instead of memory the mesh does not have.
const float kNowhere[3] = {0.0f, 0.0f, 0.0f};
}  // namespace

CCollider* CCollider::Create(CCollisionManager* manager, CD3D9RendererInterface* rendererContext,
                             CEngineLog* log, CMeshInterface* mesh) {
  if (mesh == nullptr) return nullptr;
  UINT built = 0;
  CCollider* collider = NewOrFatal<CCollider>(kNoMemoryTitle, kNoCollider, manager,
                                              rendererContext, log, mesh, &built);
  if (!built) {
    collider->Release();
    return nullptr;
  }
  return collider;
}

CCollider::CCollider(CCollisionManager* manager, CD3D9RendererInterface* rendererContext,
                     CEngineLog* log, CMeshInterface* mesh, UINT* built)
    : m_pRendererContext(rendererContext), m_pLog(log), m_pManager(manager), m_pMesh(mesh) {
  *built = 0;
  m_params.pMeshInterface = NewOrFatal<CCollisionMeshInterface>(kNoMemoryTitle, kNoCollider);
  CCollisionMeshInterface& source = *m_params.pMeshInterface;
  source.SetCallback(&CCollider::GetTriangleVertices, this);
  source.dwNumberOfTriangles = mesh->GetNumberOfFaces();
  source.dwNumberOfVertices = mesh->GetNumberOfVertices();
  // One leaf per triangle, split where the centroids spread most, at their mean.
  m_params.dwLeafLimit = 1;
  m_params.dwSplitRules = RULE_CENTROID_SPREAD | RULE_CENTROID_MEAN;
  m_params.bNoLeaf = false;
  m_params.bQuantized = false;
  m_params.bKeepSourceTree = false;
  if (source.IsValid() && FacesUseExistingVertices()) *built = m_model.Build(m_params) ? 1 : 0;
  m_dwReferenceCount = 0;
  if (m_pLog) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "  - BV-Tree For %s Built\n",
                          mesh->GetName());
  m_dwReferenceCount = 1;
}

CCollider::~CCollider() {
  m_model.ReleaseTrees();
  delete m_params.pMeshInterface;
}

bool CCollider::FacesUseExistingVertices() const {
  const UINT faces = m_pMesh->GetNumberOfFaces();
  const UINT vertices = m_pMesh->GetNumberOfVertices();
  for (UINT i = 0; i < faces; ++i) {
    const Face* face = m_pMesh->GetFace(i);
    if (face == nullptr || face->wIndex1 >= vertices || face->wIndex2 >= vertices ||
        face->wIndex3 >= vertices) {
      if (m_pLog)
        m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                    "ERROR!!! - Face %u Of %s Uses A Vertex The Mesh Does Not Have\n", i,
                    m_pMesh->GetName());
      return false;
    }
  }
  return true;
}

void CCollider::Release() {
  if (m_dwReferenceCount != 0) --m_dwReferenceCount;
  if (m_dwReferenceCount != 0) return;
  if (m_pLog) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo,
                          "- (CCollider) Releasing Of %s\n", m_pMesh->GetName());
  delete this;
}

UINT CCollider::CheckCollisionWith(CMeshInterface* other, CCollider* otherCollider, UINT flags,
                                   UINT* numberOfPairs, TrianglePair** pairs) {
  if (m_pManager == nullptr) return 0;
  return m_pManager->CheckCollision(m_pMesh, this, other, otherCollider, flags, numberOfPairs,
                                    pairs);
}

void CCollider::GetTriangleVertices(UINT triangle, TriangleVertices& out, void* userData) {
  CMeshInterface* mesh = static_cast<CCollider*>(userData)->m_pMesh;
  const Face* face = mesh->GetFace(triangle);
  const WORD indices[3] = {face ? face->wIndex1 : WORD(0), face ? face->wIndex2 : WORD(0),
                           face ? face->wIndex3 : WORD(0)};
  for (int corner = 0; corner < 3; ++corner) {
    const Vertex* vertex = face ? mesh->GetVertex(indices[corner]) : nullptr;
    out.pVertex[corner] = vertex ? &vertex->vecPosition.x : kNowhere;
  }
}
