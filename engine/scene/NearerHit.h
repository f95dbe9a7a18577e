#pragma once
// How a pick that asks meshes one by one takes an answer: a hit past the ray's origin and nearer
// than *distance replaces it (and *normal, when given). True when it did.
#include "ZKDXInterface.h"

inline bool TakeNearerHit(CMeshInterface* mesh, CRay& ray, float* distance, UINT flags,
                          CVector3* normal) {
  float hit = 0.0f;
  CVector3 hitNormal;
  const UINT hits = normal != nullptr ? mesh->CheckIntersectionWith(ray, &hit, flags, &hitNormal)
                                      : mesh->CheckIntersectionWith(ray, &hit, flags);
  if (hits == 0 || !(hit > 0.0f) || !(hit < *distance)) return false;
  *distance = hit;
  if (normal != nullptr) *normal = hitNormal;
  return true;
}
