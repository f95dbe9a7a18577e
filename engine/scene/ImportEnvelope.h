#pragma once
// The import's value-or-envelope record: a constant, and a keyed channel that replaces it when
// isEnvelope is 1. Shared by the object import buffer and the scene reader's records.
#include "scene/ChannelEnvelope.h"

struct ImportEnvelope {
  float value = 0.0f;
  UINT isEnvelope = 0;
  CChannelEnvelope channel;

  ImportEnvelope() = default;
  ImportEnvelope(const ImportEnvelope&) = delete;
  ImportEnvelope& operator=(const ImportEnvelope&) = delete;

  // Constant 0, not an envelope, the channel emptied (no keys, behaviours as constructed).
  void Reset();
};
