// D3DX matrix functions: row vectors, so a transform applied first stands on the left.
#include <cmath>

#include "d3d9.h"
#include "d3dx9math.h"

namespace {

D3DXMATRIX Zero() {
  D3DXMATRIX r;
  for (auto& row : r.m)
    for (float& f : row) f = 0.0f;
  return r;
}

D3DXMATRIX Identity() {
  D3DXMATRIX r = Zero();
  r._11 = r._22 = r._33 = r._44 = 1.0f;
  return r;
}

}  // namespace

ZKAPI D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
  *out = Identity();
  return out;
}

ZKAPI BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* m) { return *m == Identity(); }

ZKAPI D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] =
          m1->m[i][0] * m2->m[0][j] + m1->m[i][1] * m2->m[1][j] + m1->m[i][2] * m2->m[2][j] + m1->m[i][3] * m2->m[3][j];
  *out = r;
  return out;
}

namespace {

// The adjugate (transposed cofactors) of m from its 2x2 minors, and the determinant on the way.
float Adjugate(const D3DXMATRIX& a, D3DXMATRIX* adj) {
  const float(*m)[4] = a.m;
  float s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
  float s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
  float s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
  float s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
  float s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
  float s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
  float c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
  float c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
  float c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
  float c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
  float c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
  float c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
  float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
  if (adj) {
    float(*r)[4] = adj->m;
    r[0][0] = m[1][1] * c5 - m[1][2] * c4 + m[1][3] * c3;
    r[0][1] = -m[0][1] * c5 + m[0][2] * c4 - m[0][3] * c3;
    r[0][2] = m[3][1] * s5 - m[3][2] * s4 + m[3][3] * s3;
    r[0][3] = -m[2][1] * s5 + m[2][2] * s4 - m[2][3] * s3;
    r[1][0] = -m[1][0] * c5 + m[1][2] * c2 - m[1][3] * c1;
    r[1][1] = m[0][0] * c5 - m[0][2] * c2 + m[0][3] * c1;
    r[1][2] = -m[3][0] * s5 + m[3][2] * s2 - m[3][3] * s1;
    r[1][3] = m[2][0] * s5 - m[2][2] * s2 + m[2][3] * s1;
    r[2][0] = m[1][0] * c4 - m[1][1] * c2 + m[1][3] * c0;
    r[2][1] = -m[0][0] * c4 + m[0][1] * c2 - m[0][3] * c0;
    r[2][2] = m[3][0] * s4 - m[3][1] * s2 + m[3][3] * s0;
    r[2][3] = -m[2][0] * s4 + m[2][1] * s2 - m[2][3] * s0;
    r[3][0] = -m[1][0] * c3 + m[1][1] * c1 - m[1][2] * c0;
    r[3][1] = m[0][0] * c3 - m[0][1] * c1 + m[0][2] * c0;
    r[3][2] = -m[3][0] * s3 + m[3][1] * s1 - m[3][2] * s0;
    r[3][3] = m[2][0] * s3 - m[2][1] * s1 + m[2][2] * s0;
  }
  return det;
}

}  // namespace

ZKAPI FLOAT D3DXMatrixDeterminant(const D3DXMATRIX* m) { return Adjugate(*m, nullptr); }

