#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeEngineTexture.h"
#include "FakeMeshShaderLibrary.h"
#include "FakeMeshSpatial.h"
#include "FakeMeshSurface.h"
#include "FakeMeshVertexBuffer.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "scene/MeshSurfaceFactory.h"

namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

// Surfaces the factory made, for the test that registered it.
std::vector<FakeMeshSurface*> g_madeSurfaces;

// Makes fake surfaces; imported ones are not made here.
class FakeSurfaceFactory final : public CMeshSurfaceFactory {
 public:
  CMeshSurface* CreateSurface(void*, CEngineLog*, CMesh*) override {
    g_madeSurfaces.push_back(new FakeMeshSurface());
    return g_madeSurfaces.back();
  }
  CMeshSurface* CreateImportedSurface(void*, CEngineLog*, const LWOSurface&,
                                      const LWOImportBuffer&, CMesh*) override {
    return nullptr;
  }
};

void ExpectNear(const CVector3& actual, const CVector3& expected, const char* what = "") {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

Vertex MakeVertex(float x, float y, float z) {
  Vertex vertex{};
  vertex.vecPosition = {x, y, z};
  return vertex;
}

Face MakeFace(WORD a, WORD b, WORD c) {
  Face face{};
  face.wIndex1 = a;
  face.wIndex2 = b;
  face.wIndex3 = c;
  return face;
}

class MeshTest : public ::testing::Test {
 protected:
  MeshTest() : scene(new TestScene(&renderer, &log)) {
    renderer.vertexBufferStorage = &storage;
    context->ports.meshShaders.Set(&shaders);
    context->ports.meshSpatial.Set(&spatial);
    context->ports.surfaceFactory.Set(&surfaces);
    g_madeSurfaces.clear();
  }
  ~MeshTest() override { scene->Release(); }

  CMesh* AddMesh(const char* name) {
    auto* mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    return mesh;
  }

  // Constant motion channels: position, heading-pitch-bank, and scale when given.
  static void SetMotion(CMesh* mesh, CVector3 position, CVector3 rotation = {},
                        const CVector3* scale = nullptr) {
    CMotion* motion = mesh->GetMotion(-100.0f);
    motion->SetNumberOfChannels(scale ? 9 : 6);
    const float values[9] = {position.x, position.y, position.z, rotation.x, rotation.y,
                             rotation.z, scale ? scale->x : 0, scale ? scale->y : 0,
                             scale ? scale->z : 0};
    for (UINT i = 0; i < motion->GetNumberOfChannels(); ++i)
      motion->GetChannel(i)->AddKeyData(values[i], 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  }

  // Position x follows the frame: 0 at frame 0, 100 at frame 100.
  static void AnimateX(CMesh* mesh) {
    CMotion* motion = mesh->GetMotion(-100.0f);
    motion->SetNumberOfChannels(6);
    motion->GetChannel(MOTION_POSITION_X)
        ->AddKeyData(0, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    motion->GetChannel(MOTION_POSITION_X)
        ->AddKeyData(100, 100, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  }

  static void RunPasses(CMesh* mesh, float frame) {
    mesh->PrepareMatrices(frame);
    mesh->UpdateHierarchy(frame);
  }

  std::vector<std::string> InfoLines() const {
    std::vector<std::string> lines;
    for (const auto& entry : log.entries)
      if (entry.level == CEngineLog::kLevelInfo) lines.push_back(entry.text);
    return lines;
  }

  EngineContextScope context;
  RecordingRenderer renderer;
  FakeVertexBufferStorage storage;
  FakeMeshShaderLibrary shaders;
  FakeMeshSpatial spatial;
  FakeSurfaceFactory surfaces;
  CRecordingEngineLog log;
  TestScene* scene;
};

// --- matrix pass ---

struct MatrixCase {
  const char* name;
  std::function<void(CMesh*)> setup;
  CVector3 point;
  CVector3 expected;
};

TEST_F(MeshTest, MatrixPassComposesPivotScaleRotationAndTranslation) {
  const CVector3 scale(2, 3, 4);
  const float s = std::sqrt(0.5f);
  const MatrixCase cases[] = {
      {"identity without a motion", [](CMesh*) {}, {1, 2, 3}, {1, 2, 3}},
      {"channel translation", [](CMesh* m) { SetMotion(m, {5, 6, 7}); }, {1, 0, 0}, {6, 6, 7}},
      {"six channels do not scale", [](CMesh* m) { SetMotion(m, {}); }, {1, 1, 1}, {1, 1, 1}},
      {"channel scale", [&](CMesh* m) { SetMotion(m, {}, {}, &scale); }, {1, 1, 1}, {2, 3, 4}},
      {"explicit scale wins over the channels",
       [&](CMesh* m) {
         SetMotion(m, {}, {}, &scale);
         m->SetScale({5, 5, 5});
       },
       {1, 1, 1},
       {5, 5, 5}},
      {"heading turns about Y", [](CMesh* m) { SetMotion(m, {}, {kQuarterTurn, 0, 0}); },
       {1, 0, 0}, {0, 0, -1}},
      {"channels bank, pitch, then head",
       [](CMesh* m) { SetMotion(m, {}, {kQuarterTurn, kQuarterTurn, 0}); }, {0, 1, 0}, {1, 0, 0}},
      {"explicit rotation in order 0",
       [](CMesh* m) { m->SetRotation({kQuarterTurn, kQuarterTurn, 0}); }, {0, 1, 0}, {1, 0, 0}},
      {"explicit rotation in order 1 heads, pitches, then banks",
       [](CMesh* m) {
         m->SetRotationOrder(1);
         m->SetRotation({kQuarterTurn, kQuarterTurn, 0});
       },
       {0, 1, 0},
       {0, 0, 1}},
      {"quaternion about Y", [=](CMesh* m) { m->SetAdditionalTransformation(0, s, 0, s); },
       {1, 0, 0}, {0, 0, -1}},
      {"pivot, rotation and position",
       [](CMesh* m) {
         m->SetPivot({1, 0, 0});
         m->SetRotation({kQuarterTurn, 0, 0});
         m->SetPosition({5, 0, 0});
       },
       {2, 0, 0},
       {5, 0, -1}},
  };
  for (const MatrixCase& c : cases) {
    CMesh* mesh = AddMesh(c.name);
    c.setup(mesh);
    RunPasses(mesh, 0.0f);
    ExpectNear(c.point * *mesh->GetCurrentMatrix(), c.expected, c.name);
  }
}

TEST_F(MeshTest, RotationMatrixLeavesOutPivotAndTranslation) {
  CMesh* mesh = AddMesh("m");
  mesh->SetPivot({1, 0, 0});
  mesh->SetRotation({kQuarterTurn, 0, 0});
  mesh->SetPosition({5, 0, 0});
  RunPasses(mesh, 0.0f);
  ExpectNear(CVector3(1, 0, 0) * *mesh->GetCurrentRotationMatrix(), {0, 0, -1});
  CVector3 local;
  mesh->GetPosition(&local, 1);
  ExpectNear(local, {5, 0, 0});
  // The inverse undoes the world matrix.
  ExpectNear(CVector3(5, 0, -1) * *mesh->GetInverseMatrix(0.0f), {2, 0, 0});
}

TEST_F(MeshTest, FrameFollowingAndOwnFrame) {
  CMesh* mesh = AddMesh("m");
  AnimateX(mesh);
  CVector3 position;

  mesh->SetFrame(12.0f, 0);
  RunPasses(mesh, 3.0f);
  mesh->GetPosition(&position, 0);
  EXPECT_FLOAT_EQ(position.x, 12.0f);
  EXPECT_EQ(mesh->GetFrame(), 12.0f);
  EXPECT_EQ(mesh->GetMatrixFrame(), 12.0f);

  mesh->SetFrame(-1.0f, 0);
  RunPasses(mesh, 30.0f);
  mesh->GetPosition(&position, 0);
  EXPECT_FLOAT_EQ(position.x, 30.0f);
  EXPECT_EQ(mesh->GetFrame(), 30.0f);
}

TEST_F(MeshTest, SetFrameRecursesToChildren) {
  CMesh* parent = AddMesh("parent");
  CMesh* child = AddMesh("child");
  CMesh* other = AddMesh("other");
  child->SetParentObject(parent);
  parent->SetFrame(7.0f, 1);
  AnimateX(child);
  AnimateX(other);
  RunPasses(child, 40.0f);
  RunPasses(other, 40.0f);
  EXPECT_EQ(child->GetFrame(), 7.0f);
  EXPECT_EQ(other->GetFrame(), 40.0f);
}

// --- hierarchy pass ---

TEST_F(MeshTest, HierarchyWithParentAtTheSameFrame) {
  CMesh* parent = AddMesh("parent");
  CMesh* child = AddMesh("child");
  SetMotion(parent, {10, 0, 0}, {kQuarterTurn, 0, 0});
  SetMotion(child, {1, 0, 0}, {0.25f, 0, 0});
  child->SetParentObject(parent);
  parent->PrepareMatrices(0.0f);
  RunPasses(child, 0.0f);

  CVector3 world, rotation;
  child->GetPosition(&world, 0);
  ExpectNear(world, {10, 0, -1});
  // Both headings turn about Y, so the rotation is one turn by their sum.
  const float heading = kQuarterTurn + 0.25f;
  ExpectNear(CVector3(1, 0, 0) * *child->GetCurrentRotationMatrix(),
             {std::cos(heading), 0, -std::sin(heading)});
  child->GetRotation(&rotation, 0);
  EXPECT_FLOAT_EQ(rotation.x, kQuarterTurn + 0.25f);
  child->GetRotation(&rotation, 1);
  EXPECT_FLOAT_EQ(rotation.x, 0.25f);
  // The parent was brought up to date on the way.
  EXPECT_EQ(parent->GetFrame(), 0.0f);
}

TEST_F(MeshTest, HierarchyWithParentAtAnotherFrame) {
  CMesh* parent = AddMesh("parent");
  CMesh* child = AddMesh("child");
  AnimateX(parent);
  SetMotion(child, {1, 0, 0});
  child->SetParentObject(parent);
  RunPasses(parent, 5.0f);
  RunPasses(child, 20.0f);

  CVector3 world;
  child->GetPosition(&world, 0);
  ExpectNear(world, {21, 0, 0});
  // The rotation takes the parent's matrix without its translation.
  ExpectNear(CVector3(1, 0, 0) * *child->GetCurrentRotationMatrix(), {1, 0, 0});
  // The parent's own matrices stay those of its frame.
  EXPECT_FLOAT_EQ(parent->GetCurrentMatrix()->_41, 5.0f);

  CMatrix atFrame;
  child->MotionToMatrix(&atFrame, 60.0f);
  EXPECT_FLOAT_EQ(atFrame._41, 61.0f);
  EXPECT_FLOAT_EQ(child->GetCurrentMatrix()->_41, 21.0f);
}

TEST_F(MeshTest, HierarchyPassWorksOncePerMatrixPass) {
  CMesh* mesh = AddMesh("m");
  SetMotion(mesh, {1, 0, 0});
  mesh->PrepareMatrices(0.0f);
  mesh->UpdateHierarchy(0.0f);
  mesh->UpdateHierarchy(0.0f);
  mesh->GetMatrix(0.0f);
  EXPECT_FLOAT_EQ(mesh->GetCurrentMatrix()->_41, 1.0f);
  EXPECT_EQ(std::count(spatial.calls.begin(), spatial.calls.end(), "ResetShadowVolume"), 1);
}

TEST_F(MeshTest, HierarchyPassRefilesTheMeshInTheOctree) {
  CMesh* mesh = AddMesh("box");
  Vertex vertices[] = {MakeVertex(0, 0, 0)};
  mesh->SetVertices(1, vertices, 1);
  SetMotion(mesh, {3, 0, 0});
  spatial.hasOctree = true;
  for (UINT i = 1; i <= 11; ++i) spatial.cellsToEnter.emplace_back(spatial.Cell(i), 100 + i);
  RunPasses(mesh, 0.0f);

  EXPECT_EQ(mesh->GetOctreeEntryCapacity(), 11);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - There's Not Enuff Octree Box Entries For Dynamic Meshes, Need To Allocate "
            "Memory For It, Should Be: 11 - (box) \n");
  EXPECT_EQ(mesh->GetOctreeEntries()[10].pCell, spatial.Cell(11));
  ASSERT_EQ(spatial.transformMatrices.size(), 1u);
  EXPECT_FLOAT_EQ(spatial.transformMatrices[0]._41, 3.0f);

  // The next change takes the mesh out of every cell it was in before filing it again.
  spatial.cellsToEnter.resize(1);
  mesh->SetPosition({4, 0, 0});
  RunPasses(mesh, 0.0f);
  ASSERT_EQ(spatial.removed.size(), 11u);
  EXPECT_EQ(spatial.removed[10], std::make_pair(spatial.Cell(11), 111u));
  EXPECT_EQ(mesh->GetOctreeEntries()[0].pCell, spatial.Cell(1));
  EXPECT_EQ(mesh->GetOctreeEntries()[1].pCell, nullptr);
}

TEST_F(MeshTest, ParentCyclesAreRefused) {
  CMesh* a = AddMesh("a");
  CMesh* b = AddMesh("b");
  CMesh* c = AddMesh("c");
  a->SetParentObject(b);
  b->SetParentObject(c);
  c->SetParentObject(a);
  EXPECT_EQ(c->GetParentObject(1), nullptr);
  a->SetParentObject(a);
  EXPECT_EQ(a->GetParentObject(1), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Parent Item To Its Own Child: c\n"
            "WARNING!!! - Can't Parent Item To Itself: a\n");

  b->SetParentObject(c);
  a->SetParentObject(b);
  EXPECT_EQ(a->GetTopmostParent(), static_cast<CWorldObjectInterface*>(c));
  EXPECT_EQ(c->GetTopmostParent(), static_cast<CWorldObjectInterface*>(c));
  // The passes over the accepted chain end.
  RunPasses(a, 0.0f);
  EXPECT_EQ(a->GetFrame(), 0.0f);
}

// --- geometry ---

class MeshGeometryTest : public MeshTest {
 protected:
  // A cube of corners (+-1, +-1, +-1): corner i has x from bit 0, y from bit 1, z from bit 2.
  // Quads are wound counter-clockwise seen from outside.
  void MakeCube(CMesh* mesh, bool withUnusedVertex) {
    std::vector<Vertex> vertices;
    for (int i = 0; i < 8; ++i) {
      vertices.push_back(MakeVertex(i & 1 ? 1 : -1, i & 2 ? 1 : -1, i & 4 ? 1 : -1));
      vertices.back().vecTangent = {0.5f, 0.25f, 0.125f};
    }
    if (withUnusedVertex) {
      vertices.push_back(MakeVertex(9, 9, 9));
      vertices.back().vecNormal = {0, 0, 7};
      vertices.back().vecTangent = {0.5f, 0.25f, 0.125f};
    }
    const WORD quads[6][4] = {{4, 5, 7, 6}, {0, 2, 3, 1}, {1, 3, 7, 5},
                              {0, 4, 6, 2}, {2, 6, 7, 3}, {0, 1, 5, 4}};
    std::vector<Face> faces;
    for (const auto& q : quads) {
      faces.push_back(MakeFace(q[0], q[1], q[2]));
      faces.push_back(MakeFace(q[0], q[2], q[3]));
    }
    ASSERT_EQ(mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 0),
              vertices.size());
    ASSERT_EQ(mesh->SetFaces(12, faces.data()), 12 * sizeof(Face));
  }
};

TEST_F(MeshGeometryTest, CubeNormals) {
  CMesh* mesh = AddMesh("cube");
  MakeCube(mesh, false);
  mesh->ComputeNormals();

  const CVector3 axes[6] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
  for (UINT i = 0; i < 12; ++i) ExpectNear(mesh->GetFace(i)->vecNormal, axes[i / 2]);
  const float third = 1 / std::sqrt(3.0f), sixth = 1 / std::sqrt(6.0f);
  // Corner 7 lies in both triangles of each of its three quads.
  ExpectNear(mesh->GetVertex(7)->vecNormal, {third, third, third});
  // Corner 4 lies in both +Z triangles but in one triangle each of -X and -Y.
  ExpectNear(mesh->GetVertex(4)->vecNormal, {-sixth, -sixth, 2 * sixth});
  for (UINT i = 0; i < 8; ++i) {
    EXPECT_NEAR(mesh->GetVertex(i)->vecNormal.Length(), 1.0f, 1e-5f);
    EXPECT_GT(dot(mesh->GetVertex(i)->vecNormal, mesh->GetVertex(i)->vecPosition), 0.0f);
    EXPECT_EQ(mesh->GetVertex(i)->vecTangent, CVector3(0.5f, 0.25f, 0.125f));
  }
}

TEST_F(MeshGeometryTest, UnusedVertexKeepsItsNormalAndTangent) {
  CMesh* mesh = AddMesh("cube");
  MakeCube(mesh, true);
  mesh->ComputeNormals();
  EXPECT_EQ(mesh->GetVertex(8)->vecNormal, CVector3(0, 0, 7));
  EXPECT_EQ(mesh->GetVertex(8)->vecTangent, CVector3(0.5f, 0.25f, 0.125f));
  EXPECT_EQ(mesh->GetVertex(9), nullptr);
}

TEST_F(MeshGeometryTest, FacesOutOfRangeAreRefusedAndTheOldOnesKept) {
  CMesh* mesh = AddMesh("tri");
  Vertex vertices[3] = {MakeVertex(0, 0, 0), MakeVertex(1, 0, 0), MakeVertex(0, 1, 0)};
  ASSERT_EQ(mesh->SetVertices(3, vertices, 0), 3u);
  Face good = MakeFace(0, 1, 2);
  ASSERT_EQ(mesh->SetFaces(1, &good), sizeof(Face));

  struct {
    Face face;
    const char* line;
  } cases[] = {
      {MakeFace(3, 1, 2), "ERROR!!! - CMesh::SetFaces, (tri) Face 1 Uses A Vertex Out Of Range "
                          "(3, 1, 2 Of 3)\n"},
      {MakeFace(0, 0xFFFF, 2), "ERROR!!! - CMesh::SetFaces, (tri) Face 1 Uses A Vertex Out Of "
                               "Range (0, 65535, 2 Of 3)\n"},
  };
  for (const auto& c : cases) {
    log.entries.clear();
    Face faces[2] = {good, c.face};
    EXPECT_EQ(mesh->SetFaces(2, faces), 0u);
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), c.line);
    EXPECT_EQ(mesh->GetNumberOfFaces(), 1u);
  }

  log.entries.clear();
  EXPECT_EQ(mesh->SetFaces(0, &good), 0u);
  EXPECT_EQ(mesh->SetFaces(1, nullptr), 0u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - CMesh::SetFaces, (tri) Can't Add Faces (NULL Pointer Or No Faces)\n"
            "WARNING!!! - CMesh::SetFaces, (tri) Can't Add Faces (NULL Pointer Or No Faces)\n");

  // Each message names the line that logs it, not one shared by every mesh message.
  ASSERT_EQ(log.entries.size(), 2u);
  const int warningLine = log.entries[0].line;
  log.entries.clear();
  Face outOfRange[2] = {good, MakeFace(3, 1, 2)};
  mesh->SetFaces(2, outOfRange);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_GT(warningLine, 0);
  EXPECT_GT(log.entries[0].line, 0);
  EXPECT_NE(log.entries[0].line, warningLine);

  // Fewer vertices than the faces use would strand them.
  log.entries.clear();
  EXPECT_EQ(mesh->SetVertices(2, vertices, 0), 0u);
  EXPECT_EQ(mesh->GetNumberOfVertices(), 3u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - CMesh::SetVertices, (tri) Can't Set 2 Vertices, Faces Or Edges Use "
            "Vertex 2\n");

  // A face changed through its pointer is skipped rather than read out of bounds.
  mesh->GetFace(0)->wIndex2 = 40000;
  mesh->ComputeNormals();
  EXPECT_EQ(mesh->GetVertex(0)->vecNormal, CVector3());
}

