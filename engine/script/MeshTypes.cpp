#include "script/MeshTypes.h"

#include <cstddef>

#include "ZKDXInterface.h"
#include "script/ScriptArrays.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptGlue::Function;
using ScriptGlue::kRejectNull;
using ScriptGlue::Method;
using ScriptGlue::MethodWith;
using ScriptGlue::Overload;
using ScriptGlue::Procedure;

namespace {

constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;
constexpr auto kInterface = CScriptTypeRows::kInterface;

// The box's corners belong to the box and change with its next transform: scripts get a copy.
CScriptArray* GetTransformedPoints(CMeshBoundVolumeInterface* volume) {
  return ScriptArrays::Copy("array<CVector4>", volume->GetTransformedPoints(), 8);
}

// No chooser: the engine's shader library picks for the mesh and each surface.
UINT ApplyDefaultShader(CMeshInterface* mesh) { return mesh->ApplyDefaultShader(nullptr, nullptr); }

// The pairs come from the collision manager's one pair list, which the next query overwrites:
// the script's array gets its own copy, as long as the count.
UINT CheckCollisionWith(CMeshInterface* mesh, CMeshInterface* other, UINT kind, UINT& count,
                        CScriptArray* pairs) {
  TrianglePair* found = nullptr;
  count = 0;
  const UINT result = mesh->CheckCollisionWith(other, kind, &count, &found);
  if (found == nullptr) count = 0;
  ScriptArrays::Assign(pairs, found, count);
  return result;
}

void RegisterBoundVolume(CScriptRegistrar& registrar) {
  using Volume = CMeshBoundVolumeInterface;
  CScriptTypeRows v(registrar, "CMeshBoundVolumeInterface", kInterface);
  v.Type(0, ScriptGlue::kEngineObjectFlags);
  v.Method("uint8 CheckVisibility(const CMatrix &in)", Method<&Volume::CheckVisibility>(), 3);
  v.Method("void GetMinTransformed(CVector3 &out)", Method<&Volume::GetMinTransformed>());
  v.Method("void GetMaxTransformed(CVector3 &out)", Method<&Volume::GetMaxTransformed>());
  v.Method("void GetMin(CVector3 &out)", Method<&Volume::GetMin>());
  v.Method("void GetMax(CVector3 &out)", Method<&Volume::GetMax>());
  v.Method("uint CheckAAIntersection(const CRay &in, float &out)",
           MethodWith<&Volume::CheckAAIntersection, 0u>());
  v.Method("uint CheckOOIntersection(const CRay &in, float &out, uint)",
           MethodWith<&Volume::CheckOOIntersection, 0u>());
  v.Method("array<CVector4>@ GetTransformedPoints()", Function<&GetTransformedPoints>(kObjFirst));
  v.Method("void GetPosition(CVector3 &out)", Method<&Volume::GetPosition>());
  v.Method("void GetTransformedPosition(CVector3 &out)",
           Procedure<&Volume::GetTransformedPosition>());
  v.Method("void GetExtents(CVector3 &out)", Method<&Volume::GetExtents>());
  v.Method("void GetTransformedExtents(CVector3 &out)",
           Procedure<&Volume::GetTransformedExtents>());
  v.Method("uint CheckAACollision(CMeshBoundVolumeInterface@, const CMatrix &in)",
           Method<&Volume::CheckAACollision, kRejectNull>());
}

void RegisterWorldObject(CScriptRegistrar& registrar) {
  using Object = CWorldObjectInterface;
  CScriptTypeRows w(registrar, "CWorldObjectInterface", kInterface);
  w.Type(0, ScriptGlue::kEngineObjectFlags);
  w.Method("uint GetWorldObjectType()", Method<&Object::GetWorldObjectType>());
  w.Method("CWorldObjectInterface@ GetNextWorldObject()", Method<&Object::GetNextWorldObject>());
  w.Method("CMatrix &GetMatrix(float)", Method<&Object::GetMatrix>());
  w.Method("CMatrix &GetRotationMatrix(float)", Method<&Object::GetRotationMatrix>());
  w.Method("void RemoveAdditionalTransformation()",
           Method<&Object::RemoveAdditionalTransformation>());
}

void RegisterTrianglePair(CScriptRegistrar& registrar) {
  CScriptTypeRows t(registrar, "TrianglePair", CScriptTypeRows::kRecord);
  t.Type(sizeof(TrianglePair), ScriptGlue::PlainValueFlags<TrianglePair>(asOBJ_APP_CLASS_ALLINTS));
  t.Property("uint dwIdOne", offsetof(TrianglePair, dwIdOne));
  t.Property("uint dwIdTwo", offsetof(TrianglePair, dwIdTwo));
}

void RegisterMesh(CScriptRegistrar& registrar) {
  using Mesh = CMeshInterface;
  CScriptTypeRows m(registrar, "CMeshInterface", kInterface);
  m.Known();
  m.Method("CSurfaceInterface@ GetSurface(uint)", Method<&Mesh::GetSurface>());
  m.Method("Vertex &GetVertex(uint)", Method<&Mesh::GetVertex>());
  m.Method("CWorldObjectInterface@ GetParentObject()", MethodWith<&Mesh::GetParentObject, 1u>());
  m.Method("CMeshInterface@ GetMorphedTo()", MethodWith<&Mesh::GetMorphedTo, 1u>());
  m.Method("CSceneInterface@ GetScene()", MethodWith<&Mesh::GetScene, 1u>());
  m.Method("Face &GetFace(uint)", Method<&Mesh::GetFace>());
  m.Method("Edge &GetEdge(uint)", Method<&Mesh::GetEdge>());
  m.Method("CMeshBoundVolumeInterface@ GetBoundingBox()",
           MethodWith<&Mesh::GetBoundingBox, 1u>());
  m.Method("bstr GetName()", Method<&Mesh::GetName>());
  m.Method("CVector3 &GetPivot()", Method<&Mesh::GetPivot>());
  m.Method("uint GetNumberOfVertices()", Method<&Mesh::GetNumberOfVertices>());
  m.Method("uint GetNumberOfSurfaces()", Method<&Mesh::GetNumberOfSurfaces>());
  m.Method("uint GetNumberOfParentObject()", Method<&Mesh::GetNumberOfParentObject>());
  m.Method("uint GetNumberOfFaces()", Method<&Mesh::GetNumberOfFaces>());
  m.Method("uint GetNumberOfEdges()", Method<&Mesh::GetNumberOfEdges>());
  m.Method("uint GetNumberOfMorphTarget()", Method<&Mesh::GetNumberOfMorphTarget>());
  m.Method("uint GetIsMorph()", Method<&Mesh::GetIsMorph>());
  m.Method("uint SetIsMorph(uint)", Method<&Mesh::SetIsMorph>(), 20);
  m.Method("uint GetCanCastShadowVolume()", Method<&Mesh::GetCanCastShadowVolume>());
  m.Method("float GetFrame()", Method<&Mesh::GetFrame>());
  m.Method("uint GetIsDynamic()", Method<&Mesh::GetIsDynamic>());
  m.Method("uint CheckIntersectionWith(const CRay &in, float &out, uint)",
           Method<Overload<UINT(CRay&, float*, UINT)>(&Mesh::CheckIntersectionWith)>(), 25);
  m.Method("uint CheckIntersectionWith(const CRay &in, float &out, uint, CVector3 &out)",
           Method<Overload<UINT(CRay&, float*, UINT, CVector3*)>(&Mesh::CheckIntersectionWith)>());
  m.Method("uint CheckIntersectionWithFace(const CRay &in, float &out, uint, uint)",
           Method<&Mesh::CheckIntersectionWithFace>());
  m.Method("void GetPosition(CVector3 &out, uint)", Method<&Mesh::GetPosition>());
  m.Method("void GetRotation(CVector3 &out, uint)", Method<&Mesh::GetRotation>());
  m.Method("void GetScale(CVector3 &out)", Method<&Mesh::GetScale>());
  m.Method("void SetPosition(const CVector3 &in)", Method<&Mesh::SetPosition>());
  m.Method("void SetRotation(const CVector3 &in)", Method<&Mesh::SetRotation>());
  m.Method("void SetScale(const CVector3 &in)", Method<&Mesh::SetScale>());
  m.Method("void SetFrame(float)", MethodWith<&Mesh::SetFrame, 0u>());
  // Null is meaningful: the mesh has no parent afterwards.
  m.Method("void SetParentObject(CWorldObjectInterface@)", Method<&Mesh::SetParentObject>());
  m.Method("uint GetVisibleByCameras()", Method<&Mesh::GetVisibleByCameras>());
  m.Method("uint GetVisibleByRays()", Method<&Mesh::GetVisibleByRays>());
  m.Method("uint GetVisibleByCollisions()", Method<&Mesh::GetVisibleByCollisions>());
  m.Method("uint LoadMesh(const bstr &in, uint)", MethodWith<&Mesh::LoadMesh, 0u>());
  m.Method("bstr GetShaderFileName()", Method<&Mesh::GetShaderFileName>());
  m.Method("uint GetUseShader()", Method<&Mesh::GetUseShader>());
  m.Method("uint ApplyDefaultShader()", Function<&ApplyDefaultShader>(kObjFirst));
  m.Method("void SetName(const bstr &in)", Procedure<&Mesh::SetName>());
  m.Method("void SetCanCastShadowVolume(uint)", Method<&Mesh::SetCanCastShadowVolume>());
  m.Method("void SetVisibility(uint, uint, uint)", Method<&Mesh::SetVisibility>());
  m.Method("void SetPivot(const CVector3 &in)", Method<&Mesh::SetPivot>());
  m.Method("void PrepareMatrices(float)", Method<&Mesh::PrepareMatrices>());
  m.Method("void UpdateHierarchy(float)", Method<&Mesh::UpdateHierarchy>());
  m.Method("CMatrix &GetMatrix(float)", Method<&Mesh::GetMatrix>(), 50);
  m.Method("CMatrix &GetRotationMatrix(float)", Method<&Mesh::GetRotationMatrix>());
  m.Method("void GetUserDefinedData(VoidPtr &out, uint &out, uint &out)",
           Method<&Mesh::GetUserDefinedData>());
  m.Method("void SetUserDefinedData(const VoidPtr &in, uint, uint)",
           Method<&Mesh::SetUserDefinedData>());
  m.Method("uint CheckCollisionWith(CMeshInterface@, uint, uint &out, array<TrianglePair>@)",
           Function<&CheckCollisionWith, kRejectNull>(kObjFirst));
  m.Method("uint GetIsVisibleByRays()", Method<&Mesh::GetIsVisibleByRays>());
  m.Method("CEnvelopeInterface@ GetEnvDissolve()", Method<&Mesh::GetEnvDissolve>());
}

}  // namespace

bool RegisterMeshTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "MeshType");
  RegisterBoundVolume(registrar);
  RegisterWorldObject(registrar);
  RegisterTrianglePair(registrar);
  RegisterMesh(registrar);
  return registrar.Succeeded();
}
