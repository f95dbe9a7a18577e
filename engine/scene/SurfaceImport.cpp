#include "scene/SurfaceImport.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "scene/Envelope.h"
#include "scene/Mesh.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/LWOImportBuffer.h"

namespace {

constexpr const char* kSource = "CSurface_cons";
constexpr const char* kUpdateTitle = "Error While Updating Surface";
constexpr const char* kLoadFailure = "Can't Load Texture: %s - %s\n";
constexpr UINT kNoChannel = ~0u;
constexpr BYTE kAbsentChannel = 255;
// A sequence range longer than this is taken as damaged data rather than loaded.
constexpr UINT kMaxSequenceFrames = 65536;

// Flag word bits the construction sets.
enum : WORD {
  FLAG_ADDITIVE = 0x0002,
  FLAG_DOUBLE_SIDED = 0x0004,
  FLAG_INVISIBLE = 0x0008,
  FLAG_REFLECTIVE = 0x0010,
  FLAG_REFRACTIVE = 0x0020,
  FLAG_SPECULAR = 0x0040,
};
// wFlags of a colour 0 record whose texture carries an alpha image.
constexpr WORD kTextureHasAlpha = 0x0004;

// Shading word that selects smooth shading.
constexpr WORD kSmoothShading = 1;
constexpr UINT kShadeSmooth = 2;
constexpr UINT kShadeFlat = 1;

// Each animated material channel: where its envelope comes from, its log name and the name
// of its allocation failure. Listed in the order the log describes them; the three colour
// components share one line.
struct EnvelopeSource {
  UINT channel;
  UINT imported;
  UINT component;
  const char* logName;
  const char* allocationFailure;
};

constexpr EnvelopeSource kEnvelopes[] = {
    {CSurface::CHANNEL_COLOR_RED, LWO_CHANNEL_COLOR, 0, "Color",
     "Can't Allocate Memory For EnvColorR: %s\n"},
    {CSurface::CHANNEL_COLOR_GREEN, LWO_CHANNEL_COLOR, 1, "Color",
     "Can't Allocate Memory For EnvColorG: %s\n"},
    {CSurface::CHANNEL_COLOR_BLUE, LWO_CHANNEL_COLOR, 2, "Color",
     "Can't Allocate Memory For EnvColorB: %s\n"},
    {CSurface::CHANNEL_DIFFUSE, LWO_CHANNEL_DIFFUSE, 0, "Diffuse",
     "Can't Allocate Memory For EnvDiffuse: %s\n"},
    {CSurface::CHANNEL_LUMINOSITY, LWO_CHANNEL_LUMINOSITY, 0, "Luminosity",
     "Can't Allocate Memory For EnvLuminosity: %s\n"},
    {CSurface::CHANNEL_REFLECTION, LWO_CHANNEL_REFLECTION, 0, "Reflection",
     "Can't Allocate Memory For EnvReflection: %s\n"},
    {CSurface::CHANNEL_REFRACTION, LWO_CHANNEL_REFRACTION, 0, "Refraction",
     "Can't Allocate Memory For EnvRefraction: %s\n"},
    {CSurface::CHANNEL_SPECULAR_GLOSSINESS, LWO_CHANNEL_SPECULAR, 0, "Specular Glossiness",
     "Can't Allocate Memory For EnvSpecularGloss: %s\n"},
    {CSurface::CHANNEL_SPECULAR_EXPONENT, LWO_CHANNEL_GLOSSINESS, 0, "Specular Exponent",
     "Can't Allocate Memory For EnvSpecularExponent: %s\n"},
    {CSurface::CHANNEL_TRANSLUCENCY, LWO_CHANNEL_TRANSLUCENCY, 0, "Translucency",
     "Can't Allocate Memory For EnvTranslucency: %s\n"},
    {CSurface::CHANNEL_TRANSPARENCY, LWO_CHANNEL_TRANSPARENCY, 0, "Transparency",
     "Can't Allocate Memory For EnvTransparency: %s\n"},
};

// The imported channel of each of the four images a material texture packs, and the wFlags
// bit that says the image is there. The import names no Fresnel exponent image.
struct PackedImage {
  UINT imported;
  WORD bit;
};

constexpr PackedImage kMaterial1Images[4] = {{LWO_CHANNEL_DIFFUSE, 0x0008},
                                             {LWO_CHANNEL_SPECULAR, 0x0002},
                                             {LWO_CHANNEL_GLOSSINESS, 0x0001},
                                             {LWO_CHANNEL_REFLECTION, 0x0020}};
constexpr PackedImage kMaterial2Images[4] = {{LWO_CHANNEL_TRANSLUCENCY, 0x0080},
                                             {kNoChannel, 0},
                                             {LWO_CHANNEL_REFRACTION, 0x0010},
                                             {LWO_CHANNEL_LUMINOSITY, 0x0040}};

const char* NameOrNull(const char* name) {
  return name != nullptr && name[0] != '\0' ? name : nullptr;
}

// The name of frame `frame` of a channel's sequence: frames outside the channel's own range
// show its first or last image; a still channel shows its image at every frame.
const char* NameAtFrame(const LWOSurfaceChannel& channel, uint64_t frame) {
  if (!channel.HasSequence()) return NameOrNull(channel.image);
  const uint64_t first = channel.firstFrame;
  const uint64_t index =
      frame > first ? std::min<uint64_t>(frame - first, channel.frameCount - 1) : 0;
  return NameOrNull(channel.GetFrameName(static_cast<UINT>(index)));
}

}  // namespace

