#include "scene/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "scene/Envelope.h"
#include "scene/Mesh.h"
#include "scene/SurfaceImport.h"
#include "scene/CountedIndexBuffer.h"
#include "d3d/SurfaceMaterial.h"
#include "scene/SurfaceProjection.h"
#include "scene/SurfaceShaderLibrary.h"
#include "d3d/SurfaceTextureImage.h"
#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "d3d/RenderingProfileInterface.h"
#include "core/FatalError.h"
#include "scene/LWOImportBuffer.h"
#include "winuser.h"

namespace {

constexpr const char* kSource = "ZK3DSurfaceProcessing";
constexpr const char* kNoShaderFile = "none";
constexpr BYTE kFullChannel = 255;
// Texture operation (CTextureInterface slot) that names an image: 0 the texture's own image,
// 1 to 4 the images packed in its channels 1 to 4 (4 is also the second image of a two-name
// texture).
constexpr UINT kOwnImage = 0;
constexpr UINT kSecondImage = 4;

CSurfaceShaderLibrary* ShaderLibrary() { return GetEngineContext()->ports.surfaceShaders.Get(); }

// The slot and the texture operation a texture kind selects.
struct KindEntry {
  UINT kind;
  CSurface::Slot slot;
  UINT operation;
};

constexpr KindEntry kKinds[] = {
    {CSurface::TEXTURE_COLOR0, CSurface::SLOT_COLOR0, kOwnImage},
    {CSurface::TEXTURE_COLOR0_SECOND, CSurface::SLOT_COLOR0, kSecondImage},
    {CSurface::TEXTURE_COLOR1, CSurface::SLOT_COLOR1, kOwnImage},
    {CSurface::TEXTURE_NORMAL, CSurface::SLOT_NORMAL, kOwnImage},
    {CSurface::TEXTURE_NORMAL_SECOND, CSurface::SLOT_NORMAL, kSecondImage},
    {CSurface::TEXTURE_MATERIAL1_RED, CSurface::SLOT_MATERIAL1, 1},
    {CSurface::TEXTURE_MATERIAL1_GREEN, CSurface::SLOT_MATERIAL1, 2},
    {CSurface::TEXTURE_MATERIAL1_BLUE, CSurface::SLOT_MATERIAL1, 3},
    {CSurface::TEXTURE_MATERIAL1_ALPHA, CSurface::SLOT_MATERIAL1, 4},
    {CSurface::TEXTURE_MATERIAL2_RED, CSurface::SLOT_MATERIAL2, 1},
    {CSurface::TEXTURE_MATERIAL2_GREEN, CSurface::SLOT_MATERIAL2, 2},
    {CSurface::TEXTURE_MATERIAL2_BLUE, CSurface::SLOT_MATERIAL2, 3},
    {CSurface::TEXTURE_MATERIAL2_ALPHA, CSurface::SLOT_MATERIAL2, 4},
    {CSurface::TEXTURE_REFLECTION, CSurface::SLOT_REFLECTION, kOwnImage},
    {CSurface::TEXTURE_REFRACTION, CSurface::SLOT_REFRACTION, kOwnImage},
};

const KindEntry* FindKind(UINT kind) {
  for (const KindEntry& entry : kKinds)
    if (entry.kind == kind) return &entry;
  return nullptr;
}

// Material channels with an envelope, in the order of the envelope slots.
constexpr UINT kEnvelopeChannels[] = {
    CSurface::CHANNEL_COLOR_RED,         CSurface::CHANNEL_COLOR_GREEN,
    CSurface::CHANNEL_COLOR_BLUE,        CSurface::CHANNEL_DIFFUSE,
    CSurface::CHANNEL_SPECULAR_GLOSSINESS, CSurface::CHANNEL_SPECULAR_EXPONENT,
    CSurface::CHANNEL_LUMINOSITY,        CSurface::CHANNEL_REFLECTION,
    CSurface::CHANNEL_REFRACTION,        CSurface::CHANNEL_TRANSPARENCY,
    CSurface::CHANNEL_TRANSLUCENCY,
};

// The image that a texture operation names, or null.
const char* ImageName(CTextureInterface* texture, UINT operation) {
  if (texture == nullptr) return nullptr;
  switch (operation) {
    case 0: return texture->GetName();
    case 1: return texture->GetFileName();
    case 2: return texture->GetGreenFileName();
    case 3: return texture->GetBlueFileName();
    case 4: return texture->GetAlphaFileName();
  }
  return nullptr;
}

// The texture a record's names are read from: the first frame of a sequence.
CTextureInterface* NamingTexture(const SurfaceTexture* record) {
  if (record == nullptr) return nullptr;
  if (record->dwSourceKind == SURFACE_TEXTURE_SEQUENCE)
    return record->pFrames != nullptr && record->dwNumberOfFrames > 0 ? record->pFrames[0]
                                                                       : nullptr;
  return record->pTextureImage;
}

std::string Text(const char* text) { return text != nullptr ? text : ""; }
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

void AddReference(CTextureInterface* texture) {
  if (auto* counted = dynamic_cast<CSurfaceTextureImage*>(texture)) counted->AddReference();
}

void GiveBack(CTextureInterface* texture) {
  if (auto* counted = dynamic_cast<CSurfaceTextureImage*>(texture)) counted->Release();
}

// Gives back the textures a record holds and forgets them; a sequence's frames array (new[])
// is freed. The current frame of a sequence is one of its frames, not a reference of its own.
void ReleaseRecordTextures(SurfaceTexture* record) {
  if (record == nullptr) return;
  if (record->pFrames != nullptr) {
    for (DWORD i = 0; i < record->dwNumberOfFrames; ++i) GiveBack(record->pFrames[i]);
    delete[] record->pFrames;
    record->pFrames = nullptr;
    record->dwNumberOfFrames = 0;
  } else {
    GiveBack(record->pTextureImage);
  }
  record->pTextureImage = nullptr;
}

// A copy of the record holding references of its own.
std::unique_ptr<SurfaceTexture> CopyRecord(const SurfaceTexture& source) {
  auto copy = std::make_unique<SurfaceTexture>(source);
  if (source.pFrames != nullptr) {
    copy->pFrames = new CTextureInterface*[source.dwNumberOfFrames];
    for (DWORD i = 0; i < source.dwNumberOfFrames; ++i) {
      copy->pFrames[i] = source.pFrames[i];
      AddReference(copy->pFrames[i]);
    }
  } else {
    AddReference(copy->pTextureImage);
  }
  return copy;
}

// A constant-or-keyed copy of any envelope: flag, value, behaviours and keys.
std::unique_ptr<CEnvelopeInterface> CopyEnvelope(CEnvelopeInterface* source) {
  auto copy = std::make_unique<CEnvelope>(source->GetIsEnvelope(), nullptr, source->GetValue());
  CChannelEnvelopeInterface* from = source->GetChannelEnvelope();
  CChannelEnvelopeInterface* to = copy->GetChannelEnvelope();
  if (from == nullptr) return copy;
  to->SetPreBehaviour(from->GetPreBehaviour());
  to->SetPostBehaviour(from->GetPostBehaviour());
  for (UINT i = 0; i < from->GetNumberOfKeys(); ++i) {
    CKeyInterface* key = from->GetKey(i);
    if (key == nullptr) continue;
    to->AddKeyData(key->GetKeyValue(), key->GetKeyTime(), key->GetShape(),
                   key->GetParamValue(KEY_PARAM_TENSION), key->GetParamValue(KEY_PARAM_TENSION + 1),
                   key->GetParamValue(KEY_PARAM_TENSION + 2), key->GetParamValue(KEY_PARAM_0),
                   key->GetParamValue(KEY_PARAM_0 + 1), key->GetParamValue(KEY_PARAM_0 + 2),
                   key->GetParamValue(KEY_PARAM_0 + 3));
  }
  return copy;
}

bool SameColor(const D3DCOLORVALUE& a, const D3DCOLORVALUE& b, bool withAlpha) {
  return a.r == b.r && a.g == b.g && a.b == b.b && (!withAlpha || a.a == b.a);
}

bool SameVector(const CVector4& a, const CVector4& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

// The frame of an image sequence shown at the time, counted from the sequence's first frame:
// wrapped into the frames when the sequence loops, else held at its first or last frame.
DWORD SequenceFrame(const SurfaceTexture& record, float time) {
  const double count = record.dwNumberOfFrames;
  double offset = std::floor(static_cast<double>(time)) - record.lFirstFrame;
  if (!std::isfinite(offset)) return offset > 0 ? record.dwNumberOfFrames - 1 : 0;
  if ((record.wFlags & SURFACE_TEXTURE_LOOP) != 0) {
    offset = std::fmod(offset, count);
    if (offset < 0) offset += count;
  }
  return static_cast<DWORD>(std::clamp(offset, 0.0, count - 1));
}

}  // namespace

CSurface::CSurface(CD3D9RendererInterface* renderer, CEngineLog* log, CMesh* mesh)
    : m_pRenderer(renderer), m_pLog(log), m_pParentMesh(mesh) {
  AddRef();
}

CSurface::CSurface(CD3D9RendererInterface* renderer, CEngineLog* log, const LWOSurface& imported,
                   const LWOImportBuffer& object, CMesh* mesh)
    : CSurface(renderer, log, mesh) {
  CSurfaceImport(*this, imported, object.fileName).Build();
}

void CSurface::Release() {
  if (m_dwReferenceCount == 0 || --m_dwReferenceCount != 0) return;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- (CSurface) Releasing %s Of %s\n", m_szName,
        ParentName());
  delete this;
}

