#include "files/ZKOMeshExporter.h"

#include <cstring>
#include <functional>
#include <vector>

#include "chunks/ChunkWriter.h"
#include "ZKDXInterface.h"
#include "files/ZKOBoundingBoxExporter.h"
#include "files/ZKOShadowVolumeExporter.h"
#include "files/ZKOSurfaceExporter.h"
#include "files/ZKReader.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "winbase.h"
#include "zkplatform/ZkPaths.h"

namespace {

// An edge whose second face is this has only one.
constexpr WORD kNoFace = 0xFFFF;

// A count chunk ("VRTN") and the chunk of its records ("VERT").
template <class Record>
bool WriteCountedRun(CChunkWriter& out, const char* countTag, const char* recordTag,
                     const Record* records, UINT count, uint32_t recordBytes) {
  const uint64_t size = uint64_t{count} * recordBytes;
  if (size > UINT32_MAX || (count > 0 && records == nullptr)) return false;
  return out.U32Chunk(countTag, count) &&
         out.FixedChunk(recordTag, static_cast<UINT>(size), [&] {
           return CZKGeometryRecords::WriteArray(out, records, count);
         });
}

// A path formed into a fixed buffer; false when it does not fit.
bool FormPath(char* buffer, size_t size, const char* format, const char* first,
              const char* second) {
  const int length = std::snprintf(buffer, size, format, first != nullptr ? first : "",
                                   second != nullptr ? second : "");
  return length >= 0 && static_cast<size_t>(length) < size;
}

const char* SceneDirectory(CMesh* mesh) {
  CSceneInterface* scene = mesh->GetScene(0);
  const char* directory = scene != nullptr ? scene->GetDirectory() : nullptr;
  return directory != nullptr ? directory : "";
}

}  // namespace

void CZKOMeshExporter::SetTextureDirectory(const char* directory) {
  std::memset(m_szTextureDirectory, 0, sizeof m_szTextureDirectory);
  if (directory != nullptr)
    std::strncpy(m_szTextureDirectory, directory, sizeof m_szTextureDirectory - 1);
}

// --- saving ---

bool CZKOMeshExporter::SaveObject(CMesh* mesh) {
  if (mesh->GetHasShadowVolumeGeometry() == 0) {
    LogError(__LINE__, "ERROR!!! - Can't Save Object With Incorrect Edges: %s\n", mesh->GetName());
    return false;
  }
  const char* directory = SceneDirectory(mesh);
  char path[kPathLength];
  if (!FormPath(path, sizeof path, "%sObjects\\%s.zko", directory, mesh->GetName())) {
    LogError(__LINE__, "ERROR!!! - Object File Name Too Long: %s\n", mesh->GetName());
    return false;
  }
  FILE* stream = ZkFileOpen(path, "wb");
  if (stream == nullptr) {
    // Loading looks only in "Objects\\": the file goes there or nowhere.
    char folder[kPathLength];
    if (FormPath(folder, sizeof folder, "%sObjects%s", directory, "")) CreateDirectoryA(folder, nullptr);
    stream = ZkFileOpen(path, "wb");
  }
  if (stream == nullptr) {
    LogError(__LINE__, "ERROR!!! - Can't Open Object File: %s\n", path);
    return false;
  }
  const bool written = WriteBody(mesh, stream, path);
  const bool closed = fclose(stream) == 0;
  return written && closed;
}

