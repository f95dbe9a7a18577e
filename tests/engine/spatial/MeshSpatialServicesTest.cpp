// Meshes built in code with the real spatial services: their bound volume over a hierarchy
// pass, their shadow volume, and their colliders in triangle queries, shared and released.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "BoxGeometry.h"
#include "EdgedFaces.h"
#include "EngineContextScope.h"
#include "FakeSurfaceBanks.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "spatial/Collider.h"
#include "spatial/CollisionManager.h"
#include "spatial/MeshBoundVolume.h"
#include "spatial/MeshShadowVolume.h"
#include "spatial/MeshSpatialServices.h"
#include "spatial/OverlapTests.h"

namespace {

using PairSet = std::set<std::pair<UINT, UINT>>;

Vertex At(float x, float y, float z) {
  Vertex vertex{};
  vertex.vecPosition = {x, y, z};
  return vertex;
}

// A closed box from (0, 0, 0) to `size`, 8 vertices and 12 outward faces.
void BoxGeometry(const CVector3& size, std::vector<Vertex>& vertices, std::vector<Face>& faces) {
  vertices = BoxVertices({0, 0, 0}, size);
  faces = BoxFaces();
}

PairSet ToSet(const TrianglePair* pairs, UINT count) {
  PairSet set;
  for (UINT i = 0; i < count; ++i) set.insert({pairs[i].dwIdOne, pairs[i].dwIdTwo});
  return set;
}

// Every face pair of the two meshes tested in world space.
PairSet BruteForce(CMesh* a, CMesh* b) {
  auto corners = [](CMesh* mesh, UINT face, CVector3 (&out)[3]) {
    const Face* f = mesh->GetFace(face);
    const WORD indices[3] = {f->wIndex1, f->wIndex2, f->wIndex3};
    for (int i = 0; i < 3; ++i)
      out[i] = mesh->GetVertex(indices[i])->vecPosition * *mesh->GetCurrentMatrix();
  };
  PairSet pairs;
  for (UINT i = 0; i < a->GetNumberOfFaces(); ++i)
    for (UINT j = 0; j < b->GetNumberOfFaces(); ++j) {
      CVector3 u[3], v[3];
      corners(a, i, u);
      corners(b, j, v);
      if (TriangleTriangleOverlap(&u[0].x, &u[1].x, &u[2].x, &v[0].x, &v[1].x, &v[2].x))
        pairs.insert({i, j});
    }
  return pairs;
}

class MeshSpatialServicesTest : public ::testing::Test {
 protected:
  MeshSpatialServicesTest()
      : services(&log, &manager), manager(&renderer, &log), scene(new TestScene(&renderer, &log)) {
    renderer.indexBufferStorage = &indexBuffers;
    context->ports.meshSpatial.Set(&services);
  }
  ~MeshSpatialServicesTest() override { scene->Release(); }

  CMesh* AddMesh(const char* name) {
    auto* mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    return mesh;
  }

  CMesh* AddBox(const char* name, const CVector3& size, const CVector3& position) {
    CMesh* mesh = AddMesh(name);
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    BoxGeometry(size, vertices, faces);
    mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1);
    mesh->SetFaces(static_cast<UINT>(faces.size()), faces.data());
    Place(mesh, position);
    return mesh;
  }

  static void Place(CMesh* mesh, const CVector3& position) {
    mesh->SetPosition(position);
    mesh->PrepareMatrices(0.0f);
    mesh->UpdateHierarchy(0.0f);
  }

  // A mesh filled as the object reader fills it: vertices handed over without a rebuild, then
  // the faces, which ask for the collider.
  CMesh* AddLoaded(const char* name, std::vector<Vertex> vertices, std::vector<Face> faces) {
    CMesh* mesh = AddMesh(name);
    EXPECT_NE(mesh->TakeVertices(std::move(vertices), 0), 0u);
    EXPECT_NE(mesh->TakeFaces(std::move(faces)), 0u);
    Place(mesh, {0, 0, 0});
    return mesh;
  }

