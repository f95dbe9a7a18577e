#pragma once
// One static sound of the game's OpenAL output: a whole block of PCM in one buffer, attached to
// one source. Kept by value inside its owner.
#include <cstdint>

// The only sample format the game plays: 16-bit stereo.
constexpr int32_t kOpenALFormatStereo16 = 0x1103;

struct OpenALStream {
  uint32_t source;
  uint32_t buffer;
  // 0: the record was never filled and holds no stream.
  int32_t format;
};
static_assert(sizeof(OpenALStream) == 12);
