// The demo data as the build lays it out: well-formed XML, every file a node or script names
// lying where its reader looks for it (on disk, or in the data archive) and nowhere else, maps
// of Width x Height codes, the first level's walk free from the start past the crate to the
// socket and along the cable, the mini level's corridor free, and the players declaring every
// animation their state machine activates, played once.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cpelto/PeltoPlayer.h"

namespace {

namespace fs = std::filesystem;

const fs::path kRuntime = ZK_DEMO_RUNTIME_DIR;
const fs::path kPacked = ZK_DEMO_PACKED_DIR;
const fs::path kSources = ZK_DEMO_SOURCE_DIR;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A name as the game writes it ("objects\\crate.zks") as a path below a folder.
fs::path Below(const fs::path& folder, std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return folder / name;
}

std::string Attribute(const TiXmlElement* element, const char* name) {
  const char* value = element->Attribute(name);
  return value ? value : "";
}

// The value of `name` in the element's Param children, the last one winning as in the game.
std::string Param(const TiXmlElement* node, const char* name) {
  std::string value;
  for (const TiXmlElement* param = node->FirstChildElement("Param"); param;
       param = param->NextSiblingElement("Param"))
    if (param->Attribute(name)) value = param->Attribute(name);
  return value;
}

// Every element below `element` (itself included) named `name`, in document order.
void Collect(const TiXmlElement* element, const char* name,
             std::vector<const TiXmlElement*>& found) {
  if (element->ValueStr() == name) found.push_back(element);
  for (const TiXmlElement* child = element->FirstChildElement(); child;
       child = child->NextSiblingElement())
    Collect(child, name, found);
}

// A parsed data file with all its top-level elements (the menu file has two).
struct DataFile {
  fs::path path;
  TiXmlDocument document;
  std::vector<const TiXmlElement*> Elements(const char* name) const {
    std::vector<const TiXmlElement*> found;
    for (const TiXmlElement* top = document.FirstChildElement(); top;
         top = top->NextSiblingElement())
      Collect(top, name, found);
    return found;
  }
};

std::vector<fs::path> FilesEndingIn(const fs::path& folder, const std::string& suffix) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().string().ends_with(suffix))
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

const std::vector<std::unique_ptr<DataFile>>& XmlFiles() {
  static std::vector<std::unique_ptr<DataFile>> files = [] {
    std::vector<std::unique_ptr<DataFile>> parsed;
    for (const fs::path& path : FilesEndingIn(kRuntime, ".xml")) {
      auto file = std::make_unique<DataFile>();
      file->path = path;
      file->document.LoadFile(path.string());
      parsed.push_back(std::move(file));
    }
    return parsed;
  }();
  return files;
}

const DataFile& Xml(const std::string& relative) {
  for (const auto& file : XmlFiles())
    if (file->path == kRuntime / relative) return *file;
  static const DataFile none;
  ADD_FAILURE() << "no " << relative;
  return none;
}

// The level files, by folder name.
std::map<std::string, const DataFile*> Levels() {
  std::map<std::string, const DataFile*> levels;
  for (const auto& file : XmlFiles())
    if (file->path.filename() == "config.xml" && file->path.parent_path().parent_path() ==
                                                     kRuntime / "game" / "levels")
      levels[file->path.parent_path().filename().string()] = file.get();
  return levels;
}

TEST(DemoData, XmlIsWellFormedAndNodesAreOnUnlessMeantOff) {
  ASSERT_FALSE(XmlFiles().empty());
  // The head-up display waits for a level; everything else starts on.
  const std::set<std::string> meantOff = {"HUDScreen"};
  for (const auto& file : XmlFiles()) {
    SCOPED_TRACE(file->path.string());
    ASSERT_FALSE(file->document.Error()) << file->document.ErrorDesc();
    ASSERT_NE(file->document.FirstChildElement(), nullptr);
    for (const char* kind : {"Node", "Font", "Cursor"})
      for (const TiXmlElement* node : file->Elements(kind)) {
        const std::string name = Attribute(node, "Name");
        // An absent "Enabled" disables a node as surely as "0".
        EXPECT_EQ(Param(node, "Enabled"), meantOff.count(name) ? "0" : "1") << name;
        const std::string directory = Param(node, "Directory");
        if (!directory.empty()) EXPECT_EQ(directory.back(), '\\') << name;
      }
  }
}

