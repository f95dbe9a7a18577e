// Scripts compute with CVector3, CVector4, CMatrix and CRay exactly as the engine's own
// operations do: each snippet's result is compared with the C++ operation on the same values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ScriptBindingsFixture.h"

using namespace AngelScript;

namespace {

constexpr float kQuarterTurn = 1.5707964f;  // written the same in the snippets

CMatrix Set(void (CMatrix::*set)(float), float angle) {
  CMatrix m;
  (m.*set)(angle);
  return m;
}

// The matrix the snippets build with kSample: rotated, moved and not affine.
const char* const kSample = "CMatrix m; m.SetRotateY(0.3f); m.Move(1, 2, 3); m._14 = 0.5f; ";
CMatrix Sample() {
  CMatrix m;
  m.SetRotateY(0.3f);
  m.Move(1, 2, 3);
  m._14 = 0.5f;
  return m;
}

float NaN() { return std::numeric_limits<float>::quiet_NaN(); }
CVector3 MakeVector3() { return {1.5f, -2.25f, 1e30f}; }
CVector4 MakeVector4() { return {0.125f, -7.0f, 3e-20f, 42.0f}; }

class MathTypesTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    ASSERT_GE(script.engine->RegisterGlobalFunction("float NaN()", asFUNCTION(NaN), asCALL_CDECL),
              0);
    ASSERT_GE(script.engine->RegisterGlobalFunction("CVector3 MakeVector3()",
                                                    asFUNCTION(MakeVector3), asCALL_CDECL),
              0);
    ASSERT_GE(script.engine->RegisterGlobalFunction("CVector4 MakeVector4()",
                                                    asFUNCTION(MakeVector4), asCALL_CDECL),
              0);
  }
};

TEST_F(MathTypesTest, Vector3SnippetsMatchTheEngineOperations) {
  const CVector3 a(1, 2, 3), b(5, 7, 11);
  CVector3 normalized(3, 4, 0);
  normalized.Normalize();
  CMatrix scaleThenMove;
  scaleThenMove.SetScale(2, 2, 2);
  scaleThenMove.Move(1, 0, 0);
  struct Case {
    std::string code;
    CVector3 expected;
  };
  const Case cases[] = {
      {"CVector3 v; return v;", CVector3(0, 0, 0)},
      {"return CVector3(CVector4(1, 2, 3, 4));", CVector3(1, 2, 3)},
      {"CVector3 a(1, 2, 3); return CVector3(a);", a},
      {"CVector3 v; v.y = 5; return v;", CVector3(0, 5, 0)},
      {"return cross(CVector3(1, 0, 0), CVector3(0, 1, 0));", CVector3(0, 0, 1)},
      {"return cross(CVector3(0, 1, 0), CVector3(1, 0, 0));", CVector3(0, 0, -1)},
      {"return lerp(CVector3(1, 2, 3), CVector3(5, 7, 11), 0);", a},
      {"return lerp(CVector3(1, 2, 3), CVector3(5, 7, 11), 2);", b * 2 - a},
      {"return CVector3(1, 2, 3) * 2.5f;", a * 2.5f},
      {"return CVector3(1, 2, 3) + CVector3(5, 7, 11);", a + b},
      {"return CVector3(1, 2, 3) - CVector3(5, 7, 11);", a - b},
      {"CVector3 v(3, 4, 0); v.Normalize(); return v;", normalized},
      {"CVector3 a(1, 2, 3); CVector3 b; (b = a).x = 9; return b;", CVector3(9, 2, 3)},
      {"CVector3 a(1, 2, 3); CVector3 b; (b = a).x = 9; return a;", a},
      {"CMatrix m; m.SetMove(1, 2, 3); return CVector3(0, 0, 0) * m;", CVector3(1, 2, 3)},
      {"CMatrix m; m.SetRotateX(1.5707964f); return CVector3(0, 1, 0) * m;",
       CVector3(0, 1, 0) * Set(&CMatrix::SetRotateX, kQuarterTurn)},
      {"CMatrix m; m.SetRotateZ(1.5707964f); return CVector3(1, 0, 0) * m;",
       CVector3(1, 0, 0) * Set(&CMatrix::SetRotateZ, kQuarterTurn)},
      {"CMatrix m; m.SetRotateY(1.5707964f); return CVector3(0, 0, 1) * m;",
       CVector3(0, 0, 1) * Set(&CMatrix::SetRotateY, kQuarterTurn)},
      {"CMatrix m; m.SetScale(2, 2, 2); m.Move(1, 0, 0); return CVector3(1, 0, 0) * m;",
       CVector3(3, 0, 0)},
      // The fourth column is ignored: no division by w.
      {std::string(kSample) + "return CVector3(1, 2, 3) * m;", a * Sample()},
      {"return MakeVector3();", MakeVector3()},
  };
  for (const Case& c : cases) EXPECT_EQ(script.Eval<CVector3>("CVector3", c.code), c.expected) << c.code;

  // The quarter turns land where they should, within float precision.
  const CVector3 turned = script.Eval<CVector3>(
      "CVector3", "CMatrix m; m.SetRotateX(1.5707964f); return CVector3(0, 1, 0) * m;");
  EXPECT_NEAR(turned.y, 0.0f, 1e-6f);
  EXPECT_NEAR(turned.z, 1.0f, 1e-6f);
}

