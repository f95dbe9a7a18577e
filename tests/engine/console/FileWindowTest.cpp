// The load and save windows over a folder tree the test writes, on the Null renderer: the
// console makes them, tests click their widgets by firing the widgets' own events.
#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

#include <CEGUI/widgets/Combobox.h>
#include <CEGUI/widgets/Listbox.h>
#include <CEGUI/widgets/ListboxItem.h>
#include <CEGUI/widgets/MultiColumnList.h>
#include <CEGUI/widgets/PushButton.h>

#include <array>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "ConsoleBench.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "zkplatform/ZkPaths.h"

namespace {

using Strings = std::vector<std::string>;
using Filter = char[CFileWindow::kFilterSize];

struct Accepted {
  std::vector<std::string> paths;
};
void RecordPath(const char* path, void* data) { static_cast<Accepted*>(data)->paths.push_back(path); }

class FileWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.started) << bench.Errors();
    engineFolder = folder.Path() + "/bin/";
    folder.Write("bin/engine.txt", "e");
    folder.Write("textures/wall.dds", "dds");
    folder.Write("textures/README", "r");
    folder.Write("textures/sky.png", "png");
    folder.Write("textures/stone/rough.dds", "dds");
    bench.context->szApplicationFolder = engineFolder.data();
  }
  void TearDown() override {
    bench.context->szApplicationFolder = nullptr;
    for (char letter : {'C', 'E'}) ZkSetDriveFolder(letter, nullptr);
  }

  CEGUI::Window* Widget(const std::string& prefix, const char* path) {
    return bench.Window((prefix + path).c_str());
  }
  static void Fire(CEGUI::Window* window, const CEGUI::String& event) {
    CEGUI::WindowEventArgs args(window);
    window->fireEvent(event, args);
  }
  // The list's rows, each as its six cells joined by '|'.
  Strings Rows(const std::string& prefix) {
    auto* list = static_cast<CEGUI::MultiColumnList*>(Widget(prefix, "/MultiColumnList"));
    Strings rows;
    for (unsigned row = 0; row < list->getRowCount(); ++row) {
      std::string text;
      for (unsigned column = 0; column < 6; ++column) {
        const CEGUI::ListboxItem* item = list->getItemAtGridReference(CEGUI::MCLGridRef(row, column));
        text += (column ? "|" : "") + std::string(item ? item->getText().c_str() : "");
      }
      rows.push_back(text);
    }
    return rows;
  }
  // The rows' names (folders first, as listed).
  Strings Names(const std::string& prefix) {
    Strings names;
    for (const std::string& row : Rows(prefix)) {
      const size_t bar = row.find('|');
      names.push_back(row.substr(bar + 1, row.find('|', bar + 1) - bar - 1));
    }
    return names;
  }
  void ClickRow(const std::string& prefix, const std::string& name) {
    auto* list = static_cast<CEGUI::MultiColumnList*>(Widget(prefix, "/MultiColumnList"));
    const Strings names = Names(prefix);
    const auto at = std::find(names.begin(), names.end(), name);
    ASSERT_NE(at, names.end()) << name;
    list->setItemSelectState(CEGUI::MCLGridRef(static_cast<unsigned>(at - names.begin()), 1), true);
    Fire(list, CEGUI::Window::EventMouseClick);
  }
  bool OpenSave(const char* path, Accepted* accepted, const Filter* filters = nullptr,
                unsigned count = 0) {
    return bench.console->OpenSaveWindow(path, filters, count, RecordPath, accepted);
  }

  static constexpr const char* kSave = "ZeKorb/Console/SaveWindow";
  static constexpr const char* kLoad = "ZeKorb/Console/LoadWindow";
  TempDir folder;
  WorkingFolderScope working{folder.Path()};
  std::string engineFolder;
  ConsoleBench bench;
  Accepted accepted;
};

