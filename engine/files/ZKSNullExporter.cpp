#include "files/ZKSNullExporter.h"

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSFieldReader.h"
#include "files/ZKSLink.h"
#include "files/ZKSMotionExporter.h"
#include "scene/Null.h"

namespace {
constexpr UINT kTextField = CNull::kTextLength;
}  // namespace

bool CZKSNullExporter::WriteNull(CNull* null, FILE* stream, UINT& total) {
  if (null == nullptr) return false;
  CChunkWriter out(stream, total);
  auto text = [&](const char* tag, const char* value) {
    return out.FixedChunk(tag, kTextField, [&] { return out.Text(value, kTextField); });
  };
  return out.Container("NULL", [&] {
    return text("NAME", null->GetName()) &&
           m_pReader->GetMotionExporter()->WriteMotion(null->GetOwnMotion(), stream, total) &&
           CZKSLink::To(null->GetOwnerScene(), null->GetParent()).Write(out, "PRNT") &&
           (null->GetScript()[0] == '\0' || text("SCRP", null->GetScript()));
  });
}

bool CZKSNullExporter::ReadNull(CNull* null, CChunkReader& in, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  if (null == nullptr) return false;
  const ChunkReport report = Report(__LINE__);
  auto text = [&](CChunkReader& r, const char* incorrectSize, char (&field)[kTextField]) {
    return r.FixedChunk(kTextField, report, incorrectSize,
                        [&] { return r.Text(field, kTextField); });
  };
  return in.Container(
      {
          {"NAME",
           [&](CChunkReader& r) {
             char name[kTextField] = {};
             if (!text(r, "ERROR! - Null::NAME, Incorrect Size\n", name)) return false;
             null->SetName(name);
             return true;
           },
           "ERROR! - Null, Can't Load Name\n"},
          {"MOTN",
           [&](CChunkReader& r) {
             return m_pReader->GetMotionExporter()->ReadMotion(null->GetOwnMotion(), r);
           },
           "ERROR! - Null, Can't Load Motion\n"},
          {"PRNT",
           CZKSFieldReader::Link(
               report, "ERROR! - Null:PRNT, Incorrect Size\n",
               [null](UINT kind, UINT number) { null->SetParentReference(kind, number); }),
           "ERROR! - Null, Can't Load Parent\n"},
          {"SCRP",
           [&](CChunkReader& r) {
             char script[kTextField] = {};
             if (!text(r, "ERROR! - Null::SCRP, Incorrect Size\n", script)) return false;
             null->SetScript(script);
             return true;
           },
           "ERROR! - Null, Can't Load Script\n"},
      },
      report, "ERROR! - Null, Incorrect Size\n");
}
