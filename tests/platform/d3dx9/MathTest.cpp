// D3DX maths against hand-computed values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "d3dx9.h"

namespace {

constexpr float kTolerance = 1e-6f;
const float kRoot2 = std::sqrt(0.5f);

void ExpectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, const std::string& what = "") {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      EXPECT_NEAR(actual.m[i][j], expected.m[i][j], kTolerance) << what << " at row " << i << " column " << j;
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, const std::string& what = "") {
  EXPECT_NEAR(actual.x, expected.x, kTolerance) << what;
  EXPECT_NEAR(actual.y, expected.y, kTolerance) << what;
  EXPECT_NEAR(actual.z, expected.z, kTolerance) << what;
}

void ExpectNear(const D3DXQUATERNION& actual, const D3DXQUATERNION& expected, const std::string& what = "") {
  EXPECT_NEAR(actual.x, expected.x, kTolerance) << what;
  EXPECT_NEAR(actual.y, expected.y, kTolerance) << what;
  EXPECT_NEAR(actual.z, expected.z, kTolerance) << what;
  EXPECT_NEAR(actual.w, expected.w, kTolerance) << what;
}

// Address of a temporary that lives to the end of the full expression.
template <typename T>
const T* Ptr(const T& value) {
  return &value;
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, const D3DXVECTOR3& v) {
  D3DXVECTOR3 r;
  D3DXVec3TransformCoord(&r, &v, &m);
  return r;
}

const D3DXMATRIX kA(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
const D3DXMATRIX kB(2, 0, 0, 1, 0, 3, 0, 0, 1, 0, 1, 0, 0, 2, 0, 1);
// kA * kB, worked out by hand row by row.
const D3DXMATRIX kAB(5, 14, 3, 5, 17, 34, 7, 13, 29, 54, 11, 21, 41, 74, 15, 29);

}  // namespace

TEST(D3DXMatrix, MultiplyIsRowTimesColumnAndAcceptsAliasedOutputs) {
  D3DXMATRIX out;
  ExpectNear(*D3DXMatrixMultiply(&out, &kA, &kB), kAB, "fresh output");
  D3DXMATRIX a = kA;
  ExpectNear(*D3DXMatrixMultiply(&a, &a, &kB), kAB, "output is the first operand");
  D3DXMATRIX b = kB;
  ExpectNear(*D3DXMatrixMultiply(&b, &kA, &b), kAB, "output is the second operand");
  D3DXMATRIX square = kB, expected;
  D3DXMatrixMultiply(&expected, &kB, &kB);
  ExpectNear(*D3DXMatrixMultiply(&square, &square, &square), expected, "all three the same");
}

TEST(D3DXMatrix, InverseOfKnownMatricesWithDeterminant) {
  struct Case {
    D3DXMATRIX m, inverse;
    float determinant;
  } cases[] = {
      {D3DXMATRIX(2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 1, 2, 3, 1),
       D3DXMATRIX(0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.375f, 1), 64.0f},
      {D3DXMATRIX(1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1),
       D3DXMATRIX(-2, 1, 0, 0, 1.5f, -0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), -2.0f},
  };
  for (const Case& c : cases) {
    D3DXMATRIX out;
    float det = 0;
    ASSERT_EQ(D3DXMatrixInverse(&out, &det, &c.m), &out);
    ExpectNear(out, c.inverse);
    EXPECT_FLOAT_EQ(det, c.determinant);
    EXPECT_FLOAT_EQ(D3DXMatrixDeterminant(&c.m), c.determinant);
    D3DXMATRIX inPlace = c.m;
    ASSERT_NE(D3DXMatrixInverse(&inPlace, nullptr, &inPlace), nullptr);
    ExpectNear(inPlace, c.inverse, "in place");
  }
}

TEST(D3DXMatrix, SingularInverseReturnsNullAndLeavesTheOutputAlone) {
  const D3DXMATRIX singular(1, 2, 3, 4, 1, 2, 3, 4, 0, 0, 1, 0, 0, 0, 0, 1);
  D3DXMATRIX out = kA;
  float det = 99.0f;
  EXPECT_EQ(D3DXMatrixInverse(&out, &det, &singular), nullptr);
  EXPECT_EQ(out, kA);
  EXPECT_EQ(det, 0.0f);
}

