#include "files/ZKOSurfaceExporter.h"

#include <cstring>
#include <vector>

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSEnvelopeExporter.h"
#include "files/ZKShaderChunk.h"
#include "core/FatalError.h"
#include "core/FileNames.h"
#include "scene/Envelope.h"
#include "scene/Mesh.h"

struct CZKOSurfaceExporter::EnvelopeChunk {
  const char* tag;
  UINT channel;
  const char* incorrectSize;
  const char* loadFailure;
};

struct CZKOSurfaceExporter::TextureChunk {
  const char* tag;
  CSurface::Slot slot;
  UINT normalMap;
  const char* incorrectSize;
  const char* loadFailure;
};

struct CZKOSurfaceExporter::MaterialTextureChunk {
  const char* tag;
  CSurface::Slot slot;
  // The red, green, blue and alpha channels' images.
  const char* channelTags[4];
  // Logged for a channel name of the wrong size; some channels have no line of their own.
  const char* channelIncorrectSize[4];
};

namespace {

using EnvelopeChunk = CZKOSurfaceExporter::EnvelopeChunk;
using TextureChunk = CZKOSurfaceExporter::TextureChunk;
using MaterialTextureChunk = CZKOSurfaceExporter::MaterialTextureChunk;

constexpr UINT kTextField = CZKOSurfaceExporter::kTextField;
constexpr UINT kNameChunk = 8 + kTextField;
constexpr UINT kAnimationHeader = 16;
constexpr BYTE kFullChannel = 255;

// In the order they are written.
constexpr EnvelopeChunk kEnvelopes[] = {
    {"ECLR", CSurface::CHANNEL_COLOR_RED, "ERROR! - Surface::ECLR Incorrect Size\n",
     "ERROR! - Error When Loading Surface::ECLR: %s, %s\n"},
    {"ECLG", CSurface::CHANNEL_COLOR_GREEN, "ERROR! - Surface::ECLG Incorrect Size\n",
     "ERROR! - Error When Loading Surface::ECLG: %s, %s\n"},
    {"ECLB", CSurface::CHANNEL_COLOR_BLUE, "ERROR! - Surface::ECLB Incorrect Size\n",
     "ERROR! - Error When Loading Surface::ECLB: %s, %s\n"},
    {"EDIF", CSurface::CHANNEL_DIFFUSE, "ERROR! - Surface::EDIF Incorrect Size\n",
     "ERROR! - Error When Loading Surface::EDIF: %s, %s\n"},
    {"ELUM", CSurface::CHANNEL_LUMINOSITY, "ERROR! - Surface::ELUM Incorrect Size\n",
     "ERROR! - Error When Loading Surface::ELUM: %s, %s\n"},
    {"EREL", CSurface::CHANNEL_REFLECTION, "ERROR! - Surface::EREL Incorrect Size\n",
     "ERROR! - Error When Loading Surface::EREL: %s, %s\n"},
    {"ERER", CSurface::CHANNEL_REFRACTION, "ERROR! - Surface::ERER Incorrect Size\n",
     "ERROR! - Error When Loading Surface::ERER: %s, %s\n"},
    {"EGLS", CSurface::CHANNEL_SPECULAR_GLOSSINESS, "ERROR! - Surface::EGLS Incorrect Size\n",
     "ERROR! - Error When Loading Surface::EGLS: %s, %s\n"},
    {"EEXP", CSurface::CHANNEL_SPECULAR_EXPONENT, "ERROR! - Surface::EEXP Incorrect Size\n",
     "ERROR! - Error When Loading Surface::EEXP: %s, %s\n"},
    {"ETRP", CSurface::CHANNEL_TRANSPARENCY, "ERROR! - Surface::ETRP Incorrect Size\n",
     "ERROR! - Error When Loading Surface::ETRP: %s, %s\n"},
    {"ETRC", CSurface::CHANNEL_TRANSLUCENCY, "ERROR! - Surface::ETRC Incorrect Size\n",
     "ERROR! - Error When Loading Surface::ETRC: %s, %s\n"},
};

constexpr TextureChunk kColor0 = {
    "TCR0", CSurface::SLOT_COLOR0, 0,
    "ERROR! - Read Data Size Is Not Equal To Chunk's Size, LoadColor0Texture, %s, %s\n",
    "ERROR! - Error When Loading Surface::TCR0: %s, %s\n"};
constexpr TextureChunk kColor1 = {
    "TCR1", CSurface::SLOT_COLOR1, 0,
    "ERROR! - Read Data Size Is Not Equal To Chunk's Size, LoadColor1Texture, %s, %s\n",
    "ERROR! - Error When Loading Surface::TCR1: %s, %s\n"};
constexpr TextureChunk kNormal = {
    "TNRM", CSurface::SLOT_NORMAL, 1,
    "ERROR! - Read Data Size Is Not Equal To Chunk's Size, LoadNormalTexture, %s, %s\n",
    "ERROR! - Error When Loading Surface::TNRM: %s, %s\n"};
constexpr TextureChunk kReflection = {
    "TRFL", CSurface::SLOT_REFLECTION, 0,
    "ERROR! - Read Data Size Is Not Equal To Chunk's Size, LoadReflectionTexture, %s, %s\n",
    "ERROR! - Error When Loading Surface::TRFL: %s, %s\n"};
constexpr TextureChunk kRefraction = {
    "TRFR", CSurface::SLOT_REFRACTION, 0,
    "ERROR! - Read Data Size Is Not Equal To Chunk's Size, LoadRefractionTexture, %s, %s\n",
    "ERROR! - Error When Loading Surface::TRFR: %s, %s\n"};

constexpr MaterialTextureChunk kMaterial1 = {
    "TMT1",
    CSurface::SLOT_MATERIAL1,
    {"TDIF", "TGLS", "TEXP", "TRFL"},
    {"ERROR! - Surface::TDIF Wrong Size: %s, %s\n", nullptr, nullptr, nullptr}};
constexpr MaterialTextureChunk kMaterial2 = {
    "TMT2",
    CSurface::SLOT_MATERIAL2,
    {"TTRN", "TFRS", "TRFR", "TLUM"},
    {"ERROR! - Surface::TTRN Wrong Size: %s, %s\n", "ERROR! - Surface::TFRS Wrong Size: %s, %s\n",
     "ERROR! - Surface::TRFR Wrong Size: %s, %s\n", nullptr}};
constexpr const char* kMaterialLoadFailure = "ERROR! - Error When Loading Surface::TMAT: %s, %s\n";

const char* NonEmpty(const char* text) {
  return text != nullptr && text[0] != '\0' ? text : nullptr;
}

// A texture the file can name: it has a first image or an alpha image.
bool HasImage(CTextureInterface* texture) {
  return texture != nullptr &&
         (NonEmpty(texture->GetFileName()) != nullptr ||
          NonEmpty(texture->GetAlphaFileName()) != nullptr);
}

bool IsSequence(const SurfaceTexture& record) {
  return record.dwSourceKind == SURFACE_TEXTURE_SEQUENCE;
}

// Whether a plain or animated slot can be written so that it reads back: every texture it
// shows must have a file. A slot without one shows nothing the file can carry.
bool CanStore(const SurfaceTexture& record) {
  if (!IsSequence(record)) return HasImage(record.pTextureImage);
  if (record.dwNumberOfFrames > 0 && record.pFrames == nullptr) return false;
  for (DWORD i = 0; i < record.dwNumberOfFrames; ++i)
    if (!HasImage(record.pFrames[i])) return false;
  return true;
}

SurfaceTexture* SlotRecord(CSurface* surface, CSurface::Slot slot) {
  switch (slot) {
    case CSurface::SLOT_COLOR0: return surface->GetColor0Texture();
    case CSurface::SLOT_COLOR1: return surface->GetColor1Texture();
    case CSurface::SLOT_NORMAL: return surface->GetNormalTexture();
    case CSurface::SLOT_MATERIAL1: return surface->GetMaterialTexture1();
    case CSurface::SLOT_MATERIAL2: return surface->GetMaterialTexture2();
    case CSurface::SLOT_REFLECTION: return surface->GetReflectionTexture();
    case CSurface::SLOT_REFRACTION: return surface->GetRefractionTexture();
    case CSurface::SLOT_COUNT: break;
  }
  return nullptr;
}

const char* MeshName(CSurface* surface) {
  CMesh* mesh = surface->GetParentMeshObject();
  return mesh != nullptr ? mesh->GetName() : "";
}

bool NameChunk(CChunkWriter& out, const char* tag, const std::string& name) {
  return out.FixedChunk(tag, kTextField, [&] { return out.Text(name.c_str(), kTextField); });
}

// "TNAM" always (empty for an alpha-only texture, so that the reader finds its first chunk),
// then "TALP" when the texture has an alpha image.
bool WriteNames(CChunkWriter& out, CTextureInterface* texture) {
  if (!NameChunk(out, "TNAM", GetWholeFileName(texture->GetFileName()))) return false;
  const char* alpha = NonEmpty(texture->GetAlphaFileName());
  return alpha == nullptr || NameChunk(out, "TALP", GetWholeFileName(alpha));
}

bool WriteFlags(CChunkWriter& out, const SurfaceTexture& record) {
  return out.U32Chunk("TFLG", record.wFlags) && out.U32Chunk("TOPC", record.wOpacity) &&
         out.F32Chunk("TOPF", record.fOpacityValue);
}

bool ReadText(CChunkReader& in, std::string& text) {
  char field[kTextField];
  if (!in.Text(field, sizeof field)) return false;
  text = field;
  return true;
}

}  // namespace

