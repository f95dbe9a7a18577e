// Levels on the engine's real scenes: the two map files read from the working folder, the grids
// and their queries, the wall nodes made from the element map, the merge of walls of one file,
// the walk grid, and the placing of walls and furniture.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <string>

#include "RealLevelFixture.h"
#include "cpelto/PeltoFurniture.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoWall.h"
#include "framework/EngineGlobals.h"
#include "framework/Properties.h"
#include "scene/Camera.h"
#include "scene/Motion.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct MapFiles {
  int width;
  int height;
  std::string elements;
  std::string collision;
  std::string types =
      R"(<element_types id="a" file="brick.zks"/><element_types id="b" file="pillar.zks"/>)";
};

class PeltoLevels : public RealLevelTest {
 protected:
  void SetUp() override {
    RealLevelTest::SetUp();
    RegisterNodeType<CPeltoLevel>("Level");
    RegisterNodeType<CPeltoWall>("PeltoWall");
    RegisterNodeType<CPeltoFurniture>("Furniture");
    SaveScene("ground", {{"ground", {0, -5, 0}}});
    SaveScene("brick", {{"brick", {0, 0, 0}}});
    SaveScene("pillar", {{"base", {0, 0, 0}}, {"top", {0, 3, 0}}});
  }

  // Writes the maps that are given (an empty text leaves the file out) and loads a level on
  // them.
  CPeltoLevel* LoadLevel(const MapFiles& map) {
    WriteMaps(map.elements, map.collision);
    Build(LevelXml(map.width, map.height, map.types, "Level", "first", R"(RenderPriority="1")"));
    return Node<CPeltoLevel>("CPeltoLevel");
  }

  static void SetCore(const char* name, int value) {
    g_pCoreProperties->RegisterAndSet(name, geCVariant(value));
  }

  static float LargestX(CMeshInterface* mesh) {
    float largest = -1e9f;
    for (UINT i = 0; i < mesh->GetNumberOfVertices(); ++i)
      largest = std::max(largest, mesh->GetVertices()[i].vecPosition.x);
    return largest;
  }
};

TEST_F(PeltoLevels, TheFirstLineIsTheTopRowAndOnlyDigitsAndLettersCount) {
  CPeltoLevel* level = LoadLevel({2, 2, "a, 0;\n\tb-1\n", "0 1\r\nx 9\n"});
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->GetMapWidth(), 2u);
  EXPECT_EQ(level->GetMapHeight(), 2u);
  EXPECT_EQ(level->GetElementMapAt(0, 1), DWORD('a'));
  EXPECT_EQ(level->GetElementMapAt(1, 1), DWORD('0'));
  EXPECT_EQ(level->GetElementMapAt(0, 0), DWORD('b'));
  EXPECT_EQ(level->GetElementMapAt(1, 0), DWORD('1'));
  // Only "0" makes a cell free: 1, x and 9 all block.
  EXPECT_EQ(level->GetCollisionMapAt(0, 1), 0);
  EXPECT_EQ(level->GetCollisionMapAt(1, 1), 9);
  EXPECT_EQ(level->GetCollisionMapAt(0, 0), 9);
  EXPECT_EQ(level->GetCollisionMapAt(1, 0), 9);
  EXPECT_EQ(level->GetCell(0, 1)->dwWalkable, 1u);
  EXPECT_EQ(level->GetCell(1, 0)->dwWalkable, 0u);
  // Outside the grid: blocked, no element, no record.
  for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}}) {
    EXPECT_EQ(level->GetCollisionMapAt(x, y), 9);
    EXPECT_EQ(level->GetElementMapAt(x, y), 0u);
    EXPECT_EQ(level->GetCell(x, y), nullptr);
  }
}

