#pragma once
// D3DX 9 maths: vectors, matrices, quaternions, planes and colours with row vectors
// (v' = v * M), left-handed unless a function's name ends in RH.
#include "d3d9types.h"
#include "unknwn.h"

#define D3DX_PI ((FLOAT)3.141592654f)
#define D3DX_1BYPI ((FLOAT)0.318309886f)
#define D3DXToRadian(degree) ((degree) * (D3DX_PI / 180.0f))
#define D3DXToDegree(radian) ((radian) * (180.0f / D3DX_PI))

struct D3DXFLOAT16 {
  WORD value;
};

struct D3DXVECTOR2 {
  FLOAT x, y;

  D3DXVECTOR2() = default;
  D3DXVECTOR2(FLOAT fx, FLOAT fy) : x(fx), y(fy) {}
  explicit D3DXVECTOR2(const FLOAT* f) : x(f[0]), y(f[1]) {}
  operator FLOAT*() { return &x; }
  operator const FLOAT*() const { return &x; }
  D3DXVECTOR2& operator+=(const D3DXVECTOR2& v) { x += v.x; y += v.y; return *this; }
  D3DXVECTOR2& operator-=(const D3DXVECTOR2& v) { x -= v.x; y -= v.y; return *this; }
  D3DXVECTOR2& operator*=(FLOAT f) { x *= f; y *= f; return *this; }
  D3DXVECTOR2& operator/=(FLOAT f) { x /= f; y /= f; return *this; }
  D3DXVECTOR2 operator+() const { return *this; }
  D3DXVECTOR2 operator-() const { return {-x, -y}; }
  D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return {x + v.x, y + v.y}; }
  D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return {x - v.x, y - v.y}; }
  D3DXVECTOR2 operator*(FLOAT f) const { return {x * f, y * f}; }
  D3DXVECTOR2 operator/(FLOAT f) const { return {x / f, y / f}; }
  friend D3DXVECTOR2 operator*(FLOAT f, const D3DXVECTOR2& v) { return v * f; }
  bool operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
  bool operator!=(const D3DXVECTOR2& v) const { return !(*this == v); }
};

struct D3DXVECTOR3 : public D3DVECTOR {
  D3DXVECTOR3() = default;
  D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz) : D3DVECTOR{fx, fy, fz} {}
  D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}
  explicit D3DXVECTOR3(const FLOAT* f) : D3DVECTOR{f[0], f[1], f[2]} {}
  operator FLOAT*() { return &x; }
  operator const FLOAT*() const { return &x; }
  D3DXVECTOR3& operator+=(const D3DXVECTOR3& v) { x += v.x; y += v.y; z += v.z; return *this; }
  D3DXVECTOR3& operator-=(const D3DXVECTOR3& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
  D3DXVECTOR3& operator*=(FLOAT f) { x *= f; y *= f; z *= f; return *this; }
  D3DXVECTOR3& operator/=(FLOAT f) { x /= f; y /= f; z /= f; return *this; }
  D3DXVECTOR3 operator+() const { return *this; }
  D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
  D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return {x + v.x, y + v.y, z + v.z}; }
  D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return {x - v.x, y - v.y, z - v.z}; }
  D3DXVECTOR3 operator*(FLOAT f) const { return {x * f, y * f, z * f}; }
  D3DXVECTOR3 operator/(FLOAT f) const { return {x / f, y / f, z / f}; }
  friend D3DXVECTOR3 operator*(FLOAT f, const D3DXVECTOR3& v) { return v * f; }
  bool operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
  bool operator!=(const D3DXVECTOR3& v) const { return !(*this == v); }
};

struct D3DXVECTOR4 {
  FLOAT x, y, z, w;

