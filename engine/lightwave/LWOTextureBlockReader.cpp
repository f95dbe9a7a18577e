#include "lightwave/LWOTextureBlockReader.h"

#include <cstring>
#include <string>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "lightwave/LWOChunkHelpers.h"
#include "lightwave/LWOReader.h"
#include "scene/LWOImportBuffer.h"

namespace {

constexpr const char* kSequenceTitle = "Error When Loading LWO";
// Frame names are 256-character fields, allocated before they are made.
constexpr long long kMaxFrames = 65536;

// The material channel a texture layer drives, by the layer's channel identifier; COLR is the
// colour layer, whose channel is the surface's next colour channel.
constexpr UINT kColorLayer = 0xFFFFFFFE;
constexpr UINT kUnknownChannel = 0xFFFFFFFF;

UINT ChannelOfLayer(UINT id) {
  switch (id) {
    case LWOID("COLR"): return kColorLayer;
    case LWOID("SPEC"): return LWO_CHANNEL_SPECULAR;
    case LWOID("GLOS"): return LWO_CHANNEL_GLOSSINESS;
    case LWOID("DIFF"): return LWO_CHANNEL_DIFFUSE;
    case LWOID("RIND"): return LWO_CHANNEL_REFRACTION;
    case LWOID("REFL"): return LWO_CHANNEL_REFLECTION;
    case LWOID("TRAN"): return LWO_CHANNEL_TRANSPARENCY;
    case LWOID("BUMP"): return LWO_CHANNEL_BUMP;
    case LWOID("LUMI"): return LWO_CHANNEL_LUMINOSITY;
    case LWOID("TRNL"): return LWO_CHANNEL_TRANSLUCENCY;
    default: return kUnknownChannel;
  }
}

// Layer opacity types as texture blend operations.
WORD BlendOpOfOpacity(WORD type) {
  switch (type) {
    case 0: return 7;  // normal: add
    case 1: return 10;  // subtractive: subtract
    case 3: return 4;  // multiply: modulate
    case 7: return 7;  // additive: add
    default: return 1;  // disable
  }
}

UINT DecimalDigits(long long value) {
  UINT digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

[[noreturn]] void LengthMismatch(UINT id) {
  FatalErrorWithTitle(kLwoTitle, "%s Length Mismatch", LWOIDText(id).text);
}

[[noreturn]] void NotZeroAfterReading(UINT id) {
  FatalErrorWithTitle(kLwoMeshTitle, "After Reading Length Of %s Sub Chunk Is Not Equal To ZERO",
                      LWOIDText(id).text);
}

}  // namespace

UINT LWOTextureBlockReader::ReadTextureBlock() {
  LWOStream& file = m_state.file;
  UINT type = 0;
  if (!file.ReadID4(type)) LWOFileCorrupt();
  if (type != LWOID("IMAP")) return 1;
  WORD headerLength = 0;
  BYTE ordinal[2] = {};
  UINT first = 0;
  if (!file.ReadU2(headerLength) || !file.ReadU1(ordinal[0]) || !file.ReadU1(ordinal[1]) ||
      !file.ReadID4(first))
    LWOFileCorrupt();
  if (first != LWOID("CHAN")) return 1;
  WORD length = 0;
  LWOStream::Region chan;
  UINT channelId = 0;
  if (!file.ReadU2(length) || !file.Enter(length, chan) || !file.ReadID4(channelId))
    LWOFileCorrupt();
  file.Leave(chan);
  const UINT channel = ChannelOfLayer(channelId);
  if (channel == kColorLayer) return ReadColorTextureLayer();
  if (channel != kUnknownChannel) return ReadChannelTextureLayer(channel);
  return 1;
}

UINT LWOTextureBlockReader::ReadColorTextureLayer() {
  const UINT channel = m_surface.colorTextureCount;
  // Points have two coordinate slots, and the channel after the second colour is specular.
  if (channel >= LWO_UV_SLOTS) {
    LogTo(GetEngineContext()->pLog, kLwoSource, CEngineLog::kLevelError,
          "WARNING!!! More Than Two Color Texture Layers, Layer Skipped: %s (%s)\n",
          m_surface.name, m_state.Buffer().fileName);
    return 1;
  }
  ++m_surface.colorTextureCount;
  ReadLayerSubChunks(channel, channel, true, true);
  return 1;
}

UINT LWOTextureBlockReader::ReadChannelTextureLayer(UINT channel) {
  // Only the surface's first texture layer sets the mapping of the first colour channel.
  const bool mapping = m_surface.colorTextureCount == 0;
  if (mapping) m_surface.colorTextureCount = 1;
  ReadLayerSubChunks(channel, LWO_CHANNEL_COLOR, mapping, false);
  return 1;
}

void LWOTextureBlockReader::ReadLayerSubChunks(UINT imageChannel, UINT mappingChannel,
                                               bool mapping, bool colorLayer) {
  LWOStream& file = m_state.file;
  while (file.Left() > 0) {
    UINT id = 0;
    WORD length = 0;
    LWOStream::Region sub;
    if (!file.ReadID4(id) || !file.ReadU2(length) || !file.Enter(length, sub)) LWOFileCorrupt();
    ReadTextureSubChunk(id, imageChannel, mappingChannel, mapping, colorLayer);
    file.Leave(sub);
  }
}

void LWOTextureBlockReader::ReadTextureSubChunk(UINT id, UINT imageChannel, UINT mappingChannel,
                                                bool mapping, bool colorLayer) {
  if (id == LWOID("IMAG")) {
    ReadImage(imageChannel, colorLayer);
    return;
  }
  if (!mapping) return;
  LWOSurfaceChannel& target = m_surface.channel[mappingChannel];
  switch (id) {
    case LWOID("PROJ"): target.projection = ReadWord(id); break;
    case LWOID("TMAP"): ReadTextureMap(target); break;
    case LWOID("AXIS"): {
      const WORD axis = ReadWord(id);
      if (axis <= 2) target.mapFlags |= WORD(LWO_MAP_AXIS_X << axis);
      break;
    }
    case LWOID("WRAP"): {
      const WORD width = ReadWord(id);
      const WORD height = ReadWord(id);
      target.mapFlags |= width == 3 ? LWO_MAP_WRAP_WIDTH_MIRROR : LWO_MAP_WRAP_WIDTH_REPEAT;
      target.mapFlags |= height == 3 ? LWO_MAP_WRAP_HEIGHT_MIRROR : LWO_MAP_WRAP_HEIGHT_REPEAT;
      break;
    }
    case LWOID("WRPW"): ReadFloatField(id, target.wrapWidth); break;
    case LWOID("WRPH"): ReadFloatField(id, target.wrapHeight); break;
    case LWOID("OPAC"): ReadLayerOpacity(target); break;
    case LWOID("VMAP"): ReadUVMap(target, mappingChannel); break;
    default: break;  // skipped by its length
  }
}

void LWOTextureBlockReader::ReadTextureMap(LWOSurfaceChannel& target) {
  LWOStream& file = m_state.file;
  while (file.Left() > 0) {
    UINT id = 0;
    WORD length = 0;
    LWOStream::Region sub;
    if (!file.ReadID4(id) || !file.ReadU2(length) || !file.Enter(length, sub)) LWOFileCorrupt();
    switch (id) {
      case LWOID("CNTR"): ReadVectorField(id, target.center); break;
      case LWOID("SIZE"): ReadVectorField(id, target.size); break;
      case LWOID("ROTA"): ReadVectorField(id, target.rotation); break;
      default: break;
    }
    file.Leave(sub);
  }
}

void LWOTextureBlockReader::ReadVectorField(UINT id, CVector3& value) {
  LWOStream& file = m_state.file;
  CVector3 read;
  UINT envelope = 0;
  if (!file.ReadF4(read.x) || !file.ReadF4(read.y) || !file.ReadF4(read.z) ||
      !file.ReadVX(envelope) || file.Left() != 0)
    NotZeroAfterReading(id);
  value = read;
}

void LWOTextureBlockReader::ReadFloatField(UINT id, float& value) {
  LWOStream& file = m_state.file;
  float read = 0.0f;
  UINT envelope = 0;
  if (!file.ReadF4(read) || !file.ReadVX(envelope) || file.Left() != 0) NotZeroAfterReading(id);
  value = read;
}

void LWOTextureBlockReader::ReadLayerOpacity(LWOSurfaceChannel& target) {
  LWOStream& file = m_state.file;
  WORD type = 0;
  float opacity = 0.0f;
  UINT envelope = 0;
  if (!file.ReadU2(type) || !file.ReadF4(opacity) || !file.ReadVX(envelope) || file.Left() != 0)
    FatalErrorWithTitle(kLwoTitle, "OPAC Length Mismatch (Layer Opacity Envelope Is Not Supported)");
  target.opacity = opacity;
  target.blendOp = BlendOpOfOpacity(type);
}

void LWOTextureBlockReader::ReadImage(UINT channel, bool colorLayer) {
  UINT index = 0;
  if (!m_state.file.ReadVX(index)) LengthMismatch(LWOID("IMAG"));
  const LWOImportBuffer& buffer = m_state.Buffer();
  LWOSurfaceChannel& target = m_surface.channel[channel];
  for (UINT c = 0; c < buffer.clipCount && c < LWOImportBuffer::kMaxClips; ++c) {
    const LWOClip& clip = buffer.clips[c];
    if (clip.index != index) continue;
    CopyName(target.image, nullptr);
    target.isSequence = clip.isSequence;
    target.sequenceFlags = clip.flags;
    target.firstFrame = clip.first;
    target.lastFrame = clip.last;
    target.frameOffset = clip.offset;
    target.AllocateFrames(0);
    if (clip.isSequence == 0) {
      CopyName(target.image, clip.name);
      continue;
    }
    if (colorLayer && channel != LWO_CHANNEL_COLOR)
      FatalErrorWithTitle(kSequenceTitle,
                          "Animated Textures Are Supported Only On First Color Texture  Or "
                          "Transparency Texture");
    if (!colorLayer && channel != LWO_CHANNEL_TRANSPARENCY)
      FatalErrorWithTitle(kSequenceTitle,
                          "Animated Textures Are Supported Only On First Color Texture Or "
                          "Transparency Texture");
    MakeFrameNames(target, clip, channel);
  }
}

void LWOTextureBlockReader::MakeFrameNames(LWOSurfaceChannel& target, const LWOClip& clip,
                                           UINT channel) {
  // The transparency channel leaves out the last frame.
  const long long count = static_cast<long long>(clip.last) - static_cast<long long>(clip.first) +
                          (channel == LWO_CHANNEL_TRANSPARENCY ? 0 : 1);
  if (count <= 0 || count > kMaxFrames)
    FatalErrorWithTitle(kSequenceTitle, "Wrong Number Of Frames In Image Sequence: %s (%lli)",
                        clip.name, count);
  // The last frame has the most digits: checked before the names are allocated.
  const long long lastNamed = static_cast<long long>(clip.first) + count - 1;
  if (static_cast<long long>(DecimalDigits(lastNamed)) > clip.digits)
    FatalErrorWithTitle(kSequenceTitle,
                        "The Number Of Frames Exceeds The Number Of Digits Describing Frames");
  if (!target.AllocateFrames(static_cast<UINT>(count)))
    FatalErrorWithTitle(kSequenceTitle, "Can't Allocate Memory For Frames: %s",
                        m_state.Buffer().fileName);
  for (UINT i = 0; i < target.frameCount; ++i) {
    const std::string number = std::to_string(static_cast<long long>(clip.first) + i);
    std::string name = clip.name;
    name.append(static_cast<size_t>(clip.digits) - number.size(), '0');
    name += number;
    name += clip.suffix;
    if (name.size() >= kImportNameLength)
      FatalErrorWithTitle("Error When Loading Animated Texture",
                          "The Length Of The File Is Too Long: %s (%i)\n", name.c_str(),
                          int(name.size()));
    CopyName(target.frames[i], name.c_str());
  }
}

void LWOTextureBlockReader::ReadUVMap(LWOSurfaceChannel& target, UINT slot) {
  std::string_view text;
  if (!m_state.file.ReadS0(text)) LengthMismatch(LWOID("VMAP"));
  LWOImportBuffer& buffer = m_state.Buffer();
  ImportName name;
  CopyLWOName(name, text, "VMAP Name", buffer.fileName);
  target.uvMap = static_cast<INT>(FindOrAddUVMap(buffer, name));
  LoadUVMapValues(slot, name);
  LoadPolygonUVValues(slot, name);
}

UINT LWOTextureBlockReader::LoadUVMapValues(UINT slot, const char* name) {
  return LoadUVValues(m_state.firstVMAP, LWOID("VMAP"), slot, name);
}

UINT LWOTextureBlockReader::LoadPolygonUVValues(UINT slot, const char* name) {
  return LoadUVValues(m_state.firstVMAD, LWOID("VMAD"), slot, name);
}

UINT LWOTextureBlockReader::LoadUVValues(UINT first, UINT kind, UINT slot, const char* name) {
  if (first == 0) return 0;
  LWOStream& file = m_state.file;
  LWOImportBuffer& buffer = m_state.Buffer();
  const bool perPolygon = kind == LWOID("VMAD");
  const LWOStream::Mark mark = file.Save();
  if (!file.Seek(first)) LWOFileCorrupt();
  UINT found = 0;
  for (;;) {
    UINT length = 0;
    UINT type = 0;
    LWOStream::Region chunk;
    if (!file.ReadU4(length) || !file.Enter(length, chunk) || !file.ReadID4(type))
      LWOFileCorrupt();
    if (type == LWOID("TXUV")) {
      WORD dimension = 0;
      if (!file.ReadU2(dimension)) LWOFileCorrupt();
      if (dimension != 2)
        FatalErrorWithTitle(kLwoMeshTitle, "Only 2D Textures Coordinates Are Supported");
      std::string_view text;
      if (!file.ReadS0(text)) LWOFileCorrupt();
      ImportName mapName;
      CopyLWOName(mapName, text, "UV Map Name", buffer.fileName);
      const UINT map = FindOrAddUVMap(buffer, mapName);
      if (std::strcmp(mapName, name) == 0) {
        while (file.Left() > 0) {
          UINT point = 0;
          UINT polygon = 0;
          LWOUVEntry entry = {};
          if (!file.ReadVX(point) || (perPolygon && !file.ReadVX(polygon)) ||
              !file.ReadF4(entry.u) || !file.ReadF4(entry.v))
            LWOFileCorrupt();
          if (point >= buffer.pointCount)
            FatalErrorWithTitle(kLwoTitle, "%s:TXUV %s Names Point %u But There Are %u Points: %s",
                                LWOIDText(kind).text, mapName, point, buffer.pointCount,
                                buffer.fileName);
          LWOPoint& target = buffer.points[point];
          const WORD count = target.uvCount[slot];
          if (count >= LWO_MAX_UV_ENTRIES)
            FatalErrorWithTitle(kLwoLoadTitle,
                                "(2) You have exceeded maximum number of UVMaps per vertex in: %s "
                                "(%i)\n",
                                buffer.fileName, int(count) + 1);
          entry.polygon = polygon;
          entry.perPolygon = perPolygon ? 1 : 0;
          entry.uvMap = map;
          buffer.AppendUVEntry(target, slot, entry);
        }
        found = 1;
        break;
      }
    }
    file.Leave(chunk);
    // Only consecutive chunks of the kind are searched.
    UINT next = 0;
    if (!file.ReadID4(next) || next != kind) break;
  }
  file.Restore(mark);
  return found;
}

WORD LWOTextureBlockReader::ReadWord(UINT id) {
  WORD value = 0;
  if (!m_state.file.ReadU2(value)) LengthMismatch(id);
  return value;
}