TEST_F(PeltoLevels, IsNamedForOthersToFindAndConfiguredForPlay) {
  WriteMaps("0", "0");
  Build(R"(<Node Type="Level" Name="first">
             <Param File="ground.zks" Directory="" RenderPriority="1" Enabled="0"/>
             <map file="elements.txt" collides="collision.txt" Width="1" Height="1"/></Node>)");
  auto* level = Node<CPeltoLevel>("CPeltoLevel");
  ASSERT_NE(level, nullptr);
  EXPECT_STREQ(level->GetClassName(), "CPeltoLevel");
  for (const char* name : {"CPeltoLevel", "geCRenderableObject", "geCGameObject", "geCBaseNode",
                           "geCBaseObject"})
    EXPECT_TRUE(level->IsKindOf(name)) << name;
  EXPECT_FALSE(level->IsKindOf("CPeltoWall"));
  EXPECT_TRUE(level->IsEnabled());
  EXPECT_EQ(level->GetFlags() & geCGameObject::kFlagNoRenderList, 0u);
  EXPECT_EQ(level->GetProperties()->Get("CanMoveObjects").GetType(), geCVariant::TYPE_INT);
  EXPECT_EQ(level->GetProperties()->GetInteger("CanMoveObjects"), 0);
  EXPECT_EQ(level->GetProperties()->GetFloat("FinishMouseRotationB"), 0.0f);
  EXPECT_EQ(level->GetInputStopped(), 0u);
  EXPECT_EQ(level->GetAllowedMoves(), 63u);
  // The scene had no camera: three are there now, cameras 1 and 2 unturned.
  CSceneInterface* scene = level->GetOwnScene();
  ASSERT_NE(scene, nullptr);
  EXPECT_EQ(scene->GetNumberOfCameras(), 3u);
  EXPECT_EQ(g_pZeKorb->GetActiveScene(), scene);
}

TEST_F(PeltoLevels, CamerasOneAndTwoAreUnturnedAndTheFirstKept) {
  // A level scene with three cameras keyed to a heading of 0.5: only cameras 1 and 2 are set
  // straight.
  CSceneInterface* made = nullptr;
  m_scenes.AddScene(&made);
  ASSERT_NE(made, nullptr);
  made->SetName("turned");
  for (int i = 0; i < 3; ++i) {
    CMotion* motion = dynamic_cast<CCamera*>(made->AddCamera())->GetOwnMotion();
    motion->SetNumberOfChannels(6);
    motion->GetChannel(MOTION_HEADING)->AddKeyData(0.5f, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  }
  ASSERT_EQ(m_scenes.SaveSceneToZKS(made, 0), 1u);
  made->Release();
  WriteMaps("0", "0");
  Build(R"(<Node Type="Level" Name="first">
             <Param File="turned.zks" Directory="" RenderPriority="1"/>
             <map file="elements.txt" collides="collision.txt" Width="1" Height="1"/></Node>)");
  auto* level = Node<CPeltoLevel>("CPeltoLevel");
  ASSERT_NE(level, nullptr);
  CSceneInterface* scene = level->GetOwnScene();
  ASSERT_EQ(scene->GetNumberOfCameras(), 3u);
  CVector3 rotation;
  scene->GetCamera(0)->GetRotation(&rotation, 1);
  EXPECT_FLOAT_EQ(rotation.x, 0.5f);
  for (UINT camera : {1u, 2u}) {
    scene->GetCamera(camera)->GetRotation(&rotation, 1);
    EXPECT_EQ(rotation.x, 0.0f) << camera;
    EXPECT_EQ(rotation.y, 0.0f) << camera;
    EXPECT_EQ(rotation.z, 0.0f) << camera;
  }
}

TEST_F(PeltoLevels, EachKnownElementBecomesADisabledWallAtItsCellCorner) {
  CPeltoLevel* level = LoadLevel({3, 2, "a0b\nbza", "000\n000"});
  geCBaseNode* walls = level->GetWallsNode();
  ASSERT_NE(walls, nullptr);
  EXPECT_STREQ(walls->GetName(), "AllWallsNode");
  EXPECT_FALSE(walls->IsEnabled());
  EXPECT_EQ(walls->GetParent(), level);
  // Row 0 first, x fastest; the unknown code z and "0" make no wall.
  std::vector<std::string> names;
  for (DWORD i = 0; i < walls->GetNodesCount(); ++i) names.emplace_back(walls->GetNode(i)->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"box_0_0", "box_2_0", "box_0_1", "box_2_1"}));
  EXPECT_EQ(level->GetCell(1, 0)->pWallNode, nullptr);
  EXPECT_EQ(level->GetCell(1, 1)->pWallNode, nullptr);

  auto* pillar = dynamic_cast<CPeltoWall*>(level->GetCell(0, 0)->pWallNode);
  ASSERT_NE(pillar, nullptr);
  EXPECT_STREQ(pillar->GetName(), "box_0_0");
  geCProperties* given = pillar->GetProperties();
  EXPECT_EQ(given->GetString("File"), "pillar.zks");
  EXPECT_EQ(given->GetString("Directory"), "");
  EXPECT_EQ(given->GetString("RenderPriority"), "1");
  EXPECT_EQ(given->GetString("InitX"), "0.000");
  EXPECT_EQ(given->GetString("InitZ"), "0.000");
  EXPECT_FALSE(pillar->IsEnabled());
  EXPECT_TRUE(pillar->IsKindOf("CPeltoWall"));
  EXPECT_STREQ(pillar->GetClassName(), "CPeltoWall");

  auto* brick = dynamic_cast<CPeltoWall*>(level->GetCell(2, 0)->pWallNode);
  ASSERT_NE(brick, nullptr);
  EXPECT_EQ(brick->GetProperties()->GetString("File"), "brick.zks");
  EXPECT_EQ(brick->GetProperties()->GetString("InitX"), "2.000");
  EXPECT_EQ(brick->GetProperties()->GetString("InitY"), "0.000");
  EXPECT_EQ(brick->GetProperties()->GetString("InitZ"), "0.000");
  const CVector3 at = LocalPosition(brick->GetMesh(0));
  EXPECT_EQ(at.x, 2.0f);
  EXPECT_EQ(at.y, 0.0f);
  EXPECT_EQ(at.z, 0.0f);
  // A wall of several meshes moves every one of them to its corner.
  auto* other = dynamic_cast<CPeltoWall*>(level->GetCell(2, 1)->pWallNode);
  ASSERT_EQ(other->GetNumberOfMeshes(), 2u);
  for (DWORD i = 0; i < 2; ++i) {
    const CVector3 corner = LocalPosition(other->GetMesh(i));
    EXPECT_EQ(corner.x, 2.0f);
    EXPECT_EQ(corner.z, 1.0f);
  }
}