  D3DXVECTOR4() = default;
  D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}
  D3DXVECTOR4(const D3DVECTOR& v, FLOAT fw) : x(v.x), y(v.y), z(v.z), w(fw) {}
  explicit D3DXVECTOR4(const FLOAT* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
  operator FLOAT*() { return &x; }
  operator const FLOAT*() const { return &x; }
  D3DXVECTOR4& operator+=(const D3DXVECTOR4& v) { x += v.x; y += v.y; z += v.z; w += v.w; return *this; }
  D3DXVECTOR4& operator-=(const D3DXVECTOR4& v) { x -= v.x; y -= v.y; z -= v.z; w -= v.w; return *this; }
  D3DXVECTOR4& operator*=(FLOAT f) { x *= f; y *= f; z *= f; w *= f; return *this; }
  D3DXVECTOR4& operator/=(FLOAT f) { x /= f; y /= f; z /= f; w /= f; return *this; }
  D3DXVECTOR4 operator+() const { return *this; }
  D3DXVECTOR4 operator-() const { return {-x, -y, -z, -w}; }
  D3DXVECTOR4 operator+(const D3DXVECTOR4& v) const { return {x + v.x, y + v.y, z + v.z, w + v.w}; }
  D3DXVECTOR4 operator-(const D3DXVECTOR4& v) const { return {x - v.x, y - v.y, z - v.z, w - v.w}; }
  D3DXVECTOR4 operator*(FLOAT f) const { return {x * f, y * f, z * f, w * f}; }
  D3DXVECTOR4 operator/(FLOAT f) const { return {x / f, y / f, z / f, w / f}; }
  friend D3DXVECTOR4 operator*(FLOAT f, const D3DXVECTOR4& v) { return v * f; }
  bool operator==(const D3DXVECTOR4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
  bool operator!=(const D3DXVECTOR4& v) const { return !(*this == v); }
};

struct D3DXMATRIX;
ZKAPI D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2);

struct D3DXMATRIX : public D3DMATRIX {
  D3DXMATRIX() = default;
  D3DXMATRIX(const D3DMATRIX& m) : D3DMATRIX(m) {}
  explicit D3DXMATRIX(const FLOAT* f) {
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = f[i];
  }
  D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22, FLOAT f23, FLOAT f24,
             FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34, FLOAT f41, FLOAT f42, FLOAT f43, FLOAT f44) {
    _11 = f11; _12 = f12; _13 = f13; _14 = f14;
    _21 = f21; _22 = f22; _23 = f23; _24 = f24;
    _31 = f31; _32 = f32; _33 = f33; _34 = f34;
    _41 = f41; _42 = f42; _43 = f43; _44 = f44;
  }
  FLOAT& operator()(UINT row, UINT col) { return m[row][col]; }
  FLOAT operator()(UINT row, UINT col) const { return m[row][col]; }
  operator FLOAT*() { return &_11; }
  operator const FLOAT*() const { return &_11; }
  D3DXMATRIX& operator*=(const D3DXMATRIX& other) { D3DXMatrixMultiply(this, this, &other); return *this; }
  D3DXMATRIX& operator+=(const D3DXMATRIX& other) {
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] += other.m[i / 4][i % 4];
    return *this;
  }
  D3DXMATRIX& operator-=(const D3DXMATRIX& other) {
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] -= other.m[i / 4][i % 4];
    return *this;
  }
  D3DXMATRIX& operator*=(FLOAT f) {
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] *= f;
    return *this;
  }
  D3DXMATRIX& operator/=(FLOAT f) { return *this *= 1.0f / f; }
  D3DXMATRIX operator+() const { return *this; }
  D3DXMATRIX operator-() const { return *this * -1.0f; }
  D3DXMATRIX operator*(const D3DXMATRIX& other) const { D3DXMATRIX r; D3DXMatrixMultiply(&r, this, &other); return r; }
  D3DXMATRIX operator+(const D3DXMATRIX& other) const { D3DXMATRIX r = *this; return r += other; }
  D3DXMATRIX operator-(const D3DXMATRIX& other) const { D3DXMATRIX r = *this; return r -= other; }
  D3DXMATRIX operator*(FLOAT f) const { D3DXMATRIX r = *this; return r *= f; }
  D3DXMATRIX operator/(FLOAT f) const { D3DXMATRIX r = *this; return r /= f; }
  friend D3DXMATRIX operator*(FLOAT f, const D3DXMATRIX& mat) { return mat * f; }
  bool operator==(const D3DXMATRIX& other) const {
    for (int i = 0; i < 16; ++i)
      if (m[i / 4][i % 4] != other.m[i / 4][i % 4]) return false;
    return true;
  }
  bool operator!=(const D3DXMATRIX& other) const { return !(*this == other); }
};

struct D3DXQUATERNION;
// The rotation of q1 followed by the rotation of q2: the Hamilton product q2 * q1.
ZKAPI D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1,
                                             const D3DXQUATERNION* q2);

struct D3DXQUATERNION {
  FLOAT x, y, z, w;

