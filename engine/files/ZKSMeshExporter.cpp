#include "files/ZKSMeshExporter.h"

#include "chunks/ChunkWriter.h"
#include "ZKDXInterface.h"
#include "files/ZKOMeshExporter.h"
#include "files/ZKReader.h"
#include "files/ZKSBoneExporter.h"
#include "files/ZKSMotionExporter.h"
#include "files/ZKSEnvelopeValue.h"
#include "files/ZKSFieldReader.h"
#include "files/ZKSLink.h"
#include "files/ZKShaderChunk.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"

namespace {

bool WriteVector(CChunkWriter& out, const char* tag, const CVector3& v) {
  return out.FixedChunk(tag, 12, [&] { return out.F32(v.x) && out.F32(v.y) && out.F32(v.z); });
}

CScene* OwnerScene(CMesh* mesh) { return dynamic_cast<CScene*>(mesh->GetOwnerScene()); }

const char* SceneDirectory(CMesh* mesh) {
  CSceneInterface* scene = mesh->GetScene(0);
  const char* directory = scene != nullptr ? scene->GetDirectory() : nullptr;
  return directory != nullptr ? directory : "";
}

}  // namespace

// --- writing ---

bool CZKSMeshExporter::WriteMesh(CMesh* mesh, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  CZKSMotionExporter* motions = m_pReader->GetMotionExporter();
  const bool written = out.Container("MESH", [&] {
    if (!out.FixedChunk("NAME", CMesh::kNameLength,
                        [&] { return out.Text(mesh->GetName(), CMesh::kNameLength); }) ||
        !motions->WriteMotion(mesh->GetFirstMotion(), stream, total) ||
        (mesh->GetUseBones() == 1 && !WriteBones(mesh, stream, total)) ||
        !CZKSLink::To(OwnerScene(mesh), mesh->GetParent()).Write(out, "PRNT") ||
        (mesh->GetIsMorph() == 1 && !WriteMorph(mesh, stream, total)) ||
        !WriteVector(out, "PIVT", *mesh->GetPivot()) ||
        !CZKSEnvelopeValue::Write(m_pReader, "DISL", mesh->GetEnvDissolve(), stream, total) ||
        !out.FixedChunk("VSBL", 12,
                        [&] {
                          return out.U32(mesh->GetVisibleByCameras()) &&
                                 out.U32(mesh->GetVisibleByRays()) &&
                                 out.U32(mesh->GetVisibleByCollisions());
                        }) ||
        !out.U32Chunk("SWOP", mesh->GetFlags()))
      return false;
    const char* shaderFile = mesh->GetShaderFileName();
    if (mesh->GetManualShader() != 1 || shaderFile == nullptr || shaderFile[0] == '\0') return true;
    UINT count = 0;
    const ShaderParameter* parameters = mesh->GetShaderParameters(&count);
    if (!CZKShaderChunk::Write(out, shaderFile, parameters, count)) {
      LogError(__LINE__, "Error When Saving ZKO - Can't Save Shader: %s\n", mesh->GetName());
      return false;
    }
    return true;
  });
  if (!written) return false;
  if (!m_pReader->GetObjectExporter()->SaveObject(mesh)) {
    LogInfo(__LINE__, "- Can't Save ZKO Mesh: %s\n", mesh->GetName());
    return false;
  }
  return true;
}

bool CZKSMeshExporter::WriteBones(CMesh* mesh, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  CZKSBoneExporter* bones = m_pReader->GetBoneExporter();
  const UINT count = mesh->GetNumberOfBones();
  return out.Container("BONN", [&] {
    if (!out.U32(count) || !out.AddToTotal(4)) return false;
    for (UINT i = 0; i < count; ++i)
      if (!bones->WriteBone(mesh->GetBone(i), stream, total)) return false;
    return true;
  });
}

bool CZKSMeshExporter::WriteMorph(CMesh* mesh, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  // A target set at run time is numbered as the loader counts it: meshes and nulls, from one.
  UINT number = mesh->GetNumberOfMorphTarget();
  if (CMesh* target = mesh->GetMorphTargetObject()) {
    const CZKSLink link = CZKSLink::To(OwnerScene(mesh), target);
    if (link.dwKind == 0) return false;
    number = link.dwNumber + 1;
  }
  return out.Container("MORF", [&] {
    return out.U32(number) && out.AddToTotal(4) &&
           m_pReader->GetMotionExporter()->WriteMotion(mesh->GetSecondMotion(), stream, total);
  });
}