  size_t TimesLogged(const std::string& text) const {
    size_t times = 0;
    for (const auto& entry : log.entries) times += entry.text == text ? 1 : 0;
    return times;
  }

  bool Logged(int level, const std::string& text) const {
    for (const auto& entry : log.entries)
      if (entry.level == level && entry.text == text) return true;
    return false;
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  RecordingRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  CMeshSpatialServices services;
  CMeshSpatialServices withoutManager{&log, nullptr};
  CCollisionManager manager;
  TestScene* scene;
};

// --- bound volume ---

TEST_F(MeshSpatialServicesTest, TransformedBoxFollowsTheWorldMatrixThroughTheParent) {
  CMesh* parent = AddMesh("parent");
  CMesh* child = AddBox("child", {2, 4, 6}, {0, 0, 0});
  child->SetParentObject(parent);
  parent->SetPosition({10, 0, 0});
  child->SetPosition({0, 1, 0});
  for (CMesh* mesh : {parent, child}) mesh->PrepareMatrices(0.0f);
  for (CMesh* mesh : {parent, child}) mesh->UpdateHierarchy(0.0f);

  CMeshBoundVolumeInterface* volume = child->GetBoundVolume();
  ASSERT_NE(volume, nullptr);
  EXPECT_EQ(volume->GetOwnerMesh(), child);
  CVector3 low, high, centre;
  volume->GetMinTransformed(&low);
  volume->GetMaxTransformed(&high);
  volume->GetTransformedPosition(&centre);
  EXPECT_FLOAT_EQ(low.x, 10);
  EXPECT_FLOAT_EQ(low.y, 1);
  EXPECT_FLOAT_EQ(low.z, 0);
  EXPECT_FLOAT_EQ(high.x, 12);
  EXPECT_FLOAT_EQ(high.y, 5);
  EXPECT_FLOAT_EQ(high.z, 6);
  EXPECT_FLOAT_EQ(centre.y, 3);

  // A later pass moves the box with the mesh; the object-space box stays.
  child->SetPosition({0, -1, 0});
  child->PrepareMatrices(1.0f);
  child->UpdateHierarchy(1.0f);
  volume->GetMinTransformed(&low);
  EXPECT_FLOAT_EQ(low.y, -1);
  volume->GetMin(&low);
  EXPECT_FLOAT_EQ(low.y, 0);
}

TEST_F(MeshSpatialServicesTest, RebuildingReplacesTheBoundVolume) {
  CMesh* mesh = AddBox("box", {1, 1, 1}, {0, 0, 0});
  std::vector<Vertex> bigger = {At(0, 0, 0), At(3, 3, 3), At(0, 3, 0), At(3, 0, 0),
                                At(0, 0, 3), At(3, 3, 0), At(0, 3, 3), At(3, 0, 3)};
  mesh->SetVertices(8, bigger.data(), 1);
  CVector3 high;
  mesh->GetBoundVolume()->GetMax(&high);
  EXPECT_FLOAT_EQ(high.x, 3);
  // Without the flag the box is left as it was.
  bigger[1] = At(5, 5, 5);
  mesh->SetVertices(8, bigger.data(), 0);
  mesh->GetBoundVolume()->GetMax(&high);
  EXPECT_FLOAT_EQ(high.x, 3);
}

TEST_F(MeshSpatialServicesTest, BoundVolumeDrawsAtTheWorldMatrix) {
  RecordingDrawRenderer drawing;
  auto* mesh = new CMesh(&drawing, &log, scene, 0);
  scene->AppendWorldObject(mesh);
  Vertex vertices[] = {At(0, 0, 0), At(1, 2, 3)};
  mesh->SetVertices(2, vertices, 1);
  Place(mesh, {4, 5, 6});
  mesh->DrawBoundVolume();
  ASSERT_EQ(drawing.transforms.size(), 1u);
  EXPECT_EQ(drawing.transforms[0].second, *mesh->GetCurrentMatrix());
  ASSERT_EQ(drawing.draws.size(), 2u);  // filled, then wireframe
  EXPECT_EQ(drawing.draws[0].vertexCount, 8u);
}

TEST_F(MeshSpatialServicesTest, EachBoneDrawsFilledThenWireframe) {
  RecordingDrawRenderer drawing;
  auto* mesh = new CMesh(&drawing, &log, scene, 0);
  scene->AppendWorldObject(mesh);
  CBone* bones = mesh->CreateBones(2);
  ASSERT_NE(bones, nullptr);
  bones[0].SetRestLength(1);
  bones[1].SetRestLength(2);
  Place(mesh, {4, 5, 6});
  mesh->DrawBones();
  ASSERT_EQ(drawing.draws.size(), 4u);
  for (const auto& draw : drawing.draws) EXPECT_EQ(draw.vertexCount, 6u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");
}

// --- shadow volume ---

TEST_F(MeshSpatialServicesTest, ShadowVolumeIsPreparedAndReleasedWithTheMesh) {
  CMesh* mesh = AddMesh("tetra");
  Vertex vertices[] = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(0, 0, 1)};
  EdgedFaces built = FacesWithEdges({{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}}, &log);
  ASSERT_EQ(built.built, 1u);
  mesh->SetVertices(4, vertices, 1);
  mesh->SetFaces(4, built.faces.data());
  mesh->SetFlags(CMesh::kFlagCastsShadow);
  mesh->PrepareShadowVolume(built.edges.get(), built.edgeCount);

  CMeshShadowVolume* volume = mesh->GetShadowVolumeManager();
  ASSERT_NE(volume, nullptr);
  EXPECT_EQ(mesh->GetCanCastShadowVolume(), 1u);
  EXPECT_EQ(volume->GetNumberOfDynamicVertices(), 12u);
  EXPECT_EQ(volume->GetNumberOfDynamicIndices(), 48u);
  EXPECT_EQ(volume->GetNumberOfStaticVertices(), 8u);
  UINT count = 0;
  EXPECT_EQ(services.GetShadowVolumeBlock(volume, 0, &count), volume->GetDynamicVertices());
  EXPECT_EQ(count, 12u);
  EXPECT_EQ(services.GetShadowVolumeBlock(volume, 1, &count), volume->GetStaticVertices());
  EXPECT_EQ(count, 8u);
  EXPECT_EQ(services.GetShadowVolumeBlock(volume, 2, &count), nullptr);
  EXPECT_EQ(count, 0u);

  // The hierarchy pass ages the per-light flags.
  volume->GetLightEntry(0)->dwFlagA = 1;
  Place(mesh, {1, 0, 0});
  EXPECT_EQ(volume->GetLightEntry(0)->dwFlagA, 0u);

  ASSERT_EQ(indexBuffers.made.size(), 1u);
  EXPECT_EQ(indexBuffers.made[0]->references, 1);
  mesh->Release();
  EXPECT_EQ(indexBuffers.made[0]->references, 0);
  EXPECT_TRUE(Logged(CEngineLog::kLevelInfo, "  - Releasing Dynamic SV Index Buffer\n"));
  EXPECT_TRUE(Logged(CEngineLog::kLevelInfo, "  - Releasing Static SV Vertices\n"));
}

// --- colliders ---

TEST_F(MeshSpatialServicesTest, TouchingMeshesGiveTheirTrianglePairs) {
  CMesh* first = AddBox("first", {2, 2, 2}, {0, 0, 0});
  CMesh* second = AddBox("second", {2, 2, 2}, {1, 1.5f, 0.5f});
  ASSERT_NE(first->GetCollider(), nullptr);
  EXPECT_TRUE(Logged(CEngineLog::kLevelInfo, "  - BV-Tree For first Built\n"));

  UINT count = 0;
  TrianglePair* pairs = nullptr;
  ASSERT_EQ(first->CheckCollisionWith(second, 3, &count, &pairs), 1u);
  const PairSet expected = BruteForce(first, second);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ToSet(pairs, count), expected);
  EXPECT_EQ(count, expected.size());

