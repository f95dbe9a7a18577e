#include "LWOReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "scene/LWOImportBuffer.h"
#include "lightwave/LWOObjectProcessor.h"
#include "lightwave/LWOSurfaceReader.h"
#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "lightwave/LWOChunkHelpers.h"
#include "vfs/VFSNames.h"

namespace {

constexpr const char* kLoadTitle = kLwoLoadTitle;
constexpr const char* kMeshTitle = kLwoMeshTitle;
constexpr const char* kTitle = kLwoTitle;
constexpr const char* kImporterTitle = "Error In LW Importer";

// Triangle point indices are stored in 16 bits.
constexpr UINT kMaxPointIndex = 65536;
// Polygon tags name a tag in 16 bits.
constexpr UINT kMaxTags = 65536;

[[noreturn]] void TooManyUVMaps(const LWOImportBuffer& buffer) {
  FatalErrorWithTitle("ERROR!!!",
                      "Well, Using Too Much UVMaps Is A Hardcore, Won't You Agree?? So If You're "
                      "Too Lame To Make The Object Using %i UVMaps Go And Try Your \"Powers\" "
                      "Elsewhere (The Object I Have In Mind Is: %s)",
                      int(LWOImportBuffer::kMaxUVMaps), buffer.fileName);
}

CEngineLog* EngineLog() { return GetEngineContext()->pLog; }

bool IsPathSeparator(char c) {
  const auto code = static_cast<unsigned char>(c);
  return c == '\\' || c == '/' || c == ':' || code < 45 || code >= 127;
}

void Lower(std::string& text) {
  for (char& c : text) c = LowerAsciiCharacter(c);
}

}  // namespace

// --- the file ---

UINT LWOReader::Load(const char* directory, UINT fromScene) {
  LWOImportBuffer& buffer = m_state.Buffer();
  LogTo(EngineLog(), kLwoSource, CEngineLog::kLevelInfo, "- Loading LWO6 Mesh:%s\n",
        buffer.fileName);
  m_state.StartFile();
  m_polygonTagsRead = false;

  const char* folder = directory != nullptr ? directory : "";
  std::string path = folder;
  if (fromScene == 1) path += "Objects\\";
  path += buffer.fileName;
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  VFSFile* file = files != nullptr ? files->OpenNormalFile(path.c_str(), "rb") : nullptr;
  if (file == nullptr) FatalErrorWithTitle(kLoadTitle, "Can't Load File:%s", path.c_str());
  // The whole file is read at once and closed before anything in it is believed, so that a
  // fatal stop leaves no file open; the chunk readers that come back later read the copy.
  const bool loaded = m_state.file.Load(file);
  file->Close();
  if (!loaded) Corrupt();

  ReadHeader();
  buffer.surfaceCount = 0;
  buffer.clipCount = 0;
  for (LWOSurface& surface : buffer.surfaces) surface.Reset();
  ReadChunks();
  CheckIndices();
  LWOObjectProcessor(buffer, m_state.nextProjectedMap).Process();
  ClassifyTransparency(buffer);
  return 1;
}

void LWOReader::ReadHeader() {
  LWOStream& file = m_state.file;
  UINT id = 0;
  if (!file.ReadID4(id) || id != LWOID("FORM")) FatalErrorWithTitle(kMeshTitle, "Wrong File Format");
  UINT formLength = 0;
  if (!file.ReadU4(formLength) || uint64_t{formLength} + 8 != file.Length()) Corrupt();
  if (!file.ReadID4(id) || id != LWOID("LWO2"))
    FatalErrorWithTitle(kMeshTitle, "There's No LWO2 Entry");
}

