#include "lightwave/LWOSurfaceReader.h"

#include <cmath>
#include <string_view>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "lightwave/LWOChunkHelpers.h"
#include "lightwave/LWOEnvelopeReader.h"
#include "lightwave/LWOTextureBlockReader.h"
#include "scene/LWOImportBuffer.h"

namespace {

// The name is read into a buffer of this size.
constexpr size_t kSurfaceNameBuffer = 128;
// ADTR above this turns on additive transparency.
constexpr float kAdditiveThreshold = 0.001f;
constexpr WORD kDoubleSided = 3;

// TROP and RFOP options: each picks one map mode of the channel.
WORD MapModeOfOption(WORD option) {
  switch (option) {
    case 0: return LWO_MAP_STILL_CUBE;
    case 1: return LWO_MAP_CUBE_GENERATED;
    case 2: return LWO_MAP_STILL_SPHERICAL;
    case 3: return LWO_MAP_SPHERICAL_GENERATED;
    default: return 0;
  }
}

}  // namespace

UINT LWOSurfaceReader::ReadSurface() {
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  UINT length = 0;
  LWOStream::Region chunk;
  std::string_view name;
  if (!file.ReadU4(length) || !file.Enter(length, chunk) || !file.ReadS0(name)) LWOFileCorrupt();
  ImportName surfaceName;
  CopyLWOName(surfaceName, name, "SURF Name", buffer.fileName, kSurfaceNameBuffer);

  // Only a tag that polygons use becomes a surface.
  LWOTag* tag = nullptr;
  for (UINT i = 0; i < buffer.tagCount && tag == nullptr; ++i)
    if (buffer.tags[i].usedByPolygons == 1 && name == buffer.tags[i].name) tag = &buffer.tags[i];
  if (tag == nullptr) {
    file.Leave(chunk);
    return 1;
  }
  UINT index = 0;
  for (UINT i = 0; i < buffer.tagCount; ++i) index += buffer.tags[i].isSurface == 1 ? 1 : 0;
  if (index >= LWOImportBuffer::kMaxSurfaces)
    FatalErrorWithTitle("ERROR!!!",
                        "It's pretty obvious in most of game industry comapnies, that one UV and "
                        "material per object is usually enuff, so %i is a bit too much\n",
                        int(index));
  tag->isSurface = 1;
  tag->surfaceIndex = static_cast<WORD>(index);
  LWOSurface& surface = buffer.surfaces[index];
  CopyName(surface.name, surfaceName);
  ++buffer.surfaceCount;
  std::string_view source;
  if (!file.ReadS0(source)) LWOFileCorrupt();
  surface.SetDefaults();

  while (file.Left() > 0) {
    UINT id = 0;
    WORD subLength = 0;
    LWOStream::Region sub;
    if (!file.ReadID4(id) || !file.ReadU2(subLength) || !file.Enter(subLength, sub))
      LWOFileCorrupt();
    switch (id) {
      case LWOID("COLR"): ReadValue(surface, id, LWO_CHANNEL_COLOR, 3); break;
      case LWOID("SPEC"): ReadScalar(surface, id, LWO_CHANNEL_SPECULAR, true); break;
      case LWOID("DIFF"): ReadScalar(surface, id, LWO_CHANNEL_DIFFUSE, true); break;
      case LWOID("TRAN"):
        ReadScalar(surface, id, LWO_CHANNEL_TRANSPARENCY, true);
        // Held as opacity; the envelope keeps the file's transparency.
        surface.channel[LWO_CHANNEL_TRANSPARENCY].SetValue(
            1.0f - surface.channel[LWO_CHANNEL_TRANSPARENCY].value[0]);
        break;
      case LWOID("REFL"): ReadScalar(surface, id, LWO_CHANNEL_REFLECTION, true); break;
      case LWOID("RIND"): ReadScalar(surface, id, LWO_CHANNEL_REFRACTION, true); break;
      case LWOID("BUMP"): ReadScalar(surface, id, LWO_CHANNEL_BUMP, false); break;
      case LWOID("LUMI"): ReadScalar(surface, id, LWO_CHANNEL_LUMINOSITY, false); break;
      case LWOID("TRNL"): ReadScalar(surface, id, LWO_CHANNEL_TRANSLUCENCY, false); break;
      case LWOID("GLOS"): ReadScalar(surface, id, LWO_CHANNEL_GLOSSINESS, true); break;
      case LWOID("ADTR"): {
        float value = 0.0f;
        UINT envelope = 0;
        if (!file.ReadF4(value) || !file.ReadVX(envelope) || file.Left() != 0) LengthMismatch(id);
        if (value > kAdditiveThreshold) surface.flags |= LWO_SURFACE_ADDITIVE;
        break;
      }
      case LWOID("SIDE"):
        if (ReadWordField(id) == kDoubleSided) surface.flags |= LWO_SURFACE_DOUBLE_SIDED;
        break;
      case LWOID("BLOK"): LWOTextureBlockReader(m_state, surface).ReadTextureBlock(); break;
      case LWOID("SMAN"): {
        const float angle = ReadFloatField(id);
        surface.smoothingAngle = std::fabs(angle);
        surface.smoothing = angle == 0.0f ? 0 : 1;
        break;
      }
      case LWOID("TROP"):
      case LWOID("RFOP"): {
        WORD& flags = surface.channel[id == LWOID("TROP") ? LWO_CHANNEL_REFRACTION
                                                           : LWO_CHANNEL_REFLECTION]
                          .mapFlags;
        flags = static_cast<WORD>((flags & ~LWO_MAP_MODE_BITS) | MapModeOfOption(ReadWordField(id)));
        break;
      }
      case LWOID("TIMG"):
        ReadEnvironmentImage(surface.channel[LWO_CHANNEL_REFRACTION], id,
                             "REFRACTION Image may not be animated");
        break;
      case LWOID("RIMG"):
        ReadEnvironmentImage(surface.channel[LWO_CHANNEL_REFLECTION], id,
                             "Reflection Image May Not Be Animated");
        break;
      case LWOID("ALPH"): {
        const WORD mode = ReadWordField(id);
        const float value = ReadFloatField(id);
        surface.alpha = mode == 1 ? value : 1.0f;
        break;
      }
      default:
        LogTo(GetEngineContext()->pLog, kLwoSource, CEngineLog::kLevelInfo,
              "SURF: Unknown Chunk: %s\n", LWOIDText(id).text);
    }
    file.Leave(sub);
  }
  file.Leave(chunk);
  return 1;
}

