#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ChunkStreams.h"
#include "MeshFileBench.h"
#include "files/ZKOBoundingBoxExporter.h"
#include "scene/SurfaceFactory.h"
#include "spatial/BoundVolumeMesh.h"
#include "spatial/MeshBoundVolume.h"
#include "spatial/MeshShadowVolume.h"
#include "spatial/ShadowVolumeGeometry.h"

namespace {

using ObjectFile = MeshFileBench;

// The top-level tags of an object file, in order.
std::vector<std::string> TopLevelTags(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> tags;
  for (size_t at = 8; at + 8 <= bytes.size(); at += 8 + U32At(bytes, at + 4))
    tags.emplace_back(reinterpret_cast<const char*>(&bytes[at]), 4);
  return tags;
}

// The size word of the first top-level chunk `tag`, or -1.
int64_t ChunkSize(const std::vector<uint8_t>& bytes, const char* tag) {
  for (size_t at = 8; at + 8 <= bytes.size(); at += 8 + U32At(bytes, at + 4))
    if (std::memcmp(&bytes[at], tag, 4) == 0) return U32At(bytes, at + 4);
  return -1;
}

void ExpectSameVertices(const Vertex* expected, const Vertex* actual, UINT count) {
  if (count == 0) return;
  ASSERT_NE(actual, nullptr);
  for (UINT i = 0; i < count; ++i)
    EXPECT_EQ(std::memcmp(&expected[i], &actual[i], sizeof(Vertex)), 0) << "vertex " << i;
}

TEST_F(ObjectFile, ClosedMeshRoundTripsGeometryFlagsBoxShadowVolumeAndGetsACollider) {
  CMesh* saved = Tetrahedron("tetra");
  ASSERT_EQ(saved->GetIsClosed(), 1u);
  saved->SetIsBlended(1);
  ASSERT_TRUE(Save(saved));

  const std::vector<uint8_t> bytes = FileBytes(ObjectPath("tetra"));
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "ZKO6");
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(TopLevelTags(bytes),
            (std::vector<std::string>{"VRTN", "VERT", "FACN", "FACE", "VLME", "EDGN", "EDGE",
                                      "BBOX", "SRFN", "BLND", "SWVL"}));
  EXPECT_EQ(ChunkSize(bytes, "VERT"), 4 * 88);
  EXPECT_EQ(ChunkSize(bytes, "FACE"), 4 * 28);
  EXPECT_EQ(ChunkSize(bytes, "EDGE"), 6 * 20);

  bool loaded = false;
  CMesh* mesh = Load("tetra", &loaded);
  ASSERT_TRUE(loaded) << log.TextAt(CEngineLog::kLevelError);
  ASSERT_EQ(mesh->GetNumberOfVertices(), 4u);
  ExpectSameVertices(saved->GetVertices(), mesh->GetVertices(), 4);
  // Saved again, the loaded mesh gives the same bytes.
  ASSERT_TRUE(Save(mesh));
  EXPECT_EQ(FileBytes(ObjectPath("tetra")), bytes);
  ASSERT_EQ(mesh->GetNumberOfFaces(), 4u);
  for (UINT i = 0; i < 4; ++i)
    EXPECT_EQ(std::memcmp(saved->GetFace(i), mesh->GetFace(i), sizeof(Face)), 0) << "face " << i;
  ASSERT_EQ(mesh->GetNumberOfEdges(), 6u);
  for (UINT i = 0; i < 6; ++i) {
    const Edge& want = *saved->GetEdge(i);
    const Edge& edge = *mesh->GetEdge(i);
    EXPECT_EQ(edge.wIndex1, want.wIndex1);
    EXPECT_EQ(edge.wIndex2, want.wIndex2);
    EXPECT_EQ(edge.wFace1, want.wFace1);
    EXPECT_EQ(edge.wFace2, want.wFace2);
    // The owners are the loaded mesh's own faces, rebuilt from the numbers.
    EXPECT_EQ(edge.pOwner1, mesh->GetFace(want.wFace1));
    EXPECT_EQ(edge.pOwner2, mesh->GetFace(want.wFace2));
  }
  EXPECT_EQ(mesh->GetIsClosed(), 1u);
  EXPECT_EQ(mesh->GetIsBlended(), 1u);