bool CZKOMeshExporter::WriteBody(CMesh* mesh, FILE* stream, const char* path) {
  UINT total = 0;
  CChunkWriter out(stream, total);
  CChunkWriter::ContainerMark file;
  if (!out.BeginFile("ZKO6", file)) {
    LogInfo(__LINE__, "Error When Saving ZKO - Can't Write Header: %s\n", path);
    return false;
  }
  const struct {
    std::function<bool()> write;
    const char* failure;
  } steps[] = {
      {[&] { return WriteVRTN(mesh, stream, total); },
       "Error When Saving ZKO - Can't Save Vertices: %s\n"},
      {[&] { return WriteFACN(mesh, stream, total); },
       "Error When Saving ZKO - Can't Save Faces: %s\n"},
      {[&] { return out.U32Chunk("VLME", mesh->GetIsClosed()); },
       "Error When Saving ZKO - Can't Save Extrusion Flag: %s\n"},
      {[&] { return mesh->GetNumberOfEdges() == 0 || WriteEDGN(mesh, stream, total); },
       "Error When Saving ZKO - Can't Save Edges: %s\n"},
      {[&] { return m_pReader->GetBoundingBoxExporter()->WriteBoundingBox(mesh, stream, total); },
       "Error When Saving ZKO - Can't Save Bounding Box: %s\n"},
      {[&] { return WriteSRFN(mesh, stream, total); },
       "Error When Saving ZKO - Can't Save Surfaces: %s\n"},
      {[&] { return out.U32Chunk("BLND", mesh->GetIsBlended()); },
       "Error When Saving ZKO - Can't Save IsBlended: %s\n"},
      {[&] {
         return mesh->GetIsClosed() != 1 || mesh->GetShadowVolumeManager() == nullptr ||
                m_pReader->GetShadowVolumeExporter()->WriteShadowVolume(mesh, stream, total);
       },
       "Error When Saving ZKO - Can't Save Shadow Volume: %s\n"},
  };
  for (const auto& step : steps)
    if (!step.write()) {
      LogInfo(__LINE__, step.failure, path);
      return false;
    }
  if (!out.EndFile(file)) {
    LogInfo(__LINE__, "Error When Saving ZKO - Incorrect File Length: %s\n", path);
    return false;
  }
  return true;
}

bool CZKOMeshExporter::WriteVRTN(CMesh* mesh, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  return WriteCountedRun(out, "VRTN", "VERT", mesh->GetVertices(), mesh->GetNumberOfVertices(),
                         CZKGeometryRecords::kVertexSize);
}

bool CZKOMeshExporter::WriteFACN(CMesh* mesh, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  return WriteCountedRun(out, "FACN", "FACE", mesh->GetFace(0), mesh->GetNumberOfFaces(),
                         CZKGeometryRecords::kFaceSize);
}

bool CZKOMeshExporter::WriteEDGN(CMesh* mesh, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  return WriteCountedRun(out, "EDGN", "EDGE", mesh->GetEdge(0), mesh->GetNumberOfEdges(),
                         CZKGeometryRecords::kEdgeSize);
}

bool CZKOMeshExporter::WriteSRFN(CMesh* mesh, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  const UINT count = mesh->GetNumberOfSurfaces();
  if (!out.U32Chunk("SRFN", count)) return false;
  CZKOSurfaceExporter* surfaces = m_pReader->GetSurfaceExporter();
  for (UINT i = 0; i < count; ++i) {
    auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(i));
    if (surface == nullptr || !surfaces->WriteSURF(surface, stream, total)) return false;
  }
  return true;
}

// --- loading ---

bool CZKOMeshExporter::LoadObjectFromDirectory(CMesh* mesh, const char* directory,
                                               const char* name, UINT loadFlag) {
  SetTextureDirectory(nullptr);
  char path[kLoadPathLength];
  if (!FormPath(path, sizeof path, "%sObjects\\%s.zko", directory, name)) {
    LogError(__LINE__, "ERROR! - MESH::LoadMesh, Object File Name Too Long: %s\n",
             name != nullptr ? name : "");
    return false;
  }
  return LoadObject(mesh, path, loadFlag);
}