// --- writing ---

bool CZKOSurfaceExporter::WriteSURF(CSurface* surface, FILE* stream, UINT& total) {
  if (surface == nullptr) return false;
  CChunkWriter out(stream, total);
  return out.Container("SURF", [&] {
    return out.FixedChunk("NAME", kTextField,
                          [&] { return out.Text(surface->GetName(), kTextField); }) &&
           WriteEnvelopes(surface, out) &&
           out.FixedChunk("COLR", 12,
                          [&] {
                            const float* color = surface->GetColor();
                            return out.F32(color[0]) && out.F32(color[1]) && out.F32(color[2]);
                          }) &&
           WriteMATR(surface, out) && WriteINDN(surface, out) &&
           out.U32Chunk("SHAD", surface->GetShadeType()) &&
           out.U32Chunk("FLAG", surface->GetFlags()) &&
           out.F32Chunk("ALPH", surface->GetSurfaceParameter()) && WriteTextures(surface, out) &&
           WriteSHDR(surface, out);
  });
}

bool CZKOSurfaceExporter::WriteEnvelopes(CSurface* surface, CChunkWriter& out) {
  CZKSEnvelopeExporter* envelopes = m_pReader->GetEnvelopeExporter();
  for (const EnvelopeChunk& chunk : kEnvelopes) {
    CEnvelopeInterface* envelope = surface->GetMaterialEnvelope(chunk.channel);
    if (envelope == nullptr) continue;
    if (!out.Container(chunk.tag, [&] {
          return envelopes->WriteEnvelope(envelope, out.Stream(), out.Total());
        }))
      return false;
  }
  return true;
}

