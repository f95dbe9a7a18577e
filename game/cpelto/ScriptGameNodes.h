#pragma once
// The game's node classes as scripts see them: the level's grid queries, the player's state,
// placement and cable settings, the movable object's position, and the run-time typed casts that
// take a script from a node to one of them. Each cast answers null for a null node and for a
// node of another class, so a script can test what it holds.
class geCBaseNode;
class CMovableObject;
class CPeltoLevel;
class CPeltoPlayer;

CPeltoLevel* CastToPeltoLevel(geCBaseNode* pNode);
CPeltoPlayer* GetPlayerObject(geCBaseNode* pNode);
CMovableObject* GetMovableObject(geCBaseNode* pNode);

// The game's node types, in the order scripts name them (the walking entity's through
// RegisterEntityScriptType).
void RegisterGameNodeTypes();
// The level's cast and its grid queries.
void RegisterLevelScriptMembers();
// The player's cast and its visibility, state and rotation.
void RegisterPlayerScriptMembers();
void RegisterMovableObjectScriptMembers();
// The player's state switches, its fields and its placement.
void RegisterPlayerScriptState();