TEST_F(PeltoLevels, TheFirstOfTwoElementTypesWithOneIdWins) {
  CPeltoLevel* level = LoadLevel({1, 1, "a", "0",
                                  R"(<element_types id="abc" file="pillar.zks"/>
                                     <element_types id="a" file="brick.zks"/>)"});
  ASSERT_EQ(level->GetElementTypes().size(), 2u);
  EXPECT_EQ(level->GetElementTypes()[0].nID, 'a');
  geCBaseNode* wall = level->GetCell(0, 0)->pWallNode;
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->GetProperties()->GetString("File"), "pillar.zks");
}

TEST_F(PeltoLevels, MergingFoldsLaterWallsOfOneFileIntoTheFirst) {
  SetCore("MergeMap", 1);
  CPeltoLevel* level = LoadLevel({3, 1, "aab", "000"});
  auto* first = dynamic_cast<geCGameObject*>(level->GetCell(0, 0)->pWallNode);
  auto* second = dynamic_cast<geCGameObject*>(level->GetCell(1, 0)->pWallNode);
  auto* pillar = dynamic_cast<geCGameObject*>(level->GetCell(2, 0)->pWallNode);
  ASSERT_TRUE(first && second && pillar);
  CMeshInterface* master = first->GetMesh(0);
  // The second brick's faces join the first's, one cell further along x; the second wall no
  // longer reaches the mesh the engine freed.
  EXPECT_EQ(master->GetNumberOfFaces(), 2 * pillar->GetMesh(0)->GetNumberOfFaces());
  EXPECT_EQ(second->GetNumberOfMeshes(), 0u);
  EXPECT_FLOAT_EQ(LargestX(master), 2.0f);
  EXPECT_EQ(master->GetVisibleByCameras(), 1u);
  EXPECT_EQ(master->GetVisibleByRays(), 0u);
  EXPECT_EQ(master->GetVisibleByCollisions(), 0u);
  // The only wall of its file keeps its mesh untouched.
  EXPECT_EQ(pillar->GetMesh(0)->GetVisibleByRays(), 1u);
  const std::string log = Log();
  EXPECT_PRED2(Contains, log, "-Merging walls and floors...\n");
  EXPECT_PRED2(Contains, log, "->'brick': Surfaces: ");
  EXPECT_PRED2(Contains, log, "-Done.\n");
}

