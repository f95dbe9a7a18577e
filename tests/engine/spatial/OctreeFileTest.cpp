#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ChunkBuilder.h"
#include "EngineContextScope.h"
#include "FakeOctreeMesh.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "spatial/MeshSpatialServices.h"
#include "vfs/VirtualFileSystem.h"
#include "spatial/Octree.h"
#include "spatial/OctreeFile.h"

namespace {

using ::testing::HasSubstr;

// One cell as a test writes it into a file; links left at OCTREE_NO_LINK are not written.
struct Cell {
  UINT id = 0;
  UINT level = 0;
  CVector3 min{0, 0, 0}, max{4, 4, 4};
  UINT parent = OCTREE_NO_LINK;
  std::array<UINT, 8> children = {OCTREE_NO_LINK, OCTREE_NO_LINK, OCTREE_NO_LINK,
                                  OCTREE_NO_LINK, OCTREE_NO_LINK, OCTREE_NO_LINK,
                                  OCTREE_NO_LINK, OCTREE_NO_LINK};
  std::array<UINT, 6> brothers = {OCTREE_NO_LINK, OCTREE_NO_LINK, OCTREE_NO_LINK,
                                  OCTREE_NO_LINK, OCTREE_NO_LINK, OCTREE_NO_LINK};
  std::vector<UINT> meshes;  // MESH indices; an MSHS is written when `entries` is not 0
  UINT entries = 0;
  // Anything else the test wants inside the cell's chunk.
  std::function<void(CChunkBuilder&)> extra;
};

void Vector(CChunkBuilder& b, const char* tag, const CVector3& v) {
  b.Chunk(tag, [&](CChunkBuilder& p) { p.F32(v.x).F32(v.y).F32(v.z); });
}

void AddCell(CChunkBuilder& b, const Cell& c) {
  static const char* kChildTags[] = {"CHL0", "CHL1", "CHL2", "CHL3",
                                     "CHL4", "CHL5", "CHL6", "CHL7"};
  static const char* kBrotherTags[] = {"POSX", "NEGX", "POSY", "NEGY", "POSZ", "NEGZ"};
  b.Begin("OCTR");
  if (c.parent != OCTREE_NO_LINK) b.U32Chunk("PRNT", c.parent);
  for (int i = 0; i < 8; ++i)
    if (c.children[i] != OCTREE_NO_LINK) b.U32Chunk(kChildTags[i], c.children[i]);
  for (int i = 0; i < 6; ++i)
    if (c.brothers[i] != OCTREE_NO_LINK) b.U32Chunk(kBrotherTags[i], c.brothers[i]);
  if (c.entries != 0) {
    b.Begin("MSHS").U32(c.entries);
    for (UINT index : c.meshes) b.U32Chunk("MESH", index);
    b.End();
  }
  if (c.extra) c.extra(b);
  const CVector3 centre = (c.min + c.max) * 0.5f;
  Vector(b, "VPOS", centre);
  Vector(b, "VEXT", c.max - centre);
  Vector(b, "VMAX", c.max);
  Vector(b, "VMIN", c.min);
  b.U32Chunk("MYID", c.id).U32Chunk("LEVL", c.level).End();
}

// TREE (sized by the cells only), FMIN, then the cell chunks.
std::vector<uint8_t> OctreeFile(float fMin, const std::function<void(CChunkBuilder&)>& cells) {
  CChunkBuilder body;
  cells(body);
  CChunkBuilder file;
  file.Begin("TREE", uint32_t(body.Size())).End().F32Chunk("FMIN", fMin).Raw(body.Bytes());
  return file.Bytes();
}

// A root (id 0) over 0..4 with its eight children as leaves, in pre-order.
void EightLeaves(CChunkBuilder& b, const std::vector<UINT>& rootChildren = {1, 2, 3, 4, 5, 6,
                                                                          7, 8}) {
  Cell root;
  for (int i = 0; i < 8; ++i) root.children[i] = rootChildren[i];
  AddCell(b, root);
  constexpr int kHalves[8][3] = {{1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 0, 0},
                                 {1, 1, 0}, {1, 1, 1}, {0, 1, 1}, {0, 1, 0}};
  for (UINT i = 0; i < 8; ++i) {
    Cell leaf;
    leaf.id = i + 1;
    leaf.level = 1;
    leaf.parent = 0;
    leaf.min = {kHalves[i][0] * 2.0f, kHalves[i][1] * 2.0f, kHalves[i][2] * 2.0f};
    leaf.max = leaf.min + CVector3(2, 2, 2);
    leaf.entries = 32;
    AddCell(b, leaf);
  }
}

size_t LiveHeapBytes() { return mallinfo2().uordblks; }

class OctreeFileTest : public ::testing::Test {
 protected:
  OctreeFileTest() {
    context->pVirtualFileSystem = &vfs;
    scene = new TestScene(nullptr, &log);
    scene->SetName("level");
    for (int i = 0; i < 3; ++i) AddMesh("mesh" + std::to_string(i));
  }
  ~OctreeFileTest() override { scene->Release(); }

