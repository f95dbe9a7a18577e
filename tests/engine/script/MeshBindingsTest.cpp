// Meshes, their boxes and the world-object operations as scripts drive them, on two cubes of a
// scene built in code: what the glue adds to each operation, copies where the engine's answer
// lives in a shared buffer, and null handles stopped before they reach the engine.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FakeMeshShaderLibrary.h"
#include "SceneBindingsFixture.h"
#include "scene/Mesh.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

using Pairs = std::vector<std::pair<UINT, UINT>>;

class MeshBindingsTest : public SceneBindingsTest {
 protected:
  void SetUp() override {
    SceneBindingsTest::SetUp();
    a = bench.AddCube(scene, "a", {0, 0, 0});
    // Overlapping a's corner, so that some triangles meet.
    b = bench.AddCube(scene, "b", {1.5f, 1.5f, 0.5f});
    Global("CMeshInterface@ g_a", static_cast<CMeshInterface*>(a));
    Global("CMeshInterface@ g_b", static_cast<CMeshInterface*>(b));
    Global("CWorldObjectInterface@ g_aObject", static_cast<CWorldObjectInterface*>(a));
    Global("CWorldObjectInterface@ g_first", scene->GetWorldObjects());
    Global("CMeshBoundVolumeInterface@ g_box", a->GetBoundingBox(1));
  }

  // The pairs of a triangle query asked of the engine directly.
  Pairs EnginePairs(CMesh* first, CMesh* second) {
    TrianglePair* pairs = nullptr;
    UINT count = 0;
    first->CheckCollisionWith(second, 3, &count, &pairs);
    Pairs out;
    for (UINT i = 0; i < count; ++i) out.emplace_back(pairs[i].dwIdOne, pairs[i].dwIdTwo);
    return out;
  }

  CMesh* a = nullptr;
  CMesh* b = nullptr;
};

TEST_F(MeshBindingsTest, FixedArgumentsAndCopiedNames) {
  EXPECT_EQ(Handle("CSceneInterface@", "return g_a.GetScene();"),
            static_cast<CSceneInterface*>(scene));
  EXPECT_EQ(Handle("CMeshBoundVolumeInterface@", "return g_a.GetBoundingBox();"),
            a->GetBoundingBox(1));
  EXPECT_EQ(Handle("CMeshInterface@", "return g_a.GetMorphedTo();"), a->GetMorphedTo(1));

  EXPECT_EQ(script.Eval<bstr>("bstr", "bstr n = g_a.GetName(); n += \"2\"; return n;"), "a2");
  EXPECT_STREQ(a->GetName(), "a");
  Run("g_a.SetName(\"renamed\");");
  EXPECT_STREQ(a->GetName(), "renamed");
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_a.GetShaderFileName();"), "");

  // No chooser: the shader library picks.
  FakeMeshShaderLibrary shaders;
  bench.context->ports.meshShaders.Set(&shaders);
  shaders.applyResult = 1;
  EXPECT_EQ(Number("return g_a.ApplyDefaultShader();"), a->ApplyDefaultShader(nullptr, nullptr));
  ASSERT_EQ(shaders.defaultShaderMeshes.size(), 2u);
  EXPECT_EQ(shaders.defaultShaderMeshes[0], a);
}

TEST_F(MeshBindingsTest, ParentsAreSetClearedAndReadThroughTheWorldObject) {
  EXPECT_EQ(Handle("CWorldObjectInterface@", "return g_b.GetParentObject();"), nullptr);
  Run("g_b.SetParentObject(g_aObject);");
  EXPECT_EQ(b->GetParentObject(1), static_cast<CWorldObjectInterface*>(a));
  EXPECT_EQ(Handle("CWorldObjectInterface@", "return g_b.GetParentObject();"),
            static_cast<CWorldObjectInterface*>(a));
  Run("g_b.SetParentObject(null);");
  EXPECT_EQ(b->GetParentObject(1), nullptr);

  // The scene's list, walked as scripts walk it.
  EXPECT_EQ(Number("uint n = 0; CWorldObjectInterface@ o = g_first;"
                   "while (o !is null) { n += o.GetWorldObjectType(); @o = o.GetNextWorldObject(); }"
                   "return n;"),
            2u * WORLD_OBJECT_MESH);
  EXPECT_EQ(Handle("CWorldObjectInterface@", "return g_first.GetNextWorldObject();"),
            static_cast<CWorldObjectInterface*>(b));
}

