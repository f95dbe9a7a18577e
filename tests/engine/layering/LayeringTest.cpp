// Keeps the engine's folders layered: reads every #include "folder/..." line below engine/ and
// fails, naming the file and line, where a folder includes one the matrix does not let it use.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Matrix = std::map<std::string, std::set<std::string>>;

// The engine folders each folder may include besides itself, include/ and core/. Start-up is
// the composition root and knows everything; nothing knows start-up. The scene and the spatial
// services (its octree, colliders and bound volumes) know each other, the one cross-folder
// cycle left. A new folder needs its row here before this test passes.
const Matrix kMayUse = {
    {"include", {}},
    {"core", {}},
    {"chunks", {}},
    {"vfs", {}},
    {"input", {}},
    {"d3d", {}},
    {"sound", {}},
    {"script", {"scene"}},
    {"scene", {"d3d", "spatial"}},
    {"spatial", {"chunks", "d3d", "scene"}},
    {"lightwave", {"scene", "spatial", "vfs"}},
    {"files", {"chunks", "scene", "spatial"}},
    {"shaders", {"d3d", "scene"}},
    {"console", {"d3d", "input", "scene", "script"}},
    {"startup",
     {"chunks", "console", "d3d", "files", "input", "lightwave", "scene", "script", "shaders",
      "sound", "spatial", "vfs"}},
};

// Includes the matrix forbids that the tree still has, each with why it is there and what
// removes it. An entry nothing matches any more fails the test, so the list only shrinks.
struct KnownViolation {
  const char* file;      // below engine/
  const char* included;  // as written between the quotes
  const char* reason;
};
const std::vector<KnownViolation> kKnown = {};

struct Include {
  std::string file;      // below engine/
  int line;
  std::string included;  // as written
  std::string from;      // folder of the file
  std::string to;        // engine folder it reaches
};

std::string Describe(const Include& include) {
  return "engine/" + include.file + ":" + std::to_string(include.line) + ": " + include.from +
         " may not include \"" + include.included + "\" (" + include.to + ")";
}

std::set<std::string> Folders(const fs::path& root) {
  std::set<std::string> folders;
  for (const fs::directory_entry& entry : fs::directory_iterator(root))
    if (entry.is_directory()) folders.insert(entry.path().filename().string());
  return folders;
}

