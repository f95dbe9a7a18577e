#include "spatial/BoxTreeBuilder.h"

float CBoxTreeBuilder::GetSplittingValue(const UINT*, UINT, const CollisionBox& box,
                                         UINT axis) const {
  return box.fCenter[axis];
}

bool CBoxTreeBuilder::ValidateSubdivision(const UINT*, UINT count, const CSourceBoxNode&) const {
  return count > dwLeafLimit;
}

void CBoxTreeBuilder::GetTriangleSplittingValues(const UINT* primitives, UINT count, UINT axis,
                                                 float* values) const {
  for (UINT i = 0; i < count; ++i) values[i] = GetTriangleSplittingValue(primitives[i], axis);
}