bool CZKOSurfaceExporter::WriteMATR(CSurface* surface, CChunkWriter& out) {
  // A surface without a material is stored with the one it reads as: opaque black.
  D3DCOLORVALUE diffuse{0, 0, 0, 1}, specular{0, 0, 0, 0}, emissive{0, 0, 0, 1};
  CVector4 additional1, additional2;
  if (CMaterialInterface* material = surface->GetMaterial(0)) {
    const D3DMATERIAL9* block = material->GetD3DMaterial();
    diffuse = block->Diffuse;
    specular = block->Specular;
    emissive = block->Emissive;
    additional1 = *material->GetAdditionalMaterial1();
    additional2 = *material->GetAdditionalMaterial2();
  }
  auto color = [&](const D3DCOLORVALUE& c) {
    return out.F32(c.r) && out.F32(c.g) && out.F32(c.b) && out.F32(c.a);
  };
  auto vector = [&](const CVector4& v) {
    return out.F32(v.x) && out.F32(v.y) && out.F32(v.z) && out.F32(v.w);
  };
  return out.FixedChunk("MATR", 80, [&] {
    return color(diffuse) && color(specular) && color(emissive) && vector(additional1) &&
           vector(additional2);
  });
}

bool CZKOSurfaceExporter::WriteINDN(CSurface* surface, CChunkWriter& out) {
  const UINT count = surface->GetIndexCount();
  if (count > UINT32_MAX / 2) return false;
  const WORD* indices = surface->GetIndices();
  return out.U32Chunk("INDN", count) && out.FixedChunk("INDC", count * 2, [&] {
    for (UINT i = 0; i < count; ++i)
      if (!out.U16(indices[i])) return false;
    return true;
  });
}

