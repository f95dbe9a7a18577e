#include <cstring>
#include <string>
#include <vector>

#include "ChunkStreams.h"
#include "FakeMeshShaderLibrary.h"
#include "MeshFileBench.h"
#include "files/ZKSMeshExporter.h"
#include "files/ZKSSceneExporter.h"
#include "scene/Bone.h"

namespace {

class MeshChunk : public MeshFileBench {
 protected:
  CZKSMeshExporter* Meshes() { return reader.GetMeshExporter(); }

  // The "MESH" chunk of the mesh; the object file goes beside it.
  std::vector<uint8_t> Write(CMesh* mesh, bool* written) {
    WrittenStream stream;
    UINT total = 0;
    *written = Meshes()->WriteMesh(mesh, stream.Stream(), total);
    std::vector<uint8_t> bytes = stream.Bytes();
    EXPECT_EQ(total, bytes.size());
    return bytes;
  }

  // Reads a "MESH" chunk (its tag included) into a new mesh of the scene.
  CMesh* Read(const std::vector<uint8_t>& bytes, bool* read) {
    CMesh* mesh = AddMesh("");
    MemoryChunkFile file(bytes);
    ChunkTag tag;
    *read = file.in.Tag(tag) && tag.Is("MESH") && Meshes()->ReadMesh(mesh, file.in, 0);
    *read = *read && file.in.AtEnd();
    return mesh;
  }