TEST_F(MeshGeometryTest, EdgesAreCheckedAgainstVerticesAndFaces) {
  CMesh* mesh = AddMesh("tri");
  Vertex vertices[3] = {MakeVertex(0, 0, 0), MakeVertex(1, 0, 0), MakeVertex(0, 1, 0)};
  Face face = MakeFace(0, 1, 2);
  mesh->SetVertices(3, vertices, 0);
  mesh->SetFaces(1, &face);

  Edge edge{};
  edge.pOwner1 = mesh->GetFace(0);
  edge.wIndex1 = 0;
  edge.wIndex2 = 1;
  edge.wFace2 = 9;  // no second owner: not read
  EXPECT_EQ(mesh->SetEdges(1, &edge), sizeof(Edge));
  EXPECT_EQ(mesh->GetEdge(0)->pOwner2, nullptr);

  Edge badVertex = edge, badFace = edge, badSecondFace = edge;
  badVertex.wIndex2 = 3;
  badFace.wFace1 = 1;
  badSecondFace.pOwner2 = mesh->GetFace(0);
  for (Edge* bad : {&badVertex, &badFace, &badSecondFace}) {
    EXPECT_EQ(mesh->SetEdges(1, bad), 0u);
    EXPECT_EQ(mesh->GetEdge(0)->wFace2, 9);
  }
}

