#include "cpelto/PeltoWall.h"

#include "ZKDXInterface.h"
#include "cpelto/GameMaths.h"
#include "framework/CorePort.h"
#include "framework/Properties.h"

CPeltoWall::CPeltoWall(geCBaseNode* pParent) : geCRenderableObject(pParent) {}

size_t CPeltoWall::GetClassSize() const { return geCGameObject::GetClassSize(); }

const char* CPeltoWall::GetClassName() const { return "CPeltoWall"; }

bool CPeltoWall::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CPeltoWall") || geCRenderableObject::IsKindOf(szClassName);
}

void CPeltoWall::RegisterPlacement(geCProperties& properties) {
  for (const char* szName : {"InitX", "InitY", "InitZ"}) properties.Register(szName);
}

CVector3 CPeltoWall::ReadPlacement(const geCProperties& properties) {
  return CVector3(properties.GetFloat("InitX"), properties.GetFloat("InitY"),
                  properties.GetFloat("InitZ"));
}

D3DXQUATERNION CPeltoWall::ReadOrientation(const geCProperties& properties) {
  return QuaternionFromDegrees(properties.GetFloat("InitRotH"), properties.GetFloat("InitRotP"),
                               properties.GetFloat("InitRotB"));
}

void CPeltoWall::PlaceMesh(CMeshInterface* pMesh, const CVector3& position,
                           const D3DXQUATERNION& rotation) {
  pMesh->SetPosition(position);
  pMesh->SetAdditionalTransformation(rotation.x, rotation.y, rotation.z, rotation.w);
}

void CPeltoWall::RegisterProperties() {
  geCRenderableObject::RegisterProperties();
  RegisterPlacement(m_Properties);
}

void CPeltoWall::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  const CVector3 position = ReadPlacement(m_Properties);
  for (CMeshInterface* pMesh : m_vMeshes) pMesh->SetPosition(position);
}

void CPeltoWall::ForgetMesh(CMeshInterface* pMesh) {
  for (size_t i = 0; i < m_vMeshes.size(); ++i) {
    if (m_vMeshes[i] != pMesh) continue;
    geGetCorePort().UnregisterGameMesh(pMesh, GetID());
    m_vMeshes.erase(m_vMeshes.begin() + static_cast<std::ptrdiff_t>(i));
    if (i < m_vMeshParents.size())
      m_vMeshParents.erase(m_vMeshParents.begin() + static_cast<std::ptrdiff_t>(i));
    m_dwNumberOfMeshes = static_cast<DWORD>(m_vMeshes.size());
    return;
  }
}
