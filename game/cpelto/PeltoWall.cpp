#include "cpelto/PeltoWall.h"

#include "ZKDXInterface.h"
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

void CPeltoWall::RegisterProperties() {
  geCRenderableObject::RegisterProperties();
  RegisterPlacement(m_Properties);
}

void CPeltoWall::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  const CVector3 position = ReadPlacement(m_Properties);
  for (CMeshInterface* pMesh : m_vMeshes) pMesh->SetPosition(position);
}