TEST(D3DXMatrix, TransposeIdentityAndElementaryTransforms) {
  D3DXMATRIX t = kA;
  D3DXMatrixTranspose(&t, &t);
  EXPECT_EQ(t, D3DXMATRIX(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
  D3DXMATRIX m;
  EXPECT_TRUE(D3DXMatrixIsIdentity(D3DXMatrixIdentity(&m)));

  const float q = D3DX_PI / 2;
  struct Case {
    const char* name;
    D3DXMATRIX m;
    D3DXVECTOR3 in, out;
  } cases[] = {
      {"translation", *D3DXMatrixTranslation(&m, 1, 2, 3), {1, 1, 1}, {2, 3, 4}},
      {"scaling", *D3DXMatrixScaling(&m, 2, 3, 4), {1, 1, 1}, {2, 3, 4}},
      {"X turns y to z", *D3DXMatrixRotationX(&m, q), {0, 1, 0}, {0, 0, 1}},
      {"Y turns z to x", *D3DXMatrixRotationY(&m, q), {0, 0, 1}, {1, 0, 0}},
      {"Z turns x to y", *D3DXMatrixRotationZ(&m, q), {1, 0, 0}, {0, 1, 0}},
      {"axis (0,0,5) is Z", *D3DXMatrixRotationAxis(&m, Ptr(D3DXVECTOR3(0, 0, 5)), q), {1, 0, 0}, {0, 1, 0}},
      {"axis (1,1,1) cycles x to y",
       *D3DXMatrixRotationAxis(&m, Ptr(D3DXVECTOR3(1, 1, 1)), 2 * D3DX_PI / 3),
       {1, 0, 0},
       {0, 1, 0}},
      // Roll first, then pitch, then yaw.
      {"yaw and pitch: pitch first", *D3DXMatrixRotationYawPitchRoll(&m, q, q, 0), {0, 0, 1}, {0, -1, 0}},
      {"pitch and roll: roll first", *D3DXMatrixRotationYawPitchRoll(&m, 0, q, q), {1, 0, 0}, {0, 0, 1}},
      {"quaternion about Y",
       *D3DXMatrixRotationQuaternion(&m, Ptr(D3DXQUATERNION(0, kRoot2, 0, kRoot2))),
       {0, 0, 1},
       {1, 0, 0}},
  };
  for (const Case& c : cases) ExpectNear(Apply(c.m, c.in), c.out, c.name);
}

TEST(D3DXMatrix, LookAtPlacesTheEyeAtTheOriginFacingTheTarget) {
  D3DXMATRIX m;
  D3DXVECTOR3 up(0, 1, 0);
  D3DXMatrixLookAtLH(&m, Ptr(D3DXVECTOR3(0, 0, -5)), Ptr(D3DXVECTOR3(0, 0, 0)), &up);
  ExpectNear(m, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1));
  D3DXMatrixLookAtLH(&m, Ptr(D3DXVECTOR3(5, 0, 0)), Ptr(D3DXVECTOR3(0, 0, 0)), &up);
  ExpectNear(m, D3DXMATRIX(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 5, 1));
  // Right-handed: what lies ahead has negative z.
  D3DXMatrixLookAtRH(&m, Ptr(D3DXVECTOR3(0, 0, 5)), Ptr(D3DXVECTOR3(0, 0, 0)), &up);
  ExpectNear(Apply(m, D3DXVECTOR3(0, 0, 0)), D3DXVECTOR3(0, 0, -5));
  ExpectNear(Apply(m, D3DXVECTOR3(1, 0, 5)), D3DXVECTOR3(1, 0, 0));
}

TEST(D3DXMatrix, ProjectionsMapTheViewVolumeToClipSpace) {
  // Each projection takes a corner of its near plane to (1, 1, 0) and the opposite corner of
  // its far plane to (-1, -1, 1).
  D3DXMATRIX m;
  struct Case {
    const char* name;
    D3DXMATRIX m;
    D3DXVECTOR3 nearCorner, farCorner;
  } cases[] = {
      {"PerspectiveFovLH", *D3DXMatrixPerspectiveFovLH(&m, D3DX_PI / 2, 2, 1, 11), {2, 1, 1}, {-22, -11, 11}},
      {"PerspectiveFovRH", *D3DXMatrixPerspectiveFovRH(&m, D3DX_PI / 2, 2, 1, 11), {2, 1, -1}, {-22, -11, -11}},
      {"PerspectiveLH", *D3DXMatrixPerspectiveLH(&m, 4, 2, 1, 11), {2, 1, 1}, {-22, -11, 11}},
      {"PerspectiveRH", *D3DXMatrixPerspectiveRH(&m, 4, 2, 1, 11), {2, 1, -1}, {-22, -11, -11}},
      {"PerspectiveOffCenterLH", *D3DXMatrixPerspectiveOffCenterLH(&m, 0, 4, 0, 2, 1, 11), {4, 2, 1}, {0, 0, 11}},
      {"PerspectiveOffCenterRH", *D3DXMatrixPerspectiveOffCenterRH(&m, 0, 4, 0, 2, 1, 11), {4, 2, -1}, {0, 0, -11}},
      {"OrthoLH", *D3DXMatrixOrthoLH(&m, 4, 2, 1, 11), {2, 1, 1}, {-2, -1, 11}},
      {"OrthoRH", *D3DXMatrixOrthoRH(&m, 4, 2, 1, 11), {2, 1, -1}, {-2, -1, -11}},
      {"OrthoOffCenterLH", *D3DXMatrixOrthoOffCenterLH(&m, 0, 800, 0, 600, 0, 10), {800, 600, 0}, {0, 0, 10}},
      {"OrthoOffCenterRH", *D3DXMatrixOrthoOffCenterRH(&m, 0, 800, 0, 600, 0, 10), {800, 600, 0}, {0, 0, -10}},
  };
  for (const Case& c : cases) {
    ExpectNear(Apply(c.m, c.nearCorner), D3DXVECTOR3(1, 1, 0), std::string(c.name) + " near");
    ExpectNear(Apply(c.m, c.farCorner), D3DXVECTOR3(-1, -1, 1), std::string(c.name) + " far");
  }
  // The menus' 2D set-up, element by element.
  ExpectNear(*D3DXMatrixOrthoOffCenterRH(&m, 0, 800, 0, 600, 0, 10),
             D3DXMATRIX(0.0025f, 0, 0, 0, 0, 1.0f / 300, 0, 0, 0, 0, -0.1f, 0, -1, -1, 0, 1));
  ExpectNear(*D3DXMatrixPerspectiveFovLH(&m, D3DX_PI / 2, 2, 1, 11),
             D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.1f, 1, 0, 0, -1.1f, 0));
}

