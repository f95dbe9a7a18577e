// Scripts reach the engine's own Vertex, Face and Edge records through references and change
// them in place; records a script declares start cleared.
#include <gtest/gtest.h>

#include <cstring>

#include "ScriptBindingsFixture.h"
#include "ZKDXRecords.h"
#include "ZeKorbD3DHeader.h"
#include "script/ScriptGlue.h"

using namespace AngelScript;

namespace {

class CTestMaterial : public CMaterialInterface {
 public:
  void Set(UINT) override {}
  D3DMATERIAL9* GetD3DMaterial() override { return nullptr; }
  CVector4* GetAdditionalMaterial1() override { return nullptr; }
  CVector4* GetAdditionalMaterial2() override { return nullptr; }
};

// The records a mesh would hand out: two faces, two vertices, an edge shared by both faces and
// an edge of the first face alone.
Vertex g_vertices[2];
Face g_faces[2];
Edge g_edges[2];
CTestMaterial g_material;

template <typename T, size_t N>
T* Entry(T (&table)[N], UINT index) {
  return index < N ? &table[index] : nullptr;
}
Vertex* TestVertex(UINT index) { return Entry(g_vertices, index); }
Face* TestFace(UINT index) { return Entry(g_faces, index); }
Edge* TestEdge(UINT index) { return Entry(g_edges, index); }
CMaterialInterface* TestMaterial() { return &g_material; }
bool IsTestMaterial(CMaterialInterface* material) { return material == &g_material; }
bool IsCleared(const SurfaceTexture* texture) {
  SurfaceTexture cleared;
  cleared.Clear();
  return std::memcmp(texture, &cleared, sizeof cleared) == 0;
}

class GeometryRecordsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    for (Vertex& vertex : g_vertices) vertex = Vertex();
    g_vertices[0].fWeights[1] = 0.25f;
    g_vertices[0].fTU[1] = 0.75f;
    for (Face& face : g_faces) face = Face();
    g_faces[0].vecNormal = CVector3(0, 0, 1);
    g_faces[1].vecNormal = CVector3(0, 1, 0);
    g_edges[0] = Edge{&g_faces[0], &g_faces[1], 1, 2, 0, 1, 0};
    g_edges[1] = Edge{&g_faces[0], nullptr, 2, 3, 0, 0, 0};

    CScriptRegistrar r(script.engine, &log);
    r.Function("Vertex &TestVertex(uint)", ScriptGlue::Function<&TestVertex>(), "TestVertex");
    r.Function("Face &TestFace(uint)", ScriptGlue::Function<&TestFace>(), "TestFace");
    r.Function("Edge &TestEdge(uint)", ScriptGlue::Function<&TestEdge>(), "TestEdge");
    r.Function("CMaterialInterface@ TestMaterial()", ScriptGlue::Function<&TestMaterial>(),
               "TestMaterial");
    r.Function("bool IsTestMaterial(CMaterialInterface@)", ScriptGlue::Function<&IsTestMaterial>(),
               "IsTestMaterial");
    r.Function("bool IsCleared(const SurfaceTexture &in)", ScriptGlue::Function<&IsCleared>(),
               "IsCleared");
    ASSERT_TRUE(r.Succeeded()) << log.TextAt(CEngineLog::kLevelError) << script.messages;
  }
};

TEST_F(GeometryRecordsTest, ScriptsChangeTheEnginesRecordsInPlace) {
  ASSERT_EQ(script.Run("TestFace(1).wIndex1 = 7; TestFace(1).wFaceIndex = 9;"),
            asEXECUTION_FINISHED)
      << script.messages;
  EXPECT_EQ(g_faces[1].wIndex1, 7);
  EXPECT_EQ(g_faces[1].wFaceIndex, 9);
  EXPECT_EQ(g_faces[0].wIndex1, 0);

  // Only the first of the four weights and the first u are in reach.
  ASSERT_EQ(script.Run("TestVertex(0).fWeights = 0.5f; TestVertex(0).fTU = 0.125f; "
                       "TestVertex(0).wBonesIndices = 3; TestVertex(0).vecNormal.y = 1;"),
            asEXECUTION_FINISHED)
      << script.messages;
  EXPECT_EQ(g_vertices[0].fWeights[0], 0.5f);
  EXPECT_EQ(g_vertices[0].fWeights[1], 0.25f);
  EXPECT_EQ(g_vertices[0].fWeights[2], 0.0f);
  EXPECT_EQ(g_vertices[0].fTU[0], 0.125f);
  EXPECT_EQ(g_vertices[0].fTU[1], 0.75f);
  EXPECT_EQ(g_vertices[0].wBonesIndices[0], 3);
  EXPECT_EQ(g_vertices[0].vecNormal, CVector3(0, 1, 0));

  ASSERT_EQ(script.Run("TestEdge(0).wFace2 = 5;"), asEXECUTION_FINISHED) << script.messages;
  EXPECT_EQ(g_edges[0].wFace2, 5);
}

