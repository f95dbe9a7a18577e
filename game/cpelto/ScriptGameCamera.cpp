#include "cpelto/ScriptGameCamera.h"

#include "ZKDXInterface.h"
#include "cpelto/GameCamera.h"
#include "framework/BaseNode.h"
#include "framework/GameCore.h"
#include "framework/GameObject.h"
#include "framework/ScriptRegistration.h"

using namespace AngelScript;

namespace {

constexpr const char* kLevelNode = "CPeltoLevel";
constexpr const char* kCameraNode = "GameCamera";

geCBaseNode* NodeByHashedName(const char* szName) {
  geCBaseNode* pRoot = g_pGameCore ? g_pGameCore->GetRootNode() : nullptr;
  return pRoot ? pRoot->GetNodeByName(szName, 0) : nullptr;
}

cpelto::CCamera* GameCamera() {
  return dynamic_cast<cpelto::CCamera*>(NodeByHashedName(kCameraNode));
}

void DisableCameraMap(bool bDisable) {
  if (cpelto::CCamera* pCamera = GameCamera()) pCamera->DisableCameraMap(bDisable);
}

bool IsDisabledCameraMap() {
  const cpelto::CCamera* pCamera = GameCamera();
  return pCamera && pCamera->IsDisabledCameraMap();
}

void SetCameraPosition(CVector3 position) {
  if (cpelto::CCamera* pCamera = GameCamera())
    pCamera->SetCameraPosition(position);
  else
    SetLevelCameraPosition(position);
}

}  // namespace

CSceneInterface* GetLevelScene() {
  auto* pLevel = dynamic_cast<geCGameObject*>(NodeByHashedName(kLevelNode));
  return pLevel ? pLevel->GetOwnerScene() : nullptr;
}

void SetLevelCameraPosition(const CVector3& position) {
  CSceneInterface* pScene = GetLevelScene();
  if (CCameraInterface* pCamera = pScene ? pScene->GetCamera(0) : nullptr)
    pCamera->SetPosition(position);
}

void RegisterCameraMapFunctions() {
  geCheckedFunction("void DisableCameraMap( bool a_bVal )", asFUNCTION(DisableCameraMap));
  geCheckedFunction("bool IsDisabledCameraMap()", asFUNCTION(IsDisabledCameraMap));
}

void RegisterLevelSceneFunctions() {
  geCheckedFunction("CSceneInterface@ GetLevelScene()", asFUNCTION(GetLevelScene));
  RegisterCameraPositionFunction();
}

void RegisterCameraPositionFunction() {
  geCheckedFunction("void SetCameraPosition( CVector3 )", asFUNCTION(SetCameraPosition));
}