TEST(D3DXMatrix, DecomposeSplitsScaleRotationAndTranslation) {
  D3DXMATRIX s, r, t;
  D3DXMatrixScaling(&s, 2, 3, 4);
  D3DXMatrixRotationY(&r, D3DX_PI / 2);
  D3DXMatrixTranslation(&t, 5, 6, 7);
  D3DXMATRIX m = s * r * t;
  D3DXVECTOR3 scale, translation;
  D3DXQUATERNION rotation;
  ASSERT_EQ(D3DXMatrixDecompose(&scale, &rotation, &translation, &m), S_OK);
  ExpectNear(scale, D3DXVECTOR3(2, 3, 4));
  ExpectNear(rotation, D3DXQUATERNION(0, kRoot2, 0, kRoot2));
  ExpectNear(translation, D3DXVECTOR3(5, 6, 7));

  D3DXMatrixScaling(&s, 0, 1, 1);
  EXPECT_EQ(D3DXMatrixDecompose(&scale, &rotation, &translation, &s), D3DERR_INVALIDCALL);
}

TEST(D3DXVector, NormalizeLengthDotCross) {
  D3DXVECTOR3 v(3, 4, 0);
  EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5);
  ExpectNear(*D3DXVec3Normalize(&v, &v), D3DXVECTOR3(0.6f, 0.8f, 0));
  D3DXVECTOR3 zero(0, 0, 0);
  EXPECT_EQ(*D3DXVec3Normalize(&v, &zero), zero);
  D3DXVECTOR4 v4(0, 0, 0, 2), zero4(0, 0, 0, 0);
  EXPECT_EQ(*D3DXVec4Normalize(&v4, &v4), D3DXVECTOR4(0, 0, 0, 1));
  EXPECT_EQ(*D3DXVec4Normalize(&v4, &zero4), zero4);
  D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6);
  EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 32);
  EXPECT_EQ(*D3DXVec3Cross(&a, &a, &b), D3DXVECTOR3(-3, 6, -3));
  D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), z;
  EXPECT_EQ(*D3DXVec3Cross(&z, &x, &y), D3DXVECTOR3(0, 0, 1));
}