TEST_F(FileWindowTest, FiltersFillTheComboboxWithTheJoinedTextShown) {
  const Filter images[] = {"*.bmp", "*.dds", "*.hdr", "*.jpg", "*.png", "*.tga"};
  ASSERT_TRUE(OpenSave(nullptr, &accepted, images, 6));
  auto* combobox = static_cast<CEGUI::Combobox*>(Widget(kSave, "/Combobox"));
  Strings items;
  for (size_t i = 0; i < combobox->getItemCount(); ++i)
    items.push_back(combobox->getListboxItemFromIndex(i)->getText().c_str());
  EXPECT_EQ(items, (Strings{"*.bmp", "*.dds", "*.hdr", "*.jpg", "*.png", "*.tga",
                            "*.bmp;*.dds;*.hdr;*.jpg;*.png;*.tga;", "*.*"}));
  EXPECT_EQ(combobox->getText(), "*.bmp;*.dds;*.hdr;*.jpg;*.png;*.tga;");
  Fire(Widget(kSave, "/Cancel"), CEGUI::PushButton::EventClicked);

  ASSERT_TRUE(OpenSave(nullptr, &accepted));
  ASSERT_EQ(combobox->getItemCount(), 1u);
  EXPECT_EQ(combobox->getText(), "*.*");
}

// Filters past the buffers: more than 64, an unterminated 8-byte one, a joined text past 255.
TEST_F(FileWindowTest, FiltersAreBoundedToTheirBuffers) {
  std::vector<std::array<char, 8>> many(70);
  for (size_t i = 0; i < many.size(); ++i) std::snprintf(many[i].data(), 8, "*.%05zu", i);
  std::memcpy(many[1].data(), "abcdefgh", 8);  // no terminator
  ASSERT_TRUE(OpenSave(nullptr, &accepted, reinterpret_cast<const Filter*>(many[0].data()), 70));
  auto* combobox = static_cast<CEGUI::Combobox*>(Widget(kSave, "/Combobox"));
  ASSERT_EQ(combobox->getItemCount(), 64u + 2u);
  EXPECT_EQ(combobox->getListboxItemFromIndex(1)->getText(), "abcdefg");
  EXPECT_EQ(combobox->getListboxItemFromIndex(63)->getText(), "*.00063");
  const std::string joined = combobox->getText().c_str();
  EXPECT_EQ(joined.size(), 255u);
  EXPECT_EQ(joined.substr(0, 16), "*.00000;abcdefg;");
}

TEST_F(FileWindowTest, SaveWindowListsTheEngineFolderFirstAndThenThePathsFolder) {
  ASSERT_TRUE(OpenSave(nullptr, &accepted));
  EXPECT_EQ(bench.console->OpenSaveWindow(nullptr, nullptr, 0, nullptr, nullptr), false)
      << "open already";
  EXPECT_EQ(Names(kSave), (Strings{"..", "engine"}));
  Fire(Widget(kSave, "/Cancel"), CEGUI::PushButton::EventClicked);

  ASSERT_TRUE(OpenSave("textures\\wall.dds", &accepted));
  EXPECT_EQ(Names(kSave), (Strings{"stone", "README", "sky", "wall"}));
  const Strings rows = Rows(kSave);
  // A relative folder of one component counts as a root, as a drive's does: no parent row.
  EXPECT_EQ(rows[0].substr(0, 8), "d|stone|");
  EXPECT_EQ(rows[2].substr(0, 11), "|sky|png|3|") << rows[2];
  EXPECT_EQ(rows[1].substr(0, 11), "|README||1|") << "no extension";
}

TEST_F(FileWindowTest, ASecondShowIsRefusedAndTheFirstCallbackKept) {
  Accepted second;
  ASSERT_TRUE(OpenSave("textures\\", &accepted));
  EXPECT_FALSE(OpenSave("bin\\", &second));
  ClickRow(kSave, "wall");
  Fire(Widget(kSave, "/Save"), CEGUI::PushButton::EventClicked);
  EXPECT_EQ(accepted.paths, Strings{"textures\\wall.dds"});
  EXPECT_TRUE(second.paths.empty());
}