  D3DXQUATERNION() = default;
  D3DXQUATERNION(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}
  explicit D3DXQUATERNION(const FLOAT* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
  operator FLOAT*() { return &x; }
  operator const FLOAT*() const { return &x; }
  D3DXQUATERNION& operator+=(const D3DXQUATERNION& q) { x += q.x; y += q.y; z += q.z; w += q.w; return *this; }
  D3DXQUATERNION& operator-=(const D3DXQUATERNION& q) { x -= q.x; y -= q.y; z -= q.z; w -= q.w; return *this; }
  // Same order as D3DXQuaternionMultiply: this rotation first, then q's.
  D3DXQUATERNION& operator*=(const D3DXQUATERNION& q) { D3DXQuaternionMultiply(this, this, &q); return *this; }
  D3DXQUATERNION& operator*=(FLOAT f) { x *= f; y *= f; z *= f; w *= f; return *this; }
  D3DXQUATERNION& operator/=(FLOAT f) { return *this *= 1.0f / f; }
  D3DXQUATERNION operator+() const { return *this; }
  D3DXQUATERNION operator-() const { return {-x, -y, -z, -w}; }
  D3DXQUATERNION operator+(const D3DXQUATERNION& q) const { return {x + q.x, y + q.y, z + q.z, w + q.w}; }
  D3DXQUATERNION operator-(const D3DXQUATERNION& q) const { return {x - q.x, y - q.y, z - q.z, w - q.w}; }
  D3DXQUATERNION operator*(const D3DXQUATERNION& q) const {
    D3DXQUATERNION r;
    D3DXQuaternionMultiply(&r, this, &q);
    return r;
  }
  D3DXQUATERNION operator*(FLOAT f) const { return {x * f, y * f, z * f, w * f}; }
  D3DXQUATERNION operator/(FLOAT f) const { return *this * (1.0f / f); }
  friend D3DXQUATERNION operator*(FLOAT f, const D3DXQUATERNION& q) { return q * f; }
  bool operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
  bool operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }
};

// The plane a*x + b*y + c*z + d = 0.
struct D3DXPLANE {
  FLOAT a, b, c, d;

  D3DXPLANE() = default;
  D3DXPLANE(FLOAT fa, FLOAT fb, FLOAT fc, FLOAT fd) : a(fa), b(fb), c(fc), d(fd) {}
  explicit D3DXPLANE(const FLOAT* f) : a(f[0]), b(f[1]), c(f[2]), d(f[3]) {}
  operator FLOAT*() { return &a; }
  operator const FLOAT*() const { return &a; }
  D3DXPLANE operator*(FLOAT f) const { return {a * f, b * f, c * f, d * f}; }
  bool operator==(const D3DXPLANE& p) const { return a == p.a && b == p.b && c == p.c && d == p.d; }
  bool operator!=(const D3DXPLANE& p) const { return !(*this == p); }
};

// A colour with float channels in the layout of D3DCOLORVALUE; converts to and from D3DCOLOR
// (0xAARRGGBB), clamping each channel to [0, 1] on the way out.
struct D3DXCOLOR {
  FLOAT r, g, b, a;

  D3DXCOLOR() = default;
  D3DXCOLOR(FLOAT fr, FLOAT fg, FLOAT fb, FLOAT fa) : r(fr), g(fg), b(fb), a(fa) {}
  D3DXCOLOR(DWORD argb)
      : r(((argb >> 16) & 0xff) / 255.0f),
        g(((argb >> 8) & 0xff) / 255.0f),
        b((argb & 0xff) / 255.0f),
        a((argb >> 24) / 255.0f) {}
  D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}
  explicit D3DXCOLOR(const FLOAT* f) : r(f[0]), g(f[1]), b(f[2]), a(f[3]) {}
  operator DWORD() const {
    auto channel = [](FLOAT f) -> DWORD {
      // Not a number (a float texel of a file can be anything) goes to 0 like a negative.
      return f >= 1.0f ? 0xffu : !(f > 0.0f) ? 0u : (DWORD)(f * 255.0f + 0.5f);
    };
    return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
  }
  operator D3DCOLORVALUE() const { return {r, g, b, a}; }
  operator FLOAT*() { return &r; }
  operator const FLOAT*() const { return &r; }
  D3DXCOLOR& operator+=(const D3DXCOLOR& c) { r += c.r; g += c.g; b += c.b; a += c.a; return *this; }
  D3DXCOLOR& operator-=(const D3DXCOLOR& c) { r -= c.r; g -= c.g; b -= c.b; a -= c.a; return *this; }
  D3DXCOLOR& operator*=(FLOAT f) { r *= f; g *= f; b *= f; a *= f; return *this; }
  D3DXCOLOR& operator/=(FLOAT f) { return *this *= 1.0f / f; }
  D3DXCOLOR operator+() const { return *this; }
  D3DXCOLOR operator-() const { return {-r, -g, -b, -a}; }
  D3DXCOLOR operator+(const D3DXCOLOR& c) const { return {r + c.r, g + c.g, b + c.b, a + c.a}; }
  D3DXCOLOR operator-(const D3DXCOLOR& c) const { return {r - c.r, g - c.g, b - c.b, a - c.a}; }
  D3DXCOLOR operator*(FLOAT f) const { return {r * f, g * f, b * f, a * f}; }
  D3DXCOLOR operator/(FLOAT f) const { return *this * (1.0f / f); }
  friend D3DXCOLOR operator*(FLOAT f, const D3DXCOLOR& c) { return c * f; }
  bool operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
  bool operator!=(const D3DXCOLOR& c) const { return !(*this == c); }
};

