#pragma once
// One material channel of an imported surface: its base value with an envelope per
// component, the image (or image sequence) of its texture layer and the layer's mapping.
#include <memory>

#include "scene/ImportEnvelope.h"
#include "scene/ImportName.h"
#include "ZKDXMath.h"

// Bits of mapFlags. The reflection and refraction channels keep their map mode in the four
// bits from 0x80 to 0x400; the layer's axis and wrap modes use the low bits.
enum : WORD {
  LWO_MAP_AXIS_X = 0x0001,
  LWO_MAP_AXIS_Y = 0x0002,
  LWO_MAP_AXIS_Z = 0x0004,
  LWO_MAP_WRAP_WIDTH_REPEAT = 0x0008,
  LWO_MAP_WRAP_HEIGHT_REPEAT = 0x0010,
  LWO_MAP_WRAP_WIDTH_MIRROR = 0x0020,
  LWO_MAP_WRAP_HEIGHT_MIRROR = 0x0040,
  LWO_MAP_STILL_SPHERICAL = 0x0080,
  LWO_MAP_SPHERICAL_GENERATED = 0x0100,
  LWO_MAP_STILL_CUBE = 0x0200,
  LWO_MAP_CUBE_GENERATED = 0x0400,
  LWO_MAP_MODE_BITS = 0x0780,
};

// projection when the layer names none.
constexpr WORD LWO_NO_PROJECTION = 0xFFFF;

struct LWOSurfaceChannel {
  ImportName image = {};                 // still image of the texture layer
  ImportName envImage = {};              // reflection or refraction map image
  std::unique_ptr<ImportName[]> frames;  // file names of an image sequence, frameCount of them
  UINT isSequence = 0;
  UINT frameCount = 0;
  UINT firstFrame = 0;
  UINT frameOffset = 0;
  UINT lastFrame = 0;
  INT sequenceFlags = 0;
  float value[3] = {};  // scalar channels repeat their value three times
  ImportEnvelope envelope[3];
  WORD mapFlags = 0;
  INT uvMap = 0;
  CVector3 size;
  CVector3 center;
  CVector3 rotation;
  float opacity = 0.0f;
  WORD blendOp = 0;
  WORD projection = 0;
  float wrapWidth = 0.0f;
  float wrapHeight = 0.0f;

  LWOSurfaceChannel() = default;
  LWOSurfaceChannel(const LWOSurfaceChannel&) = delete;
  LWOSurfaceChannel& operator=(const LWOSurfaceChannel&) = delete;

  // Everything zero: names, numbers, envelopes; the frame names are freed.
  void Reset();
  // What every channel of a new surface starts with: cube map generated (0x400), no
  // projection, wrap amounts 1.
  void SetDefaults();
  // The same value in all three components.
  void SetValue(float scalar);
  // Room for `count` empty frame names (the old ones are freed); false, with no frames, when
  // the memory cannot be had.
  bool AllocateFrames(UINT count);
  // The name of frame `index` of the sequence, or null past the frames.
  const char* GetFrameName(UINT index) const;
  // A still image, or a sequence with frames.
  bool HasImage() const;
  bool HasSequence() const;
};