TEST_F(FileWindowTest, FileClicksFillTheNameAndAcceptCallsBackWithTheFolder) {
  ASSERT_TRUE(OpenSave("textures\\", &accepted));
  CEGUI::Window* editbox = Widget(kSave, "/Editbox");
  ClickRow(kSave, "README");
  EXPECT_EQ(editbox->getText(), "README");
  ClickRow(kSave, "wall");
  EXPECT_EQ(editbox->getText(), "wall.dds");

  editbox->setText("");
  Fire(Widget(kSave, "/Save"), CEGUI::PushButton::EventClicked);
  EXPECT_TRUE(accepted.paths.empty()) << "an empty name calls nothing";
  EXPECT_FALSE(Widget(kSave, "")->isVisible());

  ASSERT_TRUE(OpenSave(nullptr, &accepted));
  EXPECT_TRUE(Widget(kSave, "")->isVisible());
  editbox->setText("new.dds");
  Fire(Widget(kSave, "/Save"), CEGUI::PushButton::EventClicked);
  EXPECT_EQ(accepted.paths, Strings{"textures\\new.dds"});
  EXPECT_EQ(editbox->getText(), "");
}

TEST_F(FileWindowTest, FoldersAreEnteredAndLeftAndTheRootHasNoParentRow) {
  ASSERT_TRUE(OpenSave("textures\\", &accepted));
  ClickRow(kSave, "stone");
  EXPECT_EQ(Names(kSave), (Strings{"..", "rough"}));
  ClickRow(kSave, "..");
  EXPECT_EQ(Names(kSave), (Strings{"stone", "README", "sky", "wall"}));
  ClickRow(kSave, "wall");
  Fire(Widget(kSave, "/Save"), CEGUI::PushButton::EventClicked);
  EXPECT_EQ(accepted.paths, Strings{"textures\\wall.dds"}) << "back in textures\\";

  ASSERT_TRUE(OpenSave("/", &accepted));
  const Strings root = Names(kSave);
  EXPECT_EQ(std::count(root.begin(), root.end(), ".."), 0) << "no parent above the root";
  EXPECT_NE(std::find(root.begin(), root.end(), "tmp"), root.end());
}

TEST_F(FileWindowTest, EachFilterSearchesOnItsOwnAndDuplicatesStay) {
  const Filter filters[] = {"*.dds", "wall*"};
  ASSERT_TRUE(OpenSave("textures\\", &accepted, filters, 2));
  EXPECT_EQ(Names(kSave), (Strings{"stone", "wall", "wall"}));
  // Choosing "*.*" lists every file.
  auto* combobox = static_cast<CEGUI::Combobox*>(Widget(kSave, "/Combobox"));
  combobox->setText("*.*");
  Fire(combobox, CEGUI::Combobox::EventListSelectionAccepted);
  EXPECT_EQ(Names(kSave), (Strings{"stone", "README", "sky", "wall"}));
  combobox->setText("*.png;*.dds;");
  Fire(combobox, CEGUI::Combobox::EventListSelectionAccepted);
  EXPECT_EQ(Names(kSave), (Strings{"stone", "sky", "wall"}));
}

TEST_F(FileWindowTest, SizesTakeBothWordsAndDatesAndTimesTheirFormats) {
  std::filesystem::create_directories(folder / "big");
  { std::ofstream big(folder / "big/huge.bin"); }
  std::filesystem::resize_file(folder / "big/huge.bin", 3000000000ull);  // sparse
  struct Case {
    const char* file;
    int year, month, day, hour, minute;
    const char* date;
    const char* time;
  };
  const Case cases[] = {{"early.txt", 2026, 12, 9, 8, 5, "09-12-2026", "08:05"},
                        {"late.txt", 2025, 10, 31, 23, 59, "31-10-2025", "23:59"}};
  for (const Case& c : cases) {
    folder.Write(std::string("big/") + c.file, "x");
    std::tm when = {};
    when.tm_year = c.year - 1900;
    when.tm_mon = c.month - 1;
    when.tm_mday = c.day;
    when.tm_hour = c.hour;
    when.tm_min = c.minute;
    const timeval times[2] = {{timegm(&when), 0}, {timegm(&when), 0}};
    ASSERT_EQ(utimes((folder / "big/" + c.file).c_str(), times), 0);
  }
  ASSERT_TRUE(OpenSave("big\\", &accepted));
  const Strings rows = Rows(kSave);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "|early|txt|1|09-12-2026|08:05");
  EXPECT_EQ(rows[1].substr(0, 21), "|huge|bin|3000000000|");
  EXPECT_EQ(rows[2], "|late|txt|1|31-10-2025|23:59");
}