TEST_F(MeshGeometryTest, NewVerticesReachTheVertexBuffer) {
  CMesh* mesh = AddMesh("m");
  Vertex vertices[2] = {MakeVertex(0, 0, 0), MakeVertex(1, 2, 3)};
  mesh->SetVertices(2, vertices, 1);
  EXPECT_EQ(mesh->GetBoundingBox(1), spatial.BoundVolume());
  shaders.passes = {{{SHADER_STREAM_MESH, nullptr}}};
  ASSERT_EQ(mesh->CreateShader("plain.ssh", nullptr, 0, 0), 1u);
  FakeMeshVertexBuffer* buffer = storage.buffers.at(0).get();

  vertices[1].vecPosition = {7, 8, 9};
  mesh->SetVertices(2, vertices, 0);
  EXPECT_EQ(buffer->refills, 1);
  EXPECT_EQ(buffer->vertices[1].vecPosition, CVector3(7, 8, 9));
  EXPECT_EQ(mesh->GetVertex(1)->vecPosition, CVector3(7, 8, 9));
}

// --- surfaces ---

TEST_F(MeshTest, CreateSurfaceAppendsANamedSurface) {
  CMesh* mesh = AddMesh("m");
  CSurfaceInterface* first = mesh->CreateSurface();
  CSurfaceInterface* second = mesh->CreateSurface();
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetName(), "a new surface");
  EXPECT_EQ(mesh->GetNumberOfSurfaces(), 2u);
  EXPECT_EQ(mesh->GetSurface(1), second);
  EXPECT_EQ(mesh->GetSurface(2), nullptr);
  second->SetName("glass");
  EXPECT_EQ(mesh->GetSurfaceByName("glass"), second);
  EXPECT_EQ(mesh->GetSurfaceByName("glas"), nullptr);

  mesh->PrepareMatrices(4.0f);
  EXPECT_EQ(g_madeSurfaces[0]->updateTimes, std::vector<float>{4.0f});

  context->ports.surfaceFactory.Reset();
  EXPECT_EQ(mesh->CreateSurface(), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "ERROR!!! - Can't Create Surface (m)\n");
  EXPECT_EQ(mesh->GetNumberOfSurfaces(), 2u);
}