// Everything the surface holds goes back: the index buffer, every texture record, the material
// (the material bank is small) and the envelopes.
CSurface::~CSurface() {
  ReleaseIndexBuffer();
  for (UINT slot = 0; slot < SLOT_COUNT; ++slot) EmptySlot(static_cast<Slot>(slot));
  ReleaseMaterial();
}

const char* CSurface::ParentName() const {
  return m_pParentMesh != nullptr ? m_pParentMesh->GetName() : "";
}

UINT CSurface::ParentHasDynamicBuffers() const {
  return m_pParentMesh != nullptr ? m_pParentMesh->GetHasDynamicBuffers() : 0;
}

CTextureStorageInterface* CSurface::TextureStorage() const {
  return m_pRenderer != nullptr ? m_pRenderer->GetTextureStorageInterface() : nullptr;
}

UINT CSurface::SetName(const char* name) { return static_cast<UINT>(CopyName(m_szName, name)); }

CMeshInterface* CSurface::GetParentMesh(UINT /*ignored*/) { return m_pParentMesh; }

// --- textures ---

SurfaceTexture* CSurface::GetTexture(UINT kind) {
  const KindEntry* entry = FindKind(kind);
  return entry != nullptr ? m_Textures[entry->slot].get() : nullptr;
}

const char* CSurface::GetTextureFileName(UINT kind) {
  const KindEntry* entry = FindKind(kind);
  if (entry == nullptr || entry->slot == SLOT_REFLECTION || entry->slot == SLOT_REFRACTION)
    return nullptr;
  // The normal slot's second image is set through kind 20 but named through the first.
  const UINT operation = kind == TEXTURE_NORMAL_SECOND ? kOwnImage : entry->operation;
  return ImageName(NamingTexture(m_Textures[entry->slot].get()), operation);
}

