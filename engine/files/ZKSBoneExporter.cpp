#include "files/ZKSBoneExporter.h"

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSFieldReader.h"
#include "files/ZKSLink.h"
#include "files/ZKSMotionExporter.h"
#include "scene/Bone.h"

namespace {

bool WriteVector(CChunkWriter& out, const char* tag, const CVector3& v) {
  return out.FixedChunk(tag, 12, [&] { return out.F32(v.x) && out.F32(v.y) && out.F32(v.z); });
}

}  // namespace

bool CZKSBoneExporter::WriteBone(CBone* bone, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  return out.Container("BONE", [&] {
    return out.FixedChunk("NAME", CBone::kNameLength,
                          [&] { return out.Text(bone->GetName(), CBone::kNameLength); }) &&
           out.FixedChunk("PRNT", 8,
                          [&] {
                            return out.U32(bone->GetParentNumber()) &&
                                   out.U32(bone->GetParentLinkType());
                          }) &&
           out.U32Chunk("SCAL", bone->GetScaleByLength()) &&
           out.U32Chunk("FALL", bone->GetFalloffType()) &&
           out.U32Chunk("ACTV", bone->GetActive()) && out.F32Chunk("STRN", bone->GetStrength()) &&
           out.F32Chunk("RANG", bone->GetRange()) &&
           m_pReader->GetMotionExporter()->WriteMotion(bone->GetMotion(), stream, total) &&
           out.F32Chunk("LENG", bone->GetRestLength()) &&
           WriteVector(out, "ROTN", bone->GetRestRotation()) &&
           WriteVector(out, "POSN", bone->GetRestPosition());
  });
}

bool CZKSBoneExporter::ReadBone(CBone* bone, CChunkReader& in) {
  const ChunkReport report = Report(__LINE__);
  // A fixed-size sub-chunk whose fields `read` takes, under the size message `incorrectSize`.
  const auto fixed = [&](UINT size, const char* incorrectSize, auto read) {
    return [&in, &report, size, incorrectSize, read](CChunkReader&) {
      return in.FixedChunk(size, report, incorrectSize, [&] { return read(); });
    };
  };
  const auto vector = [&](const char* incorrectSize, void (CBone::*set)(const CVector3&)) {
    return fixed(12, incorrectSize, [&in, bone, set] {
      CVector3 value;
      if (!in.F32(value.x) || !in.F32(value.y) || !in.F32(value.z)) return false;
      (bone->*set)(value);
      return true;
    });
  };
  return in.Container(
      {{"NAME", fixed(CBone::kNameLength, "ERROR! - BONE::NAME Incorrect Size\n",
                      [&in, bone] {
                        char name[CBone::kNameLength];
                        if (!in.Text(name, sizeof name)) return false;
                        bone->SetName(name);
                        return true;
                      }),
        "ERROR! - Bone, Can't Load Name\n"},
       {"POSN", vector("ERROR! - BONE::POSN Incorrect Size\n", &CBone::SetRestPosition),
        "ERROR! - Bone, Can't Load Position\n"},
       {"ROTN", vector("ERROR! - BONE::ROTN Incorrect Size\n", &CBone::SetRestRotation),
        "ERROR! - Bone, Can't Load Rotation\n"},
       {"LENG",
        CZKSFieldReader::F32(report, "ERROR! - BONE::LENG Incorrect Size\n",
                             [bone](float value) { bone->SetRestLength(value); }),
        "ERROR! - Bone, Can't Load Length\n"},
       {"MOTN",
        [&](CChunkReader& r) { return m_pReader->GetMotionExporter()->ReadMotion(bone->GetMotion(), r); },
        "ERROR! - Bone, Can't Load Motion\n"},
       {"RANG",
        CZKSFieldReader::F32(report, "ERROR! - BONE::RANG Incorrect Size\n",
                             [bone](float value) { bone->SetRange(value); }),
        "ERROR! - Bone, Can't Load Range\n"},
       {"STRN",
        CZKSFieldReader::F32(report, "ERROR! - BONE::STRN Incorrect Size\n",
                             [bone](float value) { bone->SetStrength(value); }),
        "ERROR! - Bone, Can't Load Strength\n"},
       {"ACTV",
        CZKSFieldReader::U32(report, "ERROR! - BONE::ACTV Incorrect Size\n",
                             [bone](uint32_t value) { bone->SetActive(value); }),
        "ERROR! - Bone, Can't Load IsActive\n"},
       {"FALL",
        CZKSFieldReader::U32(report, "ERROR! - BONE::FALL Incorrect Size\n",
                             [bone](uint32_t value) { bone->SetFalloffType(value); }),
        "ERROR! - Bone, Can't Load FallOff\n"},
       {"SCAL",
        CZKSFieldReader::U32(report, "ERROR! - BONE::SCAL Incorrect Size\n",
                             [bone](uint32_t value) { bone->SetScaleByLength(value); }),
        "ERROR! - Bone, Can't Load Scale By Length\n"},
       {"PRNT",
        CZKSFieldReader::Link(report, "ERROR! - BONE::PRNT Incorrect Size\n",
                              [bone](UINT kind, UINT number) { bone->SetParentLink(number, kind); }),
        "ERROR! - Bone, Can't Load Parent\n"}},
      report, "ERROR! - Bone Chunk Size Is Incorrect\n");
}
