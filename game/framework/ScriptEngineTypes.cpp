#include "framework/ScriptEngineTypes.h"

#include <cstdint>
#include <string>

#include "ZKDXInterface.h"
#include "ZKDXMath.h"
#include "framework/ScriptIndex.h"
#include "framework/ScriptRegistration.h"

using namespace AngelScript;

namespace {

constexpr const char* kVector = "CVector3";
constexpr const char* kRay = "CRay";
constexpr const char* kLight = "CLightInterface";
constexpr const char* kMesh = "CMeshInterface";
constexpr const char* kScene = "CSceneInterface";
constexpr const char* kCamera = "CCameraInterface";

// Script constants are global properties: the engine needs addresses it may read.
struct SConstant {
  const char* szDeclaration;
  asDWORD dwValue;
};
SConstant g_EngineConstants[] = {
    {"const uint CRay_intersection_double_sided", 16},
    {"const uint CRay_intersection_ray_in_local_space", 32},
    {"const uint CRay_intersection_returns_face_normal", 64},
    {"const uint CRay_intersection_with_aabb", 2},
    {"const uint CRay_intersection_with_geometry", 1},
    {"const uint CRay_intersection_with_oobb", 4},
    {"const uint CWorldObjectInterface_world_space", 0},
    {"const uint CWorldObjectInterface_parent_space", 1},
};

CVector3& AssignVector(const CVector3& source, CVector3* pTarget) { return *pTarget = source; }
CRay& AssignRay(const CRay& source, CRay* pTarget) { return *pTarget = source; }

std::string MeshName(CMeshInterface* pMesh) {
  const char* szName = pMesh->GetName();
  return szName ? szName : "";
}
void SetMeshPosition(CVector3 position, CMeshInterface* pMesh) { pMesh->SetPosition(position); }
CVector3 MeshPosition(asUINT dwSpace, CMeshInterface* pMesh) {
  CVector3 position(0.0f, 0.0f, 0.0f);
  pMesh->GetPosition(&position, dwSpace);
  return position;
}
bool CheckCollisionWith(CMeshInterface* pOther, CMeshInterface* pMesh) {
  return pMesh->CheckCollisionWith(pOther, 2, nullptr, nullptr) != 0;
}
// A game object keeps its object id in the first word of its meshes' user data.
int UserDataAsInt(CMeshInterface* pMesh) {
  void* pData = nullptr;
  UINT dwFirst = 0, dwSecond = 0;
  pMesh->GetUserDefinedData(&pData, &dwFirst, &dwSecond);
  return static_cast<int>(reinterpret_cast<uintptr_t>(pData));
}
void SetParentObject(CMeshInterface* pParent, CMeshInterface* pMesh) {
  pMesh->SetParentObject(pParent);
}

std::string SceneName(CSceneInterface* pScene) {
  const char* szName = pScene->GetName();
  return szName ? szName : "";
}
// The engine may move the ray it is given; the script's ray stays as it was.
CMeshInterface* FindNearestIntersection(const CRay& ray, float& fDistance, asUINT dwFlags,
                                        CSceneInterface* pScene) {
  CRay copy = ray;
  return pScene->FindNearestIntersection(copy, &fDistance, dwFlags);
}

CVector3 CameraPosition(asUINT dwFlag, CCameraInterface* pCamera) {
  CVector3 position(0.0f, 0.0f, 0.0f);
  pCamera->GetPosition(&position, dwFlag);
  return position;
}
CVector3 CameraRotation(asUINT dwFlag, CCameraInterface* pCamera) {
  CVector3 rotation(0.0f, 0.0f, 0.0f);
  pCamera->GetRotation(&rotation, dwFlag);
  return rotation;
}
void SetCameraPosition(float x, float y, float z, CCameraInterface* pCamera) {
  pCamera->SetPosition(CVector3(x, y, z));
}
void SetCameraRotation(float x, float y, float z, CCameraInterface* pCamera) {
  pCamera->SetRotation(CVector3(x, y, z));
}

void SetOrigin(const CVector3& origin, CRay* pRay) { pRay->vecOrigin = origin; }
void SetDirection(const CVector3& direction, CRay* pRay) { pRay->vecDirection = direction; }
CVector3& Origin(CRay* pRay) { return pRay->vecOrigin; }
CVector3& Direction(CRay* pRay) { return pRay->vecDirection; }

}  // namespace

