#pragma once
// The walking entity's part of the game's script API. Each function has its place in the order
// of the game's registration and binds once the class `CEntityWalking` (EntityWalking.h) is in
// the game; until then scripts have no "CEntityWalking" and a script that names it fails to
// build, as with any declaration that is missing.

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
//   property "float m_fVelocityFactor"
void RegisterEntityScriptMembers();
// Among the utility functions, after "float strToFloat( string )":
//   "CEntityWalking@ GetEntityObject( geCBaseNode@ )" the run-time typed cast, null for a null
//                                                     node and for a node of another class
void RegisterEntityScriptCast();
