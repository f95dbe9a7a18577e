#pragma once
// The direction in world space of the ray through the mouse position, seen from a scene's
// camera; scripts and widgets cast it to find what the mouse points at.
#include "ZKDXMath.h"

class CCameraInterface;
class CSceneInterface;

// x and y are fractions of the screen (0 at the left and top edge, 1 at the right and bottom).
// The scene defaults to the engine's active scene and the camera to the scene's active camera;
// with no camera to look through the result is (0, 0, 0).
CVector3 GetMouseDirection(CCameraInterface* pCamera, CSceneInterface* pScene, float x, float y);