TEST_F(MeshTest, SurfaceState) {
  FakeEngineTexture packed;
  struct Case {
    const char* name;
    std::vector<int> surfaces;  // 0 plain, 1 transparent flag, 2 alpha image in material 2
    UINT state;
  } cases[] = {
      {"no surfaces", {}, 0},       {"none qualifies", {0, 0}, 0},
      {"every one qualifies", {1, 2}, 1}, {"some qualify", {0, 2}, 2},
  };
  for (const Case& c : cases) {
    CMesh* mesh = AddMesh(c.name);
    for (int kind : c.surfaces) {
      auto* surface = static_cast<FakeMeshSurface*>(mesh->CreateSurface());
      if (kind == 1) surface->flags = SURFACE_FLAG_TRANSPARENT;
      if (kind == 2) surface->materialTexture2.pTextureImage = &packed;
    }
    packed.alphaFileName = "alpha.png";
    EXPECT_EQ(mesh->UpdateSurfaceState(), c.state) << c.name;
    EXPECT_EQ(mesh->GetSurfaceState(), c.state) << c.name;
  }
  // A packed texture without a fourth image does not qualify.
  packed.alphaFileName.clear();
  CMesh* mesh = AddMesh("empty alpha");
  static_cast<FakeMeshSurface*>(mesh->CreateSurface())->materialTexture2.pTextureImage = &packed;
  EXPECT_EQ(mesh->UpdateSurfaceState(), 0u);
}