  // Moved apart, the same meshes do not touch and the out-values stay as they were.
  Place(second, {50, 0, 0});
  count = 77;
  pairs = nullptr;
  EXPECT_EQ(first->CheckCollisionWith(second, 3, &count, &pairs), 0u);
  EXPECT_EQ(count, 77u);
  EXPECT_EQ(pairs, nullptr);
}

TEST_F(MeshSpatialServicesTest, ColliderFollowsTheFaces) {
  CMesh* mesh = AddMesh("empty");
  CMesh* box = AddBox("box", {2, 2, 2}, {0, 0, 0});
  UINT count = 5;
  EXPECT_EQ(mesh->GetCollider(), nullptr);
  EXPECT_EQ(mesh->CheckCollisionWith(box, 3, &count, nullptr), 0u);
  EXPECT_EQ(box->CheckCollisionWith(mesh, 3, &count, nullptr), 0u);
  EXPECT_EQ(count, 5u);

  // Vertices alone give no collider; faces do.
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  BoxGeometry({1, 1, 1}, vertices, faces);
  mesh->SetVertices(8, vertices.data(), 1);
  EXPECT_EQ(mesh->GetCollider(), nullptr);
  mesh->SetFaces(2, faces.data());
  ASSERT_NE(mesh->GetCollider(), nullptr);
  EXPECT_EQ(mesh->GetCollider()->GetModel().GetMeshInterface()->dwNumberOfTriangles, 2u);
  // New faces rebuild it over the new count, so no triangle is named that the mesh lacks.
  mesh->SetFaces(12, faces.data());
  EXPECT_EQ(mesh->GetCollider()->GetModel().GetMeshInterface()->dwNumberOfTriangles, 12u);
  Place(mesh, {0.5f, 0.5f, -0.5f});
  TrianglePair* pairs = nullptr;
  ASSERT_EQ(mesh->CheckCollisionWith(box, 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count), BruteForce(mesh, box));
}