TEST_F(MeshBindingsTest, GeometryIsReadAndWrittenInPlaceAndAMissingElementStopsTheScript) {
  Run("g_a.GetFace(0).wIndex1 = 5; g_a.GetVertex(1).vecPosition.y = 7; g_a.GetPivot().x = 2;");
  EXPECT_EQ(a->GetFace(0)->wIndex1, 5);
  EXPECT_EQ(a->GetVertex(1)->vecPosition.y, 7.0f);
  EXPECT_EQ(a->GetPivot()->x, 2.0f);
  EXPECT_EQ(Number("return g_a.GetNumberOfFaces() * 100 + g_a.GetNumberOfVertices();"), 1208u);

  for (const char* code : {"g_a.GetVertex(g_a.GetNumberOfVertices()).vecPosition.x = 1;",
                           "g_a.GetFace(12).wIndex1 = 1;", "g_a.GetEdge(100000).wIndex1 = 1;"}) {
    Throws(code);
    EXPECT_EQ(script.Exception(), "Null pointer access") << code;
  }
}

TEST_F(MeshBindingsTest, TheScaleReadIsTheOneSetElseOne) {
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "CVector3 s(9, 9, 9); g_a.GetScale(s); return s;"),
            CVector3(1, 1, 1));
  Run("g_a.SetScale(CVector3(2, 3, 4));");
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "CVector3 s; g_a.GetScale(s); return s;"),
            CVector3(2, 3, 4));
  CVector3 engine;
  a->GetScale(&engine);
  EXPECT_EQ(engine, CVector3(2, 3, 4));
}

TEST_F(MeshBindingsTest, RaysAndPlacementAnswerAsTheEngineDoes) {
  CRay ray({0.3f, -0.2f, -10}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal;
  const UINT hit = a->CheckIntersectionWith(ray, &distance, 0x01, &normal);
  ASSERT_EQ(hit, 1u);
  const std::string rayCode = "CRay r(CVector3(0.3f, -0.2f, -10), CVector3(0, 0, 1)); float d = 0;";
  EXPECT_FLOAT_EQ(script.Eval<float>("float", rayCode + "g_a.CheckIntersectionWith(r, d, 1); return d;"),
                  distance);
  EXPECT_EQ(script.Eval<CVector3>(
                "CVector3", rayCode + "CVector3 n; g_a.CheckIntersectionWith(r, d, 1, n); return n;"),
            normal);
  EXPECT_EQ(Number(rayCode + "return g_box.CheckAAIntersection(r, d);"), 1u);
  EXPECT_EQ(Number("CRay r(CVector3(5, 5, -10), CVector3(0, 0, 1)); float d;"
                   "return g_box.CheckAAIntersection(r, d);"),
            0u);

  Run("g_b.SetPosition(CVector3(4, 5, 6)); g_b.PrepareMatrices(0); g_b.UpdateHierarchy(0);");
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "CVector3 p; g_b.GetPosition(p, 0); return p;"),
            CVector3(4, 5, 6));
  EXPECT_EQ(script.Eval<float>("float", "return g_b.GetMatrix(0)._42;"), 5.0f);
  EXPECT_EQ(script.Eval<float>("float", "return g_first.GetMatrix(0)._41;"), 0.0f);
}