UINT AcceptMesh(CMeshInterface*) { return 1; }
UINT RefuseMesh(CMeshInterface*) { return 0; }

TEST_F(MeshTest, ApplyDefaultShader) {
  CMesh* mesh = AddMesh("m");
  mesh->CreateSurface();
  mesh->CreateSurface();

  EXPECT_EQ(mesh->ApplyDefaultShader(nullptr, nullptr), 1u);
  EXPECT_EQ(shaders.defaultShaderMeshes, std::vector<CMesh*>{mesh});
  EXPECT_EQ(mesh->GetUseShader(), 1u);

  g_madeSurfaces[1]->assignResult = 0;
  EXPECT_EQ(mesh->ApplyDefaultShader(&AcceptMesh, nullptr), 0u);
  EXPECT_EQ(mesh->GetUseShader(), 0u);
  EXPECT_EQ(shaders.defaultShaderMeshes.size(), 1u);  // the chooser decided

  g_madeSurfaces[1]->assignResult = 1;
  EXPECT_EQ(mesh->ApplyDefaultShader(&RefuseMesh, nullptr), 0u);
  EXPECT_EQ(g_madeSurfaces[0]->assignedChoosers.size(), 2u);  // surfaces not asked

  // A shader named by hand is kept: only the surfaces are asked.
  mesh->SetShaderFile("mine.ssh", 1);
  EXPECT_EQ(mesh->ApplyDefaultShader(&RefuseMesh, nullptr), 1u);
  EXPECT_EQ(g_madeSurfaces[0]->assignedChoosers.size(), 3u);
}