TEST_F(MeshSpatialServicesTest, WithoutTheCollisionManagerThereIsNoCollider) {
  context->ports.meshSpatial.Set(&withoutManager);
  CMesh* mesh = AddBox("box", {1, 1, 1}, {0, 0, 0});
  EXPECT_EQ(mesh->GetCollider(), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");
}

TEST_F(MeshSpatialServicesTest, SharedColliderOutlivesTheMeshThatBuiltIt) {
  CMesh* original = AddBox("original", {2, 2, 2}, {0, 0, 0});
  CMesh* clone = AddBox("clone", {2, 2, 2}, {0, 0, 0});
  CMesh* other = AddBox("other", {2, 2, 2}, {1, 1, 1});
  CCollider* shared = original->GetCollider();
  ASSERT_TRUE(clone->IsColliderDue());
  original->ShareColliderWith(clone);
  // The clone's own collider was never asked for, so it is dropped unbuilt.
  EXPECT_FALSE(clone->IsColliderDue());
  EXPECT_FALSE(Logged(CEngineLog::kLevelInfo, "  - BV-Tree For clone Built\n"));
  ASSERT_EQ(clone->GetCollider(), shared);
  EXPECT_EQ(shared->GetReferenceCount(), 2u);
  original->ShareColliderWith(clone);  // sharing again changes nothing
  EXPECT_EQ(shared->GetReferenceCount(), 2u);

  // A mesh against its clone: one collider on both sides, each placed by its own matrix.
  Place(clone, {1.5f, 0, 0});
  UINT count = 0;
  TrianglePair* pairs = nullptr;
  ASSERT_EQ(original->CheckCollisionWith(clone, 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count), BruteForce(original, clone));

  original->Release();
  EXPECT_EQ(shared->GetReferenceCount(), 1u);
  ASSERT_EQ(clone->CheckCollisionWith(other, 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count), BruteForce(clone, other));
  ASSERT_EQ(other->CheckCollisionWith(clone, 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count), BruteForce(other, clone));

  log.entries.clear();
  clone->Release();
  EXPECT_TRUE(Logged(CEngineLog::kLevelInfo, "- (CCollider) Releasing Of clone\n"));
}

// --- colliders built at their first use ---

// Small triangles scattered through a cube, as one mesh: enough for a tree of many levels.
void ScatteredGeometry(unsigned seed, std::vector<Vertex>& vertices, std::vector<Face>& faces) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> place(-2.0f, 2.0f), offset(-0.4f, 0.4f);
  for (WORD i = 0; i < 300; ++i) {
    const CVector3 centre = {place(random), place(random), place(random)};
    for (int corner = 0; corner < 3; ++corner)
      vertices.push_back(At(centre.x + offset(random), centre.y + offset(random),
                            centre.z + offset(random)));
    Face face{};
    face.wIndex1 = WORD(3 * i);
    face.wIndex2 = WORD(3 * i + 1);
    face.wIndex3 = WORD(3 * i + 2);
    faces.push_back(face);
  }
}