  static void Key(CMotion* motion, UINT channel, float time, float value) {
    ASSERT_EQ(motion->GetChannel(channel)->AddKeyData(value, time, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0,
                                                       0, 0),
              1u);
    if (motion->GetNumberOfChannels() <= channel) motion->SetNumberOfChannels(channel + 1);
  }
};

// The sub-chunk tags of the "MESH" chunk at the start of `bytes`.
std::vector<std::string> SubChunkTags(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> tags;
  for (size_t at = 8; at + 8 <= bytes.size(); ) {
    tags.emplace_back(reinterpret_cast<const char*>(&bytes[at]), 4);
    // "MOTN" counts only its channels in its size word: 12 bytes of "CHNN" come first.
    const size_t extra = tags.back() == "MOTN" ? 12 : 0;
    at += 8 + U32At(bytes, at + 4) + extra;
  }
  return tags;
}

TEST_F(MeshChunk, PlainMeshWritesSevenSubChunksAndItsObjectFileAndReadsBack) {
  CMesh* saved = Tetrahedron("tetra");
  saved->SetPivot({1, 2, 3});
  saved->SetVisibility(0, 1, 0);
  saved->SetFlags(CMesh::kFlagCastsShadow);
  saved->GetDissolveEnvelope()->SetValue(0.25f);
  Key(saved->GetFirstMotion(), MOTION_POSITION_Y, 2, 7);
  bool written = false;
  const std::vector<uint8_t> bytes = Write(saved, &written);
  ASSERT_TRUE(written) << log.TextAt(CEngineLog::kLevelError);
  EXPECT_EQ(SubChunkTags(bytes), (std::vector<std::string>{"NAME", "MOTN", "PRNT", "PIVT", "DISL",
                                                            "VSBL", "SWOP"}));
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  EXPECT_FALSE(FileBytes(ObjectPath("tetra")).empty());

  bool read = false;
  CMesh* mesh = Read(bytes, &read);
  ASSERT_TRUE(read) << log.TextAt(CEngineLog::kLevelError);
  EXPECT_STREQ(mesh->GetName(), "tetra");
  EXPECT_EQ(mesh->GetParentType(), 0u) << "no parent";
  EXPECT_EQ(*mesh->GetPivot(), (CVector3{1, 2, 3}));
  EXPECT_EQ(mesh->GetVisibleByCameras(), 0u);
  EXPECT_EQ(mesh->GetVisibleByRays(), 1u);
  EXPECT_EQ(mesh->GetFlags(), CMesh::kFlagCastsShadow);
  EXPECT_EQ(mesh->GetEnvDissolve()->GetValue(), 0.25f);
  EXPECT_EQ(mesh->GetFirstMotion()->GetNumberOfChannels(), MOTION_POSITION_Y + 1);
  EXPECT_EQ(mesh->GetFirstMotion()->GetChannel(MOTION_POSITION_Y)->GetNumberOfKeys(), 1u);
  // The geometry came from the object file as the name was read.
  EXPECT_EQ(mesh->GetNumberOfFaces(), 4u);
  EXPECT_EQ(mesh->GetCanCastShadowVolume(), 1u);
  EXPECT_NE(mesh->GetCollider(), nullptr);
  EXPECT_EQ(mesh->GetUseBones(), 0u);
  EXPECT_EQ(mesh->GetIsMorph(), 0u);
}

TEST_F(MeshChunk, BonesMorphingAndShaderRoundTrip) {
  FakeMeshShaderLibrary shaders;
  context->ports.meshShaders.Set(&shaders);
  CMesh* saved = Tetrahedron("rig");
  ASSERT_NE(saved->CreateBones(2), nullptr);
  for (UINT i = 0; i < 2; ++i) {
    CBone* bone = saved->GetBone(i);
    const float f = static_cast<float>(i + 1);
    bone->SetName(i == 0 ? "hip" : "knee");
    bone->SetScaleByLength(i);
    bone->SetFalloffType(i + 2);
    bone->SetActive(1);
    bone->SetStrength(f * 1.5f);
    bone->SetRange(f * 3);
    bone->SetRestLength(f);
    bone->SetRestRotation({0, f / 4, 0});
    bone->SetRestPosition({0, f, 0});
    Key(bone->GetMotion(), MOTION_HEADING, f, f);
  }
  saved->GetBone(0)->SetParentLink(0, 1);
  ASSERT_EQ(saved->SetBoneParent(1, BONE_PARENT_ITEM_BONE, 0), 1u);
  saved->SetUseBones(1);
  saved->SetMorphReference(5, 1);
  Key(saved->GetSecondMotion(), MOTION_SCALE_X, 4, 2);
  ShaderParameter parameters[2] = {{7, 0, "gloss"}, {9, 3, "tint"}};
  ASSERT_EQ(saved->CreateShader("metal.ssh", parameters, 2, 1), 1u);

  bool written = false;
  const std::vector<uint8_t> bytes = Write(saved, &written);
  ASSERT_TRUE(written) << log.TextAt(CEngineLog::kLevelError);
  EXPECT_EQ(SubChunkTags(bytes),
            (std::vector<std::string>{"NAME", "MOTN", "BONN", "PRNT", "MORF", "PIVT", "DISL",
                                      "VSBL", "SWOP", "SHDR"}));

  bool read = false;
  CMesh* mesh = Read(bytes, &read);
  ASSERT_TRUE(read) << log.TextAt(CEngineLog::kLevelError);
  ASSERT_EQ(mesh->GetNumberOfBones(), 2u);
  EXPECT_EQ(mesh->GetUseBones(), 1u);
  for (UINT i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    CBone* want = saved->GetBone(i);
    CBone* bone = mesh->GetBone(i);
    EXPECT_STREQ(bone->GetName(), want->GetName());
    EXPECT_EQ(bone->GetParentNumber(), want->GetParentNumber());
    EXPECT_EQ(bone->GetParentLinkType(), want->GetParentLinkType());
    EXPECT_EQ(bone->GetScaleByLength(), want->GetScaleByLength());
    EXPECT_EQ(bone->GetFalloffType(), want->GetFalloffType());
    EXPECT_EQ(bone->GetActive(), 1u);
    EXPECT_EQ(bone->GetStrength(), want->GetStrength());
    EXPECT_EQ(bone->GetRange(), want->GetRange());
    EXPECT_EQ(bone->GetRestLength(), want->GetRestLength());
    EXPECT_EQ(bone->GetRestRotation(), want->GetRestRotation());
    EXPECT_EQ(bone->GetRestPosition(), want->GetRestPosition());
    EXPECT_EQ(bone->GetMotion()->GetChannel(MOTION_HEADING)->GetNumberOfKeys(), 1u);
  }
  // The skeleton is linked and its rest pose built: the knee's rest lies above the hip's.
  EXPECT_EQ(mesh->GetBone(1)->GetParent(), mesh->GetBone(0));
  EXPECT_EQ(mesh->GetBone(0)->GetParent(), nullptr);
  saved->CalculateBonesRestMatrices();
  EXPECT_EQ(*mesh->GetBone(1)->GetRestMatrix(0), *saved->GetBone(1)->GetRestMatrix(0));
  // Unlinked, the knee would rest at its own height of 2; the hip lifts it by about 1.
  EXPECT_GT(mesh->GetBone(1)->GetRestMatrix(0)->_42, 2.5f);
  EXPECT_EQ(mesh->GetNumberOfMorphTarget(), 5u);
  EXPECT_EQ(mesh->GetIsMorph(), 1u);
  EXPECT_EQ(mesh->GetSecondMotion()->GetChannel(MOTION_SCALE_X)->GetNumberOfKeys(), 1u);
  EXPECT_STREQ(mesh->GetShaderFileName(), "metal.ssh");
  EXPECT_EQ(mesh->GetUseShader(), 1u);
  EXPECT_EQ(mesh->GetManualShader(), 1u);
  UINT count = 0;
  const ShaderParameter* loaded = mesh->GetShaderParameters(&count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(loaded[1].dwValue, 9u);
  EXPECT_EQ(loaded[1].dwDynamicID, 3u);
  EXPECT_STREQ(loaded[1].szParameterName, "tint");
  ASSERT_EQ(shaders.createCalls.size(), 2u);
  EXPECT_EQ(shaders.createCalls[1].numberOfParameters, 2u);
}

TEST_F(MeshChunk, MeshWhoseObjectFileCannotBeSavedLeavesACompleteChunkAndFails) {
  CMesh* mesh = AddMesh("fan");
  Shape(mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
        {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}});
  bool written = true;
  const std::vector<uint8_t> bytes = Write(mesh, &written);
  EXPECT_FALSE(written);
  EXPECT_TRUE(Logged("- Can't Save ZKO Mesh: fan\n"));
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
}


// The scene file holds each mesh's place; each mesh's geometry comes back from its own object
// file, and the parent and morph links from one mesh to another are resolved.
TEST_F(MeshChunk, WholeSceneWithMeshesRoundTrips) {
  scene->SetName("level");
  CMesh* rock = Tetrahedron("rock");
  CMesh* leaf = AddMesh("leaf");
  Shape(leaf, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  leaf->SetParentObject(rock);
  leaf->SetMorphTarget(rock);
  ASSERT_EQ(leaf->SetIsMorph(1), 1u);
  rock->SetFlags(CMesh::kFlagCastsShadow);
  ASSERT_TRUE(reader.GetSceneExporter()->SaveScene(scene)) << log.TextAt(CEngineLog::kLevelError);
  EXPECT_FALSE(FileBytes(ObjectPath("rock")).empty());
  EXPECT_FALSE(FileBytes(ObjectPath("leaf")).empty());

  CScene* loaded = nullptr;
  const bool read =
      reader.GetSceneExporter()->LoadScene(&loaded, (dir / "level.zks").c_str(), 0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(read) << log.TextAt(CEngineLog::kLevelError);
  auto* loadedRock = dynamic_cast<CMesh*>(loaded->GetMeshByName("rock", 0));
  auto* loadedLeaf = dynamic_cast<CMesh*>(loaded->GetMeshByName("leaf", 0));
  ASSERT_NE(loadedRock, nullptr);
  ASSERT_NE(loadedLeaf, nullptr);
  EXPECT_EQ(loadedRock->GetNumberOfFaces(), 4u);
  EXPECT_EQ(loadedRock->GetNumberOfEdges(), 6u);
  EXPECT_EQ(loadedRock->GetCanCastShadowVolume(), 1u);
  EXPECT_NE(loadedRock->GetCollider(), nullptr);
  EXPECT_EQ(loadedLeaf->GetNumberOfVertices(), 3u);
  EXPECT_EQ(loadedLeaf->GetParent(), loadedRock);
  EXPECT_EQ(loadedLeaf->GetMorphTargetObject(), loadedRock);
  loaded->Release();
}

// A "MESH" chunk around the given sub-chunks, for a mesh "m" whose object file exists.
class MalformedMeshChunk : public MeshChunk {
 protected:
  MalformedMeshChunk() {
    CChunkBuilder object;
    object.Begin("ZKO6").U32Chunk("BLND", 0).End();
    WriteObject("m", object.Bytes());
  }

  static std::vector<uint8_t> Mesh(const std::function<void(CChunkBuilder&)>& body,
                                   const char* name = "m") {
    CChunkBuilder b;
    b.Begin("MESH").Begin("NAME").Text(name, 256).End();
    body(b);
    b.End();
    return b.Bytes();
  }

  static void Motion(CChunkBuilder& b) { b.Begin("MOTN").U32Chunk("CHNN", 0).End(); }
};

TEST_F(MalformedMeshChunk, RefusedWithTheirMessages) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"object_file_missing", Mesh([](CChunkBuilder&) {}, "nowhere"),
       {"ERROR! - Mesh - nowhere, Can't Load ZKO\n"}},
      {"too_many_bones", Mesh([](CChunkBuilder& b) { b.Begin("BONN").U32(100000).End(); }),
       {"ERROR! - MESH::BONN, Too Many Bones (100000): m\n", "ERROR! - Mesh - m, Can't Load Bones\n"}},
      {"bone_count_past_the_chunk",
       Mesh([](CChunkBuilder& b) { b.Begin("BONN").U32(2).Begin("BONE").End().End(); }),
       {"ERROR! - Can't Load Bone 1 In m\n"}},
      {"entry_that_is_not_a_bone",
       Mesh([](CChunkBuilder& b) { b.Begin("BONN").U32(1).Begin("LITE").End().End(); }),
       {"ERROR! - Can't Load Bone 0 In m\n"}},
      {"bone_parent_out_of_range",
       Mesh([](CChunkBuilder& b) {
         b.Begin("BONN").U32(1).Begin("BONE");
         b.Begin("PRNT").U32(4).U32(BONE_PARENT_ITEM_BONE).End();
         b.End().End();
       }),
       {"ERROR! - Mesh - m, Can't Load Bones\n"}},
      {"bone_strength_of_eight_bytes",
       Mesh([](CChunkBuilder& b) {
         b.Begin("BONN").U32(1).Begin("BONE").Begin("STRN").U32(0).U32(0).End().End().End();
       }),
       {"ERROR! - BONE::STRN Incorrect Size\n", "ERROR! - Bone, Can't Load Strength\n"}},
      {"morph_with_bytes_after_its_motion",
       Mesh([](CChunkBuilder& b) {
         b.Begin("MORF").U32(1);
         Motion(b);
         b.U32(0).End();
       }),
       {"ERROR! - MESH::MORF, Incorrect Chunk Size: m\n", "ERROR! - Mesh - m, Can't Load Morphing\n"}},
      {"dissolve_with_bytes_after_its_envelope",
       Mesh([](CChunkBuilder& b) { b.Begin("DISL").F32Chunk("ENVN", 0).U32(0).End(); }),
       {"ERROR! - Mesh::DISL Incorrect Size\n",
        "ERROR! - Mesh - m, Can't Load Disslove Envelope\n"}},
      {"pivot_of_eight_bytes", Mesh([](CChunkBuilder& b) { b.Begin("PIVT").F32(0).F32(0).End(); }),
       {"ERROR! - MESH::PIVT, Incorrect Chunk Size: m\n", "ERROR! - Mesh - m, Can't Load Pivot\n"}},
      {"too_many_shader_parameters",
       Mesh([](CChunkBuilder& b) {
         b.Begin("SHDR").Begin("NAME").Text("s.ssh", 256).End();
         b.Begin("PARM").Raw(std::vector<uint8_t>(17 * 64)).End().End();
       }),
       {"ERROR! - Not Enuff shader Parameteres Entries In Mesh Loader\n",
        "ERROR! - Mesh - m, Can't Load Shader\n"}},
      {"sub_chunk_past_the_mesh",
       Mesh([](CChunkBuilder& b) { b.Begin("XTRA", 50).End(); }),
       {"ERROR! - Mesh - m, Incorrect Size Of Chunk Length And Read Data\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.entries.clear();
    bool read = true;
    Read(c.bytes, &read);
    EXPECT_FALSE(read);
    for (const std::string& message : c.messages)
      EXPECT_TRUE(Logged(message)) << message << "in\n" << log.TextAt(CEngineLog::kLevelError);
  }
}

TEST_F(MalformedMeshChunk, ShadowOptionsKeepTheirLowWordAndEmptyBoneListLoads) {
  bool read = false;
  CMesh* mesh = Read(Mesh([](CChunkBuilder& b) {
                       b.U32Chunk("SWOP", 0x00010002);
                       b.Begin("BONN").U32(0).End();
                     }),
                     &read);
  ASSERT_TRUE(read) << log.TextAt(CEngineLog::kLevelError);
  EXPECT_EQ(mesh->GetFlags(), 2u);
  EXPECT_EQ(mesh->GetNumberOfBones(), 0u);
}

TEST_F(MalformedMeshChunk, MeshWithoutNameHasNoGeometry) {
  CChunkBuilder b;
  b.Begin("MESH").Begin("PIVT").F32(1).F32(2).F32(3).End().End();
  bool read = false;
  CMesh* mesh = Read(b.Bytes(), &read);
  EXPECT_TRUE(read);
  EXPECT_EQ(mesh->GetNumberOfVertices(), 0u);
  EXPECT_EQ(*mesh->GetPivot(), (CVector3{1, 2, 3}));
}

}  // namespace