CSurfaceImport::CSurfaceImport(CSurface& surface, const LWOSurface& imported,
                               const char* objectName)
    : m_Surface(surface), m_Imported(imported), m_szObjectName(objectName ? objectName : "") {}

void CSurfaceImport::Fail(const char* format, ...) const {
  char text[kMaxErrorText];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  FatalErrorWithTitle(kUpdateTitle, "%s", text);
}

const LWOSurfaceChannel& CSurfaceImport::Channel(UINT index) const {
  return m_Imported.channel[index];
}

float CSurfaceImport::Opacity() const { return Channel(LWO_CHANNEL_TRANSPARENCY).value[0]; }

bool CSurfaceImport::HasEnvelopes() const {
  return std::any_of(std::begin(kEnvelopes), std::end(kEnvelopes), [this](const auto& source) {
    return Channel(source.imported).envelope[source.component].isEnvelope == 1;
  });
}

bool CSurfaceImport::HasColorImage() const { return Channel(LWO_CHANNEL_COLOR).HasImage(); }

bool CSurfaceImport::HasAlpha() const {
  return HasColorImage() && Channel(LWO_CHANNEL_TRANSPARENCY).HasImage();
}

bool CSurfaceImport::UsesMaterialTextures() const {
  CMesh* mesh = m_Surface.m_pParentMesh;
  CSceneInterface* scene = mesh != nullptr ? mesh->GetOwnerScene() : nullptr;
  const UINT model = scene != nullptr ? scene->GetLightingModel() : 0;
  return model == 2 || model == 3;
}

void CSurfaceImport::Build() {
  CSurface& surface = m_Surface;
  surface.SetName(m_Imported.name);
  surface.m_dwShadeType = m_Imported.smoothing == kSmoothShading ? kShadeSmooth : kShadeFlat;
  CopyIndices();
  std::copy(std::begin(Channel(LWO_CHANNEL_COLOR).value),
            std::end(Channel(LWO_CHANNEL_COLOR).value), surface.m_fColor);
  surface.m_fClipValue = m_Imported.alpha;
  surface.m_dwHasEnvelopes = HasEnvelopes() ? 1 : 0;
  BuildMaterial();
  LogMaterial();
  if (HasColorImage()) BuildColor0();
  if (Channel(LWO_CHANNEL_SECOND_COLOR).image[0] != '\0') BuildColor1();
  if (UsesMaterialTextures()) {
    BuildMaterialTexture(CSurface::SLOT_MATERIAL1);
    BuildMaterialTexture(CSurface::SLOT_MATERIAL2);
    if (Channel(LWO_CHANNEL_BUMP).image[0] != '\0') BuildNormal();
  }
  SetFlags();
  if (surface.m_dwHasEnvelopes != 0) BuildEnvelopes();
}