// --- reading ---

bool CZKSMeshExporter::ReadMesh(CMesh* mesh, CChunkReader& in, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  const ChunkReport report = Report(__LINE__, mesh->GetName());
  // A fixed-size sub-chunk whose fields `read` takes, under the size message `incorrectSize`.
  const auto fixed = [&](UINT size, const char* incorrectSize, auto read) {
    return [&in, &report, size, incorrectSize, read](CChunkReader&) {
      return in.FixedChunk(size, report, incorrectSize, [&] { return read(); });
    };
  };
  bool bonesRead = false;
  const bool ok = in.Container(
      {{"NAME", [&](CChunkReader& r) { return ReadName(mesh, r); }, nullptr},
       {"MOTN",
        [&](CChunkReader& r) {
          return m_pReader->GetMotionExporter()->ReadMotion(mesh->GetFirstMotion(), r);
        },
        "ERROR! - Mesh - %s, Can't Load Motion\n"},
       {"BONN", [&](CChunkReader& r) { return bonesRead = ReadBones(mesh, r); },
        "ERROR! - Mesh - %s, Can't Load Bones\n"},
       {"PRNT",
        CZKSFieldReader::Link(report, "ERROR! - MESH::PRNT, Incorrect Chunk Size: %s\n",
                              [mesh](UINT kind, UINT number) {
                                mesh->SetParentReference(number, kind);
                              }),
        "ERROR! - Mesh - %s, Can't Load Parent\n"},
       {"DISL",
        [&](CChunkReader& r) {
          return CZKSEnvelopeValue::Read(m_pReader, mesh->GetEnvDissolve(), r, report,
                                         "ERROR! - Mesh::DISL Incorrect Size\n");
        },
        "ERROR! - Mesh - %s, Can't Load Disslove Envelope\n"},
       {"MORF", [&](CChunkReader& r) { return ReadMorph(mesh, r); },
        "ERROR! - Mesh - %s, Can't Load Morphing\n"},
       {"PIVT", fixed(12, "ERROR! - MESH::PIVT, Incorrect Chunk Size: %s\n",
                      [&in, mesh] {
                        CVector3 pivot;
                        if (!in.F32(pivot.x) || !in.F32(pivot.y) || !in.F32(pivot.z)) return false;
                        mesh->SetPivot(pivot);
                        return true;
                      }),
        "ERROR! - Mesh - %s, Can't Load Pivot\n"},
       {"SWOP",
        CZKSFieldReader::U32(report, "ERROR! - MESH::SWOP, Incorrect Chunk Size: %s\n",
                             [mesh](uint32_t options) {
                               mesh->SetFlags(static_cast<WORD>(options & 0xFFFF));
                             }),
        "ERROR! - Mesh - %s, Can't Load Visibility Flags\n"},
       {"VSBL", fixed(12, "ERROR! - MESH::VSB2, Incorrect Chunk Size: %s\n",
                      [&in, mesh] {
                        uint32_t cameras = 0, rays = 0, collisions = 0;
                        if (!in.U32(cameras) || !in.U32(rays) || !in.U32(collisions)) return false;
                        mesh->SetVisibility(cameras, rays, collisions);
                        return true;
                      }),
        "ERROR! - Mesh - %s, Can't Load Visibility Flags\n"},
       {"SHDR", [&](CChunkReader& r) { return ReadShader(mesh, r); },
        "ERROR! - Mesh - %s, Can't Load Shader\n"}},
      report, "ERROR! - Mesh - %s, Incorrect Size Of Chunk Length And Read Data\n");
  if (!ok) return false;
  if (bonesRead) mesh->CalculateBonesRestMatrices();
  return true;
}