TEST_F(MeshSpatialServicesTest, LoadedColliderIsBuiltAtItsFirstUseAndAnswersAsAnEagerOne) {
  std::vector<Vertex> vertices, probeVertices;
  std::vector<Face> faces, probeFaces;
  ScatteredGeometry(7, vertices, faces);
  ScatteredGeometry(8, probeVertices, probeFaces);
  CMesh* eager = AddLoaded("eager", vertices, faces);
  ASSERT_NE(eager->GetCollider(), nullptr);
  CMesh* lazy = AddLoaded("lazy", vertices, faces);
  CMesh* probe = AddLoaded("probe", probeVertices, probeFaces);
  CMesh* unused = AddLoaded("unused", vertices, faces);
  Place(probe, {0.3f, 0.2f, 0.1f});

  EXPECT_TRUE(lazy->IsColliderDue());
  EXPECT_EQ(TimesLogged("  - BV-Tree For lazy Built\n"), 0u);

  UINT count = 0;
  TrianglePair* pairs = nullptr;
  ASSERT_EQ(eager->CheckCollisionWith(probe, 3, &count, &pairs), 1u);
  const PairSet expected = ToSet(pairs, count);
  EXPECT_EQ(expected, BruteForce(eager, probe));
  ASSERT_GT(expected.size(), 10u);
  for (int ask = 0; ask < 2; ++ask) {
    ASSERT_EQ(lazy->CheckCollisionWith(probe, 3, &count, &pairs), 1u);
    EXPECT_EQ(ToSet(pairs, count), expected);
  }
  EXPECT_FALSE(lazy->IsColliderDue());
  EXPECT_EQ(TimesLogged("  - BV-Tree For lazy Built\n"), 1u);
  // Asked from the other side, the other mesh builds its own.
  ASSERT_EQ(probe->CheckCollisionWith(lazy, 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count), BruteForce(probe, lazy));

  // A mesh never asked goes without ever building one.
  unused->Release();
  EXPECT_EQ(TimesLogged("  - BV-Tree For unused Built\n"), 0u);
}

