#pragma once
// A level: its engine scene laid out on a grid of unit cells read from two text maps (which
// element stands in each cell, which cells can be entered). It makes one wall node per cell
// whose element it knows, can fold the walls of one object file into one mesh, and answers the
// grid questions of the player, the walking entities, the movable objects and the scripts.
#include <tinyxml.h>

#include <list>
#include <map>
#include <string>
#include <vector>

#include "framework/RefPtr.h"
#include "ZKDXMath.h"
#include "framework/RenderableObject.h"

class CPeltoLevel : public geCRenderableObject {
 public:
  static constexpr DWORD kMaxMapSide = 4096;
  static constexpr BYTE kBlocked = 9;
  static constexpr DWORD kAllMoves = 63;

  struct CellRecord {
    geCBaseNode* pWallNode = nullptr;
    DWORD dwWalkable = 0;
  };
  struct ElementType {
    int nID = 0;
    char szFile[128] = {};
  };
  struct MergeEntry {
    CMeshInterface* pMasterMesh = nullptr;
    CVector3 masterPosition;
  };

  explicit CPeltoLevel(geCBaseNode* pParent);
  ~CPeltoLevel() override;

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  // Always enabled and rendered; loads the map and makes sure the scene has three cameras.
  void Configure(TiXmlElement* pElement) override;
  // Reads the movement keys of the player's turn and posts the player its step and turn
  // messages.
  void Update(geSUpdateArgument* pArg) override;
  // Message 666 stops the input (data 0) or quits the game (data 1).
  void ProcessMessage(geMessage* pMessage) override;

  // Reads both maps, creates the walls, merges them when the core asks for it and finishes the
  // scene. False, with a log line and no grid, when the maps cannot be read.
  virtual bool Load(TiXmlElement* pElement);
  // Map coordinates of a world position; a plain level's are the world's.
  virtual void ToMapPosition(CVector3* pPosition);

  // The collision map with every visible movable object's cell and every dynamically blocked
  // cell set to 9.
  BYTE* BuildWalkGrid();
  // The grid's lines and the outline of cell (0, 0), through the active camera of the scene.
  void DrawGrid();

  // Outside the grid a cell is blocked (9) and holds no element (0).
  BYTE GetCollisionMapAt(int x, int y) const;
  DWORD GetElementMapAt(int x, int y) const;
  BYTE GetDynamicCollisionAt(int x, int y) const;
  DWORD GetMapWidth() const { return m_dwWidth; }
  DWORD GetMapHeight() const { return m_dwHeight; }
  // Stores the low byte for the cell of (x, y) truncated; nothing outside the grid.
  void SetCollisionByPos(float x, float y, int nValue);
  void AddMovableObject(geCBaseNode* pNode) { m_vMovableObjects.push_back(pNode); }
  const std::vector<geCBaseNode*>& GetMovableObjects() const { return m_vMovableObjects; }
  const CellRecord* GetCell(int x, int y) const;
  const std::vector<ElementType>& GetElementTypes() const { return m_vElementTypes; }
  geCBaseNode* GetWallsNode() const { return m_pWallsNode.Get(); }

  DWORD GetInputStopped() const { return m_dwInputStopped; }
  void SetInputStopped(DWORD dwStopped) { m_dwInputStopped = dwStopped; }
  DWORD GetAllowedMoves() const { return m_dwAllowedMoves; }
  void SetAllowedMoves(DWORD dwMask) { m_dwAllowedMoves = dwMask; }

  // The walk grid every level shares; null before the first load.
  static BYTE* GetWalkGrid();

  static constexpr DWORD kStopInputMessage = 666;

 private:
  bool InsideGrid(int x, int y) const;
  void ReadElementTypes(TiXmlElement* pElement);
  bool CreateCellGrid(int nWidth, int nHeight);
  // Fills `codes` with the map's codes, top row first; false when the file cannot be opened.
  bool ReadMapFile(const char* szFile, std::vector<char>& codes) const;
  void CreateWalls(const std::vector<char>& collisionCodes);
  geCBaseNode* CreateWall(int x, int y, const ElementType& type);
  void MergeWalls();
  void FinishScene();
  void EnsureCameras();
  void ShowCollisionBoxes();
  // The step keys of a standing player; posts for the first one that applies.
  void TrySteps(DWORD dwPlayerID);
  void PostToPlayer(const char* szName, DWORD dwMessageID, DWORD dwPlayerID);

  std::vector<BYTE> m_vCollisionMap;
  std::vector<BYTE> m_vDynamicCollision;
  std::vector<BYTE> m_vElementMap;
  DWORD m_dwWidth = 0;
  DWORD m_dwHeight = 0;
  std::vector<CellRecord> m_vCells;
  DWORD m_dwInputStopped = 0;
  DWORD m_dwAllowedMoves = 0;
  std::vector<geCBaseNode*> m_vMovableObjects;
  std::vector<ElementType> m_vElementTypes;
  std::map<std::string, MergeEntry> m_mapMerge;
  // The walls keep pointers to the elements they were made from, so the elements outlive them.
  std::list<TiXmlElement> m_lWallElements;
  // Held by the level too: cell records keep pointing at its walls after the walls node leaves
  // the tree.
  geTRefPtr<geCBaseNode> m_pWallsNode;
};

// Step directions of TryMove.
enum : BYTE { kMoveForward = 1, kMoveBack = 2, kMoveRight = 3, kMoveLeft = 4 };

// Whether the player ("GamePlayer", or the sub player it hands control to) may step one cell
// (two with bDoubleStep) in the direction; a forward step pushes the movable objects in its way
// when every one of them can move.
bool TryMove(CPeltoLevel* pLevel, BYTE byDirection, BYTE bDoubleStep);