bool CZKSMeshExporter::ReadName(CMesh* mesh, CChunkReader& in) {
  char name[CMesh::kNameLength];
  if (!in.FixedChunk(CMesh::kNameLength, Report(__LINE__, mesh->GetName()),
                     "ERROR! - MESH::NAME, Incorrect Size: %s\n",
                     [&] { return in.Text(name, sizeof name); })) {
    LogError(__LINE__, "ERROR! - Mesh, Can't Load Name\n");
    return false;
  }
  mesh->SetName(name);
  // The geometry comes at once, so that the chunks after the name find it.
  if (!m_pReader->GetObjectExporter()->LoadObjectFromDirectory(mesh, SceneDirectory(mesh), name,
                                                               m_dwLoadFlag)) {
    LogError(__LINE__, "ERROR! - Mesh - %s, Can't Load ZKO\n", mesh->GetName());
    return false;
  }
  return true;
}

bool CZKSMeshExporter::ReadBones(CMesh* mesh, CChunkReader& in) {
  uint32_t size = 0, count = 0;
  if (!in.U32(size)) return false;
  CChunkReader::Payload payload(in, size);
  if (!payload.Fits()) {
    LogError(__LINE__, "ERROR! - MESH::BONN, Incorrect Size: %s\n", mesh->GetName());
    return false;
  }
  if (!in.U32(count)) return false;
  if (count > MAX_BONES) {
    LogError(__LINE__, "ERROR! - MESH::BONN, Too Many Bones (%u): %s\n", count, mesh->GetName());
    return false;
  }
  if (count > 0 && mesh->CreateBones(count) == nullptr) return false;
  CZKSBoneExporter* bones = m_pReader->GetBoneExporter();
  for (UINT i = 0; i < count; ++i) {
    if (!in.NextTagIs("BONE") || !bones->ReadBone(mesh->GetBone(i), in)) {
      LogError(__LINE__, "ERROR! - Can't Load Bone %i In %s\n", static_cast<int>(i),
               mesh->GetName());
      return false;
    }
  }
  if (!payload.Finished()) {
    LogError(__LINE__, "ERROR! - MESH::BONN, Incorrect Size: %s\n", mesh->GetName());
    return false;
  }
  LogInfo(__LINE__, "  - Bones - %i:\n", static_cast<int>(count));
  for (UINT i = 0; i < count; ++i) LogInfo(__LINE__, "    - %s\n", mesh->GetBone(i)->GetName());
  // The parent links name bones of this skeleton; the mesh refuses one that is out of range or
  // closes a loop.
  for (UINT i = 0; i < count; ++i) {
    CBone* bone = mesh->GetBone(i);
    if (mesh->SetBoneParent(i, bone->GetParentLinkType(), bone->GetParentNumber()) == 0)
      return false;
  }
  mesh->SetUseBones(1);
  return true;
}

bool CZKSMeshExporter::ReadMorph(CMesh* mesh, CChunkReader& in) {
  uint32_t size = 0, target = 0;
  if (!in.U32(size)) return false;
  CChunkReader::Payload payload(in, size);
  const auto incorrectSize = [&] {
    LogError(__LINE__, "ERROR! - MESH::MORF, Incorrect Chunk Size: %s\n", mesh->GetName());
    return false;
  };
  if (!payload.Fits()) return incorrectSize();
  // The target number and then exactly one motion.
  if (!in.U32(target) || !in.NextTagIs("MOTN") ||
      !m_pReader->GetMotionExporter()->ReadMotion(mesh->GetSecondMotion(), in))
    return false;
  if (!payload.Finished()) return incorrectSize();
  mesh->SetMorphReference(target, 1);
  return true;
}

bool CZKSMeshExporter::ReadShader(CMesh* mesh, CChunkReader& in) {
  CZKShaderChunk::Loaded shader;
  if (!CZKShaderChunk::Read(in, shader, Report(__LINE__, mesh->GetName()),
                            "ERROR! - Mesh::SHDR Incorrect Size Of NAME: %s\n",
                            "ERROR! - Not Enuff shader Parameteres Entries In Mesh Loader\n"))
    return false;
  // A shader that cannot be made leaves the mesh to the default one; the chunk still counts as
  // read.
  if (mesh->CreateShader(shader.szName, shader.Parameters, shader.dwNumberOfParameters, 1) == 0) {
    LogError(__LINE__, "ERROR! - Can't Create Shader: %s\n", shader.szName);
    return true;
  }
  mesh->SetUseShader(1);
  return true;
}