// A folder whose path would not fit its 260 characters is not entered; the folder stays.
TEST_F(FileWindowTest, AFolderPathThatWouldNotFitIsRefused) {
  std::string deep = "textures\\";
  while (deep.size() < 255) deep += ".\\";  // 255 characters, still the textures folder
  ASSERT_TRUE(OpenSave(deep.c_str(), &accepted));
  EXPECT_EQ(Names(kSave), (Strings{"..", "stone", "README", "sky", "wall"}));
  struct Case {
    const char* what;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"a clicked folder", [&] { ClickRow(kSave, "stone"); }},
      {"a path handed to Show",
       [&] {
         Fire(Widget(kSave, "/Cancel"), CEGUI::PushButton::EventClicked);
         ASSERT_TRUE(OpenSave((deep + "stone\\.\\x").c_str(), &accepted));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bench.log.entries.clear();
    c.act();
    EXPECT_EQ(Names(kSave), (Strings{"..", "stone", "README", "sky", "wall"}));
    EXPECT_NE(bench.Errors().find("WARNING - Folder Path Too Long"), std::string::npos)
        << bench.Errors();
  }
  ClickRow(kSave, "wall");
  Fire(Widget(kSave, "/Save"), CEGUI::PushButton::EventClicked);
  EXPECT_EQ(accepted.paths, Strings{deep + "wall.dds"});
}

TEST_F(FileWindowTest, TheLoadWindowListsTheDrivesAndOpensAtItsFoldersDrive) {
  std::filesystem::create_directories(folder / "c");
  folder.Write("e/game/runtime/level.zks", "z");
  ASSERT_TRUE(ZkSetDriveFolder('c', (folder / "c").c_str()));
  ASSERT_TRUE(ZkSetDriveFolder('E', (folder / "e").c_str()));
  ASSERT_TRUE(bench.console->OpenLoadWindow("E:\\game\\runtime\\level.zks", nullptr, 0, RecordPath,
                                            &accepted));
  auto* disks = static_cast<CEGUI::Listbox*>(Widget(kLoad, "/DisksList"));
  ASSERT_EQ(disks->getItemCount(), 2u);
  EXPECT_EQ(disks->getListboxItemFromIndex(0)->getText(), "C:");
  EXPECT_EQ(disks->getListboxItemFromIndex(1)->getText(), "E:");
  EXPECT_TRUE(disks->getListboxItemFromIndex(1)->isSelected());
  EXPECT_EQ(Names(kLoad), Strings{"game"}) << "the drive's root, with no parent row";

  disks->setItemSelectState(size_t{0}, true);  // the user chooses C:
  EXPECT_TRUE(Names(kLoad).empty());
  EXPECT_FALSE(disks->getListboxItemFromIndex(1)->isSelected());
}

TEST_F(FileWindowTest, WithoutDrivesTheLoadWindowSelectsNothingAndListsItsFolder) {
  ASSERT_TRUE(bench.console->OpenLoadWindow(nullptr, nullptr, 0, RecordPath, &accepted));
  auto* disks = static_cast<CEGUI::Listbox*>(Widget(kLoad, "/DisksList"));
  EXPECT_EQ(disks->getItemCount(), 0u);
  EXPECT_EQ(Names(kLoad), (Strings{"..", "engine"}));
}

TEST(FileWindowNamesTest, ExtensionsAndFileNames) {
  struct Case {
    const char* name;
    const char* extension;  // null: none
    const char* file;
  };
  const Case cases[] = {{"wall.dds", "dds", "wall.dds"},
                        {"textures\\wall.dds", "dds", "wall.dds"},
                        {"my.folder\\README", nullptr, "README"},
                        {"/bin/engine.", "", "engine."},
                        {"plain", nullptr, "plain"},
                        {"a/b\\c.tar.gz", "gz", "c.tar.gz"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const char* extension = CFileWindow::FindExtension(c.name);
    if (c.extension)
      EXPECT_STREQ(extension, c.extension);
    else
      EXPECT_EQ(extension, nullptr);
    EXPECT_STREQ(CFileWindow::FindFileName(c.name), c.file);
  }
}

}  // namespace
