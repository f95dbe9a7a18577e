#pragma once
// What cameras, nulls and lights share: hierarchy walks and their local placement values.
#include "ZKDXInterface.h"

class CMotion;
class CScene;
class CWorldObject;

// The explicit position while one is set, else the motion's position channels.
CVector3 GetLocalPosition(const CWorldObject& object, CMotion& motion);
// The explicit heading, pitch and bank while set, else the motion's rotation channels.
CVector3 GetLocalRotation(const CWorldObject& object, CMotion& motion);

// Gives SetFrame (frame, 1) to every object of the scene's list whose parent is `parent`.
void SetFrameOfChildren(CScene* scene, CWorldObject* parent, float frame);
// The parent's own rotation (flag 0) whatever its kind; false for an object of no known kind.
bool GetParentRotation(CWorldObject* parent, CVector3* out);
// The interface of the last ancestor along the parent links, or the object's own.
CWorldObjectInterface* GetTopmostParentInterface(CWorldObject* object);
