#pragma once
// The explicit-quaternion step of the light, mesh and null matrix passes.
#include "ZKDXInterface.h"

// matrix = matrix × the rotation of the quaternion (x, y, z, w).
void MultiplyByQuaternionRotation(CMatrix* matrix, const float* quaternion);
