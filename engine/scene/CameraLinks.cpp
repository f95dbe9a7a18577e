#include "scene/CameraLinks.h"

#include "scene/Motion.h"
#include "scene/Scene.h"
#include "scene/WorldObject.h"

void SetFrameOfChildren(CScene* scene, CWorldObject* parent, float frame) {
  if (scene == nullptr) return;
  for (CWorldObject* object = scene->GetFirstWorldObject(); object != nullptr;
       object = object->GetNext())
    if (object != parent && object->GetParent() == parent) object->SetFrame(frame, 1);
}

CWorldObjectInterface* GetTopmostParentInterface(CWorldObject* object) {
  CWorldObject* topmost = object;
  // Parent links refuse loops, but the walk stays bounded all the same.
  for (UINT steps = 0; topmost->GetParent() != nullptr && steps < 0x10000; ++steps)
    topmost = topmost->GetParent();
  return topmost->GetInterface();
}

CVector3 GetLocalPosition(const CWorldObject& object, CMotion& motion) {
  if (object.HasExplicitPosition()) return object.GetExplicitPosition();
  return {motion.GetChannel(MOTION_POSITION_X)->GetValue(),
          motion.GetChannel(MOTION_POSITION_Y)->GetValue(),
          motion.GetChannel(MOTION_POSITION_Z)->GetValue()};
}

CVector3 GetLocalRotation(const CWorldObject& object, CMotion& motion) {
  if (object.HasExplicitRotation()) return object.GetExplicitRotation();
  return {motion.GetChannel(MOTION_HEADING)->GetValue(),
          motion.GetChannel(MOTION_PITCH)->GetValue(),
          motion.GetChannel(MOTION_BANK)->GetValue()};
}

bool GetParentRotation(CWorldObject* parent, CVector3* out) {
  CWorldObjectInterface* object = parent->GetInterface();
  if (auto* camera = dynamic_cast<CCameraInterface*>(object))
    camera->GetRotation(out, 0);
  else if (auto* light = dynamic_cast<CLightInterface*>(object))
    light->GetRotation(out, 0);
  else if (auto* mesh = dynamic_cast<CMeshInterface*>(object))
    mesh->GetRotation(out, 0);
  else if (auto* null = dynamic_cast<CNullInterface*>(object))
    null->GetRotation(out, 0);
  else
    return false;
  return true;
}