// --- shaders and vertex buffers ---

TEST_F(MeshTest, CreateShaderBindsEachPassToTheMeshBuffers) {
  CMesh* mesh = AddMesh("crate");
  Vertex vertices[3] = {MakeVertex(0, 0, 0), MakeVertex(1, 0, 0), MakeVertex(0, 1, 0)};
  mesh->SetVertices(3, vertices, 0);
  mesh->SetFlags(CMesh::kFlagCastsShadow);
  mesh->SetCastsShadowVolume(1);
  spatial.hasShadowGeometry = 1;
  spatial.shadowBlocks[0].resize(6);
  spatial.shadowBlocks[1].resize(9);
  EXPECT_EQ(mesh->GetCanCastShadowVolume(), 1u);
  shaders.passes = {{{SHADER_STREAM_MESH, nullptr}},
                    {{SHADER_STREAM_DYNAMIC_SHADOW_VOLUME, nullptr},
                     {SHADER_STREAM_STATIC_SHADOW_VOLUME, nullptr},
                     {SHADER_STREAM_MESH, nullptr}}};

  ASSERT_EQ(mesh->CreateShader("wood.ssh", nullptr, 2, 1), 1u);
  ASSERT_EQ(shaders.createCalls.size(), 1u);
  EXPECT_EQ(shaders.createCalls[0].fileName, "wood.ssh");
  EXPECT_EQ(shaders.createCalls[0].mesh, mesh);
  EXPECT_EQ(shaders.createCalls[0].numberOfParameters, 2u);
  EXPECT_STREQ(mesh->GetShaderFileName(), "wood.ssh");

  ASSERT_EQ(storage.createCalls.size(), 3u);
  EXPECT_EQ(storage.createCalls[0].name, "crate");
  EXPECT_EQ(storage.createCalls[0].count, 3u);
  EXPECT_EQ(storage.createCalls[0].kind, 0u);
  EXPECT_EQ(storage.createCalls[0].secondVertices, nullptr);
  EXPECT_EQ(storage.createCalls[1].name, "crate_shadow_volume_1");
  EXPECT_EQ(storage.createCalls[1].count, 6u);
  EXPECT_EQ(storage.createCalls[1].kind, 1u);
  EXPECT_EQ(storage.createCalls[2].name, "crate_shadow_volume_2");
  EXPECT_EQ(storage.createCalls[2].count, 9u);

  CVertexBufferInterface* meshBuffer = mesh->GetVertexBuffer(1);
  EXPECT_EQ(meshBuffer, storage.buffers[0].get());
  EXPECT_EQ(shaders.passes[0][0].pVertexBuffer, meshBuffer);
  EXPECT_EQ(shaders.passes[1][0].pVertexBuffer, storage.buffers[1].get());
  EXPECT_EQ(shaders.passes[1][1].pVertexBuffer, storage.buffers[2].get());
  EXPECT_EQ(shaders.passes[1][2].pVertexBuffer, meshBuffer);

  // Creating the buffers again drops the old ones; releasing the mesh drops the new ones.
  mesh->CreateVertexBuffers();
  EXPECT_EQ(storage.buffers[0]->references, 0);
  mesh->Release();
  for (const auto& buffer : storage.buffers) EXPECT_EQ(buffer->references, 0) << buffer->name;
}

TEST_F(MeshTest, VertexBufferWithoutAShaderIsDropped) {
  CMesh* mesh = AddMesh("m");
  Vertex vertex = MakeVertex(0, 0, 0);
  mesh->SetVertices(1, &vertex, 0);
  mesh->CreateVertexBuffers();
  EXPECT_EQ(mesh->GetVertexBuffer(1), nullptr);
  EXPECT_EQ(storage.buffers.at(0)->references, 0);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - Can't Create Vertex Buffer For m, Probably Implementation Error\n");
}

