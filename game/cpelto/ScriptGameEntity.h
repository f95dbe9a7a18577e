#pragma once
// The walking entity's part of the game's script API. Each function has its place in the order
// of the game's registration.
class CEntityWalking;
class geCBaseNode;

// The run-time typed cast behind "GetEntityObject": null for a null node and for a node of
// another class.
CEntityWalking* GetEntityObject(geCBaseNode* pNode);

// The type, between the player's and the movable object's:
//   "CEntityWalking" (a node class: a handle type without counting, sizeof(CEntityWalking)).
void RegisterEntityScriptType();
// Before the player's first members, in this order, all of type "CEntityWalking":
//   "CVector3& GetPosition()"                         the position field
//   "void Pause()"
//   "void Resume()"
//   "CVector3 GetRotation()"
//   "void SetRotation( CVector3 )"                    by value, through glue
//   "void SetPosition( float x, float y, float z )"
//   property "float m_fVelocityFactor"                the speed factor of the path clock and
//                                                     of the steps
void RegisterEntityScriptMembers();
// Among the utility functions, after "float strToFloat( string )":
//   "CEntityWalking@ GetEntityObject( geCBaseNode@ )"
void RegisterEntityScriptCast();