bool CZKOSurfaceExporter::WriteTextures(CSurface* surface, CChunkWriter& out) {
  // In the order they are written.
  const TextureChunk* plain[CSurface::SLOT_COUNT] = {&kColor0, &kColor1, &kNormal,    nullptr,
                                                     nullptr,  &kReflection, &kRefraction};
  const MaterialTextureChunk* packed[CSurface::SLOT_COUNT] = {nullptr, nullptr, nullptr,
                                                              &kMaterial1, &kMaterial2};
  for (UINT slot = 0; slot < CSurface::SLOT_COUNT; ++slot) {
    const SurfaceTexture* record = SlotRecord(surface, static_cast<CSurface::Slot>(slot));
    if (record == nullptr) continue;
    bool written = true;
    if (packed[slot] != nullptr && record->pTextureImage != nullptr) {
      written = WriteMaterialTexture(*packed[slot], *record, out);
    } else if (plain[slot] != nullptr && CanStore(*record)) {
      written = out.Container(plain[slot]->tag, [&] { return WriteTextureBlock(*record, out); });
    } else {
      LogError(__LINE__, "WARNING!!! - Texture Without A File Not Saved: %s, %s\n",
               MeshName(surface), surface->GetName());
    }
    if (!written) return false;
  }
  return true;
}

bool CZKOSurfaceExporter::WriteTextureBlock(const SurfaceTexture& record, CChunkWriter& out) {
  if (IsSequence(record)) {
    // The size word is what the frames' names take, alpha images or not.
    const bool animation = out.Container("TANI", [&] {
      if (!out.U32(record.dwSequenceParameter) ||
          !out.U32(static_cast<uint32_t>(record.lFirstFrame)) ||
          !out.U32(static_cast<uint32_t>(record.lFrameLimit)) ||
          !out.U32(record.dwNumberOfFrames) || !out.AddToTotal(kAnimationHeader))
        return false;
      for (DWORD i = 0; i < record.dwNumberOfFrames; ++i)
        if (!WriteNames(out, record.pFrames[i])) return false;
      return true;
    });
    if (!animation) return false;
  } else if (!WriteNames(out, record.pTextureImage)) {
    return false;
  }
  return WriteFlags(out, record);
}

bool CZKOSurfaceExporter::WriteMaterialTexture(const MaterialTextureChunk& chunk,
                                               const SurfaceTexture& record, CChunkWriter& out) {
  CTextureInterface* texture = record.pTextureImage;
  const char* channels[4] = {texture->GetFileName(), texture->GetGreenFileName(),
                             texture->GetBlueFileName(), texture->GetAlphaFileName()};
  return out.Container(chunk.tag, [&] {
    for (UINT i = 0; i < 4; ++i)
      if (NonEmpty(channels[i]) != nullptr &&
          !NameChunk(out, chunk.channelTags[i], GetWholeFileName(channels[i])))
        return false;
    return WriteFlags(out, record);
  });
}

bool CZKOSurfaceExporter::WriteSHDR(CSurface* surface, CChunkWriter& out) {
  const char* name = surface->GetShaderFileName();
  if (surface->GetManualShader() != 1 || name[0] == '\0') return true;
  const std::vector<ShaderParameter>& parameters = surface->GetShaderParameters();
  const bool withShader = surface->GetShader() != nullptr;
  const UINT count = withShader ? static_cast<UINT>(parameters.size()) : 0;
  if (withShader) LogInfo(__LINE__, "SAVING PARAM: %i\n", static_cast<int>(count));
  // More than a reader's table holds would make a file that cannot be read back.
  if (count > CZKShaderChunk::kMaxParameters) {
    LogError(__LINE__, "ERROR! - Too Many Shader Parameters To Save: %s, %s\n",
             MeshName(surface), surface->GetName());
    return false;
  }
  return CZKShaderChunk::Write(out, name, parameters.data(), count);
}

// --- reading ---