// Walls that load the first wall's mesh instead of their own file: the merge must not fold
// the master mesh into itself.
class SharingWall : public CPeltoWall {
 public:
  using CPeltoWall::CPeltoWall;
  static inline CMeshInterface* shared = nullptr;

 protected:
  void LoadFileByExtension(const char* szPath) override {
    if (shared) {
      LoadMeshFromPointer(shared);
      return;
    }
    CPeltoWall::LoadFileByExtension(szPath);
    shared = GetMesh(0);
  }
};

TEST_F(PeltoLevels, AMeshSharedWithTheFirstWallIsNotMergedAgain) {
  SharingWall::shared = nullptr;
  g_mapNodeFactory.erase("PeltoWall");
  ASSERT_TRUE(RegisterNodeType<SharingWall>("PeltoWall"));
  SetCore("MergeMap", 1);
  CPeltoLevel* level = LoadLevel({2, 1, "aa", "00"});
  auto* first = dynamic_cast<geCGameObject*>(level->GetCell(0, 0)->pWallNode);
  auto* second = dynamic_cast<geCGameObject*>(level->GetCell(1, 0)->pWallNode);
  ASSERT_TRUE(first && second);
  CMeshInterface* master = first->GetMesh(0);
  ASSERT_EQ(second->GetMesh(0), master);
  EXPECT_EQ(master->GetNumberOfFaces(), BoxFaces().size());
  EXPECT_FLOAT_EQ(LargestX(master), 1.0f);
  // Nothing was merged, so the mesh is still seen by rays and collisions.
  EXPECT_EQ(master->GetVisibleByRays(), 1u);
  EXPECT_EQ(master->GetVisibleByCollisions(), 1u);
  SharingWall::shared = nullptr;
}

TEST_F(PeltoLevels, WithoutMergeMapNothingIsMerged) {
  CPeltoLevel* level = LoadLevel({2, 1, "aa", "00"});
  auto* first = dynamic_cast<geCGameObject*>(level->GetCell(0, 0)->pWallNode);
  EXPECT_FLOAT_EQ(LargestX(first->GetMesh(0)), 1.0f);
  EXPECT_FALSE(Contains(Log(), "-Merging walls and floors...\n"));
}

TEST_F(PeltoLevels, CleaningAfterLoadKeepsTheWallsAlive) {
  SetCore("CleanLevelAfterLoad", 1);
  CPeltoLevel* level = LoadLevel({1, 1, "a", "0"});
  ASSERT_NE(level->GetWallsNode(), nullptr);
  EXPECT_EQ(level->GetNodeByName("AllWallsNode", 1), nullptr);
  EXPECT_STREQ(level->GetCell(0, 0)->pWallNode->GetName(), "box_0_0");
}

TEST_F(PeltoLevels, DynamicCollisionTakesTruncatedPositionsInsideTheGrid) {
  CPeltoLevel* level = LoadLevel({5, 4, "00000 00000 00000 00000", "00000 00000 00000 00000"});
  level->SetCollisionByPos(3.7f, 2.2f, 1);
  EXPECT_EQ(level->GetDynamicCollisionAt(3, 2), 1);
  level->SetCollisionByPos(0.5f, 0.5f, 0x102);  // the low byte is kept
  EXPECT_EQ(level->GetDynamicCollisionAt(0, 0), 2);
  for (auto [x, y] : {std::pair{-1.5f, 1.0f}, {5.0f, 1.0f}, {1.0f, -2.0f}, {1.0f, 4.2f}})
    level->SetCollisionByPos(x, y, 7);
  int set = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) set += level->GetDynamicCollisionAt(x, y) != 0;
  EXPECT_EQ(set, 2);
  // The fixed map is not touched.
  EXPECT_EQ(level->GetCollisionMapAt(3, 2), 0);
}

