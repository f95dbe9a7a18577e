// D3DX vector functions.
#include <cmath>

#include "d3dx9math.h"

ZKAPI FLOAT D3DXVec2Length(const D3DXVECTOR2* v) { return std::sqrt(v->x * v->x + v->y * v->y); }

ZKAPI FLOAT D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3LengthSq(v)); }

ZKAPI FLOAT D3DXVec3LengthSq(const D3DXVECTOR3* v) { return D3DXVec3Dot(v, v); }

ZKAPI FLOAT D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

ZKAPI D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
  *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
  return out;
}

ZKAPI D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
  *out = *a + *b;
  return out;
}

ZKAPI D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
  *out = *a - *b;
  return out;
}

ZKAPI D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, FLOAT s) {
  *out = *v * s;
  return out;
}

ZKAPI D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, FLOAT s) {
  *out = *a + (*b - *a) * s;
  return out;
}

ZKAPI D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
  float length = D3DXVec3Length(v);
  *out = length == 0.0f ? D3DXVECTOR3(0.0f, 0.0f, 0.0f) : *v / length;
  return out;
}

namespace {

// (x, y, z, w) * m, written out so the one-vector calls and the array calls share it and the
// compiler keeps it in registers.
inline D3DXVECTOR4 Transformed(const D3DXVECTOR3& v, FLOAT w, const D3DXMATRIX& m) {
  D3DXVECTOR4 r;
  for (int j = 0; j < 4; ++j) r[j] = v.x * m.m[0][j] + v.y * m.m[1][j] + v.z * m.m[2][j] + w * m.m[3][j];
  return r;
}

inline D3DXVECTOR3 DividedByW(const D3DXVECTOR4& r) { return D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w); }

template <typename Out, typename Transform>
Out* TransformArray(Out* out, UINT outStride, const D3DXVECTOR3* in, UINT inStride, UINT n, Transform transform) {
  auto* to = reinterpret_cast<BYTE*>(out);
  auto* from = reinterpret_cast<const BYTE*>(in);
  for (UINT i = 0; i < n; ++i, to += outStride, from += inStride)
    *reinterpret_cast<Out*>(to) = transform(*reinterpret_cast<const D3DXVECTOR3*>(from));
  return out;
}

}  // namespace

ZKAPI D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  *out = Transformed(*v, 1.0f, *m);
  return out;
}

ZKAPI D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  *out = DividedByW(Transformed(*v, 1.0f, *m));
  return out;
}

ZKAPI D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
  const D3DXVECTOR4 r = Transformed(*v, 0.0f, *m);
  *out = D3DXVECTOR3(r.x, r.y, r.z);
  return out;
}

ZKAPI D3DXVECTOR4* D3DXVec3TransformArray(D3DXVECTOR4* out, UINT outStride, const D3DXVECTOR3* in, UINT inStride,
                                          const D3DXMATRIX* m, UINT n) {
  const D3DXMATRIX matrix = *m;
  return TransformArray(out, outStride, in, inStride, n, [&](const D3DXVECTOR3& v) { return Transformed(v, 1.0f, matrix); });
}

ZKAPI D3DXVECTOR3* D3DXVec3TransformCoordArray(D3DXVECTOR3* out, UINT outStride, const D3DXVECTOR3* in,
                                               UINT inStride, const D3DXMATRIX* m, UINT n) {
  const D3DXMATRIX matrix = *m;
  return TransformArray(out, outStride, in, inStride, n,
                        [&](const D3DXVECTOR3& v) { return DividedByW(Transformed(v, 1.0f, matrix)); });
}

ZKAPI D3DXVECTOR3* D3DXVec3TransformNormalArray(D3DXVECTOR3* out, UINT outStride, const D3DXVECTOR3* in,
                                                UINT inStride, const D3DXMATRIX* m, UINT n) {
  const D3DXMATRIX matrix = *m;
  return TransformArray(out, outStride, in, inStride, n, [&](const D3DXVECTOR3& v) {
    const D3DXVECTOR4 r = Transformed(v, 0.0f, matrix);
    return D3DXVECTOR3(r.x, r.y, r.z);
  });
}

ZKAPI FLOAT D3DXVec4Length(const D3DXVECTOR4* v) { return std::sqrt(D3DXVec4Dot(v, v)); }

ZKAPI FLOAT D3DXVec4Dot(const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
  return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}

ZKAPI D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) {
  float length = D3DXVec4Length(v);
  *out = length == 0.0f ? D3DXVECTOR4(0.0f, 0.0f, 0.0f, 0.0f) : *v / length;
  return out;
}

ZKAPI D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
  D3DXVECTOR4 r;
  for (int j = 0; j < 4; ++j) r[j] = v->x * m->m[0][j] + v->y * m->m[1][j] + v->z * m->m[2][j] + v->w * m->m[3][j];
  *out = r;
  return out;
}