bool CZKOSurfaceExporter::ReadSURF(CSurface* surface, CChunkReader& in,
                                   const char* textureDirectory) {
  std::memset(m_szTextureDirectory, 0, sizeof m_szTextureDirectory);
  if (textureDirectory != nullptr)
    std::strncpy(m_szTextureDirectory, textureDirectory, sizeof m_szTextureDirectory - 1);
  if (surface == nullptr) return false;

  const char* meshName = MeshName(surface);
  // The surface's name fills the messages as it stands when they are logged.
  const ChunkReport report = Report(__LINE__, meshName, surface->GetName());
  using Rule = CChunkReader::Rule;
  // The tables are static; the rules keep pointers to their rows.
  auto envelope = [&](const EnvelopeChunk& row) {
    return Rule{row.tag,
                [&, chunk = &row](CChunkReader& r) {
                  return ReadEnvelope(surface, *chunk, r, report);
                },
                row.loadFailure};
  };
  auto texture = [&](const TextureChunk& row) {
    return Rule{
        row.tag,
        [&, chunk = &row](CChunkReader& r) { return ReadTexture(surface, *chunk, r, report); },
        row.loadFailure};
  };
  auto material = [&](const MaterialTextureChunk& row) {
    return Rule{row.tag,
                [&, chunk = &row](CChunkReader& r) {
                  return ReadMaterialTexture(surface, *chunk, r, report);
                },
                kMaterialLoadFailure};
  };
  const bool read = in.Container(
      {
          {"NAME",
           [&](CChunkReader& r) {
             return r.FixedChunk(kTextField, report, "ERROR! - Surface::Name incorrect length\n",
                                 [&] {
                                   char name[kTextField];
                                   if (!r.Text(name, sizeof name)) return false;
                                   surface->SetName(name);
                                   return true;
                                 });
           },
           "ERROR! - Error When Loading Surface::NAME: %s, %s\n"},
          envelope(kEnvelopes[0]),
          envelope(kEnvelopes[1]),
          envelope(kEnvelopes[2]),
          envelope(kEnvelopes[3]),
          envelope(kEnvelopes[4]),
          envelope(kEnvelopes[5]),
          envelope(kEnvelopes[6]),
          envelope(kEnvelopes[7]),
          envelope(kEnvelopes[8]),
          envelope(kEnvelopes[9]),
          envelope(kEnvelopes[10]),
          {"MATR", [&](CChunkReader& r) { return ReadMATR(surface, r, report); },
           "ERROR! - Error When Loading Surface::MATR: %s, %s\n"},
          {"INDN", [&](CChunkReader& r) { return ReadINDN(surface, r, report); },
           "ERROR! - Error When Loading Surface::INDN: %s, %s\n"},
          {"COLR",
           [&](CChunkReader& r) {
             float* color = surface->GetColor();
             return r.FixedChunk(12, report, "ERROR! - Surface::COLR incorrect length\n", [&] {
               return r.F32(color[0]) && r.F32(color[1]) && r.F32(color[2]);
             });
           },
           "ERROR! - Error When Loading Surface::COLR: %s, %s\n"},
          texture(kColor0),
          texture(kColor1),
          texture(kNormal),
          material(kMaterial1),
          material(kMaterial2),
          texture(kReflection),
          texture(kRefraction),
          {"SHAD",
           [&](CChunkReader& r) {
             uint32_t shading = 0;
             if (!r.FixedChunk(4, report, "ERROR! - Surface::SHAD Incorrect Size: %s, %s\n",
                               [&] { return r.U32(shading); }))
               return false;
             surface->SetShadingType(shading);
             return true;
           },
           "ERROR! - Error When Loading Surface::SHAD: %s, %s\n"},
          {"FLAG",
           [&](CChunkReader& r) {
             uint32_t flags = 0;
             if (!r.FixedChunk(4, report, "ERROR! - Surface::FLAG Incorrect Size: %s, %s\n",
                               [&] { return r.U32(flags); }))
               return false;
             surface->SetFlags(static_cast<WORD>(flags));
             return true;
           },
           "ERROR! - Error When Loading Surface::FLAG: %s, %s\n"},
          {"ALPH",
           [&](CChunkReader& r) {
             // A wrong size has only the container's line.
             uint32_t size = 0;
             float parameter = 0;
             if (!r.U32(size) || size != 4 || !r.F32(parameter)) return false;
             surface->SetSurfaceParameter(parameter);
             return true;
           },
           "ERROR! - Error When Loading Surface::ALPH: %s, %s\n"},
          {"SHDR", [&](CChunkReader& r) { return ReadSHDR(surface, r, report); },
           "ERROR! - Error When Loading Surface::SHDR: %s, %s\n"},
      },
      report, "ERROR! - Surface, Incorrect Size Of Chunk Length And Read Data: %s, %s\n");
  if (!read) return false;
  LogInfo(__LINE__, "  - %s - %s Loaded Successfully\n", meshName, surface->GetName());
  return true;
}

bool CZKOSurfaceExporter::ReadEnvelope(CSurface* surface, const EnvelopeChunk& chunk,
                                       CChunkReader& in, const ChunkReport& report) {
  auto* envelope = NewNamedOrFatal<CEnvelope>("Error While Updating Surface",
                                              "Can't Allocate Memory For Envelope: %s",
                                              surface->GetName());
  // The surface owns it from here, whatever the read gives.
  surface->SetMaterialEnvelope(chunk.channel, envelope);
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  const uint64_t start = in.Position();
  if (!m_pReader->GetEnvelopeExporter()->ReadEnvelope(envelope, in)) return false;
  if (in.Position() - start != size) {
    report.Error(chunk.incorrectSize);
    return false;
  }
  // An animated channel needs a material of its own.
  surface->SetHasEnvelopes(1);
  return true;
}

