#pragma once
// The small vector, matrix and quaternion functions the player and the walking entities share,
// on the platform's D3DX maths.
#include <d3dx9math.h>

// The rotation of `first` followed by that of `second`.
D3DXQUATERNION MultiplyQuaternions(const D3DXQUATERNION& first, const D3DXQUATERNION& second);
// The rotation by `fAngle` radians about the vertical (y) axis.
D3DXMATRIX RotationAboutVertical(float fAngle);
// The point (w = 1) transformed by the matrix, without its w.
D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& point, const D3DXMATRIX& matrix);
D3DXVECTOR3 CrossProduct(const D3DXVECTOR3& a, const D3DXVECTOR3& b);
// The yaw-pitch-roll rotation of three angles given in degrees.
D3DXQUATERNION QuaternionFromDegrees(float fYaw, float fPitch, float fRoll);
