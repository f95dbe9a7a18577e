#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeMeshShaderLibrary.h"
#include "FakeMeshSpatial.h"
#include "FakeMeshVertexBuffer.h"
#include "RecordingGenericPass.h"
#include "RecordingRenderingProfile.h"
#include "SurfaceTestBench.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "spatial/Collider.h"
#include "spatial/CollisionManager.h"

namespace {

// A strip of quads along x: 2 * quads faces over (quads + 1) * 2 vertices, the edges between
// neighbouring faces, every face of unit normal +z.
struct Strip {
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  std::vector<Edge> edges;
};

Strip MakeStrip(UINT quads, UINT extraVertices = 0) {
  Strip strip;
  for (UINT i = 0; i <= quads; ++i)
    for (float y : {0.0f, 1.0f}) {
      Vertex vertex{};
      vertex.vecPosition = {static_cast<float>(i), y, 0.0f};
      vertex.vecNormal = {0, 0, 1};
      vertex.vecTangent = {1, 0, 0};
      vertex.vecBiNormal = {0, 1, 0};
      strip.vertices.push_back(vertex);
    }
  strip.vertices.resize(strip.vertices.size() + extraVertices, strip.vertices.back());
  for (UINT i = 0; i < quads; ++i) {
    const WORD a = static_cast<WORD>(2 * i), b = a + 1, c = a + 2, d = a + 3;
    for (Face face : {Face{}, Face{}}) {
      face.vecNormal = {0, 0, 1};
      face.wFaceIndex = static_cast<WORD>(strip.faces.size());
      if (strip.faces.size() % 2 == 0) {
        face.wIndex1 = a, face.wIndex2 = c, face.wIndex3 = b;
      } else {
        face.wIndex1 = b, face.wIndex2 = c, face.wIndex3 = d;
      }
      strip.faces.push_back(face);
    }
    // The diagonal b-c is shared by the quad's two faces.
    Edge edge{};
    edge.wIndex1 = b;
    edge.wIndex2 = c;
    edge.wFace1 = static_cast<WORD>(2 * i);
    edge.wFace2 = static_cast<WORD>(2 * i + 1);
    strip.edges.push_back(edge);
  }
  return strip;
}

class MeshCombineTest : public ::testing::Test {
 protected:
  MeshCombineTest() : collisions(nullptr, &bench.log) {
    context->ports.meshSpatial.Set(&spatial);
    spatial.collisions = &collisions;
  }
  // The bench releases its scene after the fake is gone: the meshes go without it, as without
  // the spatial subsystem.
  ~MeshCombineTest() override { context->ports.meshSpatial.Reset(); }

  CMesh* AddStripMesh(const char* name, UINT quads, UINT extraVertices = 0) {
    CMesh* mesh = bench.AddMesh(name);
    Strip strip = MakeStrip(quads, extraVertices);
    mesh->SetVertices(static_cast<UINT>(strip.vertices.size()), strip.vertices.data(), 0);
    mesh->SetFaces(static_cast<UINT>(strip.faces.size()), strip.faces.data());
    // Owners must be set for SetEdges to take the second face.
    for (Edge& edge : strip.edges) {
      edge.pOwner1 = mesh->GetFace(edge.wFace1);
      edge.pOwner2 = mesh->GetFace(edge.wFace2);
    }
    mesh->SetEdges(static_cast<UINT>(strip.edges.size()), strip.edges.data());
    return mesh;
  }

  // A surface over every face of the mesh, coloured so that similarity can be chosen.
  CSurface* AddSurface(CMesh* mesh, const char* name, float red) {
    auto* surface = dynamic_cast<CSurface*>(mesh->CreateSurface());
    surface->SetName(name);
    float color[3] = {red, 0.5f, 0.5f};
    surface->SetColor(color);
    std::vector<WORD> indices;
    for (UINT i = 0; i < mesh->GetNumberOfFaces(); ++i) {
      const Face* face = mesh->GetFace(i);
      indices.insert(indices.end(), {face->wIndex1, face->wIndex2, face->wIndex3});
    }
    surface->SetIndices(static_cast<UINT>(indices.size()), indices.data());
    return surface;
  }

