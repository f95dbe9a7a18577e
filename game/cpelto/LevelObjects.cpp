#include "cpelto/LevelObjects.h"

#include "ZKDXInterface.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "framework/Logger.h"
#include "framework/ScriptEvent.h"
#include "framework/StatisticsTable.h"

namespace {
constexpr UINT kCollisionBounds = 1;
constexpr UINT kCollisionFaces = 3;
}  // namespace

geCBaseNode* TreeRoot(geCBaseNode* pNode) {
  while (pNode && pNode->GetParent()) pNode = pNode->GetParent();
  return pNode;
}

geCBaseNode* FindInTree(geCBaseNode* pNode, const char* szName) {
  geCBaseNode* pRoot = TreeRoot(pNode);
  return pRoot ? pRoot->GetNodeByName(szName, 0) : nullptr;
}

CPeltoLevel* FindPeltoLevel(geCBaseNode* pNode) {
  return dynamic_cast<CPeltoLevel*>(FindInTree(pNode, "CPeltoLevel"));
}

bool PlayerTouchesMeshes(CPeltoPlayer* pPlayer, const std::vector<CMeshInterface*>& vMeshes) {
  bool bTouching = false;
  for (DWORD i = 0; i < pPlayer->GetNumberOfMeshes(); ++i)
    for (CMeshInterface* pOwn : vMeshes) {
      CMeshInterface* pTheirs = pPlayer->GetMesh(i);
      if (pTheirs && pOwn &&
          pTheirs->CheckCollisionWith(pOwn, kCollisionBounds, nullptr, nullptr) &&
          pTheirs->CheckCollisionWith(pOwn, kCollisionFaces, nullptr, nullptr))
        bTouching = true;
    }
  return bTouching;
}

void RaiseNodeEvent(geCBaseNode* pNode, const char* szFunction, geCBaseNode* pArgument) {
  if (!pNode->GetScriptContext()) return;
  AngelScript::asIScriptFunction* pFunction =
      geFindScriptFunction(pNode->GetScriptModuleName().c_str(), szFunction);
  if (!pFunction) return;
  const float fStart = geStatisticsTime();
  if (geRunScriptEvent(pNode->GetScriptContext(), pFunction, {"geCBaseNode", true, pArgument},
                       nullptr) < 0)
    g_ScriptLogger.Log("Unexpected error during script execution (calling %s() function\n",
                       szFunction);
  geAddStatisticsTime(STAT_ROW_SCRIPT, fStart);
}

void RaiseFoundCollision(geCBaseNode* pNode, CPeltoPlayer* pPlayer) {
  RaiseNodeEvent(pNode, "FoundCollision", static_cast<geCBaseNode*>(pPlayer));
}
