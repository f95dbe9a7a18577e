#include "cpelto/ScriptGameCamera.h"

#include "ZKDXInterface.h"
#include "framework/BaseNode.h"
#include "framework/GameCore.h"
#include "framework/GameObject.h"
#include "framework/ScriptRegistration.h"

using namespace AngelScript;

namespace {

constexpr const char* kLevelNode = "CPeltoLevel";

geCBaseNode* NodeByHashedName(const char* szName) {
  geCBaseNode* pRoot = g_pGameCore ? g_pGameCore->GetRootNode() : nullptr;
  return pRoot ? pRoot->GetNodeByName(szName, 0) : nullptr;
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
  // Binds once CCamera lands; see the header.
}

void RegisterLevelSceneFunctions() {
  geCheckedFunction("CSceneInterface@ GetLevelScene()", asFUNCTION(GetLevelScene));
  RegisterCameraPositionFunction();
}

void RegisterCameraPositionFunction() {
  // Binds once CCamera lands; see the header.
}