void CSurface::EmptySlot(Slot slot) {
  ReleaseRecordTextures(m_Textures[slot].get());
  m_Textures[slot].reset();
}

SurfaceTexture* CSurface::NewTextureRecord(Slot slot, const char* failure) {
  EmptySlot(slot);
  auto* record =
      NewNamedOrFatal<SurfaceTexture>("Error While Updating Surface", failure, m_szName);
  record->Clear();
  m_Textures[slot].reset(record);
  return record;
}

UINT CSurface::FillSlot(Slot slot, CTextureInterface* texture) {
  std::unique_ptr<SurfaceTexture>& record = m_Textures[slot];
  if (record == nullptr) {
    record = std::make_unique<SurfaceTexture>();
    record->Clear();
  }
  ReleaseRecordTextures(record.get());
  std::memset(static_cast<void*>(record.get()), 0, sizeof(SurfaceTexture));
  record->fOpacityValue = 1.0f;
  record->mtxMatrix.SetIdentity();
  record->wOpacity = 1;
  record->pTextureImage = texture;
  TextureStorage()->LoadAllTextures();
  return 1;
}

UINT CSurface::SetTexture(UINT kind, const char* fileName) {
  const KindEntry* entry = FindKind(kind);
  CTextureStorageInterface* storage = TextureStorage();
  if (entry == nullptr || storage == nullptr) return 0;
  const Slot slot = entry->slot;
  if (slot == SLOT_MATERIAL1 || slot == SLOT_MATERIAL2)
    return SetMaterialTexture(slot, entry->operation, fileName);

  const bool twoImages = slot == SLOT_COLOR0 || slot == SLOT_NORMAL;
  // A null name for the slot's own image empties it.
  if (fileName == nullptr && entry->operation == kOwnImage) {
    EmptySlot(slot);
    return 1;
  }
  CTextureInterface* texture = nullptr;
  if (twoImages) {
    // The other image comes from the texture in place; the names are copied before it goes.
    CTextureInterface* current = NamingTexture(m_Textures[slot].get());
    const bool second = entry->operation == kSecondImage;
    const std::string first = second ? Text(ImageName(current, kOwnImage)) : Text(fileName);
    const std::string alpha = second ? Text(fileName) : Text(ImageName(current, kSecondImage));
    // A second image alone makes no texture.
    if (first.empty()) return 0;
    const UINT normalMap = slot == SLOT_NORMAL ? 1 : 0;
    texture = alpha.empty() ? storage->CreateTexture(first.c_str(), normalMap)
                            : storage->CreateTexture(first.c_str(), alpha.c_str(), normalMap);
  } else {
    texture = storage->CreateTexture(fileName, 0);
  }
  // A texture the bank cannot make leaves the slot as it was.
  if (texture == nullptr) return 0;
  return FillSlot(slot, texture);
}

UINT CSurface::SetMaterialTexture(Slot slot, UINT channel, const char* fileName) {
  CTextureInterface* current = NamingTexture(m_Textures[slot].get());
  std::string names[4];
  for (UINT i = 0; i < 4; ++i) names[i] = Text(ImageName(current, i + 1));
  names[channel - 1] = Text(fileName);
  if (names[0].empty() && names[1].empty() && names[2].empty() && names[3].empty()) {
    EmptySlot(slot);
    return 0;
  }
  CTextureStorageInterface* storage = TextureStorage();
  CTextureInterface* texture = nullptr;
  if (slot == SLOT_MATERIAL1) {
    MaterialTexture1 recipe{OrNull(names[0]), OrNull(names[1]), OrNull(names[2]),
                            OrNull(names[3]), kFullChannel, kFullChannel, kFullChannel,
                            kFullChannel};
    texture = storage->CreateTexture(&recipe);
  } else {
    MaterialTexture2 recipe{OrNull(names[0]), OrNull(names[1]), OrNull(names[2]),
                            OrNull(names[3]), kFullChannel, kFullChannel, kFullChannel,
                            kFullChannel};
    texture = storage->CreateTexture(&recipe);
  }
  if (texture == nullptr) return 0;
  return FillSlot(slot, texture);
}

UINT CSurface::ReleaseTextures() {
  for (std::unique_ptr<SurfaceTexture>& record : m_Textures) ReleaseRecordTextures(record.get());
  return 1;
}

UINT CSurface::SaveTexturesAsDDS() {
  auto save = [](CTextureInterface* texture) {
    if (auto* counted = dynamic_cast<CSurfaceTextureImage*>(texture)) counted->SaveAsDDS();
  };
  constexpr Slot kOrder[] = {SLOT_COLOR0,     SLOT_COLOR1,     SLOT_MATERIAL1, SLOT_MATERIAL2,
                             SLOT_REFLECTION, SLOT_REFRACTION, SLOT_NORMAL};
  for (Slot slot : kOrder) {
    const SurfaceTexture* record = m_Textures[slot].get();
    if (record == nullptr) continue;
    if (record->pFrames != nullptr)
      for (DWORD i = 0; i < record->dwNumberOfFrames; ++i) save(record->pFrames[i]);
    else
      save(record->pTextureImage);
  }
  return 1;
}