  void SetUp() override {
    char* cwd = getcwd(nullptr, 0);
    m_previousFolder = cwd;
    free(cwd);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(m_previousFolder.c_str()), 0); }

  FakeOctreeMesh* AddMesh(const std::string& name) {
    auto* mesh = new FakeOctreeMesh(scene, name);
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  void WriteFile(const std::vector<uint8_t>& bytes) {
    folder.Write("level.oct", std::string(bytes.begin(), bytes.end()));
  }
  std::vector<uint8_t> ReadFile() {
    std::ifstream in(folder / "level.oct", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  COctree* Load(float fMin, UINT* cells) {
    return COctreeFile(&log, nullptr, scene).Load("level.oct", fMin, cells);
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }

  TempDir folder;
  EngineContextScope context;
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{nullptr, &allocator, nullptr};
  TestScene* scene;

 private:
  std::string m_previousFolder;
};

// Every cell in pre-order: box, id, level, links by id and the static meshes by scene index.
std::string Describe(COctree* root, CSceneInterface* scene) {
  std::vector<COctree*> cells(OCTREE_MAX_CELLS);
  UINT count = 0;
  root->CollectCells(cells.data(), &count, OCTREE_MAX_CELLS);
  auto id = [](COctree* cell) { return cell ? std::to_string(cell->GetID()) : "-"; };
  auto vector = [](const CVector3& v) {
    std::ostringstream text;
    text << v.x << "," << v.y << "," << v.z << " ";
    return text.str();
  };
  std::string text;
  for (UINT i = 0; i < count; ++i) {
    COctree* cell = cells[i];
    text += "id " + id(cell) + " level " + std::to_string(cell->GetLevel()) + " box " +
            vector(cell->GetMin()) + vector(cell->GetMax()) + vector(*cell->GetPosition()) +
            vector(*cell->GetExtents()) + "parent " + id(cell->GetParent()) + " children";
    for (UINT c = 0; c < COctree::kChildren; ++c) text += " " + id(cell->GetChild(c));
    text += " brothers";
    for (UINT s = 0; s < COctree::kBrothers; ++s) text += " " + id(cell->GetBrother(s));
    text += " meshes";
    CMeshInterface** entries = nullptr;
    UINT slots = 0;
    cell->GetMeshes(&entries, &slots);
    for (UINT slot = 0; entries != nullptr && slot < slots; ++slot) {
      if (entries[slot] == nullptr || entries[slot]->GetIsDynamic()) continue;
      for (UINT m = 0; m < scene->GetNumberOfMeshes(); ++m)
        if (scene->GetMesh(m) == entries[slot]) text += " " + std::to_string(m);
    }
    text += "\n";
  }
  return text;
}

// Whether any cell of the tree holds the mesh.
bool Holds(COctree* root, CMeshInterface* mesh) {
  std::vector<COctree*> cells(OCTREE_MAX_CELLS);
  UINT count = 0;
  root->CollectCells(cells.data(), &count, OCTREE_MAX_CELLS);
  for (UINT i = 0; i < count; ++i) {
    CMeshInterface** entries = nullptr;
    UINT slots = 0;
    cells[i]->GetMeshes(&entries, &slots);
    if (entries != nullptr && std::find(entries, entries + slots, mesh) != entries + slots)
      return true;
  }
  return false;
}

TEST_F(OctreeFileTest, ASavedTreeLoadsBackCellForCell) {
  const std::array meshes{static_cast<FakeOctreeMesh*>(scene->GetMesh(0)),
                          static_cast<FakeOctreeMesh*>(scene->GetMesh(1)),
                          static_cast<FakeOctreeMesh*>(scene->GetMesh(2))};
  meshes[0]->Span({-1, 0, -1}, {3, 1, 1});
  meshes[1]->Span({2, 2, 2}, {3, 3, 3});
  meshes[2]->Span({0, 0, 0}, {1, 4, 1});
  meshes[2]->dynamic = 1;
  ASSERT_EQ(scene->BuildOctree(1.5f, 0), 1u);
  const UINT built = scene->GetNumberOfOctreeCells();
  const std::string original = Describe(scene->GetOctree(), scene);
  ASSERT_TRUE(Holds(scene->GetOctree(), meshes[2]));
  ASSERT_EQ(scene->SaveOctree(), 1u);

  log.entries.clear();
  UINT cells = 0;
  std::unique_ptr<COctree> loaded(Load(1.5f, &cells));
  ASSERT_NE(loaded, nullptr) << Errors();
  EXPECT_EQ(cells, built);
  EXPECT_EQ(Describe(loaded.get(), scene), original);
  EXPECT_THAT(original, HasSubstr(" meshes 0\n"));
  EXPECT_THAT(original, HasSubstr(" meshes 1\n"));
  EXPECT_FALSE(Holds(loaded.get(), meshes[2]));  // dynamic meshes are filed by the next pass
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "- Loading Octree File Finished\n");
  EXPECT_EQ(Errors(), "");
}

TEST_F(OctreeFileTest, ASingleLeafIsOneCellChunkListingOnlyItsStaticMeshes) {
  // Three static meshes and a dynamic one in a tree that is a single leaf.
  FakeOctreeMesh* dynamic = AddMesh("dynamic");
  dynamic->dynamic = 1;
  for (UINT i = 0; i < 4; ++i)
    static_cast<FakeOctreeMesh*>(scene->GetMesh(i))->Span({0, 0, 0}, {0.5f, 0.5f, 0.5f});
  ASSERT_EQ(scene->BuildOctree(8.0f, 0), 1u);
  ASSERT_EQ(scene->GetNumberOfOctreeCells(), 1u);
  ASSERT_EQ(scene->SaveOctree(), 1u);

  const std::vector<uint8_t> expected = OctreeFile(8.0f, [&](CChunkBuilder& b) {
    COctree* root = scene->GetOctree();
    b.Begin("OCTR").Begin("MSHS").U32(32);
    for (UINT index : {0u, 1u, 2u}) b.U32Chunk("MESH", index);
    b.End();
    Vector(b, "VPOS", *root->GetPosition());
    Vector(b, "VEXT", *root->GetExtents());
    Vector(b, "VMAX", root->GetMax());
    Vector(b, "VMIN", root->GetMin());
    b.U32Chunk("MYID", 0).U32Chunk("LEVL", 0).End();
  });
  const std::vector<uint8_t> written = ReadFile();
  EXPECT_EQ(written, expected);
  uint32_t mshsSize = 0;
  std::memcpy(&mshsSize, &written[32], 4);
  EXPECT_EQ(mshsSize, 40u);
}

TEST_F(OctreeFileTest, AFiledMeshTheSceneDoesNotListIsLeftOutOfTheFile) {
  static_cast<FakeOctreeMesh*>(scene->GetMesh(1))->Span({0, 0, 0}, {1, 1, 1});
  ASSERT_EQ(scene->BuildOctree(8.0f, 0), 1u);
  FakeOctreeMesh stranger;
  stranger.Span({0, 0, 0}, {1, 1, 1});
  scene->GetOctree()->InsertMesh(&stranger);
  log.entries.clear();
  ASSERT_EQ(scene->SaveOctree(), 1u);
  EXPECT_EQ(Errors(),
            "ERROR!!! - Can't Save COctree::MESH, Can't Find Mesh In Its Parent Scene\n");

  UINT cells = 0;
  std::unique_ptr<COctree> loaded(Load(8.0f, &cells));
  ASSERT_NE(loaded, nullptr) << Errors();
  CMeshInterface** entries = nullptr;
  UINT slots = 0;
  loaded->GetMeshes(&entries, &slots);
  ASSERT_EQ(slots, 32u);
  EXPECT_EQ(entries[0], scene->GetMesh(0));
  EXPECT_EQ(entries[1], scene->GetMesh(1));
  EXPECT_EQ(entries[2], scene->GetMesh(2));
  EXPECT_EQ(entries[3], nullptr);
}

TEST_F(OctreeFileTest, SavingNeedsATreeWithTheCountTheSceneExpects) {
  EXPECT_EQ(scene->SaveOctree(), 0u);
  EXPECT_EQ(Errors(), "ERROR!!! - Can't Write Octree, It Should Be Created First\n");

  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
  log.entries.clear();
  scene->SetNumberOfOctreeCells(scene->GetNumberOfOctreeCells() + 1);
  EXPECT_EQ(scene->SaveOctree(), 0u);
  EXPECT_EQ(Errors(), "ERROR!!! - Can't Write Octree, Incorrect Number Of Octree Cells\n");
  EXPECT_TRUE(ReadFile().empty());
}

TEST_F(OctreeFileTest, AFileForAnotherFMinIsRefusedAndTheTreeBuiltAgain) {
  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
  ASSERT_EQ(scene->SaveOctree(), 1u);
  const std::vector<uint8_t> saved = ReadFile();

  TestScene* other = new TestScene(nullptr, &log);
  other->SetName("level");
  log.entries.clear();
  ASSERT_EQ(other->BuildOctree(std::nextafter(1.0f, 2.0f), 0), 1u);
  EXPECT_EQ(Errors(),
            "ERROR!!! - Incorrect Octree File, FMin Parameter Is Different: 1.000000 - "
            "1.000000\n");
  EXPECT_THAT(log.TextAt(CEngineLog::kLevelInfo), HasSubstr("- Building Octree For: level.oct"));
  EXPECT_NE(other->GetOctree(), nullptr);
  EXPECT_EQ(ReadFile(), saved);
  other->Release();
}

TEST_F(OctreeFileTest, TheRootIsCellZeroWhereverItLies) {
  // A one-leaf root after an unlinked-looking leaf that is its child, and a 4-byte stray word
  // between them.
  WriteFile(OctreeFile(1.0f, [](CChunkBuilder& b) {
    Cell leaf;
    leaf.id = 1;
    leaf.level = 1;
    leaf.parent = 0;
    leaf.max = {2, 2, 2};
    leaf.entries = 32;
    leaf.meshes = {2};
    AddCell(b, leaf);
    b.Tag("JUNK");
    Cell root;
    root.children[3] = 1;
    root.children[5] = 9;  // names no cell: logged, left empty
    AddCell(b, root);
  }));
  UINT cells = 0;
  std::unique_ptr<COctree> root(Load(1.0f, &cells));
  ASSERT_NE(root, nullptr) << Errors();
  EXPECT_EQ(cells, 2u);
  EXPECT_EQ(root->GetID(), 0u);
  EXPECT_EQ(root->GetChild(3)->GetID(), 1u);
  EXPECT_EQ(root->GetChild(5), nullptr);
  EXPECT_EQ(Errors(),
            "ERROR!!! - Unknown Chunk In The Octree File: level.oct\n"
            "ERROR!!! - Can't Get Octree (0) Child[ 5 ]\n");
  CMeshInterface** entries = nullptr;
  UINT slots = 0;
  root->GetChild(3)->GetMeshes(&entries, &slots);
  ASSERT_EQ(slots, 32u);
  EXPECT_EQ(entries[0], scene->GetMesh(2));
}

TEST_F(OctreeFileTest, UnknownSubChunksInACellAreSkippedBySize) {
  WriteFile(OctreeFile(1.0f, [](CChunkBuilder& b) {
    Cell root;
    root.extra = [](CChunkBuilder& c) { c.Chunk("NOTE", [](CChunkBuilder& p) { p.U32(7).U16(1); }); };
    AddCell(b, root);
  }));
  UINT cells = 0;
  std::unique_ptr<COctree> root(Load(1.0f, &cells));
  ASSERT_NE(root, nullptr) << Errors();
  EXPECT_EQ(*root->GetPosition(), CVector3(2, 2, 2));
  EXPECT_EQ(Errors(), "");
}

// Each damaged file is refused with its message, and every cell read before the damage is freed.
TEST_F(OctreeFileTest, DamagedFilesAreRefusedWithoutLeavingCellsBehind) {
  auto cells = [](std::function<void(CChunkBuilder&)> add) { return OctreeFile(1.0f, add); };
  auto withRoot = [&](std::function<void(Cell&)> change) {
    return cells([change](CChunkBuilder& b) {
      Cell root;
      change(root);
      AddCell(b, root);
    });
  };
  std::vector<uint8_t> good = cells([](CChunkBuilder& b) { EightLeaves(b); });
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  std::vector<uint8_t> notTree = good;
  std::memcpy(notTree.data(), "TRES", 4);

  const std::string length = std::to_string(good.size());
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    std::string message;
  };
  const Case cases[] = {
      {"one byte longer", longer,
       "ERROR!!! - Incorrect File Size: level.oct, Is: " + length +
           ", Should Be: " + std::to_string(good.size() + 1) + "\n"},
      {"one byte shorter", std::vector<uint8_t>(good.begin(), good.end() - 1),
       "ERROR!!! - Incorrect File Size: level.oct, Is: " + length +
           ", Should Be: " + std::to_string(good.size() - 1) + "\n"},
      {"not a tree", notTree, "ERROR!!! - Incorrect Octree File, TREE Chunk Expected: level.oct\n"},
      {"no cell 0", cells([](CChunkBuilder& b) {
         Cell only;
         only.id = 3;
         AddCell(b, only);
       }),
       "ERROR!!! - No Octree Root In The File: level.oct\n"},
      {"a leaf left out of the tree", cells([](CChunkBuilder& b) {
         EightLeaves(b, {1, 2, 3, 4, 5, 6, 7, OCTREE_NO_LINK});
       }),
       "ERROR!!! - Octree Cells Don't Form One Tree: level.oct\n"},
      {"a child that is its parent's parent", cells([](CChunkBuilder& b) {
         Cell root;
         root.children[0] = 1;
         root.parent = 1;
         AddCell(b, root);
         Cell child;
         child.id = 1;
         child.level = 1;
         child.parent = 0;
         child.children[0] = 0;
         AddCell(b, child);
       }),
       "ERROR!!! - Octree Cells Don't Form One Tree: level.oct\n"},
      {"a child listed twice", cells([](CChunkBuilder& b) {
         EightLeaves(b, {1, 2, 3, 4, 5, 6, 7, 1});
       }),
       "ERROR!!! - Octree Cells Don't Form One Tree: level.oct\n"},
      {"a +X brother on the -X side", cells([](CChunkBuilder& b) {
         Cell root;
         root.brothers[COctree::kPositiveX] = 0;
         AddCell(b, root);
       }),
       "ERROR!!! - Octree Cells Don't Form One Tree: level.oct\n"},
      {"a level that needs more than 16 bits", withRoot([](Cell& c) { c.level = 70000; }),
       "ERROR!!! - Can't Load Octree::LEVL, Level 70000 Too Deep\n"
       "ERROR!!! - Can't Load Octree::LEVL\n"
       "ERROR!!! - Can't Read Octree From The File: level.oct\n"},
      {"an entry count that needs more than 16 bits", withRoot([](Cell& c) { c.entries = 65536; }),
       "ERROR!!! - Can't Read Octree::MSHS, Too Many Entries: 65536\n"},
      {"more meshes than entries", withRoot([](Cell& c) {
         c.entries = 1;
         c.meshes = {0, 1};
       }),
       "ERROR!!! - Can't Read Octree::MSHS, Too Many Meshes In SubChunks: 1 - 1\n"},
      {"a mesh the scene does not have", withRoot([](Cell& c) {
         c.entries = 32;
         c.meshes = {3};
       }),
       "ERROR!!! - Can't Read Octree::MESH, No Mesh 3 In The Scene\n"},
      {"an MSHS size that disagrees with its meshes", withRoot([](Cell& c) {
         c.extra = [](CChunkBuilder& b) {
           b.Chunk("MSHS", 20, [](CChunkBuilder& p) { p.U32(32).U32Chunk("MESH", 0); });
         };
       }),
       "ERROR!!! - Can't Read Octree::MSHS Size Mismatch: 20 - 16\n"},
      {"an unknown sub-chunk running past its cell", withRoot([](Cell& c) {
         c.extra = [](CChunkBuilder& b) { b.Chunk("NOTE", 4000, [](CChunkBuilder&) {}); };
       }),
       "ERROR!!! - Octree::NOTE Size Mismatch\n"},
      {"an unknown sub-chunk with a negative size", withRoot([](Cell& c) {
         c.extra = [](CChunkBuilder& b) { b.Chunk("NOTE", 0xFFFFFFF0u, [](CChunkBuilder&) {}); };
       }),
       "ERROR!!! - Octree::NOTE Size Mismatch\n"},
      {"a cell chunk running past the file", cells([](CChunkBuilder& b) {
         b.Begin("OCTR", 5000).U32Chunk("MYID", 0).End();
       }),
       "ERROR!!! - Octree::OCTR Size Mismatch\n"},
      {"a link of the wrong size", withRoot([](Cell& c) {
         c.extra = [](CChunkBuilder& b) { b.Chunk("CHL2", [](CChunkBuilder& p) { p.U16(1); }); };
       }),
       "ERROR!!! - Octree::CHL2 Size Mismatch\nERROR!!! - Can't Load Octree::CHL2\n"},
      {"a vector of the wrong size", withRoot([](Cell& c) {
         c.extra = [](CChunkBuilder& b) { b.U32Chunk("VMAX", 1); };
       }),
       "ERROR!!! - Can't Load Octree::VMAX, Size Mismatch\nERROR!!! - Can't Load Octree::VMAX\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(c.file);
    log.entries.clear();
    UINT count = 77;
    EXPECT_EQ(Load(1.0f, &count), nullptr);
    EXPECT_EQ(count, 77u);
    EXPECT_THAT(Errors(), HasSubstr(c.message));
    // The same load again without a log, so that only cells could outlive it.
    const size_t before = LiveHeapBytes();
    EXPECT_EQ(COctreeFile(nullptr, nullptr, scene).Load("level.oct", 1.0f, &count), nullptr);
    EXPECT_EQ(LiveHeapBytes(), before);
  }
}

TEST_F(OctreeFileTest, AFileWithMoreCellsThanTheTableHoldsIsRefused) {
  WriteFile(OctreeFile(1.0f, [](CChunkBuilder& b) {
    for (UINT i = 0; i <= OCTREE_MAX_CELLS; ++i) b.Begin("OCTR").U32Chunk("MYID", i).End();
  }));
  UINT count = 0;
  EXPECT_EQ(Load(1.0f, &count), nullptr);
  EXPECT_EQ(Errors(), "ERROR!!! - Too Many Cells In The Octree File: level.oct\n");
}


// Levels of engine meshes with real bound volumes, each as it stands before its first frame:
// every mesh has just run its passes, so every one counts as changed, moving or not.
class OctreeFileMeshTest : public OctreeFileTest {
 protected:
  struct Level {
    TestScene* scene;
    std::vector<CMesh*> meshes;  // in the order of kMeshes
  };
  struct MeshCase {
    const char* name;
    CVector3 min, max;
    bool moves;
  };
  // Boxes inside unit cells, so that none is told of more cells than a mesh has room for.
  static constexpr MeshCase kMeshes[] = {
      {"floor", {0.1f, 0.1f, 0.1f}, {1.9f, 0.4f, 1.9f}, false},
      {"pillar", {3.1f, 0.1f, 3.1f}, {4, 4, 4}, false},
      {"walker", {0.1f, 1.1f, 0.1f}, {0.9f, 1.9f, 0.9f}, true},
      {"rider", {0.1f, 2.1f, 0.1f}, {0.9f, 2.9f, 0.9f}, true},
      {"morpher", {2.1f, 1.1f, 0.1f}, {2.9f, 1.9f, 0.9f}, true},
      {"skinned", {0.1f, 1.1f, 2.1f}, {0.9f, 1.9f, 2.9f}, true},
  };

  OctreeFileMeshTest() { CMesh::SetSpatial(&spatial); }
  // The meshes give their bound volumes back through the spatial calls.
  ~OctreeFileMeshTest() override {
    for (TestScene* level : levels) level->Release();
    CMesh::SetSpatial(nullptr);
  }

  // The same level every time: a mesh moved by its motion keys, one by its parent, one by its
  // morph target and one by its bones, among meshes nothing moves.
  Level MakeLevel() {
    Level level{new TestScene(nullptr, &log), {}};
    levels.push_back(level.scene);
    level.scene->SetName("world");
    for (const MeshCase& c : kMeshes) {
      auto* mesh = new CMesh(nullptr, &log, level.scene, 0);
      mesh->SetName(c.name);
      Vertex corners[2] = {};
      corners[0].vecPosition = c.min;
      corners[1].vecPosition = c.max;
      EXPECT_EQ(mesh->SetVertices(2, corners, 1), 2u);
      level.scene->AppendWorldObject(mesh);
      level.meshes.push_back(mesh);
    }
    CMotion* walk = level.meshes[2]->GetMotion(0.0f);
    walk->SetNumberOfChannels(MOTION_CHANNELS);
    walk->GetChannel(MOTION_POSITION_X)->AddKeyData(0, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    walk->GetChannel(MOTION_POSITION_X)->AddKeyData(2, 20, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    level.meshes[3]->SetParentObject(level.meshes[2]);
    level.meshes[4]->SetMorphTarget(level.meshes[0]);
    EXPECT_NE(level.meshes[5]->CreateBones(1), nullptr);
    level.meshes[5]->SetUseBones(1);
    for (CMesh* mesh : level.meshes) {
      mesh->PrepareMatrices(0.0f);
      mesh->UpdateHierarchy(0.0f);
    }
    return level;
  }

  // The ids of the cells that hold the mesh.
  static std::set<UINT> CellsHolding(COctree* root, CMeshInterface* mesh) {
    std::vector<COctree*> cells(OCTREE_MAX_CELLS);
    UINT count = 0;
    root->CollectCells(cells.data(), &count, OCTREE_MAX_CELLS);
    std::set<UINT> ids;
    for (UINT i = 0; i < count; ++i) {
      CMeshInterface** entries = nullptr;
      UINT slots = 0;
      cells[i]->GetMeshes(&entries, &slots);
      if (entries != nullptr && std::find(entries, entries + slots, mesh) != entries + slots)
        ids.insert(cells[i]->GetID());
    }
    return ids;
  }

  CMeshSpatialServices spatial{&log};
  std::vector<TestScene*> levels;
};

TEST_F(OctreeFileMeshTest, ATreeSavedBeforeTheFirstFrameKeepsItsStaticMeshesInTheirCells) {
  const Level built = MakeLevel();
  ASSERT_EQ(built.scene->BuildOctree(1.0f, 0), 1u);
  std::vector<std::set<UINT>> filed;
  for (CMesh* mesh : built.meshes) filed.push_back(CellsHolding(built.scene->GetOctree(), mesh));
  ASSERT_EQ(built.scene->SaveOctree(), 1u) << Errors();

  const Level loaded = MakeLevel();
  log.entries.clear();
  ASSERT_EQ(loaded.scene->BuildOctree(1.0f, 0), 1u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "- Loading Octree File Finished\n");
  EXPECT_EQ(Errors(), "");
  for (size_t i = 0; i < std::size(kMeshes); ++i) {
    SCOPED_TRACE(kMeshes[i].name);
    ASSERT_FALSE(filed[i].empty());
    const std::set<UINT> held = CellsHolding(loaded.scene->GetOctree(), loaded.meshes[i]);
    // Moving meshes are filed again by their next hierarchy pass.
    EXPECT_EQ(held, kMeshes[i].moves ? std::set<UINT>() : filed[i]);
  }
}

}  // namespace
