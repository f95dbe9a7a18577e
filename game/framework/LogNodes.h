#pragma once
// The dump of a node tree to the game log, one line a node, indented by depth.
#include <windef.h>

class geCBaseNode;

// The current indentation of the dump; 0 between dumps.
extern DWORD g_dwLogNodesDepth;

void LogNodes(geCBaseNode* pNode);