bool CZKOMeshExporter::LoadObject(CMesh* mesh, const char* path, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  VFSFile* file =
      files != nullptr && path != nullptr ? files->OpenNormalFile(path, "rb") : nullptr;
  if (file == nullptr) {
    LogError(__LINE__, "ERROR! - MESH::LoadMesh, Can't Open File: %s\n", path != nullptr ? path : "");
    return false;
  }

  CChunkReader in(file);
  ChunkTag magic;
  // A file too short for its magic is refused like a wrong one (the magic reads as empty).
  bool ok = in.Tag(magic) && (magic.Is("ZKO6") || magic.Is("ZKO5"));
  if (!ok) {
    LogError(__LINE__,
             "ERROR! - MESH::LoadMesh, Incorrect File - %s, ZKO6 Or ZKO5 Header Expected But "
             "Found: %s\n",
             path, magic.Text());
  }
  uint32_t size = 0;
  ok = ok && in.U32(size);

  CZKOShadowVolumeExporter* shadow = m_pReader->GetShadowVolumeExporter();
  CZKOShadowVolumeExporter::Loaded shadowVolume;
  CZKOBoundingBoxExporter* box = m_pReader->GetBoundingBoxExporter();
  const auto read = [&](bool (CZKOMeshExporter::*reader)(CMesh*, CChunkReader&)) {
    return [this, mesh, reader](CChunkReader& r) { return (this->*reader)(mesh, r); };
  };
  const auto flag = [&](const char* incorrectSize, void (*store)(CMesh*, UINT)) {
    return [&in, mesh, store, incorrectSize, this](CChunkReader&) {
      return in.FixedChunk(4, Report(__LINE__, mesh->GetName()), incorrectSize, [&] {
        uint32_t value = 0;
        if (!in.U32(value)) return false;
        store(mesh, value);
        return true;
      });
    };
  };
  ok = ok &&
       in.SubChunks(
           size,
           {{"VRTN", read(&CZKOMeshExporter::ReadVRTN), "ERROR! - Can't Load Vertices: %s\n"},
            {"FACN", read(&CZKOMeshExporter::ReadFACN), "ERROR! - Can't Load Faces: %s\n"},
            {"EDGN", read(&CZKOMeshExporter::ReadEDGN), "ERROR! - Can't Load Edges: %s\n"},
            {"BBOX", [&](CChunkReader& r) { return box->ReadBoundingBox(mesh, r); },
             "ERROR! - Can't Load Bounding Box: %s\n"},
            {"SRFN", read(&CZKOMeshExporter::ReadSRFN), "ERROR! - Can't Load Surfaces: %s\n"},
            {"BLND",
             flag("ERROR! - Mesh::BLND incorrect length\n",
                  [](CMesh* m, UINT value) { m->SetIsBlended(value); }),
             "ERROR! - Can't Load IsBlended: %s\n"},
            {"VLME",
             flag("ERROR! - Mesh::VLME incorrect length\n",
                  [](CMesh* m, UINT value) { m->SetCastsShadowVolume(value); }),
             "ERROR! - Can't Load Extrusion Flag: %s\n"},
            {"SWVL", [&](CChunkReader& r) { return shadow->ReadShadowVolume(mesh, r, shadowVolume); },
             "ERROR! - Can't Load Shadow Volume Vertices: %s\n"},
            {"SVVN", [&](CChunkReader& r) { return shadow->ReadOlderVertices(mesh, r, shadowVolume); },
             "ERROR! - Can't Load Shadow Volume Vertices: %s\n"},
            {"SVIN", [&](CChunkReader& r) { return shadow->ReadOlderIndices(mesh, r, shadowVolume); },
             "ERROR! - Can't Load Shadow Volume Indices: %s\n"}},
           Report(__LINE__, mesh->GetName()), "ERROR! - Incorrect File Length: %s\n");
  ok = ok && shadow->Apply(mesh, shadowVolume);
  file->Close();
  // The collider was built by the mesh when it took its faces; a mesh whose collider could
  // not be built has logged it and stays usable without collisions.
  return ok;
}

bool CZKOMeshExporter::ReadVRTN(CMesh* mesh, CChunkReader& in) {
  static const CountedRun kRun = {"VERT", "ERROR! - Mesh::VRTN incorrect length\n",
                                  "ERROR! - Found %s, Mesh::VERT Expected (%s)\n",
                                  CEngineLog::kLevelError, "ERROR! - Mesh::VERT incorrect length\n"};
  std::vector<Vertex> vertices;
  if (!ReadCountedRun(in, kRun, CZKGeometryRecords::kVertexSize, mesh->GetName(), vertices))
    return false;
  // The mesh keeps the vertices only while its faces and edges still find theirs.
  return vertices.empty() || mesh->TakeVertices(std::move(vertices), 0) != 0;
}