TEST_F(MeshTest, ShaderFailuresAreReported) {
  ProcessExitCatcher catcher;
  CMesh* mesh = AddMesh("m");
  Vertex vertex = MakeVertex(0, 0, 0);
  mesh->SetVertices(1, &vertex, 0);

  shaders.createSucceeds = false;
  EXPECT_EQ(mesh->CreateShader("broken.ssh", nullptr, 0, 1), 0u);
  EXPECT_STREQ(mesh->GetShaderFileName(), "none");
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].caption, "Error While Creating Shader");
  EXPECT_EQ(catcher.Boxes()[0].text, "Can't Create Shader: broken.ssh");
  EXPECT_TRUE(storage.createCalls.empty());

  // A pass that wants a shadow volume the mesh does not have is fatal.
  shaders.createSucceeds = true;
  shaders.passes = {{{SHADER_STREAM_STATIC_SHADOW_VOLUME, nullptr}}};
  EXPECT_THROW(mesh->CreateShader("shadow.ssh", nullptr, 0, 1), ProcessExited);
  EXPECT_EQ(catcher.Boxes().back().caption, "Loading Mesh");
  EXPECT_EQ(catcher.Boxes().back().text, "Static Shadow Volume Vertex Buffer Is Null: m\n");

  shaders.passes = {{{7, nullptr}}};
  EXPECT_THROW(mesh->CreateVertexBuffers(), ProcessExited);
  EXPECT_EQ(catcher.Boxes().back().text, "Unknown Vertex Buffer Number: m\n");

  storage.failCreation = true;
  EXPECT_THROW(mesh->CreateVertexBuffers(), ProcessExited);
  EXPECT_EQ(catcher.Boxes().back().caption, "Error While Creating VB");
  EXPECT_EQ(catcher.Boxes().back().text, "Can't Create");
}

// --- lifecycle and small operations ---

TEST_F(MeshTest, ReleaseLogsAndFreesWhatTheMeshOwns) {
  CMesh* mesh = AddMesh("crate");
  scene->SetName("level");
  Vertex vertices[3] = {MakeVertex(0, 0, 0), MakeVertex(1, 0, 0), MakeVertex(0, 1, 0)};
  Face face = MakeFace(0, 1, 2);
  mesh->SetVertices(3, vertices, 1);
  mesh->SetFaces(1, &face);
  Edge edge{};
  edge.wIndex2 = 1;
  mesh->SetEdges(1, &edge);
  mesh->CreateSurface();
  mesh->CreateBones(2);
  mesh->AddRef();
  mesh->Release();
  EXPECT_EQ(scene->GetNumberOfMeshes(), 1u);
  log.entries.clear();

  g_madeSurfaces[0]->SetName("wood");
  g_madeSurfaces[0]->AddRef();  // kept alive by the test to look at it afterwards
  mesh->Release();
  EXPECT_EQ(InfoLines(), (std::vector<std::string>{
                             "- (CMesh) Releasing crate Of level\n",
                             "  - Releasing Surface: wood\n",
                             "   - Deleting Surfaces\n",
                             "   - Shadow Volume Manager\n",
                             "   - Deleting Vertices\n",
                             "   - Deleting Bones\n",
                             "   - Deleting Faces\n",
                             "   - Deleting Edges\n",
                             "   - Deleting Bound\n",
                             "- Mesh Released\n",
                         }));
  EXPECT_EQ(g_madeSurfaces[0]->references, 1);
  g_madeSurfaces[0]->Release();
  EXPECT_EQ(scene->GetNumberOfMeshes(), 0u);
  EXPECT_EQ(std::count(spatial.calls.begin(), spatial.calls.end(), "ReleaseShadowVolume"), 1);
  EXPECT_EQ(std::count(spatial.calls.begin(), spatial.calls.end(), "ReleaseBoundVolume"), 1);
}

TEST_F(MeshTest, FlagsAndLookups) {
  CMesh* mesh = AddMesh("m");
  EXPECT_EQ(mesh->GetWorldObjectType(), 1u);
  EXPECT_EQ(mesh->GetVertex(0), nullptr);
  EXPECT_EQ(mesh->GetFace(0), nullptr);
  EXPECT_EQ(mesh->GetBone(0), nullptr);

  EXPECT_EQ(mesh->SetUseBones(1), 0u);
  EXPECT_EQ(mesh->GetUseBones(), 0u);
  ASSERT_NE(mesh->CreateBones(2), nullptr);
  mesh->SetUseBones(1);
  EXPECT_EQ(mesh->GetUseBones(), 1u);
  EXPECT_NE(mesh->GetBone(1), nullptr);
  EXPECT_EQ(mesh->GetBone(2), nullptr);
  EXPECT_EQ(mesh->CreateBones(MAX_BONES + 1), nullptr);
  EXPECT_EQ(mesh->GetNumberOfBones(), 2u);

  EXPECT_EQ(mesh->SetIsMorph(1), 0u);
  EXPECT_EQ(mesh->GetCanCastShadowVolume(), 0u);

  CVector3 untouched(4, 4, 4);
  mesh->GetPosition(&untouched, 2);
  mesh->GetRotation(&untouched, 2);
  EXPECT_EQ(untouched, CVector3(4, 4, 4));
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - CMesh::CreateBones, (m) Can't Make 65 Bones\n"
            "WARNING!!! - Unknown FLAG For CMesh::GetPosition\n"
            "WARNING!!! - Unknown FLAG For CMesh::GetRotation\n");

  EXPECT_EQ(mesh->SetName(std::string(300, 'n').c_str()), 255u);
  CMesh* other = AddMesh("other");
  EXPECT_EQ(other->GetID(), mesh->GetID() + 1);
}