bool CZKOSurfaceExporter::ReadMATR(CSurface* surface, CChunkReader& in,
                                   const ChunkReport& report) {
  D3DCOLORVALUE colors[3];
  CVector4 additional[2];
  return in.FixedChunk(80, report, "ERROR! - Surface::MATR incorrect length\n", [&] {
    for (D3DCOLORVALUE& c : colors)
      if (!in.F32(c.r) || !in.F32(c.g) || !in.F32(c.b) || !in.F32(c.a)) return false;
    for (CVector4& v : additional)
      if (!in.F32(v.x) || !in.F32(v.y) || !in.F32(v.z) || !in.F32(v.w)) return false;
    return surface->CreateMaterial(&colors[0], &colors[1], &colors[2], &additional[0],
                                   &additional[1], surface->GetHasEnvelopes()) != 0;
  });
}

bool CZKOSurfaceExporter::ReadINDN(CSurface* surface, CChunkReader& in,
                                   const ChunkReport& report) {
  uint32_t count = 0;
  if (!in.FixedChunk(4, report, "ERROR! - Surface::INDN incorrect length\n",
                     [&] { return in.U32(count); }))
    return false;
  ChunkTag tag;
  if (!in.Tag(tag)) return false;
  if (!tag.Is("INDC")) {
    LogInfo(__LINE__, "ERROR - Incorrect chunk name (%s), Surface::INDC expected\n", tag.Text());
    return false;
  }
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  if (size != uint64_t{count} * 2) {
    report.Error("ERROR! - Surface::INDC incorrect length\n");
    return false;
  }
  // The list must lie in the file before anything is allocated for it.
  if (size > in.BytesLeft()) return false;
  std::vector<WORD> indices(count);
  for (WORD& index : indices)
    if (!in.U16(index)) return false;

  // An index past the mesh's vertices would be drawn from beyond its vertex buffer.
  if (CMesh* mesh = surface->GetParentMeshObject()) {
    const UINT vertices = mesh->GetNumberOfVertices();
    for (WORD index : indices)
      if (index >= vertices) {
        LogError(__LINE__, "ERROR! - Surface::INDC, Index %u Past The %u Vertices: %s, %s\n",
                 static_cast<unsigned>(index), vertices, MeshName(surface), surface->GetName());
        return false;
      }
  }
  // An empty list has no buffer; the surface logs a buffer that cannot be made.
  return count == 0 || surface->SetIndices(count, indices.data()) != 0;
}

bool CZKOSurfaceExporter::ReadSHDR(CSurface* surface, CChunkReader& in,
                                   const ChunkReport& report) {
  CZKShaderChunk::Loaded shader;
  if (!CZKShaderChunk::Read(in, shader, report,
                            "ERROR! - Surface::SHDR Incorrect Size Of NAME: %s, %s\n",
                            "ERROR! - Not Enuff shader Parameteres Entries In Surface Loader\n"))
    return false;
  if (surface->CreateShader(shader.szName, shader.Parameters, shader.dwNumberOfParameters, 1) == 0)
    LogError(__LINE__, "ERROR! - Can't Create Shader: %s\n", surface->GetShaderFileName());
  else
    surface->MarkOwnShader();
  return true;
}

bool CZKOSurfaceExporter::ReadTexture(CSurface* surface, const TextureChunk& chunk,
                                      CChunkReader& in, const ChunkReport& report) {
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  const uint64_t start = in.Position();
  SurfaceTexture& record = *surface->NewTextureRecord(chunk.slot);
  if (!ReadTextureBlock(surface, record, in, chunk.normalMap)) return false;
  if (in.Position() - start != size) {
    report.Error(chunk.incorrectSize);
    return false;
  }
  return true;
}

bool CZKOSurfaceExporter::ReadTextureBlock(CSurface* surface, SurfaceTexture& record,
                                           CChunkReader& in, UINT normalMap) {
  ChunkTag tag;
  if (!in.Tag(tag)) return false;
  if (tag.Is("TANI")) {
    if (!ReadAnimation(surface, record, in, normalMap, tag)) return false;
  } else {
    record.dwSourceKind = 0;
    std::string name, alpha;
    UINT chunks = 0;
    if (!ReadNames(in, tag, name, alpha, chunks)) return false;
    record.pTextureImage = CreateTexture(surface, name, alpha, normalMap);
    if (record.pTextureImage == nullptr) return false;
  }
  if (!ReadFlags(record, in, tag)) return false;
  record.mtxMatrix.SetIdentity();
  return true;
}