void LWOReader::ReadChunks() {
  LWOStream& file = m_state.file;
  const LWOImportBuffer& buffer = m_state.Buffer();
  while (file.Tell() < file.Length()) {
    UINT id = 0;
    if (!file.ReadID4(id)) Corrupt();
    switch (id) {
      case LWOID("TAGS"): ReadTags(); break;
      case LWOID("LAYR"): ReadLayer(); break;
      case LWOID("PNTS"): ReadPoints(); break;
      case LWOID("VMAP"):
        if (m_state.firstVMAP == 0) m_state.firstVMAP = file.Tell();
        ReadVertexMap();
        break;
      case LWOID("ENVL"):
        if (m_state.firstENVL == 0) m_state.firstENVL = file.Tell() - 4;
        if (!file.SkipChunk()) Corrupt();
        break;
      case LWOID("VMAD"):
        if (m_state.firstVMAD == 0) m_state.firstVMAD = file.Tell();
        if (!file.SkipChunk()) Corrupt();
        break;
      case LWOID("POLS"): ReadPolygons(); break;
      case LWOID("PTAG"): ReadPolygonTags(); break;
      case LWOID("CLIP"): ReadClip(); break;
      case LWOID("SURF"): LWOSurfaceReader(m_state).ReadSurface(); break;
      case LWOID("BBOX"):
        if (!file.SkipChunk()) Corrupt();
        break;
      default:
        LogTo(EngineLog(), kLwoSource, CEngineLog::kLevelError,
              "WARNING!!! Unknown Chunk: %s In %s\n", LWOIDText(id).text, buffer.fileName);
        if (!file.SkipChunk()) Corrupt();
    }
  }
}

// --- chunks ---

void LWOReader::ReadTags() {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  UINT length = 0;
  if (!file.ReadU4(length)) FatalErrorWithTitle(kTitle, "Can't Get TAGS Chunk Lenght");
  if (length == 0) FatalErrorWithTitle(kTitle, "TAGS' Lentght Is Null");
  const UINT body = file.Tell();
  LWOStream::Region region;
  EnterChunk(length, region);
  UINT count = 0;
  std::string_view name;
  while (file.Left() > 0) {
    if (!file.ReadS0(name)) FatalErrorWithTitle(kTitle, "Can't Get Surface Name");
    if (++count > kMaxTags)
      FatalErrorWithTitle(kTitle, "TAGS Holds More Than %u Tags: %s", kMaxTags, buffer.fileName);
  }
  if (!buffer.AllocateTags(count))
    FatalErrorWithTitle(kLoadTitle, "Can't Allocate Memory For TAGS: %s\n", buffer.fileName);
  file.Seek(body);
  EnterChunk(length, region);
  for (UINT i = 0; i < count; ++i) {
    file.ReadS0(name);  // read once already
    CopyName(buffer.tags[i].name, name, "TAGS Name");
  }
  file.Leave(region);
}

void LWOReader::ReadLayer() {
  const LWOStream::Region region = EnterChunk();
  WORD number = 0;
  if (!m_state.file.ReadU2(number)) Corrupt();
  if (m_state.layerSeen != 0) FatalErrorWithTitle(kTitle, "Only One Layer Meshes Are Supported");
  m_state.layerSeen = 1;
  m_state.file.Leave(region);
}

void LWOReader::ReadPoints() {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  UINT length = 0;
  if (!file.ReadU4(length)) FatalErrorWithTitle(kLoadTitle, "Can't Get PNTS Chunk Length");
  if (length < 12) FatalErrorWithTitle(kLoadTitle, "Invalid PNTS Chunk Length");
  LWOStream::Region region;
  EnterChunk(length, region);
  const UINT count = length / 12;
  if (!buffer.AllocatePoints(count))
    FatalErrorWithTitle(kLoadTitle, "Can't Allocate Memory For Vertices");
  for (UINT i = 0; i < count; ++i) {
    LWOPoint& point = buffer.points[i];
    if (!file.ReadF4(point.position.x) || !file.ReadF4(point.position.y) ||
        !file.ReadF4(point.position.z))
      FatalErrorWithTitle(kLoadTitle, "Can't Read Vertices");
    point.index16 = static_cast<WORD>(i);
    point.index = i;
  }
  // Leaving skips whatever is left over after the last whole point.
  file.Leave(region);
}