ZKAPI D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, FLOAT* determinant, const D3DXMATRIX* m) {
  D3DXMATRIX adj;
  float det = Adjugate(*m, &adj);
  if (determinant) *determinant = det;
  if (det == 0.0f || !std::isfinite(det)) return nullptr;
  *out = adj * (1.0f / det);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = m->m[j][i];
  *out = r;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, FLOAT x, FLOAT y, FLOAT z) {
  *out = Identity();
  out->_41 = x;
  out->_42 = y;
  out->_43 = z;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, FLOAT sx, FLOAT sy, FLOAT sz) {
  *out = Identity();
  out->_11 = sx;
  out->_22 = sy;
  out->_33 = sz;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, FLOAT angle) {
  float c = std::cos(angle), s = std::sin(angle);
  *out = Identity();
  out->_22 = c;
  out->_23 = s;
  out->_32 = -s;
  out->_33 = c;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, FLOAT angle) {
  float c = std::cos(angle), s = std::sin(angle);
  *out = Identity();
  out->_11 = c;
  out->_13 = -s;
  out->_31 = s;
  out->_33 = c;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, FLOAT angle) {
  float c = std::cos(angle), s = std::sin(angle);
  *out = Identity();
  out->_11 = c;
  out->_12 = s;
  out->_21 = -s;
  out->_22 = c;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, FLOAT angle) {
  D3DXVECTOR3 n;
  D3DXVec3Normalize(&n, axis);
  float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
  *out = Identity();
  out->_11 = t * n.x * n.x + c;
  out->_12 = t * n.x * n.y + s * n.z;
  out->_13 = t * n.x * n.z - s * n.y;
  out->_21 = t * n.x * n.y - s * n.z;
  out->_22 = t * n.y * n.y + c;
  out->_23 = t * n.y * n.z + s * n.x;
  out->_31 = t * n.x * n.z + s * n.y;
  out->_32 = t * n.y * n.z - s * n.x;
  out->_33 = t * n.z * n.z + c;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, FLOAT yaw, FLOAT pitch, FLOAT roll) {
  D3DXMATRIX z, x, y;
  D3DXMatrixRotationZ(&z, roll);
  D3DXMatrixRotationX(&x, pitch);
  D3DXMatrixRotationY(&y, yaw);
  *out = z * x * y;
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
  float x = q->x, y = q->y, z = q->z, w = q->w;
  *out = Identity();
  out->_11 = 1.0f - 2.0f * (y * y + z * z);
  out->_12 = 2.0f * (x * y + z * w);
  out->_13 = 2.0f * (x * z - y * w);
  out->_21 = 2.0f * (x * y - z * w);
  out->_22 = 1.0f - 2.0f * (x * x + z * z);
  out->_23 = 2.0f * (y * z + x * w);
  out->_31 = 2.0f * (x * z + y * w);
  out->_32 = 2.0f * (y * z - x * w);
  out->_33 = 1.0f - 2.0f * (x * x + y * y);
  return out;
}

namespace {

D3DXMATRIX LookAt(const D3DXVECTOR3& eye, const D3DXVECTOR3& forward, const D3DXVECTOR3& up) {
  D3DXVECTOR3 zaxis, xaxis, yaxis;
  D3DXVec3Normalize(&zaxis, &forward);
  D3DXVec3Cross(&xaxis, &up, &zaxis);
  D3DXVec3Normalize(&xaxis, &xaxis);
  D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
  return D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0.0f,  //
                    xaxis.y, yaxis.y, zaxis.y, 0.0f,  //
                    xaxis.z, yaxis.z, zaxis.z, 0.0f,  //
                    -D3DXVec3Dot(&xaxis, &eye), -D3DXVec3Dot(&yaxis, &eye), -D3DXVec3Dot(&zaxis, &eye), 1.0f);
}

}  // namespace

ZKAPI D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                     const D3DXVECTOR3* up) {
  *out = LookAt(*eye, *at - *eye, *up);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                     const D3DXVECTOR3* up) {
  *out = LookAt(*eye, *eye - *at, *up);
  return out;
}