  auto* box = static_cast<CMeshBoundVolume*>(mesh->GetBoundVolume());
  auto* savedBox = static_cast<CMeshBoundVolume*>(saved->GetBoundVolume());
  ASSERT_NE(box, nullptr);
  ASSERT_NE(box, savedBox);
  ASSERT_EQ(box->GetNumberOfRecords(), 1u);
  EXPECT_EQ(std::memcmp(box->GetRecord(0)->vecCorners, savedBox->GetRecord(0)->vecCorners,
                        sizeof savedBox->GetRecord(0)->vecCorners),
            0);
  EXPECT_EQ(box->GetRecord(0)->vecMax, savedBox->GetRecord(0)->vecMax);

  CMeshShadowVolume* want = saved->GetShadowVolumeManager();
  CMeshShadowVolume* shadow = mesh->GetShadowVolumeManager();
  ASSERT_GT(want->GetNumberOfDynamicVertices(), 0u);
  ASSERT_GT(want->GetNumberOfStaticVertices(), 0u);
  ASSERT_EQ(shadow->GetNumberOfDynamicVertices(), want->GetNumberOfDynamicVertices());
  ASSERT_EQ(shadow->GetNumberOfStaticVertices(), want->GetNumberOfStaticVertices());
  ExpectSameVertices(want->GetDynamicVertices(), shadow->GetDynamicVertices(),
                     want->GetNumberOfDynamicVertices());
  ExpectSameVertices(want->GetStaticVertices(), shadow->GetStaticVertices(),
                     want->GetNumberOfStaticVertices());
  ASSERT_EQ(shadow->GetNumberOfDynamicIndices(), want->GetNumberOfDynamicIndices());
  EXPECT_TRUE(std::equal(want->GetDynamicIndices(),
                         want->GetDynamicIndices() + want->GetNumberOfDynamicIndices(),
                         shadow->GetDynamicIndices()));
  ASSERT_NE(shadow->GetDynamicIndexBuffer(), nullptr);
  EXPECT_STREQ(shadow->GetDynamicIndexBuffer()->GetMeshOwner(), "tetra_shadow_volume_1");
  EXPECT_EQ(mesh->GetCanCastShadowVolume(), 0u) << "the shadow options were not loaded here";

  EXPECT_NE(mesh->GetCollider(), nullptr);
}

