#pragma once
// One imported surface of an object: its name, the eleven material channels, the surface
// options and, once the object is processed, its 16-bit triangle index list.
#include "scene/ImportName.h"
#include "scene/LWOSurfaceChannel.h"

// Positions in LWOSurface::channel.
enum : UINT {
  LWO_CHANNEL_COLOR = 0,         // first colour: COLR value, first colour layer
  LWO_CHANNEL_SECOND_COLOR = 1,  // COLR value (copy), second colour layer
  LWO_CHANNEL_SPECULAR = 2,
  LWO_CHANNEL_GLOSSINESS = 3,
  LWO_CHANNEL_DIFFUSE = 4,
  LWO_CHANNEL_REFRACTION = 5,
  LWO_CHANNEL_REFLECTION = 6,
  LWO_CHANNEL_TRANSPARENCY = 7,  // held as opacity; its envelope keeps transparency
  LWO_CHANNEL_BUMP = 8,
  LWO_CHANNEL_LUMINOSITY = 9,
  LWO_CHANNEL_TRANSLUCENCY = 10,
  LWO_CHANNEL_COUNT = 11,
};

// Bits of LWOSurface::flags.
enum : WORD {
  LWO_SURFACE_ADDITIVE = 0x0002,
  LWO_SURFACE_DOUBLE_SIDED = 0x0004,
};

struct LWOSurface {
  static constexpr UINT kMaxIndices = 65535;

  WORD indices[kMaxIndices] = {};  // zero past indexCount: Reset clears only the used ones
  ImportName name = {};
  LWOSurfaceChannel channel[LWO_CHANNEL_COUNT];
  float smoothingAngle = 0.0f;
  WORD flags = 0;
  WORD indexCount = 0;
  WORD indexCountCopy = 0;  // what surface construction reads
  WORD smoothing = 0;       // 1 smoothed (shade type 2), 0 flat
  UINT colorTextureCount = 0;
  float alpha = 0.0f;  // alpha-test value

  LWOSurface() = default;
  LWOSurface(const LWOSurface&) = delete;
  LWOSurface& operator=(const LWOSurface&) = delete;

  // Everything zero, the channels' frame names freed.
  void Reset();
  // What a surface starts with before its sub-chunks are read: smoothing on, alpha-test 1,
  // every channel reset to its defaults, opacity, refraction and diffuse 1, glossiness 0.4.
  void SetDefaults();
  UINT SetName(const char* text) { return static_cast<UINT>(CopyName(name, text)); }
  // Stores the index list and its count in both count fields; false, with nothing changed,
  // for a null list or more than kMaxIndices entries.
  bool SetIndices(const WORD* list, UINT count);
  // The texture coordinates channel `index` projects the position (x, y, z) to, for a face of
  // normal (nx, ny, nz) (which only the cubic projection reads). Writes nothing unless the
  // channel has a planar, cylindrical, spherical or cubic projection.
  void ProjectUV(UINT index, float x, float y, float z, float* u, float* v, float nx, float ny,
                 float nz) const;
};

// Axis codes of the projections.
enum : UINT { LWO_AXIS_X = 1, LWO_AXIS_Y = 2, LWO_AXIS_Z = 4 };

// The axis of the largest component of a face normal, as the cubic projection picks it.
UINT GetDominantAxis(float nx, float ny, float nz);
// The heading of the direction whose horizontal components are (a, c); b is not used.
void HeadingAngle(float a, float b, float c, float* heading);
void HeadingAndPitch(float a, float b, float c, float* heading, float* pitch);