void CSurfaceImport::CopyIndices() {
  CSurface& surface = m_Surface;
  const UINT count = std::min<UINT>(m_Imported.indexCountCopy, LWOSurface::kMaxIndices);
  try {
    surface.m_Indices.assign(m_Imported.indices, m_Imported.indices + count);
  } catch (const std::bad_alloc&) {
    FatalErrorWithTitle(kUpdateTitle, "Can't Allocate Memory For Indices - %s, %s", m_szObjectName,
                        surface.m_szName);
  }
  if (!surface.RecreateIndexBuffer(m_szObjectName))
    FatalErrorWithTitle("Error While Creating Index Buffer", "Can't Create - %s, %s",
                        m_szObjectName, surface.m_szName);
}

void CSurfaceImport::BuildMaterial() {
  const float* color = Channel(LWO_CHANNEL_COLOR).value;
  const float* diffuse = Channel(LWO_CHANNEL_DIFFUSE).value;
  const float* specular = Channel(LWO_CHANNEL_SPECULAR).value;
  const float* luminosity = Channel(LWO_CHANNEL_LUMINOSITY).value;
  float exponent = Channel(LWO_CHANNEL_GLOSSINESS).value[0];
  float diffuseLevel = diffuse[0];
  float specularValue = specular[0];
  const float opacity = Opacity();

  CSurface::MaterialBlocks blocks{};
  blocks.specular = {specular[0], specular[1], specular[2], exponent};
  blocks.emissive = {luminosity[0], luminosity[1], luminosity[2], 1.0f};
  if (!HasColorImage()) {
    blocks.diffuse = {diffuse[0] * color[0], diffuse[1] * color[1], diffuse[2] * color[2], opacity};
  } else if (opacity == 1.0f || (m_Imported.flags & LWO_SURFACE_ADDITIVE) != 0) {
    // The image is the colour, shown as it is: full diffuse, no highlight.
    diffuseLevel = 1.0f;
    specularValue = exponent = 0.0f;
    blocks.diffuse = {1.0f, 1.0f, 1.0f, opacity};
    blocks.specular = {0.0f, 0.0f, 0.0f, 0.0f};
  } else {
    blocks.diffuse = {diffuse[0], diffuse[1], diffuse[2], opacity};
  }
  blocks.additional1 = {diffuseLevel, specularValue, exponent,
                        Channel(LWO_CHANNEL_REFLECTION).value[0]};
  blocks.additional2 = {Channel(LWO_CHANNEL_TRANSLUCENCY).value[0], 0.0f,
                        Channel(LWO_CHANNEL_REFRACTION).value[0], luminosity[0]};
  m_Surface.m_pMaterial = m_Surface.MakeMaterial(blocks);
  if (m_Surface.m_pMaterial == nullptr) Fail("Can't Create Material: %s\n", m_Surface.m_szName);
}

