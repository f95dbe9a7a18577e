#include "files/ZKOShadowVolumeExporter.h"

#include "chunks/ChunkWriter.h"
#include "core/EngineLog.h"
#include "scene/Mesh.h"
#include "spatial/MeshShadowVolume.h"
#include "spatial/ShadowVolumeGeometry.h"
#include "scene/CountedIndexBuffer.h"

namespace {

constexpr uint32_t kIndexSize = 2;

template <class Item>
bool WriteBlock(CChunkWriter& out, const char* tag, const Item* items, UINT count,
                uint32_t itemBytes) {
  const uint64_t size = uint64_t{count} * itemBytes;
  if (size > UINT32_MAX) return false;
  return out.FixedChunk(tag, static_cast<UINT>(size),
                        [&] { return CZKGeometryRecords::WriteArray(out, items, count); });
}

// A block of whole records filling its chunk; a size that is not a whole number of records
// is refused.
template <class Item>
bool ReadBlock(CChunkReader& in, std::vector<Item>& items, uint32_t itemBytes) {
  uint32_t size = 0;
  if (!in.U32(size) || size % itemBytes != 0) return false;
  CChunkReader::Payload payload(in, size);
  if (!payload.Fits()) return false;
  std::vector<Item> block(size / itemBytes);
  if (!CZKGeometryRecords::ReadArray(in, block.data(), static_cast<uint32_t>(block.size())))
    return false;
  items = std::move(block);
  return true;
}


}  // namespace

bool CZKOShadowVolumeExporter::WriteShadowVolume(CMesh* mesh, FILE* stream, UINT& total) {
  CMeshShadowVolume* shadow = mesh->GetShadowVolumeManager();
  if (shadow == nullptr) return false;
  CChunkWriter out(stream, total);
  return out.Container("SWVL", [&] {
    if (shadow->GetDynamicVertices() != nullptr &&
        !WriteBlock(out, "DSVV", shadow->GetDynamicVertices(),
                    shadow->GetNumberOfDynamicVertices(), CZKGeometryRecords::kVertexSize)) {
      LogError(__LINE__, "ERROR!!! - Can't Save Dynamic SV Vertices: %s\n", mesh->GetName());
      return false;
    }
    if (shadow->GetDynamicIndices() != nullptr &&
        !WriteBlock(out, "DSVI", shadow->GetDynamicIndices(), shadow->GetNumberOfDynamicIndices(),
                    kIndexSize)) {
      LogError(__LINE__, "ERROR!!! - Can't Save Dynamic SV Indices: %s\n", mesh->GetName());
      return false;
    }
    if (shadow->GetStaticVertices() != nullptr &&
        !WriteBlock(out, "SSVV", shadow->GetStaticVertices(), shadow->GetNumberOfStaticVertices(),
                    CZKGeometryRecords::kVertexSize)) {
      LogError(__LINE__, "ERROR!!! - Can't Save Static SV Vertices: %s\n", mesh->GetName());
      return false;
    }
    return true;
  });
}

bool CZKOShadowVolumeExporter::ReadShadowVolume(CMesh* mesh, CChunkReader& in, Loaded& loaded) {
  const uint32_t vertexBytes = CZKGeometryRecords::kVertexSize;
  const bool ok = in.Container(
      {{"DSVV",
        [&](CChunkReader& r) { return ReadBlock(r, loaded.DynamicVertices, vertexBytes); },
        "ERROR!!! - Can't Load Dynamic SV Vertices: %s\n"},
       {"DSVI",
        [&](CChunkReader& r) {
          loaded.szOwnerSuffix = "_shadow_volume_1";
          return ReadBlock(r, loaded.Indices, kIndexSize);
        },
        "ERROR!!! - Can't Load Dynamic SV Indices: %s\n"},
       {"SSVV",
        [&](CChunkReader& r) { return ReadBlock(r, loaded.StaticVertices, vertexBytes); },
        "ERROR!!! - Can't Load Static SV Vertices: %s\n"}},
      Report(__LINE__, mesh->GetName()), "ERROR!!! - Incorrect Size Of SWVL Chunk: %s\n");
  loaded.bPresent = loaded.bPresent || ok;
  return ok;
}

bool CZKOShadowVolumeExporter::ReadOlderVertices(CMesh* mesh, CChunkReader& in, Loaded& loaded) {
  static const CountedRun kRun = {"SVVR", "ERROR! - Mesh::SVVN incorrect length\n",
                                  "ERROR! - Found %s, Mesh::SVVR Expected (%s)\n",
                                  CEngineLog::kLevelError, "ERROR! - Mesh::SVVR incorrect length\n"};
  if (!ReadCountedRun(in, kRun, CZKGeometryRecords::kVertexSize, mesh->GetName(),
                      loaded.DynamicVertices))
    return false;
  loaded.bPresent = true;
  return true;
}

bool CZKOShadowVolumeExporter::ReadOlderIndices(CMesh* mesh, CChunkReader& in, Loaded& loaded) {
  static const CountedRun kRun = {"SVIX", "ERROR! - Surface::SVIN incorrect length\n",
                                  "ERROR - Incorrect chunk name (%s), Surface::SVIX expected\n",
                                  CEngineLog::kLevelInfo, "ERROR! - Surface::SVIX incorrect length\n"};
  if (!ReadCountedRun(in, kRun, kIndexSize, mesh->GetName(), loaded.Indices)) return false;
  loaded.szOwnerSuffix = "_shadow_volume";
  loaded.bPresent = true;
  return true;
}

bool CZKOShadowVolumeExporter::Apply(CMesh* mesh, Loaded& loaded) {
  if (!loaded.bPresent) return true;
  CMeshShadowVolume* shadow = mesh->GetShadowVolumeManager();
  if (shadow == nullptr) {
    LogError(__LINE__, "ERROR!!! - Can't Allocate Memory For Shadow Volume Manager\n");
    return false;
  }
  // The shading passes index the dynamic vertices with these.
  for (WORD index : loaded.Indices)
    if (index >= loaded.DynamicVertices.size()) {
      LogError(__LINE__, "ERROR!!! - Shadow Volume Index %u Out Of Range (%u Vertices): %s\n",
               static_cast<UINT>(index), static_cast<UINT>(loaded.DynamicVertices.size()),
               mesh->GetName());
      return false;
    }
  CCountedIndexBuffer* indexBuffer = nullptr;
  if (!loaded.Indices.empty()) {
    indexBuffer = mesh->CreateShadowVolumeIndexBuffer(
        loaded.Indices.data(), static_cast<UINT>(loaded.Indices.size()), loaded.szOwnerSuffix);
    if (indexBuffer == nullptr) {
      LogError(__LINE__, "ERROR! - Can't Create Index Buffer\n");
      return false;
    }
  }
  CShadowVolumeGeometry geometry(mesh->GetName(), m_pLog);
  geometry.m_DynamicVertices = std::move(loaded.DynamicVertices);
  geometry.m_Indices = std::move(loaded.Indices);
  geometry.m_StaticVertices = std::move(loaded.StaticVertices);
  shadow->SetGeometry(geometry, indexBuffer);
  loaded = Loaded{};
  return true;
}
