// The scene editor over real scenes of the engine's list: its rows, the preview scene left out by
// its exact name, Edit on the kinds of row, and showing while open.
#include <gtest/gtest.h>

#include <CEGUI/widgets/ListboxItem.h>
#include <CEGUI/widgets/MultiColumnList.h>

#include <string>
#include <utility>
#include <vector>

#include "EditorBench.h"
#include "console/SceneEditor.h"

namespace {

struct Row {
  std::string kind;
  std::string name;
  void* object;
  bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{" << row.kind << ", '" << row.name << "', " << row.object << "}";
}

class SceneEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bench.console->started) << bench.Errors(); }

  CEGUI::MultiColumnList* List() {
    return static_cast<CEGUI::MultiColumnList*>(bench.Window(Name("/MultiColumnList")));
  }
  // Every row; both items of a row must carry the same object.
  std::vector<Row> Rows() {
    std::vector<Row> rows;
    CEGUI::MultiColumnList* list = List();
    for (unsigned row = 0; row < list->getRowCount(); ++row) {
      CEGUI::ListboxItem* kind = list->getItemAtGridReference(CEGUI::MCLGridRef(row, 0));
      CEGUI::ListboxItem* name = list->getItemAtGridReference(CEGUI::MCLGridRef(row, 1));
      EXPECT_EQ(kind->getID(), 0u);
      EXPECT_EQ(name->getID(), 1u);
      EXPECT_EQ(kind->getUserData(), name->getUserData()) << row;
      rows.push_back({kind->getText().c_str(), name->getText().c_str(), kind->getUserData()});
    }
    return rows;
  }
  void Select(unsigned row) {
    List()->setItemSelectState(CEGUI::MCLGridRef(row, 0), true);
  }
  static std::string Name(const char* path) { return std::string(CSceneEditor::kFrameName) + path; }
  bool Shown() { return bench.Window(CSceneEditor::kFrameName)->isVisible(); }
  void Open(CSceneInterface* scene = nullptr) { bench.console->console->OpenSceneEditor(scene); }

  EditorBench bench;
};

TEST_F(SceneEditorTest, ListsASceneWithItsSurfacesBeneathTheirMeshesThenNullsLightsAndCameras) {
  CScene* scene = bench.AddScene("level");
  CMeshInterface* wall = bench.AddMesh(scene, "wall", 3);
  CMeshInterface* floor = bench.AddMesh(scene, "floor", 3);
  CNullInterface* null = scene->AddNull();
  null->SetName("spawn");
  CLightInterface* light = scene->AddLight();
  light->SetName("sun");
  CCameraInterface* first = scene->AddCamera();
  CCameraInterface* second = scene->AddCamera();
  Open();
  ASSERT_TRUE(Shown());
  const std::vector<Row> expected = {
      {"scene", "level", scene},
      {"mesh", "  wall", wall},
      {"surf", "    wall.0", wall->GetSurface(0)},
      {"surf", "    wall.1", wall->GetSurface(1)},
      {"surf", "    wall.2", wall->GetSurface(2)},
      {"mesh", "  floor", floor},
      {"surf", "    floor.0", floor->GetSurface(0)},
      {"surf", "    floor.1", floor->GetSurface(1)},
      {"surf", "    floor.2", floor->GetSurface(2)},
      {"null", "  spawn", null},
      {"light", "  sun", light},
      {"camera", "  Camera 0", first},
      {"camera", "  Camera 1", second},
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_FALSE(bench.Window(CSceneEditor::kFrameName)->isAlwaysOnTop());
}

TEST_F(SceneEditorTest, AllScenesLeaveOutThePreviewSceneByItsExactNameAndOpenOnceUntilOK) {
  CScene* first = bench.AddScene("first");
  bench.AddScene(CSceneEditor::kPreviewSceneName);
  CScene* lookalike = bench.AddScene("Sphere_material_scene");
  Open();
  EXPECT_EQ(Rows(), (std::vector<Row>{{"scene", "first", first},
                                      {"scene", "Sphere_material_scene", lookalike}}));

  // Open again: the rows stay as they were when the window opened.
  bench.AddScene("later");
  Open(first);
  EXPECT_EQ(Rows().size(), 2u);

  EXPECT_TRUE(bench.Click(Name("/OK")));
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(bench.Window(CSceneEditor::kFrameName)->isDisabled());
  Open(first);
  EXPECT_EQ(Rows(), (std::vector<Row>{{"scene", "first", first}}));
}

TEST_F(SceneEditorTest, AnEmptySceneListOpensAnEmptyTable) {
  Open();
  EXPECT_TRUE(Shown());
  EXPECT_EQ(List()->getRowCount(), 0u);
  EXPECT_EQ(bench.Errors(), "");
}

TEST_F(SceneEditorTest, EditActsOnSurfaceRowsOnlyAndConfigAndFindAreDisabled) {
  CScene* scene = bench.AddScene("level");
  bench.AddMesh(scene, "wall", 1);
  Open();
  EXPECT_FALSE(bench.Click(Name("/Edit"))) << "nothing selected";
  Select(1);
  EXPECT_TRUE(bench.Click(Name("/Edit"))) << "a mesh row: handled, nothing done";
  Select(2);
  EXPECT_TRUE(bench.Click(Name("/Edit"))) << "a surface row";
  EXPECT_TRUE(bench.Window(Name("/Configure"))->isDisabled());
  EXPECT_TRUE(bench.Window(Name("/Find"))->isDisabled());
  EXPECT_EQ(bench.Window(Name("/Configure"))->getText(), "Config");
}

}  // namespace