void CSurfaceImport::LogMaterial() const {
  const CSurface& surface = m_Surface;
  const D3DMATERIAL9& block = *surface.m_pMaterial->GetD3DMaterial();
  const CVector4& additional1 = *surface.m_pMaterial->GetAdditionalMaterial1();
  const CVector4& additional2 = *surface.m_pMaterial->GetAdditionalMaterial2();
  if (surface.m_dwHasEnvelopes != 0)
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo,
          "  - Definig New ENVELOPED Material For: %s at %s:\n", surface.m_szName, m_szObjectName);
  else
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo,
          "  - Definig New Material For: %s at %s:\n", surface.m_szName, m_szObjectName);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Diffuse: %f, %f, %f, %f\n",
        block.Diffuse.r, block.Diffuse.g, block.Diffuse.b, block.Diffuse.a);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Specular: %f, %f, %f\n",
        block.Specular.r, block.Specular.g, block.Specular.b);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Exp: %f\n", additional1.z);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Glossiness: %f\n", additional1.y);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Refraction: %f\n", additional2.z);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Reflection: %f\n", additional1.w);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Transparency: %f\n",
        1.0f - block.Diffuse.a);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Luminosity: %f\n", additional2.w);
  LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "    - Translucency: %f\n",
        additional2.x);
}

SurfaceTexture& CSurfaceImport::NewRecord(CSurface::Slot slot, const char* allocationFailure) {
  return *m_Surface.NewTextureRecord(slot, allocationFailure);
}

CTextureInterface* CSurfaceImport::LoadTexture(const char* image, const char* alpha,
                                               UINT normalMap) {
  CTextureStorageInterface* storage = m_Surface.TextureStorage();
  CTextureInterface* texture = nullptr;
  if (storage != nullptr && image != nullptr)
    texture = alpha != nullptr ? storage->CreateTexture(image, alpha, normalMap)
                               : storage->CreateTexture(image, normalMap);
  if (texture != nullptr) return texture;
  if (alpha != nullptr)
    Fail("Can't Load Texture: %s - %s - %s\n", m_Surface.m_szName, image ? image : "", alpha);
  Fail(kLoadFailure, m_Surface.m_szName, image ? image : "");
}

void CSurfaceImport::BuildColor0() {
  SurfaceTexture& record =
      NewRecord(CSurface::SLOT_COLOR0, "Can't Allocate Memory For Color0 Texture: %s\n");
  const LWOSurfaceChannel& color = Channel(LWO_CHANNEL_COLOR);
  if (color.HasSequence()) {
    BuildColor0Sequence(record);
  } else {
    const char* alpha = NameAtFrame(Channel(LWO_CHANNEL_TRANSPARENCY), 0);
    record.pTextureImage = LoadTexture(color.image, alpha, 0);
    if (alpha != nullptr) record.wFlags |= kTextureHasAlpha;
  }
  record.wOpacity = color.blendOp;
}

void CSurfaceImport::BuildColor0Sequence(SurfaceTexture& record) {
  const LWOSurfaceChannel& color = Channel(LWO_CHANNEL_COLOR);
  const LWOSurfaceChannel& alpha = Channel(LWO_CHANNEL_TRANSPARENCY);
  UINT first = color.firstFrame, last = color.lastFrame;
  // An alpha sequence widens the range to cover both.
  if (alpha.HasSequence()) {
    first = std::min(first, alpha.firstFrame);
    last = std::max(last, alpha.lastFrame);
  }
  const uint64_t count = static_cast<uint64_t>(last) - first + 1;
  if (last < first || count > kMaxSequenceFrames)
    Fail("Image Sequence Of %s Runs From Frame %u To %u\n", m_Surface.m_szName, first, last);
  record.pFrames = new (std::nothrow) CTextureInterface*[count]();  // the import's count
  if (record.pFrames == nullptr)
    Fail("Can't Allocate Memory For Color0 Texture: %s\n", m_Surface.m_szName);
  record.dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
  record.lFirstFrame = static_cast<LONG>(first);
  record.lFrameLimit = static_cast<LONG>(last);
  record.dwSequenceParameter = static_cast<DWORD>(color.sequenceFlags);
  bool withAlpha = false;
  for (uint64_t i = 0; i < count; ++i) {
    const char* alphaName = NameAtFrame(alpha, first + i);
    withAlpha = withAlpha || alphaName != nullptr;
    record.pFrames[i] = LoadTexture(NameAtFrame(color, first + i), alphaName, 0);
    // Counted as they load, so that what is there is given back with the record.
    record.dwNumberOfFrames = static_cast<DWORD>(i + 1);
  }
  record.pTextureImage = record.pFrames[0];
  if (withAlpha) record.wFlags |= kTextureHasAlpha;
}