// --- indices ---

void CSurface::ReleaseIndexBuffer() {
  if (auto* counted = dynamic_cast<CCountedIndexBuffer*>(m_pIndexBuffer)) counted->Release();
  m_pIndexBuffer = nullptr;
}

bool CSurface::RecreateIndexBuffer() { return RecreateIndexBuffer(ParentName()); }

bool CSurface::RecreateIndexBuffer(const char* meshName) {
  ReleaseIndexBuffer();
  if (m_Indices.empty()) return true;
  CIndexBufferStorageInterface* storage =
      m_pRenderer != nullptr ? m_pRenderer->GetIndexBufferStorageInterface() : nullptr;
  if (storage != nullptr)
    m_pIndexBuffer =
        storage->CreateIndexBuffer(meshName, m_szName, m_Indices.data(),
                                   static_cast<UINT>(m_Indices.size()), 0, ParentHasDynamicBuffers());
  return m_pIndexBuffer != nullptr;
}

UINT CSurface::SetIndices(UINT count, WORD* indices) {
  if (indices == nullptr || count == 0) {
    LogTo(
        m_pLog, kSource, CEngineLog::kLevelError,
        "WARNING!!! - CSurface::SetIndices, (%s) Can't Add Indices (NULL Pointer Or No Indices)\n",
        m_szName);
    return 0;
  }
  m_Indices.assign(indices, indices + count);
  if (ParentHasDynamicBuffers() != 0 && m_pIndexBuffer != nullptr) {
    m_pIndexBuffer->SetIndicesSource(m_Indices.data(), count);
    return 1;
  }
  if (!RecreateIndexBuffer()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR! - Can't Create Index Buffer\n");
    return 0;
  }
  return 1;
}

UINT CSurface::Merge(CSurface*& other, UINT offset) {
  if (other == nullptr || other == this) return 0;
  ReleaseIndexBuffer();
  const size_t own = m_Indices.size();
  m_Indices.insert(m_Indices.end(), other->m_Indices.begin(), other->m_Indices.end());
  other->Release();
  other = nullptr;
  for (size_t i = own; i < m_Indices.size(); ++i)
    m_Indices[i] = static_cast<WORD>(m_Indices[i] + offset);
  if (!RecreateIndexBuffer())
    FatalErrorWithTitle("Error While Creating Index Buffer", "Can't Create - %s, %s (Merged)",
                        ParentName(), m_szName);
  return 1;
}

UINT CSurface::Remap(UINT offset) {
  for (WORD& index : m_Indices) index = static_cast<WORD>(index + offset);
  if (!RecreateIndexBuffer())
    FatalErrorWithTitle("Error While Creating Index Buffer", "Can't Create - %s, %s (Remapped)",
                        ParentName(), m_szName);
  return 1;
}

// --- projections ---

UINT CSurface::ProjectTextureCoordinates(UINT projection, UINT axisBits, CVector3* centre,
                                         CVector3* size, float wrapWidth, float wrapHeight) {
  if (!CSurfaceProjection::IsKnown(projection) || centre == nullptr || size == nullptr ||
      m_pParentMesh == nullptr)
    return 0;
  const CSurfaceProjection projector(projection, axisBits, *centre, *size, wrapWidth, wrapHeight);
  const UINT vertexCount = m_pParentMesh->GetNumberOfVertices();

  // The cubic projection takes each vertex's axis from the summed normals of the faces that
  // start at it; a vertex that starts no face keeps the projection's own axis.
  std::vector<CVector3> normals;
  if (projection == CSurfaceProjection::CUBIC) {
    normals.assign(vertexCount, CVector3{0, 0, 0});
    for (UINT i = 0; i < m_pParentMesh->GetNumberOfFaces(); ++i) {
      const Face* face = m_pParentMesh->GetFace(i);
      if (face == nullptr || face->wIndex1 >= vertexCount) continue;
      CVector3& sum = normals[face->wIndex1];
      sum.x += face->vecNormal.x;
      sum.y += face->vecNormal.y;
      sum.z += face->vecNormal.z;
    }
  }

  UINT skipped = 0;
  for (WORD index : m_Indices) {
    Vertex* vertex = index < vertexCount ? m_pParentMesh->GetVertex(index) : nullptr;
    if (vertex == nullptr) {
      ++skipped;
      continue;
    }
    CSurfaceProjection::Axis axis = projector.GetAxis();
    if (projection == CSurfaceProjection::CUBIC) {
      const CVector3& sum = normals[index];
      const float length = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
      if (length > 0.0f)
        axis = CSurfaceProjection::CubicAxis({sum.x / length, sum.y / length, sum.z / length});
    }
    projector.Project(vertex->vecPosition, axis, &vertex->fTU[0], &vertex->fTV[0]);
  }
  if (skipped != 0)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - CSurface::ProjectTextureCoordinates, (%s) %u Indices Past The Vertices\n",
          m_szName, skipped);
  return 1;
}

// --- material ---