void LWOReader::ReadPolygons() {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  const LWOStream::Region region = EnterChunk();
  UINT type = 0;
  if (!file.ReadID4(type)) Corrupt();
  if (++m_state.polsCount != 1 || type != LWOID("FACE")) {
    LogTo(EngineLog(), kLwoSource, CEngineLog::kLevelError, "Unknown POLS Chunk Type In %s\n",
          buffer.fileName);
    file.Leave(region);
    return;
  }
  // Faces past faceCount are zero already.
  std::fill(buffer.faces, buffer.faces + std::min(buffer.faceCount, LWOImportBuffer::kMaxFaces),
            LWOFace{});
  buffer.faceCount = 0;
  while (file.Left() > 0) {
    WORD corners = 0;
    if (!file.ReadU2(corners) || corners != 3)
      FatalErrorWithTitle(kTitle, "POLS:FACE Can Only Constain Triangles: %s", buffer.fileName);
    if (buffer.faceCount == LWOImportBuffer::kMaxFaces)
      FatalErrorWithTitle(kTitle, "POLS:FACE Holds More Than %u Triangles: %s",
                          LWOImportBuffer::kMaxFaces, buffer.fileName);
    LWOFace& face = buffer.faces[buffer.faceCount];
    for (WORD& corner : face.v) {
      UINT index = 0;
      if (!file.ReadVX(index)) Corrupt();
      if (index >= kMaxPointIndex)
        FatalErrorWithTitle(kTitle, "POLS:FACE Can Only Constain Indices Smaller Than 65536");
      corner = static_cast<WORD>(index);
    }
    ++buffer.faceCount;
  }
  file.Leave(region);
}

void LWOReader::ReadPolygonTags() {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  const LWOStream::Region region = EnterChunk();
  UINT type = 0;
  if (!file.ReadID4(type)) Corrupt();
  if (type != LWOID("SURF") || m_state.polsCount != 1) {
    LogTo(EngineLog(), kLwoSource, CEngineLog::kLevelError, "WARNING!! - Unknown PTAG Chunk: %s\n",
          buffer.fileName);
    file.Leave(region);
    return;
  }
  m_polygonTagsRead = true;
  while (file.Left() > 0) {
    UINT polygon = 0;
    WORD tag = 0;
    if (!file.ReadVX(polygon) || !file.ReadU2(tag)) Corrupt();
    if (polygon >= buffer.faceCount)
      FatalErrorWithTitle(kTitle, "PTAG:SURF Names Polygon %u But There Are %u Polygons: %s",
                          polygon, buffer.faceCount, buffer.fileName);
    if (tag >= buffer.tagCount)
      FatalErrorWithTitle(kTitle, "PTAG:SURF Names Tag %u But There Are %u Tags: %s", UINT{tag},
                          buffer.tagCount, buffer.fileName);
    buffer.faces[polygon].tag = tag;
    buffer.tags[tag].usedByPolygons = 1;
  }
  file.Leave(region);
}

void LWOReader::ReadClip() {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  const LWOStream::Region region = EnterChunk();
  UINT index = 0;
  if (!file.ReadU4(index)) Corrupt();
  if (buffer.clipCount >= LWOImportBuffer::kMaxClips)
    FatalErrorWithTitle(kTitle, "CLIP: More Than %u Clips: %s", LWOImportBuffer::kMaxClips,
                        buffer.fileName);
  LWOClip& clip = buffer.clips[buffer.clipCount];
  clip = LWOClip{};
  clip.index = index;
  UINT type = 0;
  if (!file.ReadID4(type)) Corrupt();
  if (type == LWOID("STIL")) {
    WORD length = 0;
    LWOStream::Region image;
    std::string_view name;
    if (!file.ReadU2(length) || !file.Enter(length, image) || !file.ReadS0(name)) Corrupt();
    MakeTexturePath(clip.name, name);
  } else if (type == LWOID("ISEQ")) {
    ReadImageSequence(clip);
  } else {
    FatalErrorWithTitle(kTitle, "Unknown SubChunk In PTAG Chunk");
  }
  ++buffer.clipCount;
  file.Leave(region);
}