TEST_F(MathTypesTest, Vector4SnippetsMatchTheEngineOperations) {
  const CVector4 a(1, 2, 3, 4), b(0.5f, 3, 1, 8);
  CVector4 normalized(1, 2, 2, 4);
  normalized.Normalize();
  struct Case {
    std::string code;
    CVector4 expected;
  };
  const std::string sample = kSample;
  const Case cases[] = {
      {"CVector4 v; return v;", CVector4(0, 0, 0, 1)},
      {"return CVector4(CVector3(1, 2, 3));", CVector4(1, 2, 3, 1)},
      {"CVector4 a(1, 2, 3, 4); return CVector4(a);", a},
      {"CVector4 v; v.w = 7; return v;", CVector4(0, 0, 0, 7)},
      {"return CVector4(1, 2, 3, 4) * 3.0f;", a * 3.0f},
      {"return CVector4(1, 2, 3, 4) + CVector4(0.5f, 3, 1, 8);", a + b},
      {"return CVector4(1, 2, 3, 4) - CVector4(0.5f, 3, 1, 8);", a - b},
      {"return sub(CVector4(1, 2, 3, 4), CVector4(0.5f, 3, 1, 8));", a - b},
      {"return lerp(CVector4(1, 2, 3, 4), CVector4(0.5f, 3, 1, 8), 2);", lerp(a, b, 2)},
      {"CVector4 v(1, 2, 2, 4); v.Normalize(); return v;", normalized},
      {"CVector4 a(1, 2, 3, 4); CVector4 b; (b = a).w = 9; return b;", CVector4(1, 2, 3, 9)},
      {sample + "return CVector4(1, 2, 3, 4) * m;", a * Sample()},
      {"return MakeVector4();", MakeVector4()},
  };
  for (const Case& c : cases) EXPECT_EQ(script.Eval<CVector4>("CVector4", c.code), c.expected) << c.code;
}

TEST_F(MathTypesTest, LengthsDotsAndComparisons) {
  EXPECT_EQ(script.Eval<float>("float", "return CVector3(3, 4, 0).Length();"), 5.0f);
  EXPECT_EQ(script.Eval<float>("float", "return CVector4(1, 1, 1, 1).Length();"), 2.0f);
  EXPECT_EQ(script.Eval<float>("float", "return dot(CVector3(1, 2, 3), CVector3(4, -5, 6));"),
            dot(CVector3(1, 2, 3), CVector3(4, -5, 6)));
  EXPECT_EQ(
      script.Eval<float>("float", "return dot(CVector4(1, 2, 3, 4), CVector4(4, -5, 6, 0.5f));"),
      dot(CVector4(1, 2, 3, 4), CVector4(4, -5, 6, 0.5f)));

  struct Case {
    const char* code;
    bool expected;
  };
  const Case cases[] = {
      {"return CVector3(1, 2, 3) == CVector3(1, 2, 3);", true},
      {"return CVector3(1, 2, 3) != CVector3(1, 2, 4);", true},
      {"CVector3 v(NaN(), 0, 0); return v == v;", false},
      {"CVector3 v(0, NaN(), 0); return v != v;", true},
      {"CVector4 v(0, 0, 0, NaN()); return v == v;", false},
      {"CVector4 v(0, 0, 0, NaN()); return v != v;", true},
      {"CVector4 a(1, 2, 3, 4); CVector4 b(0.5f, 3, 1, 8); return sub(a, b) == a - b;", true},
  };
  for (const Case& c : cases) EXPECT_EQ(script.Eval<bool>("bool", c.code), c.expected) << c.code;
}

TEST_F(MathTypesTest, OnlyTheListedOperatorsCompile) {
  const char* const refused[] = {
      "CVector3 v(1, 2, 3); CVector3 w = 2.0f * v;",
      "CVector4 v(1, 2, 3, 4); CVector4 w = 2.0f * v;",
      "CVector3 v(1, 2, 3); CVector3 w = v / 2.0f;",
      "CVector3 v(1, 2, 3); CVector3 w = -v;",
      "CVector3 v(1, 2, 3); v += v;",
      "CVector4 v; CVector4 w = cross(v, v);",
      "CVector4 v; CVector3 w = v;",
      "CVector3 v; CVector4 w; w = v;",
      "CMatrix m; CVector3 v = m * CVector3(1, 2, 3);",
      "CRay r; CVector3 v = r.vecOrigin;",
  };
  for (const char* code : refused) EXPECT_LT(script.Run(code), 0) << code;
  EXPECT_EQ(script.Run("CVector3 v(1, 2, 3); CVector3 w = v * 2.0f; CVector4 u; u = u * 2.0f;"),
            asEXECUTION_FINISHED)
      << script.messages;
}