TEST_F(PeltoLevels, TheWalkGridBlocksVisibleMovablesAndDynamicCells) {
  CPeltoLevel* level = LoadLevel({4, 3, "0000 0000 0000", "0000 0001 0000"});
  auto* crate = new geCRenderableObject(m_core->GetRootNode());
  crate->RegisterProperties();
  crate->LoadFileByExtension("brick.zks");
  crate->GetMesh(0)->SetPosition(CVector3(9.5f, 0.0f, -3.0f));  // clamped to (3, 0)
  auto* hidden = new geCRenderableObject(m_core->GetRootNode());
  hidden->RegisterProperties();
  hidden->LoadFileByExtension("brick.zks");
  hidden->GetMesh(0)->SetPosition(CVector3(1.5f, 0.0f, 2.5f));
  hidden->GetMesh(0)->SetVisibility(1, 1, 0);
  level->AddMovableObject(crate);
  level->AddMovableObject(hidden);
  ASSERT_EQ(level->GetMovableObjects().size(), 2u);
  for (CSceneInterface* scene : {crate->GetOwnerScene(), hidden->GetOwnerScene()}) {
    scene->PrepareMatrices();
    scene->UpdateHierarchy();
  }
  level->SetCollisionByPos(0.2f, 2.9f, 1);
  const BYTE* grid = level->BuildWalkGrid();
  ASSERT_EQ(grid, CPeltoLevel::GetWalkGrid());
  std::vector<int> blocked;
  for (int i = 0; i < 12; ++i)
    if (grid[i]) {
      EXPECT_EQ(grid[i], 9);
      blocked.push_back(i);
    }
  // (3, 0) the crate, (3, 1) the map, (0, 2) the dynamic cell; the hidden one counts not.
  EXPECT_EQ(blocked, (std::vector<int>{3, 7, 8}));
  crate->Disable(1);
  level->BuildWalkGrid();
  EXPECT_EQ(CPeltoLevel::GetWalkGrid()[3], 0);
}

TEST_F(PeltoLevels, MissingOrShortMapsAndBadSizesAreRefused) {
  struct Case {
    const char* what;
    MapFiles map;
    DWORD width;
    const char* logged;
  } cases[] = {
      {"no element map", {2, 2, "", "0000"}, 0, "ERROR: can't open level map 'elements.txt'"},
      {"zero width", {0, 2, "0000", "0000"}, 0, "ERROR: level map size 0 x 2 refused"},
      {"negative height", {2, -1, "0000", "0000"}, 0, "ERROR: level map size 2 x -1 refused"},
      {"too wide", {4097, 1, "0", "0"}, 0, "ERROR: level map size 4097 x 1 refused"},
      {"short map", {2, 2, "a", "0000"}, 2, "WARNING: level map 'elements.txt' ends before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(std::filesystem::path(m_folder.Path()) / "elements.txt");
    CPeltoLevel* level = LoadLevel(c.map);
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->GetMapWidth(), c.width);
    EXPECT_PRED2(Contains, Log(), c.logged);
    EXPECT_EQ(level->GetCollisionMapAt(0, 0), c.width ? 0 : 9);
    if (c.width) {
      // The cells past the end read as "0".
      EXPECT_EQ(level->GetElementMapAt(0, 1), DWORD('a'));
      EXPECT_EQ(level->GetElementMapAt(1, 0), DWORD('0'));
    }
    m_core->GetRootNode()->RemoveChild(level);
  }
}

// Takes the vertex formats the renderer is given.
class RecordingDeclarations : public CVertexDeclarationStorageInterface {
 public:
  CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9*) override {
    return nullptr;
  }
  void SetFVF(DWORD fvf) override { formats.push_back(fvf); }
  std::vector<DWORD> formats;
};