CSurface::MaterialBlocks CSurface::ReadMaterial() const {
  MaterialBlocks blocks{};
  blocks.diffuse.a = 1.0f;
  blocks.emissive.a = 1.0f;
  if (m_pMaterial == nullptr) return blocks;
  const D3DMATERIAL9* material = m_pMaterial->GetD3DMaterial();
  blocks.diffuse = material->Diffuse;
  blocks.specular = material->Specular;
  blocks.emissive = material->Emissive;
  blocks.additional1 = *m_pMaterial->GetAdditionalMaterial1();
  blocks.additional2 = *m_pMaterial->GetAdditionalMaterial2();
  return blocks;
}

void CSurface::ReleaseMaterial() {
  if (auto* counted = dynamic_cast<CSurfaceMaterial*>(m_pMaterial)) counted->Release();
  m_pMaterial = nullptr;
}

// The bank hands out a counted reference even when it answers with the material this surface
// holds already, so the old reference is always given back, after the new one is taken.
void CSurface::AdoptMaterial(CMaterialInterface* material) {
  ReleaseMaterial();
  m_pMaterial = material;
}

CMaterialInterface* CSurface::MakeMaterial(const MaterialBlocks& blocks) const {
  CMaterialStorageInterface* storage =
      m_pRenderer != nullptr ? m_pRenderer->GetMaterialStorageInterface() : nullptr;
  // The bank writes into the blocks it is given.
  MaterialBlocks request = blocks;
  return storage != nullptr
             ? storage->CreateMaterial(&request.diffuse, &request.specular, &request.emissive,
                                       &request.additional1, &request.additional2,
                                       m_dwHasEnvelopes)
             : nullptr;
}

bool CSurface::RebuildMaterial(const MaterialBlocks& blocks) {
  CMaterialInterface* material = MakeMaterial(blocks);
  if (material == nullptr) {
    ShowMessageBox(GetForegroundWindow(), 0, "Error When Creating Material",
                   "Can't Create Material");
    return false;
  }
  // The old material goes back only now, so that a failure leaves it in place.
  AdoptMaterial(material);
  return true;
}

UINT CSurface::CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                              D3DCOLORVALUE* emissive, CVector4* additional1, CVector4* additional2,
                              UINT unique) {
  CMaterialStorageInterface* storage =
      m_pRenderer != nullptr ? m_pRenderer->GetMaterialStorageInterface() : nullptr;
  CMaterialInterface* material =
      storage != nullptr && diffuse != nullptr && specular != nullptr && emissive != nullptr &&
              additional1 != nullptr && additional2 != nullptr
          ? storage->CreateMaterial(diffuse, specular, emissive, additional1, additional2, unique)
          : nullptr;
  AdoptMaterial(material);
  if (material == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR! - Can't Create Material For %s\n",
          m_szName);
    return 0;
  }
  return 1;
}

float CSurface::DiffuseLevel(const MaterialBlocks& blocks, UINT component) const {
  const float* diffuse = &blocks.diffuse.r;
  return m_fColor[component] != 0.0f ? diffuse[component] / m_fColor[component]
                                     : blocks.additional1.x;
}

float CSurface::GetMaterialValue(UINT channel) {
  if (channel >= CHANNEL_COLOR_RED && channel <= CHANNEL_COLOR_BLUE)
    return m_fColor[channel - CHANNEL_COLOR_RED];
  if (m_pMaterial == nullptr) return 0.0f;
  const MaterialBlocks blocks = ReadMaterial();
  switch (channel) {
    case CHANNEL_DIFFUSE: return blocks.diffuse.r;
    case CHANNEL_SPECULAR_GLOSSINESS: return blocks.additional1.y;
    case CHANNEL_SPECULAR_EXPONENT: return blocks.additional1.z;
    case CHANNEL_REFRACTION: return blocks.additional2.z;
    case CHANNEL_REFLECTION: return blocks.additional1.w;
    case CHANNEL_TRANSPARENCY: return blocks.diffuse.a;
    case CHANNEL_FRESNEL_EXPONENT: return blocks.additional2.y;
    case CHANNEL_LUMINOSITY: return blocks.additional2.w;
    case CHANNEL_TRANSLUCENCY: return blocks.additional2.x;
  }
  return 0.0f;
}

void CSurface::SetMaterialValue(UINT channel, float value) {
  if (GetMaterialEnvelope(channel) != nullptr) return;
  MaterialBlocks blocks = ReadMaterial();
  switch (channel) {
    case CHANNEL_DIFFUSE:
      blocks.additional1.x = value;
      for (UINT i = 0; i < 3; ++i)
        (&blocks.diffuse.r)[i] = HasColor0Texture() ? value : value * m_fColor[i];
      break;
    case CHANNEL_SPECULAR_GLOSSINESS:
      blocks.additional1.y = value;
      blocks.specular.r = blocks.specular.g = blocks.specular.b = value;
      break;
    case CHANNEL_SPECULAR_EXPONENT:
      blocks.additional1.z = value;
      blocks.specular.a = value;
      break;
    case CHANNEL_REFRACTION: blocks.additional2.z = value; break;
    case CHANNEL_REFLECTION: blocks.additional1.w = value; break;
    case CHANNEL_TRANSPARENCY: blocks.diffuse.a = value; break;
    case CHANNEL_FRESNEL_EXPONENT: blocks.additional2.y = value; break;
    case CHANNEL_LUMINOSITY:
      blocks.additional2.w = value;
      blocks.emissive.r = blocks.emissive.g = blocks.emissive.b = value;
      break;
    case CHANNEL_TRANSLUCENCY: blocks.additional2.x = value; break;
    case CHANNEL_COLOR_RED:
    case CHANNEL_COLOR_GREEN:
    case CHANNEL_COLOR_BLUE: {
      const UINT component = channel - CHANNEL_COLOR_RED;
      if (!HasColor0Texture()) {
        (&blocks.diffuse.r)[component] = DiffuseLevel(blocks, component) * value;
        if (!RebuildMaterial(blocks)) return;
      }
      m_fColor[component] = value;
      return;
    }
    default:
      return;
  }
  if (!RebuildMaterial(blocks)) return;
  if (channel == CHANNEL_TRANSPARENCY) {
    if (value >= 1.0f)
      m_wFlags &= static_cast<WORD>(~SURFACE_FLAG_TRANSPARENT);
    else
      m_wFlags |= SURFACE_FLAG_TRANSPARENT;
    if (m_pParentMesh != nullptr) m_pParentMesh->UpdateSurfaceState();
  }
}

