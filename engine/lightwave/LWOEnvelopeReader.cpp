#include "lightwave/LWOEnvelopeReader.h"

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "lightwave/LWOChunkHelpers.h"
#include "scene/LWOImportBuffer.h"

namespace {

constexpr UINT kMaxSpanParameters = 4;
// KEY: time and value; SPAN: the shape and at least the parameters its shape reads.
constexpr UINT kKeyLayout = 8;
constexpr UINT kShapeLayout = 4;
constexpr UINT kTCBParameters = 3;

// PRE, KEY and TCB are matched by their first three characters.
bool Begins(UINT id, const char (&prefix)[4]) {
  return (id >> 8) ==
         (UINT(BYTE(prefix[0])) << 16 | UINT(BYTE(prefix[1])) << 8 | UINT(BYTE(prefix[2])));
}

}  // namespace

void LWOEnvelopeReader::Warn(const char* format, const char* found) {
  const char* file = m_state.Buffer().fileName;
  if (found != nullptr)
    LogTo(GetEngineContext()->pLog, kLwoSource, CEngineLog::kLevelError, format, file, found);
  else
    LogTo(GetEngineContext()->pLog, kLwoSource, CEngineLog::kLevelError, format, file);
}

UINT LWOEnvelopeReader::SizeMismatch() {
  Warn("WARNING!!! - Size Mismatch When Reading ENVL For: %s\n");
  return 0;
}

UINT LWOEnvelopeReader::ReadEnvelopeByIndex(ImportEnvelope& record, UINT index) {
  LWOStream& file = m_state.file;
  const LWOStream::Mark back = file.Save();
  UINT result = 0;
  // Without an ENVL chunk the search starts at the file's header and finds nothing.
  file.Seek(m_state.firstENVL);
  for (;;) {
    UINT id = 0, length = 0, found = 0;
    LWOStream::Region chunk;
    if (!file.ReadID4(id) || id != LWOID("ENVL")) {
      Warn("Can't Find ENVL Chunk For: %s\n");
      break;
    }
    if (!file.ReadU4(length) || !file.Enter(length, chunk) || !file.ReadVX(found)) {
      SizeMismatch();
      break;
    }
    if (found != index) {
      file.Leave(chunk);
      continue;
    }
    record.isEnvelope = 1;
    record.value = 0.0f;
    result = ReadEnvelopeKeys(record.channel);
    if (result == 0) Warn("Can't Read Envelope Motion For: %s\n");
    break;
  }
  file.Restore(back);
  return result;
}

UINT LWOEnvelopeReader::ReadEnvelopeKeys(CChannelEnvelope& channel) {
  LWOStream& file = m_state.file;
  // A second envelope read into the same channel replaces the first.
  channel.RemoveAllKeys();
  const LWOStream::Mark start = file.Save();
  UINT keyCount = 0;
  while (file.Left() > 0) {
    UINT id = 0;
    WORD length = 0;
    if (!file.ReadID4(id) || !file.ReadU2(length) || !file.Skip(length)) return SizeMismatch();
    if (Begins(id, "KEY")) ++keyCount;
  }
  file.Restore(start);

  bool keysRead = false;
  while (file.Left() > 0) {
    const LWOStream::Mark subChunk = file.Save();
    UINT id = 0;
    WORD length = 0;
    file.ReadID4(id);  // the first pass checked every header and length
    file.ReadU2(length);
    UINT behaviour = 0;
    if (Begins(id, "PRE")) {
      if (!ReadBehaviour(length, behaviour)) return SizeMismatch();
      channel.SetPreBehaviour(behaviour);
    } else if (id == LWOID("POST")) {
      if (!ReadBehaviour(length, behaviour)) return SizeMismatch();
      channel.SetPostBehaviour(behaviour);
    } else if (Begins(id, "KEY") && !keysRead) {
      // The keys and their spans come in a row from the first KEY on.
      file.Restore(subChunk);
      float lastTime = 0.0f;
      for (UINT i = 0; i < keyCount; ++i) {
        KeyData key;
        if (ReadKeyAndSpan(key) == 0) {
          Warn("WARNING!!! - Can't Read Key In ENVL For: %s\n");
          return 0;
        }
        // The channel holds one key per time in time order; a file that does not is broken.
        if (i > 0 && !(lastTime < key.time)) {
          Warn("WARNING!!! - Keys Out Of Time Order When Reading ENVL For: %s\n");
          return 0;
        }
        if (channel.AddKeyData(key.value, key.time, key.shape, key.tension, key.continuity,
                               key.bias, key.params[0], key.params[1], key.params[2],
                               key.params[3]) == 0) {
          Warn("WARNING!!! - Can't Read Key In ENVL For: %s\n");
          return 0;
        }
        lastTime = key.time;
      }
      keysRead = true;
    } else {
      file.Skip(length);
    }
  }
  return 1;
}

