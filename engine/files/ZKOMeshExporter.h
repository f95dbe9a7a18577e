#pragma once
// Object files (".zko"): the geometry of one mesh — vertices, faces, edges, the bounding
// volume, the surfaces, two flags and the shadow-volume geometry — in "ZKO6" (written) or
// "ZKO5" (read alike). Scene files keep only the mesh's place; each mesh's object file lies in
// "Objects\\" beside the scene.
//
// The mesh checks the numbers the records carry as it takes them (faces against vertices,
// edges against vertices and faces) and builds its collider when it gets its faces.
#include <cstdio>

#include "files/ZKExporter.h"

class CMesh;

class CZKOMeshExporter final : public CZKExporter {
 public:
  static constexpr UINT kPathLength = 260;
  static constexpr UINT kLoadPathLength = 512;
  static constexpr UINT kTextureDirectoryLength = 256;

  CZKOMeshExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOMeshExporter") {}

  // Writes "<scene directory>Objects\\<mesh name>.zko", making the folder when it is missing.
  // A mesh whose edges are not correct is refused before anything is written.
  bool SaveObject(CMesh* mesh);
  // Reads the object file at `path` through the virtual file system into a mesh without
  // geometry.
  bool LoadObject(CMesh* mesh, const char* path, UINT loadFlag);
  // Clears the texture directory and loads "<directory>Objects\\<name>.zko".
  bool LoadObjectFromDirectory(CMesh* mesh, const char* directory, const char* name, UINT loadFlag);
  // The directory the surface reader looks for textures in; null clears it, a longer text is
  // cut to the buffer.
  void SetTextureDirectory(const char* directory);
  const char* GetTextureDirectory() const { return m_szTextureDirectory; }
  UINT GetLoadFlag() const { return m_dwLoadFlag; }

 private:
  bool WriteBody(CMesh* mesh, FILE* stream, const char* path);
  bool WriteVRTN(CMesh* mesh, FILE* stream, UINT& total);
  bool WriteFACN(CMesh* mesh, FILE* stream, UINT& total);
  bool WriteEDGN(CMesh* mesh, FILE* stream, UINT& total);
  bool WriteSRFN(CMesh* mesh, FILE* stream, UINT& total);

  bool ReadVRTN(CMesh* mesh, CChunkReader& in);
  bool ReadFACN(CMesh* mesh, CChunkReader& in);
  bool ReadEDGN(CMesh* mesh, CChunkReader& in);
  bool ReadSRFN(CMesh* mesh, CChunkReader& in);

  char m_szTextureDirectory[kTextureDirectoryLength] = {};
  UINT m_dwLoadFlag = 0;
};