static_assert(sizeof(D3DXVECTOR3) == 12 && sizeof(D3DXVECTOR4) == 16 && sizeof(D3DXMATRIX) == 64);
static_assert(sizeof(D3DXQUATERNION) == 16 && sizeof(D3DXPLANE) == 16 && sizeof(D3DXCOLOR) == 16);

typedef D3DXVECTOR2* LPD3DXVECTOR2;
typedef D3DXVECTOR3* LPD3DXVECTOR3;
typedef D3DXVECTOR4* LPD3DXVECTOR4;
typedef D3DXMATRIX* LPD3DXMATRIX;
typedef D3DXQUATERNION* LPD3DXQUATERNION;
typedef D3DXPLANE* LPD3DXPLANE;
typedef D3DXCOLOR* LPD3DXCOLOR;

// Every function below returns its output pointer (or null where it fails) and accepts an output
// that is also one of its inputs.

// Matrices.
ZKAPI D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
ZKAPI BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* m);
ZKAPI FLOAT D3DXMatrixDeterminant(const D3DXMATRIX* m);
// Null, with `out` untouched, when m is singular; the determinant is written either way.
ZKAPI D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, FLOAT* determinant, const D3DXMATRIX* m);
ZKAPI D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
ZKAPI D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, FLOAT x, FLOAT y, FLOAT z);
ZKAPI D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, FLOAT sx, FLOAT sy, FLOAT sz);
ZKAPI D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, FLOAT angle);
ZKAPI D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, FLOAT angle);
ZKAPI D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, FLOAT angle);
ZKAPI D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, FLOAT angle);
// Roll about Z, then pitch about X, then yaw about Y.
ZKAPI D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, FLOAT yaw, FLOAT pitch, FLOAT roll);
ZKAPI D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q);
// Splits m into scale, rotation and translation (m = S * R * T). Fails when a scale is zero.
ZKAPI HRESULT D3DXMatrixDecompose(D3DXVECTOR3* outScale, D3DXQUATERNION* outRotation,
                                  D3DXVECTOR3* outTranslation, const D3DXMATRIX* m);
ZKAPI D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                     const D3DXVECTOR3* up);
ZKAPI D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                     const D3DXVECTOR3* up);
ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, FLOAT fovY, FLOAT aspect, FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, FLOAT fovY, FLOAT aspect, FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveRH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                                   FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixPerspectiveOffCenterRH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                                   FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixOrthoRH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                             FLOAT zn, FLOAT zf);
ZKAPI D3DXMATRIX* D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                             FLOAT zn, FLOAT zf);

// Vectors.
ZKAPI FLOAT D3DXVec2Length(const D3DXVECTOR2* v);
ZKAPI FLOAT D3DXVec3Length(const D3DXVECTOR3* v);
ZKAPI FLOAT D3DXVec3LengthSq(const D3DXVECTOR3* v);
ZKAPI FLOAT D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
ZKAPI D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
ZKAPI D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
ZKAPI D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
ZKAPI D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, FLOAT s);
ZKAPI D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, FLOAT s);
// The zero vector stays zero.
ZKAPI D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
// (x, y, z, 1) * m, without dividing by w.
ZKAPI D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// (x, y, z, 1) * m, divided by its w.
ZKAPI D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// (x, y, z, 0) * m.
ZKAPI D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// The same over n vectors read and written every stride bytes; out may be in.
ZKAPI D3DXVECTOR4* D3DXVec3TransformArray(D3DXVECTOR4* out, UINT outStride, const D3DXVECTOR3* in, UINT inStride,
                                          const D3DXMATRIX* m, UINT n);
ZKAPI D3DXVECTOR3* D3DXVec3TransformCoordArray(D3DXVECTOR3* out, UINT outStride, const D3DXVECTOR3* in,
                                               UINT inStride, const D3DXMATRIX* m, UINT n);
