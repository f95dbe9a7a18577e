#pragma once
// Reads the BLOK sub-chunks of a surface: image-map texture layers, each driving one material
// channel with its image (a still or an image sequence), its mapping and its opacity, and for
// UV mapping the values of a UV map, loaded from the file's VMAP and VMAD chunks into the
// points. Only IMAP blocks are read; other blocks, and layers of channels the engine has no
// use for, are skipped whole. A surface takes at most two colour layers, one for each UV slot
// of the points.
#include <string_view>

#include "lightwave/LWOReaderState.h"
#include "scene/LWORecords.h"
#include "scene/LWOSurface.h"

class LWOTextureBlockReader {
 public:
  LWOTextureBlockReader(LWOReaderState& state, LWOSurface& surface)
      : m_state(state), m_surface(surface) {}

  // Reads the block after the BLOK identifier and length, inside its region. Returns 1; every
  // failure is fatal.
  UINT ReadTextureBlock();

  // Loads the entries of the UV map `name` (lower case) into `slot` of the points: per point
  // from the consecutive VMAP chunks after the first one, per polygon from the consecutive VMAD
  // chunks after the first one. 1 when a map of that name was found, else 0; the file position
  // is left as it was.
  UINT LoadUVMapValues(UINT slot, const char* name);
  UINT LoadPolygonUVValues(UINT slot, const char* name);

 private:
  // The sub-chunks of a colour layer (on the next colour channel and slot) or of another layer.
  UINT ReadColorTextureLayer();
  UINT ReadChannelTextureLayer(UINT channel);
  // The layer's sub-chunks up to the block's end.
  void ReadLayerSubChunks(UINT imageChannel, UINT mappingChannel, bool mapping, bool colorLayer);
  // One texture sub-chunk; `mapping` false skips everything but the image.
  void ReadTextureSubChunk(UINT id, UINT imageChannel, UINT mappingChannel, bool mapping,
                           bool colorLayer);
  void ReadTextureMap(LWOSurfaceChannel& target);
  void ReadLayerOpacity(LWOSurfaceChannel& target);
  // Three floats, or one, and an envelope index filling the sub-chunk exactly.
  void ReadVectorField(UINT id, CVector3& value);
  void ReadFloatField(UINT id, float& value);
  void ReadImage(UINT channel, bool colorLayer);
  void MakeFrameNames(LWOSurfaceChannel& target, const LWOClip& clip, UINT channel);
  void ReadUVMap(LWOSurfaceChannel& target, UINT slot);
  // Walks the consecutive chunks of `kind` from `first` and loads the one named `name`.
  UINT LoadUVValues(UINT first, UINT kind, UINT slot, const char* name);
  WORD ReadWord(UINT id);

  LWOReaderState& m_state;
  LWOSurface& m_surface;
};