  static void ExpectOwnersFollowFaceNumbers(CMesh* mesh) {
    for (UINT i = 0; i < mesh->GetNumberOfEdges(); ++i) {
      const Edge* edge = mesh->GetEdge(i);
      EXPECT_EQ(edge->pOwner1, mesh->GetFace(edge->wFace1)) << "edge " << i;
      EXPECT_EQ(edge->pOwner2, mesh->GetFace(edge->wFace2)) << "edge " << i;
    }
  }

  bool SceneHolds(CMesh* mesh) {
    for (UINT i = 0; i < bench.scene->GetNumberOfMeshes(); ++i)
      if (bench.scene->GetMesh(i) == mesh) return true;
    return false;
  }

  EngineContextScope context;
  // These outlive the scene, whose meshes drop their references to their buffers.
  std::unique_ptr<FakeMeshVertexBuffer> vertexBuffer;
  RecordingGenericPass generic;
  FakeVertexBufferStorage storage;
  FakeMeshShaderLibrary shaders;
  SurfaceTestBench bench;
  FakeMeshSpatial spatial;
  CCollisionManager collisions;
};

TEST_F(MeshCombineTest, CloneOwnsItsArraysButSharesVertexBufferAndCollider) {
  CMesh* other = AddStripMesh("other", 2);
  CMesh* mesh = AddStripMesh("box", 3);
  AddSurface(mesh, "skin", 1.0f);
  // A merge gives the mesh a collider; the vertex buffer comes afterwards.
  ASSERT_EQ(mesh->Merge(other, 0, nullptr, nullptr), 1u);
  ASSERT_NE(mesh->GetCollider(), nullptr);
  vertexBuffer = std::make_unique<FakeMeshVertexBuffer>("box", mesh->GetVertices(),
                                                        mesh->GetNumberOfVertices());
  FakeMeshVertexBuffer* buffer = vertexBuffer.get();
  mesh->SetGenericPathData(buffer);
  mesh->SetPosition(CVector3(1, 2, 3));

  CMeshInterface* cloneInterface = nullptr;
  ASSERT_EQ(mesh->Clone(&cloneInterface), 1u);
  auto* clone = dynamic_cast<CMesh*>(cloneInterface);
  ASSERT_NE(clone, nullptr);

  EXPECT_STREQ(clone->GetName(), "box");
  EXPECT_TRUE(SceneHolds(clone));
  EXPECT_EQ(clone->GetNumberOfVertices(), mesh->GetNumberOfVertices());
  EXPECT_EQ(clone->GetNumberOfFaces(), mesh->GetNumberOfFaces());
  EXPECT_EQ(clone->GetNumberOfEdges(), mesh->GetNumberOfEdges());
  EXPECT_NE(clone->GetVertices(), mesh->GetVertices());
  EXPECT_NE(clone->GetFace(0), mesh->GetFace(0));
  EXPECT_NE(clone->GetEdge(0), mesh->GetEdge(0));
  ExpectOwnersFollowFaceNumbers(clone);

  EXPECT_EQ(clone->GetVertexBuffer(0), buffer);
  EXPECT_EQ(buffer->references, 2);
  EXPECT_EQ(clone->GetCollider(), mesh->GetCollider());
  EXPECT_EQ(mesh->GetCollider()->GetReferenceCount(), 2u);

  ASSERT_EQ(clone->GetNumberOfSurfaces(), 1u);
  EXPECT_NE(clone->GetSurface(0), mesh->GetSurface(0));
  EXPECT_EQ(dynamic_cast<CSurface*>(clone->GetSurface(0))->GetParentMeshObject(), clone);
  CVector3 position;
  clone->GetPosition(&position, 1);
  EXPECT_EQ(position, CVector3(1, 2, 3));

  // Releasing the clone gives back its shares only.
  clone->Release();
  EXPECT_EQ(buffer->references, 1);
  EXPECT_EQ(mesh->GetCollider()->GetReferenceCount(), 1u);
}

TEST_F(MeshCombineTest, CloneLinksBonesWithinItsOwnSkeleton) {
  CMesh* mesh = AddStripMesh("boned", 1);
  ASSERT_NE(mesh->CreateBones(3), nullptr);
  mesh->SetUseBones(1);
  ASSERT_EQ(mesh->SetBoneParent(1, BONE_PARENT_ITEM_BONE, 0), 1u);
  ASSERT_EQ(mesh->SetBoneParent(2, BONE_PARENT_ITEM_BONE, 1), 1u);
  mesh->GetBone(2)->SetFalloffType(5);

  CMeshInterface* cloneInterface = nullptr;
  ASSERT_EQ(mesh->Clone(&cloneInterface), 1u);
  auto* clone = dynamic_cast<CMesh*>(cloneInterface);
  ASSERT_EQ(clone->GetNumberOfBones(), 3u);
  EXPECT_EQ(clone->GetBone(0)->GetParent(), nullptr);
  EXPECT_EQ(clone->GetBone(1)->GetParent(), clone->GetBone(0));
  EXPECT_EQ(clone->GetBone(2)->GetParent(), clone->GetBone(1));
  EXPECT_EQ(clone->GetBone(2)->GetFalloffType(), 5u);
}

TEST_F(MeshCombineTest, MergeAppendsWithOffsetsAndRenumbersFaces) {
  // 30,000 vertices each: the sum stays within the 16-bit limit.
  CMesh* mesh = AddStripMesh("left", 2, 30000 - 6);
  CMesh* other = AddStripMesh("right", 3, 30000 - 8);
  // The other's last edge has one face only.
  Edge* open = other->GetEdge(2);
  open->pOwner2 = nullptr;
  open->wFace2 = 0xFFFF;
  const std::vector<Face> otherFaces(other->GetFace(0), other->GetFace(0) + 6);
  const std::vector<Edge> otherEdges(other->GetEdge(0), other->GetEdge(0) + 3);
  CMatrix matrix;
  matrix.SetRotateZ(1.5707964f);
  matrix.Move(10, 0, 0);

  ASSERT_EQ(mesh->Merge(other, 0, "joined", &matrix), 1u);

  EXPECT_STREQ(mesh->GetName(), "joined");
  EXPECT_EQ(mesh->GetNumberOfVertices(), 60000u);
  ASSERT_EQ(mesh->GetNumberOfFaces(), 10u);
  ASSERT_EQ(mesh->GetNumberOfEdges(), 5u);
  for (UINT i = 0; i < 6; ++i) {
    const Face* face = mesh->GetFace(4 + i);
    EXPECT_EQ(face->wIndex1, otherFaces[i].wIndex1 + 30000);
    EXPECT_EQ(face->wIndex3, otherFaces[i].wIndex3 + 30000);
    EXPECT_EQ(face->wEdge1, otherFaces[i].wEdge1 + 2);
    EXPECT_EQ(face->wFaceIndex, 4 + i) << "appended faces are numbered by their place";
  }
  for (UINT i = 0; i < 3; ++i) {
    const Edge* edge = mesh->GetEdge(2 + i);
    EXPECT_EQ(edge->wIndex1, otherEdges[i].wIndex1 + 30000);
    EXPECT_EQ(edge->wFace1, otherEdges[i].wFace1 + 4);
    if (i < 2) {
      EXPECT_EQ(edge->wFace2, otherEdges[i].wFace2 + 4);
    }
  }
  EXPECT_EQ(mesh->GetEdge(4)->wFace2, 0xFFFF);
  EXPECT_EQ(mesh->GetEdge(4)->pOwner2, nullptr);
  ExpectOwnersFollowFaceNumbers(mesh);

  // The other's vertex (1, 1, 0) turned a quarter about z and moved by 10 along x.
  const Vertex* moved = mesh->GetVertex(30000 + 3);
  EXPECT_NEAR(moved->vecPosition.x, 9.0f, 1e-4f);
  EXPECT_NEAR(moved->vecPosition.y, 1.0f, 1e-4f);
  EXPECT_NEAR(moved->vecNormal.z, 1.0f, 1e-5f);
  EXPECT_NEAR(moved->vecTangent.y, 1.0f, 1e-5f) << "directions turn without the translation";
  EXPECT_NEAR(moved->vecTangent.Length(), 1.0f, 1e-5f);
  // This mesh's own vertices stay where they were.
  EXPECT_EQ(mesh->GetVertex(3)->vecPosition, CVector3(1, 1, 0));

  EXPECT_FALSE(SceneHolds(other)) << "the merged mesh is released";
  EXPECT_NE(mesh->GetCollider(), nullptr);
}

TEST_F(MeshCombineTest, MergeRefusalsChangeNothing) {
  struct Case {
    const char* what;
    UINT ownQuads, ownExtra, otherQuads, otherExtra;
    bool otherBones;
    const char* message;
  };
  const Case cases[] = {
      {"vertices", 1, 40000, 1, 40000, false, "The Number Of Vertices Is Too High"},
      {"no faces", 0, 4, 1, 0, false, "The Number Of Faces Is 0"},
      {"bones", 1, 0, 1, 0, true, "Bones"},
  };
  for (const Case& c : cases) {
    bench.log.entries.clear();
    CMesh* mesh = AddStripMesh("mine", c.ownQuads, c.ownExtra);
    CMesh* other = AddStripMesh("theirs", c.otherQuads, c.otherExtra);
    if (c.otherBones) other->CreateBones(1);
    const UINT vertices = mesh->GetNumberOfVertices(), faces = mesh->GetNumberOfFaces();

    EXPECT_EQ(mesh->Merge(other, 0, "renamed", nullptr), 0u) << c.what;

    EXPECT_STREQ(mesh->GetName(), "mine") << c.what;
    EXPECT_EQ(mesh->GetNumberOfVertices(), vertices) << c.what;
    EXPECT_EQ(mesh->GetNumberOfFaces(), faces) << c.what;
    EXPECT_TRUE(SceneHolds(other)) << c.what;
    EXPECT_NE(bench.log.TextAt(CEngineLog::kLevelError).find(c.message), std::string::npos)
        << c.what;
  }
}

TEST_F(MeshCombineTest, MergeOfSelfIsRefused) {
  CMesh* mesh = AddStripMesh("alone", 1);
  EXPECT_EQ(mesh->Merge(mesh, 0, nullptr, nullptr), 0u);
  EXPECT_TRUE(SceneHolds(mesh));
  EXPECT_EQ(mesh->GetNumberOfFaces(), 2u);
}

TEST_F(MeshCombineTest, MergeSurfacesJoinSimilarOnesOrAppendShifted) {
  for (UINT flags : {0u, 1u}) {
    CMesh* mesh = AddStripMesh("base", 1);
    CMesh* other = AddStripMesh("extra", 1);
    AddSurface(mesh, "grey", 0.5f);
    AddSurface(other, "also grey", 0.5f);
    AddSurface(other, "red", 1.0f);

    ASSERT_EQ(mesh->Merge(other, flags, nullptr, nullptr), 1u);

    auto surface = [&](UINT i) { return dynamic_cast<CSurface*>(mesh->GetSurface(i)); };
    if (flags == 0) {
      ASSERT_EQ(mesh->GetNumberOfSurfaces(), 3u);
      EXPECT_EQ(surface(0)->GetNumberOfIndices(), 6u);
      EXPECT_STREQ(surface(1)->GetName(), "also grey");
    } else {
      ASSERT_EQ(mesh->GetNumberOfSurfaces(), 2u) << "the similar surface joins the first";
      EXPECT_EQ(surface(0)->GetNumberOfIndices(), 12u);
      EXPECT_EQ(surface(0)->GetIndices()[6], 0 + 4);
    }
    CSurface* red = surface(mesh->GetNumberOfSurfaces() - 1);
    EXPECT_STREQ(red->GetName(), "red");
    EXPECT_EQ(red->GetParentMeshObject(), mesh);
    // The appended surface's indices number the other's vertices after this mesh's four.
    EXPECT_EQ(red->GetIndices()[0], 0 + 4) << "flags " << flags;
  }
}

// Merging replaces the vertex array, so the buffers drawn from the old one go: the mesh must get
// new ones on the path it was drawn on, or it vanishes from the screen.
TEST_F(MeshCombineTest, MergedMeshIsDrawnAgainOnTheCodedPath) {
  generic.makeBuffers = true;
  context->ports.genericPass.Set(&generic);
  CMesh* mesh = AddStripMesh("walls", 1);
  generic.PrepareMesh(mesh);  // as a mesh loaded without shaders is
  FakeMeshVertexBuffer* loaded = generic.buffers.back().get();
  CMesh* unprepared = AddStripMesh("built in code", 1);

  ASSERT_EQ(mesh->Merge(AddStripMesh("wall", 1), 1, nullptr, nullptr), 1u);
  ASSERT_EQ(unprepared->Merge(AddStripMesh("other", 1), 1, nullptr, nullptr), 1u);

  EXPECT_EQ(loaded->references, 0) << "the old buffer is released";
  ASSERT_EQ(generic.meshes, (std::vector<CMesh*>{mesh, mesh}));
  EXPECT_EQ(mesh->GetVertexBuffer(0), generic.buffers.back().get());
  EXPECT_EQ(generic.buffers.back()->GetNumberOfVertices(), 8u);
  EXPECT_EQ(unprepared->GetVertexBuffer(0), nullptr) << "a mesh never prepared is left so";

  // A rendering profile that prepared the mesh is told of its new geometry instead.
  RecordingRenderingProfile profile;
  context->pRenderingProfile = &profile;
  ASSERT_EQ(mesh->Merge(AddStripMesh("third", 1), 1, nullptr, nullptr), 1u);
  context->pRenderingProfile = nullptr;
  EXPECT_EQ(profile.meshes, (std::vector<CMeshInterface*>{mesh}));
  EXPECT_EQ(generic.meshes.size(), 2u);
}

TEST_F(MeshCombineTest, MergedMeshWithAShaderBindsItsStreamsToTheNewBuffer) {
  bench.renderer.vertexBufferStorage = &storage;
  context->ports.meshShaders.Set(&shaders);
  shaders.passes = {{{SHADER_STREAM_MESH, nullptr}}};
  CMesh* mesh = AddStripMesh("walls", 1);
  ASSERT_EQ(mesh->CreateShader("wall.ssh", nullptr, 0, 0), 1u);
  FakeMeshVertexBuffer* first = storage.buffers.back().get();

  ASSERT_EQ(mesh->Merge(AddStripMesh("wall", 1), 1, nullptr, nullptr), 1u);

  EXPECT_EQ(first->references, 0);
  ASSERT_EQ(storage.buffers.size(), 2u);
  FakeMeshVertexBuffer* merged = storage.buffers.back().get();
  EXPECT_EQ(merged->GetNumberOfVertices(), 8u);
  EXPECT_EQ(mesh->GetVertexBuffer(0), merged);
  EXPECT_EQ(shaders.passes[0][0].pVertexBuffer, merged) << "no stream left on the freed buffer";
}

}  // namespace
