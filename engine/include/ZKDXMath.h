#pragma once
// The engine-wide maths value types: CVector3, CVector4, CMatrix and CRay.
//
// They keep the memory layout of the Direct3D 9 vector and matrix records, so a pointer to one
// may be handed to anything that takes those records, and they are script value types of the
// same size. Everything here is inline: the game uses these types without linking the engine.
//
// Conventions: row vectors on the left (p' = p * M), translation in the fourth row, angles in
// radians. Arithmetic is single precision and follows the order of operations of the Direct3D
// maths routines, so results match bit for bit where those routines define them.
#include <cmath>

struct CMatrix;
struct CVector4;

struct CVector3 {
  float x, y, z;

  constexpr CVector3() : x(0.0f), y(0.0f), z(0.0f) {}
  constexpr CVector3(float fX, float fY, float fZ) : x(fX), y(fY), z(fZ) {}
  // Keeps x, y and z of the 4-vector; its w is dropped.
  explicit constexpr CVector3(const CVector4& v);

  // IEEE comparisons: a NaN component makes == false and != true.
  constexpr bool operator==(const CVector3& o) const { return x == o.x && y == o.y && z == o.z; }
  constexpr bool operator!=(const CVector3& o) const { return x != o.x || y != o.y || z != o.z; }

  constexpr CVector3 operator+(const CVector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  constexpr CVector3 operator-(const CVector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  constexpr CVector3 operator*(float s) const { return {x * s, y * s, z * s}; }
  // The vector as a point (w = 1) times the matrix; x, y, z of the product, not divided by w.
  CVector3 operator*(const CMatrix& m) const;

  float Length() const { return std::sqrt(x * x + y * y + z * z); }
  // In place. A zero-length vector stays (or becomes) the zero vector instead of NaNs.
  void Normalize();
};

struct CVector4 {
  float x, y, z, w;

  constexpr CVector4() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
  constexpr CVector4(float fX, float fY, float fZ, float fW) : x(fX), y(fY), z(fZ), w(fW) {}
  // A point: w = 1.
  explicit constexpr CVector4(const CVector3& v) : x(v.x), y(v.y), z(v.z), w(1.0f) {}

  constexpr bool operator==(const CVector4& o) const {
    return x == o.x && y == o.y && z == o.z && w == o.w;
  }
  constexpr bool operator!=(const CVector4& o) const {
    return x != o.x || y != o.y || z != o.z || w != o.w;
  }

  constexpr CVector4 operator+(const CVector4& o) const {
    return {x + o.x, y + o.y, z + o.z, w + o.w};
  }
  constexpr CVector4 operator-(const CVector4& o) const {
    return {x - o.x, y - o.y, z - o.z, w - o.w};
  }
  constexpr CVector4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
  // (x, y, z, w) times the matrix.
  CVector4 operator*(const CMatrix& m) const;

  float Length() const { return std::sqrt(x * x + y * y + z * z + w * w); }
  // In place, over all four components; a zero-length vector becomes the zero vector.
  void Normalize();
};

constexpr CVector3::CVector3(const CVector4& v) : x(v.x), y(v.y), z(v.z) {}

constexpr float dot(const CVector3& a, const CVector3& b) {
  return (a.z * b.z + a.y * b.y) + a.x * b.x;
}
constexpr float dot(const CVector4& a, const CVector4& b) {
  return a.w * b.w + a.z * b.z + a.y * b.y + a.x * b.x;
}
constexpr CVector3 cross(const CVector3& a, const CVector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// t is not clamped: values outside 0..1 extrapolate along the line.
constexpr CVector3 lerp(const CVector3& a, const CVector3& b, float t) {
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}
constexpr CVector4 lerp(const CVector4& a, const CVector4& b, float t) {
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
          a.w + (b.w - a.w) * t};
}
constexpr CVector4 sub(const CVector4& a, const CVector4& b) { return a - b; }

inline void CVector3::Normalize() {
  const float length = Length();
  if (length > 0.0f) {
    x /= length;
    y /= length;
    z /= length;
  } else if (length == 0.0f) {
    *this = CVector3();
  }
}

inline void CVector4::Normalize() {
  const float length = Length();
  if (length > 0.0f) {
    x /= length;
    y /= length;
    z /= length;
    w /= length;
  } else if (length == 0.0f) {
    x = y = z = w = 0.0f;
  }
}

struct CMatrix {
  union {
    struct {
      float _11, _12, _13, _14;
      float _21, _22, _23, _24;
      float _31, _32, _33, _34;
      float _41, _42, _43, _44;
    };
    float m[4][4];
  };

  // All sixteen elements 0, not the identity: callers set the transform they mean.
  constexpr CMatrix() : m{} {}
  constexpr CMatrix(float f11, float f12, float f13, float f14, float f21, float f22, float f23,
                    float f24, float f31, float f32, float f33, float f34, float f41, float f42,
                    float f43, float f44)
      : m{{f11, f12, f13, f14}, {f21, f22, f23, f24}, {f31, f32, f33, f34}, {f41, f42, f43, f44}} {}

  static constexpr CMatrix Identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  }

  // Set-operations overwrite all sixteen elements.
  void LoadIdentity() { *this = Identity(); }
  void SetMove(float x, float y, float z) {
    *this = Identity();
    _41 = x;
    _42 = y;
    _43 = z;
  }
  void SetRotateX(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *this = Identity();
    _22 = c;
    _23 = s;
    _32 = -s;
    _33 = c;
  }
  void SetRotateY(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *this = Identity();
    _11 = c;
    _13 = -s;
    _31 = s;
    _33 = c;
  }
  void SetRotateZ(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *this = Identity();
    _11 = c;
    _12 = s;
    _21 = -s;
    _22 = c;
  }
  void SetScale(float x, float y, float z) {
    *this = CMatrix();
    _11 = x;
    _22 = y;
    _33 = z;
    _44 = 1.0f;
  }

  // The names the engine core and the shading code use for the same set-operations.
  void SetIdentity() { LoadIdentity(); }
  void SetTranslation(float x, float y, float z) { SetMove(x, y, z); }
  void SetRotationY(float angle) { SetRotateY(angle); }
  void SetRotationZ(float angle) { SetRotateZ(angle); }

  // Incremental operations: the new step applies after the transform already held,
  // p * (M * T) = (p * M) * T.
  void Move(float x, float y, float z) { ApplyStep(&CMatrix::SetMove, x, y, z); }
  void Scale(float x, float y, float z) { ApplyStep(&CMatrix::SetScale, x, y, z); }
  void RotateX(float angle) { ApplyStep(&CMatrix::SetRotateX, angle); }
  void RotateY(float angle) { ApplyStep(&CMatrix::SetRotateY, angle); }
  void RotateZ(float angle) { ApplyStep(&CMatrix::SetRotateZ, angle); }

  // Product a * b, computed into a temporary so that the result may alias either operand.
  constexpr CMatrix operator*(const CMatrix& b) const {
    CMatrix product;
    for (int row = 0; row < 4; ++row)
      for (int col = 0; col < 4; ++col)
        product.m[row][col] = m[row][0] * b.m[0][col] + m[row][1] * b.m[1][col] +
                              m[row][2] * b.m[2][col] + m[row][3] * b.m[3][col];
    return product;
  }
  constexpr CMatrix operator*(float s) const {
    CMatrix result;
    for (int i = 0; i < 16; ++i) result.m[i / 4][i % 4] = m[i / 4][i % 4] * s;
    return result;
  }
  friend constexpr CMatrix operator*(float s, const CMatrix& matrix) { return matrix * s; }
  constexpr CMatrix operator+(const CMatrix& o) const {
    CMatrix result;
    for (int i = 0; i < 16; ++i) result.m[i / 4][i % 4] = m[i / 4][i % 4] + o.m[i / 4][i % 4];
    return result;
  }
  constexpr CMatrix operator-(const CMatrix& o) const {
    CMatrix result;
    for (int i = 0; i < 16; ++i) result.m[i / 4][i % 4] = m[i / 4][i % 4] - o.m[i / 4][i % 4];
    return result;
  }

  // Exact element comparison (NaN compares unequal).
  constexpr bool operator==(const CMatrix& o) const {
    for (int i = 0; i < 16; ++i)
      if (!(m[i / 4][i % 4] == o.m[i / 4][i % 4])) return false;
    return true;
  }
  constexpr bool operator!=(const CMatrix& o) const { return !(*this == o); }

  // Copies the sixteen elements unless the source is this matrix.
  CMatrix& Assign(const CMatrix& source) {
    if (&source != this) *this = source;
    return *this;
  }
  // out = this * other; out may be this or other.
  CMatrix& Multiply(CMatrix& out, const CMatrix& other) const {
    out = *this * other;
    return out;
  }

  void Transpose() {
    for (int row = 0; row < 4; ++row)
      for (int col = row + 1; col < 4; ++col) {
        const float t = m[row][col];
        m[row][col] = m[col][row];
        m[col][row] = t;
      }
  }
  // The inverse into *out; false, with *out untouched, when the matrix is singular.
  bool Inverse(CMatrix* out) const;
  // In place. A singular matrix has no inverse and is left unchanged.
  void Invert() { Inverse(this); }

 private:
  template <typename Setter, typename... Args>
  void ApplyStep(Setter set, Args... args) {
    CMatrix step;
    (step.*set)(args...);
    *this = *this * step;
  }
};

inline bool CMatrix::Inverse(CMatrix* out) const {
  // Cofactor expansion in double precision: the result is rounded once to float, and the
  // singularity test is not fooled by cancellation in single precision.
  double a[16];
  for (int i = 0; i < 16; ++i) a[i] = m[i / 4][i % 4];
  double inv[16];
  inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] +
           a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
  inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
           a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
  inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] +
           a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
  inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
            a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
  inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
           a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
  inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] +
           a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
  inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] -
           a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
  inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] +
            a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
  inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] +
           a[5] * a[3] * a[14] + a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
  inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] -
           a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
  inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] +
            a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
  inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] -
            a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
  inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] -
           a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
  inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] +
           a[4] * a[3] * a[10] + a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
  inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] -
            a[4] * a[3] * a[9] - a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
  inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] +
            a[4] * a[2] * a[9] + a[8] * a[1] * a[6] - a[8] * a[2] * a[5];

  const double determinant = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
  if (determinant == 0.0 || !std::isfinite(determinant)) return false;
  for (int i = 0; i < 16; ++i) out->m[i / 4][i % 4] = static_cast<float>(inv[i] / determinant);
  return true;
}