bool LWOEnvelopeReader::ReadBehaviour(UINT length, UINT& behaviour) {
  LWOStream& file = m_state.file;
  LWOStream::Region region;
  WORD value = 0;
  if (!file.Enter(length, region) || !file.ReadU2(value)) return false;
  file.Leave(region);
  behaviour = value;
  return true;
}

UINT LWOEnvelopeReader::ReadKeyAndSpan(KeyData& key) {
  LWOStream& file = m_state.file;
  UINT id = 0;
  WORD length = 0;
  LWOStream::Region region;
  if (!file.ReadID4(id) || !Begins(id, "KEY")) {
    Warn("WARNING!!! - A KEY Chunk Expected When Reading ENVL For: %s But Found: %s\n",
         LWOIDText(id).text);
    return 0;
  }
  if (!file.ReadU2(length) || length < kKeyLayout || !file.Enter(length, region) ||
      !file.ReadF4(key.time) || !file.ReadF4(key.value))
    return SizeMismatch();
  file.Leave(region);
  key.time *= m_state.framesPerSecond;
  return ReadSpan(key);
}

UINT LWOEnvelopeReader::ReadSpan(KeyData& key) {
  LWOStream& file = m_state.file;
  UINT id = 0;
  WORD length = 0;
  LWOStream::Region region;
  if (!file.ReadID4(id) || id != LWOID("SPAN")) {
    Warn("WARNING!!! - A SPAN Chunk Expected When Reading ENVL For: %s But Found: %s\n",
         LWOIDText(id).text);
    return 0;
  }
  UINT shape = 0;
  if (!file.ReadU2(length) || length < kShapeLayout || !file.Enter(length, region) ||
      !file.ReadID4(shape))
    return SizeMismatch();
  const UINT parameters = (length - kShapeLayout) / 4;
  if (parameters > kMaxSpanParameters) {
    Warn("WARNING!!! - Can't Read SPAN Chunk In ENVL For: %s Coz The Number Of Parameters "
         "Exceeds 4\n");
    return 0;
  }
  struct Shape {
    UINT id;
    UINT number;
  };
  static constexpr Shape kShapes[] = {{LWOID("HERM"), KEY_SHAPE_HERMITE},
                                      {LWOID("BEZI"), KEY_SHAPE_BEZIER},
                                      {LWOID("LINE"), KEY_SHAPE_LINEAR},
                                      {LWOID("STEP"), KEY_SHAPE_STEPPED},
                                      {LWOID("BEZ2"), KEY_SHAPE_BEZIER2D}};
  if (Begins(shape, "TCB")) {
    // Tension, continuity and bias, whatever the length says beyond them.
    if (parameters < kTCBParameters || !file.ReadF4(key.tension) ||
        !file.ReadF4(key.continuity) || !file.ReadF4(key.bias))
      return SizeMismatch();
    key.shape = KEY_SHAPE_TCB;
  } else {
    for (const Shape& known : kShapes) {
      if (known.id != shape) continue;
      key.shape = known.number;
      for (UINT i = 0; i < parameters; ++i) file.ReadF4(key.params[i]);
    }
  }
  file.Leave(region);
  return 1;
}
