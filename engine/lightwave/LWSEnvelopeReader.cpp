#include "lightwave/LWSEnvelopeReader.h"

#include <cmath>
#include <cstring>

#include "core/FatalError.h"
#include "lightwave/LWSFields.h"
#include "lightwave/LWSLineReader.h"
#include "scene/ChannelEnvelope.h"
#include "scene/ImportEnvelope.h"
#include "scene/Key.h"
#include "scene/Motion.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

void ParseID(const char* text, UINT digits, UINT& kind, UINT& index) {
  while (*text == ' ') ++text;
  kind = (*text >= '0' && *text <= '9') ? static_cast<UINT>(*text - '0') : 0;
  index = 0;
  if (*text == '\0') return;
  for (UINT i = 1; i <= digits; ++i) {
    const char c = text[i];
    UINT digit;
    if (c >= '0' && c <= '9') digit = static_cast<UINT>(c - '0');
    else if (c >= 'A' && c <= 'F') digit = static_cast<UINT>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f') digit = static_cast<UINT>(c - 'a' + 10);
    else return;
    index = index * 16 + digit;
  }
}

}  // namespace

void LWSEnvelopeReader::Malformed() const {
  FatalErrorWithTitle(kLwsTitle, "Unknown Envelope Format: %s\n", m_file.Line());
}

UINT LWSEnvelopeReader::ReadEnvelope(CChannelEnvelope& channel) {
  m_file.ReadLine();
  if (!m_file.Begins("{ Envelope")) Malformed();
  m_file.ReadLine();
  int count = LWSFields::ReadInt(Column(m_file.Line(), 2));
  if (count < 0) Malformed();
  if (count == 0) count = 1;

  channel.RemoveAllKeys();
  float previousTime = 0.0f;
  for (int i = 0; i < count; ++i) {
    m_file.ReadLine();
    LWSKey key;
    ReadEnvelopeKey(m_file.Line(), m_framesPerSecond, key);
    // The channel keeps its keys in strictly increasing time; a file that repeats a time or
    // goes back is damaged, not reordered.
    if (!std::isfinite(key.time) || (i > 0 && !(key.time > previousTime))) Malformed();
    if (channel.AddKeyData(key.value, key.time, key.shape, key.params[0], key.params[1],
                           key.params[2], key.params[3], key.params[4], key.params[5], 0.0f) == 0)
      Malformed();
    previousTime = key.time;
  }

  m_file.ReadLine();
  const char* behaviours = Column(m_file.Line(), 2);
  if (std::strncmp(behaviours, "Behaviors", 9) != 0)
    FatalErrorWithTitle(kLwsTitle, "Wrong File Format: Behaviors Expected: %s", m_file.Line());
  LWSFields fields(behaviours);
  channel.SetPreBehaviour(static_cast<UINT>(fields.Int()));
  channel.SetPostBehaviour(static_cast<UINT>(fields.Int()));

  m_file.ReadLine();
  if (m_file.Line()[0] != '}')
    FatalErrorWithTitle(kLwsTitle, "Wrong File Format: } for Envelope Expected: %s", m_file.Line());
  m_file.MarkEnvelopeRead();
  return 1;
}

UINT LWSEnvelopeReader::ReadEnvelopeKey(const char* line, float framesPerSecond, LWSKey& key) {
  key = LWSKey();
  const char* word = Column(line, 2);
  if (std::strncmp(word, "Key", 3) != 0) return 0;
  LWSFields fields(word);
  key.value = fields.Float();
  key.time = fields.Float() * framesPerSecond;
  key.shape = static_cast<UINT>(fields.Int());
  for (float& param : key.params) param = fields.Float();
  return 1;
}

UINT LWSEnvelopeReader::ReadMotion(CMotion& motion, const char* owner) {
  const auto fail = [owner](int channel) {
    const unsigned long number = static_cast<UINT>(channel);
    if (owner == nullptr) FatalErrorWithTitle(kLwsTitle, "Can't Get Channel %lu Motion", number);
    FatalErrorWithTitle(kLwsTitle, "Can't Get Channel %lu Motion In %s", number, owner);
  };
  while (!m_file.IsEmptyLine()) {
    m_file.ReadLine();
    if (m_file.Begins("NumChannels")) {
      const int count = LWSFields(m_file.Line()).Int();
      if (count < 0 || count > static_cast<int>(MOTION_CHANNELS)) fail(count);
      motion.SetNumberOfChannels(static_cast<UINT>(count));
    } else if (m_file.Begins("Channel")) {
      const int channel = LWSFields(m_file.Line()).Int();
      if (channel < 0 || channel >= static_cast<int>(MOTION_CHANNELS)) fail(channel);
      ReadEnvelope(*motion.GetChannel(static_cast<UINT>(channel)));
    }
  }
  return 1;
}

void LWSEnvelopeReader::ReadValue(ImportEnvelope& target, bool enveloped, const char* constant) {
  target.isEnvelope = enveloped ? 1 : 0;
  if (enveloped)
    ReadEnvelope(target.channel);
  else
    target.value = LWSFields::ReadFloat(constant);
}

void LWSEnvelopeReader::ReadValue(ImportEnvelope& target, const char* field) {
  ReadValue(target, std::strncmp(field, "(envelope)", 10) == 0, field);
}

CVector3 LWSEnvelopeReader::ReadPivotRotation(const char* line, CMotion& motion) {
  LWSFields fields(line);
  float angles[3];
  for (float& angle : angles) angle = fields.Float() * kDegreesToRadians;
  for (UINT i = 0; i < 3; ++i) {
    for (CKey* key = motion.GetChannel(MOTION_HEADING + i)->FirstKey(); key != nullptr;
         key = key->Next())
      key->AddValue(angles[i]);
  }
  return CVector3(angles[0], angles[1], angles[2]);
}

void LWSEnvelopeReader::ParseItemID(const char* text, UINT& kind, UINT& index) {
  ParseID(text, 7, kind, index);
}

void LWSEnvelopeReader::ParseBoneItemID(const char* text, UINT& kind, UINT& index) {
  ParseID(text, 3, kind, index);
}