TEST_F(MeshBindingsTest, TheBoxHandsOutCopiesAndRefusesANullBox) {
  const CVector4* corners = a->GetBoundingBox(1)->GetTransformedPoints();
  for (int k = 0; k < 8; ++k)
    EXPECT_EQ(script.Eval<CVector4>("CVector4", "return g_box.GetTransformedPoints()[" +
                                                    std::to_string(k) + "];"),
              corners[k])
        << k;
  const CVector4 first = corners[0];
  Run("array<CVector4>@ p = g_box.GetTransformedPoints(); p[0].x = 99;");
  EXPECT_EQ(corners[0], first);

  CMatrix bMatrix = *b->GetMatrix(0);
  Global("CMeshBoundVolumeInterface@ g_other", b->GetBoundingBox(1));
  EXPECT_EQ(Number("return g_box.CheckAACollision(g_other, g_b.GetMatrix(0));"),
            a->GetBoundingBox(1)->CheckAACollision(b->GetBoundingBox(1), bMatrix));
  Throws("CMeshBoundVolumeInterface@ none; g_box.CheckAACollision(none, g_b.GetMatrix(0));");

  CVector3 extents;
  a->GetBoundingBox(1)->GetTransformedExtents(&extents);
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "CVector3 e; g_box.GetTransformedExtents(e); return e;"),
            extents);
}

TEST_F(MeshBindingsTest, TrianglePairsAreTheScriptsOwnCopy) {
  const Pairs expected = EnginePairs(a, b);
  ASSERT_FALSE(expected.empty());
  const char* query =
      "array<TrianglePair> pairs; uint count = 99;"
      "uint hit = g_a.CheckCollisionWith(g_b, 3, count, pairs);";
  // Each element against the engine's answer, then the count and the array's length.
  for (size_t i = 0; i < expected.size(); ++i) {
    const std::string at = "pairs[" + std::to_string(i) + "]";
    EXPECT_EQ(Number(std::string(query) + "return " + at + ".dwIdOne * 1000 + " + at +
                     ".dwIdTwo;"),
              expected[i].first * 1000 + expected[i].second)
        << i;
  }
  EXPECT_EQ(Number(std::string(query) + "return count * 10000 + pairs.length() * 10 + hit;"),
            expected.size() * 10000 + expected.size() * 10 + 1);

  // A second query in the same script leaves the first answer alone.
  EXPECT_EQ(Number(std::string(query) +
                   "uint first = pairs[0].dwIdOne * 1000 + pairs[0].dwIdTwo;"
                   "array<TrianglePair> other; uint n;"
                   "g_b.CheckCollisionWith(g_a, 3, n, other);"
                   "return first == pairs[0].dwIdOne * 1000 + pairs[0].dwIdTwo && "
                   "pairs.length() == count ? 1 : 0;"),
            1u);
}

TEST_F(MeshBindingsTest, BoxKindsAndUnknownKindsLeaveThePairsEmpty) {
  struct Case {
    UINT kind;
    UINT expected;
  };
  const UINT boxes = a->CheckCollisionWith(b, 1, nullptr, nullptr);
  ASSERT_EQ(boxes, 1u);
  for (const Case& c : {Case{1, boxes}, Case{2, boxes}, Case{4, 0}, Case{0, 0}}) {
    EXPECT_EQ(Number("array<TrianglePair> pairs(3); uint count = 99;"
                     "uint hit = g_a.CheckCollisionWith(g_b, " +
                     std::to_string(c.kind) + ", count, pairs);"
                     "return hit * 100 + pairs.length() * 10 + count;"),
              c.expected * 100)
        << c.kind;
  }
  EXPECT_TRUE(Logged(CEngineLog::kLevelError,
                     "WARNING!!! - Incorrect Flag When Looking For A Collision: a\n"));
  Throws("CMeshInterface@ none; array<TrianglePair> p; uint n; g_a.CheckCollisionWith(none, 3, n, p);");
}

TEST_F(MeshBindingsTest, UserDataTravelsAsAnOpaquePointer) {
  void* data = &bench;
  a->SetUserDefinedData(data, 1, 2);
  Run("VoidPtr p; uint one, two; g_a.GetUserDefinedData(p, one, two);"
      "g_b.SetUserDefinedData(p, one + 10, two + 10);");
  void* copied = nullptr;
  UINT one = 0, two = 0;
  b->GetUserDefinedData(&copied, &one, &two);
  EXPECT_EQ(copied, data);
  EXPECT_EQ(one, 11u);
  EXPECT_EQ(two, 12u);
}

}  // namespace