TEST_F(MathTypesTest, MatrixSnippetsMatchTheEngineOperations) {
  const CMatrix m = Sample();
  CMatrix moved;
  moved.SetMove(1, 2, 3);
  CMatrix element;
  element._32 = 7;
  CMatrix other;
  other.SetRotateZ(0.7f);
  other.Scale(1, 2, 3);
  CMatrix inverse = m;
  inverse.Invert();
  const std::string sample = kSample;
  struct Case {
    std::string code;
    CMatrix expected;
  };
  const Case cases[] = {
      {"CMatrix m; return m;", CMatrix()},
      {"CMatrix m; m.LoadIdentity(); return m;", CMatrix::Identity()},
      {"CMatrix m; m.SetMove(1, 2, 3); return m;", moved},
      {"CMatrix m; m._32 = 7; return m;", element},
      {sample + "return CMatrix(m);", m},
      {sample + "m = m; return m;", m},
      {sample + "return m * 2.5f;", m * 2.5f},
      {sample + "return 2.5f * m;", m * 2.5f},
      {sample + "return m + m;", m * 2.0f},
      {sample + "return m - m;", CMatrix()},
      {sample + "CMatrix o; o.SetRotateZ(0.7f); o.Scale(1, 2, 3); return m * o;", m * other},
      {sample + "m.Transpose(); m.Transpose(); return m;", m},
      {sample + "m.Invert(); return m;", inverse},
      {"CMatrix m; m.LoadIdentity(); m.Invert(); return m;", CMatrix::Identity()},
  };
  for (const Case& c : cases) EXPECT_EQ(script.Eval<CMatrix>("CMatrix", c.code), c.expected) << c.code;
}

TEST_F(MathTypesTest, RaySnippetsMatchTheEngineOperations) {
  const CVector3 origin(1, 0, 0), direction(0, 1, 0);
  const std::string ray = "CRay r(CVector3(1, 0, 0), CVector3(0, 1, 0)); CMatrix m; ";
  auto transformed = [&](void (CMatrix::*set)(float, float, float), float x, float y, float z) {
    CMatrix m;
    (m.*set)(x, y, z);
    CRay r(origin, direction);
    r.Transform(m);
    return r;
  };
  CRay rotated(origin, direction);
  rotated.Transform(Set(&CMatrix::SetRotateZ, kQuarterTurn));
  struct Case {
    std::string code;
    CRay expected;
  };
  const Case cases[] = {
      {"CRay r; return r;", CRay()},
      {ray + "return CRay(r);", CRay(origin, direction)},
      {ray + "CRay s; s = r; return s;", CRay(origin, direction)},
      {ray + "m.SetMove(5, 0, 0); r.Transform(m); return r;",
       transformed(&CMatrix::SetMove, 5, 0, 0)},
      {ray + "m.SetRotateZ(1.5707964f); r.Transform(m); return r;", rotated},
      {ray + "m.SetScale(2, 2, 2); r.Transform(m); return r;",
       transformed(&CMatrix::SetScale, 2, 2, 2)},
      {ray + "r.GetOrigin().y = 4; return r;", CRay(CVector3(1, 4, 0), direction)},
      {ray + "r.SetDirection(CVector3(0, 0, 2)); return r;", CRay(origin, CVector3(0, 0, 2))},
  };
  for (const Case& c : cases) {
    const CRay result = script.Eval<CRay>("CRay", c.code);
    EXPECT_EQ(result.vecOrigin, c.expected.vecOrigin) << c.code;
    EXPECT_EQ(result.vecDirection, c.expected.vecDirection) << c.code;
  }
  // A translation moves the origin only; a scaling doubles the direction and leaves it so.
  EXPECT_EQ(transformed(&CMatrix::SetMove, 5, 0, 0).vecOrigin, CVector3(6, 0, 0));
  EXPECT_EQ(transformed(&CMatrix::SetScale, 2, 2, 2).vecDirection.Length(), 2.0f);
  EXPECT_EQ(script.Eval<CVector3>(
                "CVector3", "CRay r; CVector3 v(1, 2, 3); r.SetOrigin(v); r.GetOrigin().x = 9; "
                            "return v;"),
            CVector3(1, 2, 3));
}

}  // namespace