void LWOSurfaceReader::ReadValue(LWOSurface& surface, UINT id, UINT channel, UINT envelopes) {
  LWOStream& file = m_state.file;
  LWOSurfaceChannel& target = surface.channel[channel];
  float value[3] = {};
  const UINT count = envelopes == 3 ? 3 : 1;
  for (UINT i = 0; i < count; ++i)
    if (!file.ReadF4(value[i])) LengthMismatch(id);
  UINT envelope = 0;
  if (!file.ReadVX(envelope) || file.Left() != 0) LengthMismatch(id);
  if (count == 3) {
    for (UINT i = 0; i < 3; ++i) target.value[i] = surface.channel[LWO_CHANNEL_SECOND_COLOR].value[i] = value[i];
  } else {
    target.SetValue(value[0]);
  }
  if (envelope == 0) return;
  for (UINT i = 0; i < envelopes; ++i) LoadEnvelope(target.envelope[i], envelope + i);
}

void LWOSurfaceReader::ReadScalar(LWOSurface& surface, UINT id, UINT channel, bool loadEnvelope) {
  ReadValue(surface, id, channel, loadEnvelope ? 1 : 0);
}

void LWOSurfaceReader::LoadEnvelope(ImportEnvelope& envelope, UINT index) {
  if (LWOEnvelopeReader(m_state).ReadEnvelopeByIndex(envelope, index) == 0) envelope.isEnvelope = 0;
}

WORD LWOSurfaceReader::ReadWordField(UINT id) {
  WORD value = 0;
  if (!m_state.file.ReadU2(value)) LengthMismatch(id);
  return value;
}

float LWOSurfaceReader::ReadFloatField(UINT id) {
  float value = 0.0f;
  if (!m_state.file.ReadF4(value)) LengthMismatch(id);
  return value;
}

UINT LWOSurfaceReader::ReadIndexField(UINT id) {
  UINT value = 0;
  if (!m_state.file.ReadVX(value)) LengthMismatch(id);
  return value;
}

void LWOSurfaceReader::ReadEnvironmentImage(LWOSurfaceChannel& channel, UINT id,
                                            const char* animated) {
  const LWOClip* clip = m_state.Buffer().FindClip(ReadIndexField(id));
  if (clip == nullptr) return;
  if (clip->isSequence != 0) FatalErrorWithTitle("Error When Loading LWO", "%s", animated);
  CopyName(channel.envImage, clip->name);
}

void LWOSurfaceReader::LengthMismatch(UINT id) const {
  FatalErrorWithTitle(kLwoTitle, "%s Length Mismatch", LWOIDText(id).text);
}