void geRegisterScriptEngineTypes() {
  geCheckedType(kVector, sizeof(CVector3), geScriptValueFlags<CVector3>(asOBJ_APP_CLASS_ALLFLOATS));
  geCheckedType(kRay, sizeof(CRay), geScriptValueFlags<CRay>(asOBJ_APP_CLASS_ALLFLOATS));
  for (const char* szInterface : {kLight, kMesh, kScene, kCamera})
    geCheckedType(szInterface, 0, kScriptObjectFlags);

  geCheckedOperator(kVector, "CVector3 &opAssign(const CVector3 &in)", asFUNCTION(AssignVector));
  geCheckedOperator(kRay, "CRay &opAssign(const CRay &in)", asFUNCTION(AssignRay));
  geCheckedProperty(kVector, "float m_fX", asOFFSET(CVector3, x));
  geCheckedProperty(kVector, "float m_fY", asOFFSET(CVector3, y));
  geCheckedProperty(kVector, "float m_fZ", asOFFSET(CVector3, z));
  for (SConstant& constant : g_EngineConstants)
    geRegisterGlobalProperty(constant.szDeclaration, &constant.dwValue, "");

  geCheckedMethod(kLight, "uint GetIsActive()", asMETHOD(CLightInterface, GetIsActive));
  geCheckedMethod(kLight, "void SetIsActive( uint a_bActive )",
                  asMETHOD(CLightInterface, SetIsActive));

  geCheckedGlue(kMesh, "string GetName()", asFUNCTION(MeshName));
  geCheckedMethod(kMesh, "void SetVisibility( uint a_bCamera, uint a_bRays, uint a_bCollisions )",
                  asMETHOD(CMeshInterface, SetVisibility));
  geCheckedGlue(kMesh, "void SetPosition( CVector3 a_vecWorldPos )", asFUNCTION(SetMeshPosition));
  geCheckedGlue(kMesh, "CVector3 GetPosition( uint a_uiSpace )", asFUNCTION(MeshPosition));
  geCheckedGlue(kMesh, "bool CheckCollisionWith( CMeshInterface@ )",
                asFUNCTION(CheckCollisionWith));
  geCheckedGlue(kMesh, "int GetUserDataAsINT()", asFUNCTION(UserDataAsInt));
  // The parent passes as a handle: a handle type has no copies to pass by value.
  geCheckedGlue(kMesh, "void SetParentObject( CMeshInterface@ )", asFUNCTION(SetParentObject));

  geCheckedGlue(kScene, "string GetName()", asFUNCTION(SceneName));
  geCheckedGlue(kScene,
                "CMeshInterface@\tFindNearestIntersection( const CRay &in, float &out pT, "
                "uint a_dwFlags )",
                asFUNCTION(FindNearestIntersection));
  geCheckedMethod(kScene, "CCameraInterface@ GetCamera( uint a_dwIndex )",
                  asMETHOD(CSceneInterface, GetCamera));
  geCheckedMethod(kScene, "float GetFrame()", asMETHOD(CSceneInterface, GetFrame));
  geCheckedMethod(kScene, "CLightInterface@ GetLight( uint a_iNumber)",
                  asMETHOD(CSceneInterface, GetLight));

  geCheckedGlue(kCamera, "CVector3 GetPosition( uint dwFlag )", asFUNCTION(CameraPosition));
  geCheckedGlue(kCamera, "CVector3 GetRotation( uint dwFlag )", asFUNCTION(CameraRotation));
  geCheckedGlue(kCamera, "void SetPosition( float x, float y, float x )",
                asFUNCTION(SetCameraPosition));
  geCheckedGlue(kCamera, "void SetRotation( float x, float y, float x )",
                asFUNCTION(SetCameraRotation));
  geCheckedMethod(kCamera, "void Set()", asMETHOD(CCameraInterface, Set));

  geCheckedGlue(kRay, "void SetOrigin( const CVector3 &in a_vecOrigin )", asFUNCTION(SetOrigin));
  geCheckedGlue(kRay, "void SetDirection( const CVector3 &in a_vecOrigin )",
                asFUNCTION(SetDirection));
  geCheckedGlue(kRay, "CVector3& GetOrigin()", asFUNCTION(Origin));
  geRegisterObjectMethod(kRay, "CVector3& GetDirection()", asCALL_CDECL_OBJLAST, "",
                         asFUNCTION(Direction));
}