bool CZKOSurfaceExporter::ReadAnimation(CSurface* surface, SurfaceTexture& record,
                                        CChunkReader& in, UINT normalMap, ChunkTag& tag) {
  uint32_t size = 0, sequence = 0, first = 0, limit = 0, frames = 0;
  if (!in.U32(size) || !in.U32(sequence) || !in.U32(first) || !in.U32(limit) ||
      !in.U32(frames))
    return false;
  record.dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
  record.dwSequenceParameter = sequence;
  record.lFirstFrame = static_cast<LONG>(first);
  record.lFrameLimit = static_cast<LONG>(limit);
  // Every frame takes at least one name chunk: a count the file cannot hold is a failed read,
  // found before anything is allocated for it.
  if (uint64_t{frames} * kNameChunk > in.BytesLeft()) return false;
  record.pFrames = new (std::nothrow) CTextureInterface*[frames]();  // the file's count
  if (record.pFrames == nullptr) {
    LogError(__LINE__, "ERROR! - Can't Allocate Memory For Surface Texture: %s, %s\n",
             MeshName(surface), surface->GetName());
    return false;
  }
  record.dwNumberOfFrames = frames;
  int64_t left = int64_t{size} - kAnimationHeader;
  if (!in.Tag(tag)) return false;
  for (uint32_t i = 0; i < frames; ++i) {
    std::string name, alpha;
    UINT chunks = 0;
    if (!ReadNames(in, tag, name, alpha, chunks)) return false;
    left -= int64_t{chunks} * kNameChunk;
    record.pFrames[i] = CreateTexture(surface, name, alpha, normalMap);
    if (record.pFrames[i] == nullptr) return false;
  }
  if (left != 0)
    FatalErrorWithTitle("Error When Loading ZKO", "Length Mismatch When Loading Animated Texture");
  // The first frame shows until the surface's frame update picks one.
  record.pTextureImage = frames > 0 ? record.pFrames[0] : nullptr;
  return true;
}

bool CZKOSurfaceExporter::ReadNames(CChunkReader& in, ChunkTag& tag, std::string& name,
                                    std::string& alpha, UINT& chunks) {
  chunks = 0;
  if (!tag.Is("TNAM")) {
    LogError(__LINE__, "ERROR! - Inocorrect Chunk (%s), TNAM expected\n", tag.Text());
    return false;
  }
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  if (size != kTextField) {
    LogError(__LINE__, "ERROR! - SurfaceTexture::TNAM incorrect length\n");
    return false;
  }
  if (!ReadText(in, name) || !in.Tag(tag)) return false;
  ++chunks;
  if (!tag.Is("TALP")) return true;
  if (!in.U32(size)) return false;
  if (size != kTextField) {
    LogError(__LINE__, "ERROR! - SurfaceTexture::TALP incorrect length\n");
    return false;
  }
  if (!ReadText(in, alpha) || !in.Tag(tag)) return false;
  ++chunks;
  return true;
}

bool CZKOSurfaceExporter::ReadFlags(SurfaceTexture& record, CChunkReader& in, ChunkTag& tag) {
  struct FlagChunk {
    const char* tag;
    const char* expected;
    const char* incorrectSize;
  };
  static constexpr FlagChunk kFlags[] = {
      {"TFLG", "ERROR! - Inocorrect Chunk (%s), TFLG expected\n",
       "ERROR! - SurfaceTexture::TFLG incorrect length\n"},
      {"TOPC", "ERROR! - Inocorrect Chunk (%s), TOPC expected\n",
       "ERROR! - SurfaceTexture::TOPC incorrect length\n"},
      {"TOPF", "ERROR! - Inocorrect Chunk (%s), TOPF expected\n",
       "ERROR! - SurfaceTexture::TOPF incorrect length\n"},
  };
  uint32_t values[3] = {};
  for (UINT i = 0; i < 3; ++i) {
    // The tag after the last value belongs to whoever reads on.
    if (i > 0 && !in.Tag(tag)) return false;
    if (!tag.Is(kFlags[i].tag)) {
      LogError(__LINE__, kFlags[i].expected, tag.Text());
      return false;
    }
    uint32_t size = 0;
    if (!in.U32(size)) return false;
    if (size != 4) {
      LogError(__LINE__, "%s", kFlags[i].incorrectSize);
      return false;
    }
    if (!in.U32(values[i])) return false;
  }
  record.wFlags = static_cast<WORD>(values[0]);
  record.wOpacity = static_cast<WORD>(values[1]);
  std::memcpy(&record.fOpacityValue, &values[2], sizeof record.fOpacityValue);
  return true;
}