// An open edge names no second face: the loaded edge must not point at a face 65535.
TEST_F(ObjectFile, OpenEdgeKeepsItsSecondOwnerEmpty) {
  CMesh* saved = AddMesh("leaf");
  Shape(saved, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  ASSERT_EQ(saved->GetNumberOfEdges(), 3u);
  ASSERT_EQ(saved->GetIsClosed(), 0u);
  ASSERT_TRUE(Save(saved));
  EXPECT_EQ(TopLevelTags(FileBytes(ObjectPath("leaf"))).back(), "BLND") << "no shadow volume";

  bool loaded = false;
  CMesh* mesh = Load("leaf", &loaded);
  ASSERT_TRUE(loaded) << log.TextAt(CEngineLog::kLevelError);
  ASSERT_EQ(mesh->GetNumberOfEdges(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(mesh->GetEdge(i)->wFace2, 0xFFFF);
    EXPECT_EQ(mesh->GetEdge(i)->pOwner1, mesh->GetFace(0));
    EXPECT_EQ(mesh->GetEdge(i)->pOwner2, nullptr);
  }
  EXPECT_EQ(mesh->GetShadowVolumeManager()->GetNumberOfDynamicVertices(), 0u);
}

TEST_F(ObjectFile, MeshWithoutEdgesWritesNoEdgeChunks) {
  CMesh* saved = AddMesh("bare");
  std::vector<Vertex> vertices = Corners({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  Face face{};
  face.wIndex2 = 1;
  face.wIndex3 = 2;
  ASSERT_NE(saved->SetVertices(3, vertices.data(), 0), 0u);
  ASSERT_NE(saved->SetFaces(1, &face), 0u);
  ASSERT_TRUE(Save(saved));
  EXPECT_EQ(TopLevelTags(FileBytes(ObjectPath("bare"))),
            (std::vector<std::string>{"VRTN", "VERT", "FACN", "FACE", "VLME", "BBOX", "SRFN",
                                      "BLND"}));
  EXPECT_EQ(ChunkSize(FileBytes(ObjectPath("bare")), "BBOX"), 4) << "a mesh without a box";

  bool loaded = false;
  CMesh* mesh = Load("bare", &loaded);
  ASSERT_TRUE(loaded) << log.TextAt(CEngineLog::kLevelError);
  EXPECT_EQ(mesh->GetNumberOfEdges(), 0u);
  EXPECT_EQ(mesh->GetNumberOfFaces(), 1u);
  ASSERT_NE(mesh->GetBoundVolume(), nullptr);
  EXPECT_EQ(static_cast<CMeshBoundVolume*>(mesh->GetBoundVolume())->GetNumberOfRecords(), 0u);
}

// One box per animation time: none, one without a time, two with their times.
TEST_F(ObjectFile, BoundingBoxesRoundTripWithTheirSizes) {
  struct Case {
    UINT boxes;
    int64_t size;
  };
  for (const Case& c : {Case{0, 4}, Case{1, 180}, Case{2, 364}}) {
    SCOPED_TRACE(c.boxes);
    const std::string name = "boxes" + std::to_string(c.boxes);
    CMesh* saved = AddMesh(name.c_str());
    std::vector<CMeshBoundVolume::Record> records(c.boxes);
    for (UINT i = 0; i < c.boxes; ++i) {
      const float f = static_cast<float>(i + 1);
      records[i].fTime = f * 0.5f;
      records[i].vecMin = {-f, -2 * f, -3 * f};
      records[i].vecMax = {f, 2 * f, 3 * f};
      records[i].vecCentre = {0, f, 0};
      records[i].vecExtents = {f, 2 * f, 3 * f};
      for (int k = 0; k < 8; ++k) records[i].vecCorners[k] = {f * k, f, -f * k, 1};
    }
    auto* volume = new CMeshBoundVolume(std::make_unique<CBoundVolumeMesh>(saved, &log));
    volume->SetRecords(records);
    ASSERT_TRUE(saved->SetBoundVolume(volume));
    ASSERT_TRUE(Save(saved));
    EXPECT_EQ(ChunkSize(FileBytes(ObjectPath(name.c_str())), "BBOX"), c.size);

    bool loaded = false;
    CMesh* mesh = Load(name.c_str(), &loaded);
    ASSERT_TRUE(loaded) << log.TextAt(CEngineLog::kLevelError);
    auto* box = static_cast<CMeshBoundVolume*>(mesh->GetBoundVolume());
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->GetNumberOfRecords(), c.boxes);
    for (UINT i = 0; i < c.boxes; ++i) {
      const CMeshBoundVolume::Record& r = *box->GetRecord(i);
      if (c.boxes > 1) {
        EXPECT_EQ(r.fTime, records[i].fTime);
      }
      EXPECT_EQ(r.vecMin, records[i].vecMin);
      EXPECT_EQ(r.vecMax, records[i].vecMax);
      EXPECT_EQ(r.vecCentre, records[i].vecCentre);
      EXPECT_EQ(r.vecExtents, records[i].vecExtents);
      EXPECT_EQ(std::memcmp(r.vecCorners, records[i].vecCorners, sizeof r.vecCorners), 0);
    }
  }
}

// The writer leaves out each part of the shadow volume the mesh lacks; whatever it writes
// must read back.
TEST_F(ObjectFile, EveryShadowVolumeCombinationTheWriterWritesReadsBack) {
  struct Case {
    const char* name;
    bool dynamic, indices, statics;
  };
  const Case cases[] = {{"static_only", false, false, true},
                        {"no_indices", true, false, true},
                        {"dynamic_only", true, true, false},
                        {"empty", false, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMesh* saved = AddMesh(c.name);
    const std::vector<Vertex> vertices = Corners({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    CShadowVolumeGeometry geometry(c.name, &log);
    if (c.dynamic) geometry.m_DynamicVertices = vertices;
    if (c.indices) geometry.m_Indices = {0, 2, 1, 1, 2};
    if (c.statics) geometry.m_StaticVertices = Corners({{5, 5, 5}, {6, 6, 6}});
    const CShadowVolumeGeometry want = geometry;
    WORD none = 0;
    auto* buffer = c.indices ? static_cast<CCountedIndexBuffer*>(
                                 indexBuffers.CreateIndexBuffer("x", "x", &none, 1, 0, 0))
                             : nullptr;
    saved->GetShadowVolumeManager()->SetGeometry(geometry, buffer);
    saved->SetCastsShadowVolume(1);
    ASSERT_TRUE(Save(saved));

    bool loaded = false;
    CMesh* mesh = Load(c.name, &loaded);
    ASSERT_TRUE(loaded) << log.TextAt(CEngineLog::kLevelError);
    CMeshShadowVolume* shadow = mesh->GetShadowVolumeManager();
    ASSERT_EQ(shadow->GetNumberOfDynamicVertices(), want.m_DynamicVertices.size());
    ExpectSameVertices(want.m_DynamicVertices.data(), shadow->GetDynamicVertices(),
                       shadow->GetNumberOfDynamicVertices());
    ASSERT_EQ(shadow->GetNumberOfStaticVertices(), want.m_StaticVertices.size());
    ExpectSameVertices(want.m_StaticVertices.data(), shadow->GetStaticVertices(),
                       shadow->GetNumberOfStaticVertices());
    ASSERT_EQ(shadow->GetNumberOfDynamicIndices(), want.m_Indices.size());
    EXPECT_TRUE(std::equal(want.m_Indices.begin(), want.m_Indices.end(),
                           shadow->GetDynamicIndices()));
    EXPECT_EQ(shadow->GetDynamicIndexBuffer() != nullptr, c.indices);
  }
}

TEST_F(ObjectFile, MeshWithIncorrectEdgesIsNotSaved) {
  CMesh* mesh = AddMesh("fan");
  // Three faces on one edge.
  Shape(mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
        {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}});
  ASSERT_EQ(mesh->GetHasShadowVolumeGeometry(), 0u);
  EXPECT_FALSE(Save(mesh));
  EXPECT_TRUE(Logged("ERROR!!! - Can't Save Object With Incorrect Edges: fan\n"));
  struct stat info;
  EXPECT_NE(stat(ObjectPath("fan").c_str(), &info), 0);
}

// Loading looks only in "Objects": the save makes the folder, or fails.
TEST_F(ObjectFile, SaveMakesTheObjectsFolderOrFails) {
  CMesh* mesh = Tetrahedron("tetra");
  ASSERT_TRUE(Save(mesh));
  struct stat info;
  EXPECT_EQ(stat(ObjectPath("tetra").c_str(), &info), 0);

  scene->SetDirectory((dir / "missing/deeper/").c_str());
  EXPECT_FALSE(Save(mesh));
  EXPECT_TRUE(Logged("ERROR!!! - Can't Open Object File: " + dir.Path() +
                     "/missing/deeper/Objects\\tetra.zko\n"));
  EXPECT_NE(stat((dir / "missing/deeper/tetra.zko").c_str(), &info), 0);
}

TEST_F(ObjectFile, PathsThatDoNotFitTheirBuffersAreRefused) {
  const std::string longName(255, 'n');
  CMesh* mesh = Tetrahedron(longName.c_str());
  EXPECT_FALSE(Save(mesh));
  EXPECT_TRUE(Logged("ERROR!!! - Object File Name Too Long: " + longName + "\n"));

  const std::string longDirectory(400, 'd');
  EXPECT_FALSE(reader.GetObjectExporter()->LoadObjectFromDirectory(mesh, longDirectory.c_str(),
                                                                   longName.c_str(), 0));
  EXPECT_TRUE(Logged("ERROR! - MESH::LoadMesh, Object File Name Too Long: " + longName + "\n"));
}

TEST_F(ObjectFile, OlderMagicOlderShadowLayoutAndUnknownChunksLoad) {
  const std::vector<Vertex> vertices = Corners({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  CChunkBuilder file;
  file.Begin("ZKO5").U32Chunk("VRTN", 3).Begin("VERT").Raw(vertices.data(), 3 * sizeof(Vertex)).End();
  file.U32Chunk("XTRA", 7);
  // Indices before their vertices: both are kept for the end of the file.
  file.U32Chunk("SVIN", 3).Begin("SVIX").U16(2).U16(1).U16(0).End();
  file.U32Chunk("SVVN", 3).Begin("SVVR").Raw(vertices.data(), 3 * sizeof(Vertex)).End();
  file.U32Chunk("BLND", 1).End();
  WriteObject("old", file.Bytes());

  bool loaded = false;
  CMesh* mesh = Load("old", &loaded);
  ASSERT_TRUE(loaded) << log.TextAt(CEngineLog::kLevelError);
  EXPECT_EQ(mesh->GetNumberOfVertices(), 3u);
  EXPECT_EQ(mesh->GetIsBlended(), 1u);
  CMeshShadowVolume* shadow = mesh->GetShadowVolumeManager();
  ASSERT_EQ(shadow->GetNumberOfDynamicVertices(), 3u);
  ExpectSameVertices(vertices.data(), shadow->GetDynamicVertices(), 3);
  ASSERT_EQ(shadow->GetNumberOfDynamicIndices(), 3u);
  EXPECT_EQ(shadow->GetDynamicIndices()[0], 2);
  ASSERT_NE(shadow->GetDynamicIndexBuffer(), nullptr);
  EXPECT_STREQ(shadow->GetDynamicIndexBuffer()->GetMeshOwner(), "old_shadow_volume");
}

TEST_F(ObjectFile, MissingCollisionsLeaveALoadedMeshWithoutCollider) {
  ASSERT_TRUE(Save(Tetrahedron("tetra")));
  context->ports.meshSpatial.Set(&withoutManager);
  bool loaded = false;
  CMesh* mesh = Load("tetra", &loaded);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(mesh->GetCollider(), nullptr);
  EXPECT_EQ(mesh->GetNumberOfFaces(), 4u);
}

// --- malformed files ---

void Vertices(CChunkBuilder& b, uint32_t count) {
  std::vector<Vertex> vertices(count);
  b.U32Chunk("VRTN", count).Begin("VERT").Raw(vertices.data(), count * sizeof(Vertex)).End();
}

void Faces(CChunkBuilder& b, std::vector<std::array<WORD, 3>> triangles) {
  b.U32Chunk("FACN", static_cast<uint32_t>(triangles.size())).Begin("FACE");
  for (const auto& t : triangles) b.F32(0).F32(0).F32(1).U16(t[0]).U16(t[1]).U16(t[2]).U16(0).U16(0).U16(0).U16(0).U16(0);
  b.End();
}

void Edges(CChunkBuilder& b, std::vector<std::array<WORD, 4>> edges) {
  b.U32Chunk("EDGN", static_cast<uint32_t>(edges.size())).Begin("EDGE");
  for (const auto& e : edges) b.U32(0).U32(0).U16(e[0]).U16(e[1]).U16(e[2]).U16(e[3]).U32(0);
  b.End();
}

struct Malformed {
  const char* name;
  std::function<void(CChunkBuilder&)> body;
  std::vector<std::string> messages;
};

TEST_F(ObjectFile, MalformedFilesAreRefusedWithTheirMessages) {
  // 0x02E8BA2F vertices of 88 bytes come to 2^32 + 40 bytes: 40 in 32 bits.
  const std::vector<Malformed> cases = {
      {"wrapping_vertex_count",
       [](CChunkBuilder& b) { b.U32Chunk("VRTN", 0x02E8BA2F).Begin("VERT").Raw(std::vector<uint8_t>(40)).End(); },
       {"ERROR! - Mesh::VERT incorrect length\n", "ERROR! - Can't Load Vertices: m\n"}},
      {"records_of_another_tag",
       [](CChunkBuilder& b) { b.U32Chunk("VRTN", 0).Begin("FACE").End(); },
       {"ERROR! - Found FACE, Mesh::VERT Expected (m)\n"}},
      {"faces_before_vertices", [](CChunkBuilder& b) { Faces(b, {{0, 1, 2}}); },
       {"ERROR! - Can't Load Faces: m\n"}},
      {"face_vertex_out_of_range",
       [](CChunkBuilder& b) {
         Vertices(b, 3);
         Faces(b, {{0, 1, 3}});
       },
       {"ERROR! - Can't Load Faces: m\n"}},
      {"edges_before_faces",
       [](CChunkBuilder& b) {
         Vertices(b, 3);
         Edges(b, {{0, 1, 0, 0xFFFF}});
       },
       {"ERROR! - Mesh::EDGE, Edge 0 Uses A Face Out Of Range (0 Faces): m\n",
        "ERROR! - Can't Load Edges: m\n"}},
      {"edge_second_face_out_of_range",
       [](CChunkBuilder& b) {
         Vertices(b, 3);
         Faces(b, {{0, 1, 2}});
         Edges(b, {{0, 1, 0, 1}});
       },
       {"ERROR! - Mesh::EDGE, Edge 0 Uses A Face Out Of Range (1 Faces): m\n"}},
      {"edge_vertex_out_of_range",
       [](CChunkBuilder& b) {
         Vertices(b, 3);
         Faces(b, {{0, 1, 2}});
         Edges(b, {{0, 3, 0, 0xFFFF}});
       },
       {"ERROR! - Can't Load Edges: m\n"}},
      {"one_box_with_the_size_of_two",
       [](CChunkBuilder& b) { b.Begin("BBOX").U32(1).Raw(std::vector<uint8_t>(360)).End(); },
       {"ERROR! - Bounding Box Chunk Wrong Size\n", "ERROR! - Can't Load Bounding Box: m\n"}},
      // 0x016C16C2 boxes of 180 bytes plus 4 come to 2^32 + 108 bytes: 108 in 32 bits.
      {"wrapping_box_count",
       [](CChunkBuilder& b) { b.Begin("BBOX").U32(0x016C16C2).Raw(std::vector<uint8_t>(104)).End(); },
       {"ERROR! - Bounding Box Chunk Wrong Size\n"}},
      {"fewer_surfaces_than_counted", [](CChunkBuilder& b) { b.U32Chunk("SRFN", 2).U32Chunk("BLND", 0); },
       {"ERROR! - Mesh::SURF, Fewer Surfaces Than Defined in Mesh::SRFN: m\n",
        "ERROR! - Can't Load Surfaces: m\n"}},
      {"more_surfaces_than_counted",
       [](CChunkBuilder& b) { b.U32Chunk("SRFN", 0).Begin("SURF").End(); },
       {"ERROR! - Mesh::SURF, More Surfaces Than Defined in Mesh::SRFN: m\n"}},
      {"flag_of_eight_bytes", [](CChunkBuilder& b) { b.Begin("BLND").U32(1).U32(1).End(); },
       {"ERROR! - Mesh::BLND incorrect length\n", "ERROR! - Can't Load IsBlended: m\n"}},
      {"partial_shadow_vertex",
       [](CChunkBuilder& b) { b.Begin("SWVL").Begin("DSVV").Raw(std::vector<uint8_t>(100)).End().End(); },
       {"ERROR!!! - Can't Load Dynamic SV Vertices: m\n",
        "ERROR! - Can't Load Shadow Volume Vertices: m\n"}},
      {"shadow_index_out_of_range",
       [](CChunkBuilder& b) {
         std::vector<Vertex> three(3);
         b.Begin("SWVL").Begin("DSVV").Raw(three.data(), sizeof(Vertex) * 3).End();
         b.Begin("DSVI").U16(0).U16(3).End().End();
       },
       {"ERROR!!! - Shadow Volume Index 3 Out Of Range (3 Vertices): m\n"}},
      {"shadow_chunk_past_its_container",
       [](CChunkBuilder& b) { b.Begin("SWVL").Begin("DSVI", 400).U16(0).End().End(); },
       {"ERROR! - Can't Load Shadow Volume Vertices: m\n"}},
      {"older_vertices_without_records",
       [](CChunkBuilder& b) { b.U32Chunk("SVVN", 1).U32Chunk("BLND", 0); },
       {"ERROR! - Found BLND, Mesh::SVVR Expected (m)\n"}},
      {"file_size_past_the_end",
       [](CChunkBuilder& b) { b.U32Chunk("BLND", 0).Begin("XTRA", 64).End(); },
       {"ERROR! - Incorrect File Length: m\n"}},
  };
  for (const Malformed& c : cases) {
    SCOPED_TRACE(c.name);
    CChunkBuilder file;
    file.Begin("ZKO6");
    c.body(file);
    file.End();
    WriteObject("m", file.Bytes());
    log.entries.clear();
    bool loaded = true;
    Load("m", &loaded);
    EXPECT_FALSE(loaded);
    for (const std::string& message : c.messages)
      EXPECT_TRUE(Logged(message)) << message << "in\n" << log.TextAt(CEngineLog::kLevelError);
  }
}

TEST_F(ObjectFile, WrongMagicAndMissingFileAreRefused) {
  CChunkBuilder file;
  file.Begin("ZKS6").U32Chunk("BLND", 0).End();
  WriteObject("scene", file.Bytes());
  bool loaded = true;
  Load("scene", &loaded);
  EXPECT_FALSE(loaded);
  EXPECT_TRUE(Logged("ERROR! - MESH::LoadMesh, Incorrect File - " +
                     std::string(scene->GetDirectory()) +
                     "Objects\\scene.zko, ZKO6 Or ZKO5 Header Expected But Found: ZKS6\n"));

  Load("absent", &loaded);
  EXPECT_FALSE(loaded);
  EXPECT_TRUE(Logged("ERROR! - MESH::LoadMesh, Can't Open File: " + std::string(scene->GetDirectory()) +
                     "Objects\\absent.zko\n"));
}

}  // namespace

namespace {

// The clone copies the mesh field by field: saved as an object file it must give the very bytes
// its original gives, so a field the clone forgets shows here.
TEST_F(ObjectFile, ACloneSavesTheSameBytesAsItsOriginal) {
  CSurfaceFactory surfaces;
  context->ports.surfaceFactory.Set(&surfaces);
  // Boned before its shape is given, so that its shadow volume is built for a boned mesh.
  CMesh* original = AddMesh("twin");
  ASSERT_NE(original->CreateBones(2), nullptr);
  ASSERT_EQ(original->SetBoneParent(1, BONE_PARENT_ITEM_BONE, 0), 1u);
  original->SetUseBones(1);
  Shape(original, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
  original->SetFlags(CMesh::kFlagCastsShadow | 0x0100);
  original->SetPivot(CVector3(0.25f, 0.5f, 0.75f));
  original->SetVisibility(1, 0, 1);
  original->SetRotationOrder(3);
  original->SetIsBlended(1);
  CSurfaceInterface* surface = original->CreateSurface();
  ASSERT_NE(surface, nullptr);
  surface->SetName("skin");
  original->GetDissolveEnvelope()->SetValue(0.5f);
  ASSERT_TRUE(Save(original));
  const std::vector<uint8_t> saved = FileBytes(ObjectPath("twin"));
  ASSERT_FALSE(saved.empty());

  CMeshInterface* clone = nullptr;
  ASSERT_EQ(original->Clone(&clone), 1u);
  ASSERT_TRUE(Save(dynamic_cast<CMesh*>(clone)));
  EXPECT_EQ(FileBytes(ObjectPath("twin")), saved);
}

}  // namespace
