#pragma once
// The octree file of a scene ("%s%s.oct" beside the scene): a "TREE" chunk whose size counts
// the cell chunks, an "FMIN" chunk with the minimum cell size the tree was built with, then one
// "OCTR" chunk per cell in pre-order. Loading reads through the virtual file system, so the
// file may lie in an archive; saving writes a loose file.
#include <vector>

#include "ZKDXInterface.h"
#include "ZeKorbD3DHeader.h"

class CChunkReader;
class CEngineLog;
class COctree;

class COctreeFile {
 public:
  COctreeFile(CEngineLog* log, CD3D9RendererInterface* renderer, CSceneInterface* scene)
      : m_pLog(log), m_pRenderer(renderer), m_pScene(scene) {}

  // Reads the tree when the file was written for exactly this fMin and its cells form one tree
  // rooted at id 0: the root and the number of cells, with the static meshes filed as saved.
  // Null on any failure (logged), with every cell read freed.
  COctree* Load(const char* fileName, float fMin, UINT* cells);
  // 1 when the whole tree was written; `cells` is the count the scene expects it to have.
  UINT Save(const char* fileName, COctree* root, float fMin, UINT cells);

 private:
  // The header, the FMIN check and every cell chunk, appended to `cells` as they are read.
  bool ReadCells(CChunkReader& reader, const char* fileName, float fMin,
                 std::vector<COctree*>& cells);
  // Every cell reached exactly once from the root through children whose parent and level
  // agree, and every brother lying on its own side: the walks along brothers always advance.
  static bool FormsOneTree(COctree* root, size_t count);

  CEngineLog* m_pLog;
  CD3D9RendererInterface* m_pRenderer;
  CSceneInterface* m_pScene;
};