void LWOReader::ReadImageSequence(LWOClip& clip) {
  LWOStream& file = m_state.file;
  WORD length = 0;
  LWOStream::Region sequence;
  if (!file.ReadU2(length) || !file.Enter(length, sequence)) Corrupt();
  BYTE digits = 0, flags = 0;
  WORD offset = 0, reserved = 0, first = 0, last = 0;
  std::string_view prefix, suffix;
  if (!file.ReadU1(digits) || !file.ReadU1(flags) || !file.ReadU2(offset) ||
      !file.ReadU2(reserved) || !file.ReadU2(first) || !file.ReadU2(last) ||
      !file.ReadS0(prefix) || !file.ReadS0(suffix))
    FatalErrorWithTitle(kTitle, "Error Loading ISEQ Chunk");
  clip.digits = static_cast<signed char>(digits);
  clip.flags = static_cast<signed char>(flags);
  clip.offset = offset;
  clip.first = first;
  clip.last = last;
  MakeTexturePath(clip.name, prefix);
  CopyName(clip.suffix, suffix, "CLIP:ISEQ Suffix");
  clip.isSequence = 1;
}

void LWOReader::ReadVertexMap() {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  const LWOStream::Region region = EnterChunk();
  UINT type = 0;
  if (!file.ReadID4(type)) Corrupt();
  if (buffer.uvMapCount >= LWOImportBuffer::kMaxUVMaps) TooManyUVMaps(buffer);
  WORD dimension = 0;
  std::string_view name;
  if (!file.ReadU2(dimension) || !file.ReadS0(name)) Corrupt();
  // The values of UV maps are read on demand once the surfaces ask for them.
  if (type == LWOID("TXUV")) {
    CopyName(buffer.uvMapNames[buffer.uvMapCount].name, name, "VMAP:TXUV Name");
    ++buffer.uvMapCount;
  } else if (type == LWOID("WGHT")) {
    ReadWeightMap(name);
  }
  file.Leave(region);
}

void LWOReader::ReadWeightMap(const std::string_view& name) {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  if (buffer.weightMapCount >= LWOImportBuffer::kMaxWeightMaps)
    FatalErrorWithTitle(kTitle, "VMAP:WGHT More Than %u Weight Maps: %s",
                        LWOImportBuffer::kMaxWeightMaps, buffer.fileName);
  LWOWeightMap& map = buffer.weightMaps[buffer.weightMapCount];
  CopyName(map.name, name, "VMAP:WGHT Name");
  // An entry takes at least six bytes: a two-byte index and a weight.
  const UINT room = file.Left() / 6;
  std::unique_ptr<LWOWeightEntry[]> work(new (std::nothrow) LWOWeightEntry[room]);
  if (work == nullptr)
    FatalErrorWithTitle(kImporterTitle, "Can't Allocate Memory In Weight Maps Routines: %s",
                        buffer.fileName);
  UINT count = 0;
  while (file.Left() > 0) {
    if (count == room || !file.ReadVX(work[count].point) || !file.ReadF4(work[count].weight))
      FatalErrorWithTitle(kImporterTitle, "Weight Map Error: %s", buffer.fileName);
    ++count;
  }
  map.entries.reset(new (std::nothrow) LWOWeightEntry[count]);
  if (map.entries == nullptr)
    FatalErrorWithTitle(kImporterTitle, "Can't Allocate Memory In Weight Maps Routines: %s",
                        buffer.fileName);
  std::copy(work.get(), work.get() + count, map.entries.get());
  map.count = count;
  ++buffer.weightMapCount;
}

