#pragma once
// The plain records of an imported object that the import buffer holds in its tables: tags,
// points with their texture coordinates, triangles, image clips, UV map names and weight maps.
// Fields marked "processing" are written by the object processing after the file is read.
#include <memory>
#include <vector>

#include "scene/ImportName.h"
#include "ZKDXMath.h"
#include "ZKDXRecords.h"

struct LWOSurface;

constexpr UINT LWO_MAX_UV_ENTRIES = 32;  // per point and coordinate slot
constexpr UINT LWO_UV_SLOTS = 2;         // first and second colour texture

// One string of the TAGS chunk.
struct LWOTag {
  ImportName name;
  WORD isSurface;     // 1 once a SURF chunk of this name was accepted
  WORD surfaceIndex;  // that surface's index in the buffer's surfaces
  UINT usedByPolygons;
};

struct LWOUVEntry {
  float u, v;
  UINT polygon;     // polygon of a per-polygon entry, else 0
  UINT perPolygon;  // 1 per-polygon (VMAD), 0 per-point (VMAP)
  UINT uvMap;       // index in the buffer's uvMapNames, or a projected map's identifier
};

// A texture coordinate of a point after the first of its slot. A point's record holds only the
// first, which is all the mesh takes, so that the passes over the points stay in the cache;
// the later ones (VMAD and VMAP entries of other maps and polygons, and the pairs the
// processing projects for each face that uses the point) are kept here, by the point's file
// index, which every later step carries over.
struct LWOOverflowUVEntry {
  UINT point;  // the point's `index`
  UINT slot;
  LWOUVEntry entry;
};

// One point of the PNTS chunk; all zero before it is read.
struct LWOPoint {
  CVector3 position;
  CVector3 normal;    // processing
  CVector3 tangent;   // processing
  CVector3 binormal;  // processing
  // Each slot's first entry (zero when it has none), and its count of entries, the first
  // included; the count stops at LWO_MAX_UV_ENTRIES.
  LWOUVEntry uv[LWO_UV_SLOTS];
  WORD uvCount[LWO_UV_SLOTS];
  BYTE reserved[36];   // copied with the record, never interpreted
  WORD cornerCount;    // processing
  WORD index16;        // the point's own index
  INT smoothingGroup;  // processing
  UINT index;          // the point's index in the file; bone weights name it
  UINT weightCount;    // processing
  UINT used;           // processing
};

// One triangle, in file order; all zero until the polygons are read. The corner, edge and
// surface pointers are the processing's links into the buffer.
struct LWOFace {
  WORD v[3];
  WORD tag;  // index in tags; the processing turns it into a surface index
  LWOPoint* corner[3];
  CVector3 normal;
  WORD edgeIndex[3];
  WORD visited;
  UINT smoothingGroup;
  CVector3 vectors[2];
  Edge* edge[3];
  LWOSurface* surfaceRecord;
};

// One CLIP chunk: a still image or an image sequence.
struct LWOClip {
  UINT index;         // what IMAG, TIMG and RIMG refer to
  ImportName name;    // still: the image path; sequence: the path prefix
  ImportName suffix;  // sequence file-name suffix
  UINT isSequence;
  signed char digits;  // digits of the frame number
  signed char flags;
  UINT offset;
  UINT first;
  UINT last;
};

struct LWOUVMapName {
  ImportName name;
  UINT reserved;  // 0
};

struct LWOWeightEntry {
  UINT point;  // the point's index in the file
  float weight;
};

struct LWOWeightMap {
  ImportName name;
  UINT count;
  std::unique_ptr<LWOWeightEntry[]> entries;  // count of them
};