bool CZKOSurfaceExporter::ReadMaterialTexture(CSurface* surface,
                                              const MaterialTextureChunk& chunk,
                                              CChunkReader& in, const ChunkReport& report) {
  SurfaceTexture& record = *surface->NewTextureRecord(chunk.slot);
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  const uint64_t start = in.Position();
  ChunkTag tag;
  if (!in.Tag(tag)) return false;
  // The channels stand in their order; one that is missing has no image.
  std::string names[4];
  for (UINT i = 0; i < 4; ++i) {
    if (!tag.Is(chunk.channelTags[i])) continue;
    uint32_t nameSize = 0;
    if (!in.U32(nameSize)) return false;
    if (nameSize != kTextField) {
      if (chunk.channelIncorrectSize[i] != nullptr) report.Error(chunk.channelIncorrectSize[i]);
      return false;
    }
    if (!ReadText(in, names[i]) || !in.Tag(tag)) return false;
  }
  if (!ReadFlags(record, in, tag)) return false;
  record.mtxMatrix.SetIdentity();
  if (in.Position() - start != size) {
    LogError(__LINE__, "ERROR! - SurfaceTexture::TMAT incorrect length\n");
    return false;
  }

  std::string paths[4];
  const char* files[4];
  for (UINT i = 0; i < 4; ++i) {
    paths[i] = TexturePath(surface, names[i]);
    files[i] = NonEmpty(paths[i].c_str());
  }
  record.pTextureImage = nullptr;
  CTextureStorageInterface* storage = TextureStorage();
  if (storage != nullptr) {
    if (chunk.slot == CSurface::SLOT_MATERIAL1) {
      MaterialTexture1 recipe{files[0],     files[1],     files[2],     files[3],
                              kFullChannel, kFullChannel, kFullChannel, kFullChannel};
      record.pTextureImage = storage->CreateTexture(&recipe);
    } else {
      MaterialTexture2 recipe{files[0],     files[1],     files[2],     files[3],
                              kFullChannel, kFullChannel, kFullChannel, kFullChannel};
      record.pTextureImage = storage->CreateTexture(&recipe);
    }
  }
  if (record.pTextureImage == nullptr) {
    LogError(__LINE__, "ERROR! - SurfaceTexture::TMAT, Can't Create Material Texture\n");
    return false;
  }
  return true;
}

CTextureStorageInterface* CZKOSurfaceExporter::TextureStorage() const {
  return m_pRenderer != nullptr ? m_pRenderer->GetTextureStorageInterface() : nullptr;
}

std::string CZKOSurfaceExporter::TexturePath(CSurface* surface, const std::string& name) const {
  if (name.empty()) return {};
  const char* prefix = m_szTextureDirectory;
  if (prefix[0] == '\0') {
    CMesh* mesh = surface->GetParentMeshObject();
    CSceneInterface* scene = mesh != nullptr ? mesh->GetScene(0) : nullptr;
    const char* directory = scene != nullptr ? scene->GetDirectory() : nullptr;
    prefix = directory != nullptr ? directory : "";
  }
  return std::string(prefix) + "Textures\\" + name;
}

CTextureInterface* CZKOSurfaceExporter::CreateTexture(CSurface* surface, const std::string& name,
                                                      const std::string& alpha, UINT normalMap) {
  const std::string namePath = TexturePath(surface, name);
  const std::string alphaPath = TexturePath(surface, alpha);
  CTextureStorageInterface* storage = TextureStorage();
  CTextureInterface* texture = nullptr;
  if (alphaPath.empty()) {
    if (storage != nullptr) texture = storage->CreateTexture(namePath.c_str(), normalMap);
    if (texture == nullptr) LogError(__LINE__, "ERROR! - Can't Create Texture (%s)\n", namePath.c_str());
    return texture;
  }
  // Without a first image the bank makes a texture of the alpha image alone.
  if (storage != nullptr)
    texture = storage->CreateTexture(NonEmpty(namePath.c_str()), alphaPath.c_str(), normalMap);
  if (texture == nullptr)
    LogError(__LINE__, "ERROR! - Can't Create Texture (%s, %s)\n", namePath.c_str(),
             alphaPath.c_str());
  return texture;
}