// The projections: left-handed ones look down +z (_34 = 1), right-handed ones down -z (_34 = -1);
// both map the near plane to depth 0 and the far plane to 1.
ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                   FLOAT zf) {
  *out = Zero();
  out->_11 = 2.0f * zn / (r - l);
  out->_22 = 2.0f * zn / (t - b);
  out->_31 = (l + r) / (l - r);
  out->_32 = (t + b) / (b - t);
  out->_33 = zf / (zf - zn);
  out->_34 = 1.0f;
  out->_43 = zn * zf / (zn - zf);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveOffCenterRH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                   FLOAT zf) {
  *out = Zero();
  out->_11 = 2.0f * zn / (r - l);
  out->_22 = 2.0f * zn / (t - b);
  out->_31 = (l + r) / (r - l);
  out->_32 = (t + b) / (t - b);
  out->_33 = zf / (zn - zf);
  out->_34 = -1.0f;
  out->_43 = zn * zf / (zn - zf);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  return D3DXMatrixPerspectiveOffCenterLH(out, -w / 2, w / 2, -h / 2, h / 2, zn, zf);
}

ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveRH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  return D3DXMatrixPerspectiveOffCenterRH(out, -w / 2, w / 2, -h / 2, h / 2, zn, zf);
}

ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, FLOAT fovY, FLOAT aspect, FLOAT zn, FLOAT zf) {
  float yScale = 1.0f / std::tan(fovY / 2.0f);
  *out = Zero();
  out->_11 = yScale / aspect;
  out->_22 = yScale;
  out->_33 = zf / (zf - zn);
  out->_34 = 1.0f;
  out->_43 = -zn * zf / (zf - zn);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, FLOAT fovY, FLOAT aspect, FLOAT zn, FLOAT zf) {
  float yScale = 1.0f / std::tan(fovY / 2.0f);
  *out = Zero();
  out->_11 = yScale / aspect;
  out->_22 = yScale;
  out->_33 = zf / (zn - zf);
  out->_34 = -1.0f;
  out->_43 = zn * zf / (zn - zf);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf) {
  *out = Identity();
  out->_11 = 2.0f / (r - l);
  out->_22 = 2.0f / (t - b);
  out->_33 = 1.0f / (zf - zn);
  out->_41 = (l + r) / (l - r);
  out->_42 = (t + b) / (b - t);
  out->_43 = zn / (zn - zf);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf) {
  D3DXMatrixOrthoOffCenterLH(out, l, r, b, t, zn, zf);
  out->_33 = 1.0f / (zn - zf);
  return out;
}

ZKAPI D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  return D3DXMatrixOrthoOffCenterLH(out, -w / 2, w / 2, -h / 2, h / 2, zn, zf);
}

ZKAPI D3DXMATRIX* D3DXMatrixOrthoRH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  return D3DXMatrixOrthoOffCenterRH(out, -w / 2, w / 2, -h / 2, h / 2, zn, zf);
}

ZKAPI HRESULT D3DXMatrixDecompose(D3DXVECTOR3* outScale, D3DXQUATERNION* outRotation, D3DXVECTOR3* outTranslation,
                                  const D3DXMATRIX* m) {
  D3DXVECTOR3 rows[3] = {{m->_11, m->_12, m->_13}, {m->_21, m->_22, m->_23}, {m->_31, m->_32, m->_33}};
  D3DXVECTOR3 scale(D3DXVec3Length(&rows[0]), D3DXVec3Length(&rows[1]), D3DXVec3Length(&rows[2]));
  if (scale.x == 0.0f || scale.y == 0.0f || scale.z == 0.0f) return D3DERR_INVALIDCALL;
  // A mirroring matrix keeps a proper rotation by giving the x scale the sign.
  D3DXVECTOR3 cross;
  D3DXVec3Cross(&cross, &rows[0], &rows[1]);
  if (D3DXVec3Dot(&cross, &rows[2]) < 0.0f) scale.x = -scale.x;
  D3DXMATRIX rotation;
  D3DXMatrixIdentity(&rotation);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) rotation.m[i][j] = rows[i][j] / scale[i];
  if (outScale) *outScale = scale;
  if (outTranslation) *outTranslation = D3DXVECTOR3(m->_41, m->_42, m->_43);
  if (outRotation) D3DXQuaternionRotationMatrix(outRotation, &rotation);
  return D3D_OK;
}