// Every include of one engine folder by a file of another. A name is resolved as the compiler
// would: beside the including file first (always, for a name that climbs with ".."), then
// from engine/.
std::vector<Include> CrossFolderIncludes(const fs::path& root) {
  static const std::regex kInclude(R"(^\s*#\s*include\s+\"([^\"]+)\")");
  const std::set<std::string> folders = Folders(root);
  std::vector<Include> result;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
    const fs::path relative = entry.path().lexically_relative(root);
    const std::string from = relative.begin()->string();
    if (relative.begin() == std::prev(relative.end())) continue;  // a file directly in engine/
    std::ifstream source(entry.path());
    std::string text;
    for (int line = 1; std::getline(source, text); ++line) {
      std::smatch match;
      if (!std::regex_search(text, match, kInclude)) continue;
      const std::string name = match[1];
      fs::path target = (relative.parent_path() / name).lexically_normal();
      if (!fs::exists(root / target) && name[0] != '.') target = fs::path(name).lexically_normal();
      const std::string to = target.begin()->string();
      if (target.begin() == std::prev(target.end()) || !folders.count(to) || to == from) continue;
      result.push_back({relative.generic_string(), line, name, from, to});
    }
  }
  std::sort(result.begin(), result.end(), [](const Include& a, const Include& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  return result;
}

bool Allowed(const Matrix& matrix, const std::string& from, const std::string& to) {
  if (from == "include") return false;
  if (to == "include" || to == "core") return true;
  const auto row = matrix.find(from);
  return row != matrix.end() && row->second.count(to) != 0;
}

bool IsKnown(const Include& include, const std::vector<KnownViolation>& known) {
  return std::any_of(std::begin(known), std::end(known), [&](const KnownViolation& entry) {
    return include.file == entry.file && include.included == entry.included;
  });
}

// The violations of a tree, one line each, known ones left out.
std::vector<std::string> Violations(const fs::path& root, const Matrix& matrix,
                                    const std::vector<KnownViolation>& known) {
  std::vector<std::string> lines;
  for (const std::string& folder : Folders(root))
    if (!matrix.count(folder))
      lines.push_back("engine/" + folder + ": not in the layering matrix; add its row");
  for (const Include& include : CrossFolderIncludes(root))
    if (!Allowed(matrix, include.from, include.to) && !IsKnown(include, known))
      lines.push_back(Describe(include));
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(Layering, EngineFoldersIncludeOnlyWhatTheMatrixAllows) {
  const std::vector<std::string> violations = Violations(ZK_ENGINE_SOURCE_DIR, kMayUse, kKnown);
  EXPECT_TRUE(violations.empty()) << Joined(violations);
}

TEST(Layering, EveryKnownViolationStillExists) {
  const std::vector<Include> includes = CrossFolderIncludes(ZK_ENGINE_SOURCE_DIR);
  for (const KnownViolation& entry : kKnown) {
    const bool present = std::any_of(includes.begin(), includes.end(), [&](const Include& i) {
      return i.file == entry.file && i.included == entry.included;
    });
    EXPECT_TRUE(present) << "engine/" << entry.file << " no longer includes \"" << entry.included
                         << "\": remove it from the known violations";
  }
}

// Beyond scene and spatial, no two folders may reach each other, and no folder may know
// start-up, whatever the matrix grows into.
TEST(Layering, MatrixHasNoCrossFolderCycleButSceneAndSpatial) {
  Matrix acyclic = kMayUse;
  acyclic["spatial"].erase("scene");
  for (const auto& [from, uses] : acyclic) {
    EXPECT_FALSE(uses.count("startup")) << from << " may use startup";
    std::set<std::string> seen;
    std::vector<std::string> open(uses.begin(), uses.end());
    while (!open.empty()) {
      const std::string folder = open.back();
      open.pop_back();
      if (!seen.insert(folder).second) continue;
      const auto row = acyclic.find(folder);
      if (row != acyclic.end()) open.insert(open.end(), row->second.begin(), row->second.end());
    }
    EXPECT_FALSE(seen.count(from)) << from << " reaches itself through the matrix";
  }
  EXPECT_TRUE(kMayUse.at("core").empty());
  EXPECT_TRUE(kMayUse.at("include").empty());
}

class LayeringPlantedTree : public testing::Test {
 protected:
  void SetUp() override {
    m_Root = fs::temp_directory_path() /
             ("zk-layering-" + std::string(testing::UnitTest::GetInstance()
                                               ->current_test_info()
                                               ->name()));
    fs::remove_all(m_Root);
    for (const char* folder : {"include", "core", "scene", "startup", "spatial"})
      fs::create_directories(m_Root / folder);
  }
  void TearDown() override { fs::remove_all(m_Root); }

  void Write(const std::string& file, const std::string& text) {
    std::ofstream(m_Root / file) << text;
  }

  fs::path m_Root;
};

const std::vector<KnownViolation> kNoneKnown;

TEST_F(LayeringPlantedTree, ForbiddenIncludesAreNamedWithFileAndLine) {
  Write("core/Log.h", "#pragma once\n#include \"include/Api.h\"\n");
  Write("scene/Mesh.cpp",
        "#include \"scene/Mesh.h\"\n#include \"core/Log.h\"\n#include \"spatial/Tree.h\"\n"
        "#include \"startup/Start.h\"\n");
  Write("spatial/Tree.h", "#include \"Local.h\"\n#include \"../startup/Start.h\"\n");
  Write("core/Context.cpp", "// #include \"scene/Mesh.h\" in a comment is no include\n"
                            "#include \"scene/Mesh.h\"\n");
  Write("startup/Start.h", "#pragma once\n");
  Write("startup/Start.cpp", "#include \"scene/Mesh.h\"\n#include \"spatial/Tree.h\"\n");
  const std::vector<std::string> expected = {
      "engine/core/Context.cpp:2: core may not include \"scene/Mesh.h\" (scene)",
      "engine/scene/Mesh.cpp:4: scene may not include \"startup/Start.h\" (startup)",
      "engine/spatial/Tree.h:2: spatial may not include \"../startup/Start.h\" (startup)",
  };
  EXPECT_EQ(Violations(m_Root, kMayUse, kNoneKnown), expected);
}

TEST_F(LayeringPlantedTree, KnownViolationsAndUnknownFolders) {
  Write("core/Context.cpp", "#include \"scene/Mesh.h\"\n");
  fs::create_directories(m_Root / "hologram");
  const std::vector<KnownViolation> known = {{"core/Context.cpp", "scene/Mesh.h", "planted"}};
  const std::vector<std::string> expected = {
      "engine/hologram: not in the layering matrix; add its row"};
  EXPECT_EQ(Violations(m_Root, kMayUse, known), expected);
}

}  // namespace
