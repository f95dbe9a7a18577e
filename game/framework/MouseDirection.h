#pragma once
// The mouse pick direction: the world-space direction of the ray from a camera through the
// mouse position.
#include "ZKDXMath.h"

class CCameraInterface;
class CSceneInterface;

// x and y are the mouse position as fractions of the screen (0 at the left and top, 1 at the
// right and bottom). The scene defaults to the engine's active one and the camera to the
// scene's active camera; without a camera the direction is (0, 0, 0).
CVector3 GetMouseDirection(CCameraInterface* pCamera, CSceneInterface* pScene, float x, float y);