TEST_F(PeltoLevels, TheGridIsDrawnAsOneLineListWithTheFirstCellOutlined) {
  CPeltoLevel* level = LoadLevel({3, 2, "000 000", "000 000"});
  RecordingDeclarations declarations;
  RecordingRenderer& renderer = m_scenes.renderer;
  renderer.vertexDeclarationStorage = &declarations;
  renderer.renderStates.clear();
  renderer.frameCalls.clear();
  level->DrawGrid();
  renderer.vertexDeclarationStorage = nullptr;
  EXPECT_EQ(declarations.formats, (std::vector<DWORD>{0x142}));
  EXPECT_EQ(renderer.renderStates, (std::vector<std::pair<UINT, UINT>>{{27, 1}}));
  EXPECT_EQ(renderer.frameCalls, (std::vector<std::string>{"SetTransform(2)", "SetTransform(3)",
                                                           "SetTransform(256)", "Clear(2,0)"}));
  ASSERT_EQ(renderer.memoryDraws.size(), 1u);
  const RecordingRenderer::MemoryDraw& draw = renderer.memoryDraws[0];
  EXPECT_EQ(draw.type, 2u);
  EXPECT_EQ(draw.primitives, 3u + 2u + 6u);
  EXPECT_EQ(draw.vertexCount, 22u);
  ASSERT_EQ(draw.stride, 24u);
  struct Drawn {
    float x, y, z;
    uint32_t colour;
    float u, v;
  };
  ASSERT_EQ(draw.vertices.size(), 22 * sizeof(Drawn));
  const auto* drawn = reinterpret_cast<const Drawn*>(draw.vertices.data());
  // The last column line runs along z at x = Width; the last row line along x at z = Height.
  EXPECT_EQ((std::array<float, 4>{drawn[6].x, drawn[6].z, drawn[7].x, drawn[7].z}),
            (std::array<float, 4>{3, 0, 3, 2}));
  EXPECT_EQ((std::array<float, 4>{drawn[12].x, drawn[12].z, drawn[13].x, drawn[13].z}),
            (std::array<float, 4>{0, 2, 3, 2}));
  EXPECT_EQ(drawn[13].colour, 0x33FFFFFFu);
  // Then the outline of cell (0, 0), a little above the floor.
  for (int i = 14; i < 22; ++i) {
    EXPECT_EQ(drawn[i].colour, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(drawn[i].y, 0.001f);
  }
  EXPECT_EQ((std::array<float, 4>{drawn[14].x, drawn[14].z, drawn[15].x, drawn[15].z}),
            (std::array<float, 4>{0, 1, 1, 1}));
  EXPECT_EQ((std::array<float, 4>{drawn[20].x, drawn[20].z, drawn[21].x, drawn[21].z}),
            (std::array<float, 4>{0, 0, 0, 1}));
}

TEST_F(PeltoLevels, FurnitureMovesAndTurnsItsFirstMeshOnly) {
  Build(R"(<Node Type="Furniture" Name="chair">
             <Param File="pillar.zks" Directory="" RenderPriority="1"
                    InitX="2" InitY="0.5" InitZ="3" InitRotH="90" InitRotP="0" InitRotB="0"/>
           </Node>)");
  auto* chair = Node<CPeltoFurniture>("chair");
  ASSERT_NE(chair, nullptr);
  EXPECT_STREQ(chair->GetClassName(), "CPeltoFurniture");
  EXPECT_TRUE(chair->IsKindOf("geCRenderableObject"));
  CSceneInterface* scene = chair->GetOwnerScene();
  scene->PrepareMatrices();
  const CMatrix* matrix = chair->GetMesh(0)->GetCurrentMatrix();
  // A quarter turn about the vertical: x goes to -z; the position stays as given.
  EXPECT_NEAR(matrix->_11, 0.0f, 1e-5f);
  EXPECT_NEAR(matrix->_13, -1.0f, 1e-5f);
  EXPECT_NEAR(matrix->_22, 1.0f, 1e-5f);
  EXPECT_NEAR(matrix->_31, 1.0f, 1e-5f);
  EXPECT_FLOAT_EQ(matrix->_41, 2.0f);
  EXPECT_FLOAT_EQ(matrix->_42, 0.5f);
  EXPECT_FLOAT_EQ(matrix->_43, 3.0f);
  const CVector3 second = LocalPosition(chair->GetMesh(1));
  EXPECT_EQ(second.x, 0.0f);
  EXPECT_EQ(second.z, 0.0f);
}

}  // namespace