// Vertices replaced without a rebuild keep the collider built over the old ones, whether it was
// built before or was still waiting: moved far away, the old tree finds no contact at the new
// place, as it always did. With a rebuild the new place answers.
TEST_F(MeshSpatialServicesTest, VerticesReplacedAfterLoadAnswerAsBefore) {
  std::vector<Vertex> vertices, moved;
  std::vector<Face> faces;
  ScatteredGeometry(11, vertices, faces);
  for (Vertex vertex : vertices) {
    vertex.vecPosition.x += 20.0f;
    moved.push_back(vertex);
  }
  CMesh* probe = AddBox("probe", {4, 4, 4}, {18, -2, -2});
  struct Case {
    const char* name;
    bool take;
    UINT rebuild;
    bool touches;
  };
  const Case cases[] = {{"set, no rebuild", false, 0, false},
                        {"take, no rebuild", true, 0, false},
                        {"set, other flag", false, 2, false},
                        {"set, rebuild", false, 1, true},
                        {"take, rebuild", true, 1, true}};
  for (const Case& c : cases) {
    PairSet answers[2];
    for (int builtFirst = 0; builtFirst < 2; ++builtFirst) {
      CMesh* mesh = AddLoaded(c.name, vertices, faces);
      if (builtFirst) {
        ASSERT_NE(mesh->GetCollider(), nullptr) << c.name;
      }
      std::vector<Vertex> replacement = moved;
      if (c.take)
        ASSERT_NE(mesh->TakeVertices(std::move(replacement), c.rebuild), 0u) << c.name;
      else
        ASSERT_NE(mesh->SetVertices(UINT(moved.size()), moved.data(), c.rebuild), 0u) << c.name;
      UINT count = 0;
      TrianglePair* pairs = nullptr;
      const UINT hit = mesh->CheckCollisionWith(probe, 3, &count, &pairs);
      if (hit) answers[builtFirst] = ToSet(pairs, count);
      mesh->Release();
    }
    EXPECT_EQ(answers[0], answers[1]) << c.name;
    EXPECT_EQ(!answers[0].empty(), c.touches) << c.name;
  }
}

TEST_F(MeshSpatialServicesTest, CloneOfALoadedMeshSharesTheOneCollider) {
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  ScatteredGeometry(3, vertices, faces);
  CMesh* mesh = AddLoaded("loaded", vertices, faces);
  CMeshInterface* cloned = nullptr;
  ASSERT_EQ(mesh->Clone(&cloned), 1u);
  auto* clone = static_cast<CMesh*>(cloned);
  EXPECT_FALSE(clone->IsColliderDue());
  ASSERT_NE(clone->GetCollider(), nullptr);
  EXPECT_EQ(clone->GetCollider(), mesh->GetCollider());
  EXPECT_EQ(mesh->GetCollider()->GetReferenceCount(), 2u);
  EXPECT_EQ(TimesLogged("  - BV-Tree For loaded Built\n"), 1u);
  mesh->Release();
  EXPECT_EQ(clone->GetCollider()->GetReferenceCount(), 1u);
}

TEST_F(MeshSpatialServicesTest, ColliderThatCannotBeBuiltIsLoggedOnce) {
  CMesh* mesh = AddMesh("bare");
  mesh->CreateCollider();  // no faces to build over
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");
  for (int ask = 0; ask < 3; ++ask) EXPECT_EQ(mesh->GetCollider(), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - Can't Create Collider Interface For Mesh: bare\n");
}

TEST_F(MeshSpatialServicesTest, CollisionKinds) {
  CMesh* first = AddBox("first", {2, 2, 2}, {0, 0, 0});
  CMesh* near = AddBox("near", {2, 2, 2}, {2, 0, 0});  // touches on one face
  CMesh* far = AddBox("far", {2, 2, 2}, {2.5f, 0, 0});
  struct Case {
    CMesh* other;
    UINT kind;
    UINT expected;
  };
  const Case cases[] = {{near, 1, 1}, {near, 2, 1}, {far, 1, 0}, {far, 2, 0},
                        {far, 3, 0},  {near, 0, 0}, {near, 4, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(first->CheckCollisionWith(c.other, c.kind, nullptr, nullptr), c.expected)
        << c.other->GetName() << " kind " << c.kind;
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Incorrect Flag When Looking For A Collision: first\n"
            "WARNING!!! - Incorrect Flag When Looking For A Collision: first\n");
}

}  // namespace
