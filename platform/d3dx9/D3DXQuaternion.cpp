// D3DX quaternion functions (x, y, z, w; w the scalar part).
#include <cmath>

#include "d3dx9math.h"

ZKAPI D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out) {
  *out = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
  return out;
}

ZKAPI FLOAT D3DXQuaternionDot(const D3DXQUATERNION* a, const D3DXQUATERNION* b) {
  return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}

ZKAPI FLOAT D3DXQuaternionLength(const D3DXQUATERNION* q) { return std::sqrt(D3DXQuaternionDot(q, q)); }

ZKAPI D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
  *out = D3DXQUATERNION(-q->x, -q->y, -q->z, q->w);
  return out;
}

ZKAPI D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2) {
  const D3DXQUATERNION a = *q2, b = *q1;                                // out = a * b, so that b's rotation comes first
  *out = D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,  //
                        a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,  //
                        a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,  //
                        a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
  return out;
}

ZKAPI D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
  float length = D3DXQuaternionLength(q);
  *out = length == 0.0f ? D3DXQUATERNION(0.0f, 0.0f, 0.0f, 0.0f) : *q / length;
  return out;
}

ZKAPI D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, FLOAT angle) {
  D3DXVECTOR3 n;
  D3DXVec3Normalize(&n, axis);
  float s = std::sin(angle / 2.0f);
  *out = D3DXQUATERNION(n.x * s, n.y * s, n.z * s, std::cos(angle / 2.0f));
  return out;
}

ZKAPI D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, FLOAT yaw, FLOAT pitch, FLOAT roll) {
  // Roll about Z, then pitch about X, then yaw about Y, as D3DXMatrixRotationYawPitchRoll.
  float sy = std::sin(yaw / 2), cy = std::cos(yaw / 2);
  float sp = std::sin(pitch / 2), cp = std::cos(pitch / 2);
  float sr = std::sin(roll / 2), cr = std::cos(roll / 2);
  *out = D3DXQUATERNION(cy * sp * cr + sy * cp * sr,  //
                        sy * cp * cr - cy * sp * sr,  //
                        cy * cp * sr - sy * sp * cr,  //
                        cy * cp * cr + sy * sp * sr);
  return out;
}

ZKAPI D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m) {
  // Take the square root of the largest of the four diagonal combinations for precision.
  float trace = m->_11 + m->_22 + m->_33;
  D3DXQUATERNION q;
  if (trace > 0.0f) {
    float s = std::sqrt(trace + 1.0f) * 2.0f;
    q = D3DXQUATERNION((m->_23 - m->_32) / s, (m->_31 - m->_13) / s, (m->_12 - m->_21) / s, 0.25f * s);
  } else if (m->_11 >= m->_22 && m->_11 >= m->_33) {
    float s = std::sqrt(1.0f + m->_11 - m->_22 - m->_33) * 2.0f;
    q = D3DXQUATERNION(0.25f * s, (m->_12 + m->_21) / s, (m->_13 + m->_31) / s, (m->_23 - m->_32) / s);
  } else if (m->_22 >= m->_33) {
    float s = std::sqrt(1.0f + m->_22 - m->_11 - m->_33) * 2.0f;
    q = D3DXQUATERNION((m->_12 + m->_21) / s, 0.25f * s, (m->_23 + m->_32) / s, (m->_31 - m->_13) / s);
  } else {
    float s = std::sqrt(1.0f + m->_33 - m->_11 - m->_22) * 2.0f;
    q = D3DXQUATERNION((m->_13 + m->_31) / s, (m->_23 + m->_32) / s, 0.25f * s, (m->_12 - m->_21) / s);
  }
  *out = q;
  return out;
}

ZKAPI D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                          FLOAT t) {
  D3DXQUATERNION to = *q2;
  float cosine = D3DXQuaternionDot(q1, q2);
  if (cosine < 0.0f) {
    cosine = -cosine;
    to = -to;
  }
  float from = 1.0f - t, toWeight = t;
  // Nearly equal rotations: sin(theta) vanishes, so interpolate linearly.
  if (1.0f - cosine > 1e-6f) {
    float theta = std::acos(cosine), sine = std::sin(theta);
    from = std::sin((1.0f - t) * theta) / sine;
    toWeight = std::sin(t * theta) / sine;
  }
  *out = *q1 * from + to * toWeight;
  return out;
}