void CSurfaceImport::BuildColor1() {
  const LWOSurfaceChannel& second = Channel(LWO_CHANNEL_SECOND_COLOR);
  SurfaceTexture& record =
      NewRecord(CSurface::SLOT_COLOR1, "Can't Allocate Memory For Color1 Texture: %s\n");
  record.pTextureImage = LoadTexture(second.image, nullptr, 0);
  record.wOpacity = second.blendOp;
  record.fOpacityValue = second.opacity;
}

void CSurfaceImport::BuildMaterialTexture(CSurface::Slot slot) {
  const PackedImage* images =
      slot == CSurface::SLOT_MATERIAL1 ? kMaterial1Images : kMaterial2Images;
  const char* names[4] = {};
  BYTE values[4];
  WORD bits = 0;
  for (UINT i = 0; i < 4; ++i) {
    if (images[i].imported != kNoChannel) names[i] = NameOrNull(Channel(images[i].imported).image);
    values[i] = names[i] != nullptr ? 0 : kAbsentChannel;
    if (names[i] != nullptr) bits |= images[i].bit;
  }
  if (bits == 0) return;
  CTextureStorageInterface* storage = m_Surface.TextureStorage();
  CTextureInterface* texture = nullptr;
  if (storage != nullptr && slot == CSurface::SLOT_MATERIAL1) {
    MaterialTexture1 recipe{names[0],  names[1],  names[2],  names[3],
                            values[0], values[1], values[2], values[3]};
    texture = storage->CreateTexture(&recipe);
  } else if (storage != nullptr) {
    MaterialTexture2 recipe{names[0],  names[1],  names[2],  names[3],
                            values[0], values[1], values[2], values[3]};
    texture = storage->CreateTexture(&recipe);
  }
  if (texture == nullptr) Fail("Can't Create Material Texture: %s\n", m_Surface.m_szName);
  SurfaceTexture& record = NewRecord(slot, "Can't Allocate Memory For Material Texture: %s\n");
  record.pTextureImage = texture;
  record.fOpacityValue = 1.0f;
  record.wOpacity = 1;
  record.wFlags = bits;
}

void CSurfaceImport::BuildNormal() {
  SurfaceTexture& record =
      NewRecord(CSurface::SLOT_NORMAL, "Can't Allocate Memory For Bump Texture: %s\n");
  record.pTextureImage = LoadTexture(Channel(LWO_CHANNEL_BUMP).image, nullptr, 1);
  record.wOpacity = 1;
  record.fOpacityValue = 1.0f;
}

