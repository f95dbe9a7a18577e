#pragma once
// A wall or floor piece of a level's grid: every mesh of its object file is placed at the
// configured position, the lower corner of its cell.
#include <d3dx9math.h>

#include "ZKDXMath.h"
#include "framework/RenderableObject.h"

class geCProperties;

class CPeltoWall : public geCRenderableObject {
 public:
  explicit CPeltoWall(geCBaseNode* pParent);

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;

  // Drops a mesh that was merged into another and freed by the engine.
  void ForgetMesh(CMeshInterface* pMesh);

  // The placement names walls and furniture add to a renderable object's.
  static void RegisterPlacement(geCProperties& properties);
  // ("InitX", "InitY", "InitZ") as floats.
  static CVector3 ReadPlacement(const geCProperties& properties);
  // The rotation of ("InitRotH", "InitRotP", "InitRotB"), degrees of yaw, pitch and roll.
  static D3DXQUATERNION ReadOrientation(const geCProperties& properties);
  // Moves the mesh to the position and turns it by the rotation.
  static void PlaceMesh(CMeshInterface* pMesh, const CVector3& position,
                        const D3DXQUATERNION& rotation);
};
