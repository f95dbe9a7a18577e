#pragma once
// "SURF": one surface of a mesh in its object file: its name, the envelopes of its animated
// material channels, colour, material, index list, shading type, flags, surface parameter, its
// texture slots and its own shader.
//
// Texture slots keep only base file names. On reading, each name becomes a path in a "Textures"
// folder (of the texture directory given to ReadSURF, else of the scene's directory) and the
// renderer's texture bank makes or shares the texture.
#include <cstdio>
#include <string>

#include "files/ZKExporter.h"
#include "scene/Surface.h"

class CChunkWriter;

class CZKOSurfaceExporter final : public CZKExporter {
 public:
  static constexpr UINT kTextField = 256;

  CZKOSurfaceExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOSurfaceExporter") {}

  bool WriteSURF(CSurface* surface, FILE* stream, UINT& total);
  // Called after the "SURF" tag with a surface fresh from its constructor. The texture
  // directory ends with a path separator; null or empty takes the directory of the scene that
  // owns the surface's mesh.
  bool ReadSURF(CSurface* surface, CChunkReader& in, const char* textureDirectory);

  // How each kind of sub-chunk is stored; the tables live with the code.
  struct EnvelopeChunk;
  struct TextureChunk;
  struct MaterialTextureChunk;

 private:
  bool WriteEnvelopes(CSurface* surface, CChunkWriter& out);
  bool WriteMATR(CSurface* surface, CChunkWriter& out);
  bool WriteINDN(CSurface* surface, CChunkWriter& out);
  bool WriteTextures(CSurface* surface, CChunkWriter& out);
  bool WriteTextureBlock(const SurfaceTexture& record, CChunkWriter& out);
  bool WriteMaterialTexture(const MaterialTextureChunk& chunk, const SurfaceTexture& record,
                            CChunkWriter& out);
  bool WriteSHDR(CSurface* surface, CChunkWriter& out);

  bool ReadEnvelope(CSurface* surface, const EnvelopeChunk& chunk, CChunkReader& in,
                    const ChunkReport& report);
  bool ReadMATR(CSurface* surface, CChunkReader& in, const ChunkReport& report);
  bool ReadINDN(CSurface* surface, CChunkReader& in, const ChunkReport& report);
  bool ReadSHDR(CSurface* surface, CChunkReader& in, const ChunkReport& report);
  bool ReadTexture(CSurface* surface, const TextureChunk& chunk, CChunkReader& in,
                   const ChunkReport& report);
  // From the block's first tag to its "TOPF" value.
  bool ReadTextureBlock(CSurface* surface, SurfaceTexture& record, CChunkReader& in,
                        UINT normalMap);
  // The frames of a "TANI" chunk, after its tag; leaves `tag` at the tag after the frames.
  bool ReadAnimation(CSurface* surface, SurfaceTexture& record, CChunkReader& in, UINT normalMap,
                     ChunkTag& tag);
  // A "TNAM" (required, at `tag`) and an optional "TALP"; leaves `tag` at the tag after them and
  // counts the name chunks read.
  bool ReadNames(CChunkReader& in, ChunkTag& tag, std::string& name, std::string& alpha,
                 UINT& chunks);
  // "TFLG" (at `tag`), "TOPC" and "TOPF".
  bool ReadFlags(SurfaceTexture& record, CChunkReader& in, ChunkTag& tag);
  bool ReadMaterialTexture(CSurface* surface, const MaterialTextureChunk& chunk,
                           CChunkReader& in, const ChunkReport& report);

  // The texture from the names read (either may be empty); null, logged, when the bank has none.
  CTextureInterface* CreateTexture(CSurface* surface, const std::string& name,
                                   const std::string& alpha, UINT normalMap);
  // "%sTextures\\%s" from the texture directory (or the scene's) and a stored name; empty for
  // an empty name.
  std::string TexturePath(CSurface* surface, const std::string& name) const;
  CTextureStorageInterface* TextureStorage() const;

  char m_szTextureDirectory[kTextField] = {};
};
