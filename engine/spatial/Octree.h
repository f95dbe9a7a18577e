#pragma once
// One cell of a scene's octree. The same class serves the root, inner cells and leaves: a leaf
// lists the meshes whose transformed boxes overlap it, every cell knows its six same-level
// neighbours (its brothers), so ray walks and collision searches move from cell to cell
// without descending from the root again.
//
// A cell owns its children and its entry array; parent, brothers and entries are plain
// references. The scene owns the root.
#include <cstdio>

#include "ZKDXInterface.h"
#include "ZeKorbD3DHeader.h"
#include "scene/SceneOctreeDrawing.h"

class CChunkReader;
class CChunkWriter;
struct ChunkTag;
class CEngineLog;

constexpr WORD OCTREE_LEAF_ENTRIES = 32;
// A link the octree file does not give.
constexpr UINT OCTREE_NO_LINK = 0xFFFFFFFF;
// The most cells a tree may have, built or loaded.
constexpr UINT OCTREE_MAX_CELLS = 524288;
// The deepest level a cell may have, built or loaded; keeps every recursion shallow.
constexpr WORD OCTREE_MAX_LEVEL = 64;
constexpr DWORD OCTREE_DEBUG_COLOR = 0x800080FF;

class COctree final : public CSceneOctreeDrawing {
 public:
  enum Child { kChildren = 8 };
  // Brother order: +X, -X, +Y, -Y, +Z, -Z.
  enum Brother {
    kPositiveX,
    kNegativeX,
    kPositiveY,
    kNegativeY,
    kPositiveZ,
    kNegativeZ,
    kBrothers
  };

  // Makes the cell and its whole subtree. A cell subdivides while its full edge exceeds fMin on
  // every axis; a child is made only where its octant overlaps the world box. Ids follow
  // pre-order through *idCounter. Past OCTREE_MAX_CELLS cells or OCTREE_MAX_LEVEL levels the
  // cells stay leaves.
  COctree(CEngineLog* log, CD3D9RendererInterface* renderer, COctree* parent,
          CSceneInterface* scene, const CVector3& min, const CVector3& max,
          const CVector3& worldCentre, const CVector3& worldExtents, float fMin, UINT* idCounter,
          WORD level);
  // An empty cell for loading: zero box, no links, no entry array, level 0, id 0.
  COctree(CEngineLog* log, CD3D9RendererInterface* renderer, CSceneInterface* scene);
  ~COctree();
  COctree(const COctree&) = delete;
  COctree& operator=(const COctree&) = delete;

  // --- queries of one cell ---
  COctree* GetCellByID(UINT id) { return FindByID(id); }
  COctree* GetCellByPoint(const CVector3& point) { return FindLeafByPoint(point); }
  COctree* GetPositiveXBrother() const { return m_pBrothers[kPositiveX]; }
  COctree* GetNegativeXBrother() const { return m_pBrothers[kNegativeX]; }
  COctree* GetPositiveYBrother() const { return m_pBrothers[kPositiveY]; }
  COctree* GetNegativeYBrother() const { return m_pBrothers[kNegativeY]; }
  COctree* GetPositiveZBrother() const { return m_pBrothers[kPositiveZ]; }
  COctree* GetNegativeZBrother() const { return m_pBrothers[kNegativeZ]; }
  COctree* GetBrother(UINT side) const { return side < kBrothers ? m_pBrothers[side] : nullptr; }
  COctree* GetChild(UINT index) const { return index < kChildren ? m_pChildren[index] : nullptr; }
  CVector3* GetExtents() { return &m_vecExtents; }
  CVector3* GetPosition() { return &m_vecPosition; }
  const CVector3& GetMin() const { return m_vecMin; }
  const CVector3& GetMax() const { return m_vecMax; }
  UINT GetID() const { return m_dwID; }
  WORD GetLevel() const { return m_wLevel; }
  // Stores the entry array and its slot count; returns the count.
  UINT GetMeshes(CMeshInterface*** entries, UINT* count);
  COctree* GetParent() const { return m_pParent; }
  bool IsLeaf() const;

  // --- filing meshes ---
  // Files the mesh into every leaf of this subtree its transformed box overlaps and tells an
  // engine mesh each (cell, slot) pair. A full leaf grows by one slot.
  void InsertMesh(CMeshInterface* mesh);
  // Clears slot `index` when it holds the mesh: 1; otherwise logs and returns 0.
  UINT RemoveMesh(CMeshInterface* mesh, UINT index);
  // Fills the brothers of every cell of this subtree; call on the root.
  void LinkBrothers();

  // --- searches ---
  COctree* FindByID(UINT id);
  // The leaf below this cell that holds the point; this cell's own box is not tested.
  COctree* FindLeafByPoint(const CVector3& point);
  COctree* FindCellAtLevel(const CVector3& point, WORD level);
  // min <= p < max on every axis.
  bool ContainsPoint(const CVector3& point) const;
  bool OverlapsMesh(CMeshInterface* mesh) const;
  bool IntersectsRay(const CRay& ray) const;
  // The nearest mesh hit by the ray, walking from the leaf of the ray's origin along the
  // brothers the ray enters. Null when nothing is hit (*distance is then the largest float)
  // or when the origin is in no leaf (*distance unchanged, logged).
  CMeshInterface* FindNearestIntersection(CRay& ray, float* distance, UINT flags);
  CMeshInterface* FindNearestIntersection(CRay& ray, float* distance, UINT flags,
                                          CVector3* hitPoint);
  // The nearest hit among the meshes of every leaf of this subtree the ray crosses, each mesh
  // tested once, taken as testing every mesh takes it (any hit nearer than *distance and past
  // the origin). *distance and *normal (when given) are only written by a hit.
  CMeshInterface* FindNearestInLeavesCrossed(CRay& ray, float* distance, UINT flags,
                                             CVector3* normal);
  // True when the mesh's transformed box lies inside this cell and every leaf below it that
  // the box overlaps lists the mesh: then any ray that hits the mesh crosses a leaf listing it.
  bool ListsMeshWherever(CMeshInterface* mesh) const;