ZKAPI D3DXVECTOR3* D3DXVec3TransformNormalArray(D3DXVECTOR3* out, UINT outStride, const D3DXVECTOR3* in,
                                                UINT inStride, const D3DXMATRIX* m, UINT n);
ZKAPI FLOAT D3DXVec4Length(const D3DXVECTOR4* v);
ZKAPI FLOAT D3DXVec4Dot(const D3DXVECTOR4* a, const D3DXVECTOR4* b);
ZKAPI D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v);
ZKAPI D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m);

// Quaternions (x, y, z, w with w the scalar part).
ZKAPI D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out);
ZKAPI FLOAT D3DXQuaternionLength(const D3DXQUATERNION* q);
ZKAPI FLOAT D3DXQuaternionDot(const D3DXQUATERNION* a, const D3DXQUATERNION* b);
ZKAPI D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q);
ZKAPI D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q);
ZKAPI D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, FLOAT angle);
ZKAPI D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, FLOAT yaw, FLOAT pitch,
                                                         FLOAT roll);
// The rotation of the upper 3x3 of m, which must be orthonormal.
ZKAPI D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m);
// Along the shorter arc from q1 (t = 0) to q2 (t = 1).
ZKAPI D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1,
                                          const D3DXQUATERNION* q2, FLOAT t);

// Planes.
ZKAPI D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
ZKAPI FLOAT D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v);
ZKAPI FLOAT D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v);

// Ray tests. IntersectTri hits faces from either side; the hit point is
// p0 + u * (p1 - p0) + v * (p2 - p0) = rayPos + dist * rayDir, dist >= 0.
ZKAPI BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                            const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, FLOAT* u, FLOAT* v,
                            FLOAT* dist);
// TRUE when the ray meets the axis-aligned box, also when it starts inside.
ZKAPI BOOL D3DXBoxBoundProbe(const D3DXVECTOR3* boxMin, const D3DXVECTOR3* boxMax,
                             const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir);

// IEEE half floats, rounded to nearest even.
ZKAPI D3DXFLOAT16* D3DXFloat32To16Array(D3DXFLOAT16* out, const FLOAT* in, UINT count);
ZKAPI FLOAT* D3DXFloat16To32Array(FLOAT* out, const D3DXFLOAT16* in, UINT count);

// A stack of matrices whose top is the current transform. The plain forms multiply the new
// matrix after the top (top = top * M); the Local forms before it (top = M * top).
DEFINE_GUID(IID_ID3DXMatrixStack, 0xc7885ba7, 0xf990, 0x4fe7, 0x92, 0x2d, 0x85, 0x15, 0xe4, 0x77, 0xdd, 0x85);

struct ID3DXMatrixStack : public IUnknown {
  // Fails, keeping the only matrix, when nothing was pushed.
  virtual HRESULT Pop() = 0;
  virtual HRESULT Push() = 0;
  virtual HRESULT LoadIdentity() = 0;
  virtual HRESULT LoadMatrix(const D3DXMATRIX* m) = 0;
  virtual HRESULT MultMatrix(const D3DXMATRIX* m) = 0;
  virtual HRESULT MultMatrixLocal(const D3DXMATRIX* m) = 0;
  virtual HRESULT RotateAxis(const D3DXVECTOR3* axis, FLOAT angle) = 0;
  virtual HRESULT RotateAxisLocal(const D3DXVECTOR3* axis, FLOAT angle) = 0;
  virtual HRESULT RotateYawPitchRoll(FLOAT yaw, FLOAT pitch, FLOAT roll) = 0;
  virtual HRESULT RotateYawPitchRollLocal(FLOAT yaw, FLOAT pitch, FLOAT roll) = 0;
  virtual HRESULT Scale(FLOAT x, FLOAT y, FLOAT z) = 0;
  virtual HRESULT ScaleLocal(FLOAT x, FLOAT y, FLOAT z) = 0;
  virtual HRESULT Translate(FLOAT x, FLOAT y, FLOAT z) = 0;
  virtual HRESULT TranslateLocal(FLOAT x, FLOAT y, FLOAT z) = 0;
  virtual D3DXMATRIX* GetTop() = 0;
};
typedef ID3DXMatrixStack* LPD3DXMATRIXSTACK;

// The new stack holds one identity matrix. Flags must be 0.
ZKAPI HRESULT D3DXCreateMatrixStack(DWORD flags, LPD3DXMATRIXSTACK* stack);