void CSurface::SetColor(float* color) {
  if (color == nullptr) return;
  if (!HasColor0Texture()) {
    MaterialBlocks blocks = ReadMaterial();
    const float level = DiffuseLevel(blocks, 1);
    blocks.diffuse.r = level * color[0];
    blocks.diffuse.g = level * color[1];
    blocks.diffuse.b = level * color[2];
    if (!RebuildMaterial(blocks)) return;
  }
  std::memcpy(m_fColor, color, sizeof m_fColor);
}

bool CSurface::IsMaterialChannelActive(UINT channel) {
  if (GetMaterialEnvelope(channel) != nullptr) return true;
  const float value = GetMaterialValue(channel);
  switch (channel) {
    case CHANNEL_DIFFUSE:
    case CHANNEL_SPECULAR_GLOSSINESS:
    case CHANNEL_REFLECTION:
    case CHANNEL_FRESNEL_EXPONENT:
    case CHANNEL_LUMINOSITY:
    case CHANNEL_TRANSLUCENCY: return value > 0.0f;
    case CHANNEL_SPECULAR_EXPONENT: return value > 0.1f;
    case CHANNEL_REFRACTION: return value != 1.0f;
    case CHANNEL_TRANSPARENCY: return value < 1.0f;
  }
  return false;
}

UINT CSurface::CopyMaterialFrom(CSurfaceInterface* other) {
  if (other == nullptr || other == this) return 0;
  for (UINT channel = CHANNEL_DIFFUSE; channel <= CHANNEL_TRANSLUCENCY; ++channel)
    SetMaterialValue(channel, other->GetMaterialValue(channel));
  for (UINT kind = TEXTURE_COLOR0; kind <= TEXTURE_MATERIAL2_RED; ++kind)
    if (FindKind(kind) != nullptr) SetTexture(kind, other->GetTextureFileName(kind));
  if (CMaterialInterface* material = other->GetMaterial(0)) {
    D3DMATERIAL9 block = *material->GetD3DMaterial();
    CVector4 additional1 = *material->GetAdditionalMaterial1();
    CVector4 additional2 = *material->GetAdditionalMaterial2();
    CreateMaterial(&block.Diffuse, &block.Specular, &block.Emissive, &additional1, &additional2, 0);
  }
  m_wFlags = other->GetFlags();
  m_dwShadeType = other->GetShadeType();
  if (const float* color = other->GetColor()) std::memcpy(m_fColor, color, sizeof m_fColor);
  return 1;
}

// --- envelopes ---

int CSurface::EnvelopeSlot(UINT channel) const {
  for (UINT i = 0; i < kEnvelopeCount; ++i)
    if (kEnvelopeChannels[i] == channel) return static_cast<int>(i);
  return -1;
}

CEnvelopeInterface* CSurface::GetMaterialEnvelope(UINT channel) {
  const int slot = EnvelopeSlot(channel);
  return slot >= 0 ? m_Envelopes[slot].get() : nullptr;
}

void CSurface::SetMaterialEnvelope(UINT channel, CEnvelopeInterface* envelope) {
  const int slot = EnvelopeSlot(channel);
  // The envelope is ours either way; a channel that has no envelope cannot keep it.
  if (slot < 0) {
    delete envelope;
    return;
  }
  if (m_Envelopes[slot].get() != envelope) m_Envelopes[slot].reset(envelope);
}