  // --- collision candidates ---
  // Appends this leaf's meshes that are visible by collisions and not listed yet. When the
  // list is full the rest is left out, logged, and the result is false: the caller stops.
  bool CollectMeshes(CMeshInterface** list, UINT* count, UINT capacity);
  // Collects this cell, then up to `steps` cells further along Z, away from `previous`.
  bool CollectMeshesAlongZ(CMeshInterface** list, UINT* count, UINT capacity, UINT steps,
                           COctree* previous);
  // Collects every leaf of this subtree whose box the sphere reaches (boundary included).
  bool CollectMeshesInSphere(const CVector3& point, float radius, CMeshInterface** list,
                             UINT* count, UINT capacity);

  // --- the octree file ---
  // Appends this cell and its children's subtrees in pre-order; a full table logs and leaves
  // the rest out. Returns the number of cells appended.
  UINT CollectCells(COctree** table, UINT* count, UINT capacity);
  // Writes this cell's OCTR chunk and adds its size to *total. 0 on a failed write (logged).
  UINT Save(FILE* file, UINT* total);
  // Reads one OCTR chunk after its tag. 0 on a read error or a malformed chunk (logged).
  UINT Load(CChunkReader& reader);
  // Turns the ids read into cells of the table; unknown ids leave the link empty (logged).
  UINT ResolveLinks(COctree** table, UINT count);
  // The cell with that id: table[id] when it matches, else the first such entry, else null.
  static COctree* FindLoadedCell(UINT id, COctree** table, UINT count);
  // Gives a leaf that has no entry array one of OCTREE_LEAF_ENTRIES free slots.
  UINT AllocateMeshEntries();
  // Tells every engine mesh filed in this cell its (cell, slot) pair.
  void AnnounceMeshes();
  // Forgets the children without destroying them: for cells a failed load frees one by one.
  void DropChildren();

  // --- debug drawing ---
  // The cell's box as 12 lines; with recurse 1 also every cell below it.
  void DrawBoxes(UINT recurse);
  void DrawBox() { DrawBoxes(0); }

  // --- CSceneOctreeDrawing: the debug overlays ---
  void DrawBoxes() override { DrawBoxes(1); }
  UINT DrawBoxAtPoint(const CVector3& point) override;
  UINT DrawBoxWithID(int id) override;

 private:
  bool HasChildren() const;
  // The box of octant `child` of this cell, as the cell's children are made.
  void GetOctant(int child, CVector3* min, CVector3* max) const;
  // Whether the part [min, max] of the mesh's box is listed by every leaf of this subtree
  // that it reaches.
  bool ListsMeshIn(CMeshInterface* mesh, const CVector3& min, const CVector3& max) const;
  void MakeChildren(const CVector3& worldCentre, const CVector3& worldExtents, float fMin,
                    UINT* idCounter);
  void PlaceMesh(CMeshInterface* mesh, UINT slot);
  void ReplaceEntries(CMeshInterface** entries, WORD count);
  CMeshInterface* NearestInLeaf(CRay& ray, float* distance, UINT flags, CVector3* hitPoint);
  bool SaveLinks(CChunkWriter& writer);
  bool SaveMeshes(CChunkWriter& writer);
  bool SaveBox(CChunkWriter& writer);
  // Logs the message of a failed fixed-size read (see ReadSized); true when it was read.
  bool ReportSized(int result, const char* const* messages, const char* name) const;
  bool ReadLink(CChunkReader& reader, UINT& link, const char* name);
  bool ReadVector(CChunkReader& reader, CVector3& vector, const char* tag);
  bool ReadWord(CChunkReader& reader, UINT& value, const char* tag);
  bool ReadMeshes(CChunkReader& reader);
  enum { kSubChunkUnknown, kSubChunkFailed, kSubChunkRead };
  int ReadSubChunk(CChunkReader& reader, const ChunkTag& tag);
  void ClearLinkIDs();
  COctree* ResolveLink(UINT id, COctree** table, UINT count, const char* failure, int index);

  CEngineLog* m_pLog;
  CD3D9RendererInterface* m_pRenderer;
  CSceneInterface* m_pScene;
  COctree* m_pParent = nullptr;
  COctree* m_pChildren[kChildren] = {};
  COctree* m_pBrothers[kBrothers] = {};
  CMeshInterface** m_ppMeshes = nullptr;
  CVector3 m_vecPosition;
  CVector3 m_vecExtents;
  CVector3 m_vecMax;
  CVector3 m_vecMin;
  UINT m_dwID = 0;
  WORD m_wLevel = 0;
  WORD m_wNumberOfEntries = OCTREE_LEAF_ENTRIES;

  // The ids a loaded cell's links name until ResolveLinks turns them into cells.
  UINT m_dwParentID = OCTREE_NO_LINK;
  UINT m_dwChildIDs[kChildren];
  UINT m_dwBrotherIDs[kBrothers];
};
