#pragma once
// Hierarchy walks that cameras and nulls share.
#include "ZKDXInterface.h"

class CScene;
class CWorldObject;

// Gives SetFrame (frame, 1) to every object of the scene's list whose parent is `parent`.
void SetFrameOfChildren(CScene* scene, CWorldObject* parent, float frame);
// The interface of the last ancestor along the parent links, or the object's own.
CWorldObjectInterface* GetTopmostParentInterface(CWorldObject* object);