void CSurface::UpdateMaterial(float time) {
  if (m_fAnimationTime >= 0.0f) time = m_fAnimationTime;

  SurfaceTexture* color0 = m_Textures[SLOT_COLOR0].get();
  if (color0 != nullptr && color0->dwSourceKind == SURFACE_TEXTURE_SEQUENCE &&
      color0->pFrames != nullptr && color0->dwNumberOfFrames > 0)
    color0->pTextureImage = color0->pFrames[SequenceFrame(*color0, time)];

  if (m_dwHasEnvelopes == 0 || m_pMaterial == nullptr) return;
  // An envelope counts when it is set and keyed; it is stepped to the time before it is read.
  auto counted = [this, time](UINT channel, float* value) {
    CEnvelopeInterface* envelope = GetMaterialEnvelope(channel);
    if (envelope == nullptr || envelope->GetIsEnvelope() != 1) return false;
    envelope->CalcStep(time);
    *value = envelope->GetValue();
    return true;
  };
  D3DMATERIAL9* material = m_pMaterial->GetD3DMaterial();
  CVector4* additional1 = m_pMaterial->GetAdditionalMaterial1();
  CVector4* additional2 = m_pMaterial->GetAdditionalMaterial2();
  const bool decal = color0 != nullptr && color0->wOpacity == 1;
  float* ambient = &material->Ambient.r;
  float* diffuse = &material->Diffuse.r;

  // Blue, green, red: a counted colour envelope gives the component's colour, else the
  // surface's own colour does (white under a colour 0 texture, whose image is the colour).
  // A decal's image decides its colours alone.
  float base[3];
  for (int component = 2; component >= 0; --component) {
    float v = 0.0f;
    if (counted(CHANNEL_COLOR_RED + component, &v))
      base[component] = v;
    else
      base[component] = color0 != nullptr ? 1.0f : m_fColor[component];
  }
  float v = 0.0f;
  const bool diffuseCounts = counted(CHANNEL_DIFFUSE, &v);
  if (decal) {
    if (diffuseCounts)
      for (int component = 0; component < 3; ++component)
        ambient[component] = diffuse[component] = v;
  } else {
    // Formed afresh from the colour every frame: scaling the previous frame's product again
    // would fade the colour towards black.
    if (diffuseCounts) additional1->x = v;
    for (int component = 0; component < 3; ++component)
      ambient[component] = diffuse[component] = base[component] * additional1->x;
  }
  if (counted(CHANNEL_LUMINOSITY, &v)) {
    material->Emissive.r = material->Emissive.g = material->Emissive.b = v;
    additional2->w = v;
  }
  if (counted(CHANNEL_REFLECTION, &v)) additional1->w = v;
  if (counted(CHANNEL_REFRACTION, &v)) additional2->z = v;
  if (counted(CHANNEL_SPECULAR_EXPONENT, &v)) additional1->z = material->Power = v;
  if (counted(CHANNEL_SPECULAR_GLOSSINESS, &v)) {
    material->Specular.r = material->Specular.g = material->Specular.b = v;
    additional1->y = v;
  }
  if (counted(CHANNEL_TRANSLUCENCY, &v)) additional2->x = v;
  if (counted(CHANNEL_TRANSPARENCY, &v)) material->Diffuse.a = material->Ambient.a = 1.0f - v;
}

// --- shaders ---

UINT CSurface::SetShaderFileName(const char* fileName, UINT manualShader) {
  m_dwManualShader = manualShader;
  return static_cast<UINT>(CopyName(m_szShaderFileName, fileName));
}

void CSurface::Render(const char* passName) {
  if (m_pParentMesh != nullptr) m_pParentMesh->SetCurrentSurface(this);
  if (CRenderingProfileInterface* profile = GetEngineContext()->pRenderingProfile) {
    profile->RenderSurface(this);
    return;
  }
  if (m_pShader != nullptr) {
    ShaderLibrary()->ExecuteSurfacePass(m_pShader, passName, this,
                                        m_pParentMesh != nullptr ? m_pParentMesh->GetFrame() : 0.0f);
    return;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "ERROR!!! - (CSurface::Render) Rendering Profile and Shader Are NULL\n");
}

UINT CSurface::CreateShader(const char* shaderName, ShaderParameter* parameters,
                            UINT numberOfParameters, UINT manualShader) {
  ShaderLibrary()->SetDefaultStates();
  m_pShader = nullptr;
  m_ShaderParameters.clear();
  CopyName(m_szShaderFileName, shaderName);
  // A parameter count without parameters would be read past the caller's array.
  if (parameters == nullptr) numberOfParameters = 0;
  CShader* shader = shaderName != nullptr
                        ? ShaderLibrary()->CreateShaderForSurface(shaderName, this, parameters,
                                                                  numberOfParameters)
                        : nullptr;
  if (shader == nullptr) {
    ShowMessageBox(GetForegroundWindow(), MB_ICONSTOP, "Error While Creating Shader",
                   "Can't Create Shader: %s", shaderName ? shaderName : "");
    CopyName(m_szShaderFileName, kNoShaderFile);
    return 0;
  }
  m_pShader = shader;
  m_ShaderParameters.assign(parameters, parameters + numberOfParameters);
  m_dwManualShader = manualShader;
  return 1;
}

UINT CSurface::AssignShader(SurfaceShaderChooser chooser) {
  if (m_szShaderFileName[0] != '\0' && m_dwManualShader == 1)
    m_dwUseShader = 1;
  else if (chooser != nullptr)
    m_dwUseShader = chooser(this);
  else
    m_dwUseShader =
        ShaderLibrary()->ApplyDefaultShaderForSurface(this) == 1 && m_pShader != nullptr ? 1 : 0;
  return m_dwUseShader;
}

// --- similarity and cloning ---

bool CSurface::NotSimilar(CSurface* other, const char* step) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s And %s Are Not Similar: %s\n", m_szName,
        other->m_szName, step);
  return false;
}

bool CSurface::CompareEnvelopes(CSurface* other) {
  for (UINT channel = CHANNEL_DIFFUSE; channel <= CHANNEL_TRANSLUCENCY; ++channel) {
    CEnvelopeInterface* mine = GetMaterialEnvelope(channel);
    CEnvelopeInterface* theirs = other->GetMaterialEnvelope(channel);
    if (mine == nullptr && theirs == nullptr) continue;
    if (mine == nullptr || theirs == nullptr || !CEnvelopeInterface::IsEqual(mine, theirs)) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
            "  - %s And %s Are Not Similar: Envelope - %i\n", m_szName, other->m_szName,
            static_cast<int>(channel));
      return false;
    }
  }
  return true;
}