TEST(D3DXVector, TransformVariantsTreatWAsDocumented) {
  // A matrix with a translation and a non-trivial fourth column.
  const D3DXMATRIX m(1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 2);
  const D3DXVECTOR3 v(1, 2, 3);
  D3DXVECTOR4 point;
  D3DXVec3Transform(&point, &v, &m);
  EXPECT_EQ(point, D3DXVECTOR4(11, 22, 33, 3));  // w = 1 in, no division
  D3DXVECTOR3 coord, normal;
  ExpectNear(*D3DXVec3TransformCoord(&coord, &v, &m), D3DXVECTOR3(11.0f / 3, 22.0f / 3, 11));
  EXPECT_EQ(*D3DXVec3TransformNormal(&normal, &v, &m), D3DXVECTOR3(1, 2, 3));  // w = 0: no translation
  D3DXVECTOR4 v4(1, 2, 3, 0.5f);
  EXPECT_EQ(*D3DXVec4Transform(&v4, &v4, &m), D3DXVECTOR4(6, 12, 18, 2));
}

TEST(D3DXVector, ArrayTransformsMatchTheOneVectorCallsAtAnyStride) {
  const D3DXMATRIX m(1, 0.5f, 0, 1, 0, 1, 0.25f, 0, 0.75f, 0, 1, 0.5f, 10, 20, 30, 2);
  // Vectors inside larger records (a 24-byte vertex), written to packed outputs.
  struct Vertex {
    D3DXVECTOR3 position;
    DWORD colour;
    float u, v;
  };
  std::vector<Vertex> vertices;
  for (int i = 0; i < 7; ++i) vertices.push_back({D3DXVECTOR3(i * 1.5f, -i * 0.25f, i + 0.125f), 0, 0, 0});
  std::vector<D3DXVECTOR3> coords(7), normals(7);
  std::vector<D3DXVECTOR4> points(7);
  EXPECT_EQ(D3DXVec3TransformCoordArray(coords.data(), sizeof(D3DXVECTOR3), &vertices[0].position, sizeof(Vertex), &m, 7),
            coords.data());
  D3DXVec3TransformNormalArray(normals.data(), sizeof(D3DXVECTOR3), &vertices[0].position, sizeof(Vertex), &m, 7);
  D3DXVec3TransformArray(points.data(), sizeof(D3DXVECTOR4), &vertices[0].position, sizeof(Vertex), &m, 7);
  for (int i = 0; i < 7; ++i) {
    D3DXVECTOR3 coord, normal;
    D3DXVECTOR4 point;
    EXPECT_EQ(coords[i], *D3DXVec3TransformCoord(&coord, &vertices[i].position, &m)) << i;
    EXPECT_EQ(normals[i], *D3DXVec3TransformNormal(&normal, &vertices[i].position, &m)) << i;
    EXPECT_EQ(points[i], *D3DXVec3Transform(&point, &vertices[i].position, &m)) << i;
  }
  // In place over the records, and a count of 0 touching nothing.
  D3DXVec3TransformCoordArray(&vertices[0].position, sizeof(Vertex), &vertices[0].position, sizeof(Vertex), &m, 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(vertices[i].position, coords[i]) << i;
  D3DXVECTOR3 untouched(5, 6, 7);
  D3DXVec3TransformCoordArray(&untouched, 12, &untouched, 12, &m, 0);
  EXPECT_EQ(untouched, D3DXVECTOR3(5, 6, 7));
}

TEST(D3DXQuaternion, MultiplyAppliesTheFirstOperandFirst) {
  D3DXQUATERNION aboutY(0, kRoot2, 0, kRoot2), aboutX(kRoot2, 0, 0, kRoot2), product;
  ExpectNear(*D3DXQuaternionMultiply(&product, &aboutY, &aboutX), D3DXQUATERNION(0.5f, 0.5f, 0.5f, 0.5f));
  D3DXMATRIX m;
  D3DXMatrixRotationQuaternion(&m, &product);
  ExpectNear(Apply(m, D3DXVECTOR3(0, 0, 1)), D3DXVECTOR3(1, 0, 0), "Y turns z to x, then X keeps x");
  D3DXQuaternionMultiply(&product, &aboutX, &aboutY);
  D3DXMatrixRotationQuaternion(&m, &product);
  ExpectNear(Apply(m, D3DXVECTOR3(0, 0, 1)), D3DXVECTOR3(0, -1, 0), "X turns z to -y, then Y keeps it");
  // Aliased output, and the operator that follows the same order.
  D3DXQUATERNION q = aboutY;
  D3DXQuaternionMultiply(&q, &q, &aboutX);
  ExpectNear(q, aboutY * aboutX);
  ExpectNear(q, D3DXQUATERNION(0.5f, 0.5f, 0.5f, 0.5f));
}

TEST(D3DXQuaternion, YawPitchRollAndAxisAgreeWithTheMatrices) {
  const float angles[][3] = {{0.3f, -0.7f, 1.1f}, {D3DX_PI / 2, D3DX_PI / 2, 0}, {-2.0f, 0.5f, -0.25f}};
  for (const auto& a : angles) {
    D3DXQUATERNION q;
    D3DXMATRIX fromQuaternion, expected;
    D3DXQuaternionRotationYawPitchRoll(&q, a[0], a[1], a[2]);
    D3DXMatrixRotationQuaternion(&fromQuaternion, &q);
    D3DXMatrixRotationYawPitchRoll(&expected, a[0], a[1], a[2]);
    ExpectNear(fromQuaternion, expected, "yaw " + std::to_string(a[0]));
  }
  D3DXQUATERNION q;
  ExpectNear(*D3DXQuaternionRotationAxis(&q, Ptr(D3DXVECTOR3(0, 0, 2)), D3DX_PI), D3DXQUATERNION(0, 0, 1, 0));
  ExpectNear(*D3DXQuaternionRotationYawPitchRoll(&q, D3DX_PI / 2, 0, 0), D3DXQUATERNION(0, kRoot2, 0, kRoot2));
}

TEST(D3DXQuaternion, SlerpTakesTheShorterArcAndNormalizeScales) {
  D3DXQUATERNION identity, quarterZ, out;
  D3DXQuaternionIdentity(&identity);
  D3DXQuaternionRotationAxis(&quarterZ, Ptr(D3DXVECTOR3(0, 0, 1)), D3DX_PI / 2);
  const D3DXQUATERNION eighthZ(0, 0, std::sin(D3DX_PI / 8), std::cos(D3DX_PI / 8));
  ExpectNear(*D3DXQuaternionSlerp(&out, &identity, &quarterZ, 0.5f), eighthZ, "halfway");
  D3DXQUATERNION negated = -quarterZ;
  ExpectNear(*D3DXQuaternionSlerp(&out, &identity, &negated, 0.5f), eighthZ, "same rotation, other sign");
  ExpectNear(*D3DXQuaternionSlerp(&out, &identity, &quarterZ, 0.0f), identity, "start");
  ExpectNear(*D3DXQuaternionSlerp(&out, &identity, &quarterZ, 1.0f), quarterZ, "end");
  ExpectNear(*D3DXQuaternionSlerp(&out, &quarterZ, &quarterZ, 0.3f), quarterZ, "equal ends");

  D3DXQUATERNION q(0, 0, 0, 2), zero(0, 0, 0, 0);
  EXPECT_EQ(*D3DXQuaternionNormalize(&q, &q), identity);
  EXPECT_EQ(*D3DXQuaternionNormalize(&q, &zero), zero);
}

TEST(D3DXGeometry, PlaneNormalizeScalesAllFourTerms) {
  D3DXPLANE p(0, 3, 4, 10);
  D3DXPlaneNormalize(&p, &p);
  EXPECT_NEAR(p.a, 0, kTolerance);
  EXPECT_NEAR(p.b, 0.6f, kTolerance);
  EXPECT_NEAR(p.c, 0.8f, kTolerance);
  EXPECT_NEAR(p.d, 2.0f, kTolerance);
}

TEST(D3DXGeometry, IntersectTriReportsBarycentricsAndDistanceFromEitherSide) {
  const D3DXVECTOR3 p0(0, 0, 0), p1(1, 0, 0), p2(0, 1, 0);
  struct Case {
    const char* name;
    D3DXVECTOR3 origin, direction;
    bool hit;
    float u, v, dist;
  } cases[] = {
      {"front", {0.25f, 0.5f, -2}, {0, 0, 1}, true, 0.25f, 0.5f, 2},
      {"back face", {0.25f, 0.5f, 2}, {0, 0, -1}, true, 0.25f, 0.5f, 2},
      {"distance in direction lengths", {0.25f, 0.5f, -2}, {0, 0, 2}, true, 0.25f, 0.5f, 1},
      {"corner p1", {1, 0, -1}, {0, 0, 1}, true, 1, 0, 1},
      {"outside the edge p1-p2", {0.75f, 0.5f, -2}, {0, 0, 1}, false, 0, 0, 0},
      {"outside u < 0", {-0.1f, 0.5f, -2}, {0, 0, 1}, false, 0, 0, 0},
      {"triangle behind the origin", {0.25f, 0.5f, 2}, {0, 0, 1}, false, 0, 0, 0},
      {"parallel", {0.25f, 0.5f, -2}, {1, 0, 0}, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    float u = -1, v = -1, dist = -1;
    EXPECT_EQ(D3DXIntersectTri(&p0, &p1, &p2, &c.origin, &c.direction, &u, &v, &dist), c.hit ? TRUE : FALSE) << c.name;
    if (!c.hit) continue;
    EXPECT_NEAR(u, c.u, kTolerance) << c.name;
    EXPECT_NEAR(v, c.v, kTolerance) << c.name;
    EXPECT_NEAR(dist, c.dist, kTolerance) << c.name;
  }
}

TEST(D3DXGeometry, BoxBoundProbe) {
  const D3DXVECTOR3 lo(-1, -1, -1), hi(1, 1, 1);
  struct Case {
    const char* name;
    D3DXVECTOR3 origin, direction;
    BOOL hit;
  } cases[] = {
      {"origin inside", {0, 0, 0}, {0, 1, 0}, TRUE},
      {"origin inside, pointing away", {0.5f, 0.5f, 0.5f}, {1, 1, 1}, TRUE},
      {"towards the box", {-5, 0, 0}, {1, 0, 0}, TRUE},
      {"away from the box", {-5, 0, 0}, {-1, 0, 0}, FALSE},
      {"passes beside", {-5, 3, 0}, {1, 0, 0}, FALSE},
      {"diagonal through", {-5, -5, 0}, {1, 1, 0}, TRUE},
      {"diagonal past the corner", {-5, 1.5f, 0}, {1, 1, 0}, FALSE},
      {"zero component outside its slab", {0, 0, 5}, {1, 1, 0}, FALSE},
  };
  for (const Case& c : cases) EXPECT_EQ(D3DXBoxBoundProbe(&lo, &hi, &c.origin, &c.direction), c.hit) << c.name;
}

TEST(D3DXGeometry, Float32To16RoundsToNearestEven) {
  struct Case {
    float in;
    WORD out;
  } cases[] = {
      {0.0f, 0x0000},
      {-0.0f, 0x8000},
      {1.0f, 0x3c00},
      {-2.0f, 0xc000},
      {0.1f, 0x2e66},
      {65504.0f, 0x7bff},
      {65520.0f, 0x7c00},
      {INFINITY, 0x7c00},
      {std::ldexp(1.0f, -24), 0x0001},
      {std::ldexp(1.0f, -25), 0x0000},                                 // tie between 0 and the smallest: even
      {std::ldexp(3.0f, -25), 0x0002},                                 // tie between 1 and 2 subnormal units
      {1.0f + std::ldexp(1.0f, -11), 0x3c00},                          // tie: stays even
      {1.0f + std::ldexp(3.0f, -11), 0x3c02},                          // tie: rounds up to even
      {1.0f + std::ldexp(1.0f, -11) + std::ldexp(1.0f, -20), 0x3c01},  // above the tie
      {std::ldexp(2047.0f, -25), 0x0400},                              // carries from subnormal to normal
  };
  std::vector<float> in;
  for (const Case& c : cases) in.push_back(c.in);
  std::vector<D3DXFLOAT16> out(in.size());
  D3DXFloat32To16Array(out.data(), in.data(), (UINT)in.size());
  for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(out[i].value, cases[i].out) << "value " << in[i];

  std::vector<float> back(in.size());
  D3DXFloat16To32Array(back.data(), out.data(), (UINT)out.size());
  EXPECT_EQ(back[2], 1.0f);
  EXPECT_EQ(back[5], 65504.0f);
  EXPECT_EQ(back[8], std::ldexp(1.0f, -24));
  EXPECT_TRUE(std::signbit(back[1]));
}

TEST(D3DXColor, ConvertsToAndFromArgb) {
  D3DXCOLOR c(0x80ff4000u);
  EXPECT_FLOAT_EQ(c.a, 128 / 255.0f);
  EXPECT_FLOAT_EQ(c.r, 1.0f);
  EXPECT_FLOAT_EQ(c.g, 64 / 255.0f);
  EXPECT_EQ((DWORD)c, 0x80ff4000u);
  EXPECT_EQ((DWORD)D3DXCOLOR(2.0f, -1.0f, 0.5f, 1.0f), 0xffff0080u);  // clamped, rounded
  EXPECT_EQ((DWORD)D3DXCOLOR(std::nanf(""), 1.0f, -std::nanf(""), 1.0f), 0xff00ff00u);
}
