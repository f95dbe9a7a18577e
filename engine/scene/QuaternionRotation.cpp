#include "scene/QuaternionRotation.h"

#include "d3dx9math.h"

void MultiplyByQuaternionRotation(CMatrix* matrix, const float* quaternion) {
  const D3DXQUATERNION q(quaternion[0], quaternion[1], quaternion[2], quaternion[3]);
  D3DXMATRIX turn;
  D3DXMatrixRotationQuaternion(&turn, &q);
  CMatrix rotation;
  for (UINT row = 0; row < 4; ++row)
    for (UINT column = 0; column < 4; ++column) rotation.m[row][column] = turn(row, column);
  *matrix = *matrix * rotation;
}