// Where a name is looked for: on disk below the game's folder, or through the data archive.
enum class Reader { Disk, Archive };

struct NamedFile {
  std::string name;
  Reader reader;
  std::string namedBy;
};

std::vector<NamedFile> NamedFiles() {
  std::vector<NamedFile> named;
  auto add = [&](const std::string& name, Reader reader, const DataFile& file) {
    if (!name.empty()) named.push_back({name, reader, file.path.string()});
  };
  for (const auto& file : XmlFiles()) {
    for (const TiXmlElement* game : file->Elements("Game")) add(Attribute(game, "Script"), Reader::Disk, *file);
    for (const TiXmlElement* map : file->Elements("map")) {
      add(Attribute(map, "file"), Reader::Disk, *file);
      add(Attribute(map, "collides"), Reader::Disk, *file);
    }
    for (const TiXmlElement* music : file->Elements("AddMusic"))
      add(Attribute(music, "File"), Reader::Disk, *file);
    for (const TiXmlElement* type : file->Elements("element_types"))
      add(Attribute(type, "file"), Reader::Archive, *file);
    for (const TiXmlElement* cursor : file->Elements("Cursor"))
      add(Param(cursor, "Directory") + Param(cursor, "File"), Reader::Disk, *file);
    for (const TiXmlElement* font : file->Elements("Font")) {
      add(Param(font, "Texture"), Reader::Archive, *file);
      add(Param(font, "AlphaTexture"), Reader::Archive, *file);
    }
    for (const TiXmlElement* node : file->Elements("Node")) {
      add(Param(node, "ScriptFile"), Reader::Disk, *file);
      add(Param(node, "AviFile"), Reader::Disk, *file);
      add(Param(node, "Tex0"), Reader::Archive, *file);
      add(Param(node, "Alpha0"), Reader::Archive, *file);
      if (!Param(node, "File").empty())
        add(Param(node, "Directory") + Param(node, "File"), Reader::Archive, *file);
    }
  }
  // Sounds the scripts load, which the sound server opens from disk.
  const std::regex sound(R"re("(sounds\\\\[^"]+)")re");
  for (const fs::path& script : FilesEndingIn(kRuntime / "game" / "scripts", ".as")) {
    const std::string text = ReadText(script);
    for (std::sregex_iterator it(text.begin(), text.end(), sound), end; it != end; ++it) {
      // The script writes its back slash escaped.
      const std::string written = (*it)[1];
      named.push_back({std::regex_replace(written, std::regex(R"(\\\\)"), "\\"), Reader::Disk,
                       script.string()});
    }
  }
  return named;
}

TEST(DemoData, EveryNamedFileLiesWhereItsReaderLooksAndNowhereElse) {
  const std::vector<NamedFile> named = NamedFiles();
  ASSERT_FALSE(named.empty());
  ASSERT_TRUE(fs::is_directory(kPacked));
  std::set<Reader> readers;
  for (const NamedFile& file : named) {
    SCOPED_TRACE(file.name + " named in " + file.namedBy);
    readers.insert(file.reader);
    const fs::path loose = Below(kRuntime, file.name), packed = Below(kPacked, file.name);
    if (file.reader == Reader::Disk) {
      EXPECT_TRUE(fs::is_regular_file(loose));
      EXPECT_FALSE(fs::exists(packed));
    } else {
      EXPECT_TRUE(fs::is_regular_file(packed));
      EXPECT_FALSE(fs::exists(loose));
    }
  }
  EXPECT_EQ(readers.size(), 2u);
  // No bytecode cache or key bindings travel with the data (a game run writes both beside the
  // built copy, so the sources are what is looked at).
  EXPECT_TRUE(FilesEndingIn(kSources, ".as.bin").empty());
  EXPECT_FALSE(fs::exists(kSources / "game" / "config" / "keybindings.xml"));
}

// A map file's rows, top row first, each cut down to the characters the level reads.
std::vector<std::string> MapRows(const std::string& name) {
  std::vector<std::string> rows;
  std::ifstream in(Below(kRuntime, name));
  for (std::string line; std::getline(in, line);) {
    std::string codes;
    for (char c : line)
      if (std::isalnum(static_cast<unsigned char>(c))) codes += c;
    if (!codes.empty()) rows.push_back(codes);
  }
  return rows;
}

// A level's free cells: only "0" in the collision map lets a character in.
struct Grid {
  int width = 0, height = 0;
  std::vector<std::string> collision;  // top row first
  bool Free(int x, int z) const {
    return x >= 0 && z >= 0 && x < width && z < height && collision[height - 1 - z][x] == '0';
  }
};

Grid LevelGrid(const DataFile& level) {
  const TiXmlElement* map = level.Elements("map").at(0);
  Grid grid;
  map->QueryIntAttribute("Width", &grid.width);
  map->QueryIntAttribute("Height", &grid.height);
  grid.collision = MapRows(Attribute(map, "collides"));
  return grid;
}

TEST(DemoData, MapsHoldWidthTimesHeightCodesOfKnownElements) {
  const auto levels = Levels();
  ASSERT_EQ(levels.size(), 2u);
  for (const auto& [folder, level] : levels) {
    SCOPED_TRACE(folder);
    const TiXmlElement* map = level->Elements("map").at(0);
    const Grid grid = LevelGrid(*level);
    ASSERT_GT(grid.width, 0);
    std::set<char> known = {'0'};
    for (const TiXmlElement* type : level->Elements("element_types"))
      known.insert(Attribute(type, "id").at(0));
    const std::vector<std::string> elements = MapRows(Attribute(map, "file"));
    for (const auto& rows : {elements, grid.collision}) {
      ASSERT_EQ(rows.size(), static_cast<size_t>(grid.height));
      for (const std::string& row : rows) EXPECT_EQ(row.size(), static_cast<size_t>(grid.width));
    }
    for (size_t y = 0; y < elements.size(); ++y)
      for (size_t x = 0; x < elements[y].size(); ++x) {
        EXPECT_TRUE(known.count(elements[y][x])) << "row " << y << " column " << x;
        // A wall blocks its cell; floor and wet floor do not.
        EXPECT_EQ(elements[y][x] == 'a', grid.collision[y][x] != '0')
            << "row " << y << " column " << x;
      }
  }
}

// The cell of a node's "InitX" and "InitZ".
std::pair<int, int> StartCell(const DataFile& level, const std::string& name) {
  for (const TiXmlElement* node : level.Elements("Node"))
    if (Attribute(node, "Name") == name)
      return {static_cast<int>(std::stof(Param(node, "InitX"))),
              static_cast<int>(std::stof(Param(node, "InitZ")))};
  ADD_FAILURE() << "no node " << name;
  return {-1, -1};
}

// The first level's walk as its layout comment and the play session give it, each leg ended by
// a wall: the player pushes the crate into a wall, turns and walks to the socket, then the sub
// player walks away until the cable runs out.
TEST(DemoData, TheFirstLevelsWalkPushesTheCrateReachesTheSocketAndRunsOutTheCable) {
  const DataFile& level = *Levels().at("level1");
  const Grid grid = LevelGrid(level);
  auto [x, z] = StartCell(level, "GamePlayer");
  auto crate = StartCell(level, "Crate");
  const auto socket = StartCell(level, "Socket");
  ASSERT_TRUE(grid.Free(x, z));
  ASSERT_EQ(crate, std::make_pair(x + 2, z)) << "two cells ahead of the player, facing +x";
  // Facing east, right turns: east, south, west, north.
  const int steps[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
  int facing = 0;
  auto walk = [&] {
    for (;;) {
      const int nx = x + steps[facing][0], nz = z + steps[facing][1];
      if (!grid.Free(nx, nz)) return;
      if (std::make_pair(nx, nz) == crate) {
        const int cx = nx + steps[facing][0], cz = nz + steps[facing][1];
        if (!grid.Free(cx, cz)) return;
        crate = {cx, cz};
      }
      x = nx;
      z = nz;
    }
  };
  walk();
  EXPECT_EQ(crate, std::make_pair(5, 6)) << "the crate's arrival cell";
  facing = 1;  // D
  walk();
  facing = 2;  // D
  walk();
  EXPECT_EQ(std::make_pair(x, z), socket) << "the walk ends on the socket";
  facing = 0;  // D, D
  int cable = 0;
  const int length = std::stoi(Param(level.Elements("Node").back(), "SocketDistance"));
  EXPECT_EQ(length, 6);
  while (cable < length && grid.Free(x + 1, z) && std::make_pair(x + 1, z) != crate) {
    ++x;
    ++cable;
  }
  EXPECT_EQ(cable, length) << "the cable runs out before a wall stops the sub player";
  EXPECT_EQ(std::make_pair(x, z), std::make_pair(7, 1));
}

TEST(DemoData, TheMiniLevelsCorridorIsFreeAheadOfThePlayer) {
  const DataFile& level = *Levels().at("level2");
  const Grid grid = LevelGrid(level);
  int generation = 0;
  level.Elements("map").at(0)->QueryIntAttribute("GenerationHeight", &generation);
  EXPECT_EQ(3 * generation, grid.height - 1) << "three generations above row 0";
  const auto [x, z] = StartCell(level, "GamePlayer");
  for (int row = z; row < grid.height; ++row) EXPECT_TRUE(grid.Free(x, row)) << row;
  // The top row meets row 1 once a generation comes round: the column must stay open there.
  EXPECT_TRUE(grid.Free(x, 1));
  EXPECT_EQ(Param(level.Elements("Node").at(1), "InitRotH"), "-90") << "facing +z";
}

TEST(DemoData, PlayersDeclareEveryAnimationTheyCanActivatePlayedOnce) {
  // The game module's identifiers, as its main() sets them.
  const std::string core = ReadText(kRuntime / "game" / "scripts" / "GameCore.as");
  std::map<std::string, DWORD> identifiers;
  const std::regex assignment(R"(GameCore\.(idanim_\w+) = (\d+);)");
  for (std::sregex_iterator it(core.begin(), core.end(), assignment), end; it != end; ++it)
    identifiers[(*it)[1]] = static_cast<DWORD>(std::stoul((*it)[2]));
  ASSERT_EQ(identifiers.size(), 8u);
  EXPECT_NE(identifiers["idanim_moveforward_start"], identifiers["idanim_moveforward"]);
  std::set<DWORD> expected = {CPeltoPlayer::kAnimationPluggedIn,   CPeltoPlayer::kAnimationStart,
                              CPeltoPlayer::kAnimationEnd,         CPeltoPlayer::kAnimationTurnLeft,
                              CPeltoPlayer::kAnimationTurnRight,   CPeltoPlayer::kAnimationStrafeLeft,
                              CPeltoPlayer::kAnimationStrafeRight, CPeltoPlayer::kAnimationPlugIn,
                              CPeltoPlayer::kIdleAnimationOdd,     CPeltoPlayer::kIdleAnimationEven};
  for (const auto& [name, id] : identifiers) {
    EXPECT_NE(id, CPeltoPlayer::kAnimationBlocking) << name << " would block the commands";
    expected.insert(id);
  }
  int players = 0;
  for (const auto& [folder, level] : Levels())
    for (const TiXmlElement* node : level->Elements("Node")) {
      if (Attribute(node, "Type") != "PeltoPlayer") continue;
      SCOPED_TRACE(folder + " " + Attribute(node, "Name"));
      ++players;
      std::set<DWORD> declared;
      for (const TiXmlElement* animation = node->FirstChildElement("Animation"); animation;
           animation = animation->NextSiblingElement("Animation")) {
        declared.insert(static_cast<DWORD>(std::stoul(Attribute(animation, "Id"))));
        std::string type = Attribute(animation, "animation_type");
        std::transform(type.begin(), type.end(), type.begin(), ::tolower);
        // No type, or "loop" in any case, loops.
        EXPECT_FALSE(type.empty() || type == "loop") << Attribute(animation, "Id");
      }
      EXPECT_EQ(declared, expected);
    }
  EXPECT_EQ(players, 3) << "level1's player and sub player, level2's player";
}

}  // namespace