void CSurfaceImport::SetFlags() {
  CSurface& surface = m_Surface;
  const char* name = surface.m_szName;
  const float opacity = Opacity();
  const bool alpha = HasAlpha();
  // Without an alpha image there is nothing to test against.
  if (surface.m_fClipValue != 1.0f && !alpha) surface.m_fClipValue = 1.0f;
  if ((opacity < 1.0f || alpha) && surface.m_fClipValue == 1.0f) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s is Transparent\n", name);
    surface.m_wFlags |= SURFACE_FLAG_TRANSPARENT;
  } else if (surface.m_fClipValue != 1.0f) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo,
          "  - %s is Opaque With Alpha Test: %f\n", name, surface.m_fClipValue);
  } else {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s is Opaque\n", name);
  }
  if (opacity == 0.0f) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s is Invisible\n", name);
    surface.m_wFlags |= FLAG_INVISIBLE;
  }
  if ((m_Imported.flags & LWO_SURFACE_DOUBLE_SIDED) != 0) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s is DoubleSided\n", name);
    surface.m_wFlags |= FLAG_DOUBLE_SIDED;
  }
  if (Channel(LWO_CHANNEL_SPECULAR).value[0] > 0.0f) surface.m_wFlags |= FLAG_SPECULAR;
  constexpr MapModes kReflection{
      CSurface::SLOT_REFLECTION, FLAG_REFLECTIVE, 0x0400, 0x0200, 0x0080, 0x0100, "Reflection"};
  constexpr MapModes kRefraction{
      CSurface::SLOT_REFRACTION, FLAG_REFRACTIVE, 0x4000, 0x2000, 0x0800, 0x1000, "Refraction"};
  SetMapMode(kReflection, LWO_CHANNEL_REFLECTION);
  SetMapMode(kRefraction, LWO_CHANNEL_REFRACTION);
  if ((m_Imported.flags & LWO_SURFACE_ADDITIVE) != 0) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s is Additive\n", name);
    surface.m_wFlags |= FLAG_ADDITIVE;
  }
}

void CSurfaceImport::SetMapMode(const MapModes& modes, UINT channel) {
  const LWOSurfaceChannel& source = Channel(channel);
  const float value = source.value[0];
  // The refraction channel holds an index of refraction, 1 when light passes straight through
  // (every surface's default); only another index bends anything.
  const bool active =
      channel == LWO_CHANNEL_REFRACTION ? value > 0.0f && value != 1.0f : value > 0.0f;
  if (!active) return;
  CSurface& surface = m_Surface;
  const char* name = surface.m_szName;
  surface.m_wFlags |= modes.reflective;
  const WORD mode = source.mapFlags;
  WORD still = 0;
  if ((mode & LWO_MAP_SPHERICAL_GENERATED) != 0) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo,
          "  - %s Has %s Spherical Map Generated\n", name, modes.kind);
    surface.m_wFlags |= modes.sphericalGenerated;
  } else if ((mode & LWO_MAP_CUBE_GENERATED) != 0) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s Has %s Cube Map Generated\n",
          name, modes.kind);
    surface.m_wFlags |= modes.cubeGenerated;
  } else if (source.envImage[0] == '\0') {
    return;
  } else if ((mode & LWO_MAP_STILL_CUBE) != 0) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s Has %s Still Cube Map\n", name,
          modes.kind);
    still = modes.stillCube;
  } else if ((mode & LWO_MAP_STILL_SPHERICAL) != 0) {
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s Has %s Still Spherical Map\n",
          name, modes.kind);
    still = modes.stillSpherical;
  }
  if (still == 0) return;
  surface.m_wFlags |= still;
  SurfaceTexture& record = NewRecord(modes.slot, "Can't Allocate Memory For Map Texture: %s\n");
  record.pTextureImage = LoadTexture(source.envImage, nullptr, 0);
  record.wOpacity = 1;
  record.fOpacityValue = 1.0f;
}

void CSurfaceImport::BuildEnvelopes() {
  CSurface& surface = m_Surface;
  bool colorLogged = false;
  for (const EnvelopeSource& source : kEnvelopes) {
    const ImportEnvelope& imported = Channel(source.imported).envelope[source.component];
    if (imported.isEnvelope != 1) continue;
    auto* envelope = NewNamedOrFatal<CEnvelope>(kUpdateTitle, source.allocationFailure,
                                                surface.m_szName, 1, &imported.channel,
                                                imported.value);
    surface.m_Envelopes[surface.EnvelopeSlot(source.channel)].reset(envelope);
    const bool color = source.imported == LWO_CHANNEL_COLOR;
    if (color && colorLogged) continue;
    colorLogged = colorLogged || color;
    LogTo(m_Surface.m_pLog, kSource, CEngineLog::kLevelInfo, "  - %s has Envelope for %s\n",
          surface.m_szName, source.logName);
  }
}
