#pragma once
// The readers of animated values that every block of a LightWave scene file shares: an envelope
// block ("{ Envelope" ... "}") becomes the keys of a keyed channel, a motion block fills the
// nine channels of a motion, a PivotRotation line turns a motion's rotation keys, and an item
// identifier (ParentItem, TargetItem) gives an item kind and index. Every fault is fatal
// ("Error While Loading LWS6"): nothing is half read.
#include "ZKDXMath.h"
#include "windef.h"

class CChannelEnvelope;
struct ImportEnvelope;
class CMotion;
class LWSLineReader;

// The fields of one "Key" line: value, time in frames, span type and six span parameters
// (tension, continuity, bias and three more).
struct LWSKey {
  float value = 0.0f;
  float time = 0.0f;
  UINT shape = 0;
  float params[6] = {};
};

class LWSEnvelopeReader {
 public:
  // Key times in the file are seconds; `framesPerSecond` (the scene's rate, read at each key)
  // turns them into frames.
  LWSEnvelopeReader(LWSLineReader& file, const float& framesPerSecond)
      : m_file(file), m_framesPerSecond(framesPerSecond) {}

  // Reads the envelope block that follows the current line into `channel`, replacing its keys.
  // Keys must come in strictly increasing time; a count line of 0 is read as 1. Leaves the
  // closing line marked so that it never ends the caller's block. Returns 1.
  UINT ReadEnvelope(CChannelEnvelope& channel);
  // Reads a motion block, from the line after its name up to the empty line that ends it.
  // `owner` names the owner in a fault ("Can't Get Channel %lu Motion In %s"); null names none.
  // Returns 1.
  UINT ReadMotion(CMotion& motion, const char* owner);
  // An animated or constant value: the envelope block that follows when `enveloped`, else the
  // number at `constant`.
  void ReadValue(ImportEnvelope& target, bool enveloped, const char* constant);
  // The same, enveloped when `field` (the field after the key) begins with "(envelope)".
  void ReadValue(ImportEnvelope& target, const char* field);

  // Reads `line` into `key` when "Key" stands at its third character (1); otherwise leaves the
  // key zero and returns 0.
  static UINT ReadEnvelopeKey(const char* line, float framesPerSecond, LWSKey& key);
  // The heading, pitch and bank of a PivotRotation line (degrees) in radians, each also added to
  // every key read so far of the motion's heading, pitch and bank channel.
  static CVector3 ReadPivotRotation(const char* line, CMotion& motion);
  // An eight-character item identifier: the kind is the first digit, the index the next seven
  // hexadecimal digits. The bone form has three index digits. A kind that is no digit reads as
  // 0; the index ends at the first character that is no hexadecimal digit.
  static void ParseItemID(const char* text, UINT& kind, UINT& index);
  static void ParseBoneItemID(const char* text, UINT& kind, UINT& index);

 private:
  [[noreturn]] void Malformed() const;

  LWSLineReader& m_file;
  const float& m_framesPerSecond;
};