TEST_F(MeshTest, BonesFollowTheMatrixPassAndTheirLinksCannotLoop) {
  CMesh* mesh = AddMesh("rig");
  CBone* bones = mesh->CreateBones(3);
  ASSERT_NE(bones, nullptr);
  EXPECT_EQ(mesh->SetBoneParent(1, BONE_PARENT_ITEM_BONE, 0), 1u);
  EXPECT_EQ(mesh->SetBoneParent(2, BONE_PARENT_ITEM_BONE, 1), 1u);
  EXPECT_EQ(bones[2].GetParent(), &bones[1]);

  EXPECT_EQ(mesh->SetBoneParent(0, BONE_PARENT_ITEM_BONE, 2), 0u);
  EXPECT_EQ(mesh->SetBoneParent(1, BONE_PARENT_ITEM_BONE, 1), 0u);
  EXPECT_EQ(mesh->SetBoneParent(3, BONE_PARENT_ITEM_BONE, 0), 0u);
  EXPECT_EQ(mesh->SetBoneParent(0, BONE_PARENT_ITEM_BONE, 3), 0u);
  EXPECT_EQ(bones[0].GetParent(), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - CMesh::SetBoneParent, (rig) Bone 0 Can't Be Parented To Bone 2, It Would "
            "Close A Loop\n"
            "ERROR!!! - CMesh::SetBoneParent, (rig) Bone 1 Can't Be Parented To Bone 1, It Would "
            "Close A Loop\n"
            "ERROR!!! - CMesh::SetBoneParent, (rig) Bone Number Out Of Range: 3, 0 Of 3\n"
            "ERROR!!! - CMesh::SetBoneParent, (rig) Bone Number Out Of Range: 0, 3 Of 3\n");

  // With bones in use every new frame counts as a change, and every bone is evaluated.
  bones[0].GetMotion()->SetNumberOfChannels(1);
  mesh->SetUseBones(1);
  RunPasses(mesh, 3.0f);
  EXPECT_EQ(bones[0].GetMotion()->GetLastFrame(), 3.0f);
  RunPasses(mesh, 4.0f);
  EXPECT_EQ(mesh->GetIsDynamic(), 1u);
  EXPECT_EQ(bones[2].GetMotion()->GetLastFrame(), 4.0f);
}

TEST_F(MeshTest, KeyedDissolveIsSteppedByTheMatrixPass) {
  CMesh* mesh = AddMesh("m");
  CEnvelope* dissolve = mesh->GetDissolveEnvelope();
  dissolve->Channel().AddKeyData(0, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  dissolve->Channel().AddKeyData(1, 10, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  dissolve->SetIsEnvelope(1);
  mesh->PrepareMatrices(5.0f);
  EXPECT_FLOAT_EQ(mesh->GetEnvDissolve()->GetValue(), 0.5f);
}

TEST_F(MeshTest, MorphTargetVerticesGoWithTheBuffer) {
  CMesh* mesh = AddMesh("m");
  CMesh* target = AddMesh("target");
  CMesh* small = AddMesh("small");
  Vertex vertices[2] = {MakeVertex(0, 0, 0), MakeVertex(1, 0, 0)};
  mesh->SetVertices(2, vertices, 0);
  target->SetVertices(2, vertices, 0);
  small->SetVertices(1, vertices, 0);

  mesh->SetMorphTarget(small);
  mesh->SetMorphTarget(mesh);
  EXPECT_EQ(mesh->GetMorphedTo(1), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - Can't Morph m To A Mesh With Fewer Vertices\n"
            "ERROR!!! - Can't Morph m To Itself\n");
  EXPECT_EQ(mesh->SetIsMorph(1), 0u);
  mesh->SetMorphTarget(target);
  EXPECT_EQ(mesh->GetMorphedTo(1), static_cast<CMeshInterface*>(target));
  EXPECT_EQ(mesh->SetIsMorph(1), 1u);

  shaders.passes = {{{SHADER_STREAM_MESH, nullptr}}};
  ASSERT_EQ(mesh->CreateShader("morph.ssh", nullptr, 0, 0), 1u);
  EXPECT_EQ(storage.createCalls.back().secondVertices, target->GetVertices());

  // A target whose vertices shrank since is left out rather than read past its end.
  target->SetVertices(1, vertices, 0);
  mesh->CreateVertexBuffers();
  EXPECT_EQ(storage.createCalls.back().secondVertices, nullptr);
}

TEST_F(MeshTest, RemoveAdditionalTransformationStopsFollowingTheFrame) {
  CMesh* mesh = AddMesh("m");
  AnimateX(mesh);
  mesh->SetAdditionalTransformation(0, 0, 0, 1);
  mesh->SetFrame(8.0f, 0);
  mesh->RemoveAdditionalTransformation();
  EXPECT_FALSE(mesh->HasExplicitRotation());
  EXPECT_FALSE(mesh->HasExplicitQuaternion());
  RunPasses(mesh, 50.0f);
  EXPECT_FLOAT_EQ(mesh->GetCurrentMatrix()->_41, 8.0f);
}

}  // namespace
