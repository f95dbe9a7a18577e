#include "cpelto/PeltoFurniture.h"

#include "ZKDXInterface.h"
#include "cpelto/PeltoWall.h"
#include "framework/Logger.h"

CPeltoFurniture::CPeltoFurniture(geCBaseNode* pParent) : geCRenderableObject(pParent) {}

size_t CPeltoFurniture::GetClassSize() const { return geCGameObject::GetClassSize(); }

const char* CPeltoFurniture::GetClassName() const { return "CPeltoFurniture"; }

bool CPeltoFurniture::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CPeltoFurniture") ||
         geCRenderableObject::IsKindOf(szClassName);
}

void CPeltoFurniture::RegisterProperties() {
  geCRenderableObject::RegisterProperties();
  CPeltoWall::RegisterPlacement(m_Properties);
}

void CPeltoFurniture::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  CMeshInterface* pMesh = GetMesh(0);
  if (!pMesh) {
    // Nothing to place: said once rather than dereferenced.
    g_GameLogger.Log("WARNING: furniture '%s' has no mesh\n", GetName() ? GetName() : "");
    return;
  }
  CPeltoWall::PlaceMesh(pMesh, CPeltoWall::ReadPlacement(m_Properties),
                        CPeltoWall::ReadOrientation(m_Properties));
}