// The inverse as a new matrix; a singular matrix gives the zero matrix, so a caller that
// forgets to check never transforms by a half-inverted matrix.
inline CMatrix MatrixInverse(const CMatrix& matrix) {
  CMatrix inverse;
  matrix.Inverse(&inverse);
  return inverse;
}

inline CVector3 CVector3::operator*(const CMatrix& t) const {
  return {x * t._11 + y * t._21 + z * t._31 + t._41, x * t._12 + y * t._22 + z * t._32 + t._42,
          x * t._13 + y * t._23 + z * t._33 + t._43};
}

inline CVector4 CVector4::operator*(const CMatrix& t) const {
  return {x * t._11 + y * t._21 + z * t._31 + w * t._41,
          x * t._12 + y * t._22 + z * t._32 + w * t._42,
          x * t._13 + y * t._23 + z * t._33 + w * t._43,
          x * t._14 + y * t._24 + z * t._34 + w * t._44};
}

struct CRay {
  CVector3 vecOrigin;
  // Not normalised here: whoever fills the ray decides its length.
  CVector3 vecDirection;

  constexpr CRay() = default;
  constexpr CRay(const CVector3& origin, const CVector3& direction)
      : vecOrigin(origin), vecDirection(direction) {}

  // Moves the ray by the matrix in place: the origin as a point (w = 1), the direction as a
  // vector (w = 0, so the translation row does not apply). To bring a world-space ray into an
  // object's space, pass the inverse of the object's matrix.
  void Transform(const CMatrix& t) {
    vecOrigin = vecOrigin * t;
    const CVector3 d = vecDirection;
    vecDirection = {d.x * t._11 + d.y * t._21 + d.z * t._31, d.x * t._12 + d.y * t._22 + d.z * t._32,
                    d.x * t._13 + d.y * t._23 + d.z * t._33};
  }

  CVector3& GetOrigin() { return vecOrigin; }
  CVector3& GetDirection() { return vecDirection; }
  void SetOrigin(const CVector3& origin) { vecOrigin = origin; }
  void SetDirection(const CVector3& direction) { vecDirection = direction; }
};

static_assert(sizeof(CVector3) == 12 && alignof(CVector3) == 4);
static_assert(sizeof(CVector4) == 16 && alignof(CVector4) == 4);
static_assert(sizeof(CMatrix) == 64 && alignof(CMatrix) == 4);
static_assert(sizeof(CRay) == 24);
