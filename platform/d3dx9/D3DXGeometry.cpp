// D3DX planes, ray tests and half floats.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "d3dx9math.h"

ZKAPI D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
  float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
  *out = length == 0.0f ? D3DXPLANE(0.0f, 0.0f, 0.0f, 0.0f) : *p * (1.0f / length);
  return out;
}

ZKAPI FLOAT D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v) {
  return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}

ZKAPI FLOAT D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v) {
  return p->a * v->x + p->b * v->y + p->c * v->z;
}

ZKAPI BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                            const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, FLOAT* u, FLOAT* v, FLOAT* dist) {
  // Solve rayPos + t * rayDir = p0 + u * e1 + v * e2 by Cramer's rule; no side is culled.
  D3DXVECTOR3 e1 = *p1 - *p0, e2 = *p2 - *p0, pvec, qvec;
  D3DXVec3Cross(&pvec, rayDir, &e2);
  float det = D3DXVec3Dot(&e1, &pvec);
  if (det == 0.0f) return FALSE;  // the ray runs parallel to the triangle's plane
  float inverse = 1.0f / det;
  D3DXVECTOR3 tvec = *rayPos - *p0;
  float hitU = D3DXVec3Dot(&tvec, &pvec) * inverse;
  if (hitU < 0.0f || hitU > 1.0f) return FALSE;
  D3DXVec3Cross(&qvec, &tvec, &e1);
  float hitV = D3DXVec3Dot(rayDir, &qvec) * inverse;
  if (hitV < 0.0f || hitU + hitV > 1.0f) return FALSE;
  float t = D3DXVec3Dot(&e2, &qvec) * inverse;
  if (t < 0.0f) return FALSE;
  if (u) *u = hitU;
  if (v) *v = hitV;
  if (dist) *dist = t;
  return TRUE;
}

ZKAPI BOOL D3DXBoxBoundProbe(const D3DXVECTOR3* boxMin, const D3DXVECTOR3* boxMax, const D3DXVECTOR3* rayPos,
                             const D3DXVECTOR3* rayDir) {
  // Slab test: clip the ray's [0, inf) parameter range by each pair of faces.
  float nearT = 0.0f, farT = std::numeric_limits<float>::infinity();
  const float* lo = *boxMin;
  const float* hi = *boxMax;
  const float* origin = *rayPos;
  const float* dir = *rayDir;
  for (int axis = 0; axis < 3; ++axis) {
    if (dir[axis] == 0.0f) {
      if (origin[axis] < lo[axis] || origin[axis] > hi[axis]) return FALSE;
      continue;
    }
    float t1 = (lo[axis] - origin[axis]) / dir[axis];
    float t2 = (hi[axis] - origin[axis]) / dir[axis];
    nearT = std::max(nearT, std::min(t1, t2));
    farT = std::min(farT, std::max(t1, t2));
    if (nearT > farT) return FALSE;
  }
  return TRUE;
}

namespace {

WORD FloatToHalf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint32_t sign = (bits >> 16) & 0x8000u;
  uint32_t exponent = (bits >> 23) & 0xffu;
  uint32_t mantissa = bits & 0x7fffffu;
  if (exponent == 0xff) return (WORD)(sign | 0x7c00u | (mantissa ? 0x200u : 0u));  // inf, NaN
  int halfExponent = (int)exponent - 127 + 15;
  if (halfExponent >= 31) return (WORD)(sign | 0x7c00u);  // too large: infinity
  uint32_t shift;
  uint32_t significand;
  if (halfExponent <= 0) {
    // Subnormal half (or zero): shift the significand with its hidden bit into place.
    if (halfExponent < -10) return (WORD)sign;
    significand = mantissa | 0x800000u;
    shift = (uint32_t)(14 - halfExponent);
    halfExponent = 0;
  } else {
    significand = mantissa;
    shift = 13;
  }
  uint32_t half = significand >> shift;
  uint32_t rest = significand & ((1u << shift) - 1u);
  uint32_t halfway = 1u << (shift - 1);
  // Round to nearest, ties to even; a carry out of the mantissa correctly bumps the exponent.
  uint32_t result = ((uint32_t)halfExponent << 10) + half;
  if (rest > halfway || (rest == halfway && (half & 1u))) ++result;
  return (WORD)(sign | result);
}

float HalfToFloat(WORD half) {
  uint32_t sign = (uint32_t)(half & 0x8000u) << 16;
  int exponent = (half >> 10) & 0x1f;
  uint32_t mantissa = half & 0x3ffu;
  float magnitude;
  if (exponent == 0)
    magnitude = std::ldexp((float)mantissa, -24);
  else if (exponent == 31)
    magnitude = mantissa ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
  else
    magnitude = std::ldexp((float)(mantissa | 0x400u), exponent - 25);
  uint32_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  bits |= sign;
  std::memcpy(&magnitude, &bits, sizeof bits);
  return magnitude;
}

}  // namespace

ZKAPI D3DXFLOAT16* D3DXFloat32To16Array(D3DXFLOAT16* out, const FLOAT* in, UINT count) {
  for (UINT i = 0; i < count; ++i) out[i].value = FloatToHalf(in[i]);
  return out;
}

ZKAPI FLOAT* D3DXFloat16To32Array(FLOAT* out, const D3DXFLOAT16* in, UINT count) {
  for (UINT i = 0; i < count; ++i) out[i] = HalfToFloat(in[i].value);
  return out;
}