TEST_F(GeometryRecordsTest, AnEdgeLeadsToItsFaces) {
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "return TestEdge(0).pOwner1.vecNormal;"),
            CVector3(0, 0, 1));
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "return TestEdge(0).pOwner2.vecNormal;"),
            CVector3(0, 1, 0));
  EXPECT_EQ(script.Eval<int>("int", "return TestEdge(1).wIndex2;"), 3);
  // Owners are read-only: a script cannot point an edge elsewhere.
  EXPECT_LT(script.Run("Face f; TestEdge(0).pOwner1 = f;"), 0);
}

TEST_F(GeometryRecordsTest, MissingRecordsRaiseAScriptException) {
  const char* const missing[] = {
      "CVector3 n = TestEdge(1).pOwner2.vecNormal;",
      "TestFace(2).wIndex1 = 1;",
      "Edge e; CVector3 n = e.pOwner1.vecNormal;",
  };
  for (const char* code : missing) {
    EXPECT_EQ(script.Run(code), asEXECUTION_EXCEPTION) << code << script.messages;
    EXPECT_EQ(script.Exception(), "Null pointer access") << code;
  }
}

TEST_F(GeometryRecordsTest, RecordsDeclaredInAScriptStartCleared) {
  EXPECT_EQ(script.Eval<int>("int", "Edge e; return e.wIndex1 + e.wIndex2 + e.wFace1 + e.wFace2;"),
            0);
  EXPECT_EQ(script.Eval<int>("int", "Face f; return f.wIndex1 + f.wEdge3 + f.wFaceIndex;"), 0);
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "Face f; return f.vecNormal;"), CVector3());
  EXPECT_EQ(script.Eval<float>("float", "Vertex v; return v.fWeights + v.fTU + v.fTV;"), 0.0f);
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "Vertex v; return v.vecBiNormal;"), CVector3());
  EXPECT_TRUE(script.Eval<bool>("bool", "SurfaceTexture t; return IsCleared(t);"));
}

TEST_F(GeometryRecordsTest, AMaterialIsOnlyEverAHandle) {
  EXPECT_LT(script.Run("CMaterialInterface m;"), 0);
  EXPECT_LT(script.Run("CMaterialInterface@ m = CMaterialInterface();"), 0);
  EXPECT_TRUE(
      script.Eval<bool>("bool", "CMaterialInterface@ m = TestMaterial(); return IsTestMaterial(m);"));
  EXPECT_FALSE(script.Eval<bool>("bool", "CMaterialInterface@ m; return IsTestMaterial(m);"));
}

TEST_F(GeometryRecordsTest, RecordsKeepTheEnginesLayout) {
  const asITypeInfo* vertex = script.engine->GetTypeInfoByName("Vertex");
  const asITypeInfo* edge = script.engine->GetTypeInfoByName("Edge");
  const asITypeInfo* texture = script.engine->GetTypeInfoByName("SurfaceTexture");
  EXPECT_EQ(vertex->GetSize(), 88u);
  EXPECT_EQ(script.engine->GetTypeInfoByName("Face")->GetSize(), 28u);
  EXPECT_EQ(edge->GetSize(), sizeof(Edge));
  EXPECT_EQ(texture->GetSize(), sizeof(SurfaceTexture));
  int offset = -1;
  vertex->GetProperty(7, nullptr, nullptr, nullptr, nullptr, &offset);
  EXPECT_EQ(offset, static_cast<int>(offsetof(Vertex, fTV)));
  edge->GetProperty(0, nullptr, nullptr, nullptr, nullptr, &offset);
  EXPECT_EQ(offset, static_cast<int>(offsetof(Edge, wIndex1)));
}

}  // namespace