bool CSurface::CompareMaterials(CSurface* other) {
  CMaterialInterface* mine = m_pMaterial;
  CMaterialInterface* theirs = other->m_pMaterial;
  if (mine == nullptr || theirs == nullptr) {
    // Two surfaces without materials draw alike; one without draws differently.
    return mine == theirs || NotSimilar(other, "First Additional Material Vector");
  }
  if (!SameVector(*mine->GetAdditionalMaterial1(), *theirs->GetAdditionalMaterial1()))
    return NotSimilar(other, "First Additional Material Vector");
  if (!SameVector(*mine->GetAdditionalMaterial2(), *theirs->GetAdditionalMaterial2()))
    return NotSimilar(other, "Second Additional Material Vector");
  const D3DMATERIAL9& a = *mine->GetD3DMaterial();
  const D3DMATERIAL9& b = *theirs->GetD3DMaterial();
  if (!SameColor(a.Ambient, b.Ambient, true)) return NotSimilar(other, "Ambient");
  if (!SameColor(a.Diffuse, b.Diffuse, true)) return NotSimilar(other, "Diffuse");
  if (!SameColor(a.Emissive, b.Emissive, false)) return NotSimilar(other, "Emissive");
  if (!SameColor(a.Specular, b.Specular, false) || a.Power != b.Power)
    return NotSimilar(other, "Specular");
  return true;
}

bool CSurface::IsSimilar(CSurface* other) {
  if (other == nullptr) return false;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Checking Surface Similarities...\n");
  if (m_fColor[0] != other->m_fColor[0] || m_fColor[2] != other->m_fColor[2] ||
      m_fColor[1] != other->m_fColor[1])
    return NotSimilar(other, "Color");
  if (m_dwShadeType != other->m_dwShadeType) return NotSimilar(other, "Shade Type");
  if (m_wFlags != other->m_wFlags) return NotSimilar(other, "Flags");
  if (m_pShader != other->m_pShader) return NotSimilar(other, "Shader");
  if (m_fClipValue != other->m_fClipValue) return NotSimilar(other, "Clip Value");
  if (m_dwHasEnvelopes != other->m_dwHasEnvelopes) return NotSimilar(other, "HasEnvelopes");
  if (m_dwManualShader != other->m_dwManualShader) return NotSimilar(other, "ManualShader");
  if (m_dwUseShader != other->m_dwUseShader) return NotSimilar(other, "UseShader");
  if (!CompareEnvelopes(other) || !CompareMaterials(other)) return false;
  constexpr const char* kSlotNames[SLOT_COUNT] = {
      "Decal0", "Decal1", "NormalMap", "First Material Texture", "Second Material Texture",
      "Reflection Map", "Refraction Map"};
  for (UINT slot = 0; slot < SLOT_COUNT; ++slot)
    if (!SurfaceTexture::IsEqual(m_Textures[slot].get(), other->m_Textures[slot].get()))
      return NotSimilar(other, kSlotNames[slot]);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s And %s Are Similar\n", m_szName,
        other->m_szName);
  return true;
}

CSurface* CSurface::Clone(CMesh* parent) {
  auto* clone = new CSurface(m_pRenderer, m_pLog, parent);
  clone->m_pShader = m_pShader;
  clone->m_ShaderParameters = m_ShaderParameters;
  clone->m_Indices = m_Indices;
  if (!m_Indices.empty() && m_pIndexBuffer != nullptr) {
    clone->m_pIndexBuffer = m_pIndexBuffer;
    if (auto* counted = dynamic_cast<CCountedIndexBuffer*>(m_pIndexBuffer)) counted->AddReference();
  }
  std::memcpy(clone->m_szName, m_szName, sizeof m_szName);
  std::memcpy(clone->m_szShaderFileName, m_szShaderFileName, sizeof m_szShaderFileName);
  clone->m_fClipValue = m_fClipValue;
  clone->m_dwHasEnvelopes = m_dwHasEnvelopes;
  clone->m_dwManualShader = m_dwManualShader;
  clone->m_dwUseShader = m_dwUseShader;
  for (UINT slot = 0; slot < SLOT_COUNT; ++slot)
    if (m_Textures[slot] != nullptr) clone->m_Textures[slot] = CopyRecord(*m_Textures[slot]);
  if (m_pMaterial != nullptr) {
    D3DMATERIAL9 block = *m_pMaterial->GetD3DMaterial();
    CVector4 additional1 = *m_pMaterial->GetAdditionalMaterial1();
    CVector4 additional2 = *m_pMaterial->GetAdditionalMaterial2();
    clone->CreateMaterial(&block.Diffuse, &block.Specular, &block.Emissive, &additional1,
                          &additional2, 0);
  }
  // Channels 1 to 10; the colour envelopes stay with the original.
  for (UINT channel = CHANNEL_DIFFUSE; channel <= CHANNEL_TRANSLUCENCY; ++channel)
    if (CEnvelopeInterface* envelope = GetMaterialEnvelope(channel))
      clone->m_Envelopes[EnvelopeSlot(channel)] = CopyEnvelope(envelope);
  clone->m_wFlags = m_wFlags;
  clone->m_dwShadeType = m_dwShadeType;
  std::memcpy(clone->m_fColor, m_fColor, sizeof m_fColor);
  return clone;
}
