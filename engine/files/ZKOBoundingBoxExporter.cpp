#include "files/ZKOBoundingBoxExporter.h"

#include <memory>
#include <vector>

#include "chunks/ChunkWriter.h"
#include "scene/Mesh.h"
#include "spatial/BoundVolumeMesh.h"
#include "spatial/MeshBoundVolume.h"

namespace {

using Record = CMeshBoundVolume::Record;

// The vectors of a record in the order of the chunk's four vector runs.
CVector3& Field(Record& record, int run) {
  CVector3* fields[4] = {&record.vecCentre, &record.vecExtents, &record.vecMin, &record.vecMax};
  return *fields[run];
}

}  // namespace

uint64_t CZKOBoundingBoxExporter::PayloadSize(uint64_t boxes) {
  constexpr uint64_t kBox = 4 * 12 + 8 * 16;  // four vectors and eight corner points
  return boxes == 1 ? 4 + kBox : boxes * (kBox + 4) + 4;
}

bool CZKOBoundingBoxExporter::WriteBoundingBox(CMesh* mesh, FILE* stream, UINT& total) {
  // Every bound volume a mesh holds comes from the spatial subsystem.
  const auto* volume = static_cast<const CMeshBoundVolume*>(mesh->GetBoundVolume());
  const UINT boxes = volume != nullptr ? volume->GetNumberOfRecords() : 0;
  const uint64_t size = PayloadSize(boxes);
  if (size > UINT32_MAX) return false;
  CChunkWriter out(stream, total);
  return out.FixedChunk("BBOX", static_cast<UINT>(size), [&] {
    bool ok = out.U32(boxes);
    if (boxes > 1)
      for (UINT i = 0; i < boxes; ++i) ok = ok && out.F32(volume->GetRecord(i)->fTime);
    for (int run = 0; run < 4; ++run)
      for (UINT i = 0; i < boxes; ++i) {
        Record record = *volume->GetRecord(i);
        const CVector3& v = Field(record, run);
        ok = ok && out.F32(v.x) && out.F32(v.y) && out.F32(v.z);
      }
    for (UINT i = 0; i < boxes; ++i)
      for (const CVector4& corner : volume->GetRecord(i)->vecCorners)
        ok = ok && out.F32(corner.x) && out.F32(corner.y) && out.F32(corner.z) && out.F32(corner.w);
    return ok;
  });
}

bool CZKOBoundingBoxExporter::ReadBoundingBox(CMesh* mesh, CChunkReader& in) {
  uint32_t size = 0, boxes = 0;
  if (!in.U32(size)) return false;
  CChunkReader::Payload payload(in, size);
  if (!payload.Fits() || !in.U32(boxes)) return false;
  if (size != PayloadSize(boxes)) {
    LogError(__LINE__, "ERROR! - Bounding Box Chunk Wrong Size\n");
    return false;
  }
  std::vector<Record> records(boxes);
  bool ok = true;
  if (boxes > 1)
    for (Record& record : records) ok = ok && in.F32(record.fTime);
  for (int run = 0; run < 4; ++run)
    for (Record& record : records) {
      CVector3& v = Field(record, run);
      ok = ok && in.F32(v.x) && in.F32(v.y) && in.F32(v.z);
    }
  for (Record& record : records)
    for (CVector4& corner : record.vecCorners)
      ok = ok && in.F32(corner.x) && in.F32(corner.y) && in.F32(corner.z) && in.F32(corner.w);
  if (!ok) return false;
  // The volume picks the box for a frame by its time: out of order, it would pick wrongly.
  for (size_t i = 1; i < records.size(); ++i)
    if (!(records[i - 1].fTime <= records[i].fTime)) {
      LogError(__LINE__, "ERROR! - Bounding Box Times Out Of Order\n");
      return false;
    }

  std::unique_ptr<CMeshBoundVolume> volume(CBoundVolumeMesh::NewVolume(mesh, m_pLog));
  volume->SetRecords(std::move(records));
  // Without the mesh's spatial services it cannot keep a volume.
  if (!mesh->SetBoundVolume(volume.get())) {
    LogError(__LINE__, "ERROR! - Can't Allocate Memory For BBox\n");
    return false;
  }
  volume.release();  // the mesh holds it now
  return true;
}
