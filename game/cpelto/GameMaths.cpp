#include "cpelto/GameMaths.h"

#include <cmath>

D3DXQUATERNION MultiplyQuaternions(const D3DXQUATERNION& first, const D3DXQUATERNION& second) {
  D3DXQUATERNION product(0.0f, 0.0f, 0.0f, 1.0f);
  D3DXQuaternionMultiply(&product, &first, &second);
  return product;
}

D3DXMATRIX RotationAboutVertical(float fAngle) {
  const float fCos = std::cos(fAngle), fSin = std::sin(fAngle);
  return D3DXMATRIX(fCos, 0.0f, -fSin, 0.0f,
                    0.0f, 1.0f, 0.0f, 0.0f,
                    fSin, 0.0f, fCos, 0.0f,
                    0.0f, 0.0f, 0.0f, 1.0f);
}

D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& point, const D3DXMATRIX& matrix) {
  D3DXVECTOR4 transformed;
  D3DXVec3Transform(&transformed, &point, &matrix);
  return D3DXVECTOR3(transformed.x, transformed.y, transformed.z);
}

D3DXVECTOR3 CrossProduct(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

D3DXQUATERNION QuaternionFromDegrees(float fYaw, float fPitch, float fRoll) {
  constexpr float kRadiansPerDegree = 0.017453292f;
  D3DXQUATERNION q;
  D3DXQuaternionRotationYawPitchRoll(&q, fYaw * kRadiansPerDegree, fPitch * kRadiansPerDegree,
                                     fRoll * kRadiansPerDegree);
  return q;
}