bool CZKOMeshExporter::ReadFACN(CMesh* mesh, CChunkReader& in) {
  static const CountedRun kRun = {"FACE", "ERROR! - Mesh::FACN incorrect length\n",
                                  "ERROR! - Found %s, Mesh::FACE Expected (%s)\n",
                                  CEngineLog::kLevelError, "ERROR! - Mesh::FACE incorrect length\n"};
  std::vector<Face> faces;
  if (!ReadCountedRun(in, kRun, CZKGeometryRecords::kFaceSize, mesh->GetName(), faces))
    return false;
  // Refused when a face names a vertex the mesh does not have; the mesh builds its collider
  // over the faces it takes.
  return faces.empty() || mesh->TakeFaces(std::move(faces)) != 0;
}

bool CZKOMeshExporter::ReadEDGN(CMesh* mesh, CChunkReader& in) {
  static const CountedRun kRun = {"EDGE", "ERROR! - Mesh::EDGN incorrect length\n",
                                  "ERROR! - Found %s, Mesh::EDGE Expected (%s)\n",
                                  CEngineLog::kLevelError, "ERROR! - Mesh::EDGE incorrect length\n"};
  std::vector<Edge> edges;
  if (!ReadCountedRun(in, kRun, CZKGeometryRecords::kEdgeSize, mesh->GetName(), edges))
    return false;
  if (edges.empty()) return true;
  // The face references come back from the face numbers, into the faces the mesh holds.
  const UINT faceCount = mesh->GetNumberOfFaces();
  for (size_t i = 0; i < edges.size(); ++i) {
    Edge& edge = edges[i];
    if (edge.wFace1 >= faceCount || (edge.wFace2 != kNoFace && edge.wFace2 >= faceCount)) {
      LogError(__LINE__, "ERROR! - Mesh::EDGE, Edge %u Uses A Face Out Of Range (%u Faces): %s\n",
               static_cast<UINT>(i), faceCount, mesh->GetName());
      return false;
    }
    edge.pOwner1 = mesh->GetFace(edge.wFace1);
    edge.pOwner2 = edge.wFace2 != kNoFace ? mesh->GetFace(edge.wFace2) : nullptr;
  }
  return mesh->SetEdges(static_cast<UINT>(edges.size()), edges.data()) != 0;
}

bool CZKOMeshExporter::ReadSRFN(CMesh* mesh, CChunkReader& in) {
  uint32_t size = 0, count = 0;
  if (!in.U32(size)) return false;
  if (size != 4) {
    LogError(__LINE__, "ERROR! - Mesh::SRFN incorrect length\n");
    return false;
  }
  if (!in.U32(count)) return false;
  CZKOSurfaceExporter* surfaces = m_pReader->GetSurfaceExporter();
  uint32_t read = 0;
  // The run ends at the first other tag, which the file loop then reads.
  for (; in.NextTagIs("SURF"); ++read) {
    if (read >= count) {
      LogError(__LINE__, "ERROR! - Mesh::SURF, More Surfaces Than Defined in Mesh::SRFN: %s\n",
               mesh->GetName());
      return false;
    }
    auto* surface = dynamic_cast<CSurface*>(mesh->CreateSurface());
    if (surface == nullptr) {
      LogInfo(__LINE__, "ERROR - Mesh::SURF, Can't Allocate Memory For Surface: %s\n",
              mesh->GetName());
      return false;
    }
    if (!surfaces->ReadSURF(surface, in, m_szTextureDirectory)) {
      LogInfo(__LINE__, "ERROR - Mesh::SURF, Can't Load Surface: %s - %s\n", mesh->GetName(),
              surface->GetName());
      return false;
    }
  }
  // Surfaces the count promises and the file lacks would be left unset.
  if (read < count) {
    LogError(__LINE__, "ERROR! - Mesh::SURF, Fewer Surfaces Than Defined in Mesh::SRFN: %s\n",
             mesh->GetName());
    return false;
  }
  return true;
}
