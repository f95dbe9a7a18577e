#include "framework/LogNodes.h"

#include "framework/BaseNode.h"
#include "framework/Logger.h"

DWORD g_dwLogNodesDepth = 0;

void LogNodes(geCBaseNode* pNode) {
  if (!pNode) return;
  if (g_dwLogNodesDepth == 0) g_GameLogger.Log("G A M E   T R E E:\n");
  for (DWORD i = 0; i < g_dwLogNodesDepth; ++i) g_GameLogger.Log("  ");
  g_GameLogger.Log("-%s (id=%d)(Enabled=%d)\n", pNode->GetName(), pNode->GetID(),
                   pNode->IsEnabled() ? 1 : 0);
  ++g_dwLogNodesDepth;
  for (DWORD i = 0; i < pNode->GetNodesCount(); ++i) LogNodes(pNode->GetNode(i));
  --g_dwLogNodesDepth;
  if (g_dwLogNodesDepth == 0) g_GameLogger.Log("\n");
}