void LWOReader::CheckIndices() const {
  const LWOImportBuffer& buffer = m_state.Buffer();
  for (UINT i = 0; i < buffer.faceCount; ++i) {
    const LWOFace& face = buffer.faces[i];
    for (WORD corner : face.v)
      if (corner >= buffer.pointCount)
        FatalErrorWithTitle(kTitle, "POLS:FACE Triangle %u Uses Point %u But There Are %u Points: %s",
                            i, UINT{corner}, buffer.pointCount, buffer.fileName);
    // A later TAGS chunk may have replaced the tags the polygons were given.
    if (m_polygonTagsRead && face.tag >= buffer.tagCount)
      FatalErrorWithTitle(kTitle, "PTAG:SURF Names Tag %u But There Are %u Tags: %s",
                          UINT{face.tag}, buffer.tagCount, buffer.fileName);
  }
  for (UINT m = 0; m < buffer.weightMapCount; ++m) {
    const LWOWeightMap& map = buffer.weightMaps[m];
    for (UINT e = 0; e < map.count; ++e)
      if (map.entries[e].point >= buffer.pointCount)
        FatalErrorWithTitle(kTitle, "VMAP:WGHT %s Names Point %u But There Are %u Points: %s",
                            map.name, map.entries[e].point, buffer.pointCount, buffer.fileName);
  }
}

// --- helpers ---

LWOStream::Region LWOReader::EnterChunk() {
  UINT length = 0;
  if (!m_state.file.ReadU4(length)) Corrupt();
  LWOStream::Region region;
  EnterChunk(length, region);
  return region;
}

void LWOReader::EnterChunk(UINT length, LWOStream::Region& region) {
  if (!m_state.file.Enter(length, region)) Corrupt();
}

void LWOReader::MakeTexturePath(ImportName& field, const std::string_view& path) {
  char* directory = m_state.TextureDirectory();
  LowerAsciiInPlace(directory);
  const std::string whole(path);
  std::string name = directory;
  name += "textures\\";
  name += GetFileNameWithExtension(whole.c_str());
  Lower(name);
  CopyName(field, name, "CLIP Image Path");
}

void LWOReader::CopyName(ImportName& field, const std::string_view& text, const char* what) const {
  CopyLWOName(field, text, what, m_state.Buffer().fileName);
}

void LWOReader::Corrupt() const { LWOFileCorrupt(); }

// --- free functions ---

const char* GetFileNameWithExtension(const char* path) {
  const char* name = path;
  for (const char* c = path; *c != '\0'; ++c)
    if (IsPathSeparator(*c)) name = c + 1;
  return name;
}

UINT FindOrAddUVMap(LWOImportBuffer& buffer, char* name) {
  const size_t length = std::strlen(name);
  if (length >= kImportNameLength)
    FatalErrorWithTitle(kTitle, "%s Too Long (%u Characters): %s", "UV Map Name",
                        static_cast<UINT>(length), buffer.fileName);
  LowerAsciiInPlace(name);
  for (UINT i = 0; i < buffer.uvMapCount; ++i) {
    LowerAsciiInPlace(buffer.uvMapNames[i].name);
    if (std::strcmp(buffer.uvMapNames[i].name, name) == 0) return i;
  }
  if (buffer.uvMapCount >= LWOImportBuffer::kMaxUVMaps) TooManyUVMaps(buffer);
  CopyName(buffer.uvMapNames[buffer.uvMapCount].name, name);
  return buffer.uvMapCount++;
}

void ClassifyTransparency(LWOImportBuffer& buffer) {
  UINT transparent = 0;
  const UINT count = std::min<UINT>(buffer.surfaceCount, LWOImportBuffer::kMaxSurfaces);
  for (UINT i = 0; i < count; ++i) {
    const LWOSurfaceChannel& opacity = buffer.surfaces[i].channel[LWO_CHANNEL_TRANSPARENCY];
    if (opacity.value[0] < 1.0f || opacity.image[0] != '\0') ++transparent;
  }
  buffer.transparencyClass = transparent == 0       ? LWOImportBuffer::TRANSPARENCY_NONE
                             : transparent == count ? LWOImportBuffer::TRANSPARENCY_ALL
                                                    : LWOImportBuffer::TRANSPARENCY_MIXED;
}
