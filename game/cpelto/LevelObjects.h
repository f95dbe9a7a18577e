#pragma once
// What the objects that live in a level (movable objects, walking entities) share: finding the
// level node of their tree, testing their meshes against the player's, and telling their script
// about a contact.
#include <vector>

class CMeshInterface;
class CPeltoLevel;
class CPeltoPlayer;
class geCBaseNode;

// The topmost ancestor of `pNode` (the node itself when it has no parent); null for null.
geCBaseNode* TreeRoot(geCBaseNode* pNode);
// The node of that name anywhere in the tree that holds `pNode`; null when there is none.
geCBaseNode* FindInTree(geCBaseNode* pNode, const char* szName);
// The node "CPeltoLevel" of the tree that holds `pNode`; null when there is none.
CPeltoLevel* FindPeltoLevel(geCBaseNode* pNode);
// True when any mesh of the player touches any of the meshes: a hit both of the collision
// trees' bounds (mode 1) and of their faces (mode 3).
bool PlayerTouchesMeshes(CPeltoPlayer* pPlayer, const std::vector<CMeshInterface*>& vMeshes);
// Runs the script function of the node's module with `pArgument` as its one node argument; a
// missing function is skipped, a failed run logged, and the time counts toward the scripts'
// share of the statistics.
void RaiseNodeEvent(geCBaseNode* pNode, const char* szFunction, geCBaseNode* pArgument);
// Runs "FoundCollision" of the node's script module with the player node as its argument; the
// time it takes counts toward the scripts' share of the statistics.
void RaiseFoundCollision(geCBaseNode* pNode, CPeltoPlayer* pPlayer);
