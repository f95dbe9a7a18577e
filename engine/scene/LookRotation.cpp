#include "scene/LookRotation.h"

#include <algorithm>
#include <cmath>

#include "scene/WorldObject.h"

bool ComputeLookRotation(const CVector3& eye, const CVector3& lookAt, float roll,
                         CMatrix* rotation) {
  const CVector3 d = lookAt - eye;
  const float length = d.Length();
  if (!(length > 0.0f) || !std::isfinite(length)) return false;
  const float yaw = -std::atan2(d.x, d.z);
  const float pitch = std::asin(std::clamp(d.y / length, -1.0f, 1.0f));
  const float r = -roll;
  const float sy = std::sin(yaw), cy = std::cos(yaw);
  const float sp = std::sin(pitch), cp = std::cos(pitch);
  const float sr = std::sin(r), cr = std::cos(r);
  *rotation = CMatrix(cr * cy + sr * sp * sy, cr * sp * sy - sr * cy, -cp * sy, 0.0f,  //
                      sr * cp, cr * cp, sp, 0.0f,                                      //
                      cr * sy - sr * sp * cy, -cr * sp * cy - sr * sy, cp * cy, 0.0f,  //
                      0.0f, 0.0f, 0.0f, 1.0f);
  return true;
}

bool GetTargetPosition(CWorldObject* target, float frame, CVector3* point) {
  if (target == nullptr) return false;
  CWorldObjectInterface* object = target->GetInterface();
  if (auto* null = dynamic_cast<CNullInterface*>(object)) {
    null->UpdateHierarchy(frame);
    null->GetPosition(point, 0);
    return true;
  }
  if (auto* mesh = dynamic_cast<CMeshInterface*>(object)) {
    mesh->UpdateHierarchy(frame);
    mesh->GetPosition(point, 0);
    return true;
  }
  return false;
}
