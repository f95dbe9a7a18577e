#pragma once
// The level's scene and the game camera as scripts reach them. The level is the node named
// "CPeltoLevel", the camera the node named "GameCamera"; either may be missing (in the menus,
// before the first level, in a level without a camera), and then these do nothing and answer
// null.
#include "ZKDXMath.h"

class CSceneInterface;

// The engine scene of the node "CPeltoLevel", found through the node-name hash; null without
// such a node, for a node that is no game object and for a level without a scene.
CSceneInterface* GetLevelScene();
// Puts camera 0 of the level's scene at the position; nothing without a level, a scene or a
// camera. The fallback of "void SetCameraPosition( CVector3 )" when there is no "GameCamera".
void SetLevelCameraPosition(const CVector3& position);

// Among the first global functions, after "void SetAmbient( ... )", for the game camera
// `cpelto::CCamera` (GameCamera.h):
//   "void DisableCameraMap( bool a_bVal )"  CCamera::DisableCameraMap of the node "GameCamera";
//                                           nothing without that node
//   "bool IsDisabledCameraMap()"            CCamera::IsDisabledCameraMap; false without it
void RegisterCameraMapFunctions();
// "CSceneInterface@ GetLevelScene()", then the camera's move.
void RegisterLevelSceneFunctions();
// After "GetLevelScene":
//   "void SetCameraPosition( CVector3 )"    by value, through glue: the move of the node
//                                           "GameCamera" when it is a CCamera, otherwise
//                                           SetLevelCameraPosition
void RegisterCameraPositionFunction();
